#pragma once
// A private X server (Xvfb) for a test, on a display number it picks itself. It does not
// reset when its last client leaves, so state set by one connection (a keymap from
// setxkbmap, a lock key) is still there for the next.

#include <sys/types.h>

#include <string>

namespace corv::testsupport {

class VirtualDisplay {
  public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", or empty when no server could be started (Xvfb missing).
    const std::string& name() const { return name_; }

  private:
    pid_t pid_ = 0;
    int readFd_ = -1;
    std::string name_;
};

}  // namespace corv::testsupport
