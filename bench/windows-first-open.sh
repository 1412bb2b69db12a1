#!/usr/bin/env bash
# The Windows DLL's calendar under Wine: CPU time of the C++ test client
# (tests/windows/client) opening the calendar on an SQLite file through ODBC,
# until the window is on screen with its tree, and closing it: the whole
# run, so the client's own checks, the select, the tree's fill and layout,
# and the window's end (Wine frees the tree's items one by one) all count.
# A run at 1 memo gives the floor the memos add to. The client is
# a fresh process each run; its CPU time (user + system, from wait4, the
# Wine server's work in neither) is taken for each DLL given, alternating
# run by run, and for each number of memos (all daily, so all listed).
#   bench/windows-first-open.sh [--rounds R] [--memos N]... DLL...
# Each DLL is a built Agendia.dll with agendia-resources/ beside it (for
# example build/windows/x86_64/bin/Agendia.dll); the client is the one of
# the first DLL's folder. Prints per round and the median of each; the load
# average before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=5
memos=()
dlls=()
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --memos) memos+=("$2"); shift 2 ;;
    *) dlls+=("$(realpath "$1")"); shift ;;
  esac
done
[ ${#memos[@]} -gt 0 ] || memos=(1000 100000)
[ ${#dlls[@]} -gt 0 ] || { echo "usage: $0 [--rounds R] [--memos N]... DLL..." >&2; exit 2; }
client=$(dirname "${dlls[0]}")/agendia_com_client.exe
[ -x "$client" ] || { echo "no $client" >&2; exit 2; }

work=$(mktemp -d)
export AGENDIA_WINDOWS_BUILD=$work/none AGENDIA_WINE_STATE=$work/wine
# shellcheck source=../tests/windows/wine_env.sh
. tests/windows/wine_env.sh
cleanup() { tests/windows/stop_wine.sh >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
tests/windows/setup_wine.sh >/dev/null
export DISPLAY=":$(cat "$AGENDIA_WINE_STATE/display")"
keep_wine_up
# One registered place; each run copies the DLL under test there.
mkdir -p "$work/dll"
cp -r "$(dirname "${dlls[0]}")/agendia-resources" "$work/dll/"
cp "${dlls[0]}" "$work/dll/Agendia.dll"
wine regsvr32 /s "$(winpath "$work/dll/Agendia.dll")" || fail "regsvr32 failed"

# CPU milliseconds of one run of the client (its checks of a small tree may
# fail at other sizes; the time counts all the same).
cpu_ms() {
  python3 - "$WINE" "$client" "$1" <<'EOF'
import os, sys
pid = os.fork()
if pid == 0:
    null = os.open(os.devnull, os.O_WRONLY)
    os.dup2(null, 1); os.dup2(null, 2)
    os.execv(sys.argv[1], [sys.argv[1], sys.argv[2], sys.argv[3], "en-us"])
_, status, usage = os.wait4(pid, 0)
print("%.1f" % ((usage.ru_utime + usage.ru_stime) * 1000))
EOF
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
for n in "${memos[@]}"; do
  db=$work/memos-$n.db
  sqlite3 "$db" <sql/sqlite/ZA_Message.sql
  sqlite3 "$db" "with recursive c(x) as (select 1 union all select x + 1 from c where x < $n)
    insert into ZA_Message select printf('MEMO-%08d', x), 100, 'Memo ' || x, '', 'demo', 'demo',
      '2024-03-01 09:00:00', 540, 0, 1, '001', 2024 from c;"
  connection="Driver=SQLite3;Database=$db;NoCreat=1"
  cpu_ms "$connection" >/dev/null  # warms the prefix and the page cache
  declare -A times=()
  for round in $(seq 1 "$rounds"); do
    line="memos $n round $round:"
    for i in "${!dlls[@]}"; do
      cp "${dlls[$i]}" "$work/dll/Agendia.dll"
      t=$(cpu_ms "$connection")
      times[$i]="${times[$i]:-} $t"
      line="$line dll$((i + 1)) $t ms"
    done
    echo "$line (load $(cut -d' ' -f1 /proc/loadavg))"
  done
  for i in "${!dlls[@]}"; do
    median=$(tr ' ' '\n' <<<"${times[$i]}" | grep . | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    echo "memos $n dll$((i + 1)) (${dlls[$i]}): median $median ms CPU"
  done
  unset times
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
