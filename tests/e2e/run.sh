#!/usr/bin/env bash
# The installation run of the real orvitex-setup.exe under tools/wine-run.sh --host,
# against a SQLite central database whose stored programs are copies of the
# stand-in wizard (tools/fake-setup), which journals every click it receives.
#   run.sh VARIANT orvitex-setup.exe fake-setup.exe OUT-FOLDER build-demo-db.sh orvitex-probe.exe
# VARIANT: complete, 144dpi (twice: as is, and with the Windows 7 functions only),
# unknown-code, empty-package, stuck, hang, late, closed
set -uo pipefail

variant=$1 setup=$2 wizard=$3 out=$4/$1 builddb=$5 probe=$6 pass=""
# shellcheck source=../../tools/demo-db/run-common.sh
. "$(dirname "$builddb")/run-common.sh"
failed=0
fail() { echo "FAIL: $variant${pass:+ ($pass)}: $*"; failed=1; }
tools=$(dirname "$builddb")/..
# The report against its schema, and the fleet summary's columns of it.
check_report() {
    "$tools/validate-report" "$out/run.json" || fail "the report does not match its schema"
    local summary column
    summary="$("$tools/summarize-reports" "$out" | tail -n 1) "
    for column in "$@"; do
        grep -qF -- "  $column " <<<"$summary" || fail "summary lacks '$column': $summary"
    done
}

