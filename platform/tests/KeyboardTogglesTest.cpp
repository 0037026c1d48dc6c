#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/KeyboardToggles.h"
#include "testsupport/VirtualDisplay.h"

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

using testsupport::VirtualDisplay;

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
