// The harness itself: the failures it must raise for the later view tests to be worth much.

#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QFileInfo>
#include <cstdlib>

#include "core/UserInterface.h"
#include "platform/qt/QtText.h"
#include "views/testkit/ViewHarness.h"
#include "views/tests/SampleView.h"

namespace corv {
namespace {

using ::testing::HasSubstr;
using testviews::TSampleView;
using viewtest::ViewHarness;

// Runs the code and returns the messages of the failures it raised.
std::vector<std::string> FailuresOf(const std::function<void()>& code) {
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        code();
    }
    std::vector<std::string> messages;
    for (int i = 0; i < results.size(); ++i)
        messages.push_back(results.GetTestPartResult(i).message());
    return messages;
}

TEST(ViewHarnessSelf, AViewThatDoesNotEndFailsAndIsClosed) {
    ViewHarness h;
    TSampleView view;
    int result = -1;
    const auto failures = FailuresOf([&] { result = h.RunModal(view, 300); });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_THAT(failures[0], HasSubstr("did not end within 300 ms"));
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(view.Visible());
    EXPECT_TRUE(h.TimedOut());
}

TEST(ViewHarnessSelf, UnexpectedMessageBoxesAndMissingControlsFail) {
    ViewHarness h;
    TSampleView view;
    h.Do([] { ui::Message("Surprise", "Corvella", ui::Icon::kInformation); });
    h.Click("NoSuchBtn");
    h.Key(Qt::Key_Escape);
    const auto failures = FailuresOf([&] { EXPECT_EQ(h.RunModal(view), 2); });
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_THAT(failures[0], HasSubstr("unexpected message box"));
    EXPECT_THAT(failures[0], HasSubstr("Surprise"));
    EXPECT_THAT(failures[1], HasSubstr("no visible control \"NoSuchBtn\""));
}

TEST(ViewHarnessSelf, ScriptedAnswersMustBeUsedAndMatch) {
    ViewHarness h;
    TSampleView view;
    int answer = 0;
    h.messages.Expect(ui::kAnswerYes, 129);
    h.messages.Expect(ui::kAnswerNo);
    h.Do([&] {
        answer = ui::Message("Stop?", "Corvella", ui::Icon::kQuestion, ui::Buttons::kYesNo, {130});
    });
    h.Key(Qt::Key_Escape);
    const auto failures = FailuresOf([&] { h.RunModal(view); });
    EXPECT_EQ(answer, ui::kAnswerYes);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_THAT(failures[0], HasSubstr("without string 129"));
    EXPECT_THAT(failures[1], HasSubstr("never shown"));
}

TEST(ViewHarnessSelf, ActionsLeftOverFail) {
    ViewHarness h;
    TSampleView view;
    h.Key(Qt::Key_Escape);
    h.Key(Qt::Key_Return);  // the view has ended by then
    const auto failures = FailuresOf([&] { h.RunModal(view); });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_THAT(failures[0], HasSubstr("left after the run"));
}

TEST(ViewHarnessSelf, EveryShownViewIsPhotographed) {
    const char* dir = std::getenv("CORV_SCREENSHOTS");
    if (!dir) GTEST_SKIP() << "CORV_SCREENSHOTS is not set";
    ViewHarness h;
    TSampleView outer, inner;
    outer.onStart = [&] { inner.ShowModal(); };
    h.Click("StartBtn");
    h.Key(Qt::Key_Escape);  // ends the inner view
    h.Screenshot("after");
    h.Key(Qt::Key_Escape);
    h.RunModal(outer);
    ASSERT_EQ(h.screenshots.size(), 3u);
    EXPECT_THAT(h.screenshots[0],
                HasSubstr("ViewHarnessSelf.EveryShownViewIsPhotographed-TSampleView.png"));
    EXPECT_THAT(h.screenshots[1], HasSubstr("-TSampleView-2.png"));
    EXPECT_THAT(h.screenshots[2], HasSubstr("-TSampleView-after.png"));
    for (const std::string& path : h.screenshots)
        EXPECT_GT(QFileInfo(ToQt(path)).size(), 1000) << path;
}

}  // namespace
}  // namespace corv
