// The shipped beginners' course on the real views: every lesson page shows whole in its
// viewer, with its keyboard picture; every lesson ends with its exam, judged by the
// course's criteria of the shipped policy.

#include <QScrollBar>
#include <QTextBrowser>
#include <fstream>

#include "course/Contents.h"
#include "course/EventLoader.h"
#include "shell/lessons/ChpContentsView.h"
#include "shell/lessons/ExerciseList.h"
#include "shell/tests/StudyingFixture.h"

namespace corv {
namespace {

using studytest::Studying;

class BeginnersCourse : public Studying {};

TEST_F(BeginnersCourse, EveryLessonPageShowsWholeInItsViewer) {
    auto course = TContents::IndexOnly("beginners.cnt");
    ASSERT_EQ(course->Status(), 0);
    ASSERT_EQ(course->ChapterCount(), 18);
    for (auto& chapter : course->Chapters) {
        const TEventLoader& page = *chapter->Exercises.at(0)->Events.at(0);
        ASSERT_EQ(page.EventType, "HTMLMESSAGE");
        TEventLoader loader(page.Line);
        loader.ResultShowMode = 1;
        h.Do([&] {
            auto* viewer = dynamic_cast<QTextBrowser*>(h.Find("HtmlViewer"));
            ASSERT_TRUE(viewer) << chapter->Number;
            EXPECT_TRUE(viewer->isVisible()) << chapter->Number;
            EXPECT_EQ(viewer->verticalScrollBar()->maximum(), 0) << "lesson " << chapter->Number;
            EXPECT_EQ(viewer->horizontalScrollBar()->maximum(), 0) << "lesson " << chapter->Number;
        });
        h.Screenshot("lesson" + std::to_string(chapter->Number));
        h.Click("MessageNextBtn");
        EXPECT_EQ(h.Run([&] { return loader.Execute(); }), 3);
    }
}

TEST_F(BeginnersCourse, TheLessonExamComesLastAndShowsAParagraph) {
    // The course's exam criteria, as the shipped policy has them.
    std::vector<std::string> criteria;
    std::ifstream policy(CORV_SOURCE_DIR "/install/Policy.dyn");
    for (std::string line; std::getline(policy, line);)
        if (line.rfind("BEGINNERS.", 0) == 0) criteria.push_back(line.substr(0, line.find('\r')));
    ASSERT_FALSE(criteria.empty());
    SetPolicy(criteria);
    auto course = TContents::ForStudy("beginners.cnt", 0, 2);
    ASSERT_EQ(course->Status(), 0);
    TChapter& lesson = *course->ChapterAt(14);  // five exercises, then the exam
    ASSERT_EQ(lesson.ExerciseCount(), 6);
    course->Bookmark.Chapter = 14;
    course->Bookmark.Exercise = 6;
    course->Bookmark.PositionText = "Lesson 14";
    TChpContentsView view;
    view.Lesson = &lesson;
    view.Bookmark = &course->Bookmark;
    view.SelectedExercise = 6;
    h.Do([&] { EXPECT_EQ(view.List->RowCount(), 6); });
    h.Screenshot("exam-on-the-lesson-page");
    h.Key(Qt::Key_Return);
    EXPECT_EQ(h.RunModal(view), 1);

    TExercise& exam = *lesson.Exercises.back();
    ASSERT_EQ(exam.Events.at(0)->EventType, "EASYEXAM");
    course->Bookmark.Event = 1;
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("TypeHerePanel"));
        EXPECT_FALSE(h.IsShown("ViewGoalMsg")) << "exams have no goals";
    });
    h.Screenshot("exam");
    h.Key(Qt::Key_Escape);
    bool completed = false;
    h.Run([&] { return exam.Run(completed); });
    EXPECT_FALSE(completed);
}

}  // namespace
}  // namespace corv
