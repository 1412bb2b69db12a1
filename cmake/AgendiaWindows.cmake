# The Windows build as part of the Linux one: both DLLs (x64 and x86) are
# cross-built with mingw-w64 into build/windows/<arch>, each a CMake build of
# its own with the tool chain files of cmake/toolchains. The Windows tests run
# them under Wine (tests/windows). On whenever the tool chains are installed
# (scripts/bootstrap.sh installs them), so CI builds and tests both DLLs;
# -DAGENDIA_BUILD_WINDOWS=OFF leaves them out of a Linux build.
find_program(AGENDIA_MINGW_X64 x86_64-w64-mingw32-g++-posix)
find_program(AGENDIA_MINGW_X86 i686-w64-mingw32-g++-posix)
find_program(AGENDIA_MINGW_WIDL x86_64-w64-mingw32-widl)
if(AGENDIA_MINGW_X64 AND AGENDIA_MINGW_X86 AND AGENDIA_MINGW_WIDL)
  set(agendia_mingw_found ON)
else()
  set(agendia_mingw_found OFF)
endif()
option(AGENDIA_BUILD_WINDOWS "Cross-build Agendia.dll for Windows with mingw-w64" ${agendia_mingw_found})
if(AGENDIA_BUILD_WINDOWS AND NOT agendia_mingw_found)
  message(FATAL_ERROR "AGENDIA_BUILD_WINDOWS needs the mingw-w64 tool chains and widl (scripts/bootstrap.sh)")
endif()
set(AGENDIA_WINDOWS_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)

if(AGENDIA_BUILD_WINDOWS)
  include(ExternalProject)
  set(launchers)
  if(CMAKE_CXX_COMPILER_LAUNCHER)
    list(APPEND launchers -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
                          -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
  endif()
  foreach(arch x86_64 i686)
    ExternalProject_Add(agendia_windows_${arch}
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${AGENDIA_WINDOWS_BUILD_DIR}/${arch}
      PREFIX ${AGENDIA_WINDOWS_BUILD_DIR}/.${arch}
      CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchains/${arch}-w64-mingw32.cmake
        -DCMAKE_BUILD_TYPE=Release
        -DAGENDIA_WARNINGS_AS_ERRORS=${AGENDIA_WARNINGS_AS_ERRORS}
        -DAGENDIA_UNITY_BUILD=${AGENDIA_UNITY_BUILD}
        ${launchers}
      # The sources are this project's own: rebuild whenever the Linux build
      # runs, and let make decide what changed.
      BUILD_ALWAYS ON
      INSTALL_COMMAND "")
  endforeach()
endif()
