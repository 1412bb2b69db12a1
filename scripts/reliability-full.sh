#!/usr/bin/env bash
# The load tests of the reliability suite at full size: 4 writers x 1,000
# saves against a lock holder, and 50 kill -9 runs. Prints their figures.
# Usage: scripts/reliability-full.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" -j2 --target agendia_load_tests agendia_memo_writer
export AGENDIA_RELIABILITY_SAVES=${AGENDIA_RELIABILITY_SAVES:-1000}
export AGENDIA_RELIABILITY_KILLS=${AGENDIA_RELIABILITY_KILLS:-50}
export TZ=UTC LC_ALL=C.UTF-8
start=$(date +%s)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# The tests' own verdict is the script's: a failed run is never reported as
# figures alone.
status=0
"$build/bin/agendia_load_tests" 2>&1 | tee "$log" || status=$?
echo
grep '^figures:' "$log" || true
echo "took $(( $(date +%s) - start )) s"
[ "$status" -eq 0 ] || echo "FAILED (status $status)" >&2
exit "$status"
