#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host, in a prefix set to DPI (default 144): the
# window lays itself out from twips at its own DPI. With "win7" the program finds
# none of the functions newer than Windows 7 and must reach the same geometry
# through their fallbacks (the probe still uses the newer ones to measure).
#   dpi.sh orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh [DPI [win7]]
set -uo pipefail

. "$(dirname "$0")/common.sh"
dpi=${5:-144} api=${6:-}
name="${dpi}dpi${api:+-$api}"

wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 ||
    fail "could not set $dpi dpi"
wineserver -k  # the next process starts with the new DPI
wineserver -p
wine reg add "$key" /f >/dev/null 2>&1

db="$out/central-$name.db"
"$builddb" "$db" >/dev/null || fail "demo database"
if [ "$api" = win7 ]; then
    ORVITEX_WIN7_API=1 wine "$setup" --central-db "$db" --log "$out/startup-$name.log" &
else
    wine "$setup" --central-db "$db" --log "$out/startup-$name.log" &
fi
pid=$!
report=$(wine "$probe" main | tr -d '\r')
echo "$report" | grep -v '^ok '
echo "$report" | grep -q '^WINDOW ' || fail "main window not found"
echo "$report" | grep -q '^MISMATCH' && fail "window differs from its design at $dpi dpi"
echo "$report" | grep -q "^ok client .* at $dpi dpi" || fail "the window is not at $dpi dpi"
wine "$probe" close >/dev/null
wait_bounded "$pid" 60
[ "$failed" = 0 ] && echo "e2e.startup.$name: all checks hold"
exit "$failed"
