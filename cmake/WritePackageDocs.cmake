# Writes the package's changelog.gz and copyright into OUTPUT_DIR from the version and the
# commit date: cmake -DSOURCE_DIR= -DOUTPUT_DIR= -DVERSION=10.0.849 -DMAINTAINER=
# -DGZIP= -P WritePackageDocs.cmake
include(${CMAKE_CURRENT_LIST_DIR}/CommitDate.cmake)
file(MAKE_DIRECTORY ${OUTPUT_DIR})
file(WRITE ${OUTPUT_DIR}/changelog "corvella (${VERSION}) unstable; urgency=medium

  * Built from the sources of ${commit_date}.

 -- ${MAINTAINER}  ${commit_rfc2822}
")
execute_process(COMMAND ${GZIP} -9nf ${OUTPUT_DIR}/changelog RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${OUTPUT_DIR}/changelog")
endif()
configure_file(${SOURCE_DIR}/packaging/copyright.in ${OUTPUT_DIR}/copyright @ONLY)
