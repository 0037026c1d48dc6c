#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/Localize.h"
#include "core/Utility.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class TimeTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Localization().Reset();
        Localization().SetString(372, " min");
        Localization().SetString(374, " m");
    }
    void TearDown() override { Localization().Reset(); }
};

TEST_F(TimeTextTest, MinutesAndClockTexts) {
    struct Case {
        std::string got, want;
    } cases[] = {
        {MinutesText(135), "2 h 15 min"},
        {MinutesText(59), "59 min"},
        {MinutesText(60), "1 h 0 min"},
        {MinutesText(0), "0 min"},
        {ClockText(125, ""), "2:05"},
        {ClockText(5, " left"), "0:05 left"},
        {ClockText(600, ""), "10:00"},
        {ClockText(-5, ""), "0:00"},  // a negative seconds part shows as 0
        {RoundedClockText(115, ""), "2:00"},
        {RoundedClockText(59, ""), "1:00"},
        {RoundedClockText(54, ""), "0:50"},
        {RoundedClockText(55, "s"), "1:00s"},  // halves go up
        {RoundedClockText(125, ""), "2:10"},
        {RoundedClockText(124, ""), "2:00"},
        {RoundedClockText(-5, ""), "0:00"},
        {SecondsText(65), "1:05 m"},
        {SecondsText(600), "10:00 m"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST_F(TimeTextTest, MinutesList) {
    EXPECT_EQ(MinutesList("5,10, 15"), (std::vector<std::string>{"5 min", "10 min", "15 min"}));
    EXPECT_EQ(MinutesList("30"), std::vector<std::string>{"30 min"});
    EXPECT_TRUE(MinutesList("").empty());
}

TEST(TextOperations, ShortenAndFilters) {
    EXPECT_EQ(Shorten("abcdefghij", 10), "abcdefghij");
    EXPECT_EQ(Shorten("abcdefghij", 4), "abcd...");
    EXPECT_EQ(Shorten("abcdefghij", 0), "...");
    EXPECT_EQ(Shorten("abcdefghij", -3), "...");
    EXPECT_EQ(Shorten("", 0), "");
    EXPECT_EQ(KeepChars("a1\xE4"
                        "b2\xC4",
                        "ab\xE4"),
              "a\xE4"
              "b");
    EXPECT_EQ(DropChars("a1\xE4"
                        "b2\xC4",
                        "12"),
              "a\xE4"
              "b\xC4");
    EXPECT_EQ(DropSemicolons("a;b;;c"), "abc");
    EXPECT_EQ(DropAmpersands("&File && Edit"), "File  Edit");
}

TEST(TextOperations, PercentCoding) {
    const std::string allowed = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.";
    EXPECT_EQ(PercentEncode("a b&\xE4=%", allowed), "a%20b%26%E4%3D%25");
    EXPECT_EQ(PercentEncode(std::string("\0\n", 2), allowed), "%00%0A");
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"a%20b%26%E4", "a b&\xE4"}, {"%e4", "\xE4"}, {"x%4", "x%4"},   {"%", "%"},
        {"%zz%41", "%zzA"},          {"%%41", "%A"},  {"100%", "100%"}, {"%4%41", "%4A"},
    };
    for (const auto& c : cases) EXPECT_EQ(PercentDecode(c.in), c.out) << c.in;
    std::string all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
    EXPECT_EQ(PercentDecode(PercentEncode(all, allowed)), all);
}

// Week 1 holds 1 January; every Monday after it starts the next week.
int WeekByCounting(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    sys_days date{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}};
    int week = 1;
    for (sys_days d{std::chrono::year{year} / January / 2}; d <= date; d += days{1})
        if (weekday{d} == Monday) ++week;
    return week;
}

TEST(WeekNumber, MatchesMondayStartedWeeksForEveryDay) {
    using namespace std::chrono;
    for (int y = 1999; y <= 2030; ++y) {
        for (sys_days d{std::chrono::year{y} / January / 1};
             d < sys_days{std::chrono::year{y + 1} / January / 1}; d += days{1}) {
            year_month_day ymd{d};
            unsigned m = static_cast<unsigned>(ymd.month()), dd = static_cast<unsigned>(ymd.day());
            ASSERT_EQ(WeekNumber(y, m, dd), WeekByCounting(y, m, dd)) << y << "-" << m << "-" << dd;
        }
    }
    EXPECT_EQ(WeekNumber(2023, 1, 1), 1);  // a Sunday
    EXPECT_EQ(WeekNumber(2023, 1, 2), 2);
    EXPECT_EQ(WeekNumber(2024, 12, 31), 53);
    int today = WeekNumberOfToday();
    EXPECT_GE(today, 1);
    EXPECT_LE(today, 54);
}

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char buffer[PATH_MAX];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        saved_ = buffer;
        ASSERT_EQ(chdir(dir_.path().c_str()), 0);
        ResetSounds();
    }
    void TearDown() override {
        ResetSounds();
        ASSERT_EQ(chdir(saved_.c_str()), 0);
    }
    TempDir dir_;
    std::string saved_;
    testsupport::RecordingUi ui_;
};

