#!/usr/bin/env bash
# Builds the demo central database: a SQLite file holding the server-information
# table and the setup-file table, reached by orvitex-setup through the SQLite
# ODBC driver (--central-db).
#
#   build-demo-db.sh OUTPUT.db [SETUP-PROGRAM.exe]
#
# With a setup program every package row holds a copy of it; without one the
# rows hold NULL, and the run skips every package.
set -euo pipefail

out=$1
program=${2:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

mkdir -p "$(dirname "$out")"
rm -f "$out" "$out.tmp"
blob="NULL"
if [ -n "$program" ]; then
    [ -f "$program" ] || { echo "build-demo-db: no such setup program: $program" >&2; exit 1; }
    # readfile() reads the bytes on the host; the path is quoted for SQL.
    blob="readfile('${program//\'/\'\'}')"
fi
# Escaped for the sed replacement text.
blob_sed=$(printf '%s' "$blob" | sed 's/[&|\\]/\\&/g')
sed "s|@BLOB@|$blob_sed|g" "$here/demo-db.sql" | sqlite3 -bail "$out.tmp"
mv "$out.tmp" "$out"
echo "demo central database: $out"
