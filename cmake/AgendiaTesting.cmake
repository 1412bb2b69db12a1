find_package(GTest REQUIRED)
include(GoogleTest)

# agendia_add_test(NAME SOURCES file... LIBS target...)
# One executable per test file group, registered with CTest test by test.
# Widget tests run on the offscreen platform and never need a display.
function(agendia_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main agendia_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    AGENDIA_TEST_RESOURCE_DIR="${PROJECT_SOURCE_DIR}/src/resources/texts"
    AGENDIA_SQL_DIR="${PROJECT_SOURCE_DIR}/sql")
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=UTC;LC_ALL=C.UTF-8;${AGENDIA_SANITIZER_ENVIRONMENT}"
    DISCOVERY_TIMEOUT 60)
endfunction()
