#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host. Two real copies at once: the second finds
# the first, writes nothing, says so and ends with 6; after the first has ended
# the next copy starts as usual.
#   one_copy.sh orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh
set -uo pipefail

. "$(dirname "$0")/common.sh"
marker() { wine reg query "$key" /v 127.0.0.1 2>/dev/null | tr -d '\r' | grep -c 'REG_SZ *marker$'; }

db="$out/central-one-copy.db"
"$builddb" "$db" >/dev/null || fail "demo database"
wine reg add "$key" /f >/dev/null 2>&1
log="$out/one-copy.log"
wine "$setup" --central-db "$db" --log "$log" &
first=$!
wine "$probe" main | tr -d '\r' | grep -q '^WINDOW ' || fail "the first copy's window is not shown"
# The first copy has written its aliases; the marker shows whether another does.
wine reg add "$key" /v 127.0.0.1 /t REG_SZ /d marker /f >/dev/null 2>&1

# Quiet: the message goes to the log, which the second copy adds to, not replaces.
timeout 60 wine "$setup" --central-db "$db" --quiet --log "$log"; rc=$?
[ "$rc" = 6 ] || fail "quiet second copy: exit code $rc, expected 6"
[ "$(marker)" = 1 ] || fail "the quiet second copy wrote an alias"

# Shown: the message box with its OK button.
wine "$setup" --central-db "$db" &
second=$!
report=$(wine "$probe" message "이미 실행 중입니다." | tr -d '\r')
echo "$report" | grep -q '^ok message reads "이미 실행 중입니다."' || fail "no box says so: $report"
echo "$report" | grep -q '^ok one OK button' || fail "the box has other buttons"
wine "$probe" ok >/dev/null
wait_bounded "$second" 60; rc=$?
[ "$rc" = 6 ] || fail "second copy: exit code $rc, expected 6"
[ "$(marker)" = 1 ] || fail "the second copy wrote an alias"

wine "$probe" close >/dev/null || fail "close box"
wait_bounded "$first" 60; rc=$?
[ "$rc" = 5 ] || fail "first copy closed without a run: exit code $rc, expected 5"
timeout 60 wine "$setup" --central-db "$db" --run --quiet --log "$out/one-copy-after.log"; rc=$?
[ "$rc" = 2 ] || fail "a copy after the first ended (no code given): exit code $rc, expected 2"
[ "$(marker)" = 0 ] || fail "a copy after the first ended wrote no alias"
for line in "main server connected" "message: 이미 실행 중입니다." "^exit code 5"; do
    grep -q "$line" "$log" || fail "the shared log lacks '$line'"
done
[ "$failed" = 0 ] && echo "e2e.one-copy: all checks hold"
exit "$failed"
