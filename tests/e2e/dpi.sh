#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host, in a prefix of its own set to 144 dpi:
# the window lays itself out from twips at its own DPI.
#   dpi.sh orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh
set -uo pipefail

setup=$1 probe=$2 out=$3 builddb=$4
mkdir -p "$out"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
    fail "could not set 144 dpi"
wineserver -k  # the next process starts with the new DPI
wine reg add 'HKLM\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo' /f >/dev/null 2>&1

db="$out/central-144dpi.db"
"$builddb" "$db" >/dev/null || fail "demo database"
log="$out/startup-144dpi.log"
wine "$setup" --central-db "$db" --log "$log" &
pid=$!
report=$(wine "$probe" main | tr -d '\r')
echo "$report" | grep -v '^ok '
echo "$report" | grep -q '^MISMATCH' && fail "window differs from its design at 144 dpi"
if line=$(echo "$report" | grep '^WINDOW '); then
    read -r _ l t w h <<<"$line"
    import -window root -crop "${w}x${h}+${l}+${t}" +repage "$out/main-window-144dpi.png" &&
        echo "screenshot: $out/main-window-144dpi.png"
else
    fail "main window not found"
fi
wine "$probe" close >/dev/null
wait "$pid"
grep -q "client 782x360 pixels at 144 dpi" "$log" || fail "client area is not 7815 x 3600 twips at 144 dpi"
cat "$log"
[ "$failed" = 0 ] && echo "e2e.startup.144dpi: all checks hold"
exit "$failed"
