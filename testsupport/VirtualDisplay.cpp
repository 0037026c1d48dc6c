#include "testsupport/VirtualDisplay.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace corv::testsupport {

VirtualDisplay::VirtualDisplay() {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::string fd = std::to_string(fds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-nolisten",
                          "tcp",  "-noreset",   nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    int rc = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        pid_ = 0;
        close(fds[0]);
        return;
    }
    // The number comes in pieces ("1", then "\n"), and the server gives up when the pipe is
    // closed before it has written all of it: read to the line end, and keep the pipe open
    // while the server runs.
    readFd_ = fds[0];
    std::string number;
    pollfd p{readFd_, POLLIN, 0};
    char c = 0;
    while (number.size() < 8 && poll(&p, 1, 20000) == 1 && read(readFd_, &c, 1) == 1 && c != '\n')
        number += c;
    if (c == '\n' && !number.empty()) name_ = ":" + std::to_string(std::atoi(number.c_str()));
}

VirtualDisplay::~VirtualDisplay() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    if (readFd_ >= 0) close(readFd_);
}

}  // namespace corv::testsupport
