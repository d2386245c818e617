#!/usr/bin/env bash
# Creates the Wine prefix once (wineboot -i) and gives it what the tests rely on:
# Korean font substitutes. Called by wine-run.sh with the prefix locked.
set -euo pipefail
prefix=$1
export LC_ALL=C.UTF-8
stamp="$prefix/.orvitex-ready"
[ -f "$stamp" ] && exit 0

rm -rf "$prefix"
WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
WINEPREFIX=$prefix wineserver -w

# Without substitutes a fresh prefix draws Hangul as boxes.
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in "굴림" "맑은 고딕" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Gulim" "Malgun Gothic"; do
    WINEPREFIX=$prefix wine reg add "$key" /v "$face" /t REG_SZ /d NanumGothic /f >/dev/null 2>&1
done
WINEPREFIX=$prefix wineserver -w
touch "$stamp"
