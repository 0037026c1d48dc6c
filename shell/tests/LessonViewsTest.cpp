// The lesson pages and the lesson-completed page, driven as a user would: the exercise
// list and its keys, the buttons and their answers, the lesson navigation with and without
// the chapter lock, the course progress, the review page and the keys learnt.

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>

#include "core/Localize.h"
#include "course/Contents.h"
#include "data/Results.h"
#include "data/User.h"
#include "engine/analysis/Scores.h"
#include "platform/qt/QtText.h"
#include "shell/lessons/ChpContentsView.h"
#include "shell/lessons/ExerciseList.h"
#include "shell/lessons/KeyboardPicture.h"
#include "shell/lessons/LessonDone.h"
#include "shell/lessons/ReviewContentsView.h"
#include "shell/tests/StudyingFixture.h"
#include "views/BookForm.h"

namespace corv {
namespace {

using studytest::Studying;

// A course of `lessons` lessons of `exercises` text exercises each.
std::string Course(int lessons, int exercises, const std::string& keys = "") {
    std::string text = "$description=Test course\n" + keys;
    for (int l = 1; l <= lessons; ++l) {
        text += "begin chapter\nchapter name=" + std::to_string(l) + ";Lesson number " +
                std::to_string(l) + "\n";
        for (int e = 1; e <= exercises; ++e)
            text += "begin exercise\ntype=Exercise " + std::to_string(e) +
                    "\nduration=1\nevent=TEXT;5;words\nend exercise\n";
        text += "end chapter\n";
    }
    return text;
}

class LessonPage : public Studying {
  protected:
    // Loads a course and points the bookmark at a lesson.
    TChapter& Load(const std::string& text, int lesson = 1, int duration = 10) {
        Lesson("t.cnt", text);
        course = TContents::ForStudy("t.cnt", 0, duration);
        course->Bookmark.Chapter = lesson;
        course->Bookmark.Exercise = 1;
        course->Bookmark.PositionText = "Lesson " + std::to_string(lesson);
        return *course->ChapterAt(lesson);
    }
    void Prepare(TCustomContentsView& view, TChapter& lesson, int selected = 1) {
        view.Lesson = &lesson;
        view.Bookmark = &course->Bookmark;
        view.SelectedExercise = selected;
        if (auto* page = dynamic_cast<TChpContentsView*>(&view)) {
            page->PreviousLessonAllowed = lesson.Number > 1;
            page->NextLessonAllowed = lesson.Number < course->ChapterCount();
        }
    }
    std::unique_ptr<TContents> course;
};

TEST_F(LessonPage, FifteenExercisesShowTwelveRowsAndDownStopsAtTheLast) {
    TChapter& lesson = Load(Course(1, 15));
    TChpContentsView view;
    Prepare(view, lesson);
    h.Do([&] {
        ASSERT_TRUE(view.List);
        EXPECT_EQ(view.List->RowCount(), 12);
        EXPECT_EQ(view.List->height(), 12 * view.List->RowHeight);
        EXPECT_EQ(view.List->geometry().topLeft(), QPoint(200, 138));
    });
    h.Key(Qt::Key_End).Key(Qt::Key_Down);
    h.Do([&] { EXPECT_EQ(view.List->SelectedRow(), 12); });
    h.Key(Qt::Key_Return);
    EXPECT_EQ(h.RunModal(view), 1);
    EXPECT_EQ(view.SelectedExercise, 12);
}

TEST_F(LessonPage, KeysChooseTheExercise) {
    struct Case {
        std::vector<int> keys;
        int selected;
    } cases[] = {
        {{Qt::Key_End}, 5},
        {{Qt::Key_Home, Qt::Key_Down}, 2},
        {{Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Up}, 3},
        {{Qt::Key_PageUp, Qt::Key_Up}, 1},
    };
    TChapter& lesson = Load(Course(1, 5));
    for (const Case& c : cases) {
        TChpContentsView view;
        Prepare(view, lesson, 3);
        for (int k : c.keys) h.Key(k);
        h.Key(Qt::Key_Return);
        EXPECT_EQ(h.RunModal(view), 1);
        EXPECT_EQ(view.SelectedExercise, c.selected);
    }
    // Keys with Shift held leave the list alone.
    TChpContentsView view;
    Prepare(view, lesson, 3);
    h.Key(Qt::Key_Down, Qt::ShiftModifier).Key(Qt::Key_Return);
    EXPECT_EQ(h.RunModal(view), 1);
    EXPECT_EQ(view.SelectedExercise, 3);
}

TEST_F(LessonPage, AClickOnARowStartsThatExercise) {
    TChapter& lesson = Load(Course(1, 5));
    TChpContentsView view;
    Prepare(view, lesson);
    h.Click("ExerciseList");  // the middle of five rows
    EXPECT_EQ(h.RunModal(view), 1);
    EXPECT_EQ(view.SelectedExercise, 3);
}

TEST_F(LessonPage, ButtonsAnswer) {
    TChapter& lesson = Load(Course(3, 2), 2);
    struct Case {
        std::function<void()> act;
        int answer;
    } cases[] = {
        {[&] { h.Click("PrevLessonBtn"); }, 3},   {[&] { h.Click("NextLessonBtn"); }, 4},
        {[&] { h.Click("ContentsBtn"); }, 5},     {[&] { h.Click("DurationBtn"); }, 5},
        {[&] { h.Click("ChangeCourseBtn"); }, 8}, {[&] { h.Key(Qt::Key_Escape); }, 2},
        {[&] { h.PickSection("Info"); }, 0},
    };
    for (const Case& c : cases) {
        TChpContentsView view;
        Prepare(view, lesson);
        c.act();
        EXPECT_EQ(h.RunModal(view), c.answer);
    }
    EXPECT_EQ(h.Window().NextBtn()->text(), ToQt(Str(603)));  // the Next caption came back
}

TEST_F(LessonPage, FirstAndLastLessons) {
    Load(Course(3, 1));
    {
        TChpContentsView view;
        Prepare(view, *course->ChapterAt(1));
        h.Do([&] {
            EXPECT_FALSE(h.IsShown("PrevLessonBtn"));
            EXPECT_TRUE(h.IsShown("NextLessonBtn"));
            EXPECT_FALSE(h.IsShown("CompletedBtn"));
            EXPECT_EQ(h.TextOf("NextLessonBtn"), Str(396) + "2 \xBB");
            EXPECT_EQ(h.TextOf("LessonNameLbl"), Str(396) + "1: Lesson number 1");
            EXPECT_EQ(h.Window().Title(), "Test course");
        });
        h.Key(Qt::Key_Escape);
        h.RunModal(view);
    }
    TChpContentsView view;
    course->Bookmark.Chapter = 3;
    Prepare(view, *course->ChapterAt(3));
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("PrevLessonBtn"));
        EXPECT_FALSE(h.IsShown("NextLessonBtn"));
        EXPECT_TRUE(h.IsShown("CompletedBtn"));
        EXPECT_EQ(h.Find("CompletedBtn")->y(), h.Find("NextLessonBtn")->y());
    });
    h.Click("CompletedBtn");
    EXPECT_EQ(h.RunModal(view), 15);
}

