#pragma once
// corvadm's report commands, drawn by the tutor's own report classes without a display:
//   report progress NAME --pdf FILE          a user's progress report
//   report test NAME RESULT --pdf FILE       the report of one test (RESULT: its number)
//   report diploma NAME RESULT --pdf FILE    the diploma of one test
//   report class [GROUP] --csv FILE          one row per user of the group (all without)
// FILE is taken from the folder corvadm was started in; it is written whole or not at all.

#include <string>
#include <vector>

int ReportCommand(const std::vector<std::string>& args);
