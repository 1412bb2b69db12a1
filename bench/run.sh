#!/usr/bin/env bash
# Runs the memo-tree benchmark, then measures the demo portal's peak resident
# memory with 100,000 memos listed in the calendar.
#   bench/run.sh [BUILD_DIR [BENCH_ARGS...]]   (default: build; build it first with scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}; shift || true
bench=$build/bin/agendia-bench-memo-tree
portal=$build/bin/agendia-portal
[ -x "$bench" ] && [ -x "$portal" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }

echo "== LoadMemoTree against a bare scan of the same statement =="
QT_QPA_PLATFORM=offscreen "$bench" "$@"

echo
echo "== The portal with 100,000 memos listed =="
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
db="$dir/VXSystem.db"
sqlite3 "$db" < sql/sqlite/ZA_Message.sql
sqlite3 "$db" <<'SQL'
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 199999)
INSERT INTO ZA_Message
SELECT printf('%08X-%04X-4000-8000-%012X', (i * 2654435761) % 4294967296, i % 65536, i), 100,
       'Memo ' || i || ': call the supplier', 'Details of the memo',
       CASE WHEN i % 2 = 0 THEN 'demo' ELSE 'user' || (i % 97) END,
       CASE WHEN i % 2 = 0 THEN 'demo' ELSE 'user' || (i % 97) END,
       '2024-03-01 09:30:00', 570, 0, i % 6, '001', 2024
FROM n;
SQL
log="$dir/portal.log"
# On a virtual display, so the calendar's window can be seen to be open: the
# tree has been loaded by then, and the portal waits inside the calendar.
DB="$db" PORTAL="$portal" LOG="$log" xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$PORTAL" --db "Provider=SQLite;Data Source=$DB" --user demo --day 2024-03-01 --lang en-us \
    --open --exit-on-close >"$LOG" 2>&1 &
  pid=$!
  if timeout 60 xdotool search --sync --onlyvisible --name "^Calendar Memos$" >/dev/null; then
    sleep 1
    grep -E "VmHWM|VmRSS" "/proc/$pid/status" | sed "s/^/portal /"
  else
    echo "the calendar did not open:" >&2
    cat "$LOG" >&2
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
'
