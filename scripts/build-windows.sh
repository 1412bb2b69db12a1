#!/usr/bin/env bash
# Cross-builds Agendia.dll for Windows x64 and x86 with mingw-w64:
#   build/windows/x86_64/bin/Agendia.dll   (64-bit hosts)
#   build/windows/i686/bin/Agendia.dll     (32-bit hosts)
# each with agendia-resources/ beside it, the test client
# agendia_com_client.exe and, where wixl is installed, the Windows Installer
# package of that bitness:
#   build/windows/x86_64/bin/Agendia-<version>-x64.msi
#   build/windows/i686/bin/Agendia-<version>-x86.msi
# Usage: scripts/build-windows.sh [BUILD_ROOT]
set -euo pipefail
cd "$(dirname "$0")/.."
root=${1:-build/windows}
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
for arch in x86_64 i686; do
  cmake -S . -B "$root/$arch" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/$arch-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DAGENDIA_WARNINGS_AS_ERRORS="$werror" "${launcher[@]}" >/dev/null
  cmake --build "$root/$arch" -j"$(nproc)"
done