TEST_F(SoundTest, PlaysExistingSlotFilesOnly) {
    WriteFile(dir_ / "click.WAV", "RIFF");  // the data files write names in any case
    WriteFile(dir_ / "Error.wav", "RIFF");
    EXPECT_EQ(SoundFile(kSoundIntro), "Intro.wav");
    PlaySound(kSoundClick);
    PlaySound(kSoundTheEnd);  // no such file
    PlaySound(kSoundError);
    PlaySound(0);
    PlaySound(6);
    EXPECT_EQ(ui_.played, (std::vector<std::string>{"click.WAV", "Error.wav"}));

    ClearSound(kSoundClick);
    PlaySound(kSoundClick);
    SetSound(kSoundTheEnd, "Error.wav");
    PlaySound(kSoundTheEnd);
    EXPECT_EQ(ui_.played.size(), 3u);

    SetSoundsOn(false);
    PlaySound(kSoundError);
    EXPECT_EQ(ui_.played.size(), 3u);
}

TEST_F(SoundTest, FailureSilencesTheProcessButBusyDoesNot) {
    WriteFile(dir_ / "Click.wav", "RIFF");
    ui_.soundResult = ui::SoundResult::kBusy;
    PlaySound(kSoundClick);
    EXPECT_FALSE(SoundsFailed());
    ui_.soundResult = ui::SoundResult::kFailed;
    PlaySound(kSoundClick);
    EXPECT_TRUE(SoundsFailed());
    ui_.soundResult = ui::SoundResult::kPlayed;
    PlaySound(kSoundClick);
    EXPECT_EQ(ui_.played.size(), 2u);
}

TEST(ProgressBox, ForwardsStateToTheViewWhileVisible) {
    testsupport::RecordingUi ui;
    TMyMsgForm box;
    EXPECT_EQ(box.Message(), "Processing database, please wait...");
    box.SetCaption("Users");
    box.SetMax(50);
    box.SetPosition(20);
    EXPECT_FALSE(ui.progress.open);

    box.Show();
    EXPECT_TRUE(ui.progress.open);
    EXPECT_EQ(ui.progress.caption, "Users");
    EXPECT_EQ(ui.progress.message, "Processing database, please wait...");
    EXPECT_EQ(ui.progress.min, 0);
    EXPECT_EQ(ui.progress.max, 50);
    EXPECT_EQ(ui.progress.position, 20);

    box.SetPosition(80);  // kept within the range
    EXPECT_EQ(ui.progress.position, 50);
    box.SetMin(60);  // a minimum above the maximum raises the maximum
    EXPECT_EQ(ui.progress.min, 60);
    EXPECT_EQ(ui.progress.max, 60);
    EXPECT_EQ(ui.progress.position, 60);
    box.SetMessage("Rebuilding");
    EXPECT_EQ(ui.progress.message, "Rebuilding");

    box.Show();  // already visible: no second box
    EXPECT_EQ(ui.progress.opened, 1);
    box.Hide();
    EXPECT_FALSE(ui.progress.open);
    EXPECT_FALSE(box.Visible());
    box.Show();
    EXPECT_EQ(ui.progress.opened, 2);
    EXPECT_EQ(ui.progress.message, "Rebuilding");
}

TEST(ProgressBox, WorksWithoutUserInterface) {
    TMyMsgForm box;
    box.Show();
    box.SetPosition(5);
    EXPECT_TRUE(box.Visible());
    EXPECT_EQ(box.Position(), 5);
    box.Hide();
}

