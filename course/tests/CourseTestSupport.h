#pragma once
// An installation for course tests: root with policy, layouts, a lessons folder and a
// logged-in user; scripted lesson pages and fake event classes.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "course/CourseServices.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv::coursetest {

// "\n" becomes CR LF, as course files store it.
std::string Crlf(const std::string& text);

// What a fake event does when it runs.
struct FakeOutcome {
    int closeResult = 1;
    std::string kind = "TEXT";
    bool valid = true;
    bool completed = true;
    bool passed = true;
    int typingSeconds = 60;
    int elapsedSeconds = 70;
};

// Every run of a fake event, as the loader prepared it.
struct FakeRunRecord {
    std::string type;
    std::string line;
    TEventPrep prep;
    int chapter = 0;
    int exercise = 0;
    int event = 0;
};

class CourseInstallation : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file into the lessons folder (text with "\n" line ends).
    void WriteLesson(const std::string& name, const std::string& text);
    // Registers fake classes for these types; each run takes the next scripted outcome
    // (or the default one) and is recorded.
    void UseFakeEvents(const std::vector<std::string>& types);
    void Outcome(FakeOutcome outcome) { outcomes.push_back(outcome); }
    // Scripted lesson pages: each answers with the code and the chosen exercise (-1 keeps
    // the one the page started on).
    void Page(int answer, int exercise = -1) { pages.push_back({answer, exercise}); }
    // Scripted lesson-done pages.
    void Done(int answer) { doneAnswers.push_back(answer); }
    // The policy file's content (reloaded at once).
    void SetPolicy(const std::string& lines);

    test::TempDir dir;
    std::string root;
    std::string lessons;
    testsupport::RecordingUi ui;

    std::deque<FakeOutcome> outcomes;
    FakeOutcome defaultOutcome;
    std::vector<FakeRunRecord> runs;
    std::deque<std::pair<int, int>> pages;
    std::vector<LessonPageRequest> pagesShown;
    std::deque<int> doneAnswers;
    std::vector<LessonDoneRequest> donesShown;
};

}  // namespace corv::coursetest
