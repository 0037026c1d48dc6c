// Guided studying through its views: choosing the shipped course, its lessons and lesson
// duration, typing an exercise, coming back to the same place, finishing a course, the
// chapter lock in the course contents, and a layout that cannot type the course.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextFiles.h"
#include "course/Contents.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "platform/qt/QtText.h"
#include "shell/AppFrame.h"
#include "shell/lessons/ChpContentsView.h"
#include "shell/lessons/ExerciseList.h"
#include "shell/lessons/LessonDone.h"
#include "shell/studying/CourseContentsView.h"
#include "shell/studying/CourseListView.h"
#include "shell/studying/GoodbyeView.h"
#include "shell/studying/GuidedStudying.h"
#include "shell/studying/WrongKeyboardView.h"
#include "shell/tests/StudyingFixture.h"
#include "views/BookForm.h"

namespace corv {
namespace {

using studytest::Studying;

class GuidedStudying : public Studying {
  protected:
    // The text of a shipped exercise as it is typed: lines joined with spaces.
    std::string TextToType(const std::string& file) {
        TTextFile f;
        std::string text;
        f.Open(root + "lessons/speed/" + file, 1);
        f.ReadRest(text);
        std::string typed;
        for (char c : text) {
            if (c == '\n') continue;
            typed += c == '\r' ? ' ' : c;
        }
        while (!typed.empty() && typed.back() == ' ') typed.pop_back();
        return typed + " ";
    }
    TCustomContentsView* Page() { return dynamic_cast<TCustomContentsView*>(CurrentView()); }
    TGuidedStudying studying;
};

TEST_F(GuidedStudying, StudiesTheShippedCourseAndComesBackToTheSamePlace) {
    TUser& user = *CurrentUser();
    // The course choice: the shipped course is the main course.
    h.Do([&] {
        EXPECT_EQ(h.Window().Title(), Str(1852));
        EXPECT_TRUE(h.IsShown("Step1Panel"));
        EXPECT_EQ(h.TextOf("Step1TitleLbl"), "Speed building");
        EXPECT_EQ(h.TextOf("Step1LessonsLbl"), "10 " + Str(1400));
        EXPECT_EQ(h.TextOf("Step1PercentLbl"), Str(1696));
        EXPECT_EQ(h.TextOf("Start1"), Str(1699));
    });
    h.Click("Start1");
    Settle();
    // The course contents: ten lessons, the course's own lesson length.
    h.Do([&] {
        EXPECT_EQ(h.Window().Title(), "Speed building");
        EXPECT_TRUE(h.IsShown("Lesson10"));
        EXPECT_EQ(h.TextOf("Lesson01"), "1. Short common words");
        EXPECT_EQ(h.Find("LessonPanel")->height(), 10 * 24 + 30);
        EXPECT_EQ(h.TextOf("StartLessonBtn"), Str(1699));  // not begun yet
        EXPECT_EQ(static_cast<QStackedWidget*>(h.Find("DurationPages"))->currentIndex(), 0);
    });
    h.Click("StartLessonBtn");
    Settle();
    // Lesson 1: the introduction page, then the first text exercise.
    h.Do([&] {
        EXPECT_EQ(h.TextOf("LessonNameLbl"), Str(396) + "1: Short common words");
        EXPECT_EQ(h.TextOf("PositionLbl"), Str(334) + "1" + Str(712) + "10");
        ASSERT_TRUE(Page());
        EXPECT_EQ(Page()->List->RowCount(), 4);
        EXPECT_FALSE(Page()->List->IsDone(2));
    });
    h.Key(Qt::Key_Down).Key(Qt::Key_Return);
    Settle();
    Type(TextToType("l01a.txt"));
    Settle();
    h.Key(Qt::Key_Return);
    Settle();
    // Back on the lesson page: the exercise is done and the next one is selected.
    h.Do([&] {
        ASSERT_TRUE(Page());
        EXPECT_TRUE(Page()->List->IsDone(2));
        EXPECT_EQ(Page()->List->SelectedRow(), 3);
    });
    h.Screenshot("exercise-done");
    h.PickSection("Info");
    EXPECT_EQ(
        h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kCourseChoice)); }, 60000),
        0);
    EXPECT_EQ(CurrentSection(), "Info");

    EXPECT_EQ(user.GetText("ContentsFile"), "speedbuilding.cnt");
    EXPECT_EQ(user.GetText("NextView"), "Studying");
    EXPECT_EQ(user.GetText("SPEEDBUILDING.GoalLevel"), "2");
    ASSERT_TRUE(user.Results().IsExerciseDone("SPEEDBUILDING", 1, 2));
    // The place in the course, saved in the user's file under the course's keys.
    const std::string saved = UserFile();
    const char* keys[][2] = {
        {"Crs.SPEEDBUILDING.Chapter", "1"},   {"Crs.SPEEDBUILDING.Exercise", "3"},
        {"Crs.SPEEDBUILDING.Event", "2"},     {"Crs.SPEEDBUILDING.CompExc", "1"},
        {"Crs.SPEEDBUILDING.TotalExc", "37"}, {"Crs.SPEEDBUILDING.CompPrc", "3"},
        {"Crs.SPEEDBUILDING.Duration", "-2"}, {"Crs.SPEEDBUILDING.DurationSet", "1"},
        {"Crs.SPEEDBUILDING.KeyLevel", "1"},  {"SPEEDBUILDING.StudyingTime", "-2"}};
    for (auto& k : keys)
        EXPECT_NE(saved.find(std::string(k[0]) + "=" + k[1] + "\r\n"), std::string::npos) << k[0];
    EXPECT_NE(saved.find("Crs.SPEEDBUILDING.Time="), std::string::npos);
    EXPECT_GT(user.GetInteger("Crs.SPEEDBUILDING.Time"), 10);

    // Coming back: the same lesson, the same exercise.
    SetCurrentSection("");
    h.Do([&] {
        ASSERT_TRUE(Page());
        EXPECT_EQ(h.TextOf("LessonNameLbl"), Str(396) + "1: Short common words");
        EXPECT_EQ(Page()->List->SelectedRow(), 3);
        EXPECT_TRUE(Page()->List->IsDone(2));
    });
    h.PickSection("Statistics");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);
}

