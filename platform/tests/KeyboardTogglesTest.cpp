#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/KeyboardToggles.h"

extern char** environ;

namespace corv::platform {
namespace {

TEST(KeyboardToggles, NothingWithoutDisplay) {
    const char* none = ":917";  // no server there
    for (int key : {kCapsLock, kNumLock, kScrollLock}) {
        EXPECT_FALSE(SetToggle(key, true, none)) << key;
        EXPECT_FALSE(ToggleOn(key, none)) << key;
    }
    EXPECT_FALSE(CapsLockOn(none));
}

// A private virtual X server for the test's own keyboard.
class VirtualDisplay {
  public:
    VirtualDisplay() {
        int fds[2];
        if (pipe(fds) != 0) return;
        std::string fd = std::to_string(fds[1]);
        // -noreset: the tests connect once per call, and the state must outlive each connection.
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
        // The server writes its display number and a line end once it accepts connections;
        // the pipe stays open while it runs, since a failed write ends the server.
        readEnd_ = fds[0];
        std::string number;
        pollfd p{readEnd_, POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 20000) == 1 && read(readEnd_, &c, 1) == 1 && c != '\n')
            number.push_back(c);
        if (c == '\n' && !number.empty()) name_ = ":" + number;
    }
    ~VirtualDisplay() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (readEnd_ >= 0) close(readEnd_);
    }
    const std::string& name() const { return name_; }

  private:
    pid_t pid_ = 0;
    int readEnd_ = -1;
    std::string name_;
};

TEST(KeyboardToggles, SetAndReadOnVirtualDisplay) {
    VirtualDisplay x;
    if (x.name().empty()) GTEST_SKIP() << "Xvfb not available";
    const char* d = x.name().c_str();
    for (int key : {kCapsLock, kNumLock}) {
        ASSERT_TRUE(SetToggle(key, true, d)) << key;
        EXPECT_TRUE(ToggleOn(key, d)) << key;
        EXPECT_TRUE(SetToggle(key, true, d)) << key;  // already on: stays on
        EXPECT_TRUE(ToggleOn(key, d)) << key;
        ASSERT_TRUE(SetToggle(key, false, d)) << key;
        EXPECT_FALSE(ToggleOn(key, d)) << key;
    }
    EXPECT_TRUE(SetToggle(kCapsLock, true, d));
    EXPECT_TRUE(CapsLockOn(d));
    EXPECT_FALSE(ToggleOn(kNumLock, d));  // one key does not touch another
    EXPECT_TRUE(SetToggle(7, false, d));  // any other number means Caps Lock
    EXPECT_FALSE(CapsLockOn(d));
}

}  // namespace
}  // namespace corv::platform
