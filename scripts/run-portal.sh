#!/usr/bin/env bash
# Installs what is missing, builds, and opens the calendar from the demo
# portal on the embedded SQLite database. Extra arguments go to the portal
# (see build/bin/agendia-portal --help).
#
# Without a display (DISPLAY and WAYLAND_DISPLAY empty, as over plain ssh or
# in a container) nobody could see or close the window, so the portal opens
# the calendar on a virtual display instead, a picture of both is saved to
# build/run-portal.png, the calendar is closed again and the script returns.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is set (DISPLAY and WAYLAND_DISPLAY are empty): the portal opens the calendar"
  echo "on a virtual display, where a picture is taken, and closes it again."
  scripts/portal-snapshot.sh build/run-portal.png "$@"
  cat <<'EOF'
To use the calendar, run scripts/run-portal.sh on a desktop (a terminal of a graphical
session), or from another machine's desktop over ssh -X, where DISPLAY is set.
EOF
  exit 0
fi
exec build/bin/agendia-portal --open "$@"
