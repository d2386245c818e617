#!/usr/bin/env bash
# Runs under tools/wine-run.sh --host: sets the prefix to 144 dpi, then runs a Win32
# test program twice, with the newer DPI functions and with Windows 7's only.
#   at-144dpi.sh TEST.exe [ARGS...]
set -uo pipefail
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
    { echo "could not set 144 dpi"; exit 1; }
wineserver -k  # the next process starts with the new DPI
status=0
ORVITEX_EXPECT_DPI=144 wine "$@" || status=1
ORVITEX_EXPECT_DPI=144 ORVITEX_WIN7_API=1 wine "$@" || status=1
exit $status
