#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host (DISPLAY and WINEPREFIX are ours).
#   check.sh orvitex-setup.exe fake-setup.exe OUT-FOLDER build-demo-db.sh
# --check on a ready PC (every line ok, exit 0, registry and drive C: unchanged), on
# one with ConnectTo in the 64-bit view only (warn) and on a broken one (exit 7,
# exactly the three broken things failing).
set -uo pipefail

setup=$1 program=$2 out=$3 builddb=$4
mkdir -p "$out"
c="$WINEPREFIX/drive_c"
install="$c/오르비설치"
connect='HKLM\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo'
policy='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System'
failed=0
fail() { echo "FAIL: $*"; failed=1; }

keys() {  # add|delete KEY: in the 64-bit and the 32-bit view
    for view in 64 32; do wine reg "$1" "$2" /reg:$view /f >/dev/null 2>&1; done
}
snapshot() {
    wine reg export HKLM "$out/$1-hklm.reg" /y >/dev/null 2>&1 || fail "reg export"
    (cd "$c" && find . -printf '%y %s %T@ %p\n' | sort) >"$out/$1-drive-c.txt"
}
# HKLM as exported, less the key Wine itself adds for each new display.
hklm() {
    iconv -f utf-16 -t utf-8 "$out/$1-hklm.reg" |
        awk '/^\[/ { skip = index($0, "\\Control\\Video\\") } !skip'
}
unchanged() {
    diff <(hklm before) <(hklm after) || fail "$1: the registry changed"
    diff "$out/before-drive-c.txt" "$out/after-drive-c.txt" || fail "$1: drive C: changed"
}
check() {  # NAME: runs --check quietly, output in OUT/NAME.txt; prints the exit code
    wine "$setup" --check --quiet --central-db "$db" --code 12345678 --log "$out/$1.log" \
        --report "$out/$1.json" >"$out/$1.txt"
    echo $?
}

# A PC ready for a run.
keys add "$connect"
keys add "$policy"
rm -rf "$install" "$c/Orvitex" "$c/OrvitexDemo"
mkdir -p "$c/OrvitexDemo/update"
printf '[Server]\r\nName=demo\r\n' >"$c/OrvitexDemo/update/Orvitex.ini"
db="$out/central.db"
"$builddb" "$db" "$program" >/dev/null || fail "demo database"

# 1. Every check passes and nothing changes.
wine reg query "$connect" >/dev/null 2>&1  # Wine's first start settles the prefix
snapshot before
rc=$(check ready)
snapshot after
unchanged "ready check"
[ "$rc" = 0 ] || fail "ready check: exit code $rc, expected 0"
[ "$(grep -c '^ok   ' "$out/ready.txt")" = 14 ] || fail "ready check: not 14 ok lines"
grep -q 'check: every check passed; exit code 0' "$out/ready.txt" || fail "ready check: summary"
cat "$out/ready.txt"

# 2. ConnectTo in the 64-bit view only: check warns, exit 0; a run exits 0; both name the views.
wine reg delete "$connect" /reg:32 /f >/dev/null 2>&1
rc=$(check one-view)
[ "$rc" = 0 ] || fail "one-view check: exit code $rc, expected 0"
grep -qx 'warn registry ConnectTo: 64-bit view: present and writable; 32-bit view: missing, 32-bit programs will not see the value' \
    <(tr -d '\r' <"$out/one-view.txt") || fail "one-view check: the warn line"
grep -q 'check: every check passed, 1 with a warning; exit code 0' "$out/one-view.txt" ||
    fail "one-view check: summary"
cp "$db" "$out/one-view.db"
sqlite3 "$out/one-view.db" "UPDATE tb_도르네AS SET 실행파일 = NULL" || fail "nulling packages"
wine "$setup" --run --quiet --central-db "$out/one-view.db" --code 12345678 \
    --log "$out/one-view-run.log" --report "$out/one-view-run.json"
rc=$?
[ "$rc" = 0 ] || fail "one-view run: exit code $rc, expected 0"
grep -q 'ConnectTo \[.*: written (64-bit view: written; 32-bit view: missing, 32-bit programs will not see the value)' \
    "$out/one-view-run.log" || fail "one-view run: the log names the views"
python3 - "$out/one-view.json" "$out/one-view-run.json" <<'PY' || fail "one-view: reports"
import json, sys
check, run = (json.load(open(f, encoding="utf-8")) for f in sys.argv[1:])
assert [c["name"] for c in check["checks"] if c["status"] == "warn"] == ["registry ConnectTo"]
views = {w["key"].endswith("ConnectTo"): w["views"].endswith("32-bit view: written") for w in run["registryWrites"]}
assert views == {True: False, False: True}, run["registryWrites"]
PY
rm -rf "$install" "$c/Orvitex"
keys add "$connect"

# 3. No ConnectTo key, an empty package 5, no Orvitex.ini: those three lines fail.
keys delete "$connect"
sqlite3 "$db" "UPDATE tb_도르네AS SET 실행파일 = X'' WHERE 파일이름 = 'ALL7'" || fail "empty ALL7"
rm "$c/OrvitexDemo/update/Orvitex.ini"
rc=$(check broken)
[ "$rc" = 7 ] || fail "broken check: exit code $rc, expected 7"
expected="FAIL package 5 (ALLV7_XProxy_soapLibSetupSetup.exe): stored program of length 0: the run would stop here
FAIL registry ConnectTo: 64-bit view: missing, 64-bit programs will not see the value; 32-bit view: missing, 32-bit programs will not see the value
FAIL Orvitex.ini: cannot read C:\\OrvitexDemo\\update\\Orvitex.ini"
[ "$(grep '^FAIL' "$out/broken.txt" | tr -d '\r')" = "$expected" ] || fail "broken check: the FAIL lines"
cat "$out/broken.txt"
python3 - "$out/broken.json" <<'PY' || fail "broken check: report"
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
assert doc["mode"] == "check" and doc["exitCode"] == 7, doc
assert [c["ok"] for c in doc["checks"]].count(False) == 3, doc["checks"]
PY

"$(dirname "$builddb")/../validate-report" "$out/ready.json" "$out/broken.json" ||
    fail "a report does not match its schema"

rm -rf "$install" "$c/Orvitex" "$c/OrvitexDemo"
[ "$failed" = 0 ] && echo "e2e.check: all checks hold"
exit "$failed"
