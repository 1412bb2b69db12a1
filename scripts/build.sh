#!/usr/bin/env bash
# Installs what is missing and builds everything into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
# Repeated builds on one machine (CI runs, several work trees) share their
# object files through ccache when it is there.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAGENDIA_WARNINGS_AS_ERRORS="$werror" \
  "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
