# Private PostgreSQL clusters on loopback, for the tests and the demo.
# shellcheck shell=bash

# free_port: prints a TCP port on 127.0.0.1 that nobody listens on now.
free_port() {
  python3 - <<'PY'
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()
PY
}

# run_pg_cmd: runs a PostgreSQL binary as the cluster's owner.
run_pg_cmd() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$PG_RUN_USER" -- "$@"
  else
    "$@"
  fi
}

# pg_start BINDIR DATADIR PORT [OPTIONS]: initialises (when new) and starts a cluster
# with superuser postgres / $PG_SUPERPASS, scram on TCP for all but the md5 and
# cleartext test roles. The server log is server.log beside DATADIR, where the
# cluster's owner may write.
pg_start() {
  local bin=$1 data=$2 port=$3 extra=${4:-}
  local logfile
  logfile="$(dirname "$data")/server.log"
  local libdir
  libdir=$(cd "$bin/.." && pwd)/lib
  mkdir -p "$data"
  if [ "$(id -u)" -eq 0 ]; then chown -R "$PG_RUN_USER" "$(dirname "$data")"; fi
  if [ ! -f "$data/PG_VERSION" ]; then
    local pwfile="$(dirname "$data")/pw"
    printf '%s\n' "$PG_SUPERPASS" >"$pwfile"
    [ "$(id -u)" -eq 0 ] && chown "$PG_RUN_USER" "$pwfile"
    LD_LIBRARY_PATH="$libdir" run_pg_cmd "$bin/initdb" -D "$data" -U postgres --pwfile="$pwfile" \
      --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 >/dev/null 2>&1 \
      || LD_LIBRARY_PATH="$libdir" run_pg_cmd "$bin/initdb" -D "$data" -U postgres --pwfile="$pwfile" \
           --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --locale=C >/dev/null
    rm -f "$pwfile"
    # Protocol 2.0 cannot carry SCRAM, so the old cluster uses md5 throughout.
    local major method=scram-sha-256
    major=$(LD_LIBRARY_PATH="$libdir" "$bin/postgres" --version | grep -o '[0-9][0-9]*' | head -n 1)
    [ "$major" -lt 14 ] && method=md5
    cat >"$data/pg_hba.conf" <<HBA
local all all trust
host all quillon_md5 127.0.0.1/32 md5
host all quillon_plain 127.0.0.1/32 password
host all all 127.0.0.1/32 $method
host all all ::1/128 $method
HBA
    [ "$(id -u)" -eq 0 ] && chown "$PG_RUN_USER" "$data/pg_hba.conf"
  fi
  LD_LIBRARY_PATH="$libdir" run_pg_cmd "$bin/pg_ctl" -D "$data" -l "$logfile" -w -t 60 \
    -o "-p $port -c listen_addresses=127.0.0.1 -k $(dirname "$data") -c fsync=off -c max_connections=300 $extra" start >/dev/null
}

pg_stop() {
  local bin=$1 data=$2
  local libdir
  libdir=$(cd "$bin/.." && pwd)/lib
  [ -f "$data/postmaster.pid" ] || return 0
  LD_LIBRARY_PATH="$libdir" run_pg_cmd "$bin/pg_ctl" -D "$data" -m fast -w stop >/dev/null 2>&1 || true
}

# pg_psql BINDIR DATADIR DB args...: psql over the cluster's unix socket as superuser.
pg_psql() {
  local bin=$1 data=$2 db=$3
  shift 3
  local psql=/usr/bin/psql
  PGHOST="$(dirname "$data")" PGPORT="$PG_PORT_FOR_PSQL" run_pg_cmd "$psql" -X -q -v ON_ERROR_STOP=1 -U postgres -d "$db" "$@"
}

