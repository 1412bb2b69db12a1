#!/usr/bin/env bash
# The memo tree loaded from PostgreSQL through psqlODBC, beside psql fetching
# the same select, at 10,000 and 100,000 memos of the user (as many of other
# users beside), and on a shared table: 5,000,000 rows of 10,000 users, of
# which the user has 500 memos and 45 are due (--quick: 500,000 rows of 1,000
# users). A private cluster is started for the run and removed at its end.
#   bench/odbc-postgres.sh [BUILD_DIR] [--rounds N] [--quick] [--memos N]...
#   (build agendia-bench-odbc-tree and agendia-bench-cpu-of first)
#
# Both sides are measured the same way: each run is a fresh process (psql, or
# the bench program loading the tree once), timed by the CPU time of that
# process (user + system, from wait4: agendia-bench-cpu-of) beside its wall
# time; the two alternate run by run (each first in every other round), and
# the ratio is taken within each round. The server's own work is in neither
# figure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
rounds=7
quick=false
sizes=()
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --quick) quick=true; shift ;;
    --memos) sizes+=("$2"); shift 2 ;;
    *) echo "usage: $0 [BUILD_DIR] [--rounds N] [--quick] [--memos N]..." >&2; exit 2 ;;
  esac
done
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000)
bench=$build/bin/agendia-bench-odbc-tree
[ -x "$bench" ] || { echo "build first: cmake --build $build --target agendia-bench-odbc-tree" >&2; exit 2; }
cpu_of=$build/bin/agendia-bench-cpu-of
[ -x "$cpu_of" ] || { echo "build first: cmake --build $build --target agendia-bench-cpu-of" >&2; exit 2; }

state=$(mktemp -d)
trap 'tests/db/odbc/postgres-cluster.sh stop "$state"; rm -rf "$state"' EXIT
tests/db/odbc/postgres-cluster.sh start "$state" >/dev/null
# shellcheck disable=SC1091
. "$state/cluster.env"
export PGHOST PGPORT PGUSER PGPASSWORD PGDATABASE
psql=("$AGENDIA_PG_BIN/psql" -X -q)
connection="Driver={PostgreSQL Unicode};Server=$PGHOST;Port=$PGPORT;Database=$PGDATABASE;Uid=$PGUSER;Pwd=$PGPASSWORD"
select="select * from ZA_Message where nMsgType=100 and cReceiver='demo'"

# "wall cpu" in milliseconds of one run of a command in a fresh process.
run_ms() {
  "$cpu_of" "$@" 2>"$state/stderr" || { echo "failed: $*" >&2; cat "$state/stderr" >&2; return 1; }
}

median() { sort -g | awk '{a[NR]=$1} END {printf "%.2f", a[int((NR+1)/2)]}'; }
range() { sort -g | awk 'NR==1 {lo=$1} {hi=$1} END {printf "%.2f-%.2f", lo, hi}'; }

