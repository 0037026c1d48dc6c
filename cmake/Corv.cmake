# corv_gtest(NAME SOURCES ... LIBS ...): one GoogleTest program, its cases registered with ctest.
function(corv_gtest name)
  if(NOT CORV_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "CORV_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp;QT_QPA_PLATFORM=offscreen;CORV_SCREENSHOTS=${CMAKE_BINARY_DIR}/screenshots")
endfunction()
