#!/usr/bin/env bash
# A wizard no one here wrote: package 1 is a real NSIS installer built here with
# makensis (tests/e2e/nsis-wizard.nsi), the other packages Null. The scripts' fixed
# offsets do not fit its layout, so the run must end within its wait limits and say
# so: never exit 0, the waits that reached their limit in the log and the report.
#   nsis.sh amd64-unicode|x86-unicode orvitex-setup.exe OUT-FOLDER build-demo-db.sh NSI
set -uo pipefail

target=$1 setup=$2 out=$3/$1 builddb=$4 script=$5
# shellcheck source=../../tools/demo-db/run-common.sh
. "$(dirname "$builddb")/run-common.sh"
failed=0
fail() { echo "FAIL: nsis $target: $*"; failed=1; }
command -v makensis >/dev/null || { echo "SKIP: makensis is not installed"; exit 77; }

mkdir -p "$out"
wizard=$out/nsis-setup.exe db=$out/central.db runlog=$install_dir/orvitex-setup.log
makensis -V1 -DTARGET="$target" -DOUTFILE="$wizard" "$script" || fail "makensis"
"$builddb" "$db" "$wizard" >/dev/null || fail "demo database"
sqlite3 "$db" "UPDATE tb_도르네AS SET 실행파일 = NULL WHERE 파일이름 <> '오르비셋업'" ||
    fail "nulling packages"
prepare_drive || fail "keys and folders before the run"

# A run still going at the generous bound has a wait without a limit.
timeout 240 wine "$setup" --central-db "$db" --code 12345678 --run --quiet --wait-limit 3 \
    --log "$out/setup.log" --report "$out/report.json"
rc=$?
[ "$rc" != 124 ] || fail "the run did not end within 240 s"
[ "$rc" != 0 ] || fail "exit code 0 although the wizard did not complete"
grep -F 'package 1 (iOrvitex.exe): wizard wait limit reached' "$runlog" ||
    fail "the run log does not name the wait that reached its limit"
python3 - "$out/report.json" <<'PY' || fail "report"
import json, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
assert doc["exitCode"] != 0, doc["exitCode"]
main = doc["packages"][0]
assert main["started"] and main["script"] == "limit reached", main
PY
rm -rf "$install_dir" "$drive/Orvitex" "$drive/OrvitexDemo"
exit "$failed"
