#!/usr/bin/env bash
# Run by wine-run.sh --host: puts a Unix symbolic link to an outside folder into a
# tree on drive_c of the prefix, runs the Win32 test program on it, and removes
# what it made (rm does not follow the link).
#   host_link.sh PROGRAM.exe [ARGS...]
set -euo pipefail
program=$1
shift
root="$WINEPREFIX/drive_c/orvitex-hostlink"
rm -rf "$root"
mkdir -p "$root/Tree/Sub" "$root/Outside/Inner"
echo keep >"$root/Outside/keep.txt"
echo data >"$root/Tree/Sub/f.txt"
echo data >"$root/Tree/top.txt"
ln -s ../Outside "$root/Tree/Link"

status=0
ORVITEX_HOST_LINK_ROOT='C:\orvitex-hostlink' wine "$program" "$@" || status=$?
test -f "$root/Outside/keep.txt" || { echo "host_link: the outside file is gone" >&2; status=1; }
rm -rf "$root"
exit "$status"
