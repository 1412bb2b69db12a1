#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite. Widget
# tests run on Qt's offscreen platform; no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 120

# The whole suite again, built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target run for a few seconds on
# its seeds (the "sanitize" preset, build-sanitize/). AGENDIA_SANITIZE=0
# skips it.
if [ "${AGENDIA_SANITIZE:-1}" != 0 ]; then
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize -j"$(nproc)"
  ctest --preset sanitize -j"$(nproc)" --timeout 300
fi
