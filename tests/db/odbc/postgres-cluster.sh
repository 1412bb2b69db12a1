#!/usr/bin/env bash
# A private PostgreSQL cluster for the tests, in a temporary folder, on a free
# loopback port, with the memo table of sql/postgresql/ in database vxsystem.
#
#   postgres-cluster.sh start STATE_DIR     initdb, start, create user, database, table
#   postgres-cluster.sh stop STATE_DIR      stop the server and remove everything
#   postgres-cluster.sh pause STATE_DIR     stop the server, keep its data
#   postgres-cluster.sh resume STATE_DIR    start it again on the same port
#   postgres-cluster.sh freeze STATE_DIR    SIGSTOP the server and all its processes:
#                                           connections stay open, nothing answers
#   postgres-cluster.sh thaw STATE_DIR      SIGCONT them (stop does this first too)
#
# STATE_DIR/cluster.env holds what the tests need (PGHOST, PGPORT, PGUSER,
# PGPASSWORD, PGDATABASE, AGENDIA_PG_BIN). The server refuses to run as root,
# so as root the cluster belongs to the unprivileged user nobody.
set -euo pipefail

command=${1:?usage: postgres-cluster.sh start|stop|pause|resume|freeze|thaw STATE_DIR}
state_dir=${2:?usage: postgres-cluster.sh start|stop|pause|resume STATE_DIR}
state_file=$state_dir/cluster.env
here=$(cd "$(dirname "$0")" && pwd)
schema=$here/../../../sql/postgresql/ZA_Message.sql

bin_dir() {
  local found
  found=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$found" ]; then
    found=$(dirname "$(command -v initdb)")
  fi
  echo "$found"
}

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}

server_options() {
  echo "-p $PGPORT -c listen_addresses=127.0.0.1 -c unix_socket_directories=$CLUSTER_DIR \
-c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=40"
}

start_server() {
  as_owner "$AGENDIA_PG_BIN/pg_ctl" -D "$CLUSTER_DIR/data" -l "$CLUSTER_DIR/server.log" \
    -o "$(server_options)" -w -t 30 start >/dev/null
}

# The server's processes: the postmaster and every process it started.
server_pids() {
  local postmaster
  postmaster=$(head -n 1 "$CLUSTER_DIR/data/postmaster.pid" 2>/dev/null) || return 0
  [ -n "$postmaster" ] || return 0
  echo "$postmaster" $(ps -o pid= --ppid "$postmaster")
}

signal_server() {
  local pids
  pids=$(server_pids)
  [ -z "$pids" ] || kill "-$1" $pids 2>/dev/null || true
}

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

case $command in
  start)
    mkdir -p "$state_dir"
    if [ -f "$state_file" ]; then "$0" stop "$state_dir" || true; fi
    AGENDIA_PG_BIN=$(bin_dir)
    CLUSTER_DIR=$(mktemp -d "${TMPDIR:-/tmp}/agendia-pg.XXXXXX")
    chmod 755 "$CLUSTER_DIR"
    [ "$(id -u)" -eq 0 ] && chown nobody "$CLUSTER_DIR"
    # Written first, so that stop removes the folder whatever fails below.
    printf 'CLUSTER_DIR=%s\nAGENDIA_PG_BIN=%s\n' "$CLUSTER_DIR" "$AGENDIA_PG_BIN" >"$state_file"

    superuser_password=$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')
    printf '%s\n' "$superuser_password" >"$CLUSTER_DIR/pwfile"
    [ "$(id -u)" -eq 0 ] && chown nobody "$CLUSTER_DIR/pwfile"
    as_owner "$AGENDIA_PG_BIN/initdb" -D "$CLUSTER_DIR/data" -U postgres --pwfile="$CLUSTER_DIR/pwfile" \
      -E UTF8 --locale=C.UTF-8 --auth-local=trust --auth-host=scram-sha-256 --no-sync >/dev/null

    for attempt in 1 2 3 4 5 6 7 8; do
      PGPORT=$((20000 + RANDOM % 40000))
      port_in_use "$PGPORT" && continue
      if start_server; then break; fi
      PGPORT=
    done
    [ -n "${PGPORT:-}" ] || { echo "no free port for the server" >&2; exit 1; }

    password=agendia-$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n')
    psql_super=("$AGENDIA_PG_BIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$CLUSTER_DIR" -p "$PGPORT" -U postgres)
    as_owner "${psql_super[@]}" -d postgres \
      -c "create role agendia login password '$password'" \
      -c "create database vxsystem owner agendia encoding 'UTF8' template template0"
    as_owner "${psql_super[@]}" -d vxsystem -f - <"$schema" >/dev/null
    as_owner "${psql_super[@]}" -d vxsystem -c "alter table ZA_Message owner to agendia"

    cat >>"$state_file" <<STATE
PGHOST=127.0.0.1
PGPORT=$PGPORT
PGUSER=agendia
PGPASSWORD=$password
PGDATABASE=vxsystem
STATE
    echo "PostgreSQL running on 127.0.0.1:$PGPORT in $CLUSTER_DIR"
    ;;
  stop)
    [ -f "$state_file" ] || exit 0
    # shellcheck disable=SC1090
    . "$state_file"
    if [ -d "$CLUSTER_DIR/data" ]; then
      # A frozen server would not even hear the stop.
      signal_server CONT
      as_owner "$AGENDIA_PG_BIN/pg_ctl" -D "$CLUSTER_DIR/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    case $CLUSTER_DIR in
      */agendia-pg.*) rm -rf "$CLUSTER_DIR" ;;
    esac
    rm -f "$state_file"
    ;;
  pause)
    . "$state_file"
    as_owner "$AGENDIA_PG_BIN/pg_ctl" -D "$CLUSTER_DIR/data" -m fast -w stop >/dev/null
    ;;
  resume)
    . "$state_file"
    start_server
    ;;
  freeze)
    . "$state_file"
    signal_server STOP
    ;;
  thaw)
    . "$state_file"
    signal_server CONT
    ;;
  *)
    echo "unknown command $command" >&2
    exit 2
    ;;
esac
