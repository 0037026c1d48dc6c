#pragma once
// What every corvadm command shares: messages, output, exit codes, and finding the file it
// is given.

#include <string>
#include <vector>

namespace corv::admin {

// Exit codes of every command.
enum ExitCode : int {
    kExitOk = 0,
    kExitProblems = 1,  // a check found problems, or the value asked for is absent
    kExitFailed = 2,    // usage, or an environment that does not let the command run
};

// Prints "corvadm: message" to standard error; kExitFailed.
int Fail(const std::string& message);
// The files are Windows-1252; the terminal gets UTF-8.
void Print(const std::string& text);

// The folder corvadm was started in; relative paths on the command line are taken from it,
// since the commands themselves run in the root folder.
void SetStartFolder(std::string folder);
const std::string& StartFolder();
// `name` as a path from the start folder (or an absolute one), when that file exists; "".
std::string ExistingPath(const std::string& name);

// A path as given, else the name in the first of `folders` that has it; an absolute path,
// or "" when nothing is found.
std::string FindFile(const std::string& name, const std::vector<std::string>& folders);

}  // namespace corv::admin
