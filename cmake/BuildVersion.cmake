# corv_version: an interface library giving "version/BuildVersion.h", the program version
# of this build: the project version and the date of the commit the sources come from.
# The header is written again on every build but only replaced when its text changes, so a
# new commit recompiles the few files that show the version.
set(CORV_VERSION_HEADER ${CMAKE_BINARY_DIR}/generated/version/BuildVersion.h)
set(_corv_version_args
  -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT=${CORV_VERSION_HEADER}
  -DVERSION=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR} -DBUILD=${PROJECT_VERSION_PATCH})
execute_process(COMMAND ${CMAKE_COMMAND} ${_corv_version_args}
  -P ${PROJECT_SOURCE_DIR}/cmake/WriteBuildVersion.cmake)
add_custom_target(corv_version_header
  COMMAND ${CMAKE_COMMAND} ${_corv_version_args} -P ${PROJECT_SOURCE_DIR}/cmake/WriteBuildVersion.cmake
  BYPRODUCTS ${CORV_VERSION_HEADER}
  COMMENT "Program version"
  VERBATIM)
add_library(corv_version INTERFACE)
target_include_directories(corv_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
add_dependencies(corv_version corv_version_header)
