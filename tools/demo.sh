#!/usr/bin/env bash
# `make demo`: the installer's main job on the embedded demo database. Builds the
# demo central database (its six stored programs are copies of the stand-in wizard)
# and runs orvitex-setup.exe --run --quiet under Wine, in a prefix of its own, on
# your display when $DISPLAY works, else on an Xvfb of its own.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${ORVITEX_BUILD_DIR:-$root/build/win64}
exe=$build/orvitex-setup.exe
wizard=$build/tools/fake-setup/fake-setup.exe
for f in "$exe" "$wizard"; do
    [ -f "$f" ] || { echo "demo: $f is missing; run 'make win64' first" >&2; exit 1; }
done

out=$build/demo
mkdir -p "$out"
"$root/tools/demo-db/build-demo-db.sh" "$out/orvitex-demo.db" "$wizard"

export ORVITEX_WINEPREFIX=$out/prefix ORVITEX_USE_DISPLAY=1
exec "$root/tools/wine-run.sh" --host "$root/tools/demo-db/run-demo.sh" "$exe" "$out"
