// The tutor's start-up and shut-down against a small installation, with stand-ins for the
// meter and for a first tutor bound where the real ones would be.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <filesystem>
#include <vector>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "engine/analysis/Scores.h"
#include "meter/ipc/Ipc.h"
#include "platform/Identity.h"
#include "platform/qt/QtText.h"
#include "shell/AppFrame.h"
#include "shell/options/OptionsView.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"
#include "views/BookForm.h"
#include "views/FormView.h"
#include "views/testkit/ViewHarness.h"

namespace corv {
using viewtest::ViewHarness;
namespace {

namespace stdfs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

class TutorStart : public ::testing::Test {
  protected:
    void SetUp() override {
        base = dir.path() + "/";
        const std::string install = std::string(CORV_SOURCE_DIR) + "/install/";
        stdfs::create_directories(base + "program");
        stdfs::copy(install, base + "program/inst", stdfs::copy_options::recursive);
        stdfs::copy_file(install + "language.eng", base + "program/language.eng");
        stdfs::copy_file(install + "CorvLangs.ini", base + "program/CorvLangs.ini");
        WriteFile(base + "program/CorvNPath.ini",
                  "[Path]\r\nDataPath=inst\r\nDataBase=" + base + "db\r\n");
        WriteFile(base + "program/inst/Policy.dyn",
                  "AutoLogon=Tester\r\nDisableWindowsLayouts=1\r\n");
        TProgramSettings::SetProgramFolder(base + "program");
        stdfs::create_directories(base + "session");
        ::chmod((base + "session").c_str(), 0700);
        ipc::SetSessionFolderForTesting(base + "session");
        TAppFrame::SetMeterPauseMs(10);
        TAppFrame::SetSplashMs(10);
        TAppFrame::SetScreenFactsSource([this] { return screen; });
        TAppFrame::SetDocumentsFolder(base + "docs");
        RegisterSection("Info", {569, [this] {
                                     sectionsRun.push_back("Info");
                                     SetExitRequested(true);
                                     return SectionResult::kStay;
                                 }});
        ::getcwd(cwd, sizeof cwd);
    }
    void TearDown() override {
        UnregisterSection("Settings");
        TAppFrame::SetScreenFactsSource(nullptr);
        TAppFrame::SetSplashShownHook(nullptr);
        TAppFrame::SetDocumentsFolder("");
        SetScreenshotMode(false);
        ipc::SetSessionFolderForTesting("");
        TProgramSettings::SetProgramFolder("");
        Localization().Reset();
        ::chdir(cwd);
    }
    int RunTutor(std::vector<std::string> args = {}) {
        TMain tutor(harness.Window(), nullptr);
        return tutor.Run(args);
    }
    std::vector<unsigned> Received(ipc::MessageWindow& w) {
        std::vector<unsigned> got;
        w.ReceivePending([&](const ipc::Message& m) { got.push_back(m.message); });
        return got;
    }

    std::string Workstation(const std::string& name) {
        return ReadFile(base + "db/" + name + ".wk10");
    }

