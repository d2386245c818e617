#!/usr/bin/env bash
# Installs the Debian packages the build and every test tier need; skips the
# download when all of them are already present. The 32-bit build runs under
# Wine's i386 half (wine32:i386, with the i386 SQLite ODBC driver). That half is
# installed only where the kernel runs 32-bit programs: elsewhere Debian's `wine`
# would start its i386 loader for every program and fail with "Exec format error",
# and the 32-bit tests skip instead.
set -euo pipefail
packages=(
    cmake make g++ g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine64 libsqliteodbc:i386 nsis xvfb xdotool imagemagick fonts-nanum
    unixodbc unixodbc-dev libsqliteodbc odbc-postgresql postgresql
    googletest sqlite3 clang-format clang libclang-rt-14-dev libpq-dev nlohmann-json3-dev
    libssl-dev time python3-jsonschema osslsigncode openssl
)
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# The i386 dynamic loader comes with libc6:i386; it starts only where 32-bit code runs.
runs_32bit() { /usr/lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1; }

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
want_wine32() { ! installed wine32:i386 && runs_32bit; }
[ ${#missing[@]} -eq 0 ] && ! want_wine32 && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
apt() { $sudo apt-get -o DPkg::Lock::Timeout=300 "$@"; }
# Installing postgresql must not start a server of its own: tests start theirs.
guard=""
if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee /usr/sbin/policy-rc.d >/dev/null
    $sudo chmod +x /usr/sbin/policy-rc.d
    guard=/usr/sbin/policy-rc.d
fi
trap '[ -z "$guard" ] || $sudo rm -f "$guard"' EXIT
if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    apt update -qq
    apt install -y -qq "${missing[@]}" >/dev/null
fi
if want_wine32; then
    echo "install-deps: installing wine32:i386"
    apt install -y -qq wine32:i386 >/dev/null
elif ! runs_32bit; then
    echo "install-deps: this machine does not run 32-bit programs; wine32:i386 left out," \
        "the 32-bit Wine tests skip"
fi