mkdir -p "$out"
db=$out/central.db journal=$out/clicks.log runlog=$install_dir/orvitex-setup.log
rm -f "$journal" "$out/setup.log"
"$builddb" "$db" "$wizard" >/dev/null || fail "demo database"
# Only these packages keep their stored program; the others are Null and skipped.
keep_only() {
    sqlite3 "$db" "UPDATE tb_도르네AS SET 실행파일 = NULL WHERE 파일이름 NOT IN ($1)" ||
        fail "nulling packages"
}
export ORVITEX_CLICK_JOURNAL ORVITEX_FAKE_SETUP=""
ORVITEX_CLICK_JOURNAL=$(windows_path "$journal")
if [ "$variant" = 144dpi ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
        fail "could not set 144 dpi"
    wineserver -k # the next process starts with the new DPI
    ORVITEX_FAKE_SETUP=dpiaware
fi
prepare_drive || fail "keys and folders before the run"
: >"$journal"

expect_log() { grep -qF -- "$1" "$runlog" || fail "run log lacks '$1'"; }
pictures() { ls "$install_dir" | grep '^orvitex-setup-.*\.png$'; }
# Each picture the report names is on disk, a PNG of the whole Xvfb screen.
check_pictures() {
    local want=$1 path file size screen named=0
    [ "$(pictures | wc -l)" = "$want" ] || fail "$(pictures | wc -l) pictures on disk, $want expected"
    screen=$(xdotool getdisplaygeometry | tr ' ' x)
    while IFS= read -r path; do
        file=$install_dir/${path##*\\}
        [ -s "$file" ] || fail "the report's picture $path is not on disk"
        size=$(identify -format '%wx%h' "$file" 2>/dev/null)
        [ "$size" = "$screen" ] || fail "picture $path is '$size', the screen '$screen'"
        expect_log "screen picture ("
        named=$((named + 1))
    done < <(python3 -c 'import json,sys; [print(p["path"]) for p in json.load(open(sys.argv[1], encoding="utf-8"))["pictures"]]' "$out/run.json" | tr -d '\r')
    [ "$named" = "$want" ] || fail "the report names $named pictures, $want expected"
}
run() {
    wine "$setup" --central-db "$db" --code "$1" --run --quiet --log "$out/setup.log" "${@:2}"
}
# The values of a run that reached its end; none after a run that stopped.
check_values() {
    local want=$1 pair got
    got=$(value_of "$connect_key" '127.0.0.1\ORVITEX')
    [ "$got" = "${want:+REG_SZ DBNMPNTW,\\\\127.0.0.1\\pipe\\MSSQL\$ORVITEX\\sql\\query}" ] ||
        fail "pipe alias is '$got'"
    for pair in "${policies[@]}"; do
        got=$(value_of "$policy_key" "${pair%=*}")
        [ "$got" = "${want:+REG_DWORD ${pair#*=}}" ] || fail "${pair%=*} is '$got'"
    done
}

# Every started package clicked through: each click on its button at its point.
check_clicked_through() {
    local n=$1 p i buttons=(AADD AADD BBB BBB C AA)
    await_journal "$journal" ' end ' "$n" || fail "wizards still running"
    [ "$(grep -c ' start ' "$journal")" = "$n" ] || fail "$(grep -c ' start ' "$journal") wizards started"
    for ((i = 0; i < n; i++)); do
        p=${packages[i]}
        [ "$(buttons_of "$journal" "$p")" = "${buttons[i]}" ] ||
            fail "$p clicks '$(buttons_of "$journal" "$p")', expected '${buttons[i]}'"
        grep -q "^$p end reason=done" "$journal" || fail "$p did not end as done"
        cmp -s "$wizard" "$install_dir/$p" || fail "$p differs from the stored program"
        # Each click logged with the stand-in's button under it at the press.
        [ "$(tr -d '\r' <"$runlog" | grep -c "($p): click at [0-9]*,[0-9]* (physical [0-9]*,[0-9]*) on Button '[^']*' in '[^']*' of $p$")" = ${#buttons[i]} ] ||
            fail "$p: not each click logged on its button"
        expect_log "package $((i + 1)) ($p): wizard clicked through"
    done
    [ -z "$(off_target "$journal")" ] || fail "clicks off target: $(off_target "$journal")"
    ls "$install_dir" | grep -q '\.part$' && fail "a temporary file was left"
}

# The whole run: every package clicked through, every value and file, the report.
complete() {
    rm -f "$out/run.json"
    run 12345678 --report "$out/run.json"; rc=$?
    [ "$rc" = 0 ] || fail "exit code $rc, expected 0"
    check_clicked_through 6
    check_values yes
    cmp -s "$drive/OrvitexDemo/update/Orvitex.ini" "$drive/Orvitex/bin/Orvitex.ini" ||
        fail "Orvitex.ini not copied"
    expect_log "institution code '12345678'"
    expect_log "SHA-256 $(sha256sum "$wizard" | cut -d' ' -f1)"
    expect_log "[ValidateAdminCodesSignatures] = 0: written"
    # The least total of the scripts' table; a slow wizard adds passes at B.
    slept=$(tr -d '\r' <"$runlog" | sed -n 's/.*fixed sleeps of the run: \([0-9]*\) ms$/\1/p')
    [ "${slept:-0}" -ge 22750 ] || fail "fixed sleeps '$slept' ms, at least 22750 expected"
    expect_log "run complete; exit code 0"
    grep -q "demo-password\|19KupTel57" "$runlog" "$out/setup.log" "$out/run.json" &&
        fail "a password is logged or reported"
    [ -e "$out/run.json.part" ] && fail "the report's temporary file was left"
    check_report "0 complete" same
    check_pictures 0
    python3 - "$out/run.json" "$install_dir" "$([ "$variant" = 144dpi ] && echo 144 || echo 96)" <<'PY' || fail "the report"
import hashlib, json, os, sys
doc = json.load(open(sys.argv[1], encoding="utf-8"))
assert doc["mode"] == "run" and doc["exitCode"] == 0 and doc["exitMeaning"] == "complete", doc
assert [p["index"] for p in doc["packages"]] == [1, 2, 3, 4, 5, 6]
for p in doc["packages"]:
    data = open(os.path.join(sys.argv[2], p["file"].split("\\")[-1]), "rb").read()
    assert p["action"] == "fetched" and p["started"] and p["bytes"] == len(data), p
    assert p["sha256"] == hashlib.sha256(data).hexdigest(), p
    # Layout pixels scaled by the display's DPI are the physical ones. Clicking
    # until gone may press once more on a window closing under the cursor.
    for c in p["clicks"]:
        assert abs(c["physicalX"] - c["x"] * int(sys.argv[3]) / 96) <= 1, c
        assert c["class"] == "Button" or p["index"] in (3, 4), c
        assert c["class"] != "Button" or c["process"] == p["file"].split("\\")[-1], c
on_buttons = [sum(c["class"] == "Button" for c in p["clicks"]) for p in doc["packages"]]
assert on_buttons == [4, 4, 3, 3, 1, 2], doc["packages"]
assert doc["clientConfig"]["result"] == "copied", doc["clientConfig"]
writes = doc["registryWrites"]
assert [w["result"] for w in writes] == ["written"] * 17, writes
assert [w["name"] for w in writes[:3]] == ["127.0.0.2", "127.0.0.1", "127.0.0.1\\ORVITEX"], writes
PY
}

case $variant in
complete) complete ;;
144dpi)
    complete
    # Again with none of the functions newer than Windows 7: the program scales
    # the scripts' points itself.
    pass=win7
    prepare_drive || fail "keys and folders before the second run"
    : >"$journal"
    ORVITEX_WIN7_API=1 complete
    ;;
empty-package)
    sqlite3 "$db" "UPDATE tb_도르네AS SET 실행파일 = X'' WHERE 파일이름 = 'ALL7'" || fail "empty ALL7"
    rm -f "$out/run.json"
    run 12345678 --report "$out/run.json"; rc=$?
    check_report "package 5 (ALLV7_XProxy_soapLibSetupSetup.exe): stored program of length 0"
    [ "$rc" = 3 ] || fail "exit code $rc, expected 3"
    check_clicked_through 4
    check_values ""
    [ -e "$install_dir/${packages[4]}" ] && fail "the empty program was written"
    expect_log "package 5 (${packages[4]}): stored program of length 0, run stopped; exit code 3"
    ;;
unknown-code)
    rm -f "$out/run.json"
    run 99999999 --report "$out/run.json"; rc=$?
    check_report 99999999 "2 unknown institution code"
    [ "$rc" = 2 ] || fail "exit code $rc, expected 2"
    [ -e "$install_dir" ] && fail "the install folder was made"
    [ "$(cat "$drive/Orvitex/bin/Orvitex.ini")" = old ] || fail "the old program folder was touched"
    [ -s "$journal" ] && fail "a wizard was started"
    check_values ""
    ;;
