#!/usr/bin/env bash
# The installation run over a slow link, as a benchmark: the central database on a
# private PostgreSQL behind tools/slow-link (RATE bytes a second, LATENCY ms), with
# one stored program of PACKAGE MiB; orvitex-answer-probe sends WM_NULL to the main
# window every 50 ms throughout. Then the ordinary demo run (SQLite), probed the
# same way. Prints the fetch time against the link's floor (bytes / rate; also for
# the bytes the driver put on the wire), the installer's peak memory (its own
# process usage line) and the window's slowest answer. Figures only: nothing here
# fails on a slow run.
#   bench-slow-link.sh [RATE] [LATENCY] [PACKAGE]     (4194304 20 64 by default)
set -euo pipefail

if [ "${1:-}" != --inner ]; then
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    build=${ORVITEX_BUILD_DIR:-$root/build/win64}
    exe=$build/orvitex-setup.exe wizard=$build/tools/fake-setup/fake-setup.exe
    probe=$build/tools/answer-probe/orvitex-answer-probe.exe link=$build/tools/slow-link/slow-link
    for f in "$exe" "$wizard" "$probe" "$link"; do
        [ -f "$f" ] || { echo "bench-slow-link: $f is missing; run 'make win64' first" >&2; exit 1; }
    done
    out=$build/bench-slow-link
    mkdir -p "$out"
    "$root/tools/demo-db/build-demo-db.sh" "$out/orvitex-demo.db" "$wizard" >/dev/null
    export ORVITEX_WINEPREFIX=$out/prefix
    exec "$root/tools/wine-run.sh" --host "$root/tools/bench-slow-link.sh" --inner \
        "${1:-4194304}" "${2:-20}" "${3:-64}" "$exe" "$wizard" "$probe" "$link" "$out"
fi

# Under wine-run.sh --host: WINEPREFIX and DISPLAY are set.
rate=$2 latency=$3 mib=$4 exe=$5 wizard=$6 probe=$7 link=$8 out=$9
here=$(dirname "${BASH_SOURCE[0]}")
. "$here/demo-db/run-common.sh"
. "$here/demo-db/pg-central.sh"
export ORVITEX_FAKE_SETUP="" ORVITEX_CLICK_JOURNAL
link_pid="" probe_pid=""
cleanup() {
    for pid in $probe_pid $link_pid; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    pg_central_stop
}
trap cleanup EXIT

# One probed run of the installer with ARGS; its log is $out/NAME.log, the probe's
# journal $out/NAME.answers, its summary $out/NAME.probe.
probed_run() {
    local name=$1
    shift
    rm -f "$out/$name.log" "$out/$name.answers" "$out/stop"
    prepare_drive || { echo "bench-slow-link: cannot prepare the prefix" >&2; return 1; }
    ORVITEX_CLICK_JOURNAL=$(windows_path "$out/$name.clicks")
    : >"$out/$name.clicks"
    wine "$probe" "$(windows_path "$out/$name.answers")" --stop "$(windows_path "$out/stop")" \
        --watch "$(windows_path "$out/$name.log")" >"$out/$name.probe" &
    probe_pid=$!
    local start end rc=0
    start=$(date +%s%N)
    timeout 600 wine "$exe" "$@" --code 12345678 --run --quiet --log "$(windows_path "$out/$name.log")" ||
        rc=$?
    end=$(date +%s%N)
    touch "$out/stop"
    wait "$probe_pid" || true
    probe_pid=""
    await_journal "$out/$name.clicks" ' end ' "$(grep -c ' start ' "$out/$name.clicks")" || true
    [ "$rc" = 0 ] || { echo "bench-slow-link: $name ended with exit code $rc, see $out/$name.log" >&2; return 1; }
    echo $(((end - start) / 1000000)) >"$out/$name.wall"
}

