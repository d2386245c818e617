#!/usr/bin/env bash
# Runs every test tier through CTest (native, then the Win32 and end-to-end
# tests under Wine, then their 32-bit slice), then each fuzz target for 20 s, and
# closes with one summary line for all of them.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT

status=0
ctest --preset native -j2 2>&1 | tee -a "$log" || status=1
ctest --preset win64 2>&1 | tee -a "$log" || status=1
ctest --preset i686 2>&1 | tee -a "$log" || status=1
FUZZ_SECONDS=${FUZZ_SECONDS:-20} tools/run-fuzz.sh 2>&1 | tee -a "$log" || status=1

passed=0 failed=0
while read -r ok total; do
    passed=$((passed + ok)); failed=$((failed + total - ok))
done < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log" |
         awk '{print $2 - $1, $2}')
# CTest counts a skipped test among those that passed: it is neither here.
skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$log" || true)
passed=$((passed - skipped))
[ "$skipped" -eq 0 ] || echo "tests skipped: $skipped"
echo "tests: $passed passed, $failed failed"
exit $status
