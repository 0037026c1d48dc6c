#pragma once
// A meter on a small installation of its own, fed by the scripted hook, with the tick
// clock and the wall clock in the test's hands.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/analysis/AnalysisClock.h"
#include "meter/MeterShell.h"
#include "meter/TrayMain.h"
#include "meter/hooks/ScriptedInput.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv::meter::test {

class ManualClock : public ITickClock {
  public:
    int64_t Ticks() override { return ms; }
    int64_t ms = 1000;
};

class MeterFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Workstation keys for this log-in ("SelectedUser" becomes "SelectedUser.<login>").
    void SetLoginKey(const std::string& key, const std::string& value);
    void WritePolicy(const std::string& extraLines);
    // Creates and starts the meter; false when it ended at once.
    bool StartMeter(std::vector<std::string> args = {});
    // The usual start: "Anna" selected, the meter measuring.
    void StartMeasuring(const std::string& user = "Anna");

    // Each key is taken in by the meter as it comes, the clocks moving with it.
    void Type(const std::string& text, uint32_t msPerKey = 200);
    void Key(const char* keysym, std::initializer_list<const char*> held = {});
    void Click(int button);
    void Wait(uint32_t ms);
    // Moves the wall clock (days) and the tick clock together.
    void AdvanceDays(double days);
    void Take();

    // A stored value of the user's settings file, the workstation file, read from disk.
    std::string UserValue(const std::string& user, const std::string& key);
    std::string WorkstationValue(const std::string& key);
    std::string Db() const { return base + "db/"; }
    std::string Login() const;

    corv::test::TempDir dir;
    std::string base;
    ManualClock clock;
    double wall = 46000.4;  // a Wednesday morning (2025-12-10 09:36)
    testsupport::RecordingUi ui;
    const char* layout = "us";  // a fixture's constructor may choose another
    std::unique_ptr<TScriptedDesktop> desktop;
    std::unique_ptr<TScriptedHook> hook;
    TConsoleShell shell;
    std::unique_ptr<TTrayMain> tray;
    char cwd[4096] = {};
};

}  // namespace corv::meter::test
