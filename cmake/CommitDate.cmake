# Sets commit_date (2025-01-31), commit_year and commit_rfc2822 from the commit in
# SOURCE_DIR; outside a git checkout, from SOURCE_DATE_EPOCH or the current time.
execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%cs%n%cD
  OUTPUT_VARIABLE commit_lines RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
string(REPLACE "\n" ";" commit_lines "${commit_lines}")
list(LENGTH commit_lines n)
if(rc EQUAL 0 AND n EQUAL 2)
  list(GET commit_lines 0 commit_date)
  list(GET commit_lines 1 commit_rfc2822)
endif()
if(NOT commit_date MATCHES "^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
  string(TIMESTAMP commit_date "%Y-%m-%d" UTC)
  string(TIMESTAMP commit_rfc2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()
string(SUBSTRING ${commit_date} 0 4 commit_year)
