#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite. Widget
# tests run on Qt's offscreen platform; no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 120