    test::TempDir dir;
    std::string base;
    TAppFrame::ScreenFacts screen{1280, 760, 24};
    ViewHarness harness;
    std::vector<std::string> sectionsRun;
    char cwd[4096] = {};
};

TEST_F(TutorStart, PausesTheMeterAndWakesItAfterTheUserIsSaved) {
    auto meter = ipc::MessageWindow::Create("", protocol::kMeterWindow);
    ASSERT_TRUE(meter);
    EXPECT_EQ(RunTutor(), 0);
    const unsigned disable = ipc::RegisterMessage(protocol::kDisable);
    const unsigned enable = ipc::RegisterMessage(protocol::kEnable);
    EXPECT_EQ(Received(*meter), (std::vector<unsigned>{disable, enable}));
    EXPECT_EQ(sectionsRun, std::vector<std::string>{"Info"});
    // The user and the workstation were saved and the mutex is free again.
    std::string user = ReadFile(base + "db/Tester.usr");
    EXPECT_NE(user.find("TimesUsed=1\r\n"), std::string::npos);
    EXPECT_NE(user.find("NextView=Vantor\r\n"), std::string::npos);
    EXPECT_FALSE(ipc::NamedMutex::IsHeld(protocol::kTutorMutex));
    auto files = fs::ListMatching(base + "db/*.wk10");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(ReadFile(base + "db/" + files[0]).find("LastStudent=Tester\r\n"), std::string::npos);
}

TEST_F(TutorStart, ASecondTutorBringsTheFirstToTheFrontAndLeavesTheMeterAlone) {
    ASSERT_EQ(::chdir((base + "program").c_str()), 0);
    Localization().Load("language");  // the first tutor's caption
    bool exists = false;
    auto firstMutex = ipc::NamedMutex::Create(protocol::kTutorMutex, exists);
    auto firstWindow = ipc::MessageWindow::Create(protocol::kTutorClass, Str(1));
    auto meter = ipc::MessageWindow::Create("", protocol::kMeterWindow);
    ASSERT_TRUE(firstMutex->Owned() && firstWindow && meter);
    EXPECT_EQ(RunTutor(), 123);
    std::vector<ipc::Message> got;
    firstWindow->ReceivePending([&](const ipc::Message& m) { got.push_back(m); });
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, ipc::RegisterMessage(protocol::kBringFront));
    EXPECT_EQ(got[0].wParam, 1);
    EXPECT_TRUE(Received(*meter).empty());
    EXPECT_TRUE(sectionsRun.empty());
    EXPECT_FALSE(stdfs::exists(base + "db/Tester.usr"));
}

TEST_F(TutorStart, HollinLogonIsTakenAndCleared) {
    WriteFile(base + "program/inst/Policy.dyn", "DisableWindowsLayouts=1\r\n");
    stdfs::create_directories(base + "db");
    // The workstation file is named after the computer; make it carry the hand-over.
    WriteFile(base + "db/" + TUser::WorkstationName() + ".wk10", "HollinLogon=Meter User\r\n");
    EXPECT_EQ(RunTutor(), 0);
    EXPECT_TRUE(stdfs::exists(base + "db/Meter User.usr"));
    std::string ws = ReadFile(base + "db/" + TUser::WorkstationName() + ".wk10");
    EXPECT_EQ(ws.find("HollinLogon="), std::string::npos);
}

TEST_F(TutorStart, HollinLogonOnlyPreselectsWhenPasswordsAreRequired) {
    WriteFile(base + "program/inst/Policy.dyn",
              "RequirePasswords=1\r\nDisableWindowsLayouts=1\r\n");
    stdfs::create_directories(base + "db");
    WriteFile(base + "db/" + TUser::WorkstationName() + ".wk10", "HollinLogon=Meter User\r\n");
    // Without a login view to ask for the password nobody gets in.
    EXPECT_EQ(RunTutor(), -1);
    EXPECT_FALSE(stdfs::exists(base + "db/Meter User.usr"));
    EXPECT_TRUE(sectionsRun.empty());
}

TEST_F(TutorStart, StopsCleanlyWhenThePolicyIsMissing) {
    stdfs::remove(base + "program/inst/Policy.dyn");
    testsupport::RecordingUi ui;  // records the stop instead of ending the test program
    EXPECT_EQ(RunTutor(), -1);
    EXPECT_TRUE(ui.ShowedString(361));
    EXPECT_EQ(ui.endProgramCalls.size(), 1u);
    EXPECT_FALSE(ipc::NamedMutex::IsHeld(protocol::kTutorMutex));
}

TEST_F(TutorStart, CommandLine) {
    EXPECT_TRUE(ParseCommandLine({"/typetest"}).typeTest);
    EXPECT_FALSE(ParseCommandLine({"/TYPETEST", "x"}).typeTest);
    EXPECT_EQ(ParseCommandLine({"/Statistics"}).firstSection, "VantorStatistics");
    CommandLine c = ParseCommandLine({"/NOMUTEX", "PC7"});
    EXPECT_TRUE(c.noMutex);
    EXPECT_EQ(c.workstationName, "PC7");
    EXPECT_FALSE(ParseCommandLine({"/NOMUTEX"}).noMutex);
}

}  // namespace
}  // namespace corv