# Measures one table shape; $1 names it, $2 is the memos the tree lists.
measure() {
  local name=$1 expected=$2 load_before
  load_before=$(cut -d' ' -f1 /proc/loadavg)
  "$bench" "$connection" "$expected" 1 >/dev/null  # warm the server's cache
  "${psql[@]}" -At -c "$select" >/dev/null
  local psql_cpu=() odbc_cpu=() psql_wall=() odbc_wall=() ratio_cpu=() ratio_wall=()
  for round in $(seq "$rounds"); do
    local psql_run odbc_run pw pc ow oc
    # Each side goes first in every other round, so that neither always
    # finds the caches as the other left them.
    if [ $((round % 2)) -eq 1 ]; then
      psql_run=$(run_ms "${psql[@]}" -At -c "$select")
      odbc_run=$(run_ms "$bench" "$connection" "$expected" 1)
    else
      odbc_run=$(run_ms "$bench" "$connection" "$expected" 1)
      psql_run=$(run_ms "${psql[@]}" -At -c "$select")
    fi
    read -r pw pc <<<"$psql_run"
    read -r ow oc <<<"$odbc_run"
    psql_cpu+=("$pc"); odbc_cpu+=("$oc"); psql_wall+=("$pw"); odbc_wall+=("$ow")
    ratio_cpu+=("$(awk -v a="$oc" -v b="$pc" 'BEGIN {printf "%.3f", a / (b > 0 ? b : 1)}')")
    ratio_wall+=("$(awk -v a="$ow" -v b="$pw" 'BEGIN {printf "%.3f", a / (b > 0 ? b : 1)}')")
  done
  printf '%-22s %9s %9s %9s %9s %18s %18s %11s\n' "$name" \
    "$(printf '%s\n' "${psql_cpu[@]}" | median)" "$(printf '%s\n' "${odbc_cpu[@]}" | median)" \
    "$(printf '%s\n' "${psql_wall[@]}" | median)" "$(printf '%s\n' "${odbc_wall[@]}" | median)" \
    "$(printf '%s\n' "${ratio_cpu[@]}" | median) [$(printf '%s\n' "${ratio_cpu[@]}" | range)]" \
    "$(printf '%s\n' "${ratio_wall[@]}" | median) [$(printf '%s\n' "${ratio_wall[@]}" | range)]" \
    "$load_before/$(cut -d' ' -f1 /proc/loadavg)"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs; $rounds rounds"
echo "CPU and wall of each fresh process in ms, medians; ratios odbc/psql within each round, median [range]"
printf '%-22s %9s %9s %9s %9s %18s %18s %11s\n' shape "psql cpu" "odbc cpu" "psql wall" \
  "odbc wall" "x psql cpu" "x psql wall" load
for memos in "${sizes[@]}"; do
  # As many memos of other users beside the user's own.
  "${psql[@]}" -c "truncate ZA_Message" -c "
    insert into ZA_Message
    select upper(md5(i::text))::uuid::text, 100, 'Memo ' || i || ': call the supplier about order ' || (i * 7919) % 100000,
           'Details of the memo, a line or two of text.',
           case when i % 2 = 0 then 'demo' else 'user' || (i % 97) end,
           case when i % 2 = 0 then 'demo' else 'user' || (i % 97) end,
           timestamp '2024-03-01 00:00:00' + ((i * 37) % 1440) * interval '1 minute',
           (i * 37) % 1440, 0, i % 6, '001', 2024
    from generate_series(0, $((2 * memos - 1))) as i" -c "vacuum analyze ZA_Message" >/dev/null
  measure "$memos memos" "$memos"
done

# The shared table: every user has rows / users memos; the user "demo" has
# 45 daily ones (due every day) and 455 once memos of another day (not due).
rows=5000000 users=10000
$quick && { rows=500000; users=1000; }
per_user=$((rows / users))
"${psql[@]}" -c "truncate ZA_Message" -c "
  insert into ZA_Message
  select upper(md5(i::text))::uuid::text, 100, 'Memo ' || i || ': call the supplier about order ' || (i::bigint * 7919) % 100000,
         'Details of the memo, a line or two of text.',
         case when i % $users = 0 then 'demo' else 'user' || (i % $users) end,
         case when i % $users = 0 then 'demo' else 'user' || (i % $users) end,
         timestamp '2024-02-01 00:00:00' + ((i::bigint * 37) % 1440) * interval '1 minute'
           + case when i % $users = 0 and i / $users < 45 then interval '29 days' else interval '0 days' end,
         (i::bigint * 37) % 1440, 0,
         case when i % $users = 0 then (case when i / $users < 45 then 1 else 0 end) else i % 6 end,
         '001', 2024
  from generate_series(0, $((per_user * users - 1))) as i" -c "vacuum analyze ZA_Message" >/dev/null
measure "$rows rows, 45 due" 45
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
