#!/usr/bin/env bash
# One fault injected into a run of the real orvitex-setup.exe under tools/wine-run.sh
# --host: the run must say so in its log and exit code, lose nothing and leave no
# file under a wrong name.
#   faults.sh VARIANT orvitex-setup.exe fake-setup.exe OUT-FOLDER build-demo-db.sh deny_key.exe
# VARIANT: disk-full, denied, no-update, no-ini, bin-file, not-exe, crash
set -uo pipefail

variant=$1 setup=$2 wizard=$3 out=$4/$1 builddb=$5 denykey=$6
# shellcheck source=../../tools/demo-db/run-common.sh
. "$(dirname "$builddb")/run-common.sh"
failed=0
fail() { echo "FAIL: $variant: $*"; failed=1; }
policy_path=${policy_key#HKLM\\}
mounted="" denied=""
# The other tests of this prefix start from a drive C without the run's folders.
cleanup() {
    [ -n "$denied" ] && { wine "$denykey" "$denied" allow || echo "could not lift the DACL"; }
    [ -n "$mounted" ] && umount "$mounted"
    rm -rf "$install_dir" "$drive/Orvitex" "$drive/OrvitexDemo"
}
trap cleanup EXIT
trap 'exit 1' TERM INT

mkdir -p "$out"
db=$out/central.db log=$out/setup.log journal=$out/clicks.log
rm -f "$log" "$journal"
"$builddb" "$db" "$wizard" >/dev/null || fail "demo database"
export ORVITEX_CLICK_JOURNAL ORVITEX_FAKE_SETUP=""
ORVITEX_CLICK_JOURNAL=$(windows_path "$journal")
# On a loaded machine `wine reg` now and then fails at once: asked again.
prepare_drive || prepare_drive || fail "keys and folders before the run"

# Only the first package keeps a program (given as SQL), or none at all.
first_only() {
    sqlite3 "$db" "UPDATE tb_도르네AS SET 실행파일 = CASE 파일이름 WHEN '오르비셋업' THEN $1 END" ||
        fail "setting the packages"
}
expect_log() { grep -qF -- "$1" "$log" || fail "log lacks '$1'"; }
run() {
    timeout 120 wine "$setup" --central-db "$db" --code 12345678 --run --quiet --log "$log" \
        --wait-limit 30
    rc=$?
    [ "$rc" = "$1" ] || fail "exit code $rc, expected $1"
}
# The values of the run's end: written whatever else failed, or none after a stop.
check_values() {
    local pair got
    got=$(value_of "$connect_key" '127.0.0.1\ORVITEX')
    [ "${got:+yes}" = "$1" ] || fail "pipe alias is '$got'"
    for pair in "${policies[@]}"; do
        got=$(value_of "$policy_key" "${pair%=*}")
        [ "$got" = "${2:+REG_DWORD ${pair#*=}}" ] || fail "${pair%=*} is '$got'"
    done
}
no_package_file() {
    [ -e "$install_dir/${packages[0]}" ] && fail "a file under the package's name was left"
    compgen -G "$install_dir/*.part" >/dev/null && fail "a temporary file was left"
}

case $variant in
disk-full)
    # A package folder with less room than the package.
    mkdir -p "$install_dir"
    if ! mount -t tmpfs -o size=256k tmpfs "$install_dir"; then
        echo "SKIP: e2e.faults.disk-full: cannot mount a size-limited folder here"
        exit 77
    fi
    mounted=$install_dir
    [ "$(stat -c %s "$wizard")" -gt 262144 ] || fail "the package fits the folder"
    run 5
    no_package_file
    expect_log "failed: package 1 (${packages[0]}), fetching the file: cannot write"
    check_values "" ""
    ;;
denied)
    # Everyone may do anything with the key but set its values.
    first_only NULL
    wine "$denykey" "$policy_path" deny || fail "could not set the DACL"
    denied=$policy_path
    run 5
    for pair in "${policies[@]}"; do
        expect_log "registry Policies\\System [${pair%=*}] = $((${pair#*=})): key missing or refused"
    done
    expect_log "workstation settings: 14 of 15 registry values not written"
    check_values yes ""
    ;;
no-update | no-ini)
    first_only "readfile('${wizard//\'/\'\'}')"
    if [ "$variant" = no-update ]; then rm -r "$drive/OrvitexDemo/update"; else
        rm "$drive/OrvitexDemo/update/Orvitex.ini"; fi
    run 5
    [ -e "$drive/Orvitex/bin/Orvitex.ini" ] && fail "an Orvitex.ini appeared"
    expect_log "Orvitex.ini copy from C:\\OrvitexDemo\\update\\Orvitex.ini handed to the shell: failed"
    expect_log "run finished with failures: Orvitex.ini not copied"
    check_values yes yes
    ;;
bin-file)
    first_only "readfile('${wizard//\'/\'\'}')"
    ORVITEX_FAKE_SETUP=binfile run 5
    [ -f "$drive/Orvitex/bin" ] && [ ! -s "$drive/Orvitex/bin" ] ||
        fail "the plain file C:\\Orvitex\\bin was overwritten or removed"
    expect_log "Orvitex.ini: failed: C:\\Orvitex\\bin is a file, not a folder; not copied"
    expect_log "run finished with failures: Orvitex.ini not copied"
    check_values yes yes
    ;;
not-exe)
    first_only "CAST('this is text, not a program' AS BLOB)"
    run 5
    expect_log "failed: package 1 (${packages[0]}), starting it: cannot start"
    check_values "" ""
    ;;
crash)
    first_only "readfile('${wizard//\'/\'\'}')"
    ORVITEX_FAKE_SETUP=crash run 5
    await_journal "$journal" ' start ' 1 || fail "the package was not started"
    expect_log "failed: package 1 (${packages[0]}): its program crashed, exception code 0xC0000005"
    check_values "" ""
    ;;
*) fail "unknown variant" ;;
esac

echo "--- $log"; cat "$log" 2>/dev/null
[ "$failed" = 0 ] && echo "e2e.faults.$variant: all checks hold"
exit "$failed"
