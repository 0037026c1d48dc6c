// The layout model against a real X server: a private Xvfb with the US and German layouts.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/Localize.h"
#include "core/TextFiles.h"
#include "data/keyboard/KeyData.h"
#include "data/keyboard/KeySystem.h"
#include "platform/KeyboardLayouts.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/VirtualDisplay.h"

extern char** environ;

namespace corv {
namespace {

const std::string kInstall = std::string(CORV_SOURCE_DIR) + "/install/";

// Runs a program to its end; false when it cannot start or fails.
bool RunProgram(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

using testsupport::VirtualDisplay;

class KeyboardSession : public ::testing::Test {
  protected:
    void SetUp() override {
        Localization().Reset();
        SetLayoutSystem(nullptr);  // the X11 session's
    }
    void TearDown() override {
        platform::SetLayoutDisplay(nullptr);
        SetLayoutSystem(nullptr);
        Localization().Reset();
    }
    std::unique_ptr<TKeyDataExt> Load(const std::string& file) {
        auto layout = std::make_unique<TKeyDataExt>();
        EXPECT_EQ(layout->Load(kInstall + "keyboards/" + file), 1);
        return layout;
    }
    std::vector<std::string> IniLines() {
        std::vector<std::string> lines;
        TStreamFile::LoadLines(lines, kInstall + "CorvKeyb.ini");
        if (!lines.empty()) lines.erase(lines.begin());
        return lines;
    }
    testsupport::RecordingUi ui;
};

TEST_F(KeyboardSession, WithoutDisplayThereIsNoLayoutAndNothingIsDynamic) {
    platform::SetLayoutDisplay(":917");  // no server there
    EXPECT_EQ(LayoutSystem().CurrentLayoutId(), "");
    auto dynamic = Load("dynamic.kbd");
    EXPECT_FALSE(dynamic->dynamic);
    EXPECT_EQ(dynamic->FindKey("@").key->texts[0], "2");  // the file's own US texts
    EXPECT_EQ(ChooseLayoutFile(IniLines(), LayoutSystem().CurrentLayoutId(), nullptr, "qwerty.kbd",
                               false),
              "qwerty.kbd");
    EXPECT_FALSE(Load("german.kbd")->ActivateSystemLayout(false));
}

TEST_F(KeyboardSession, UsAndGermanUnderXvfb) {
    VirtualDisplay x;
    if (x.name().empty()) GTEST_SKIP() << "Xvfb is not installed";
    if (!RunProgram({"setxkbmap", "-display", x.name(), "-layout", "us,de"}))
        GTEST_SKIP() << "setxkbmap is not installed";
    platform::SetLayoutDisplay(x.name().c_str());

    EXPECT_EQ(LayoutSystem().CurrentLayoutId(), "00000409");
    EXPECT_EQ(LayoutSystem().InstalledLayoutIds(),
              (std::vector<std::string>{"00000409", "00000407"}));
    EXPECT_EQ(
        ChooseLayoutFile(IniLines(), LayoutSystem().CurrentLayoutId(), nullptr, "x.kbd", false),
        "qwerty.kbd");

    auto us = Load("dynamic.kbd");
    EXPECT_TRUE(us->dynamic);
    EXPECT_EQ(us->materialBase, "qwerty");
    EXPECT_EQ(us->homeRow, "asdfjkl;");
    EXPECT_EQ(us->FindKey("y").key->scanCode, 21);
    EXPECT_EQ(us->FindKey("@").key->scanCode, 3);
    EXPECT_EQ(us->FindKey("@").slot, 1);

    // The shipped German layout switches the session to its German group.
    auto german = Load("german.kbd");
    EXPECT_TRUE(german->ActivateSystemLayout(true));
    EXPECT_EQ(LayoutSystem().CurrentLayoutId(), "00000407");
    EXPECT_EQ(platform::CurrentLayoutDescription(), "German");
    EXPECT_EQ(
        ChooseLayoutFile(IniLines(), LayoutSystem().CurrentLayoutId(), nullptr, "x.kbd", false),
        "german.kbd");
    EXPECT_FALSE(Load("french.kbd")->ActivateSystemLayout(true));  // the user has no French layout
    EXPECT_EQ(LayoutSystem().CurrentLayoutId(), "00000407");

    auto de = Load("dynamic.kbd");
    EXPECT_TRUE(de->dynamic);
    EXPECT_EQ(de->materialBase, "qwertz");
    EXPECT_EQ(de->homeRow, "asdfjkl\xF6");
    EXPECT_EQ(de->semicolonReplacement, '\xF6');
    struct Case {
        const char* text;
        int scanCode;
        int slot;
        char baseLetter;
    } cases[] = {
        {"z", 21, 0, 0},    {"y", 44, 0, 0},      {"Z", 21, 1, 0},    {"\xDF", 12, 0, 0},
        {"?", 12, 1, 0},    {"\\", 12, 4, 0},     {"@", 16, 4, 0},    {"\x80", 18, 4, 0},
        {"\xB4", 13, 0, 0}, {"\xE9", 13, 0, 'e'}, {"\xF6", 39, 0, 0}, {"\xC4", 40, 1, 0},
        {"|", 86, 4, 0},    {";", 51, 1, 0},
    };
    for (const Case& c : cases) {
        TKeyLookup r = de->FindKey(c.text);
        ASSERT_TRUE(r) << c.text;
        EXPECT_EQ(r.key->scanCode, c.scanCode) << c.text;
        EXPECT_EQ(r.slot, c.slot) << c.text;
        EXPECT_EQ(r.baseLetter, c.baseLetter) << c.text;
    }
    EXPECT_EQ(de->FindKey("@").modifier, de->Control(4, true));  // AltGr

    // And back.
    EXPECT_TRUE(Load("qwerty.kbd")->ActivateSystemLayout(true));
    EXPECT_EQ(LayoutSystem().CurrentLayoutId(), "00000409");
    EXPECT_EQ(Load("dynamic.kbd")->materialBase, "qwerty");
}

}  // namespace
}  // namespace corv
