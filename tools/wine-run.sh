#!/usr/bin/env bash
# Runs a Win32 program (or, with --host, a host command) under Wine with its own
# Xvfb display, in the Wine prefix named by ORVITEX_WINEPREFIX, and stops exactly
# what it started: its Xvfb by pid and the wineserver of that prefix.
#
#   wine-run.sh PROGRAM.exe [ARGS...]     run the program under Wine
#   wine-run.sh --host COMMAND [ARGS...]  run a host command with WINEPREFIX and DISPLAY set
#
# Runs sharing a prefix are serialised with a lock on it, so parallel CTest
# jobs never stop each other's processes. With ORVITEX_USE_DISPLAY=1 a working
# $DISPLAY of the caller is used instead of an Xvfb of its own. With
# ORVITEX_NEEDS_32BIT=1 (the 32-bit tests) a machine that cannot run 32-bit
# programs gets a SKIP line and exit code 77 instead of a failure.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=${ORVITEX_WINEPREFIX:-$PWD/wineprefix}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

if [ "${ORVITEX_NEEDS_32BIT:-}" = 1 ] && ! "$here/wine-prefix.sh" --runs-32bit; then
    echo "SKIP: this machine does not run 32-bit Windows programs (wine32:i386, IA32 emulation)"
    exit 77
fi

export WINEPREFIX=$prefix
# A 64-bit prefix: with Wine's i386 half installed it runs 32-bit programs through
# WOW64, as 64-bit Windows does.
export WINEARCH=win64
# Wine converts command lines and file names with the Unix locale: Hangul needs UTF-8.
export LC_ALL=C.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
# Never wait for a Mono or Gecko download dialog.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

exec 9>"$prefix.lock"
flock 9

xvfb_pid=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

start_xvfb() {
    local fifo display
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 8 -screen 0 "${ORVITEX_SCREEN:-1280x1024x24}" -nolisten tcp \
        -dpi "${ORVITEX_DPI:-96}" 8>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 20 display <"$fifo" || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
    rm -f "$fifo"
    export DISPLAY=":$display"
}

if [ "${ORVITEX_USE_DISPLAY:-}" = 1 ] && [ -n "${DISPLAY:-}" ] &&
    timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "wine-run: on your display $DISPLAY"
else
    start_xvfb
fi
"$here/wine-prefix.sh" "$prefix"
# One wineserver for the whole run: a program started while the last one's server
# is shutting down can get a wrong exit code.
wineserver -p

if [ "${1:-}" = "--host" ]; then
    shift
    "$@"
else
    wine "$@"
fi
