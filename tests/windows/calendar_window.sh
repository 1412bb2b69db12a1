# shellcheck shell=bash
# Sourced by the tests that drive the calendar window under Wine, after
# wine_env.sh: the tools and display they need, a work folder with the memo
# database, the script host opening the window on it, and the window closed
# with Escape. Whatever the test started ends with it, also when it fails.
#   extra_tools    tools the test needs beyond xdotool, xclip and sqlite3,
#                  set before sourcing this file
#   release_dll    undoes the test's registration on exit; unregister_dll
#                  unless the test defines its own after sourcing this file

for tool in xdotool xclip sqlite3 ${extra_tools:-}; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/bootstrap.sh)"
done
[ -n "${DISPLAY:-}" ] || fail "no virtual display: the fixture windows_wine_setup did not run"
work=$(mktemp -d)
db=$work/VXSystem.db
log=$work/cscript.log
pid=
clipboard=
release_dll() { unregister_dll; }
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  if [ -n "$clipboard" ]; then kill "$clipboard" 2>/dev/null || true; fi
  # The tests share one prefix; leave no registration behind for the next.
  release_dll
  stop_wine
  rm -rf "$work"
}
trap cleanup EXIT
keep_wine_up

# Fails the test, showing what the script host printed.
failed() {
  echo "--- cscript ---" >&2
  tr -d '\r' <"$log" >&2 || true
  fail "$@"
}

# What the sqlite3 shell answers for SQL on the memo database ("?" when it
# cannot), read past the component.
rows() { sqlite3 -readonly -cmd ".timeout 2000" "$db" "$1" 2>/dev/null || echo "?"; }

# wait_rows EXPECTED SQL: waits up to 10 seconds for the answer to SQL.
wait_rows() {
  for _ in $(seq 1 50); do
    [ "$(rows "$2")" = "$1" ] && return 0
    sleep 0.2
  done
  return 1
}

# open_calendar SCRIPT_HOST...: the script host given (a command and its
# first arguments) runs open_calendar.vbs on the memo database for "demo" on
# 2024-03-01 in the background. Sets calendar to the window, which it focuses,
# and WIDTH and HEIGHT to the size of its client area.
open_calendar() {
  # shellcheck disable=SC2154  # here: the tests' folder, set by the test
  "$@" //nologo "$(winpath "$here/open_calendar.vbs")" "Driver=SQLite3;Database=$db;NoCreat=1" \
    demo 2024-03-01 en-us >"$log" 2>&1 &
  pid=$!
  calendar=$(timeout 60 xdotool search --sync --onlyvisible --name '^Calendar Memos$' 2>/dev/null | head -n 1) ||
    failed "the calendar window did not appear"
  [ -n "$calendar" ] || failed "the calendar window did not appear"
  # Without a window manager the X window is the dialog's client area, and it
  # is never activated by the server: focus it directly, never activate it.
  xdotool windowfocus --sync "$calendar" 2>/dev/null
  eval "$(xdotool getwindowgeometry --shell "$calendar" 2>/dev/null)"
  sleep 0.5
}

# Puts TEXT on the X clipboard, owned by a process that stays until the test ends.
set_clipboard() {
  printf '%s' "$1" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
  clipboard=$!
  sleep 0.3
}

# Escape closes the window, the script host ends with status 0, and its
# output is left in $log.txt without carriage returns.
close_on_escape() {
  local status=0
  xdotool windowfocus --sync "$calendar" 2>/dev/null || true
  xdotool key Escape 2>/dev/null
  timeout 30 tail --pid="$pid" -f /dev/null || failed "the calendar did not close on Escape"
  wait "$pid" || status=$?
  pid=
  tr -d '\r' <"$log" >"$log.txt"
  [ "$status" = 0 ] || failed "cscript exited with status $status"
}
