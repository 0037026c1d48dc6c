// The meter as a user runs it: its own X server with a window manager, terminals to type
// into with xdotool, and the real hook; then the figures in the user's files.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "data/User.h"
#include "data/WordList.h"
#include "meter/ipc/Ipc.h"
#include "meter/ipc/Protocol.h"
#include "platform/Identity.h"
#include "testsupport/TempDir.h"
#include "testsupport/VirtualDisplay.h"

extern char** environ;

namespace corv {
namespace {

namespace stdfs = std::filesystem;
using namespace std::chrono;
using test::ReadFile;
using test::WriteFile;

pid_t Spawn(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return 0;
    return pid;
}

int RunAndWait(std::vector<std::string> argv) {
    pid_t pid = Spawn(std::move(argv));
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitFor(const std::function<bool()>& done, int ms = 15000) {
    const auto end = steady_clock::now() + milliseconds(ms);
    while (steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(milliseconds(50));
    }
    return done();
}

std::string Setting(const std::string& text, const std::string& key) {
    const std::string k = "\n" + key + "=";
    size_t at = ("\n" + text).find(k);
    if (at == std::string::npos) return "";
    at += k.size() - 1;
    return text.substr(at, text.find('\r', at) - at);
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

class Hollin : public ::testing::Test {
  protected:
    void SetUp() override {
        if (display.name().empty()) GTEST_SKIP() << "no Xvfb";
        base = dir.path() + "/";
        const std::string install = std::string(CORV_SOURCE_DIR) + "/install/";
        stdfs::create_directories(base + "program/inst");
        stdfs::create_directories(base + "db");
        stdfs::create_directories(base + "run");
        ::chmod((base + "run").c_str(), 0700);
        for (const char* f : {"language.eng", "CorvLangs.ini"})
            stdfs::copy_file(install + f, base + "program/" + f);
        stdfs::copy_file(install + "0.grp", base + "program/inst/0.grp");
        WriteFile(base + "program/inst/Policy.dyn", "DisableWindowsLayouts=1\r\n");
        WriteFile(base + "program/CorvNPath.ini",
                  "[Path]\r\nDataPath=inst\r\nDataBase=" + base + "db\r\n");
        stdfs::copy_file(CORV_HOLLIN, base + "program/hollin");
        const std::string login = platform::LogonName();
        WriteFile(base + "db/" + TUser::WorkstationName() + ".wk10",
                  "UseSelectedUser." + login + "=1\r\nSelectedUser." + login + "=Anna\r\n");
        ::setenv("DISPLAY", display.name().c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (base + "run").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        wm = Spawn({"openbox"});
        ASSERT_TRUE(WaitFor([] {
            return RunAndWait(
                       {"sh", "-c", "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window"}) == 0;
        }));
    }
    void TearDown() override {
        for (pid_t p : terminals) Stop(p);
        Stop(meter);
        Stop(wm);
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    // A terminal titled `title`, active once this returns.
    void OpenTerminal(const std::string& title) {
        terminals.push_back(Spawn({"xterm", "-T", title, "-e", "cat"}));
        ASSERT_EQ(RunAndWait({"xdotool", "search", "--sync", "--name", "^" + title + "$",
                              "windowactivate", "--sync"}),
                  0);
    }
    void Activate(const std::string& title) {
        ASSERT_EQ(RunAndWait({"xdotool", "search", "--name", "^" + title + "$", "windowactivate",
                              "--sync"}),
                  0);
        std::this_thread::sleep_for(milliseconds(200));
    }
    // One xdotool run (its "type" takes every later argument as text).
    // Returns how long it took: xdotool's delay is not quite the time between two keys.
    double Type(std::vector<std::string> commands) {
        std::vector<std::string> argv{"xdotool"};
        argv.insert(argv.end(), commands.begin(), commands.end());
        const auto start = steady_clock::now();
        EXPECT_EQ(RunAndWait(argv), 0);
        return duration<double>(steady_clock::now() - start).count();
    }

    testsupport::VirtualDisplay display;
    test::TempDir dir;
    std::string base;
    pid_t wm = 0, meter = 0;
    std::vector<pid_t> terminals;
};

TEST_F(Hollin, MeasuresTypingInOtherProgramsAndSavesItWhenTheTutorComes) {
    OpenTerminal("Notes");
    OpenTerminal("Terminal");
    meter = Spawn({base + "program/hollin"});
    ASSERT_TRUE(WaitFor([] { return ipc::FindWindow("", meterprotocol::kMeterWindow); }))
        << "the meter's window";
    std::this_thread::sleep_for(milliseconds(500));

    constexpr int kGap = 150;
    const std::string gap = std::to_string(kGap);
    const std::string prose = " quick brown foxes jump over lazy dogs daily ";
    // Prose, a corrected word and a word abandoned by a switch, in one run of keys.
    double typed = Type({"type", "--delay", gap, prose});
    typed += Type({"type", "--delay", gap, "teh"});
    typed += Type({"key", "--delay", gap, "BackSpace", "BackSpace"});
    typed += Type({"type", "--delay", gap, "hen abando"});
    Activate("Notes");
    typed += Type({"type", "--delay", gap, "nment more words "});
    Type({"click", "1", "click", "3", "key", "Tab", "Left"});
    OpenTerminal("Password");
    typed += Type({"type", "--delay", gap, "go hunter secretive passphrase "});

    // What the tutor does at its start: DISABLE, and wait for the answer.
    auto reply = ipc::MessageWindow::Create(ipc::kReplyClass, ipc::ReplyWindowTitle(::getpid()));
    ASSERT_TRUE(reply);
    ASSERT_TRUE(ipc::PostMessage("", meterprotocol::kMeterWindow,
                                 ipc::RegisterMessage(meterprotocol::kDisable), 0, 0));
    bool answered = false;
    ASSERT_TRUE(WaitFor([&] {
        reply->ReceivePending([&](const ipc::Message& m) {
            answered = answered || m.message == ipc::RegisterMessage(meterprotocol::kDisabled);
        });
        return answered;
    }));

    const std::string usr = ReadFile(base + "db/Anna.usr");
    // Key counts: 108 characters (two of them Backspaces), Tab and Left.
    EXPECT_EQ(Setting(usr, "totalHits"), "110");
    EXPECT_EQ(Setting(usr, "monitoredHits"), "108");
    EXPECT_EQ(Setting(usr, "BackSpaces"), "2");
    EXPECT_EQ(Setting(usr, "ArrowHits"), "1");
    EXPECT_EQ(Setting(usr, "MouseClicks"), "2");
    const std::string day = Setting(usr, "CurrentDay");
    ASSERT_FALSE(day.empty());
    EXPECT_EQ(Setting(usr, "TotalHits.day" + day), "104");
    EXPECT_EQ(Setting(usr, "TypedWords.day" + day), "14");
    // The three runs of keys as long as they took.
    const int seconds = std::stoi(Setting(usr, "TypingSeconds.day" + day));
    EXPECT_NEAR(seconds, typed, typed * 0.1 + 0.5);

    const std::string dta = ReadFile(base + "db/Anna.DTA");
    ASSERT_GT(dta.size(), 28u + 2 * 1338u);
    TWordList words;
    words.FromBytes(std::string_view(dta).substr(28 + 2 * 1338));
    auto find = [&](const std::string& w) {
        for (int s = 1; s <= words.UsedCount(); ++s)
            if (words.Record(s).word == w) return s;
        return 0;
    };
    for (const char* w :
         {"quick", "brown", "foxes", "jump", "over", "lazy", "dogs", "daily", "more", "words"})
        EXPECT_NE(find(w), 0) << w;
    ASSERT_NE(find("then"), 0);
    EXPECT_EQ(words.Record(find("then")).history[0], 2) << "one correction";
    for (const char* w : {"abando", "abandonment", "nment", "hunter", "secretive", "passphrase"})
        EXPECT_EQ(find(w), 0) << w;

    // Closed as the tutor's uninstall or "remove" would: it ends by itself.
    ASSERT_TRUE(ipc::PostMessage("", meterprotocol::kMeterWindow, ipc::kWmClose, 0, 0));
    int status = -1;
    ASSERT_TRUE(WaitFor([&] { return waitpid(meter, &status, WNOHANG) == meter; }));
    meter = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(Hollin, SavesWhatItMeasuredWhenAskedToEnd) {
    OpenTerminal("Terminal");
    meter = Spawn({base + "program/hollin"});
    ASSERT_TRUE(WaitFor([] { return ipc::FindWindow("", meterprotocol::kMeterWindow); }));
    std::this_thread::sleep_for(milliseconds(500));
    Type({"type", "--delay", "100", " some words typed here "});
    kill(meter, SIGTERM);
    int status = -1;
    ASSERT_TRUE(WaitFor([&] { return waitpid(meter, &status, WNOHANG) == meter; }));
    meter = 0;
    EXPECT_EQ(Setting(ReadFile(base + "db/Anna.usr"), "totalHits"), "23");
}

TEST(HollinStart, WithoutAnXServerItSaysSoAndEnds) {
    const std::string out = std::string(CORV_TEST_TMP_DIR) + "/hollin-nox.txt";
    const std::string cmd =
        "env -u DISPLAY WAYLAND_DISPLAY=wayland-0 " + std::string(CORV_HOLLIN) + " 2>" + out;
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_NE(ReadFile(out).find("only in an X11 session"), std::string::npos);
}

}  // namespace
}  // namespace corv
