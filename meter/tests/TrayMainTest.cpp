// Starting, logging on, pausing for the tutor and handing the user over.

#include <sys/stat.h>

#include <filesystem>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Settings.h"
#include "data/SpyedApps.h"
#include "data/User.h"
#include "meter/ipc/Protocol.h"
#include "meter/tests/MeterFixture.h"
#include "platform/Autostart.h"

namespace corv::meter::test {
namespace {

namespace stdfs = std::filesystem;

class TrayMain : public MeterFixture {
  protected:
    unsigned Msg(const char* name) { return ipc::RegisterMessage(name); }
    std::vector<ipc::Message> Received(ipc::MessageWindow& w) {
        std::vector<ipc::Message> got;
        w.ReceivePending([&](const ipc::Message& m) { got.push_back(m); });
        return got;
    }
};

TEST_F(TrayMain, ASecondMeterWakesTheFirstAndEnds) {
    auto first = ipc::MessageWindow::Create("", meterprotocol::kMeterWindow);
    bool exists = false;
    auto held = ipc::NamedMutex::Create(meterprotocol::kMeterMutex, exists);
    ASSERT_TRUE(first);
    EXPECT_FALSE(StartMeter());
    const auto got = Received(*first);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, Msg(meterprotocol::kEnable));
    EXPECT_EQ(got[0].wParam, 2);
    EXPECT_EQ(shell.logOnAsked, 0);
}

TEST_F(TrayMain, WhileTheTutorRunsTheMeterWaitsWithoutAsking) {
    bool exists = false;
    auto tutor = ipc::NamedMutex::Create(meterprotocol::kTutorMutex, exists);
    SetLoginKey("UseSelectedUser", "1");
    SetLoginKey("SelectedUser", "Anna");
    ASSERT_TRUE(StartMeter());
    EXPECT_FALSE(tray->Enabled());
    EXPECT_EQ(shell.state, TTrayState::kDisabled);
    EXPECT_EQ(shell.logOnAsked, 0);
    tutor->Release();
    tray->HandleMessage({Msg(meterprotocol::kEnable), 0, 0, 0});  // the tutor has ended
    EXPECT_TRUE(tray->Enabled());
    EXPECT_TRUE(hook->Running());
    EXPECT_EQ(CurrentUser()->GetText("Username"), "Anna");
}

TEST_F(TrayMain, WithoutAUserToTakeTheLogOnIsAskedAndNothingIsMeasured) {
    ASSERT_TRUE(StartMeter());
    EXPECT_EQ(shell.logOnAsked, 1);
    EXPECT_FALSE(tray->Enabled());
    EXPECT_FALSE(hook->Running());
    EXPECT_EQ(CurrentUser(), nullptr);
    EXPECT_EQ(CorvSettings::Workstation(), nullptr) << "no file held while waiting";
    Type("hello world ", 200);
    EXPECT_EQ(tray->Counters().totalHits, 0u);
}

TEST_F(TrayMain, AutologonTakesTheLastUserAndInstMakesTheLoginsOwn) {
    SetLoginKey("LastUser", "Bert");
    ASSERT_TRUE(StartMeter({"/autologon"}));
    EXPECT_TRUE(tray->Enabled());
    EXPECT_EQ(CurrentUser()->GetText("Username"), "Bert");
    tray.reset();

    ::setenv("XDG_CONFIG_HOME", (base + "config").c_str(), 1);
    ASSERT_TRUE(StartMeter({"/INST"}));
    ASSERT_TRUE(tray->Enabled());
    EXPECT_TRUE(EqualsNoCase(CurrentUser()->GetText("Username"), Login()));
    tray.reset();
    EXPECT_EQ(WorkstationValue("UseSelectedUser." + Login()), "1");
    EXPECT_EQ(WorkstationValue("VantorInit." + Login()), "1");
    EXPECT_TRUE(EqualsNoCase(WorkstationValue("LastUser." + Login()), Login()));
    EXPECT_TRUE(platform::HasAutostart("TypingVantor"));
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(TrayMain, DisableSavesReleasesAndAnswersThenEnableTakesTheSameUser) {
    StartMeasuring();
    Type(" alpha bravo charlie ", 250);
    auto reply = ipc::MessageWindow::Create(ipc::kReplyClass, ipc::ReplyWindowTitle(::getpid()));
    ASSERT_TRUE(reply);
    tray->HandleMessage({Msg(meterprotocol::kDisable), 0, 0, ::getpid()});
    const auto answer = Received(*reply);
    ASSERT_EQ(answer.size(), 1u) << "confirmed once the files are free";
    EXPECT_EQ(answer[0].message, Msg(meterprotocol::kDisabled));
    EXPECT_FALSE(tray->Enabled());
    EXPECT_FALSE(hook->Running());
    EXPECT_EQ(UserValue("Anna", "totalHits"), "21");
    EXPECT_TRUE(stdfs::exists(Db() + "Anna.SET"));
    EXPECT_TRUE(stdfs::exists(Db() + "Anna.DTA"));
    {
        auto tutorSide = TUser::Open("Anna", -1, TUser::kExclusive, false);  // free now
        EXPECT_NE(CollectedWords().UsedCount(), 0) << "the words reached the file";
    }
    EXPECT_EQ(tray->PreviousUser(), "Anna");
    tray->HandleMessage({Msg(meterprotocol::kEnable), 0, 0, 0});
    EXPECT_TRUE(tray->Enabled());
    EXPECT_EQ(shell.logOnAsked, 0);
    EXPECT_EQ(tray->Counters().totalHits, 21u);
}

TEST_F(TrayMain, MessagesWithoutAnActionChangeNothingAndPostedKeysAreNotTaken) {
    StartMeasuring();
    for (const char* name :
         {meterprotocol::kNewMonApp, meterprotocol::kSendWordHdr, meterprotocol::kSendWordData,
          meterprotocol::kBringFront, meterprotocol::kSendKeyInfo, meterprotocol::kMouseClicked})
        tray->HandleMessage({Msg(name), 65, 0, 0});
    EXPECT_TRUE(tray->Enabled());
    EXPECT_EQ(tray->Counters().totalHits, 0u);
    EXPECT_EQ(tray->Counters().mouseClicks, 0u);
}

TEST_F(TrayMain, CloseSavesAndEnds) {
    StartMeasuring();
    Type(" alpha bravo ", 250);
    tray->HandleMessage({ipc::kWmClose, 0, 0, 0});
    EXPECT_TRUE(shell.quit);
    EXPECT_TRUE(tray->Ending());
    EXPECT_EQ(UserValue("Anna", "totalHits"), "13");
    EXPECT_FALSE(ipc::NamedMutex::IsHeld(meterprotocol::kMeterMutex));
}

TEST_F(TrayMain, AFailedTutorStartClearsTheHandOver) {
    StartMeasuring();
    EXPECT_EQ(tray->Corv2001Launch(1), -1);  // no tutor beside the meter
    EXPECT_TRUE(ui.ShowedString(1287));
    EXPECT_EQ(WorkstationValue("HollinLogon." + Login()), "");
    EXPECT_FALSE(tray->Enabled());
    EXPECT_EQ(tray->PreviousUser(), "Anna");

    corv::test::WriteFile(base + "program/corvella", "#!/bin/sh\n");
    tray->EnableNow(tray->PreviousUser());
    ASSERT_TRUE(tray->Enabled());
    EXPECT_EQ(tray->Corv2001Launch(1), 0);
    ASSERT_EQ(ui.runs.size(), 1u);
    EXPECT_EQ(ui.runs[0].parameters, "/VANTOR");
    EXPECT_EQ(WorkstationValue("HollinLogon." + Login()), "Anna");
    EXPECT_FALSE(tray->Enabled());
}

TEST_F(TrayMain, TheApplicationsFileIsMadeWithTheUserAndKeepsWhatItSays) {
    StartMeasuring();
    ASSERT_NE(MonitoredApps(), nullptr);
    EXPECT_TRUE(MonitoredApps()->Excludes("PINENTRY-QT"));
    EXPECT_TRUE(MonitoredApps()->Excludes("CALC.EXE"));
    EXPECT_FALSE(MonitoredApps()->Excludes("XTERM"));
    tray.reset();
    const std::string set = corv::test::ReadFile(Db() + "Anna.SET");
    EXPECT_EQ(set.size() % TAppSettings::kRecordSize, 0u);

    // A damaged file: the size is reported, the whole records are kept.
    corv::test::WriteFile(Db() + "Bert.SET", set.substr(0, 1000));
    TSpyedApps apps;
    ASSERT_TRUE(apps.LoadApps(Db() + "Bert.SET"));
    EXPECT_EQ(apps.Entries().size(), 1u);
    EXPECT_EQ(apps.Entries()[0]->executable, "KERNEL32.DLL");
    EXPECT_FALSE(apps.Entries()[0]->Included());
    EXPECT_TRUE(apps.Entries()[0]->hidden);
    EXPECT_EQ(ui.LastText(), "Fatal Error: SpyApps file size invalid");
}

TEST_F(TrayMain, ARemovedProductEndsTheMeter) {
    WritePolicy("Quillon.Hide=1\r\n");
    SetLoginKey("UseSelectedUser", "1");
    SetLoginKey("SelectedUser", "Anna");
    EXPECT_FALSE(StartMeter());
    EXPECT_TRUE(shell.quit);
    EXPECT_FALSE(tray->Enabled());
}

}  // namespace
}  // namespace corv::meter::test
