// Exercises and the event loader: which event lines an exercise takes, how its time is
// divided, how it runs from the bookmark, and what the loader stores after an event.

#include "core/Cp1252.h"
#include "core/Settings.h"
#include "course/Contents.h"
#include "course/EventLoader.h"
#include "course/Exercise.h"
#include "course/tests/CourseTestSupport.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"

namespace corv::coursetest {
namespace {

TEST(LoaderLine, Fields) {
    struct Case {
        std::string line;
        std::string key, type;
        int minutes;
        std::string field3;
    } cases[] = {
        {"Event=TEXT;5;FILE:a.txt", "EVENT", "TEXT", 5, "FILE:a.txt"},
        {"Event;text;5;FILE:a.txt", "EVENT", "TEXT", 5, "FILE:a.txt"},
        {"Event=TEXT;5;;FILE:a.txt", "EVENT", "TEXT", 5, "FILE:a.txt"},
        {"event_qwerty=exam2;x;FILE:b.txt", "EVENT_QWERTY", "EXAM2", 0, "FILE:b.txt"},
        {"Event=TEXT;-4;t", "EVENT", "TEXT", 0, "t"},  // never a negative duration
        {"Event=MESSAGE", "EVENT", "MESSAGE", 0, ""},
    };
    for (const Case& c : cases) {
        TEventLoader l(c.line);
        EXPECT_EQ(l.Key, c.key) << c.line;
        EXPECT_EQ(l.EventType, c.type) << c.line;
        EXPECT_EQ(l.Minutes, c.minutes) << c.line;
        EXPECT_EQ(l.Params.size() > 3 ? l.Params[3] : "", c.field3) << c.line;
        EXPECT_EQ(l.Line, c.line);
        EXPECT_EQ(l.Source, "BKM");
        EXPECT_TRUE(l.ShowCancel);
        EXPECT_FALSE(l.ShowMenu);
    }
}

TEST(LoaderLine, LongLinesAreCutAfter546Characters) {
    const std::string text(700, 'x');
    TEventLoader l("Event=TEXT;1;" + text);
    ASSERT_EQ(l.Params.size(), 4u);
    EXPECT_EQ(l.Params[3].size(), 546u - 13u);  // "Event;TEXT;1;" then up to character 546
    EXPECT_EQ(l.Line.size(), 713u);             // the event gets the whole line
}

TEST(LoaderLine, CodeLimitsAndViewAnswers) {
    const int limits[][2] = {{0, 0},     {4, 4},   {7, 7},     {8, 0},
                             {-1301, 0}, {599, 0}, {600, 600}, {1002, 1002}};
    for (auto& l : limits) EXPECT_EQ(TEventLoader::LimitCode(l[0]), l[1]) << l[0];
    const int answers[][2] = {{0, 0}, {1, 1}, {98, 5}, {97, 7}, {2, 4}, {3, 4}, {50, 4}};
    for (auto& a : answers) EXPECT_EQ(TEventLoader::MapViewAnswer(a[0]), a[1]) << a[0];
}

using Exercises = CourseInstallation;

TEST_F(Exercises, LayoutQualifiedEventsAreTakenOnlyForTheirLayout) {
    CurrentUser()->layoutRole = "alt";
    WriteLesson("q.cnt",
                "begin chapter\nbegin exercise\ntype=Mixed\n"
                "event=TEXT;1;always\n"
                "event_qwerty=TEXT;1;letters\n"
                "event_dvorak=TEXT;1;other letters\n"
                "event_00000409=TEXT;1;layout code\n"
                "event_ALT=TEXT;1;alternative\n"
                "event_pri=TEXT;1;primary\n"
                "end exercise\nend chapter\n");
    auto c = TContents::IndexOnly("q.cnt");
    TExercise& e = *c->ChapterAt(1)->Exercises[0];
    std::vector<std::string> texts;
    for (auto& ev : e.Events) texts.push_back(ev->Params[3]);
    std::vector<std::string> expected = {"always", "letters", "alternative"};
    if (ToLower(CurrentLayout()->layoutCode) == "00000409")
        expected.insert(expected.begin() + 2, "layout code");
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(e.Events[0]->Name, "Mixed");
    EXPECT_EQ(e.Events.back()->Index, static_cast<int>(expected.size()));
}

TEST_F(Exercises, EventOverflowWarnsFromThe19th) {
    std::string body = "begin chapter\nbegin exercise\n";
    for (int i = 0; i < 21; ++i) body += "event=TEXT;1;x\n";
    body += "end exercise\nend chapter\n";
    WriteLesson("many.cnt", body);
    auto c = TContents::IndexOnly("many.cnt");
    EXPECT_EQ(c->ChapterAt(1)->Exercises[0]->EventCount(), 21);
    int warnings = 0;
    for (auto& m : ui.messages) warnings += m.text == "Exercise object: overflow max 20 events";
    EXPECT_EQ(warnings, 3);
}

TEST_F(Exercises, DynamicShareFollowsTheEventsMinutes) {
    WriteLesson("dyn.cnt",
                "begin chapter\nbegin exercise\nevent=TEXT;1;a\nevent=TEXT;1;b\nevent=TEXT;2;c\n"
                "event=HTMLMESSAGE;0;page\nend exercise\nend chapter\n");
    auto c = TContents::IndexOnly("dyn.cnt");
    TExercise& e = *c->ChapterAt(1)->Exercises[0];
    e.SetDurations(10);
    EXPECT_EQ(e.TotalMinutes, 10);
    EXPECT_EQ(e.MinutesSum, 4);
    std::vector<int> seconds;
    for (auto& ev : e.Events) seconds.push_back(ev->Seconds);
    EXPECT_EQ(seconds, (std::vector<int>{150, 150, 300, 0}));
    e.SetDurations(-5);
    for (auto& ev : e.Events) EXPECT_EQ(ev->Seconds, 0);
}

// --- Running ---

class ExerciseRun : public CourseInstallation {
  protected:
    void SetUp() override {
        CourseInstallation::SetUp();
        UseFakeEvents({"TEXT", "HTMLMESSAGE", "EXAM2", "TEST", "BUBBLES"});
    }
    TExercise& Load(const std::string& events) {
        WriteLesson("run.cnt", "begin chapter\nbegin exercise\ntype=Drill\n" + events +
                                   "end exercise\nend chapter\n");
        course = TContents::ForStudy("run.cnt", 0, 10);
        course->Bookmark.Chapter = 1;
        course->Bookmark.Exercise = 1;
        course->Bookmark.Event = 1;
        return *course->ChapterAt(1)->Exercises[0];
    }
    std::unique_ptr<TContents> course;
};

TEST_F(ExerciseRun, CodesMoveTheBookmark) {
    struct Case {
        int closeResult;
        int code;
        int event;
    } cases[] = {
        {0, 0, 2},  // closed from outside: on to the next event, and stop
        {2, 2, 1},  // cancelled: stays
        {4, 4, 1},  // cancelled after finishing: stays
        {1, 1, 4},  // runs to the end
        {3, 1, 4},
    };
    for (const Case& c : cases) {
        TExercise& e = Load("event=TEXT;1;a\nevent=TEXT;1;b\nevent=TEXT;1;c\n");
        course->Bookmark.Event = 1;
        runs.clear();
        for (int i = 0; i < 3; ++i) {
            FakeOutcome o;
            o.closeResult = c.closeResult;
            Outcome(o);
        }
        bool completed = false;
        EXPECT_EQ(e.Run(completed), c.code) << c.closeResult;
        EXPECT_EQ(course->Bookmark.Event, c.event) << c.closeResult;
        EXPECT_EQ(completed, c.event == 4) << c.closeResult;
        outcomes.clear();
        CurrentUser()->keyProgression.clear();
    }
}

TEST_F(ExerciseRun, StartsAtTheBookmarksEvent) {
    TExercise& e = Load("event=HTMLMESSAGE;0;p1\nevent=HTMLMESSAGE;0;p2\nevent=TEXT;1;a\n");
    course->Bookmark.Event = 2;
    bool completed = false;
    e.Run(completed);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].event, 2);
    EXPECT_EQ(runs[0].prep.pageNumber, 2);
    EXPECT_EQ(runs[0].prep.pageCount, 2);
    EXPECT_EQ(runs[0].prep.courseId, "RUN");
    EXPECT_EQ(runs[1].prep.resultKind, "TEXT");
    course->Bookmark.Event = 9;
    EXPECT_EQ(e.Run(completed), -1301);
}

