# corv_gtest(NAME SOURCES ... LIBS ...): one GoogleTest program, its cases registered with ctest.
# Every test program gets the shared test support (with CORV_SOURCE_DIR, the source root).
function(corv_gtest name)
  if(NOT CORV_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} corv_testsupport corv_test_environment
    GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
