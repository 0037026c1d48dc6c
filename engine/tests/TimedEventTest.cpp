// Timing of events on a clock moved by hand: limits, extension, pause, finish, close rules.

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "core/DateTime.h"
#include "core/Localize.h"
#include "engine/Event.h"
#include "engine/tests/EngineTestSupport.h"
#include "platform/qt/QtText.h"

namespace corv {
namespace {

using enginetest::EventTest;

class TimedEvent : public EventTest {
  protected:
    int Execute(TTimedEvent& event) {
        return h.Run([&event] { return event.Execute(); });
    }
    std::string Label(QLabel* label) { return FromQt(label->text()); }
};

TEST_F(TimedEvent, TimeExtensionAddsTheCourseMargin) {
    CourseFacts course;
    course.identifier = "BASICS";
    course.dynamicDurationMargin = 2;
    SetLoadedCourse(&course);
    struct Case {
        bool dynamic;
        int limit, base, extension;
        const char* duration;
    };
    for (const Case& c : {Case{true, 420, 300, 120, "5 - 7"}, Case{false, 300, 300, 0, "5"}}) {
        TTimedEvent event("Event=TEXT;5;Some text");
        event.TimeLimit = 300;
        event.DynamicDuration = c.dynamic;
        h.Do([&] {
            EXPECT_EQ(event.TimeLimit, c.limit);
            EXPECT_EQ(event.BaseTimeLimit, c.base);
            EXPECT_EQ(event.ExtensionSeconds, c.extension);
            EXPECT_EQ(event.DurationText, c.duration);
            EXPECT_EQ(event.Storage->TimeGraph->isHidden(), c.dynamic) << "no gauge with extension";
            EXPECT_EQ(Label(event.Storage->TimeLabel), c.dynamic ? "07:00" : "05:00");
        });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(Execute(event), 2);
    }
}

TEST_F(TimedEvent, WithoutALimitTheProgressShowsAndTimeNeverEndsIt) {
    for (int limit : {0, -30}) {  // a negative limit is no limit as well
        SCOPED_TRACE(limit);
        TTimedEvent event("Event=TEXT;0;Some text");
        event.TimeLimit = limit;
        h.Do([&] {
            EXPECT_EQ(event.EventState, kEventReady) << "not finished by the first tick";
            EXPECT_EQ(Label(event.Storage->TimeLbl), Str(247));
            EXPECT_EQ(Label(event.Storage->TimeLabel), "0 %");
            event.Start();
            EXPECT_FALSE(h.IsShown("PauseBtn"));
            event.ShowProgress(40);
            EXPECT_EQ(Label(event.Storage->TimeLabel), "40 %");
            EXPECT_EQ(event.Storage->TimeGraph->value(), 40);
            clock.Advance(3600 * 1000);
            event.Tick();
            EXPECT_EQ(event.EventState, kEventRunning);
        });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(Execute(event), 2);
        EXPECT_EQ(event.TimeLimit, 0);
    }
}

TEST_F(TimedEvent, PassingTheLimitFinishesAtTheNextTickShowingZero) {
    TResultItem record;
    TTimedEvent event("Event=TEXT;1;Some text");
    event.TimeLimit = 60;
    event.ResultItem = &record;
    h.Do([&] {
        EXPECT_EQ(Label(event.Storage->TimeLabel), "01:00");
        event.Start();
        EXPECT_TRUE(event.TickTimer->isActive());
        EXPECT_TRUE(h.IsShown("PauseBtn"));
        clock.Advance(59400);
        event.Tick();
        EXPECT_EQ(Label(event.Storage->TimeLabel), "00:01");
        EXPECT_EQ(event.EventState, kEventRunning);
        clock.Advance(1700);  // 61.1 s typed: past the limit between two ticks
        event.Tick();
        EXPECT_EQ(Label(event.Storage->TimeLabel), "00:00");
        EXPECT_EQ(event.EventState, kEventFinished);
        EXPECT_FALSE(event.TickTimer->isActive());
        EXPECT_TRUE(event.EnterAccepts);
        EXPECT_TRUE(h.IsShown("EventMsg"));
        EXPECT_FALSE(h.IsShown("PauseBtn"));
        EXPECT_EQ(event.FinishTick, clock.tick);
    });
    h.Screenshot("finished");
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Execute(event), 1);
    ASSERT_FALSE(shell.played.empty());
    EXPECT_NE(shell.played.back().find("Theend.wav"), std::string::npos);
    EXPECT_TRUE(record.Completed);
    EXPECT_EQ(record.Kind, "TIME");
    EXPECT_EQ(record.TypingSeconds, 61);
    EXPECT_EQ(record.TimeLimit, 60);
    EXPECT_EQ(record.ElapsedSeconds, 61);
    EXPECT_NEAR(record.StartTime, NowDateTime(), 60.0 / 86400);
}

TEST_F(TimedEvent, PauseButtonAndAutoPause) {
    TTimedEvent event("Event=TEXT;2;Some text");
    event.TimeLimit = 120;
    h.Do([&] {
        event.Start();
        clock.Advance(10000);
        event.Tick();
        EXPECT_EQ(Label(event.Storage->TimeLabel), "01:50");
    });
    h.Click("PauseBtn");
    h.Do([&] {
        EXPECT_EQ(event.EventState, kEventPaused);
        EXPECT_EQ(Label(event.Storage->TimeLbl), Str(130) + Str(1693));
        EXPECT_FALSE(event.TickTimer->isActive());
        clock.Advance(30000);  // paused time does not count
        event.Start();
        event.AutoPauseSeconds = 5;
        event.LastKeyTick = clock.tick;
        clock.Advance(4400);
        event.Tick();
        EXPECT_EQ(event.EventState, kEventRunning);
        EXPECT_EQ(Label(event.Storage->TimeLabel), "01:46");
        clock.Advance(500);
        event.Tick();
        EXPECT_EQ(event.EventState, kEventRunning) << "4.9 s without a key";
        clock.Advance(100);
        event.Tick();
        EXPECT_EQ(event.EventState, kEventPaused);
        EXPECT_EQ(Label(event.Storage->TimeLbl), Str(130) + Str(1693));
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Execute(event), 2);
}

TEST_F(TimedEvent, NoPauseButtonInTestsAndExams) {
    for (const char* kind : {"TEST", "FINALTEST", "EXAM", "EXAM2", "TEXT"}) {
        TTimedEvent event("Event=TEXT;2;Some text");
        event.TimeLimit = 120;
        event.ResultKind = kind;
        h.Do([&] {
            event.Start();
            EXPECT_EQ(h.IsShown("PauseBtn"), std::string(kind) == "TEXT") << kind;
        });
        h.Key(Qt::Key_Escape);
        Execute(event);
    }
}

TEST_F(TimedEvent, CloseResultsWithAndWithoutTheLock) {
    struct Case {
        const char* what;
        std::vector<std::string> policy;
        std::string courseId;
        bool finish;
        const char* button;
        std::vector<int> answers;  // to the "really stop?" question, in order
        int result;
    };
    const Case cases[] = {
        {"no lock, Next unfinished", {}, "", false, "NextEventBtn", {}, 3},
        {"no lock, Cancel unfinished", {}, "", false, "CancelEventBtn", {}, 2},
        {"no lock, Cancel finished", {}, "", true, "CancelEventBtn", {}, 4},
        {"lock, Next finished", {"Exercise_Lock=1"}, "", true, "NextEventBtn", {}, 3},
        {"lock, Next unfinished",
         {"Exercise_Lock=1"},
         "",
         false,
         "NextEventBtn",
         {ui::kAnswerYes},
         2},
        {"lock, Cancel unfinished, No then Yes",
         {"Exercise_Lock=1"},
         "",
         false,
         "CancelEventBtn",
         {ui::kAnswerNo, ui::kAnswerYes},
         2},
        {"course lock, Cancel finished",
         {"BASICS.Exercise_Lock=Y"},
         "BASICS",
         true,
         "CancelEventBtn",
         {ui::kAnswerYes},
         4},
        {"other course's lock", {"OTHER.Exercise_Lock=1"}, "BASICS", false, "NextEventBtn", {}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetPolicy(c.policy);
        TTimedEvent event("Event=TEXT;2;Some text");
        event.TimeLimit = 120;
        event.CourseId = c.courseId;
        h.Do([&] {
            event.Start();
            if (c.finish) event.Finish();
        });
        for (size_t i = 0; i < c.answers.size(); ++i) {
            h.messages.Expect(c.answers[i], 129);
            h.Click(c.button);
            if (c.answers[i] == ui::kAnswerNo)
                h.Do([&] {
                    EXPECT_TRUE(event.Visible()) << "No keeps the event";
                    EXPECT_EQ(event.EventState, kEventRunning) << "and it runs on";
                });
        }
        if (c.answers.empty()) h.Click(c.button);
        EXPECT_EQ(Execute(event), c.result);
    }
}

TEST_F(TimedEvent, ClosedFromOutsideAnswersZeroWithoutAsking) {
    SetPolicy({"Exercise_Lock=1"});
    TTimedEvent event("Event=TEXT;2;Some text");
    event.TimeLimit = 120;
    h.Do([&] { event.Start(); });
    h.Click("CloseBtn2");
    EXPECT_EQ(Execute(event), 0);
    EXPECT_TRUE(ExitRequested());
    EXPECT_EQ(event.EventState, kEventPaused);
}

TEST_F(TimedEvent, ElapsedSecondsRoundHalvesToEven) {
    for (auto [ms, seconds] : {std::pair{2500, 2}, {3500, 4}, {2501, 3}, {400, 0}}) {
        SCOPED_TRACE(ms);
        TResultItem record;
        TTimedEvent event("Event=TEXT;0;Some text");
        event.ResultItem = &record;
        h.Do([&] { clock.Advance(ms); });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(Execute(event), 2);
        EXPECT_EQ(record.ElapsedSeconds, seconds);
    }
}

}  // namespace
}  // namespace corv
