#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite. Widget
# tests run on Qt's offscreen platform; no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 120

# The whole suite again, built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (the "sanitize" preset, build-sanitize/), where
# each fuzz target also runs for a few seconds on its seeds. On a 2-core
# machine without a warm ccache the build takes about 8 minutes of the two
# cores and the tests about 4. AGENDIA_SANITIZE=fuzz builds and runs only the
# fuzz targets; AGENDIA_SANITIZE=0 skips both.
sanitize=${AGENDIA_SANITIZE:-1}
if [ "$sanitize" != 0 ]; then
  cmake --preset sanitize >/dev/null
  if [ "$sanitize" = 1 ]; then
    cmake --build --preset sanitize -j"$(nproc)"
    ctest --preset sanitize -j"$(nproc)" --timeout 300
  else
    cmake --build --preset sanitize -j"$(nproc)" --target fuzz_date_text fuzz_dialect \
      fuzz_statements fuzz_connection_string fuzz_language_text
    ctest --preset sanitize -j"$(nproc)" -R '^Fuzz\.'
  fi
fi
