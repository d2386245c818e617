#!/usr/bin/env bash
# Creates the Wine prefix once (wineboot -i) and gives it what the tests rely on:
# Korean font substitutes. Called by wine-run.sh with the prefix locked.
#   wine-prefix.sh PREFIX      make PREFIX ready
#   wine-prefix.sh --runs-32bit  exit 0 when this machine runs 32-bit Windows programs
set -euo pipefail
# Wine's i386 loader is a 32-bit Linux program: it runs where wine32 is installed
# and the kernel runs 32-bit code.
runs_32bit() { [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; }
if [ "$1" = --runs-32bit ]; then
    runs_32bit
    exit
fi
prefix=$1
export LC_ALL=C.UTF-8
stamp="$prefix/.orvitex-ready"
# A prefix made before Wine's i386 half was installed cannot start 32-bit programs:
# it is made again once they can run.
arch=64
runs_32bit && arch=64+32
# An empty stamp is from before the i386 half was looked for: 64-bit only.
made=$(cat "$stamp" 2>/dev/null || true)
[ -f "$stamp" ] && [ "${made:-64}" = "$arch" ] && exit 0

rm -rf "$prefix"
WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
WINEPREFIX=$prefix wineserver -w

# Without substitutes a fresh prefix draws Hangul as boxes.
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in "굴림" "맑은 고딕" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Gulim" "Malgun Gothic"; do
    WINEPREFIX=$prefix wine reg add "$key" /v "$face" /t REG_SZ /d NanumGothic /f >/dev/null 2>&1
done
WINEPREFIX=$prefix wineserver -w
echo "$arch" >"$stamp"
