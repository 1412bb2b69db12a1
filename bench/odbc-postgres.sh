#!/usr/bin/env bash
# The memo tree loaded from PostgreSQL through psqlODBC, beside psql fetching
# the same select, at 10,000 and 100,000 memos of the user. A private
# cluster is started for the run and removed at its end.
#   bench/odbc-postgres.sh [BUILD_DIR [RUNS]]   (build agendia-bench-odbc-tree first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
bench=$build/bin/agendia-bench-odbc-tree
[ -x "$bench" ] || { echo "build first: cmake --build $build --target agendia-bench-odbc-tree" >&2; exit 2; }

state=$(mktemp -d)
trap 'tests/db/odbc/postgres-cluster.sh stop "$state"; rm -rf "$state"' EXIT
tests/db/odbc/postgres-cluster.sh start "$state" >/dev/null
# shellcheck disable=SC1091
. "$state/cluster.env"
export PGHOST PGPORT PGUSER PGPASSWORD PGDATABASE
psql=("$AGENDIA_PG_BIN/psql" -X -q)
connection="Driver={PostgreSQL Unicode};Server=$PGHOST;Port=$PGPORT;Database=$PGDATABASE;Uid=$PGUSER;Pwd=$PGPASSWORD"
select="select * from ZA_Message where nMsgType=100 and cReceiver='demo'"

# Median milliseconds of `runs` runs of a command.
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f\n", a[int((NR+1)/2)]/1000}'
}

printf '%8s %12s %12s %7s\n' memos "psql ms" "odbc ms" ratio
for memos in 10000 100000; do
  # As many memos of other users beside the user's own.
  "${psql[@]}" -c "delete from ZA_Message" -c "
    insert into ZA_Message
    select upper(md5(i::text))::uuid::text, 100, 'Memo ' || i || ': call the supplier about order ' || (i * 7919) % 100000,
           'Details of the memo, a line or two of text.',
           case when i % 2 = 0 then 'demo' else 'user' || (i % 97) end,
           case when i % 2 = 0 then 'demo' else 'user' || (i % 97) end,
           timestamp '2024-03-01 00:00:00' + ((i * 37) % 1440) * interval '1 minute',
           (i * 37) % 1440, 0, i % 6, '001', 2024
    from generate_series(0, $((2 * memos - 1))) as i" -c "vacuum analyze ZA_Message"
  "$bench" "$connection" "$memos" 1 >/dev/null  # warm the server's cache
  psql_ms=$(median_ms "${psql[@]}" -At -c "$select")
  odbc_ms=$("$bench" "$connection" "$memos" "$runs")
  printf '%8d %12s %12s %7s\n' "$memos" "$psql_ms" "$odbc_ms" \
    "$(awk -v a="$odbc_ms" -v b="$psql_ms" 'BEGIN {printf "%.2f", a / b}')"
done
