#!/usr/bin/env bash
# Installs the Debian packages the build and every test tier need; skips the
# download when all of them are already present. The 32-bit build runs under
# Wine's i386 half, which needs Debian's i386 architecture and its ODBC driver.
set -euo pipefail
packages=(
    cmake make g++ g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
    wine wine64 wine32:i386 libsqliteodbc:i386 nsis xvfb xdotool imagemagick fonts-nanum
    unixodbc unixodbc-dev libsqliteodbc odbc-postgresql postgresql
    googletest sqlite3 clang-format clang libclang-rt-14-dev libpq-dev nlohmann-json3-dev
    libssl-dev time
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
# Installing postgresql must not start a server of its own: tests start theirs.
guard=""
if [ ! -e /usr/sbin/policy-rc.d ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee /usr/sbin/policy-rc.d >/dev/null
    $sudo chmod +x /usr/sbin/policy-rc.d
    guard=/usr/sbin/policy-rc.d
fi
trap '[ -z "$guard" ] || $sudo rm -f "$guard"' EXIT
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get -o DPkg::Lock::Timeout=300 update -qq
$sudo apt-get -o DPkg::Lock::Timeout=300 install -y -qq "${missing[@]}" >/dev/null
