#!/usr/bin/env bash
# Fails when a Windows executable imports a DLL that is not part of Windows itself:
# the installer must run on a bare clinic PC, with nothing installed beside it.
set -euo pipefail
exe=$1
allowed='^(ADVAPI32|BCRYPT|COMCTL32|COMDLG32|GDI32|KERNEL32|MSVCRT|ODBC32|OLE32|OLEAUT32|SHELL32|SHLWAPI|USER32|UXTHEME|VERSION)\.DLL$'
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "no import table read from $exe" >&2; exit 1; }
status=0
while read -r dll; do
    if [[ ${dll^^} =~ $allowed ]]; then
        echo "ok      $dll"
    else
        echo "foreign $dll"
        status=1
    fi
done <<<"$imports"
exit $status
