#!/usr/bin/env bash
# Checks the formatting and runs clang-tidy (tools/lint.sh), runs every test
# tier through CTest (native, then the Win32 and end-to-end tests under Wine,
# then their 32-bit slice), then each fuzz target for 20 s, and closes with one
# summary line for all of them. clang-tidy runs beside the Wine tiers, whose time
# goes mostly to the wizards' fixed sleeps.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
log=$(mktemp) lintlog=$(mktemp)
trap 'rm -f "$log" "$lintlog"' EXIT

status=0
# Each of the two checks counts as one test in the summary, in CTest's wording.
check() {
    local name=$1
    shift
    if "$@"; then
        echo "$name: 100% tests passed, 0 tests failed out of 1"
    else
        echo "$name: 0% tests passed, 1 tests failed out of 1"
        return 1
    fi
}
check format make --no-print-directory format-check 2>&1 | tee -a "$log" || status=1
ctest --preset native -j2 2>&1 | tee -a "$log" || status=1
check lint tools/lint.sh >"$lintlog" 2>&1 &
lint=$!
ctest --preset win64 2>&1 | tee -a "$log" || status=1
ctest --preset i686 2>&1 | tee -a "$log" || status=1
wait "$lint" || status=1
tee -a "$log" <"$lintlog"
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
