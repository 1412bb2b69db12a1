#!/usr/bin/env bash
# Installs what is missing and builds everything into build/: the Linux tree
# and, when the mingw-w64 tool chains are there (the bootstrap installs
# them), both Windows DLLs in build/windows/.
#   scripts/build.sh [TARGET...]              build/
#   scripts/build.sh --sanitize [TARGET...]   build-sanitize/: the Linux tree
#       again with clang under the sanitizers, with the fuzz targets and
#       without the Windows DLLs
# Without targets everything of the tree is built.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=default
if [ "${1:-}" = --sanitize ]; then
  tree=sanitize
  shift
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done
if [ "$tree" = sanitize ]; then
  scripts/bootstrap.sh --sanitize
else
  scripts/bootstrap.sh
fi
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

# Repeated builds share their object files through ccache: CI runs in a fresh
# clone in another folder, and several clones may live on one machine. Paths
# under the checkout are hashed relative to it, and the compiler's working
# directory not at all, so a clone anywhere hits what another one compiled.
export CCACHE_BASEDIR=$PWD
export CCACHE_NOHASHDIR=1
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

if [ "$tree" = sanitize ]; then
  cmake --preset sanitize >/dev/null
  cmake --build --preset sanitize -j"$(nproc)" "${targets[@]}"
  exit 0
fi
# Each target's sources compile in batches (cmake/AgendiaUnity.cmake): about
# half the compile time of a cold build.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAGENDIA_WARNINGS_AS_ERRORS="$werror" \
  -DAGENDIA_UNITY_BUILD=ON "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)" "${targets[@]}"
