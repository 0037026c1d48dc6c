// Goals of timed events on the main window: set-up from the line, the course and the
// user's level; the goal dialog with its level list; the goal bar while typing; the
// early-goal note at most once; and the verdict that replaces the finish message.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextUtil.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "engine/TextEvents.h"
#include "engine/tests/EngineTestSupport.h"
#include "platform/qt/QtText.h"
#include "views/BookForm.h"

namespace corv {
namespace {

using enginetest::EventTest;

class GoalEvent : public EventTest {
  protected:
    GoalEvent() {
        std::filesystem::create_directories(root / "Database");
        test::WriteFile(root / "0.grp", "Name=Everybody\r\n");
        Install({});
        course.identifier = "BASICS";
        course.dynamicDurationMargin = 2;
        course.accuracyGoals = {90, 94, 97};
        SetLoadedCourse(&course);
        CurrentUser()->SetInteger("BASICS.GoalLevel", 2);
    }
    ~GoalEvent() override {
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
    }
    void Install(const std::vector<std::string>& policy) {
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        SetPolicy(policy);
        SetProgramSettings(TProgramSettings::Create(root.path()));
        SetCurrentUser(TUser::Create("Tess"));
        ASSERT_TRUE(CurrentUser());
    }

    // Each key through the main window's key hook, the clock moving ms before it.
    void Keys(const std::string& text, int ms = 300) {
        h.Do(
            [this, text, ms] {
                for (char c : text) {
                    clock.Advance(ms);
                    const QString s = ToQt(std::string(1, c));
                    const int key = c == ' '    ? int(Qt::Key_Space)
                                    : c == '\r' ? int(Qt::Key_Return)
                                                : int(s.at(0).toUpper().unicode());
                    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, s);
                    QCoreApplication::sendEvent(h.Window().KeyReceiver(), &press);
                }
                QApplication::processEvents();
            },
            "keys");
    }
    int Run(TTimedEvent& event) {
        return h.Run([&event] { return event.Execute(); });
    }
    std::string Text(QLabel* l) { return FromQt(l->text()); }

