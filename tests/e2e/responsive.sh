#!/usr/bin/env bash
# The main window answers while the run waits: orvitex-setup.exe under
# tools/wine-run.sh --host, watched by orvitex-answer-probe, which sends WM_NULL
# every 50 ms and journals each answer with the run log's size before and after.
#   responsive.sh VARIANT orvitex-setup.exe orvitex-answer-probe.exe OUT-FOLDER
#                 build-demo-db.sh fake-setup.exe slow-link
# sleep:      a message sent inside a fixed sleep is answered before the sleep ends,
#             and the run button pressed inside one starts nothing (SQLite central);
# held-fetch: the window answers while the proxy holds a fetch's value half sent,
#             and the file is whole once it lets the rest through (PostgreSQL).
set -uo pipefail
variant=$1
shift
. "$(dirname "$0")/common.sh"
. "$(dirname "$builddb")/run-common.sh"
. "$(dirname "$builddb")/pg-central.sh"
wizard=$5 slowlink=$6 out=$out/$variant
mkdir -p "$out"
journal=$out/clicks.log answers=$out/answers.txt runlog=$install_dir/orvitex-setup.log
stop=$out/stop pids=()
rm -f "$answers" "$stop" "$out/setup.log"
# Ends what this script started and is still running, by pid; PostgreSQL last,
# with its fast shutdown.
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    pids=()
    pg_central_stop
}
trap cleanup EXIT
export ORVITEX_CLICK_JOURNAL ORVITEX_FAKE_SETUP=""
ORVITEX_CLICK_JOURNAL=$(windows_path "$journal")
prepare_drive || fail "keys and folders before the run"
: >"$journal"

start_probe() {
    wine "$probe" "$(windows_path "$answers")" --watch 'C:\오르비설치\orvitex-setup.log' \
        --stop "$(windows_path "$stop")" "$@" >"$out/probe.txt" &
    probe_pid=$!
    pids+=("$probe_pid")
}
stop_probe() {
    touch "$stop"
    wait_bounded "$probe_pid" 30 || fail "the answer probe did not end"
    cat "$out/probe.txt"
}
answered() { grep -c 'answered=1' "$answers" 2>/dev/null; }
# Every started package clicked through and its run complete.
check_run() {
    local n=$1 i
    await_journal "$journal" ' end ' "$n" || fail "wizards still running"
    [ "$(grep -c ' start ' "$journal")" = "$n" ] || fail "$(grep -c ' start ' "$journal") wizards started"
    for ((i = 0; i < n; i++)); do
        grep -qF "package $((i + 1)) (${packages[i]}): wizard clicked through" "$runlog" ||
            fail "package $((i + 1)) not clicked through"
    done
    grep -qF "run complete; exit code 0" "$runlog" || fail "run not complete"
}

# A log's lines with their byte offsets, its fixed sleeps, and what happened among
# them: the probe's answers (placed by the run log's size) or the presses of the
# run button (lines of the --log file, which has the window's lines too).
order() {
    python3 - "$1" "$2" "$answers" <<'PY'
import re, sys
what, log, journal = sys.argv[1], open(sys.argv[2], "rb").read(), sys.argv[3]
lines, at = [], 0
for raw in log.split(b"\n")[:-1]:
    lines.append((at, at + len(raw) + 1, raw.decode("utf-8", "replace").rstrip("\r")))
    at += len(raw) + 1
sleeps, begun = [], None  # (end of its first line, start of its last line)
for start, end, text in lines:
    if re.search(r"(^| )sleeping \d+ ms$", text):
        begun = end
    elif re.search(r"(^| )slept \d+ ms$", text) and begun is not None:
        sleeps.append((begun, start))
        begun = None
assert sleeps, "no fixed sleep logged"
within = lambda a, b: any(s <= a and b <= e for s, e in sleeps)
if what == "answers":
    answers = [dict(kv.split("=") for kv in l.split()) for l in open(journal) if l.startswith("sent=")]
    inside = [a for a in answers if a["answered"] == "1" and within(int(a["before"]), int(a["after"]))]
    assert inside, f"none of {len(answers)} answers was sent and answered within a fixed sleep"
    print(f"{len(inside)} of {len(answers)} answers sent and answered within one of {len(sleeps)} fixed sleeps")
else:
    runs = [t for _, _, t in lines if "institution code '" in t]
    assert len(runs) == 1, f"{len(runs)} runs started"
    presses = [i for i, l in enumerate(lines) if "run button pressed" in l[2]][1:]
    inside = [i for i in presses if within(lines[i][0], lines[i][1])]
    assert inside, f"none of {len(presses)} further presses came within a fixed sleep"
    for i in presses:
        assert lines[i + 1][2].endswith("run returned"), f"press at line {i + 1} did not return at once"
    print(f"{len(inside)} of {len(presses)} further presses within a fixed sleep, one run")
PY
}

