#!/usr/bin/env bash
# Installs what is missing, builds, and opens the calendar from the demo
# portal on the embedded SQLite database. Extra arguments go to the portal
# (see build/bin/agendia-portal --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is set: the portal runs under xvfb-run, where nobody can see it." >&2
  echo "Run this on a desktop to use the calendar." >&2
  exec xvfb-run -a build/bin/agendia-portal --open --exit-on-close "$@"
fi
exec build/bin/agendia-portal --open "$@"
