#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the Linux
# tests and both Windows DLLs' tests under Wine. Widget tests run on Qt's
# offscreen platform; no display is needed.
#   scripts/test.sh              the whole suite, each thing built once
#   scripts/test.sh --sanitize   then the sanitizer and fuzz stage (CI): the
#                                Linux tree again with clang under
#                                AddressSanitizer and UndefinedBehaviorSanitizer
#                                (build-sanitize/), the whole suite there, and
#                                each fuzz target for a few seconds on its seeds
#   scripts/test.sh --fuzz       then only the fuzz targets of that stage
# The sanitizer tree leaves the Windows DLLs out: they are not sanitized, and
# the first stage has built and tested them already.
set -euo pipefail
cd "$(dirname "$0")/.."
stage=none
case ${1:-} in
  "") ;;
  --sanitize) stage=sanitize ;;
  --fuzz) stage=fuzz ;;
  -h|--help) sed -n '2,13s/^# \{0,1\}//p' "$0"; exit 0 ;;
  *) echo "usage: scripts/test.sh [--sanitize | --fuzz]" >&2; exit 2 ;;
esac

scripts/build.sh
export QT_QPA_PLATFORM=offscreen
# Twice as many tests at a time as cores: the suite mostly waits (Wine, the
# virtual displays, the database servers, time-outs), about 90 s of CPU in
# 3 to 5 minutes, and the Wine tests and the PostgreSQL reliability tests
# each run one at a time beside the rest.
ctest --test-dir build --output-on-failure -j"$((2 * $(nproc)))" --timeout 120
[ "$stage" = none ] && exit 0

if [ "$stage" = sanitize ]; then
  scripts/build.sh --sanitize
  ctest --preset sanitize -j"$(nproc)" --timeout 300
else
  scripts/build.sh --sanitize fuzz_all
  ctest --preset sanitize -j"$(nproc)" -R '^Fuzz\.'
fi
