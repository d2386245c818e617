#!/usr/bin/env bash
# The central server lost mid-run: orvitex-setup.exe under tools/wine-run.sh --host
# over a private PostgreSQL on loopback (--central-odbc), stopped by its pid while a
# wizard is up; then started again for a run that completes.
#   central_loss.sh orvitex-setup.exe orvitex-probe.exe OUT-FOLDER build-demo-db.sh fake-setup.exe
set -uo pipefail
. "$(dirname "$0")/common.sh"
. "$(dirname "$builddb")/run-common.sh"
bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
pg=$(mktemp -d) journal=$out/clicks.log runlog=$install_dir/orvitex-setup.log pgpid=""
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
as_pg=()  # PostgreSQL refuses root; setpriv execs, so $! is the server's own pid
[ "$(id -u)" = 0 ] && as_pg=(setpriv --reuid=postgres --regid=postgres --init-groups) && chown postgres "$pg"
start_pg() {
    "${as_pg[@]}" "$bin/postgres" -D "$pg/db" -p "$port" -h 127.0.0.1 -k "$pg" -c fsync=off >>"$pg/log" 2>&1 &
    pgpid=$!
    for _ in $(seq 1 150); do "$bin/pg_isready" -q -h 127.0.0.1 -p "$port" && return; sleep 0.2; done
    fail "PostgreSQL not ready"
}
stop_pg() { [ -n "$pgpid" ] && kill -INT "$pgpid" && wait_bounded "$pgpid" 30; pgpid=""; }
trap 'stop_pg; rm -rf "$pg"' EXIT
cp "$5" "$pg/wizard.exe"
"${as_pg[@]}" "$bin/initdb" -D "$pg/db" -U postgres -A trust -E UTF8 --locale=C --no-sync >"$pg/log" || fail initdb
start_pg
"$bin/psql" -h 127.0.0.1 -p "$port" -U postgres -q -v ON_ERROR_STOP=1 >/dev/null <<SQL || fail "central tables"
CREATE TABLE tb_orvi서버정보 (요양기관기호 text, 자동업데이트경로 text, 서버Name text, 서버ID text, 서버PWD text, 데이터베이스 text);
INSERT INTO tb_orvi서버정보 VALUES ('12345678', 'C:\OrvitexDemo\update', '127.0.0.1\ORVITEX', 'demo', 'demo-password', 'd');
CREATE TABLE tb_도르네AS (파일이름 text, 실행파일 bytea);
INSERT INTO tb_도르네AS SELECT k, pg_read_binary_file('$pg/wizard.exe')
    FROM unnest(ARRAY['오르비셋업', '오르비필수업데이트', '오르비필수업데이트2', '오르비필수업데이트3', 'ALL7', 'DUR']) k;
SQL
odbc="Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=$port;Database=postgres;UID=postgres;PWD=pg-secret-7"
run() { wine "$setup" --central-odbc "$1" --code 12345678 --run --quiet --log "$out/setup.log"; }
export ORVITEX_CLICK_JOURNAL ORVITEX_FAKE_SETUP=""
ORVITEX_CLICK_JOURNAL=$(windows_path "$journal")
prepare_drive || fail "keys and folders before the run"
: >"$journal"
run "Driver={PostgreSQL Unicode;Server=127.0.0.1" >"$out/usage.txt"; rc=$?
[ "$rc" = 5 ] && grep -q '^Usage: orvitex-setup' "$out/usage.txt" || fail "malformed string: exit $rc"
[ -e "$install_dir" ] && fail "a refused command line made the install folder"
run "$odbc" & pid=$!
for _ in 1 2 3; do await_journal "$journal" ' start ' 1 && break; done || fail "no wizard started"
stop_pg
wait_bounded "$pid" 120; rc=$?
mv "$out/setup.log" "$out/lost.log"
[ "$rc" = 5 ] || fail "exit code $rc with the server stopped, expected 5"
# Unattended, the loss message itself ends the program: no file but the whole fetched ones.
[ "$(ls "$install_dir" | grep -c '\.exe')" = "$(grep -c ': fetched, ' "$runlog")" ] || fail "files left"
for f in "$install_dir"/*.exe*; do cmp -s "$5" "$f" || fail "$f is not a whole stored program"; done
for f in "$out/lost.log" "$runlog"; do grep -q '인터넷 또는 서버연결이 끊겼습니다' "$f" || fail "$f: loss untold"; done
[ -z "$(value_of "$policy_key" EnableLUA)" ] || fail "a stopped run wrote a policy value"

start_pg
run "$odbc"; rc=$?
[ "$rc" = 0 ] || fail "exit code $rc after the server came back, expected 0"
await_journal "$journal" ' end ' "$(grep -c ' start ' "$journal")" || fail "wizards still running"
grep -q 'pg-secret-7' "$runlog" "$out/"*.log && fail "the password is logged"
cp "$runlog" "$out/run.log" 2>/dev/null
rm -rf "$install_dir" "$drive/Orvitex" "$drive/OrvitexDemo"
echo "--- $out/run.log"; cat "$out/run.log"
[ "$failed" = 0 ] && echo "e2e.central_loss: all checks hold"
exit "$failed"
