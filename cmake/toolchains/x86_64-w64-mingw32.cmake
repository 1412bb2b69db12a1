# Cross build for Windows (x86_64) with Debian's mingw-w64 tool chain
# (g++-mingw-w64-x86-64-posix, mingw-w64-tools for widl).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