TEST_F(LessonPage, NavigationButtonsFollowTheLessons) {
    struct Case {
        int lessons;
        int shown;
    } cases[] = {{6, 6}, {20, 18}};
    for (const Case& c : cases) {
        TChapter& lesson = Load(Course(c.lessons, 1), 2);
        TChpContentsView view;
        Prepare(view, lesson);
        h.Do([&] {
            for (int n = 1; n <= 18; ++n) {
                QWidget* b = h.Find("LessonNavi" + std::to_string(n));
                ASSERT_TRUE(b) << n;
                EXPECT_EQ(b->isVisible(), n <= c.shown) << c.lessons << " lessons, button " << n;
            }
            EXPECT_EQ(h.Find("LessonNavi19"), nullptr);
            EXPECT_FALSE(h.Find("LessonNavi2")->isEnabled()) << "the current lesson";
            EXPECT_EQ(h.Find("LessonNavi3")->toolTip(), QStringLiteral("Lesson number 3"));
        });
        h.Click("LessonNavi4");
        EXPECT_EQ(h.RunModal(view), 17);
        EXPECT_EQ(course->Bookmark.Chapter, 4);
        EXPECT_EQ(course->Bookmark.Exercise, 1);
    }
}

TEST_F(LessonPage, ChapterLockLetsTheUserGoBackButNotForward) {
    SetPolicy({"T.chapter_lock=1"});
    TChapter& lesson = Load(Course(5, 1), 3);
    {
        TChpContentsView view;
        Prepare(view, lesson);
        h.Click("LessonNavi5");  // a later lesson: nothing happens
        h.Do([&] { EXPECT_EQ(view.ModalResult(), 0); });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(h.RunModal(view), 2);
        EXPECT_EQ(course->Bookmark.Chapter, 3);
    }
    TChpContentsView view;
    Prepare(view, lesson);
    h.Click("LessonNavi1");
    EXPECT_EQ(h.RunModal(view), 17);
    EXPECT_EQ(course->Bookmark.Chapter, 1);
    // With the exemption the later lessons open too.
    CurrentUser()->SetBool("bypass_chapter_lock", true);
    course->Bookmark.Chapter = 3;
    TChpContentsView exempt;
    Prepare(exempt, lesson);
    h.Click("LessonNavi5");
    EXPECT_EQ(h.RunModal(exempt), 17);
    EXPECT_EQ(course->Bookmark.Chapter, 5);
}

