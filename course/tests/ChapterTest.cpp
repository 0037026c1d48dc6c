// Chapters: what a chapter section sets, how the lesson's time is divided among its
// exercises, the chapter lock, and the run of a lesson from its lesson page.

#include "course/Chapter.h"
#include "course/Contents.h"
#include "course/tests/CourseTestSupport.h"
#include "data/DifficultKeys.h"
#include "data/Results.h"
#include "data/User.h"

namespace corv::coursetest {
namespace {

std::string Exercise(const std::string& name, int weight, const std::string& events) {
    return "begin exercise\ntype=" + name + "\nduration=" + std::to_string(weight) + "\n" + events +
           "end exercise\n";
}

using Chapters = CourseInstallation;

TEST_F(Chapters, ReadsItsSection) {
    WriteLesson("c.cnt",
                "begin chapter\n"
                "chapter name=1;Home row\n"
                "extradesc=Only eight keys\n"
                "picture=home.gif\n"
                "hideexercises=TRUE\n"
                "new keys=asdf\n"
                "new keys_dvorak=aoeu\n"
                "new keys=SEMICOLON\n"
                "new keys_qwerty=jkl\n"
                "strange=1\n" +
                    Exercise("One", 1, "event=TEXT;2;asdf\n") + "end chapter\n");
    auto c = TContents::ForStudy("c.cnt", 0, -1);
    TChapter& ch = *c->ChapterAt(1);
    EXPECT_EQ(ch.Title, "Home row");
    EXPECT_EQ(ch.ExtraDescription, "Only eight keys");
    EXPECT_EQ(ch.Picture, "home.gif");
    EXPECT_TRUE(ch.HideExercises);
    EXPECT_EQ(ch.NewKeysText, "asdf;jkl");  // the dvorak line is not for this layout
    EXPECT_EQ(CurrentUser()->keyProgression, (std::vector<std::string>{"asdf", ";", "jkl"}));
    EXPECT_EQ(ch.KeyLevel, 3);
    EXPECT_EQ(ch.KeyLines, (std::vector<std::string>{"new keys=asdf", "new keys_dvorak=aoeu",
                                                     "new keys=SEMICOLON", "new keys_qwerty=jkl"}));
    ASSERT_EQ(ch.ExerciseCount(), 1);
    EXPECT_EQ(ch.Exercises[0]->KeyLines.size(), 4u);
    EXPECT_EQ(ch.Exercises[0]->KeyLevel, 3);
    EXPECT_EQ(ch.Exercises[0]->Events[0]->KeyLevel, 3);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Chapters, ReadingFaultsAreShownWithTheirFixedTexts) {
    struct Case {
        std::string body;
        std::string message;
    } cases[] = {
        {"begin chapter\nchapter name=1;A\n", "Chapter object: eof in middle of chapter"},
        {"begin chapter\nnew keys=\nend chapter\n", "Contents/Chapter: missing new keys entry"},
        {"begin chapter\nbegin exercise\ntype\nend exercise\nend chapter\n",
         "Contents/Exercise: missing type entry"},
        {"begin chapter\nbegin exercise\nevent=TEXT;1;a\n",
         "Exercise object: eof in middle of exercise"},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        WriteLesson("bad.cnt", c.body);
        auto course = TContents::IndexOnly("bad.cnt");
        bool found = false;
        for (auto& m : ui.messages) found = found || m.text == c.message;
        EXPECT_TRUE(found) << c.message;
    }
}

TEST_F(Chapters, OverflowWarnsAtThe199thExerciseAndKeepsAtMost200) {
    std::string body = "begin chapter\n";
    for (int i = 1; i <= 203; ++i) body += Exercise("E" + std::to_string(i), 1, "event=TEXT;1;x\n");
    body += "end chapter\n";
    WriteLesson("big.cnt", body);
    auto c = TContents::IndexOnly("big.cnt");
    EXPECT_EQ(c->ChapterAt(1)->ExerciseCount(), 200);
    EXPECT_EQ(c->Bookmark.TotalExercises, 200);
    int warnings = 0;
    for (auto& m : ui.messages) warnings += m.text == "Chapter object: overflow max 200 Exercises";
    EXPECT_EQ(warnings, 1);
}

TEST_F(Chapters, DynamicTimeDivision) {
    struct Case {
        std::string chapterKeys;
        int studyTime;
        std::string exercises;
        int lessonDuration;
        std::vector<int> minutes;
    } cases[] = {
        {"",
         20,
         Exercise("a", 1, "event=TEXT;1;x\n") + Exercise("b", 3, "event=TEXT;1;x\n"),
         20,
         {5, 15}},
        {"durationpercent=50\n", 15, Exercise("a", 1, "event=TEXT;1;x\n"), 7, {7}},
        {"", 12, "", 12, {}},  // no exercises: total weight 1, the lesson keeps its time
        // No weights at all: every exercise gets nothing (weight 0 of a total taken as 1).
        {"", 12, Exercise("a", 0, "event=TEXT;1;x\n"), 12, {0}},
        // The course's default (-2) leaves the lesson without time, never below 0.
        {"", -2, Exercise("a", 1, "event=TEXT;1;x\n"), 0, {0}},
        // A message-only exercise takes the course's default time (here 3 minutes).
        {"",
         20,
         Exercise("m", 1, "event=HTMLMESSAGE;0;p.htm\n") + Exercise("t", 1, "event=TEXT;1;x\n"),
         20,
         {2, 10}},
    };
    for (const Case& c : cases) {
        WriteLesson("d.cnt", "default time=3\nbegin chapter\n" + c.chapterKeys + c.exercises +
                                 "end chapter\n");
        auto course = TContents::ForStudy("d.cnt", 0, c.studyTime);
        TChapter& ch = *course->ChapterAt(1);
        EXPECT_EQ(ch.LessonDuration, c.lessonDuration) << c.chapterKeys << c.studyTime;
        ASSERT_EQ(ch.ExerciseCount(), static_cast<int>(c.minutes.size()));
        for (size_t i = 0; i < c.minutes.size(); ++i) {
            EXPECT_EQ(ch.Exercises[i]->TotalMinutes, c.minutes[i]) << c.exercises;
            for (auto& e : ch.Exercises[i]->Events) EXPECT_GE(e->Seconds, 0);
        }
        CurrentUser()->keyProgression.clear();
    }
}

TEST_F(Chapters, ExamExercisesTakeThePolicysDuration) {
    SetPolicy("DisableWindowsLayouts=1\r\nEXAMS.chapter_exam_duration=10\r\n");
    WriteLesson(
        "exams.cnt",
        "begin chapter\n" + Exercise("drill", 3, "event=TEXT;1;x\n") +
            Exercise("exam", 1, "event=EXAM2;5;x\n") +
            Exercise("second", 1, "event=HTMLMESSAGE;0;intro.htm\nevent=EXAMINTERNAL;5;x\n") +
            "end chapter\n");
    auto c = TContents::ForStudy("exams.cnt", 0, 20);
    TChapter& ch = *c->ChapterAt(1);
    EXPECT_EQ(ch.Exercises[0]->TotalMinutes, 12);  // 20 x 3/5, before the exam changed the lesson
    EXPECT_EQ(ch.Exercises[1]->TotalMinutes, 10);
    EXPECT_EQ(ch.Exercises[1]->Events[0]->Seconds, 600);
    EXPECT_EQ(ch.Exercises[2]->TotalMinutes, 10);
    EXPECT_EQ(ch.LessonDuration, 10);
}

TEST_F(Chapters, StaticTimeDivision) {
    const std::string body = "durationsystem=static\nlessondurations=10,15,20\nbegin chapter\n" +
                             Exercise("text", 1, "event=TEXT;3;x\nevent=TEXT;0;untimed\n") +
                             Exercise("page", 1, "event=HTMLMESSAGE;2;p.htm\n") + "end chapter\n";
    WriteLesson("s.cnt", body);
    {
        auto c = TContents::ForStudy("s.cnt", 0, 3);  // offset 2
        TChapter& ch = *c->ChapterAt(1);
        EXPECT_FALSE(ch.NoOffset);
        TExercise& text = *ch.Exercises[0];
        EXPECT_EQ(text.Events[0]->Seconds, 300);  // (2 + 3) x 60
        EXPECT_EQ(text.Events[1]->Seconds, 0);
        EXPECT_FALSE(text.Events[0]->DynamicDuration);
        EXPECT_EQ(text.TotalMinutes, 5);
        TExercise& page = *ch.Exercises[1];
        EXPECT_EQ(page.TotalMinutes, 2);  // a message page adds no offset
        EXPECT_EQ(ch.LessonDuration, 7);
        EXPECT_EQ(ch.TotalMinutes(), 5);  // without the offset
        // Dividing again gives the same totals.
        text.SetDurations(2);
        text.SetDurations(2);
        EXPECT_EQ(text.TotalMinutes, 5);
        EXPECT_EQ(text.Events[0]->Seconds, 300);
        EXPECT_EQ(ch.TotalMinutes(), 5);
        EXPECT_EQ(text.Events[0]->Seconds, 300);  // asking for the total keeps the limits
    }
    CurrentUser()->keyProgression.clear();
    {
        auto c = TContents::ForStudy("s.cnt", 0, TBookMark::kCourseDefault);
        TChapter& ch = *c->ChapterAt(1);
        EXPECT_TRUE(ch.NoOffset);
        EXPECT_EQ(ch.Exercises[0]->Events[0]->Seconds, 180);
        EXPECT_TRUE(ch.Exercises[0]->Events[0]->DynamicDuration);
    }
}

TEST_F(Chapters, StudyTimeComesFromTheUserSetting) {
    WriteLesson("u.cnt",
                "begin chapter\n" + Exercise("a", 1, "event=TEXT;1;x\n") + "end chapter\n");
    CurrentUser()->SetInteger("U.StudyingTime", 30);
    auto c = TContents::ForStudy("u.cnt", 0, 10);
    EXPECT_EQ(c->ChapterAt(1)->StudyTime, 30);
    EXPECT_EQ(c->ChapterAt(1)->LessonDuration, 30);
}

// --- Running a lesson ---

class LessonRun : public CourseInstallation {
  protected:
    void Load(int exercises, int chapters = 2, const std::string& extra = "") {
        std::string body = extra;
        for (int ch = 1; ch <= chapters; ++ch) {
            body += "begin chapter\nchapter name=" + std::to_string(ch) + ";L" +
                    std::to_string(ch) + "\n";
            for (int i = 1; i <= exercises; ++i)
                body += Exercise("E" + std::to_string(i), 1, "event=TEXT;1;x\n");
            body += "end chapter\n";
        }
        WriteLesson("run.cnt", body);
        course = TContents::ForStudy("run.cnt", 0, 10);
        course->Bookmark.Chapter = 1;
        course->Bookmark.Exercise = 1;
    }
    int Run(int chapter = 1) {
        pastEnd = false;
        course->ChapterAt(chapter)->Caption = "cap";
        return course->ChapterAt(chapter)->Run(pastEnd);
    }
    std::unique_ptr<TContents> course;
    bool pastEnd = false;
};

TEST_F(LessonRun, PageClosedFromOutsideEndsTheLessonWithoutRunning) {
    UseFakeEvents({"TEXT"});
    Load(3);
    Page(0);
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(runs.empty());
}

TEST_F(LessonRun, ExerciseClosedFromOutsideEndsTheLesson) {
    UseFakeEvents({"TEXT"});
    Load(3);
    Page(1, 2);
    FakeOutcome closed;
    closed.closeResult = 0;
    closed.completed = false;
    Outcome(closed);
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].exercise, 2);
    EXPECT_EQ(course->Bookmark.Exercise, 2);
    EXPECT_EQ(course->Bookmark.Event, 2);  // the event closed from outside counts as passed
}

