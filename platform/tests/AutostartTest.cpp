#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Autostart.h"

namespace corv::platform {
namespace {

TEST(Autostart, EntryIsWrittenQuotedAndRemoved) {
    std::string base = std::string(std::getenv("CORV_TEST_TMP")) + "/autostart-XXXXXX";
    std::filesystem::create_directories(std::filesystem::path(base).parent_path());
    ASSERT_TRUE(::mkdtemp(base.data()));
    ::setenv("XDG_CONFIG_HOME", base.c_str(), 1);
    EXPECT_EQ(AutostartFolder(), base + "/autostart");
    EXPECT_FALSE(HasAutostart("TypingVantor"));
    ASSERT_TRUE(SetAutostart("TypingVantor", "/opt/My Apps/hollin \"$x\""));
    std::ifstream in(base + "/autostart/TypingVantor.desktop");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("Exec=\"/opt/My Apps/hollin \\\"\\$x\\\"\"\n"), std::string::npos)
        << text.str();
    EXPECT_TRUE(HasAutostart("TypingVantor"));
    EXPECT_TRUE(RemoveAutostart("TypingVantor"));
    EXPECT_FALSE(HasAutostart("TypingVantor"));
    EXPECT_TRUE(RemoveAutostart("TypingVantor"));  // already gone counts as done
    ::unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace corv::platform
