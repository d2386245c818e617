#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host (DISPLAY and WINEPREFIX are ours).
#   startup.sh orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh
set -uo pipefail

. "$(dirname "$0")/common.sh"
# shellcheck source=../../tools/demo-db/run-common.sh
. "$(dirname "$builddb")/run-common.sh"

# The SQL Server client creates this key on a real PC; the program never does.
fresh_key() {
    wine reg delete "$key" /f >/dev/null 2>&1
    wine reg add "$key" /f >/dev/null 2>&1 || fail "could not create the ConnectTo key"
}
check_aliases() {
    [ "$(value_of "$key" 127.0.0.2)" = "REG_SZ DBMSSOCN,127.0.0.2" ] || fail "$1: second alias"
    [ "$(value_of "$key" 127.0.0.1)" = "REG_SZ DBMSSOCN,127.0.0.1,4181" ] || fail "$1: main alias"
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
echo "$report" | grep -q '^MISMATCH' && fail "main window differs from its design"
if read -r _ l t w h < <(echo "$report" | grep '^WINDOW '); then
    import -window root -crop "${w}x${h}+${l}+${t}" +repage "$out/main-window.png" &&
        echo "screenshot: $out/main-window.png"
else
    fail "main window not found"
fi
check_aliases "reachable"
clicks=$(wine "$probe" click-run | tr -d '\r') || fail "run button not clicked: $(grep -v '^ok ' <<<"$clicks")"
# The input is queued in order: once the last click's run has returned, all is done.
pressed() { grep -c "run button pressed" "$log"; }
for _ in $(seq 1 150); do
    grep -q "pressed: Picture6" "$log" && [ "$(grep -c "run returned" "$log")" = "$(pressed)" ] &&
        break
    sleep 0.2
done
[ "$(pressed)" = 2 ] || fail "Enter or a press dragged off the button started a run"
wine "$probe" close >/dev/null || fail "close box"
wait_bounded "$pid" 60; rc=$?
[ "$rc" = 3 ] || fail "closing the window after a run stopped at an empty program: exit code $rc"
for line in "main server connected" "run button pressed: Label1" "run button pressed: Picture6"; do
    grep -q "$line" "$log" || fail "the log lacks '$line'"
done
grep -q "19KupTel57" "$log" && fail "the password is in the log"
echo "--- $log"; cat "$log"

# 2. Unreachable main server: the aliases, then only the message, then exit code 4.
fresh_key
missing="$out/missing.db"
rm -f "$missing"
wine "$setup" --central-db "$missing" --log "$out/unreachable.log" &
pid=$!
report=$(wine "$probe" message "메인서버 접속에 실패하였습니다." | tr -d '\r')
echo "$report" | grep -v '^ok '
echo "$report" | grep -q '^MISMATCH\|^$' && fail "the message box differs"
wine "$probe" ok >/dev/null || fail "OK not pressed"
wait_bounded "$pid" 60; rc=$?
[ "$rc" = 4 ] || fail "unreachable: exit code $rc, expected 4"
check_aliases "unreachable"
[ -e "$missing" ] && fail "the missing central database was created"

# 3. No ConnectTo key: nothing is written, no key is created, the start goes on.
wine reg delete "$key" /f >/dev/null 2>&1
wine "$setup" --central-db "$db" --code 12345678 --run --quiet --log "$out/no-key.log"; rc=$?
[ "$rc" = 3 ] || fail "no key: exit code $rc, expected 3 (connected, run stopped at package 1)"
wine reg query "$key" >/dev/null 2>&1 && fail "the program created the ConnectTo key"

# 4. Bad command line, a log that cannot be written, and --help on the console.
wine "$setup" --bogus >/dev/null 2>&1; rc=$?
[ "$rc" = 5 ] || fail "unknown option: exit code $rc"
wine "$setup" --log 'Q:\no\such\folder\x.log' >/dev/null 2>&1; rc=$?
[ "$rc" = 5 ] || fail "unwritable log: exit code $rc"
wine "$setup" --help 2>/dev/null | tr -d '\r' | grep -q -- "--central-db FILE" || fail "--help text"

[ "$failed" = 0 ] && echo "e2e.startup: all checks hold"
exit "$failed"