sleep_variant() {
    local db=$out/central.db
    "$builddb" "$db" "$wizard" >/dev/null || fail "demo database"
    sqlite3 "$db" "UPDATE tb_도르네AS SET 실행파일 = NULL WHERE 파일이름 NOT IN ('오르비셋업', '오르비필수업데이트')" ||
        fail "nulling packages"
    start_probe --press 'sleeping 2000 ms'
    timeout 300 wine "$setup" --central-db "$db" --code 12345678 --run --quiet --log "$out/setup.log"
    rc=$?
    stop_probe
    [ "$rc" = 0 ] || fail "exit code $rc, expected 0"
    check_run 2
    order answers "$runlog" || fail "no answer inside a fixed sleep"
    order presses "$out/setup.log" || fail "a press inside a fixed sleep"
}

held_fetch_variant() {
    # The wizard with 3 MiB behind it: a program that still runs, too large for one read.
    { cat "$wizard"; head -c $((3 << 20)) /dev/urandom; } >"$out/package.exe"
    pg_central_start "$out/package.exe" || fail "central database"
    stored=$("${psql[@]}" -c "SELECT encode(sha256(실행파일), 'hex') FROM tb_도르네AS WHERE 파일이름 = '오르비셋업'")
    # The rest of the value waits, after its first MiB, until the probe has had answers.
    "$slowlink" "$port" --hold-after $((1 << 20)) --held "$out/held" --release "$out/release" \
        >"$out/link.port" 2>"$out/link.log" &
    pids+=("$!")
    rm -f "$out/held" "$out/release"
    for _ in $(seq 1 100); do [ -s "$out/link.port" ] && break; sleep 0.1; done
    local odbc="Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$(cat "$out/link.port");Database=postgres;UID=postgres;PWD=pg-secret-7"
    start_probe
    rm -f "$out/run.json"
    wine "$setup" --central-odbc "$odbc" --code 12345678 --run --quiet --log "$out/setup.log" \
        --report "$out/run.json" &
    local setup_pid=$! held=""
    pids+=("$setup_pid")
    for _ in $(seq 1 600); do
        [ -e "$out/held" ] && held=yes && break
        kill -0 "$setup_pid" 2>/dev/null || break
        sleep 0.2
    done
    [ -n "$held" ] || fail "the fetch never reached the proxy's hold"
    # Answers are sent one after the other: the second one counted from here was
    # sent after the hold began, and answered while it lasts.
    local from want got=""
    from=$(answered)
    want=$((from + 2))
    for _ in $(seq 1 300); do [ "$(answered)" -ge "$want" ] && got=yes && break; sleep 0.1; done
    [ -n "$got" ] || fail "the window did not answer while the fetch was held"
    grep -q ': fetched, ' "$runlog" 2>/dev/null && fail "the fetch ended while the proxy held it"
    touch "$out/release"
    wait_bounded "$setup_pid" 180
    rc=$?
    stop_probe
    [ "$rc" = 0 ] || fail "exit code $rc, expected 0"
    check_run 1
    [ "$(sha256sum "$install_dir/${packages[0]}" | cut -d' ' -f1)" = "$stored" ] ||
        fail "the fetched file differs from the stored value"
    cmp -s "$out/package.exe" "$install_dir/${packages[0]}" || fail "the fetched file is not the package"
    "$(dirname "$builddb")/../validate-report" "$out/run.json" || fail "the report against its schema"
    # The fetch's time and rate, the same in the log and in the report.
    python3 - "$runlog" "$out/run.json" "$(stat -c %s "$out/package.exe")" <<'PY' || fail "the fetch's rate"
import json, re, sys
line = re.search(r"package 1 \(iOrvitex.exe\): fetched, (\d+) bytes in (\d+)\.(\d{3}) s \((\d+) bytes/s\)",
                 open(sys.argv[1], encoding="utf-8").read())
assert line, "no fetch line with its time and rate"
size, ms, rate = int(line[1]), int(line[2]) * 1000 + int(line[3]), int(line[4])
assert size == int(sys.argv[3]) and ms > 0 and rate == size * 1000 // ms, line[0]
p = json.load(open(sys.argv[2], encoding="utf-8"))["packages"][0]
assert p["fetchSeconds"] == ms / 1000 and p["bytesPerSecond"] == rate, p
assert all(q["fetchSeconds"] is None for q in json.load(open(sys.argv[2]))["packages"][1:])
PY
    cat "$out/link.log"
}

case $variant in
sleep) sleep_variant ;;
held-fetch) held_fetch_variant ;;
*) fail "unknown variant" ;;
esac
echo "--- $runlog"; cat "$runlog" 2>/dev/null
cleanup
rm -rf "$install_dir" "$drive/Orvitex" "$drive/OrvitexDemo"
[ "$failed" = 0 ] && echo "e2e.responsive.$variant: all checks hold"
exit "$failed"