# pg_prepare BINDIR DATADIR PORT MAJOR: roles and the template databases.
# quillon is the clients' role, quillon_server the coordination server's
# (password gierzwaluw), which alone may read the stored password hashes.
pg_prepare() {
  local bin=$1 data=$2 port=$3 major=$4
  PG_PORT_FOR_PSQL=$port
  local scram_enc=scram-sha-256
  [ "$major" -lt 14 ] && scram_enc=md5   # protocol 2.0 cannot carry SCRAM
  pg_psql "$bin" "$data" postgres >/dev/null <<SQL
set password_encryption = '$scram_enc';
do \$\$ begin
  if not exists (select 1 from pg_roles where rolname = 'quillon') then
    create role quillon login createdb;
  end if;
end \$\$;
alter role quillon password 'zwaluwen';
do \$\$ begin
  if not exists (select 1 from pg_roles where rolname = 'quillon_server') then
    create role quillon_server login;
  end if;
end \$\$;
alter role quillon_server password 'gierzwaluw';
set password_encryption = 'md5';
do \$\$ begin
  if not exists (select 1 from pg_roles where rolname = 'quillon_md5') then create role quillon_md5 login; end if;
  if not exists (select 1 from pg_roles where rolname = 'quillon_plain') then create role quillon_plain login; end if;
end \$\$;
alter role quillon_md5 password 'zwaluwen';
alter role quillon_plain password 'zwaluwen';
grant quillon to quillon_md5, quillon_plain;
SQL
  local db
  for db in quillon_template quillon_demo; do
    pg_psql "$bin" "$data" postgres -c "drop database if exists $db with (force)" >/dev/null 2>&1 || {
      pg_psql "$bin" "$data" postgres -c "alter database $db is_template false" >/dev/null 2>&1 || true
      pg_psql "$bin" "$data" postgres -c "drop database if exists $db" >/dev/null; }
    pg_psql "$bin" "$data" postgres -c "create database $db owner quillon" >/dev/null
    pg_psql "$bin" "$data" "$db" -f - <"$ROOT/sql/schema.sql" >/dev/null
    pg_psql "$bin" "$data" "$db" -f - <"$ROOT/sql/privileges.sql" >/dev/null
    if [ "$db" = quillon_demo ]; then
      pg_psql "$bin" "$data" "$db" -f - <"$ROOT/sql/demo.sql" >/dev/null
    fi
    pg_psql "$bin" "$data" postgres -c "alter database $db is_template true" >/dev/null
  done
}

# archive_cluster DIR TEXTS: starts the archive benchmark's cluster in DIR on
# a free port, with database quillon_archive holding TEXTS texts from
# bench/archive/generate.sql, and quillon_archive_dated the same texts stored
# in order of date. They are generated once and kept: a later call only
# starts the cluster, unless the schema, the roles, the generator or TEXTS
# changed. Exports QUILLON_BENCH_ARCHIVE_PORT, _DB, _DATED_DB and _TEXTS;
# pg_stop ends it.
archive_cluster() {
  local dir=$1 texts=$2 stamp port data
  # Set up as the database server of a station holding such an archive would
  # be: its buffers hold the archive (PostgreSQL's own guidance is a quarter
  # of the memory), rather than the 128 MB default meant for small machines.
  local tuned="-c shared_buffers=2GB"
  data="$dir/pg15/data"
  stamp=$( (cat "$ROOT/sql/schema.sql" "$ROOT/sql/privileges.sql" "$ROOT/bench/archive/generate.sql"
    echo "$texts dated") | sha256sum | cut -c1-16)
  port=$(free_port)
  if [ "$(cat "$dir/stamp" 2>/dev/null)" != "$stamp" ]; then
    log "generating $texts archive texts into $dir (once; this takes minutes)"
    pg_stop "$PG15_BIN" "$data"
    rm -rf "$dir"
    pg_start "$PG15_BIN" "$data" "$port" "$tuned"
    pg_prepare "$PG15_BIN" "$data" "$port" 15
    # Made from the schema itself rather than the template: the database's
    # own settings (ALTER DATABASE) are not copied with a template.
    pg_psql "$PG15_BIN" "$data" postgres -c "create database quillon_archive owner quillon" >/dev/null
    pg_psql "$PG15_BIN" "$data" quillon_archive -f - <"$ROOT/sql/schema.sql" >/dev/null
    pg_psql "$PG15_BIN" "$data" quillon_archive -f - <"$ROOT/sql/privileges.sql" >/dev/null
    local start=$SECONDS
    pg_psql "$PG15_BIN" "$data" quillon_archive -v count="$texts" -f - <"$ROOT/bench/archive/generate.sql" >/dev/null
    # The same texts in order of date, as an archive that grows lies on disk.
    pg_psql "$PG15_BIN" "$data" postgres -c "create database quillon_archive_dated template quillon_archive" >/dev/null
    pg_psql "$PG15_BIN" "$data" postgres >/dev/null <<'SQL'
select format('alter database quillon_archive_dated set %I = %L', split_part(c, '=', 1), substr(c, strpos(c, '=') + 1))
from pg_db_role_setting s join pg_database d on d.oid = s.setdatabase, unnest(s.setconfig) c
where d.datname = 'quillon_archive' and s.setrole = 0
\gexec
SQL
    pg_psql "$PG15_BIN" "$data" quillon_archive_dated -c "set maintenance_work_mem = '1GB'" \
      -c "cluster tblteksten using tblteksten_datum_idx" -c "vacuum analyze tblteksten" >/dev/null
    log "generated in $((SECONDS - start)) s"
    echo "$stamp" >"$dir/stamp"
  else
    pg_start "$PG15_BIN" "$data" "$port" "$tuned"
  fi
  export QUILLON_BENCH_ARCHIVE_PORT=$port QUILLON_BENCH_ARCHIVE_DB=quillon_archive \
    QUILLON_BENCH_ARCHIVE_DATED_DB=quillon_archive_dated QUILLON_BENCH_ARCHIVE_TEXTS=$texts
}