TEST_F(LessonRun, CompletedExercisesMoveOnAndTheLastShowsLessonDone) {
    UseFakeEvents({"TEXT"});
    Load(2);
    Page(1);  // runs 1
    Page(1);  // runs 2 (the last)
    Done(1);  // next lesson
    EXPECT_EQ(Run(), 4);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].exercise, 2);
    ASSERT_EQ(pagesShown.size(), 2u);
    EXPECT_EQ(pagesShown[1].selected, 2);
    ASSERT_EQ(donesShown.size(), 1u);
    EXPECT_FALSE(donesShown[0].lastLesson);
    EXPECT_EQ(donesShown[0].nextLessonTitle, "2. L2");
    TUser& user = *CurrentUser();
    EXPECT_TRUE(user.Results().IsExerciseDone("RUN", 1, 1));
    EXPECT_TRUE(user.Results().IsExerciseDone("RUN", 1, 2));
    EXPECT_EQ(course->Bookmark.CompletedExercises, 2);
    EXPECT_EQ(course->Bookmark.TimeStudied, 140);
    EXPECT_EQ(user.GetInteger("TimeStudied"), 140);
}

TEST_F(LessonRun, LessonDoneAnswers) {
    UseFakeEvents({"TEXT"});
    struct Case {
        int doneAnswer;
        std::vector<int> moreAnswers;
        int result;
    } cases[] = {{1, {}, 4}, {0, {}, 0}, {2, {2}, 2}};
    for (const Case& c : cases) {
        Load(1);
        Page(1);
        Done(c.doneAnswer);
        for (int a : c.moreAnswers) Page(a);
        EXPECT_EQ(Run(), c.result) << c.doneAnswer;
        CurrentUser()->keyProgression.clear();
    }
}

