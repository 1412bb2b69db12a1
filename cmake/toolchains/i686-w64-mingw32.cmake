# Cross build for Windows (i686) with Debian's mingw-w64 tool chain
# (g++-mingw-w64-i686-posix, mingw-w64-tools for widl).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
