# Writes the version header (see BuildVersion.cmake): cmake -DSOURCE_DIR= -DOUTPUT=
# -DVERSION=10.0 -DBUILD=849 -P WriteBuildVersion.cmake. Outside a git checkout the date is
# SOURCE_DATE_EPOCH's, else today's.
include(${CMAKE_CURRENT_LIST_DIR}/CommitDate.cmake)
file(WRITE ${OUTPUT}.new "#pragma once
// Written by the build (cmake/WriteBuildVersion.cmake): this program's version.

namespace corv::build_version {
inline constexpr char kVersion[] = \"${VERSION}\";
inline constexpr char kBuild[] = \"${BUILD}\";
inline constexpr char kDate[] = \"${commit_date}\";  // of the commit built
inline constexpr char kYear[] = \"${commit_year}\";
}  // namespace corv::build_version
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
