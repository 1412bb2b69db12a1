#!/usr/bin/env bash
# Drives the demo portal as a person would, on a virtual display: opens the
# calendar in English on 2024-03-01, takes a screenshot, presses Escape and
# checks that the calendar closed and the portal enabled itself again.
#   scripts/portal-smoke.sh [SCREENSHOT.png]
# Needs a build (scripts/build.sh), xvfb-run and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
shot=${1:-build/portal-smoke.png}
portal=${AGENDIA_BUILD_DIR:-build}/bin/agendia-portal
[ -x "$portal" ] || { echo "build first: scripts/build.sh" >&2; exit 2; }

if [ -z "${AGENDIA_SMOKE_INNER:-}" ]; then
  export AGENDIA_SMOKE_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

db_dir=$(mktemp -d)
trap 'rm -rf "$db_dir"' EXIT
log="$db_dir/portal.log"
"$portal" --db "Provider=SQLite;Data Source=$db_dir/VXSystem.db" --create --user demo \
  --open --exit-on-close --lang en-us --day 2024-03-01 >"$log" 2>&1 &
pid=$!

calendar=$(timeout 20 xdotool search --sync --onlyvisible --name "^Calendar Memos$" | head -n 1)
portal_window=$(xdotool search --name "^Agendia Portal$" | head -n 1)
sleep 0.5
if command -v import >/dev/null; then
  import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
fi

# No window manager runs on the virtual display: give the calendar the
# keyboard focus directly, then type Escape as a keyboard would.
xdotool windowfocus --sync "$calendar" 2>/dev/null || true
xdotool key Escape
if ! timeout 10 tail --pid="$pid" -f /dev/null; then
  echo "FAIL: the calendar did not close on Escape" >&2
  kill "$pid" 2>/dev/null || true
  cat "$log" >&2
  exit 1
fi
wait "$pid"
if ! grep -q "calendar closed: ok; portal enabled" "$log"; then
  echo "FAIL: the portal did not report a clean close with itself enabled again" >&2
  cat "$log" >&2
  exit 1
fi
echo "ok: calendar opened (window $calendar over portal $portal_window) and closed on Escape"