TEST_F(GuidedStudying, ANewUserStartsAtTheCourseChoice) {
    CurrentUser()->SetText("NextView", "Studying");
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TCourseListView*>(CurrentView())); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);
    EXPECT_EQ(CurrentUser()->GetText("NextView"), "ChooseCourse");
}

TEST_F(GuidedStudying, ClosingTheCourseContentsShowsThemAgainNextTime) {
    TUser& user = *CurrentUser();
    user.SetText("ContentsFile", "speedbuilding.cnt");
    user.SetText("NextView", "CourseContents");
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TCourseContentsView*>(CurrentView())); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);
    EXPECT_EQ(user.GetText("NextView"), "CourseContents");
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TCourseContentsView*>(CurrentView())); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);

    // Back returns to where the user came from: the course choice.
    h.Click("Start1");
    Settle();
    h.Click("BackBtn");
    Settle();
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TCourseListView*>(CurrentView())); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kCourseChoice)); }),
              0);
}

TEST_F(GuidedStudying, ChapterLockInTheCourseContents) {
    SetPolicy({"SPEEDBUILDING.chapter_lock=1"});
    TUser& user = *CurrentUser();
    user.SetText("ContentsFile", "speedbuilding.cnt");
    user.SetText("NextView", "CourseContents");
    user.SetInteger("Crs.SPEEDBUILDING.Chapter", 2);
    h.Do([&] { EXPECT_FALSE(h.Find("Lesson05")->isEnabled()); });
    h.Do([&] { static_cast<QPushButton*>(h.Find("Lesson05"))->click(); });  // refused
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TCourseContentsView*>(CurrentView())); });
    h.Click("Lesson01");
    Settle();
    h.Do([&] {
        ASSERT_TRUE(Page());
        EXPECT_EQ(h.TextOf("LessonNameLbl"), Str(396) + "1: Short common words");
    });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);
    EXPECT_EQ(user.GetInteger("Crs.SPEEDBUILDING.Chapter"), 1);

    // With the exemption any lesson opens.
    user.SetBool("bypass_chapter_lock", true);
    user.SetText("NextView", "CourseContents");
    h.Click("Lesson05");
    Settle();
    h.Do([&] { EXPECT_EQ(h.TextOf("LessonNameLbl"), Str(396) + "5: Capitals and full stops"); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);
}

TEST_F(GuidedStudying, ACustomLessonLengthIsStored) {
    TUser& user = *CurrentUser();
    user.SetText("ContentsFile", "speedbuilding.cnt");
    user.SetText("NextView", "CourseContents");
    h.Click("OptiDurationBtn");
    h.Do([&] {
        auto* list = static_cast<QComboBox*>(h.Find("DurationList"));
        ASSERT_EQ(list->count(), 4);
        list->setCurrentIndex(2);  // 20 minutes
        EXPECT_NE(h.TextOf("CustomLbl").find("3 h 20"), std::string::npos) << h.TextOf("CustomLbl");
    });
    h.Screenshot("custom-duration");
    h.Click("StartLessonBtn");
    Settle();
    h.Do([&] { EXPECT_TRUE(Page()); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);
    EXPECT_EQ(user.GetInteger("Crs.SPEEDBUILDING.Duration"), 3);
    EXPECT_EQ(user.GetInteger("SPEEDBUILDING.StudyingTime"), 3);
    EXPECT_EQ(user.GetText("SPEEDBUILDING.StaticTimeOptions"), "10,15,20,30");
}

TEST_F(GuidedStudying, FinishingTheCourseShowsTheCompletedPage) {
    Lesson("short.cnt",
           "$description=Short course\nbegin chapter\nchapter name=1;Only lesson\nbegin "
           "exercise\ntype=Page\n"
           "event=HTMLMESSAGE;0;speed\\lesson01.htm;Hello\nend exercise\nend chapter\n");
    TUser& user = *CurrentUser();
    user.SetText("ContentsFile", "short.cnt");
    user.SetText("NextView", "Studying");
    h.Key(Qt::Key_Return);  // run the only exercise
    Settle();
    h.Click("MessageNextBtn");  // the page
    Settle();
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TLessonDone*>(CurrentView())); });
    h.Click("StartBtn");  // go on: past the last lesson
    Settle();
    h.Do([&] {
        EXPECT_TRUE(dynamic_cast<TGoodbyeView*>(CurrentView()));
        EXPECT_EQ(h.TextOf("CompletedLbl"), "100 % " + Str(356));
    });
    h.Click("BackBtn");  // repeat the last lesson
    Settle();
    h.Do([&] {
        ASSERT_TRUE(Page());
        EXPECT_EQ(h.TextOf("LessonNameLbl"), Str(396) + "1: Only lesson");
    });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);

    // Back at the end: begin a new course resets this one.
    user.SetInteger("Crs.SHORT.Chapter", 2);
    user.SetText("NextView", "Completed");
    h.Click("NewCourseBtn");
    Settle();
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TCourseListView*>(CurrentView())); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);
    EXPECT_EQ(user.GetInteger("Crs.SHORT.Chapter"), 0);
    EXPECT_EQ(user.GetInteger("Crs.SHORT.Time"), 0);
}

