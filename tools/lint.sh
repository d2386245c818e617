#!/usr/bin/env bash
# clang-tidy with the project's .clang-tidy over the project's own C++ that the
# native build compiles (src/, tests/, tools/, bench/), two files at a time; any
# finding fails. The Win32 back end and its tests need the Windows headers and
# are not analysed here: the MinGW build's warnings-as-errors guards them.
#   lint.sh [FILE...]    every file of the native build, or only these
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD db=build/native/compile_commands.json
[ -f "$db" ] || cmake --preset native >/dev/null || exit 1
if [ $# -gt 0 ]; then
    files=("$@")  # only these, e.g. the files a change touches
else
    mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$db" |
                         grep -E "^$root/(src|tests|tools|bench)/" | sort -u)
fi
log=build/lint.log
printf '%s\n' "${files[@]}" |
    xargs -P2 -n4 clang-tidy -p build/native --quiet --header-filter="^$root/(src|tests|tools|bench)/" \
        >"$log" 2>&1
status=$?
findings=$(grep -cE '^/.*: (warning|error): ' "$log")
grep -E -A3 '^/.*: (warning|error): ' "$log" | sed "s|^$root/||"
echo "lint: ${#files[@]} files, $findings findings (full output in $log)"
[ "$status" -eq 0 ] && [ "$findings" -eq 0 ]
