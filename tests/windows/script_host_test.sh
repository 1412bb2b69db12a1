#!/usr/bin/env bash
# A script host (Wine's cscript running open_calendar.vbs) creates
# AgendiaVB.Calender by ProgID from the registered DLL, calls its members by
# name and opens the window on an SQLite database through ODBC, which this
# build does not reach yet: the failure is shown, the window opens and
# closes on Escape.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
for tool in xdotool sqlite3; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/bootstrap.sh)"
done
[ -n "${DISPLAY:-}" ] || fail "no virtual display: the fixture windows_wine_setup did not run"
work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  stop_wine
  rm -rf "$work"
}
trap cleanup EXIT
keep_wine_up
register_dll

db=$work/VXSystem.db
log=$work/cscript.log
sqlite3 "$db" <"$AGENDIA_SQL_DIR/sqlite/ZA_Message.sql"
title="Calendar Memos"
failed() {
  echo "--- cscript ---" >&2
  tr -d '\r' <"$log" >&2 || true
  fail "$@"
}

wine cscript //nologo "$(winpath "$here/open_calendar.vbs")" "Driver=SQLite3;Database=$db;NoCreat=1" \
  demo 2024-03-01 en-us >"$log" 2>&1 &
pid=$!

# This build of the DLL reaches no database yet: loading the tree shows the
# failure in a message box with the default title, before the window shows.
box=$(timeout 60 xdotool search --sync --onlyvisible --name "^AgendiaVB\$" 2>/dev/null | head -n 1) ||
  failed "the database failure was not shown"
xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key Return 2>/dev/null
calendar=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) ||
  failed "the calendar window did not appear"
[ -n "$calendar" ] || failed "the calendar window did not appear"

xdotool windowfocus --sync "$calendar" 2>/dev/null || true
xdotool key Escape 2>/dev/null
timeout 30 tail --pid="$pid" -f /dev/null || failed "the calendar did not close on Escape"
status=0
wait "$pid" || status=$?
pid=
tr -d '\r' <"$log" >"$log.txt"
cat "$log.txt"
[ "$status" = 0 ] || failed "cscript exited with status $status"

expect_line() { grep -qxF "$1" "$log.txt" || failed "cscript did not print: $1"; }
expect_line "created: _Calender"
expect_line "PortalEnabled: False"
expect_line "PortalEnabled after put: True"
expect_line "GetPortalHwnd(0): 0"
expect_line "failure: 80020005 CalenderDesign: cAcc_ID is not a text"
expect_line "closed; arguments unchanged: True"
expect_line "done"

echo "ok: created by ProgID, members called by name, the database failure shown, closed on Escape"