# The slowest answer from the press of the run button to the completion window (an
# answer counts when it was sent after the press's line of the --log file and came
# before the completion window's line), with the line it followed; and over the
# window's whole life.
slowest() {
    python3 - "$out/$1.log" "$out/$1.answers" <<'PY'
import sys
log, at, lines = open(sys.argv[1], "rb").read(), 0, []
for raw in log.split(b"\n")[:-1]:
    lines.append((at, at + len(raw) + 1, raw.decode("utf-8", "replace").rstrip("\r")))
    at += len(raw) + 1
press = next(e for s, e, t in lines if t.startswith("run button pressed"))
shown = next(s for s, e, t in lines if t.startswith("completion window shown"))
answers = [dict(kv.split("=") for kv in l.split()) for l in open(sys.argv[2]) if l.startswith("sent=")]
run = [a for a in answers if int(a["before"]) >= press and int(a["after"]) <= shown]
worst = max(run, key=lambda a: int(a["latency"]))
after = [t for s, e, t in lines if e <= int(worst["before"])][-1]
print(f"{worst['latency']} ms from the press to the completion window (of {len(run)} answers; "
      f"after \"{after[:60]}\"); {max(int(a['latency']) for a in answers)} ms over the window's life")
PY
}

# The 오르비셋업 package: the stand-in wizard with random bytes behind it, mib MiB in all.
{ cat "$wizard"; head -c $(((mib << 20) - $(stat -c %s "$wizard"))) /dev/urandom; } >"$out/package.exe"
pg_central_start "$out/package.exe" || { echo "bench-slow-link: no PostgreSQL" >&2; exit 1; }
"$link" "$port" --rate "$rate" --latency "$latency" >"$out/link.port" 2>"$out/link.log" &
link_pid=$!
for _ in $(seq 1 100); do [ -s "$out/link.port" ] && break; sleep 0.1; done
probed_run slow-link --central-odbc \
    "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$(cat "$out/link.port");Database=postgres;UID=postgres;PWD=bench"
kill "$link_pid" && wait "$link_pid" 2>/dev/null || true
link_pid=""
pg_central_stop
probed_run demo --central-db "$out/orvitex-demo.db"

log=$out/slow-link.log
fetch=$(tr -d '\r' <"$log" | sed -n 's/.*: fetched, \([0-9]*\) bytes in \([0-9.]*\) s.*/\1 \2/p' | head -n 1)
usage=$(tr -d '\r' <"$log" | sed -n 's/^.*process usage: .* peak working set \([0-9]*\) bytes, peak private \([0-9]*\) bytes$/\1 \2/p' | tail -n 1)
wire=$(sed -n 's/.* \([0-9]*\) bytes back.*/\1/p' "$out/link.log" | sort -n | tail -n 1)
awk -v rate="$rate" -v latency="$latency" -v fetch="$fetch" -v usage="$usage" -v wire="${wire:-0}" \
    -v wall="$(cat "$out/slow-link.wall")" 'BEGIN {
    split(fetch, f, " "); split(usage, u, " ")
    mib = 1048576; floor = f[1] / rate; wfloor = wire / rate
    printf "slow link: %.2f MiB/s, %d ms latency; package %.1f MiB\n", rate / mib, latency, f[1] / mib
    printf "  fetch %.2f s; floor (package / rate) %.2f s: %.2f x the floor\n", f[2], floor, f[2] / floor
    printf "  on the wire %.1f MiB (the driver'\''s encoding); its floor %.2f s: %.2f x\n",
        wire / mib, wfloor, (wfloor > 0 ? f[2] / wfloor : 0)
    printf "  peak working set %.1f MiB, peak private %.1f MiB; whole run %.2f s\n",
        u[1] / mib, u[2] / mib, wall / 1000
}'
echo "  slowest answer of the window: $(slowest slow-link)"
echo "demo run (SQLite), whole run $(awk '{ printf "%.2f", $1 / 1000 }' "$out/demo.wall") s"
echo "  slowest answer of the window: $(slowest demo)"
echo "kept: $out/{slow-link,demo}.{log,answers}, $out/link.log"
