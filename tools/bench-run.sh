#!/usr/bin/env bash
# The whole demo run as a benchmark: the run of `make demo`, RUNS times (3 by
# default), each in a fresh state of one prefix of its own, on an Xvfb of its own.
# Prints per run and the median: the wall time, the scripts' fixed sleeps, the
# waits for the wizards' windows, Wine's start and exit of the installer, the rest
# (the program's own overhead), its CPU time, its peak memory; and each against
# its target. Figures only: nothing here fails on a slow run.
#   bench-run.sh [RUNS]
set -euo pipefail

if [ "${1:-}" != --inner ]; then
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    build=${ORVITEX_BUILD_DIR:-$root/build/win64}
    exe=$build/orvitex-setup.exe wizard=$build/tools/fake-setup/fake-setup.exe
    for f in "$exe" "$wizard"; do
        [ -f "$f" ] || { echo "bench-run: $f is missing; run 'make win64' first" >&2; exit 1; }
    done
    out=$build/bench-run
    mkdir -p "$out"
    "$root/tools/demo-db/build-demo-db.sh" "$out/orvitex-demo.db" "$wizard" >/dev/null
    export ORVITEX_WINEPREFIX=$out/prefix
    exec "$root/tools/wine-run.sh" --host "$root/tools/bench-run.sh" --inner "${1:-3}" "$exe" "$out"
fi

# Under wine-run.sh --host: WINEPREFIX and DISPLAY are set.
runs=$2 exe=$3 out=$4
. "$(dirname "${BASH_SOURCE[0]}")/demo-db/run-common.sh"
code=12345678
export ORVITEX_FAKE_SETUP="" ORVITEX_CLICK_JOURNAL

# "name: N ms" or "name N ms" from the run's log, or nothing.
figure() { tr -d '\r' <"$1" | sed -n "s/.*$2 \([0-9]*\) ms.*/\1/p" | tail -n 1; }

# One run; prints its raw figures (milliseconds and bytes) on one line.
one_run() {
    local i=$1 log=$out/run-$i.log journal=$out/clicks-$i.log start end rc
    rm -f "$log" "$journal" "$out/time-$i"
    prepare_drive || { echo "bench-run: cannot prepare the prefix" >&2; return 1; }
    ORVITEX_CLICK_JOURNAL=$(windows_path "$journal")
    start=$(date +%s%N)
    rc=0
    /usr/bin/time -f '%U %S %M' -o "$out/time-$i" timeout 300 \
        wine "$exe" --central-db "$out/orvitex-demo.db" --code "$code" --run --quiet \
        --log "$(windows_path "$log")" || rc=$?
    end=$(date +%s%N)
    await_journal "$journal" ' end ' "$(grep -c ' start ' "$journal" 2>/dev/null)" || true
    [ "$rc" = 0 ] || { echo "bench-run: run $i ended with exit code $rc, see $log" >&2; return 1; }
    local usage largest outside
    usage=$(tr -d '\r' <"$log" | sed -n 's/^process usage: CPU \([0-9]*\) ms, alive \([0-9]*\) ms, peak working set \([0-9]*\) bytes, peak private \([0-9]*\) bytes$/\1 \2 \3 \4/p' | tail -n 1)
    [ -n "$usage" ] || { echo "bench-run: run $i logged no process usage" >&2; return 1; }
    largest=$(tr -d '\r' <"$log" | sed -n 's/.*: fetched, \([0-9]*\) bytes.*/\1/p' | sort -n | tail -n 1)
    # /usr/bin/time: user and system seconds, peak resident KiB of the wine process.
    outside=$(tail -n 1 "$out/time-$i" | awk '{ printf "%d %d", ($1 + $2) * 1000, $3 * 1024 }')
    echo "$(((end - start) / 1000000)) $(figure "$log" 'fixed sleeps of the run:') \
$(figure "$log" "waits for the wizards' windows:") $usage ${largest:-0} $outside"
}

raw=$out/raw.txt
: >"$raw"
for i in $(seq 1 "$runs"); do
    one_run "$i" >>"$raw" || exit 1
done

# Columns of raw: wall slept waited cpu alive peak_ws peak_private largest out_cpu out_peak.
awk -v runs="$runs" '
    function s(ms) { return sprintf("%.2f", ms / 1000) }
    function mib(b) { return sprintf("%.1f", b / 1048576) }
    function row(label, r,    wall, overhead, wine, pct, limit) {
        wall = v[r, 1]; wine = wall - v[r, 5]
        overhead = v[r, 5] - v[r, 2] - v[r, 3]
        pct = 100 * v[r, 4] / wall
        limit = 64 * 1048576 + 2 * v[r, 8]
        printf "%-7s %7s %7s %7s %7s %9s %6s %6.1f %8s %8s %7s | %6s %8s\n", label, s(wall),
            s(v[r, 2]), s(v[r, 3]), s(wine), s(overhead), s(v[r, 4]), pct, mib(v[r, 6]),
            mib(v[r, 7]), mib(v[r, 8]), s(v[r, 9]), mib(v[r, 10])
        verdict[r] = sprintf("overhead %s s of < 1 s: %s; CPU %.1f %% of < 5 %%: %s; " \
            "peak memory %s MiB of < %s MiB: %s", s(overhead), overhead < 1000 ? "pass" : "over",
            pct, pct < 5 ? "pass" : "over", mib(v[r, 6]), mib(limit),
            v[r, 6] < limit ? "pass" : "over")
    }
    { for (c = 1; c <= NF; c++) { v[NR, c] = $c; col[c, NR] = $c } }
    END {
        printf "%-7s %7s %7s %7s %7s %9s %6s %6s %8s %8s %7s | %6s %8s\n", "", "wall", "sleeps",
            "waits", "wine", "overhead", "CPU", "CPU%", "peakWS", "private", "package",
            "CPU", "peakRSS"
        printf "%-7s %7s %7s %7s %7s %9s %6s %6s %8s %8s %7s | %6s %8s\n", "", "s", "s", "s",
            "s", "s", "s", "", "MiB", "MiB", "MiB", "s", "MiB"
        for (r = 1; r <= NR; r++) row("run " r, r)
        # The median of each column on its own.
        for (c = 1; c <= 10; c++) {
            n = 0
            for (r = 1; r <= NR; r++) sorted[++n] = col[c, r]
            for (a = 2; a <= n; a++)
                for (b = a; b > 1 && sorted[b - 1] > sorted[b]; b--) {
                    t = sorted[b]; sorted[b] = sorted[b - 1]; sorted[b - 1] = t
                }
            v[NR + 1, c] = n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
        }
        row("median", NR + 1)
        print ""
        for (r = 1; r <= NR; r++) print "run " r ": " verdict[r]
        print "median: " verdict[NR + 1]
    }' "$raw"
echo "(right of |: /usr/bin/time of the wine process, the same run seen from outside)"
echo "kept: $out/run-N.log, $out/clicks-N.log, $raw"
