#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host (DISPLAY and WINEPREFIX are ours).
#   run.sh orvitex-setup.exe journal-start.exe OUT-FOLDER build-demo-db.sh
set -uo pipefail

setup=$1 program=$2 out=$3 builddb=$4
mkdir -p "$out"
c="$WINEPREFIX/drive_c"
install="$c/오르비설치"
connect='HKLM\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo'
policy='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Policies\System'
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# The value's type and data as `reg query` shows them, or nothing.
value_of() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v n="$2" '$1 == n { print $2, $3 }'
}

# Waits (bounded) until the started programs have journalled n starts.
starts_after() {
    for _ in $(seq 1 100); do
        [ "$(wc -l <"$journal" 2>/dev/null || echo 0)" -ge "$1" ] && break
        sleep 0.1
    done
    sleep 0.5
    tr -d '\r' <"$journal" 2>/dev/null | tr '\n' ' '
}

# A real PC has both keys; the program never creates a key.
wine reg add "$connect" /f >/dev/null 2>&1 || fail "ConnectTo key"
wine reg add "$policy" /f >/dev/null 2>&1 || fail "Policies\\System key"
rm -rf "$install" "$c/Orvitex" "$c/OrvitexDemo"
mkdir -p "$c/OrvitexDemo/update" "$c/Orvitex/bin"
printf '[Server]\r\nName=demo\r\n' >"$c/OrvitexDemo/update/Orvitex.ini"
printf 'stale' >"$c/Orvitex/bin/Orvitex.ini"
export ORVITEX_START_JOURNAL
ORVITEX_START_JOURNAL=$(winepath -w "$out/starts.txt" | tr -d '\r')
journal="$out/starts.txt"

# 1. A complete run.
db="$out/central.db"
"$builddb" "$db" "$program" >/dev/null || fail "demo database"
rm -f "$journal"
wine "$setup" --central-db "$db" --code 12345678 --run --quiet --log "$out/complete.log"; rc=$?
[ "$rc" = 0 ] || fail "complete run: exit code $rc, expected 0"
all="started iOrvitex.exe started uOrvitex1.exe started uOrvitex2.exe started uOrvitex3.exe started ALLV7_XProxy_soapLibSetupSetup.exe started IHiraDurSetupSW0421.exe "
[ "$(starts_after 6)" = "$all" ] || fail "complete run: starts were '$(starts_after 6)'"
for f in iOrvitex.exe uOrvitex1.exe uOrvitex2.exe uOrvitex3.exe \
    ALLV7_XProxy_soapLibSetupSetup.exe IHiraDurSetupSW0421.exe; do
    cmp -s "$program" "$install/$f" || fail "$f differs from the stored program"
done
ls "$install" | grep -q '\.part$' && fail "a temporary file was left"
cmp -s "$c/OrvitexDemo/update/Orvitex.ini" "$c/Orvitex/bin/Orvitex.ini" || fail "Orvitex.ini not copied"
[ "$(value_of "$connect" '127.0.0.1\ORVITEX')" = 'REG_SZ DBNMPNTW,\\127.0.0.1\pipe\MSSQL$ORVITEX\sql\query' ] ||
    fail "pipe alias is '$(value_of "$connect" '127.0.0.1\ORVITEX')'"
[ "$(value_of "$connect" 127.0.0.1)" = "REG_SZ DBMSSOCN,127.0.0.1,4181" ] || fail "main-server alias"
[ "$(value_of "$connect" 127.0.0.2)" = "REG_SZ DBMSSOCN,127.0.0.2" ] || fail "second-server alias"
for pair in ConsentPromptBehaviorAdmin=0x2 ConsentPromptBehaviorUser=0x3 dontdisplaylastusername=0x0 \
    EnableInstallerDetection=0x1 EnableLUA=0x1 EnableSecureUIAPaths=0x1 EnableUIADesktopToggle=0x0 \
    EnableVirtualization=0x1 FilterAdministratorToken=0x0 PromptOnSecureDesktop=0x1 \
    scforceoption=0x0 shutdownwithoutlogon=0x1 undockwithoutlogon=0x1 ValidateAdminCodesSignatures=0x0; do
    [ "$(value_of "$policy" "${pair%=*}")" = "REG_DWORD ${pair#*=}" ] ||
        fail "${pair%=*} is '$(value_of "$policy" "${pair%=*}")'"
done
runlog="$install/orvitex-setup.log"
grep -q "institution code '12345678'" "$runlog" || fail "run log: the code"
grep -q "package 1 (iOrvitex.exe): fetched, $(stat -c %s "$program") bytes" "$runlog" || fail "run log: fetch"
grep -q "\[ValidateAdminCodesSignatures\] = 0: written" "$runlog" || fail "run log: registry"
grep -q "run complete; exit code 0" "$runlog" || fail "run log: the end"
grep -q "demo-password\|19KupTel57" "$runlog" "$out/complete.log" && fail "a password is logged"
echo "--- $runlog"; cat "$runlog"

# 2. Package 5 stored empty: packages 1 to 4 (reused now) start, then the run stops.
sqlite3 "$db" "UPDATE tb_도르네AS SET 실행파일 = X'' WHERE 파일이름 = 'ALL7'" || fail "empty ALL7"
rm -f "$journal" "$install/ALLV7_XProxy_soapLibSetupSetup.exe"
wine "$setup" --central-db "$db" --code 12345678 --run --quiet --log "$out/empty.log"; rc=$?
[ "$rc" = 3 ] || fail "package 5 empty: exit code $rc, expected 3"
four="started iOrvitex.exe started uOrvitex1.exe started uOrvitex2.exe started uOrvitex3.exe "
[ "$(starts_after 4)" = "$four" ] || fail "package 5 empty: starts were '$(starts_after 4)'"
grep -q "package 5 (ALLV7_XProxy_soapLibSetupSetup.exe): stored program of length 0" "$runlog" ||
    fail "run log: the stop"

# 3. An unknown code: exit 2, neither folder touched.
rm -rf "$install"
mkdir -p "$c/Orvitex/bin"
: >"$c/Orvitex/bin/marker"
wine "$setup" --central-db "$db" --code 99999999 --run --quiet --log "$out/unknown.log"; rc=$?
[ "$rc" = 2 ] || fail "unknown code: exit code $rc, expected 2"
[ -e "$install" ] && fail "unknown code: the install folder was made"
[ -e "$c/Orvitex/bin/marker" ] || fail "unknown code: the old program folder was touched"

[ "$failed" = 0 ] && echo "e2e.run: all checks hold"
exit "$failed"