TEST(DesktopOperations, GoThroughTheRegisteredInterface) {
    testsupport::RecordingUi ui;
    int window = 0;
    EXPECT_TRUE(OpenAddress("https://example.org/a b"));
    EXPECT_TRUE(RunProgram("hollin", "/AUTOLOGON", "/opt/corvella"));
    EXPECT_TRUE(BringToFront(&window));
    EXPECT_FALSE(BringToFront(nullptr));
    EXPECT_TRUE(CloseProgramWindow("", "Hollin"));
    AllowMessage(0xC123);
    EXPECT_EQ(ui.openedAddresses, std::vector<std::string>{"https://example.org/a b"});
    ASSERT_EQ(ui.runs.size(), 1u);
    EXPECT_EQ(ui.runs[0].program, "hollin");
    EXPECT_EQ(ui.runs[0].parameters, "/AUTOLOGON");
    EXPECT_EQ(ui.runs[0].folder, "/opt/corvella");
    EXPECT_EQ(ui.broughtToFront, std::vector<ui::WindowRef>{&window});
    EXPECT_EQ(ui.closedWindows.size(), 1u);
    EXPECT_EQ(ui.allowedMessages, std::vector<unsigned>{0xC123});
}

TEST(DesktopOperations, HeadlessRunStartsProgramInFolder) {
    TempDir dir;
    ASSERT_TRUE(RunProgram("/bin/sh", "-c \"echo \"\"started\"\" > out.txt\"", dir.path()));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(dir / "out.txt") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(ReadFile(dir / "out.txt"), "started\n");
    EXPECT_FALSE(RunProgram("/no/such/program", "", ""));
}

TEST(DesktopOperations, SplitCommandLine) {
    struct Case {
        const char* in;
        std::vector<std::string> out;
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"/NOMUTEX ws1", {"/NOMUTEX", "ws1"}},
        {"a \"b c\"  d", {"a", "b c", "d"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"\"", {""}},
        {"x\"y z\"w", {"xy zw"}},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::SplitCommandLine(c.in), c.out) << c.in;
}

TEST(UserInterface, LineEndsAndAnswersWithoutUser) {
    EXPECT_EQ(ui::NormalizeLineEnds("a\r\nb\n\rc\rd\ne\r\n\r\nf"), "a\nb\nc\nd\ne\n\nf");
    struct Case {
        ui::Buttons buttons;
        int answer;
    } cases[] = {
        {ui::Buttons::kOk, ui::kAnswerOk},
        {ui::Buttons::kOkCancel, ui::kAnswerCancel},
        {ui::Buttons::kYesNo, ui::kAnswerNo},
        {ui::Buttons::kYesNoCancel, ui::kAnswerCancel},
        {ui::Buttons::kRetryCancel, ui::kAnswerCancel},
        {ui::Buttons::kAbortRetryIgnore, ui::kAnswerAbort},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::SafeAnswer(c.buttons), c.answer);

    ui::HeadlessMessageUi headless;
    ui::MessageRequest request;
    request.text = "Line 1\rLine 2";
    request.buttons = ui::Buttons::kYesNo;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(headless.Show(request), ui::kAnswerNo);
    request.defaultAnswer = ui::kAnswerYes;
    EXPECT_EQ(headless.Show(request), ui::kAnswerYes);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Line 1\nLine 2"), std::string::npos);
}

TEST(UserInterface, RecordingAnswersFromScript) {
    testsupport::RecordingUi ui;
    ui.QueueAnswer(ui::kAnswerYes);
    EXPECT_EQ(ui::Message("Save?", "c", ui::Icon::kQuestion, ui::Buttons::kYesNo, {259, 260}),
              ui::kAnswerYes);
    EXPECT_EQ(ui::Message("Again?", "c", ui::Icon::kQuestion, ui::Buttons::kYesNo), ui::kAnswerNo);
    EXPECT_EQ(ui.unscriptedQuestions, 1);
    EXPECT_TRUE(ui.ShowedString(260));
    EXPECT_FALSE(ui.ShowedString(1));
}

TEST(Identity, DisplayNameAndFolders) {
    EXPECT_FALSE(UserDisplayName().empty());

    const char* saved = std::getenv("XDG_CACHE_HOME");
    std::string keep = saved ? saved : "";
    setenv("XDG_CACHE_HOME", "/var/cache/x/", 1);
    EXPECT_EQ(InternetCacheFolder(), "/var/cache/x");
    setenv("XDG_CACHE_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(InternetCacheFolder().front(), '/');
    EXPECT_NE(InternetCacheFolder(), "relative");
    if (saved)
        setenv("XDG_CACHE_HOME", keep.c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");

    for (const std::string& f :
         {UserAppDataFolder(), CommonAppDataFolder(), InternetCacheFolder()}) {
        ASSERT_FALSE(f.empty());
        EXPECT_EQ(f.front(), '/') << f;
        EXPECT_TRUE(f.size() == 1 || f.back() != '/') << f;
    }
}

}  // namespace
}  // namespace corv
