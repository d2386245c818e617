#!/usr/bin/env bash
# `make demo`: builds the demo central database and runs orvitex-setup.exe under
# Wine with its own Xvfb, then prints the log, the exit code, the aliases it wrote
# and where the screenshot is.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ORVITEX_BUILD_DIR:-$root/build/win64}
exe=$build/orvitex-setup.exe
[ -f "$exe" ] || { echo "demo: $exe is missing; run 'make win64' first" >&2; exit 1; }

out=$build/demo
mkdir -p "$out"
# Package rows hold the fake setup wizard when it has been built, NULL otherwise.
program=$(find "$build" -name fake-setup.exe -type f 2>/dev/null | head -n 1 || true)
"$root/tools/demo-db/build-demo-db.sh" "$out/orvitex-demo.db" ${program:+"$program"}
probe=$(find "$build" -name orvitex-probe.exe -type f 2>/dev/null | head -n 1 || true)

export ORVITEX_WINEPREFIX=${ORVITEX_WINEPREFIX:-$build/wineprefix}
exec "$root/tools/wine-run.sh" --host "$root/tools/demo-db/run-demo.sh" "$exe" "$out" "$probe"
