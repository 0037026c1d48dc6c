// The bookmark: where it keeps the user's place and how progress and time left follow.

#include "core/ErrorReport.h"
#include "course/Bookmark.h"
#include "course/tests/CourseTestSupport.h"
#include "data/User.h"

namespace corv::coursetest {
namespace {

TEST(BookmarkFigures, PercentAndRemainingTime) {
    struct Case {
        int completed, total, duration, studied, percent, remaining;
    } cases[] = {
        {10, 40, 3600, 1000, 25, 2600},
        {30, 40, 3600, 1000, 75, 333},  // round(25 x 1000 / 75)
        {1, 8, 0, 0, 12, 0},            // 12.5 rounds to the even 12
        {3, 8, 0, 0, 38, 0},            // 37.5 rounds to the even 38
        {0, 0, 600, 100, 0, 500},       // no exercises: 0 %
        {5, 40, 600, 900, 12, 0},       // studied past the total: never below 0
        {45, 40, 600, 900, 112, 0},     // more done than there are: still not below 0
    };
    for (const Case& c : cases) {
        TBookMark b;
        b.CompletedExercises = c.completed;
        b.TotalExercises = c.total;
        b.TotalDuration = c.duration;
        b.TimeStudied = c.studied;
        EXPECT_EQ(b.PercentComplete(), c.percent) << c.completed << "/" << c.total;
        EXPECT_EQ(b.RemainingSeconds(), c.remaining) << c.completed << "/" << c.total;
    }
}

using BookmarkStore = CourseInstallation;

TEST_F(BookmarkStore, SavesUnderTheCourseKeysAndReadsBack) {
    TUser& user = *CurrentUser();
    TBookMark b;
    b.CourseId = "ENGLISH";
    b.Chapter = 3;
    b.Exercise = 2;
    b.Event = 4;
    b.CompletedExercises = 10;
    b.TotalExercises = 40;
    b.TimeStudied = 1234;
    b.Duration = 15;
    b.DurationSet = true;
    user.keyLevel = 6;
    b.Save(user);
    const char* expected[][2] = {{"Crs.ENGLISH.Chapter", "3"},     {"Crs.ENGLISH.Exercise", "2"},
                                 {"Crs.ENGLISH.Event", "4"},       {"Crs.ENGLISH.CompExc", "10"},
                                 {"Crs.ENGLISH.TotalExc", "40"},   {"Crs.ENGLISH.CompPrc", "25"},
                                 {"Crs.ENGLISH.Time", "1234"},     {"Crs.ENGLISH.Duration", "15"},
                                 {"Crs.ENGLISH.DurationSet", "1"}, {"Crs.ENGLISH.KeyLevel", "6"}};
    for (auto& e : expected) EXPECT_EQ(user.GetText(e[0]), e[1]) << e[0];
    EXPECT_EQ(user.storedKeyLevel, 6);

    user.keyLevel = 1;
    TBookMark back;
    back.CourseId = "ENGLISH";
    back.Load(user);
    EXPECT_EQ(back.Chapter, 3);
    EXPECT_EQ(back.Exercise, 2);
    EXPECT_EQ(back.Event, 4);
    EXPECT_EQ(back.TimeStudied, 1234);
    EXPECT_EQ(back.Duration, 15);
    EXPECT_TRUE(back.DurationSet);
    EXPECT_EQ(user.keyLevel, 6);  // raised to the stored level
}

TEST_F(BookmarkStore, FreshUserGetsTheCourseDefaultDuration) {
    TBookMark b;
    b.CourseId = "NEW";
    b.Load(*CurrentUser());
    EXPECT_EQ(b.Duration, TBookMark::kCourseDefault);
    EXPECT_EQ(b.Chapter, 0);
}

TEST_F(BookmarkStore, DisplayLoadLeavesTheKeyLevel) {
    TUser& user = *CurrentUser();
    user.SetInteger("Crs.X.KeyLevel", 9);
    user.keyLevel = 2;
    user.storedKeyLevel = 2;
    TBookMark b;
    b.CourseId = "X";
    b.Load(user, false);
    EXPECT_EQ(b.KeyLevel, 9);
    EXPECT_EQ(user.keyLevel, 2);
    EXPECT_EQ(user.storedKeyLevel, 2);
}

TEST_F(BookmarkStore, ReviewModeAndMissingIdTouchNothing) {
    TUser& user = *CurrentUser();
    TBookMark review;
    review.CourseId = "ENGLISH";
    review.Mode = TBookMark::kReview;
    review.Chapter = 5;
    review.Save(user);
    EXPECT_EQ(user.GetText("Crs.ENGLISH.Chapter"), "");

    TBookMark anonymous;
    anonymous.Chapter = 5;
    anonymous.Save(user);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(ui.LastText().find("Course data cannot be saved without course id."),
              std::string::npos);
    EXPECT_EQ(user.GetText("Crs..Chapter"), "");
}

}  // namespace
}  // namespace corv::coursetest
