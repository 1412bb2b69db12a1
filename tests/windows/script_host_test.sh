#!/usr/bin/env bash
# A script host (Wine's cscript running open_calendar.vbs) creates
# AgendiaVB.Calender by ProgID from the registered DLL, calls its members by
# name and opens the window on an SQLite database through ODBC. The window is
# driven like a person would: Add, 9:30, Weekly, a title with Chinese
# characters, a content, Save; the row is read with the sqlite3 shell; then
# the memo is picked in the tree and deleted from the keyboard, and Escape
# closes the window.
# Usage: script_host_test.sh [x86_64|i686] [package]: the DLL and script
# host of that bitness (SysWOW64's cscript and the 32-bit ODBC for the x86
# DLL); with "package", the DLL installed by its Windows Installer package
# (msiexec /i), whose keys are checked against DllRegisterServer's and which
# msiexec /x removes again without a trace. Without a package (no wixl) the
# DLL is registered with regsvr32, saying so.
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
# shellcheck source=registry_check.sh
. "$here/registry_check.sh"
use_arch "${1:-x86_64}"
how=${2:-regsvr32}
if [ "$how" = package ] && ! why=$(package_paths); then
  echo "note: $why; registering the DLL with regsvr32 instead"
  how=regsvr32
fi
# shellcheck source=calendar_window.sh
. "$here/calendar_window.sh"
release_dll() {
  if [ "$how" = package ]; then
    [ -z "${MSI:-}" ] || msiexec /x "$(winpath "$MSI")" /qn >/dev/null 2>&1 || true
  else
    unregister_dll
  fi
}
if [ "$how" = package ]; then
  package_paths >/dev/null
  install_package
else
  register_dll
fi

sqlite3 "$db" <"$AGENDIA_SQL_DIR/sqlite/ZA_Message.sql"

# The title has Chinese characters, so it is pasted with Ctrl+V from the X
# clipboard: xdotool types a character that is on no key by binding a spare
# key for a moment, and Wine, slowed down by a busy machine, may look the key
# up after the binding is gone and lose the character.
memo_title="Team meeting 团队例会"
open_calendar run "$SYSTEM\\cscript.exe"
client_width_twips=7935
middle() {
  echo $(( ($1 + $3 / 2) * WIDTH / client_width_twips )) $(( ($2 + $4 / 2) * WIDTH / client_width_twips ))
}
click() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$calendar" --sync $(middle "$@") click 1 2>/dev/null
  sleep 0.3
}
add_button=(3000 2880 855 375)
save_button=(5880 2880 855 375)

# Add puts the cursor in the hour field, and Tab follows the layout: the
# memo is typed without another click.
click "${add_button[@]}"
xdotool type --delay 80 "9" 2>/dev/null
xdotool key --delay 120 Tab 2>/dev/null
xdotool type --delay 80 "30" 2>/dev/null
# The kind list follows the minute in the tab order: Home picks Once, each
# Down the next kind.
xdotool key --delay 120 Tab Home Down Down Tab 2>/dev/null
set_clipboard "$memo_title"
xdotool key --delay 120 ctrl+v 2>/dev/null
xdotool key --delay 120 Tab 2>/dev/null
xdotool type --delay 60 "Room 3" 2>/dev/null
click "${save_button[@]}"

wait_rows 1 "select count(*) from ZA_Message;" || true
[ -n "${AGENDIA_SCREENSHOT:-}" ] && import -window "$calendar" "$AGENDIA_SCREENSHOT" 2>/dev/null
count=$(rows "select count(*) from ZA_Message;")
[ "$count" = 1 ] || failed "expected exactly one memo row, found $count"
actual=$(rows "select nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, dSend, nValidDay,
                      bHasRead, DisplayPeriods, Account, Year, length(cMsgId) > 0
               from ZA_Message;")
expected="100|$memo_title|Room 3|demo|demo|2024-03-01 09:30:00|570|0|2|001|2024|1"
[ "$actual" = "$expected" ] || failed "the memo row differs
  expected: $expected
  actual:   $actual"
echo "ok: Add, 9:30, Weekly, '$memo_title' / 'Room 3', Save wrote one memo row"

# Save disabled itself and gave the tree the focus, so the keyboard goes on
# from there: the tree takes the focus with no node selected, the first Down
# moves on from its first group, and three Downs reach the new memo under
# Weekly and show it. Add empties the
# editor and disables Delete; Shift+Tab goes back to the tree, still on the
# memo, and Enter shows it again, which enables Delete: Alt+D deletes it.
xdotool key --delay 200 Down Down Down 2>/dev/null
sleep 0.3
xdotool key --delay 200 alt+a shift+Tab Return 2>/dev/null
sleep 0.3
xdotool key alt+d 2>/dev/null
wait_rows 0 "select count(*) from ZA_Message;" ||
  failed "the memo was not deleted: after Save the focus was not in the tree, or Enter there did not show the memo"
echo "ok: after Save the focus is in the tree; Enter there showed the memo again and Alt+D deleted it"
close_on_escape
cat "$log.txt"

expect_line() { grep -qxF "$1" "$log.txt" || failed "cscript did not print: $1"; }
expect_line "created: _Calender"
expect_line "PortalEnabled: False"
expect_line "PortalEnabled after put: True"
expect_line "GetPortalHwnd(0): 0"
expect_line "array: 13 Type mismatch"
expect_line "Null: 13 Type mismatch"
# Wine's script host describes its error 449 with the text of 448.
grep -qx "missing: 449 .*" "$log.txt" || failed "cscript did not print: missing: 449 (Argument not optional)"
expect_line "closed; arguments unchanged: True"
expect_line "done"

echo "ok: closed on Escape"
if [ "$how" = package ]; then
  check_package_and_remove
  MSI=
fi
