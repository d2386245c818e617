#!/usr/bin/env bash
# Checks a release executable (orvitex-setup.exe or orvitex-setup-32bit.exe): its
# .sha256 beside it matches, its name says its architecture, it carries no symbols
# or debug sections, and stripping kept the manifest (administrator rights, DPI
# awareness) and the version resource.
set -euo pipefail
exe=$1
version=${ORVITEX_VERSION:-[0-9]*\.[0-9]*\.[0-9]*}
objdump=x86_64-w64-mingw32-objdump
name=$(basename "$exe")
headers=$($objdump -p "$exe")
sections=$($objdump -h "$exe")
symbols=$($objdump -t "$exe")
wide=$(strings -el "$exe")  # the version resource is UTF-16
status=0
check() {
    if eval "$2"; then echo "ok      $1"; else echo "FAILED  $1"; status=1; fi
}
check "checksum beside the executable" \
    '(cd "$(dirname "$exe")" && sha256sum --status -c "$(basename "$exe").sha256")'
if grep -q 'file format pei-i386' <<<"$headers"; then
    check "a 32-bit executable named as one" '[ "$name" = orvitex-setup-32bit.exe ]'
    check "large address aware" 'grep -q "large address aware" <<<"$headers"'
else
    check "a 64-bit executable named as one" '[ "$name" = orvitex-setup.exe ]'
fi
check "no debug sections" '! grep -q "\.debug" <<<"$sections"'
check "no symbol table" 'grep -qx "no symbols" <<<"$symbols"'
check "manifest asks for administrator rights" 'grep -aqc "requireAdministrator" "$exe"'
check "manifest declares per-monitor DPI awareness" 'grep -aqc "PerMonitorV2" "$exe"'
check "version resource names the file" 'grep -qx "$name" <<<"$wide"'
check "version resource holds the version" 'grep -qx "$version" <<<"$wide"'
exit $status