TEST_F(LessonRun, CancelledExerciseKeepsItsPlace) {
    UseFakeEvents({"TEXT"});
    Load(3);
    Page(1, 2);
    FakeOutcome cancelled;
    cancelled.closeResult = 2;
    Outcome(cancelled);
    Page(2);
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(course->Bookmark.Exercise, 2);
    EXPECT_EQ(pagesShown[1].selected, 2);
}

TEST_F(LessonRun, CompletedButtonShowsLessonDoneOnTheLastLesson) {
    UseFakeEvents({"TEXT"});
    Load(2);
    Page(15);
    Done(1);
    EXPECT_EQ(Run(2), 4);
    ASSERT_EQ(donesShown.size(), 1u);
    EXPECT_TRUE(donesShown[0].lastLesson);
    EXPECT_EQ(course->Bookmark.Exercise, 2);
    EXPECT_TRUE(runs.empty());
}

TEST_F(LessonRun, HiddenExerciseListRunsTheFirstThenGoesOn) {
    UseFakeEvents({"TEXT"});
    WriteLesson("hide.cnt", "begin chapter\nhideexercises=1\n" +
                                Exercise("intro", 1, "event=TEXT;1;x\n") +
                                Exercise("more", 1, "event=TEXT;1;x\n") +
                                "end chapter\nbegin chapter\nend chapter\n");
    course = TContents::ForStudy("hide.cnt", 0, 10);
    course->Bookmark.Exercise = 2;
    EXPECT_EQ(Run(), 4);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].exercise, 1);
    EXPECT_TRUE(pagesShown.empty());
}

