#pragma once
// Runs the real corvadm program with arguments and collects what it printed.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace corv::test {

struct Outcome {
    int status;
    std::string out;  // standard output and standard error
};

// Runs in `folder` when one is given (relative paths on the command line start there).
inline Outcome Corvadm(const std::string& args, const std::string& folder = "") {
    std::string cmd = std::string(CORVADM_PATH) + " " + args + " 2>&1";
    if (!folder.empty()) cmd = "cd '" + folder + "' && " + cmd;
    FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    int rc = ::pclose(p);
    return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, out};
}

}  // namespace corv::test