TEST_F(ExerciseRun, FreezesTransitionsWhileItRuns) {
    std::vector<bool> freezes;
    Hooks().freezeTransitions = [&](bool on) { freezes.push_back(on); };
    TExercise& e = Load("event=TEXT;1;a\n");
    bool completed = false;
    e.Run(completed);
    EXPECT_EQ(freezes, (std::vector<bool>{true, false}));
}

TEST_F(ExerciseRun, UnknownAndUnbuiltTypesGoOnAtOnce) {
    TExercise& e =
        Load("event=NOSUCH;1;a\nevent=FINALTEST;1;b\nevent=WORDTRIS;1;c\nevent=TEXT;1;d\n");
    bool completed = false;
    EXPECT_EQ(e.Run(completed), 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].type, "TEXT");
    EXPECT_EQ(course->Bookmark.Event, 5);
}

TEST_F(ExerciseRun, StoredResults) {
    struct Case {
        std::string line;
        FakeOutcome outcome;
        bool stored;
        bool checked;
        bool testCompleted;
    } cases[] = {
        {"event=TEXT;1;a", {1, "TEXT", true, true, true, 60, 70}, true, true, true},
        {"event=TEXT;1;a", {1, "TEXT", false, true, true, 6, 7}, true, false, true},  // too short
        {"event=TEXT;1;a",
         {0, "TEXT", true, false, true, 60, 70},
         true,
         false,
         true},  // closed unfinished
        {"event=TEXT;1;a",
         {0, "TEXT", true, true, true, 60, 70},
         true,
         true,
         true},  // closed finished
        {"event=EXAM2;1;a", {1, "TEST", true, true, true, 10, 12}, false, false, false},
        {"event=TEST;1;a", {1, "TEST", true, true, true, 10, 12}, false, false, false},
        {"event=TEST;1;a",
         {1, "TEST", true, true, false, 30, 32},
         true,
         false,
         true},  // failed the test
        {"event=TEST;1;a", {1, "TEST", true, true, true, 30, 32}, true, true, true},
    };
    for (const Case& c : cases) {
        SetTestCompleted(false);
        TUser& user = *CurrentUser();
        user.Results().Clear();
        TExercise& e = Load(c.line + "\n");
        Outcome(c.outcome);
        bool completed = false;
        e.Run(completed);
        EXPECT_EQ(user.Results().Count(), c.stored ? 1 : 0)
            << c.line << " " << c.outcome.typingSeconds;
        if (user.Results().Count()) {
            EXPECT_EQ(user.Results()[0].Checked, c.checked)
                << c.line << " " << c.outcome.typingSeconds;
        }
        EXPECT_EQ(completed, c.stored && c.checked);
        EXPECT_EQ(TestCompleted(), c.testCompleted) << c.line;
        CurrentUser()->keyProgression.clear();
    }
}