TEST_F(LessonRun, BookmarkPastTheExercisesIsAnError) {
    Load(2);
    course->Bookmark.Exercise = 5;
    EXPECT_EQ(Run(), -1202);
    EXPECT_EQ(course->Bookmark.Exercise, 3);
}

TEST_F(LessonRun, NavigationAndLeavingAnswersEndTheRun) {
    Load(2);
    for (int answer : {2, 3, 5, 6, 7, 8, 17}) {
        Page(answer);
        EXPECT_EQ(Run(), answer);
    }
}

TEST_F(LessonRun, ChapterLockRefusesTheNextLesson) {
    SetPolicy("DisableWindowsLayouts=1\r\nRUN.chapter_lock=1\r\n");
    UseFakeEvents({"TEXT"});
    Load(2);
    Page(4);
    EXPECT_EQ(Run(), 0);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().stringIds, (std::vector<int>{111, 112}));

    // With every exercise done the lock is gone.
    ui.messages.clear();
    Page(1, 1);
    Page(1, 2);
    Done(1);
    EXPECT_EQ(Run(), 4);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LessonRun, ExemptUsersPassTheLock) {
    SetPolicy("DisableWindowsLayouts=1\r\nRUN.chapter_lock=1\r\n");
    CurrentUser()->SetBool("bypass_chapter_lock", true);
    Load(2);
    Page(4);
    EXPECT_EQ(Run(), 4);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LessonRun, LockedLessonSkipsLessonDone) {
    SetPolicy("DisableWindowsLayouts=1\r\nRUN.chapter_lock=1\r\n");
    UseFakeEvents({"TEXT"});
    Load(2);
    Page(1, 2);  // the last exercise, but exercise 1 is not done
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(donesShown.empty());
}