TEST_F(LessonPage, DoneMarksAndCourseProgress) {
    TChapter& lesson = Load(Course(2, 4), 2);
    TResultItem r;
    r.Source = "BKM";
    r.CourseId = "T";
    r.Chapter = 2;
    r.Exercise = 3;
    r.Checked = true;
    r.Kind = "TEXT";
    r.Mode = "CT";
    CurrentUser()->Results().Add(r);
    course->Bookmark.TimeStudied = 95 * 60;
    TChpContentsView view;
    Prepare(view, lesson);
    h.Do([&] {
        EXPECT_FALSE(view.List->IsDone(1));
        EXPECT_TRUE(view.List->IsDone(3));
        // Lesson 1 counts as done (it lies behind), and exercise 2.3: 5 of 8.
        EXPECT_EQ(static_cast<QProgressBar*>(h.Find("CourseProgressBar"))->value(), 62);
        EXPECT_EQ(h.TextOf("CourseDone"), "1:35 h");
        // Three exercises of lesson 2 left, each 10 minutes x 1/4 rounded to 2.
        EXPECT_EQ(h.TextOf("CourseLeft"), "0:06 h");
        EXPECT_TRUE(h.IsShown("CourseDone"));
    });
    h.Key(Qt::Key_Escape);
    h.RunModal(view);

    // Without a lesson duration the times are not shown.
    course->Bookmark.Duration = 0;
    TChpContentsView untimed;
    Prepare(untimed, lesson);
    h.Do([&] {
        EXPECT_FALSE(h.IsShown("CourseDone"));
        EXPECT_FALSE(h.IsShown("CourseLeft"));
        EXPECT_TRUE(h.IsShown("CourseProgressBar"));
    });
    h.Key(Qt::Key_Escape);
    h.RunModal(untimed);
}