    CourseFacts course;
};

// A line with goals: offset 2, minimum 40, final 80, start 50, mid 60 (characters per
// minute), objective 2.
const char kGoalLine[] = "Event=TEXT;2;%s;-;-;-;-;-;-;2;40;80;50;60;2";

std::string GoalLine(const std::string& text) {
    std::string line = kGoalLine;
    line.replace(line.find("%s"), 2, text);
    return line;
}

TEST_F(GoalEvent, GoalsComeFromTheLineTheCourseAndTheUsersLevel) {
    course.exerciseFields = [](int c,
                               int e) -> std::optional<std::vector<std::vector<std::string>>> {
        if (c != 1 || e != 2) return std::nullopt;
        return std::vector<std::vector<std::string>>{
            SplitEventLine("Event=TEXT;2;x;-;-;-;-;-;-;1;55;95;65;75")};
    };
    struct Case {
        const char* what;
        std::string line;
        int level;
        std::vector<int> levels;
        bool active;
        int goal, next, min, objective;
    };
    const Case cases[] = {
        {"14 fields: no goals",
         "Event=TEXT;2;x;-;-;-;-;-;-;2;40;80;50",
         2,
         {90, 94, 97},
         false,
         0,
         0,
         0,
         0},
        {"15 fields: goals, no objective",
         "Event=TEXT;2;x;-;-;-;-;-;-;2;40;80;50;60",
         2,
         {90, 94, 97},
         true,
         96,
         97,
         40,
         0},
        {"16 fields: an objective", GoalLine("x"), 1, {90, 94, 97}, true, 92, 94, 40, 2},
        {"top level", GoalLine("x"), 3, {90, 94, 97}, true, 99, 100, 40, 2},
        {"a reference to chapter 1, exercise 2",
         "Event=TEXT;2;x;-;-;-;-;-;-;1.2;1.2;80;50;60",
         2,
         {90, 94, 97},
         true,
         95,
         97,
         55,
         0},
        {"no level chosen", GoalLine("x"), 0, {90, 94, 97}, false, 0, 0, 40, 2},
        {"a level past the course's list", GoalLine("x"), 4, {90, 94, 97}, false, 0, 0, 40, 2},
        {"a course without levels", GoalLine("x"), 2, {}, false, 0, 0, 40, 2},
        {"all speed goals 0",
         "Event=TEXT;2;x;-;-;-;-;-;-;2;0;0;0;0",
         2,
         {90, 94, 97},
         false,
         0,
         0,
         0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        course.accuracyGoals = c.levels;
        CurrentUser()->SetInteger("BASICS.GoalLevel", c.level);
        TTextEvent event(c.line);
        EXPECT_EQ(event.GoalsActive, c.active);
        EXPECT_EQ(event.AccuracyGoal, c.goal);
        EXPECT_EQ(event.NextLevelAccuracy, c.next);
        EXPECT_EQ(event.MinSpeedGoal, c.min);
        EXPECT_EQ(event.ObjectiveTextId, c.objective);
        EXPECT_EQ(event.GoalNotifyMargin, 10);
    }
    SetLoadedCourse(nullptr);
    TTextEvent alone(GoalLine("x"));
    EXPECT_FALSE(alone.GoalsActive) << "no course, no goals";
}

TEST_F(GoalEvent, TheGoalDialogShowsTheGoalsAndItsListChangesTheLevel) {
    for (const char* key : {"GoalTipCount", "GoalFailCount", "GoalExceedCount"})
        CurrentUser()->SetInteger(std::string("BASICS.Feedback.") + key, 4);
    CurrentUser()->SetText("BASICS.Feedback.GoalTipID", "5");
    TTextEvent event(GoalLine("one two three four"));
    event.TimeLimit = 300;
    event.DynamicDuration = true;
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("ViewGoalMsg"));
        EXPECT_EQ(h.TextOf("ViewGoalTitle2"), Str(1789));
        EXPECT_EQ(h.TextOf("ViewGoalObjective"), Str(1621));
        EXPECT_EQ(h.TextOf("ViewGoalDuration"),
                  "5 - 7" + Str(1610).substr(Str(1610).find("%s") + 2));
        EXPECT_TRUE(h.IsShown("OptimizedPic"));
        QListWidget* list = event.Storage->AccuracyGoalList;
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(FromQt(list->item(0)->text()), "97% " + Str(1603));
        EXPECT_EQ(FromQt(list->item(1)->text()), "94% " + Str(1602));
        EXPECT_EQ(FromQt(list->item(2)->text()), "90% " + Str(1601));
        EXPECT_EQ(list->currentRow(), 1) << "level 2";
        EXPECT_TRUE(h.IsShown("GoalPanel")) << "goals with time extension";
    });
    h.Screenshot("goal-dialog");
    h.Do([&] {
        QListWidget* list = event.Storage->AccuracyGoalList;
        list->setCurrentRow(0);
        emit list->itemClicked(list->item(0));
        TUser& user = *CurrentUser();
        EXPECT_EQ(user.GetInteger("BASICS.GoalLevel"), 3);
        EXPECT_EQ(user.GetText("BASICS.Feedback.GoalTipID"), "");
        for (const char* key : {"GoalTipCount", "GoalFailCount", "GoalExceedCount"})
            EXPECT_EQ(user.GetInteger(std::string("BASICS.Feedback.") + key), 0) << key;
        EXPECT_EQ(event.GoalLevel, 3);
        EXPECT_EQ(event.AccuracyGoal, 99) << "97 and the offset 2, at once";
        EXPECT_EQ(event.NextLevelAccuracy, 100);
    });
    // Next only closes the dialog; a typed key is swallowed and pauses; Space closes it.
    h.Click("NextEventBtn");
    h.Do([&] { EXPECT_FALSE(h.IsShown("ViewGoalMsg")); });
    h.Do([&] { event.Storage->ViewGoalMsg->show(); });
    Keys("x");
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("ViewGoalMsg"));
        EXPECT_TRUE(event.TypingBox->TypedWord().empty());
        EXPECT_EQ(event.EventState, kEventPaused);
    });
    Keys(" ");
    h.Do([&] { EXPECT_FALSE(h.IsShown("ViewGoalMsg")); });
    Keys("one two");
    h.Do([&] {
        EXPECT_EQ(event.EventState, kEventRunning);
        EXPECT_EQ(event.TypingBox->TypedWord(), "two");
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);

    // Without extension: the plain duration, no picture and no goal bar.
    TTextEvent plain(GoalLine("one two"));
    plain.TimeLimit = 300;
    h.Do([&] {
        EXPECT_EQ(h.TextOf("ViewGoalDuration"), "5 " + Str(1368));
        EXPECT_FALSE(h.IsShown("OptimizedPic"));
        EXPECT_FALSE(h.IsShown("GoalPanel"));
    });
    h.Click("GoalBeginBtn");
    h.Do([&] { EXPECT_FALSE(h.IsShown("ViewGoalMsg")); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(plain), 2);

    // A course with two levels lists only those; an exam with goal fields has no goals.
    course.accuracyGoals = {85, 92};
    CurrentUser()->SetInteger("BASICS.GoalLevel", 2);
    TTextEvent two(GoalLine("one two"));
    h.Do([&] {
        QListWidget* list = two.Storage->AccuracyGoalList;
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(FromQt(list->item(0)->text()), "92% " + Str(1602));
        EXPECT_EQ(list->currentRow(), 0);
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(two), 2);
    TExamEvent2 exam(GoalLine("one two"));
    exam.TimeLimit = 300;
    exam.DynamicDuration = true;
    EXPECT_TRUE(exam.GoalsActive);
    h.Do([&] {
        EXPECT_FALSE(exam.GoalsActive);
        EXPECT_FALSE(h.IsShown("ViewGoalMsg"));
        EXPECT_FALSE(h.IsShown("GoalPanel"));
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(exam), 2);
}

// 30 words of 5 letters and a space: 180 keys, 54 s at 300 ms a key.
std::string Words(int n) {
    const char* words[] = {"river", "stone", "maple", "quiet", "amber", "lamps"};
    std::string text;
    for (int i = 0; i < n; ++i) text += std::string(words[i % 6]) + " ";
    return text;
}

TEST_F(GoalEvent, TheGoalIsReachedEarlyOnceAndTheVerdictEndsTheEvent) {
    // One minute extended by two; at 300 ms a key the speed is 200 a minute, far above
    // every goal, so the goal is full as soon as the base minute is typed.
    const std::string text = Words(60);
    TResultItem result;
    TTextEvent event(GoalLine(TrimBlanks(text)));
    event.TimeLimit = 60;
    event.DynamicDuration = true;
    event.ResultItem = &result;
    Keys(" ");  // closes the goal dialog
    Keys(text.substr(0, 60));
    h.Do([&] {
        EXPECT_GT(event.GoalProgress, 0);
        EXPECT_LT(event.GoalProgress, 50);
        EXPECT_EQ(event.Storage->ProgressBarFullPic->width(), event.GoalProgress / 10 * 15);
        EXPECT_FALSE(h.IsShown("GoalStatusMsg"));
    });
    h.Screenshot("goal-bar");
    Keys(text.substr(60, 144));  // the first word ended after 60 s typed
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("GoalStatusMsg")) << event.GoalProgress;
        EXPECT_EQ(event.GoalProgress, 100);
        EXPECT_EQ(event.Storage->ProgressBarFullPic->width(), 150);
        EXPECT_EQ(event.EventState, kEventPaused);
        EXPECT_TRUE(event.DoNotInterruptGoals);
        EXPECT_TRUE(result.Completed) << "the goal counts as done";
        EXPECT_EQ(h.TextOf("GoalStatusTitle"), Str(1611));
        EXPECT_TRUE(h.IsShown("GoalStatus_ContinueBtn"));
        EXPECT_TRUE(h.IsShown("GoalStatus_Disable"));
        EXPECT_EQ(event.TypingBox->TypedWord(), "quiet") << "the Space was taken";
    });
    h.Screenshot("early-goal");
    Keys("x");  // swallowed by the note
    h.Do([&] { EXPECT_EQ(event.TypingBox->TypedWord(), "quiet"); });
    Keys(" ");  // continues, and ends the word
    h.Do([&] {
        EXPECT_FALSE(h.IsShown("GoalStatusMsg"));
        EXPECT_EQ(event.TypingBox->TypedWord(), "");
        EXPECT_FALSE(CurrentUser()->GetBool("DoNotInterruptGoals"));
    });
    Keys(text.substr(204));  // to the end: never a second note
    h.Do([&] {
        EXPECT_EQ(event.EventState, kEventFinished);
        EXPECT_TRUE(h.IsShown("GoalStatusMsg"));
        EXPECT_FALSE(h.IsShown("EventMsg")) << "the verdict replaces the finish message";
        EXPECT_EQ(h.TextOf("GoalStatusTitle"), Str(1869));
        EXPECT_EQ(h.TextOf("GoalStatusText"), Str(1870));
        EXPECT_TRUE(h.IsShown("ExerciseCompletedPic"));
        EXPECT_FALSE(h.IsShown("GoalStatus_ContinueBtn"));
        EXPECT_EQ(h.TextOf("GoalStatus_ResultsBtn"), Str(1885));
        event.Storage->GoalStatus_Disable->setChecked(true);
    });
    h.Screenshot("goal-status");
    Keys(" ");  // a finished event swallows Space
    h.Do([&] { EXPECT_TRUE(h.IsShown("GoalStatusMsg")); });
    Keys("\r");
    EXPECT_EQ(Run(event), 3) << "Enter is the results button";
    EXPECT_TRUE(CurrentUser()->GetBool("DoNotInterruptGoals"));
}

