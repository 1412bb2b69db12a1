#!/usr/bin/env bash
# Measures how fast the calendar opens at 1,000, 10,000 and 100,000 memos
# (and 1,000,000 with --million), under a virtual X display so that the
# portal's calendar can be seen to be mapped; see bench/main.cpp.
#   bench/run.sh [BUILD_DIR] [--million] [--pairs P] [--csv FILE] [--memos N]...
# Build first: cmake --build build --target agendia-bench-first-open
#   agendia-bench-trivial-dialog agendia-portal
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then build=$1; shift; fi
bench=$build/bin/agendia-bench-first-open
for program in "$bench" "$build/bin/agendia-bench-trivial-dialog" "$build/bin/agendia-portal"; do
  [ -x "$program" ] || { echo "build $program first" >&2; exit 2; }
done
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) CPUs"
# The portal must reach the X server; the offscreen runs choose offscreen themselves.
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$bench" \
  --portal "$build/bin/agendia-portal" --dialog "$build/bin/agendia-bench-trivial-dialog" "$@"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
