# corv_gtest(NAME SOURCES ... LIBS ...): one GoogleTest program, its cases registered with ctest.
function(corv_gtest name)
  if(NOT CORV_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/TestEnvironment.cpp)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/cmake/TestEnvironment.cpp PROPERTIES COMPILE_DEFINITIONS
    "CORV_TEST_TMP_DEFAULT=\"${CMAKE_BINARY_DIR}/test-tmp\";CORV_SCREENSHOTS_DEFAULT=\"${CMAKE_BINARY_DIR}/screenshots\"")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