TEST_F(GoalEvent, NoEarlyNoteNearTheEndOrWhenTheUserSaidSo) {
    struct Case {
        const char* what;
        std::vector<std::string> policy;
        bool doNotInterrupt;
    };
    const Case cases[] = {
        {"within the margin", {"GoalNotifyMargin=150"}, false},
        {"the user's wish", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Install(c.policy);
        CurrentUser()->SetInteger("BASICS.GoalLevel", 2);
        CurrentUser()->SetBool("DoNotInterruptGoals", c.doNotInterrupt);
        const std::string text = Words(40);
        TTextEvent event(GoalLine(TrimBlanks(text)));
        event.TimeLimit = 60;
        event.DynamicDuration = true;
        Keys(" ");
        Keys(text.substr(0, 228));
        h.Do([&] {
            EXPECT_EQ(event.GoalProgress, 100);
            EXPECT_FALSE(h.IsShown("GoalStatusMsg"));
            EXPECT_EQ(event.EventState, kEventRunning);
        });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(Run(event), 2);
    }
}

TEST_F(GoalEvent, TheVerdictNamesTheGoalThatWasMissed) {
    struct Case {
        const char* what;
        std::string typed;
        int ms;
        int title, text;
        bool picture;
    };
    const std::string text = Words(6);
    const Case cases[] = {
        {"both goals", text, 300, 1869, 1870, true},
        {"too slow", text, 1600, 1869, 1872, true},
        {"inaccurate", "rivxr stxne mapxe quiet ambxr lamps ", 300, 1873, 1874, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TTextEvent event(GoalLine(TrimBlanks(text)));
        Keys(" ");
        Keys(c.typed, c.ms);
        h.Do([&] {
            EXPECT_EQ(event.EventState, kEventFinished);
            EXPECT_EQ(h.TextOf("GoalStatusTitle"), Str(c.title));
            EXPECT_EQ(h.TextOf("GoalStatusText"), Str(c.text));
            EXPECT_EQ(h.IsShown("ExerciseCompletedPic"), c.picture);
        });
        if (!c.picture) h.Screenshot("accuracy-missed");
        h.Click("GoalStatus_ResultsBtn");
        EXPECT_EQ(Run(event), 3);
    }
}

}  // namespace
}  // namespace corv
