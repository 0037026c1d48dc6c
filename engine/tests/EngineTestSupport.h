#pragma once
// Fixture for event tests: main window and scripted message boxes, a tick clock moved by hand,
// a lessons folder, the policy, and a recorder for sounds and opened addresses.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/UserInterface.h"
#include "engine/EventServices.h"
#include "engine/analysis/AnalysisClock.h"
#include "testsupport/TempDir.h"
#include "views/testkit/ViewHarness.h"

namespace corv::enginetest {

// The tick clock of the typing analysis and the events, moved by hand.
class FakeClock : public ITickClock {
  public:
    int64_t Ticks() override { return tick; }
    void Advance(int64_t ms) { tick += ms; }
    int64_t tick = 100000;
};

class ShellAndSounds : public ui::ShellUi, public ui::SoundUi {
  public:
    ShellAndSounds();
    ~ShellAndSounds() override;
    bool OpenAddress(const std::string& address) override;
    bool Run(const std::string&, const std::string&, const std::string&) override { return true; }
    void EndProgram(int) override {}
    ui::SoundResult Play(const std::string& path) override;

    std::vector<std::string> opened;
    std::vector<std::string> played;
    bool openResult = true;
};

class EventTest : public ::testing::Test {
  protected:
    EventTest();
    ~EventTest() override;

    // Writes Policy.dyn (name=value lines) into the root folder and opens it.
    void SetPolicy(const std::vector<std::string>& lines);
    // A file in the lessons folder (bytes as given).
    std::string WriteLesson(const std::string& name, const std::string& bytes);
    // A picture file (format by the extension: bmp, jpg, png) in the lessons folder.
    std::string WritePicture(const std::string& name, int width, int height);
    // A small animated GIF (two frames) in the lessons folder.
    std::string WriteAnimatedGif(const std::string& name);

    test::TempDir root;
    std::string lessons;
    FakeClock clock;
    ShellAndSounds shell;
    viewtest::ViewHarness h;
};

}  // namespace corv::enginetest