namespace corv {
namespace {

TEST_F(TutorStart, TheSplashShowsOnlyWhenStartedWithoutParameters) {
    int shown = 0;
    TAppFrame::SetSplashShownHook([&](QWidget& splash) {
        ++shown;
        EXPECT_EQ(splash.size(), QSize(480, 270));
        const char* shots = std::getenv("CORV_SCREENSHOTS");
        if (shots && *shots) {
            stdfs::create_directories(shots);
            splash.grab().save(QString::fromLocal8Bit(shots) + "/TutorStart.Splash-TSplash.png");
        }
    });
    EXPECT_EQ(RunTutor(), 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC1"}), 0);
    EXPECT_EQ(shown, 1);
    stdfs::remove(base + "program/inst/splashcorv.bmp");
    EXPECT_EQ(RunTutor(), 0);
    EXPECT_EQ(shown, 1);
}

TEST_F(TutorStart, AFewColourDisplayIsToldOnceAndASmallScreenIsAskedAbout) {
    screen = {640, 460, 8};
    harness.messages.Expect(ui::kAnswerOk, 1389);
    harness.messages.Expect(ui::kAnswerYes, 168);
    harness.messages.Expect(ui::kAnswerOk, 171);
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC1"}), 0);
    EXPECT_TRUE(harness.Window().LowColour());
    EXPECT_NE(Workstation("PC1").find("256Warned=1\r\n"), std::string::npos);
    // Told once per workstation; a No leaves out the advice.
    harness.Window().SetLowColour(false);
    harness.messages.Expect(ui::kAnswerNo, 168);
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC1"}), 0);
    EXPECT_TRUE(harness.Window().LowColour());
    harness.messages.Verify();
    // The administrator's choice of few colours is not announced on a new workstation.
    harness.Window().SetLowColour(false);
    screen = {1024, 740, 24};
    WriteFile(base + "program/inst/Policy.dyn",
              "AutoLogon=Tester\r\nDisableWindowsLayouts=1\r\n256Colors=1\r\n");
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC2"}), 0);
    EXPECT_TRUE(harness.Window().LowColour());
    EXPECT_EQ(Workstation("PC2").find("256Warned"), std::string::npos);
    harness.Window().SetLowColour(false);
}

TEST_F(TutorStart, FullScreenIsResetOnlyOnScreensWiderThan800) {
    struct Case {
        int width;
        std::string policy;
        const char* after;
    } cases[] = {
        {1024, "", "FullScreen=0"},
        {800, "", "FullScreen=2"},
        {1024, "NoFullScreen=1\r\n", "FullScreen=2"},
    };
    stdfs::create_directories(base + "db");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        screen = {c.width, 560, 24};
        WriteFile(base + "program/inst/Policy.dyn",
                  "AutoLogon=Tester\r\nDisableWindowsLayouts=1\r\n" + c.policy);
        WriteFile(base + "db/PC1.wk10", "FullScreen=2\r\n");
        EXPECT_EQ(RunTutor({"/NOMUTEX", "PC1"}), 0);
        EXPECT_NE(Workstation("PC1").find(std::string(c.after) + "\r\n"), std::string::npos);
    }
}

TEST_F(TutorStart, TheUsersOfTheEarlierVersionAreTakenOverWhenTheUserSaysYes) {
    WriteFile(base + "program/inst/Policy.dyn", "DisableWindowsLayouts=1\r\n");
    stdfs::create_directories(base + "docs");
    stdfs::copy(std::string(CORV_SOURCE_DIR) + "/shell/tests/fixtures/Corvella7",
                base + "docs/Corvella7");
    stdfs::create_directories(base + "db");
    WriteFile(base + "db/Anna Berg.usr", "Username=Anna Berg\r\nTimesUsed=40\r\n");

    harness.messages.Expect(ui::kAnswerNo, 1950);
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC1"}), -1);  // no login view in these tests
    EXPECT_FALSE(stdfs::exists(base + "db/Old Pupil.usr"));

    harness.messages.Expect(ui::kAnswerYes, 1950);
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC1"}), -1);
    EXPECT_EQ(ReadFile(base + "db/Old Pupil.usr"), ReadFile(base + "docs/Corvella7/Old Pupil.usr"));
    // This version's own user is kept as it is; the users' list names the newcomer.
    EXPECT_EQ(ReadFile(base + "db/Anna Berg.usr"), "Username=Anna Berg\r\nTimesUsed=40\r\n");
    std::string indexes;
    for (const std::string& index : fs::ListMatching(base + "db/*.idx"))
        indexes += ReadFile(base + "db/" + index);
    EXPECT_NE(indexes.find("=Old Pupil\r\n"), std::string::npos) << indexes;
    harness.messages.Verify();

    // A workstation that knows its last user is not asked; nor one the earlier version
    // never saw.
    WriteFile(base + "db/PC1.wk10", "LastUser." + platform::LogonName() + "=Anna Berg\r\n");
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC1"}), -1);
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC9"}), -1);
}

TEST_F(TutorStart, ScreenshotModeFixesTheFiguresAndKeepsItsCaption) {
    std::string caption;
    bool fixed = false;
    RegisterSection("Info", {569, [&] {
                                 caption = FromQt(harness.Window().windowTitle());
                                 fixed = ScreenshotMode();
                                 SetExitRequested(true);
                                 return SectionResult::kStay;
                             }});
    EXPECT_EQ(RunTutor({"/SCREENSHOTMODE"}), 0);
    EXPECT_EQ(caption, "SCREENSHOTMODE");
    EXPECT_TRUE(fixed);
    EXPECT_EQ(RunTutor({"/NOMUTEX", "PC1"}), 0);
    EXPECT_NE(caption, "SCREENSHOTMODE");
    EXPECT_FALSE(fixed);
}

TEST_F(TutorStart, GermanChosenInTheSettingsRelabelsTheMenuAndStaysAfterARestart) {
    RegisterSection("Settings", {568, [] {
                                     RunOptionsView();
                                     return SectionResult::kStay;
                                 }});
    std::string infoCaption;
    RegisterSection("Info", {569, [&] {
                                 infoCaption = FromQt(harness.Window().MenuButton("Info")->text());
                                 SetExitRequested(true);
                                 return SectionResult::kStay;
                             }});
    harness.Do([] {
        auto* languages = dynamic_cast<TOptionsView*>(CurrentView())->Storage()->LangList;
        const int german = languages->findText("Deutsch");
        ASSERT_GE(german, 0);
        languages->setCurrentIndex(german);
        emit languages->activated(german);
    });
    harness.Do([this] {
        EXPECT_EQ(FromQt(harness.Window().MenuButton("Settings")->text()), "Einstellungen");
        EXPECT_EQ(harness.Window().Title(), "Einstellungen");
    });
    harness.Screenshot("german");
    harness.PickSection("Info");
    EXPECT_EQ(harness.Run([this] { return RunTutor({"/NOMUTEX", "PC1"}); }), 0);
    EXPECT_EQ(infoCaption, "Info");
    EXPECT_NE(ReadFile(base + "db/Tester.usr").find("LanguageCode=DEU\r\n"), std::string::npos);

    // The next start, a new process, is in German from the log-in on.
    Localization().Reset();
    harness.PickSection("Info");
    EXPECT_EQ(harness.Run([this] { return RunTutor({"/NOMUTEX", "PC1"}); }), 0);
    EXPECT_EQ(TLocalize::CurrentCode(), "DEU");
    EXPECT_EQ(FromQt(harness.Window().MenuButton("Settings")->text()), "Einstellungen");
}

}  // namespace
}  // namespace corv
