#!/usr/bin/env bash
# Test fixture cleanup: ends this run's Wine processes and its virtual
# display. The prefix stays for a look after a failure; the next run makes a
# fresh one.
set -uo pipefail
here=$(dirname "$0")
# shellcheck source=wine_env.sh
. "$here/wine_env.sh"
[ -d "$WINEPREFIX" ] && stop_wine
if [ -s "$AGENDIA_WINE_STATE/xvfb.pid" ]; then
  kill "$(cat "$AGENDIA_WINE_STATE/xvfb.pid")" 2>/dev/null || true
  rm -f "$AGENDIA_WINE_STATE/xvfb.pid"
fi
exit 0
