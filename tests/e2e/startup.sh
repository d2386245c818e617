#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host (DISPLAY and WINEPREFIX are ours).
#   startup.sh orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh
set -uo pipefail

. "$(dirname "$0")/common.sh"

# The SQL Server client creates this key on a real PC; the program never does.
fresh_key() {
    wine reg delete "$key" /f >/dev/null 2>&1
    wine reg add "$key" /f >/dev/null 2>&1 || fail "could not create the ConnectTo key"
}

# The value's data as `reg query` shows it, or nothing.
alias_of() {
    wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v n="$1" '$1 == n && $2 == "REG_SZ" { print $3 }'
}

check_aliases() {
    [ "$(alias_of 127.0.0.2)" = "DBMSSOCN,127.0.0.2" ] || fail "$1: second-server alias is '$(alias_of 127.0.0.2)'"
    [ "$(alias_of 127.0.0.1)" = "DBMSSOCN,127.0.0.1,4181" ] || fail "$1: main-server alias is '$(alias_of 127.0.0.1)'"
}

# Screenshot of one window, from the probe's "WINDOW l t w h" line.
shoot() {
    local name=$1 line=$2
    read -r _ l t w h <<<"$line"
    import -window root -crop "${w}x${h}+${l}+${t}" +repage "$out/$name.png" ||
        fail "screenshot $name"
    echo "screenshot: $out/$name.png"
}

# 1. Reachable central database: the window as designed. Its stored programs are
# empty, so a run stops silently at the first package and never waits.
db="$out/central.db"
: >"$out/empty.exe"
"$builddb" "$db" "$out/empty.exe" >/dev/null || fail "demo database"
fresh_key
# An earlier start's value is overwritten, not kept.
wine reg add "$key" /v 127.0.0.1 /t REG_SZ /d "DBMSSOCN,10.9.9.9,1433" /f >/dev/null 2>&1
log="$out/startup.log"
wine "$setup" --central-db "$db" --code 12345678 --log "$log" &
pid=$!
report=$(wine "$probe" main 12345678 | tr -d '\r')
echo "$report" | grep -v '^ok '
echo "$report" | grep -q '^WINDOW ' || fail "main window not found"
echo "$report" | grep -q '^MISMATCH' && fail "main window differs from its design"
shoot main-window "$(echo "$report" | grep '^WINDOW ')"
check_aliases "reachable"
wine "$probe" click-run >/dev/null || fail "run button not clicked"
# The clicks are queued input; wait (bounded) until both runs have returned.
for _ in $(seq 1 150); do
    [ "$(grep -c "run returned" "$log")" -ge 2 ] && break
    sleep 0.2
done
wine "$probe" close >/dev/null || fail "close box"
wait_bounded "$pid" 60; rc=$?
[ "$rc" = 3 ] || fail "closing the window after a run stopped at an empty program: exit code $rc, expected 3"
grep -q "main server connected" "$log" || fail "log lacks the connection"
grep -q "run button pressed: Label1" "$log" || fail "a click on the caption started no run"
grep -q "run button pressed: Picture6" "$log" || fail "a click on the blue area started no run"
grep -q "19KupTel57" "$log" && fail "the password is in the log"
echo "--- $log"; cat "$log"

# 2. Unreachable main server: only the message, then exit code 4.
fresh_key
missing="$out/missing.db"
rm -f "$missing"
log="$out/unreachable.log"
wine "$setup" --central-db "$missing" --log "$log" &
pid=$!
report=$(wine "$probe" message "메인서버 접속에 실패하였습니다." | tr -d '\r')
echo "$report" | grep -v '^ok '
echo "$report" | grep -q '^MISMATCH\|^$' && fail "the message box differs"
echo "$report" | grep -q '^WINDOW ' && shoot unreachable-message "$(echo "$report" | grep '^WINDOW ')"
wine "$probe" ok >/dev/null || fail "OK not pressed"
wait_bounded "$pid" 60; rc=$?
[ "$rc" = 4 ] || fail "unreachable: exit code $rc, expected 4"
check_aliases "unreachable"
[ -e "$missing" ] && fail "the missing central database was created"
echo "--- $log"; cat "$log"

# 3. The same, quiet: no box waits, the message goes to the log.
fresh_key
log="$out/unreachable-quiet.log"
wine "$setup" --central-db "$missing" --quiet --log "$log"; rc=$?
[ "$rc" = 4 ] || fail "quiet unreachable: exit code $rc, expected 4"
grep -q "message: 메인서버 접속에 실패하였습니다." "$log" || fail "quiet: message not logged"
check_aliases "quiet"

# 4. Quiet run pressed at once: it stops at the first, empty, stored program.
log="$out/quiet-run.log"
wine "$setup" --central-db "$db" --code 12345678 --run --quiet --log "$log"; rc=$?
[ "$rc" = 3 ] || fail "quiet run: exit code $rc, expected 3"
grep -q "stored program of length 0, run stopped" "$log" || fail "quiet run: log"

# 5. No ConnectTo key: nothing is written, no key is created, the start goes on.
wine reg delete "$key" /f >/dev/null 2>&1
wine "$setup" --central-db "$db" --code 12345678 --run --quiet --log "$out/no-key.log"; rc=$?
[ "$rc" = 3 ] || fail "no key: exit code $rc, expected 3 (connected, run stopped at package 1)"
wine reg query "$key" >/dev/null 2>&1 && fail "the program created the ConnectTo key"

# 6. Bad command line and --help.
wine "$setup" --bogus >/dev/null 2>&1; rc=$?
[ "$rc" = 5 ] || fail "unknown option: exit code $rc"
wine "$setup" --log 'Q:\no\such\folder\x.log' >/dev/null 2>&1; rc=$?
[ "$rc" = 5 ] || fail "unwritable log: exit code $rc"
wine "$setup" --help 2>/dev/null | tr -d '\r' | grep -q -- "--central-db FILE" || fail "--help text"

[ "$failed" = 0 ] && echo "e2e.startup: all checks hold"
exit "$failed"