TEST_F(ExerciseRun, TheRecordNamesItsPlace) {
    TExercise& e = Load("event=TEXT;1;a\nevent=TEST;1;b\n");
    FakeOutcome test;
    test.kind = "TEST";
    Outcome({});
    Outcome(test);
    bool completed = false;
    e.Run(completed);
    TResults& results = CurrentUser()->Results();
    ASSERT_EQ(results.Count(), 1);  // the test result ranks above the text result
    EXPECT_EQ(results[0].Name, "Drill (1.1)");
    EXPECT_EQ(results[0].Source, "BKM");
    EXPECT_EQ(results[0].CourseId, "RUN");
    EXPECT_EQ(results[0].Chapter, 1);
    EXPECT_EQ(results[0].Exercise, 1);
    EXPECT_EQ(results[0].EventNumber, 2);
    EXPECT_EQ(results[0].CharsPerWord, CorvSettings::CharsPerWord());
    EXPECT_EQ(results[0].CumulativeSeconds, 140);
}

TEST_F(ExerciseRun, ResultViewsFollowTheKind) {
    std::vector<std::string> shown;
    Hooks().exerciseResult = [&](const TResultViewRequest& r) {
        shown.push_back("result " + r.record->Kind);
        return 98;
    };
    Hooks().topTen = [&](const TResultViewRequest& r) {
        shown.push_back("topten " + r.gameName + " " + r.playerName);
        return 1;
    };
    TExercise& e =
        Load("event=BUBBLES;1;a\nevent=HTMLMESSAGE;0;p\nevent=TEXT;1;b\nevent=TEXT;1;c\n");
    FakeOutcome game;
    game.kind = "GAME";
    FakeOutcome page;
    page.kind = "STD";
    page.closeResult = 3;
    Outcome(game);
    Outcome(page);
    bool completed = false;
    EXPECT_EQ(e.Run(completed), 5);  // the result view's 98 asks for the course contents
    EXPECT_EQ(shown, (std::vector<std::string>{"topten Bubbles Anna", "result TEXT"}));
    EXPECT_EQ(course->Bookmark.Event, 4);
}

TEST_F(ExerciseRun, NoResultViewInTheMetersShowMode) {
    bool shown = false;
    Hooks().exerciseResult = [&](const TResultViewRequest&) {
        shown = true;
        return 1;
    };
    TExercise& e = Load("event=TEXT;1;a\n");
    course->Bookmark.ResultShowMode = 1;
    bool completed = false;
    e.Run(completed);
    EXPECT_FALSE(shown);
}

TEST_F(ExerciseRun, InactiveBookmarkStoresNothing) {
    TExercise& e = Load("event=TEXT;1;a\n");
    course->Bookmark.Active = false;
    bool completed = false;
    EXPECT_EQ(e.Run(completed), 1);
    EXPECT_FALSE(completed);
    EXPECT_EQ(CurrentUser()->Results().Count(), 0);
    course->Bookmark.Active = true;
}

}  // namespace
}  // namespace corv::coursetest
