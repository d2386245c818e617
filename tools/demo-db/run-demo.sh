#!/usr/bin/env bash
# The demo itself, under tools/wine-run.sh --host (DISPLAY and WINEPREFIX set).
#   run-demo.sh orvitex-setup.exe OUT-FOLDER [orvitex-probe.exe]
set -uo pipefail

exe=$1 out=$2 probe=${3:-}
db=$out/orvitex-demo.db
code=12345678
key='HKLM\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo'

# On a real PC the SQL Server client creates this key; the program never does.
wine reg add "$key" /f >/dev/null 2>&1

# --- The preflight check (--check) --------------------------------------------
# What a deployment tool would run first: one line a check, nothing changed,
# exit 0 when the PC is ready for a run and 7 when it is not.
wine reg add "$key" /reg:32 /f >/dev/null 2>&1  # 32-bit SQL clients read this view
echo "== 0. Preflight: --check --quiet (changes nothing)"
wine "$exe" --check --quiet --central-db "$db" --code "$code" --report "$out/check.json" |
    tr -d '\r'
echo "exit code ${PIPESTATUS[0]} (0: ready for a run, 7: a check failed); report $out/check.json"
echo
# --- end of the preflight check ------------------------------------------------

echo "== 1. The main window, as the user sees it before pressing 실 행"
wine "$exe" --central-db "$db" --code "$code" --log "$out/window.log" &
pid=$!
shot=""
for _ in $(seq 1 300); do
    id=$(xdotool search --onlyvisible --name '^Orvitex 설치$' 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
        sleep 1  # let it paint
        import -window "$id" "$out/demo-window.png" && shot=$out/demo-window.png
        break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
if [ -n "$probe" ] && kill -0 "$pid" 2>/dev/null; then
    wine "$probe" close >/dev/null 2>&1
else
    kill "$pid" 2>/dev/null
fi
wait "$pid"
echo "exit code $? (window closed without a run)"

echo
echo "== 2. Unattended: --central-db --code $code --run --quiet --log"
wine "$exe" --central-db "$db" --code "$code" --run --quiet --log "$out/demo.log"
rc=$?
echo "--- log ($out/demo.log)"
cat "$out/demo.log"
echo "--- exit code: $rc"
case $rc in
    0) echo "    0: the run completed" ;;
    2) echo "    2: the institution code is unknown" ;;
    3) echo "    3: the run stopped at an empty stored program" ;;
    4) echo "    4: the main server was unreachable" ;;
    5) echo "    5: the run ended without completing (a failed step, see the log)" ;;
    6) echo "    6: another copy of the installer was already running" ;;
esac
echo "--- aliases in the Wine prefix (HKLM\\SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo)"
wine reg query "$key" 2>/dev/null | tr -d '\r' | grep REG_SZ || echo "    (none)"
echo "--- screenshot: ${shot:-none could be taken}"
exit 0
