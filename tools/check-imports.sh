#!/usr/bin/env bash
# Fails when a Windows executable imports a DLL that is not part of Windows itself,
# or a function that Windows 7 SP1 lacks: the installer must run on a bare clinic
# PC, and the loader refuses an executable whose imports it cannot find.
#   check-imports.sh EXE [MINGW-C-COMPILER]
# The newer functions are what the MinGW headers declare for Windows 10 but not for
# Windows 7, plus tools/post-win7-functions.txt for those the headers do not guard.
set -euo pipefail
exe=$1 cc=${2:-x86_64-w64-mingw32-gcc-posix}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
allowed='^(ADVAPI32|BCRYPT|COMCTL32|COMDLG32|GDI32|KERNEL32|MSVCRT|ODBC32|OLE32|OLEAUT32|SHELL32|SHLWAPI|USER32|UXTHEME|VERSION|WTSAPI32)\.DLL$'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every function a set of headers declares at one Windows version, one a line.
declared() {
    printf '#include <windows.h>\n#include <shellapi.h>\n#include <shellscalingapi.h>\n#include <shlobj.h>\n' >"$work/h.c"
    "$cc" -D_WIN32_WINNT="$1" -DWINVER="$1" -fsyntax-only -aux-info "$work/aux" "$work/h.c"
    sed -n 's/^.*:NC \*\/ //p' "$work/aux" | sed -E 's/ *\(.*//; s/.*[ *]//' | sort -u
}
declared 0x0601 >"$work/win7"
declared 0x0A00 >"$work/win10"
{
    comm -13 "$work/win7" "$work/win10"
    grep -v '^#' "$here/post-win7-functions.txt"
} | sort -u >"$work/newer"
[ "$(grep -c 'Dpi' "$work/newer")" -gt 10 ] || { echo "the newer-function list came out empty" >&2; exit 1; }

# "DLL Name: X" starts a DLL's block; its rows are "vma hint name".
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '
    /^[[:space:]]*DLL Name: / { dll = $3; print "dll " dll; next }
    /^[[:space:]]*$/ { dll = "" }
    dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print "fn " dll " " $3 }')
grep -q '^dll ' <<<"$imports" || { echo "no import table read from $exe" >&2; exit 1; }
status=0
while read -r kind dll function; do
    if [ "$kind" = dll ]; then
        if [[ ${dll^^} =~ $allowed ]]; then
            echo "ok      $dll"
        else
            echo "foreign $dll"
            status=1
        fi
    elif grep -qxF "$function" "$work/newer"; then
        echo "newer   $dll $function (not on Windows 7 SP1)"
        status=1
    fi
done <<<"$imports"
exit $status
