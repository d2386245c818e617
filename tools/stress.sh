#!/usr/bin/env bash
# Runs the whole end-to-end tier (ctest -L e2e on build/win64) N times in a row
# on a loaded machine: one busy process per core, started here and stopped by
# pid. Prints each failure with its test and the log kept for it, then a
# summary; fails when any test failed in any run. Clicks of the installer that
# land off their point fail e2e.run.* themselves, so a clean run counts none.
#
#   stress.sh [N [REGEX]]     (make stress N=5 [TESTS=REGEX]): only the e2e tests matching REGEX
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
runs=${1:-5}
only=()
[ -n "${2:-}" ] && only=(-R "$2")
out=build/stress
rm -rf "$out" && mkdir -p "$out"

busy=()
stop_busy() {
    for pid in "${busy[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
trap stop_busy EXIT
for _ in $(seq 1 "$(nproc)"); do
    yes >/dev/null &
    busy+=($!)
done
echo "stress: $runs runs of the e2e tier${2:+ ($2)}, ${#busy[@]} busy processes (pids ${busy[*]})"

# Splits CTest's LastTest.log into one file per test in the folder $1.
split_log() {
    awk -v dir="$1" '
        /^[0-9]+\/[0-9]+ Testing: / { name = $3; file = dir "/" name ".log" }
        file { print > file }
        file && $0 ~ /" time elapsed: / { close(file); file = "" }' \
        build/win64/Testing/Temporary/LastTest.log
}

failures=0 clean=0
for run in $(seq 1 "$runs"); do
    dir=$out/run-$run
    mkdir -p "$dir"
    start=$(date +%s)
    ctest --test-dir build/win64 -L e2e "${only[@]}" >"$dir/ctest.log" 2>&1
    split_log "$dir"
    failed=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*)$/\1/p' "$dir/ctest.log")
    if [ -z "$failed" ] && grep -q '100% tests passed' "$dir/ctest.log"; then
        clean=$((clean + 1))
        echo "run $run: clean in $(($(date +%s) - start)) s"
        continue
    fi
    cp -r build/win64/e2e "$dir/e2e-out"
    [ -n "$failed" ] || { failed="(ctest)"; cp "$dir/ctest.log" "$dir/(ctest).log"; }
    for test in $failed; do
        failures=$((failures + 1))
        echo "run $run: FAILED $test; log $dir/$test.log, outputs $dir/e2e-out"
        grep -E '^(FAIL|MISMATCH)' "$dir/$test.log" | sed 's/^/    /'
    done
done
echo "stress: $clean of $runs runs clean, $failures failures"
[ "$failures" -eq 0 ]
