// The tutor's start-up and shut-down against a small installation, with stand-ins for the
// meter and for a first tutor bound where the real ones would be.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "meter/ipc/Ipc.h"
#include "shell/AppFrame.h"
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
        RegisterSection("Info", {569, [this] {
                                     sectionsRun.push_back("Info");
                                     SetExitRequested(true);
                                     return SectionResult::kStay;
                                 }});
        ::getcwd(cwd, sizeof cwd);
    }
    void TearDown() override {
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

    test::TempDir dir;
    std::string base;
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
