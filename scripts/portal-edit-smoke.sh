#!/usr/bin/env bash
# Drives the demo portal as a person would, on a virtual display, and adds a
# memo: opens the calendar in English on 2024-03-01, clicks Add, types 9:30,
# picks Weekly, types a title and a content, clicks Save, takes a screenshot,
# presses Escape and checks the row the calendar wrote to the memo table.
#   scripts/portal-edit-smoke.sh [SCREENSHOT.png]
# Needs a build (scripts/build.sh), xvfb-run, xdotool and sqlite3; the
# screenshot also needs ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
shot=${1:-build/portal-edit-smoke.png}
portal=${AGENDIA_BUILD_DIR:-build}/bin/agendia-portal
[ -x "$portal" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }
for tool in xvfb-run xdotool sqlite3; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/bootstrap.sh)" >&2; exit 2; }
done

if [ -z "${AGENDIA_SMOKE_INNER:-}" ]; then
  export AGENDIA_SMOKE_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
db="$work/VXSystem.db"
log="$work/portal.log"
title="Calendar Memos"

fail() {
  echo "FAIL: $*" >&2
  echo "--- portal log ---" >&2
  cat "$log" >&2 || true
  exit 1
}

"$portal" --db "Provider=SQLite;Data Source=$db" --create --user demo --account 001 --year 2024 \
  --open --exit-on-close --lang en-us --day 2024-03-01 >"$log" 2>&1 &
pid=$!

calendar=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) ||
  fail "the calendar window did not appear"
[ -n "$calendar" ] || fail "the calendar window did not appear"

# No window manager runs on the virtual display: the calendar gets the
# keyboard focus directly, and sits at its own size without a frame, so a
# point inside it is its twip position scaled by the window's pixels.
xdotool windowfocus --sync "$calendar"
eval "$(xdotool getwindowgeometry --shell "$calendar")"
client_width_twips=7935
# Pixel point of the middle of a control given in twips (left top width height).
middle() {
  echo $(( ($1 + $3 / 2) * WIDTH / client_width_twips )) $(( ($2 + $4 / 2) * WIDTH / client_width_twips ))
}
click() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$calendar" --sync $(middle "$@") click 1
  sleep 0.2
}
add_button=(3000 2880 855 375)
save_button=(5880 2880 855 375)
hour_field=(3000 480 405 285)
minute_field=(3600 480 375 285)
title_field=(3000 870 4635 315)
content_field=(3000 1260 4635 1485)

rows() {
  sqlite3 -readonly -cmd ".timeout 2000" "$db" "$1" 2>/dev/null || echo "?"
}

sleep 0.5
click "${add_button[@]}"
click "${hour_field[@]}"
xdotool type --delay 60 "9"
click "${minute_field[@]}"
xdotool type --delay 60 "30"
# The kind chooser follows the minute in the tab order; on a closed combo box
# Home picks the first kind (Once) and each Down the next one.
xdotool key --delay 80 Tab Home Down Down
sleep 0.2
click "${title_field[@]}"
xdotool type --delay 40 "Team meeting"
# No mouse action changes a time field: with the title selected (X11 puts a
# selection on the primary clipboard), a middle click into the hour, which
# pastes that selection, must leave the hour "9".
xdotool key --delay 80 ctrl+a
xdotool mousemove --window "$calendar" --sync $(middle "${hour_field[@]}") click 2
sleep 0.2
click "${content_field[@]}"
xdotool type --delay 40 "Room 3"
click "${save_button[@]}"

# Save writes the row and rebuilds the tree within the click; wait for the
# row, then a moment more for the tree to paint.
message_box_open() {
  [ "$(xdotool search --onlyvisible --name "^$title\$" | wc -l)" -gt 1 ]
}
saved=0
for _ in $(seq 1 50); do
  if [ "$(rows "select count(*) from ZA_Message;")" = "1" ]; then saved=1; break; fi
  message_box_open && break
  sleep 0.2
done
sleep 0.5
if command -v import >/dev/null; then
  mkdir -p "$(dirname "$shot")"
  import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
fi

# A message box from the calendar carries the calendar's caption too.
if message_box_open; then
  fail "a message box is open after Save (memo rows: $(rows "select count(*) from ZA_Message;"))"
fi
[ "$saved" = 1 ] || fail "Save wrote no row within 10 s (rows: $(rows "select count(*) from ZA_Message;"))"

xdotool windowfocus --sync "$calendar" 2>/dev/null || true
xdotool key Escape
if ! timeout 10 tail --pid="$pid" -f /dev/null; then
  fail "the calendar did not close on Escape"
fi
status=0
wait "$pid" || status=$?
pid=
[ "$status" = 0 ] || fail "the portal exited with status $status"
grep -q "calendar closed: ok; portal enabled" "$log" ||
  fail "the portal did not report a clean close with itself enabled again"

count=$(rows "select count(*) from ZA_Message;")
[ "$count" = 1 ] || fail "expected exactly one memo row, found $count"
actual=$(rows "select nMsgType, cMsgTitle, cMsgContent, cSender, cReceiver, dSend, nValidDay,
                      bHasRead, DisplayPeriods, Account, Year, length(cMsgId) > 0
               from ZA_Message;")
expected="100|Team meeting|Room 3|demo|demo|2024-03-01 09:30:00|570|0|2|001|2024|1"
if [ "$actual" != "$expected" ]; then
  fail "the memo row differs
  expected: $expected
  actual:   $actual
  (nMsgType|cMsgTitle|cMsgContent|cSender|cReceiver|dSend|nValidDay|bHasRead|DisplayPeriods|Account|Year|has id)"
fi
echo "ok: Add, 9:30, Weekly, 'Team meeting' / 'Room 3', Save wrote one memo row; closed on Escape"