TEST_F(LessonPage, StaticOffsetShowsTheDurationRange) {
    EXPECT_EQ(TExerciseList::DurationText(5, true, 2), "5 - 7 min.");
    EXPECT_EQ(TExerciseList::DurationText(5, false, 2), "5 min.");
    EXPECT_EQ(TExerciseList::DurationText(0, true, 2), "");
    TChapter& lesson = Load(
        "durationsystem=static\nlessondurations=10,15\ndynamicdurationmargin=2\nbegin "
        "chapter\nchapter name=1;A\n"
        "begin exercise\ntype=Five\nevent=TEXT;5;x\nend exercise\nbegin exercise\ntype=Page\n"
        "event=HTMLMESSAGE;0;p.htm\nend exercise\nend chapter\n",
        1, TBookMark::kCourseDefault);
    TChpContentsView view;
    Prepare(view, lesson);
    h.Do([&] {
        EXPECT_EQ(view.List->Durations, (std::vector<std::string>{"5 - 7 min.", ""}));
        EXPECT_EQ(view.List->Numbers, (std::vector<std::string>{"1.1", "1.2"}));
        EXPECT_EQ(view.List->Names, (std::vector<std::string>{"Five", "Page"}));
    });
    h.Key(Qt::Key_Escape);
    h.RunModal(view);
}

TEST_F(LessonPage, ReviewPageShowsTheFigures) {
    TChapter& lesson = Load(Course(1, 3));
    SetScreenshotMode(true);
    TReviewContentsView view;
    Prepare(view, lesson);
    h.Do([&] {
        EXPECT_FALSE(h.IsShown("NaviPanel"));
        EXPECT_FALSE(h.IsShown("ChangeCourseBtn"));
        EXPECT_TRUE(h.IsShown("CompletedBtn"));
        EXPECT_EQ(h.TextOf("CompletedBtn"), Str(1173));
        EXPECT_EQ(static_cast<QStackedWidget*>(h.Find("InfoPanel"))->currentIndex(), 1);
        EXPECT_EQ(static_cast<QProgressBar*>(h.Find("KeyIndexGraph"))->value(), 64);
        EXPECT_EQ(static_cast<QProgressBar*>(h.Find("KeyIndexGraph2"))->value(), 32);
        EXPECT_EQ(static_cast<QProgressBar*>(h.Find("WordIndexGraph2"))->value(), 46);
        EXPECT_TRUE(h.IsShown("CancelBtn"));
    });
    h.Click("CancelBtn");
    EXPECT_EQ(h.RunModal(view), 2);
    SetScreenshotMode(false);
}

TEST_F(LessonPage, LessonCompletedPage) {
    Lesson("t.cnt", Course(2, 1, ""));
    CurrentUser()->keyProgression = {"fj", "dk", "sl"};
    CurrentUser()->keyLevel = 2;
    {
        TLessonDone view;
        view.NextLessonTitle = "2. Lesson number 2";
        h.Do([&] {
            EXPECT_EQ(h.TextOf("MessageTitleLbl"), Str(1802));
            EXPECT_EQ(h.TextOf("NextLessonNameLbl"), "2. Lesson number 2");
            EXPECT_EQ(h.TextOf("NextLes"), Str(1803));
            EXPECT_EQ(view.Keyboard->LitCount(), 4);  // f, j, d and k
            EXPECT_EQ(view.Keyboard->geometry(), QRect(140, 150, 500, 200));
            EXPECT_FALSE(h.Window().MenuVisible());
        });
        h.Click("StartBtn");
        EXPECT_EQ(h.RunModal(view), 1);
    }
    {
        TLessonDone view;
        view.LastLesson = true;
        h.Do([&] {
            EXPECT_EQ(h.TextOf("MessageTitleLbl"), Str(1726));
            EXPECT_EQ(h.TextOf("NextLessonNameLbl"), Str(1728));
            EXPECT_EQ(h.TextOf("NextLes"), "");
        });
        h.Click("CancelBtn");
        EXPECT_EQ(h.RunModal(view), 2);
    }
    // The menu is hidden here; Exit still closes the page from outside.
    TLessonDone closed;
    h.Do([] { CloseCurrentView(); });
    EXPECT_EQ(h.RunModal(closed), 0);
}

}  // namespace
}  // namespace corv
