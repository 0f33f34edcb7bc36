# talvern_add_test(NAME SOURCES... LIBS ...)
# One test program per call. Each program runs once per test run (a Wine process
# start costs about a second), so it is one CTest entry, not one per test case.
function(talvern_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "TALVERN_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
endfunction()
