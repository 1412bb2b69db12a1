# AGENDIA_SANITIZE builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang): any memory error, leak or undefined
# behaviour in a test fails it. AGENDIA_BUILD_FUZZERS adds the libFuzzer
# coverage instrumentation to everything and builds the fuzz targets of
# fuzz/; both fit in one build folder (the "sanitize" preset).
option(AGENDIA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer (clang)" OFF)
option(AGENDIA_BUILD_FUZZERS "Build the libFuzzer targets (clang)" OFF)

if((AGENDIA_SANITIZE OR AGENDIA_BUILD_FUZZERS) AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "AGENDIA_SANITIZE and AGENDIA_BUILD_FUZZERS need clang "
                      "(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang)")
endif()

if(AGENDIA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  # What every test process runs with: halt on the first finding, and the
  # checked-in suppressions of leaks that belong to system libraries.
  set(sanitizer_options
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan.supp:print_suppressions=0")
  set(AGENDIA_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1" ${sanitizer_options})
  # Programs on Qt's X11 platform: libxkbcommon-x11 copies a name out of an
  # X reply with strndup, bounded by its length but not NUL-terminated, which
  # is sound but what strict_string_checks reports.
  set(AGENDIA_SANITIZER_X11_ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0" ${sanitizer_options})
endif()

if(AGENDIA_BUILD_FUZZERS)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
