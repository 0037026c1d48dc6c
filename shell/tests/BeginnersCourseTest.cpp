// The shipped beginners' course on the real views: every lesson page shows whole in its
// viewer, with its keyboard picture.

#include <QScrollBar>
#include <QTextBrowser>

#include "course/Contents.h"
#include "course/EventLoader.h"
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

}  // namespace
}  // namespace corv