TEST_F(LessonRun, CompletingRaisesTheKeyLevelAndTheDifficultKeyFilter) {
    UseFakeEvents({"TEXT"});
    WriteLesson("keys.cnt", "begin chapter\nnew keys=fj\n" + Exercise("a", 1, "event=TEXT;1;x\n") +
                                Exercise("b", 1, "event=TEXT;1;x\n") +
                                "end chapter\nbegin chapter\nnew keys=dk\n" +
                                Exercise("c", 1, "event=TEXT;1;x\n") + "end chapter\n");
    course = TContents::ForStudy("keys.cnt", 0, 10);
    course->Bookmark.Chapter = 2;
    course->Bookmark.Exercise = 1;
    Page(1);
    Done(2);
    Page(2);
    EXPECT_EQ(Run(2), 2);
    EXPECT_EQ(CurrentUser()->keyLevel, 2);
    EXPECT_EQ(ActiveDifficultKeys().Filter(), "fjdk");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].prep.keySet, "fjdk");
}

TEST_F(LessonRun, ReviewModeShowsTheReviewPageAndMovesOneExerciseAtATime) {
    UseFakeEvents({"TEXT"});
    WriteLesson("rev.cnt", "begin chapter\n" + Exercise("a", 1, "event=TEXT;1;x\n") +
                               Exercise("b", 1, "event=TEXT;1;x\n") +
                               Exercise("c", 1, "event=TEXT;1;x\n") + "end chapter\n");
    course = TContents::ForStudy("rev.cnt", TBookMark::kReview, 10);
    course->Bookmark.Chapter = 1;
    course->Bookmark.Exercise = 1;
    Page(1);   // runs a, then b is next
    Page(1);   // runs b
    Page(15);  // done: the review lesson ends
    EXPECT_EQ(Run(), 1);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].exercise, 2);
    ASSERT_EQ(pagesShown.size(), 3u);
    EXPECT_TRUE(pagesShown[0].review);
    EXPECT_EQ(pagesShown[0].headingString, 567);
    EXPECT_EQ(pagesShown[0].textString, 328);
    EXPECT_EQ(pagesShown[1].selected, 2);
    EXPECT_EQ(pagesShown[2].selected, 3);
    EXPECT_TRUE(donesShown.empty());
    EXPECT_EQ(CurrentUser()->GetText("Crs.REV.Chapter"), "");  // a review keeps no bookmark
}

TEST_F(LessonRun, EmptyLessonGoesOnInsteadOfBack) {
    WriteLesson("empty.cnt", "begin chapter\nend chapter\nbegin chapter\nend chapter\n");
    course = TContents::ForStudy("empty.cnt", 0, 10);
    Page(4, 0);
    EXPECT_EQ(Run(), 4);
}

}  // namespace
}  // namespace corv::coursetest
