// The event classes behind the script types: every type the build claims has its class,
// and an exercise of a page and a text runs through the real events on the main window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <filesystem>

#include "core/Localize.h"
#include "core/Settings.h"
#include "course/Contents.h"
#include "course/CourseServices.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "engine/EventServices.h"
#include "engine/analysis/AnalysisClock.h"
#include "platform/qt/QtText.h"
#include "shell/EventClasses.h"
#include "testsupport/TempDir.h"
#include "views/BookForm.h"
#include "views/testkit/ViewHarness.h"

namespace corv {
namespace {

TEST(EventClasses, EveryTypeTheBuildClaimsHasItsClass) {
    ClearEventClasses();
    RegisterEventClasses();
    for (const EventTypeInfo& t : EventTypes())
        EXPECT_EQ(EventClassRegistered(t.type), t.builtHere) << t.type;
    ClearEventClasses();
}

class ManualClock : public ITickClock {
  public:
    int64_t Ticks() override { return tick; }
    int64_t tick = 500000;
};

class RealEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path() + "/";
        std::filesystem::create_directories(root + "Database");
        std::filesystem::create_directories(root + "lessons");
        test::WriteFile(root + "0.grp", "Name=Everybody\r\n");
        test::WriteFile(root + "Policy.dyn", "DisableWindowsLayouts=1\r\n");
        CorvSettings::CloseAll();
        ASSERT_TRUE(CorvSettings::OpenPolicy(root));
        SetProgramSettings(TProgramSettings::Create(root));
        SetCurrentUser(TUser::Create("Tess"));
        SetTickClock(&clock);
        Services() = EventServices();
        ClearEventClasses();
        Hooks() = CourseHooks();
        RegisterEventClasses();
    }
    void TearDown() override {
        ClearEventClasses();
        Hooks() = CourseHooks();
        Services() = EventServices();
        SetLoadedCourse(nullptr);
        SetTickClock(nullptr);
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
    }
    void Lesson(const std::string& name, const std::string& text) {
        test::WriteFile(root + "lessons/" + name, text);
    }

    void Keys(const std::string& text) {
        h.Do(
            [this, text] {
                for (char c : text) {
                    clock.tick += 400;
                    QString s = ToQt(std::string(1, c));
                    int key = c == ' '    ? int(Qt::Key_Space)
                              : c == '\r' ? int(Qt::Key_Return)
                                          : int(s.at(0).toUpper().unicode());
                    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, s);
                    QCoreApplication::sendEvent(h.Window().KeyReceiver(), &press);
                }
                QApplication::processEvents();
            },
            "keys");
    }

    test::TempDir dir;
    std::string root;
    ManualClock clock;
    viewtest::ViewHarness h;
};

TEST_F(RealEvents, APageAndATextRunAndTheResultIsStored) {
    Lesson("intro.htm", "<html><body><h1>Welcome</h1><p>Type the words.</p></body></html>\r\n");
    Lesson("words.txt", "one two three four five six seven eight\r\n");
    Lesson("c.cnt",
           "$description=Course\r\naccuracygoals=90,94,97\r\ndynamicdurationmargin=3\r\n"
           "begin chapter\r\nchapter name=1;First\r\nbegin exercise\r\ntype=Words\r\nduration=1\r\n"
           "event=HTMLMESSAGE;0;intro.htm;Welcome\r\nevent=TEXT;2;FILE:words.txt\r\nend "
           "exercise\r\nend chapter\r\n");
    auto course = TContents::ForStudy("c.cnt", 0, 10);
    ASSERT_EQ(course->ChapterCount(), 1);
    course->Bookmark.Chapter = 1;
    course->Bookmark.Exercise = 1;
    course->Bookmark.Event = 1;
    ASSERT_NE(LoadedCourse(), nullptr);
    EXPECT_EQ(LoadedCourse()->identifier, "C");
    EXPECT_EQ(LoadedCourse()->dynamicDurationMargin, 3);

    bool frozenDuringRun = false;
    h.Do([&] {
        EXPECT_EQ(h.TextOf("MessageTitleLbl"), "Welcome");
        frozenDuringRun = MainWindow()->FreezeTransitions;
    });
    h.Click("MessageNextBtn");
    Keys("one two three four five six seven eight ");
    h.Key(Qt::Key_Return);
    bool completed = false;
    TExercise& exercise = *course->ChapterAt(1)->Exercises[0];
    int code = h.Run([&] { return exercise.Run(completed); });
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(completed);
    EXPECT_TRUE(frozenDuringRun);
    EXPECT_FALSE(MainWindow()->FreezeTransitions);
    TResults& results = CurrentUser()->Results();
    ASSERT_EQ(results.Count(), 1);  // the text result outranks the page's
    EXPECT_EQ(results[0].Kind, "TEXT");
    EXPECT_EQ(results[0].Name, "Words");
    EXPECT_EQ(results[0].EventNumber, 2);
    EXPECT_TRUE(results[0].Checked);
    EXPECT_EQ(results[0].TimeLimit, 600);  // the whole 10 minutes: the page has none
    EXPECT_TRUE(results.IsExerciseDone("C", 1, 1));
    EXPECT_EQ(course->Bookmark.Event, 3);
    EXPECT_GT(course->Bookmark.TimeStudied, 0);
}

TEST_F(RealEvents, AnExerciseWithGoalsShowsTheGoalDialogAndTheVerdict) {
    // The sentences take their goals from the warm-up exercise (chapter 1, exercise 1).
    Lesson("lines.txt", "one two three four\r\nfive six seven eight\r\n");
    Lesson("c.cnt",
           "$description=Course\r\naccuracygoals=90,94,97\r\ndynamicdurationmargin=3\r\n"
           "begin chapter\r\nchapter name=1;First\r\n"
           "begin exercise\r\ntype=Warm-up\r\nduration=1\r\n"
           "event=TEXT;2;FILE:lines.txt;-;-;-;-;-;-;3;40;90;50;70;1\r\nend exercise\r\n"
           "begin exercise\r\ntype=Sentences\r\nduration=1\r\n"
           "event=SENTENCE;2;FILE:lines.txt;-;-;-;-;-;-;1.1;1.1;1.1;1.1;1.1;2\r\n"
           "end exercise\r\nend chapter\r\n");
    CurrentUser()->SetInteger("C.GoalLevel", 1);
    auto course = TContents::ForStudy("c.cnt", 0, 10);
    ASSERT_EQ(course->ChapterCount(), 1);
    course->Bookmark.Chapter = 1;
    course->Bookmark.Exercise = 2;
    course->Bookmark.Event = 1;
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("ViewGoalMsg"));
        EXPECT_EQ(h.TextOf("ViewGoalObjective"), Str(1621));
        EXPECT_EQ(h.TextOf("CopyrightLbl"), "");
    });
    Keys(" ");
    Keys("one two three four five six seven eight ");
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("GoalStatusMsg"));
        EXPECT_EQ(h.TextOf("GoalStatusTitle"), Str(1869));
    });
    h.Key(Qt::Key_Return);
    bool completed = false;
    TExercise& exercise = *course->ChapterAt(1)->Exercises[1];
    EXPECT_EQ(h.Run([&] { return exercise.Run(completed); }), 1);
    TResults& results = CurrentUser()->Results();
    ASSERT_EQ(results.Count(), 1);
    EXPECT_EQ(results[0].Kind, "TEXT");
    EXPECT_EQ(results[0].Name, "Sentences");
    EXPECT_TRUE(results[0].Completed);
}

}  // namespace
}  // namespace corv
