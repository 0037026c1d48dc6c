#pragma once
// An installation for the studying views: the shipped language, layouts and lessons in a
// temporary root, a logged-in user, the real event classes and lesson views, a clock moved
// by hand, and the main window with its section menu.

#include <gtest/gtest.h>

#include <string>

#include "engine/analysis/AnalysisClock.h"
#include "testsupport/TempDir.h"
#include "views/testkit/ViewHarness.h"

namespace corv::studytest {

class ManualClock : public ITickClock {
  public:
    int64_t Ticks() override { return tick; }
    int64_t tick = 1000000;
};

class Studying : public ::testing::Test {
  protected:
    Studying();
    ~Studying() override;

    // Policy lines (name=value) beside the shipped "DefaultContents".
    void SetPolicy(const std::vector<std::string>& lines);
    // A course file (lines with "\n") in the lessons folder.
    void Lesson(const std::string& name, const std::string& text);
    // Types the text through the main window's key hook, the clock moving between keys.
    void Type(const std::string& text, int msPerKey = 250);
    // Queued after an action that ends a view: an action the harness hands to a view that is
    // just closing runs while the next view is being shown, where its answer is lost, so a
    // harmless one takes that place.
    void Settle() {
        h.Do([] {}, "settle");
    }
    // The user's settings file as saved.
    std::string UserFile() const;

    test::TempDir dir;
    std::string root;
    ManualClock clock;
    viewtest::ViewHarness h;
};

}  // namespace corv::studytest
