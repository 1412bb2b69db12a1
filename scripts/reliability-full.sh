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
"$build/bin/agendia_load_tests" | tee /dev/stderr | grep '^figures:' || true
echo "took $(( $(date +%s) - start )) s"
