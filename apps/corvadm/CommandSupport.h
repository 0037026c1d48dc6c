#pragma once
// What every corvadm command shares: messages, output, and finding the file it is given.

#include <string>
#include <vector>

namespace corv::admin {

// Prints "corvadm: message" to standard error; the exit code 2.
int Fail(const std::string& message);
// The files are Windows-1252; the terminal gets UTF-8.
void Print(const std::string& text);
// A path as given (a relative one is taken from where corvadm was started, since it works
// from the root folder), else the name in the first of `folders` that has it; an absolute
// path, or "" when nothing is found.
std::string FindFile(const std::string& name, const std::vector<std::string>& folders);

}  // namespace corv::admin
