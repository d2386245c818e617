#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host, in a prefix set to DPI (default 144): the
# window lays itself out from twips at its own DPI. With "win7" the program finds
# none of the functions newer than Windows 7 and must reach the same geometry
# through their fallbacks (the probe still uses the newer ones to measure).
#   dpi.sh orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh [DPI [win7]]
set -uo pipefail

. "$(dirname "$0")/common.sh"
dpi=${5:-144}
api=${6:-}
case $dpi in
    96) client=521x240 ;;
    144) client=782x360 ;;  # 7815 x 3600 twips
    *) echo "no expected size for $dpi dpi"; exit 2 ;;
esac
name="${dpi}dpi${api:+-$api}"

wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    fail "could not set $dpi dpi"
wineserver -k  # the next process starts with the new DPI
wineserver -p
wine reg add "$key" /f >/dev/null 2>&1

db="$out/central-$name.db"
"$builddb" "$db" >/dev/null || fail "demo database"
log="$out/startup-$name.log"
if [ "$api" = win7 ]; then
    ORVITEX_WIN7_API=1 wine "$setup" --central-db "$db" --log "$log" &
else
    wine "$setup" --central-db "$db" --log "$log" &
fi
pid=$!
report=$(wine "$probe" main | tr -d '\r')
echo "$report" | grep -v '^ok '
echo "$report" | grep -q '^MISMATCH' && fail "window differs from its design at $dpi dpi"
if line=$(echo "$report" | grep '^WINDOW '); then
    read -r _ l t w h <<<"$line"
    import -window root -crop "${w}x${h}+${l}+${t}" +repage "$out/main-window-$name.png" &&
        echo "screenshot: $out/main-window-$name.png"
else
    fail "main window not found"
fi
wine "$probe" close >/dev/null
wait_bounded "$pid" 60
grep -q "client $client pixels at $dpi dpi" "$log" || fail "client area is not 7815 x 3600 twips at $dpi dpi"
cat "$log"
[ "$failed" = 0 ] && echo "e2e.startup.$name: all checks hold"
exit "$failed"
