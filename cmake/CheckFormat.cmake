# Fails when a C++ source of the tree differs from what clang-format makes of it.
# Run as: cmake -DSOURCE_DIR=... -DCLANG_FORMAT=... -P CheckFormat.cmake
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
list(FILTER sources EXCLUDE REGEX "^(build[^/]*|\\.git)/")
list(SORT sources)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "Sources differ from .clang-format; run `make format`.")
endif()
