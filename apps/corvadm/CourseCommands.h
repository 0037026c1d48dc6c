#pragma once
// corvadm's course command:
//   course check FILE   every problem of a course (exit 1 when there are any)
// FILE is a path, or a contents file in the installation's lessons folder.

#include <string>
#include <vector>

int CourseCommand(const std::vector<std::string>& args);