TEST_F(GuidedStudying, ALayoutThatCannotTypeTheCourseIsReported) {
    Lesson(
        "german.cnt",
        "$description=Deutsch\nbegin chapter\nchapter name=1;Umlaute\nnew keys=\xE4\xF6\xFC\xDF\n"
        "begin exercise\ntype=A\nevent=TEXT;1;\xE4\xF6\xFC\xDF\nend exercise\nend chapter\n");
    TUser& user = *CurrentUser();
    struct Case {
        const char* button;
        int result;
        const char* nextView;
    } cases[] = {{"changecrs", 8, "ChooseCourse"}, {"Settings", 3, "CourseContents"}};
    for (const Case& c : cases) {
        user.SetText("ContentsFile", "german.cnt");
        user.SetText("NextView", "CourseContents");
        h.Do([&] {
            EXPECT_TRUE(dynamic_cast<TWrongKeyboardView*>(CurrentView()));
            EXPECT_EQ(h.TextOf("MissingLbl"), Str(1443) + ": \xE4\xF6\xFC\xDF");
            EXPECT_FALSE(h.Window().MenuVisible());
        });
        h.Click(c.button);
        EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }),
                  c.result)
            << c.button;
        EXPECT_EQ(user.GetText("NextView"), c.nextView) << c.button;
    }
    // Going on anyway reaches the course contents.
    user.SetText("NextView", "CourseContents");
    h.Click("continuebtn");
    Settle();
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TCourseContentsView*>(CurrentView())); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kContinue)); }), 0);
}

TEST_F(GuidedStudying, OtherCoursesOfTheLanguageAreListed) {
    Lesson("extra.cnt",
           "$description=Extra practice\n$language=ENG\n$version=1.10\nbegin chapter\nchapter "
           "name=1;A\n"
           "begin exercise\ntype=A\nevent=TEXT;1;asdf\nend exercise\nend chapter\n");
    Lesson("french.cnt",
           "$description=Fran\xE7"
           "ais\n$language=FRA\nbegin chapter\nend chapter\n");
    Lesson("hidden.cnt", "$description=Hidden\n$language=ENG\nbegin chapter\nend chapter\n");
    // The shipped beginners' course is hidden too, so the list holds the test's course only.
    SetPolicy({"hidden.Hidden=1", "beginners.Hidden=1"});
    Localization().SetCurrentCode("ENG");
    TUser& user = *CurrentUser();
    h.Do([&] {
        auto* list = static_cast<QListWidget*>(h.Find("Courselist"));
        ASSERT_TRUE(list);
        ASSERT_EQ(list->count(), 1);
        EXPECT_EQ(FromQt(list->item(0)->text()), "Extra practice (old format)");
    });
    h.Click("Step4Header");
    h.Screenshot("other-courses");
    h.Click("Start3");
    Settle();
    h.Do([&] { EXPECT_EQ(h.Window().Title(), "Extra practice (old format)"); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([&] { return static_cast<int>(studying.Run(StudyingStart::kCourseChoice)); }),
              0);
    EXPECT_EQ(user.GetText("ContentsFile"), "extra.cnt");
    EXPECT_EQ(user.GetInteger("NextStep"), 4);
    EXPECT_EQ(user.GetInteger("EXTRA.GoalLevel"), 2);
}

TEST_F(GuidedStudying, SectionsAreRegistered) {
    RegisterStudyingSections();
    ASSERT_TRUE(FindSection("Studying"));
    ASSERT_TRUE(FindSection("Courses"));
    EXPECT_EQ(FindSection("Studying")->titleString, 601);
    h.Do([&] { EXPECT_TRUE(dynamic_cast<TCourseListView*>(CurrentView())); });
    h.PickSection("Info");
    EXPECT_EQ(h.Run([] { return static_cast<int>(FindSection("Courses")->run()); }), 0);
}

}  // namespace
}  // namespace corv
