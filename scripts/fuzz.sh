#!/usr/bin/env bash
# Runs one fuzz target of the sanitize build for a while, at the lowest CPU
# priority, on its seeds; new inputs go to build-sanitize/fuzz/found/<target>.
# Usage: scripts/fuzz.sh TARGET [SECONDS]   (default 600)
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1
seconds=${2:-600}
build=${AGENDIA_FUZZ_BUILD:-build-sanitize}
found="$build/fuzz/found/$target"
mkdir -p "$found"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp"
exec nice -n 19 "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$found" "fuzz/seeds/$target"
