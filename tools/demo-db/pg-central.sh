# Sourced: a private PostgreSQL on loopback as the central database, its one stored
# program (for 오르비셋업) given, the other five packages Null. Sets pg (its folder),
# port, pgpid and psql (the client as an array); pg_central_stop ends it by its pid.
#   pg_central_start PROGRAM-FILE
pg_central_start() {
    local bin as_pg=()
    bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
    pg=$(mktemp -d)
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    # PostgreSQL refuses root; setpriv execs, so $! is the server's own pid
    [ "$(id -u)" = 0 ] && as_pg=(setpriv --reuid=postgres --regid=postgres --init-groups) && chown postgres "$pg"
    cp "$1" "$pg/package.exe" && chmod a+r "$pg/package.exe" || return 1
    "${as_pg[@]}" "$bin/initdb" -D "$pg/db" -U postgres -A trust -E UTF8 --locale=C --no-sync >"$pg/log" ||
        return 1
    "${as_pg[@]}" "$bin/postgres" -D "$pg/db" -p "$port" -h 127.0.0.1 -k "$pg" -c fsync=off >>"$pg/log" 2>&1 &
    pgpid=$!
    psql=("$bin/psql" -h 127.0.0.1 -p "$port" -U postgres -q -v ON_ERROR_STOP=1 -At)
    for _ in $(seq 1 150); do "$bin/pg_isready" -q -h 127.0.0.1 -p "$port" && break; sleep 0.2; done
    "${psql[@]}" >/dev/null <<SQL
CREATE TABLE tb_orvi서버정보 (요양기관기호 text, 자동업데이트경로 text, 서버Name text, 서버ID text, 서버PWD text, 데이터베이스 text);
INSERT INTO tb_orvi서버정보 VALUES ('12345678', 'C:\OrvitexDemo\update', '127.0.0.1\ORVITEX', 'demo', 'demo-password', 'd');
CREATE TABLE tb_도르네AS (파일이름 text, 실행파일 bytea);
INSERT INTO tb_도르네AS SELECT k, CASE WHEN k = '오르비셋업' THEN pg_read_binary_file('$pg/package.exe') END
    FROM unnest(ARRAY['오르비셋업', '오르비필수업데이트', '오르비필수업데이트2', '오르비필수업데이트3', 'ALL7', 'DUR']) k;
SQL
}

# Fast shutdown, bounded; then its folder goes.
pg_central_stop() {
    if [ -n "${pgpid:-}" ] && kill -INT "$pgpid" 2>/dev/null; then
        for _ in $(seq 1 150); do kill -0 "$pgpid" 2>/dev/null || break; sleep 0.2; done
        kill -KILL "$pgpid" 2>/dev/null || true
        wait "$pgpid" 2>/dev/null || true
    fi
    pgpid=""
    if [ -n "${pg:-}" ]; then rm -rf "$pg"; fi
    pg=""
}
