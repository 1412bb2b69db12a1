find_package(GTest REQUIRED)
include(GoogleTest)

# What every test process runs with: the offscreen platform, a pinned time
# zone and locale, and in the sanitize build the sanitizers' options.
set(AGENDIA_TEST_ENVIRONMENT QT_QPA_PLATFORM=offscreen TZ=UTC LC_ALL=C.UTF-8
  ${AGENDIA_SANITIZER_ENVIRONMENT})

# agendia_discover_tests(TARGET [TEST_SUFFIX s] [ENVIRONMENT var=value...]
#                        [PROPERTIES name value...])
# Registers each test of a GoogleTest executable with CTest, with
# AGENDIA_TEST_ENVIRONMENT and the given variables.
#
# gtest_discover_tests hands its PROPERTIES on as one flat list, so a list
# value such as ENVIRONMENT "A=1;B=2" would set A alone and turn "B=2" into a
# property name. The environment is therefore set by a CTest include file of
# our own that runs after the discovered tests' file and names them by the
# list that file defines.
function(agendia_discover_tests target)
  cmake_parse_arguments(ARG "" "TEST_SUFFIX" "ENVIRONMENT;PROPERTIES" ${ARGN})
  set(list_name "${target}${ARG_TEST_SUFFIX}_TESTS")
  gtest_discover_tests(${target} TEST_SUFFIX "${ARG_TEST_SUFFIX}" TEST_LIST ${list_name}
    PROPERTIES ${ARG_PROPERTIES} DISCOVERY_TIMEOUT 60)
  set(environment ${AGENDIA_TEST_ENVIRONMENT} ${ARG_ENVIRONMENT})
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${list_name}_environment.cmake")
  file(WRITE "${include_file}"
    "if(DEFINED ${list_name})\n"
    "  set_tests_properties(\${${list_name}} PROPERTIES ENVIRONMENT [==[${environment}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()

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
  agendia_discover_tests(${name})
endfunction()
