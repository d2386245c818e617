#!/usr/bin/env bash
# Builds the fuzz preset and runs every target on its corpus for FUZZ_SECONDS
# (60 by default). New inputs go to a scratch folder, so the committed corpus
# changes only by hand. A crash or a broken invariant fails the run; libFuzzer
# leaves the input as build/fuzz/crashes/<target>/crash-*.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${FUZZ_SECONDS:-60}
targets=(fuzz_connection_string fuzz_command_line fuzz_server_aliases fuzz_folder_tree fuzz_variant
         fuzz_lookup_statement)

mkdir -p build
if ! { cmake --preset fuzz && cmake --build --preset fuzz; } >build/fuzz-build.log 2>&1; then
    tail -n 30 build/fuzz-build.log
    echo "fuzz: 0% tests passed, 1 tests failed out of 1 (the fuzz preset does not build)"
    exit 1
fi
failed=0
for target in "${targets[@]}"; do
    scratch=build/fuzz/corpus/$target crashes=build/fuzz/crashes/$target
    rm -rf "$scratch" && mkdir -p "$scratch" "$crashes"
    log=build/fuzz/$target.log
    if build/fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$crashes/" "$scratch" "fuzz/corpus/$target" >"$log" 2>&1; then
        echo "fuzz $target: ok, $(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log") runs in ${seconds} s"
    else
        echo "fuzz $target: FAILED; see $log and $crashes"
        tail -n 30 "$log"
        failed=$((failed + 1))
    fi
done
# The same wording as CTest's summary, so that tools/run-tests.sh counts the targets.
echo "fuzz: $(((${#targets[@]} - failed) * 100 / ${#targets[@]}))% tests passed, $failed tests failed out of ${#targets[@]}"
[ "$failed" -eq 0 ]