stuck)
    # The update setup's window is never replaced, the click-until-gone window never goes.
    keep_only "'오르비필수업데이트', '오르비필수업데이트2'"
    rm -f "$out/run.json"
    ORVITEX_FAKE_SETUP=stuck run 12345678 --wait-limit 2 --report "$out/run.json"; rc=$?
    check_report "2 uOrvitex1.exe: limit reached, 3 uOrvitex2.exe: limit reached"
    [ "$rc" = 8 ] || fail "exit code $rc, expected 8"
    [ "$(buttons_of "$journal" uOrvitex1.exe)" = AA ] ||
        fail "update setup clicks '$(buttons_of "$journal" uOrvitex1.exe)', expected AA"
    buttons_of "$journal" uOrvitex2.exe | grep -qx 'BB*' ||
        fail "click-until-gone clicks '$(buttons_of "$journal" uOrvitex2.exe)'"
    for line in "package 2 (uOrvitex1.exe): wizard wait limit reached: its window not replaced within 2000 ms; going on" \
        "package 3 (uOrvitex2.exe): wizard wait limit reached: a window with its caption still open after 2000 ms; going on" \
        "run finished, but 2 wizards did not complete; exit code 8"; do
        expect_log "$line"
        grep -qF -- "$line" "$out/setup.log" || fail "--log lacks '$line'"
    done
    check_values yes
    check_pictures 2
    ;;
hang)
    # The main setup's thread stops answering once its window is up, for 30 s: the run
    # gives up on it within its wait limit, while it still hangs, and goes on.
    keep_only "'오르비셋업'"
    rm -f "$out/run.json"
    ORVITEX_FAKE_SETUP=hang run 12345678 --wait-limit 5 --report "$out/run.json"; rc=$?
    [ "$rc" = 8 ] || fail "exit code $rc, expected 8"
    grep -q ' hang ' "$journal" || fail "the stand-in did not hang"
    grep -q ' end reason=hung' "$journal" && fail "the run waited until the wizard answered again"
    expect_log "package 1 (iOrvitex.exe): wizard '오르비텍스 설치' stopped answering: its window did not answer within 5000 ms; going on"
    expect_log "run finished, but 1 wizards did not complete; exit code 8"
    check_report "1 iOrvitex.exe: stopped answering"
    check_pictures 1
    check_values yes
    ;;
late)
    # Windows that open after the run looked: neither is clicked, the run goes on.
    keep_only "'오르비셋업', '오르비필수업데이트'"
    ORVITEX_FAKE_SETUP=late run 12345678; rc=$?
    [ "$rc" = 0 ] || fail "exit code $rc, expected 0"
    await_journal "$journal" ' start ' 2 || fail "wizards not started"
    grep -E ' (click|miss) ' "$journal" && fail "a late wizard was clicked"
    expect_log "package 1 (iOrvitex.exe): wizard not found"
    expect_log "package 2 (uOrvitex1.exe): wizard not found"
    expect_log "run complete; exit code 0"
    ;;
closed)
    # The main window closed while a script waits: the run ends there, at once.
    keep_only "'오르비셋업'"
    ORVITEX_FAKE_SETUP=stuck run 12345678 & pid=$!
    await_journal "$journal" ' click button=A' 2 || fail "the wizard was not clicked"
    wine "$probe" close >/dev/null || fail "main window not closed"
    for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        fail "still waiting for the wizard 30 s after its main window closed"
        kill "$pid"
    fi
    wait "$pid"; rc=$?
    [ "$rc" = 5 ] || fail "exit code $rc, expected 5"
    expect_log "main window closed during the run; exit code 5"
    ;;
*) fail "unknown variant" ;;
esac

echo "--- $runlog"; cat "$runlog" 2>/dev/null
echo "--- $journal"; cat "$journal"
# The other tests of this prefix start from a drive C without the run's folders.
rm -rf "$install_dir" "$drive/Orvitex" "$drive/OrvitexDemo"
[ "$failed" = 0 ] && echo "e2e.run.$variant: all checks hold"
exit "$failed"
