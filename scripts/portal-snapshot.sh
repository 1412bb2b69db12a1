#!/usr/bin/env bash
# Opens the calendar from the demo portal on a virtual display, saves a
# picture of the portal with the calendar open, closes the calendar and
# returns: what scripts/run-portal.sh does on a machine without a display.
#   scripts/portal-snapshot.sh PICTURE.png [PORTAL OPTIONS...]
# Prints "picture: PATH" and the calendar's window, and exits 0 once the
# picture is written and the portal has ended; 1 when the calendar did not
# open or the picture could not be taken (the portal's output follows), 2
# when the build or a tool is missing. Needs a build (scripts/build.sh),
# xvfb-run and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
picture=${1:?usage: scripts/portal-snapshot.sh PICTURE.png [PORTAL OPTIONS...]}
shift
build=${AGENDIA_BUILD_DIR:-build}
portal=$build/bin/agendia-portal
grab=$build/bin/agendia-grab-screen
for program in "$portal" "$grab"; do
  [ -x "$program" ] || { echo "$program is missing: build first (scripts/build.sh)" >&2; exit 2; }
done
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/bootstrap.sh)" >&2; exit 2; }
done

if [ -z "${AGENDIA_SNAPSHOT_INNER:-}" ]; then
  export AGENDIA_SNAPSHOT_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$picture" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
log=$work/portal.log

fail() {
  echo "$*" >&2
  echo "--- portal output ---" >&2
  cat "$log" >&2 || true
  exit 1
}

export QT_QPA_PLATFORM=xcb
"$portal" "$@" --open --exit-on-close >"$log" 2>&1 &
pid=$!

# Nothing but the portal runs on this display, so the calendar is the one
# visible window with a title other than the portal's own. Its title is in
# the language chosen, so it is not searched by name.
portal_window=
calendar=
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || fail "The portal ended before the calendar opened."
  portal_window=$(xdotool search --onlyvisible --name '^Agendia Portal$' 2>/dev/null | head -n 1 || true)
  if [ -n "$portal_window" ]; then
    calendar=$(xdotool search --onlyvisible --name '.' 2>/dev/null | grep -vx "$portal_window" | head -n 1 || true)
    [ -n "$calendar" ] && break
  fi
  sleep 0.2
done
[ -n "$calendar" ] || fail "The calendar did not open within 20 seconds."
calendar_title=$(xdotool getwindowname "$calendar")
# The window is mapped before it has painted everything.
sleep 1

# The picture holds both windows, with a margin, not the whole empty screen.
left=100000 top=100000 right=0 bottom=0
for window in "$portal_window" "$calendar"; do
  eval "$(xdotool getwindowgeometry --shell "$window")"
  if (( X < left )); then left=$X; fi
  if (( Y < top )); then top=$Y; fi
  if (( X + WIDTH > right )); then right=$((X + WIDTH)); fi
  if (( Y + HEIGHT > bottom )); then bottom=$((Y + HEIGHT)); fi
done
margin=10
left=$(( left > margin ? left - margin : 0 ))
top=$(( top > margin ? top - margin : 0 ))
mkdir -p "$(dirname "$picture")"
size=$("$grab" "$picture" "$left" "$top" $((right + margin - left)) $((bottom + margin - top))) ||
  fail "The picture could not be taken."

# No window manager runs here: give the calendar the keyboard directly, then
# close it as a person would; the portal ends with it (--exit-on-close).
xdotool windowfocus --sync "$calendar" 2>/dev/null || true
xdotool key Escape
if ! timeout 10 tail --pid="$pid" -f /dev/null; then
  fail "The calendar did not close on Escape."
fi
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "The portal ended with status $status."
echo "calendar: \"$calendar_title\" (window $calendar over the portal's $portal_window)"
echo "picture: $(cd "$(dirname "$picture")" && pwd)/$(basename "$picture") ($size)"
