#!/usr/bin/env bash
# Installs the Debian packages the build and every test tier need; skips the
# download when all of them are already present.
set -euo pipefail
packages=(
    cmake make g++ g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    wine wine64 xvfb xdotool imagemagick fonts-nanum
    unixodbc unixodbc-dev libsqliteodbc odbc-postgresql postgresql
    googletest sqlite3 clang-format clang libclang-rt-14-dev libpq-dev nlohmann-json3-dev
    libssl-dev time python3-jsonschema osslsigncode openssl
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
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
