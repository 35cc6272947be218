#!/usr/bin/env bash
# Runs a command beside a throwaway PostgreSQL server: a fresh cluster in a temporary
# folder, listening on a Unix socket in that folder only (no TCP), removed afterwards even
# when the command fails. The command finds the server in DGAWS_TEST_POSTGRES.
# PostgreSQL refuses to run as root, so as root the cluster belongs to the postgres user.
set -euo pipefail

pg_bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$pg_bin" ] || [ ! -x "$pg_bin/pg_ctl" ]; then
  echo "with-postgres: no PostgreSQL server installed (Debian package postgresql)" >&2
  exit 1
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/dgaws-pg.XXXXXX")
chmod 700 "$dir"
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    (cd "$dir" && runuser -u postgres -- "$@")
  else
    (cd "$dir" && "$@")
  fi
}
if [ "$(id -u)" -eq 0 ]; then chown postgres:postgres "$dir"; fi

started=0
cleanup() {
  if [ "$started" -eq 1 ]; then
    as_owner "$pg_bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}
trap cleanup EXIT

as_owner "$pg_bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
  --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
port=5432
started=1
as_owner "$pg_bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
  -o "-c listen_addresses='' -c unix_socket_directories='$dir' -p $port -c fsync=off -c max_connections=200" \
  start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }

export DGAWS_TEST_POSTGRES="host=$dir port=$port user=postgres dbname=postgres"
"$@"
