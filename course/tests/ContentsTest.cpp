// Reading a course contents file: the course keys, the layout the course asks for, the
// lesson durations in both duration systems, and what loads for display leave alone.

#include "core/Localize.h"
#include "course/Contents.h"
#include "course/tests/CourseTestSupport.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"

namespace corv::coursetest {
namespace {

// n chapters of one exercise of one timed event each.
std::string Chapters(int n, const std::string& newKeysPrefix = "k") {
    std::string text;
    for (int i = 1; i <= n; ++i)
        text += "begin chapter\nchapter name=" + std::to_string(i) + ";Lesson " +
                std::to_string(i) + "\nnew keys=" + newKeysPrefix + std::to_string(i) +
                "\nbegin exercise\ntype=Text\nduration=1\nevent=TEXT;5;some words\nend "
                "exercise\nend chapter\n";
    return text;
}

using Contents = CourseInstallation;

TEST_F(Contents, ReadsTheCourseKeys) {
    WriteLesson(
        "English.cnt",
        "$description=Basic course\n$longdesc=Long text\n$language=eng\n$version=2.0\n"
        "' a comment\n"
        "  nosemicolonreplacement=1  \n"
        "custom_course=1\ncrs_icon=icon.gif\ndefault time=7\nkeyboardbase=qwerty,qwertz\n"
        "wizardname=Helper\nshort name=Basics\nnewkeysloops=3\nwordloop=4\nwordmaxloop=9\n"
        "durationsystem=Static\nlessondurations=10, 15,20\ndefaultduration=2\n"
        "accuracygoals=90%;94%;97\ngoalinfo=Goals\neventdurationmargin=2\n"
        "dynamicdurationmargin=3\nspeedbar_maxdefault=400\naccuracybar_mindefault=notanumber\n"
        "no such key=1\n" +
            Chapters(2));
    auto c = TContents::ForStudy("english.cnt", 0, -1);
    ASSERT_EQ(c->Status(), 0);
    EXPECT_EQ(c->CourseId, "ENGLISH");
    EXPECT_EQ(c->Description, "Basic course");
    EXPECT_EQ(c->LongDescription, "Long text");
    EXPECT_EQ(c->Language, "ENG");
    EXPECT_TRUE(c->NoSemicolonReplacement);
    EXPECT_TRUE(c->CustomCourse);
    EXPECT_EQ(c->CourseIcon, "icon.gif");
    EXPECT_EQ(c->KeyboardBase, "QWERTY,QWERTZ");
    EXPECT_EQ(c->WizardName, "Helper");
    EXPECT_EQ(CurrentUser()->GetText("DefaultWizard"), "Helper");
    EXPECT_EQ(c->ShortName, "Basics");
    EXPECT_EQ(c->NewKeysLoops, 3);
    EXPECT_EQ(c->WordLoop, 4);
    EXPECT_EQ(c->Bookmark.WordMaxLoop, 9);
    EXPECT_TRUE(c->StaticDurations);
    EXPECT_EQ(c->LessonDurations, (std::vector<std::string>{"10", "15", "20"}));
    EXPECT_EQ(c->AccuracyGoalValues(), (std::vector<int>{90, 94, 97}));
    EXPECT_EQ(c->GoalInfo, "Goals");
    EXPECT_EQ(c->EventDurationMargin, 2);
    EXPECT_EQ(c->DynamicDurationMargin, 3);
    EXPECT_EQ(c->SpeedBarMaximum, 400);
    EXPECT_EQ(c->AccuracyBarMinimum, 0);  // not a number
    EXPECT_EQ(c->ChapterCount(), 2);
    EXPECT_EQ(c->Bookmark.TotalExercises, 2);
    EXPECT_EQ(c->Keyboard, "ALL");  // no keyboard line
    EXPECT_EQ(c->LessonTitles(false, false),
              (std::vector<std::string>{"1. Lesson 1", "2. Lesson 2"}));
    EXPECT_EQ(c->LessonTitles(true, false),
              (std::vector<std::string>{"<124>1: Lesson 1", "<124>2: Lesson 2"}));
    EXPECT_EQ(c->LessonTitles(false, true), (std::vector<std::string>{"Lesson 1", "Lesson 2"}));
}

TEST_F(Contents, OldVersionsMarkTheDescription) {
    for (const char* version : {"1.0", "1.10", "1.00", "2.0"}) {
        WriteLesson("old.cnt", std::string("$description=Old\n$version=") + version + "\n");
        auto c = TContents::IndexOnly("old.cnt");
        EXPECT_EQ(c->Description, std::string(version) == "2.0" ? "Old" : "Old<1691>") << version;
    }
}

TEST_F(Contents, StaticAndDynamicTotals) {
    struct Case {
        const char* keys;
        int duration;
        int total;
        bool defaultUsed;
    } cases[] = {
        {"durationsystem=static\nlessondurations=10,15,20\ndefaultduration=3\n", 2, 12 * 15 * 60,
         false},
        {"durationsystem=static\nlessondurations=10,15,20\ndefaultduration=3\n", -2, 12 * 20 * 60,
         true},
        // The default index points past the list: no duration rather than a wild read.
        {"durationsystem=static\nlessondurations=10,15\ndefaultduration=7\n", -2, 0, true},
        {"durationsystem=static\nlessondurations=10,15\n", 5, 0, false},
        {"", 15, 10800, false},
        {"", 0, 0, false},
    };
    for (const Case& c : cases) {
        WriteLesson("timed.cnt", std::string(c.keys) + Chapters(12));
        ClearEventClasses();
        auto course = TContents::ForStudy("timed.cnt", 0, c.duration);
        EXPECT_EQ(course->Bookmark.TotalDuration, c.total) << c.keys << c.duration;
        EXPECT_EQ(course->DefaultDurationUsed, c.defaultUsed) << c.keys << c.duration;
        CurrentUser()->keyProgression.clear();
    }
}

TEST_F(Contents, StaticDefaultTimeComesFromTheList) {
    WriteLesson("s.cnt", "durationsystem=static\nlessondurations=10,15,20\ndefaultduration=2\n");
    auto c = TContents::IndexOnly("s.cnt");
    EXPECT_EQ(c->DefaultTime, 15);
    EXPECT_EQ(c->RequestedStudyTime, 15);
    WriteLesson("s.cnt", "durationsystem=static\nlessondurations=10,15,20\ndefaultduration=0\n");
    EXPECT_EQ(TContents::IndexOnly("s.cnt")->DefaultTime, 0);
}

TEST_F(Contents, KeyboardLineReplacesTheLayout) {
    struct Case {
        std::string policy;
        std::string keyboard;
        std::string expectFile;
        std::string role;
    } cases[] = {
        {"", "keyboard=german.kbd\n", "german.kbd", "pri"},
        {"", "keyboard=ALL\n", "qwerty.kbd", "pri"},
        {"", "keyboard=\n", "qwerty.kbd", "pri"},
        {"keyboardlayout=dvorak.kbd\r\n", "keyboard=POLICY\n", "dvorak.kbd", ""},
        // An empty policy layout falls back to the user's chosen layout.
        {"", "keyboard=POLICY\n", "qwerty.kbd", ""},
        {"", "alternatekeyboards=1\nkeyboard=german.kbd\n", "qwerty.kbd", "alt"},
    };
    for (const Case& c : cases) {
        SetPolicy("DisableWindowsLayouts=1\r\n" + c.policy);
        CurrentUser()->layoutRole.clear();
        WriteLesson("kb.cnt", c.keyboard);
        auto course = TContents::ForStudy("kb.cnt", 0, -1);
        ASSERT_NE(CurrentLayout(), nullptr);
        EXPECT_NE(CurrentLayout()->fileName.find(c.expectFile), std::string::npos)
            << c.keyboard << " -> " << CurrentLayout()->fileName;
        EXPECT_EQ(CurrentUser()->layoutRole, c.role) << c.keyboard;
    }
}

TEST_F(Contents, NoSemicolonReplacementClearsTheLayoutsCharacter) {
    WriteLesson("kb.cnt", "nosemicolonreplacement=1\nkeyboard=qwerty.kbd\n");
    auto course = TContents::ForStudy("kb.cnt", 0, -1);
    EXPECT_EQ(CurrentLayout()->semicolonReplacement, 0);
}

TEST_F(Contents, MissingLayoutEndsTheProgram) {
    WriteLesson("kb.cnt", "keyboard=nosuch.kbd\n");
    TKeyDataExt* before = CurrentLayout();
    auto course = TContents::ForStudy("kb.cnt", 0, -1);
    EXPECT_NE(ui.LastText().find("nosuch.kbd not found!"), std::string::npos) << ui.LastText();
    EXPECT_EQ(ui.endProgramCalls.size(), 1u);
    EXPECT_EQ(CurrentLayout(), before);
}

TEST_F(Contents, IndexOnlyLoadsLeaveTheUserAndTheStudiedCourseAlone) {
    WriteLesson("a.cnt", "keyboard=german.kbd\nwizardname=W\n" + Chapters(3));
    WriteLesson("b.cnt", Chapters(2, "m"));
    TUser& user = *CurrentUser();
    user.SetInteger("Crs.A.KeyLevel", 2);
    user.SetInteger("Crs.B.KeyLevel", 7);
    auto studied = TContents::ForStudy("a.cnt", 0, -1);
    ASSERT_EQ(CurrentContents(), studied.get());
    const std::vector<std::string> progression = user.keyProgression;
    EXPECT_EQ(progression, (std::vector<std::string>{"k1", "k2", "k3"}));
    const int keyLevel = user.keyLevel;
    TKeyDataExt* layout = CurrentLayout();
    {
        auto preview = TContents::IndexOnly("b.cnt");
        EXPECT_EQ(preview->ChapterCount(), 2);
        EXPECT_EQ(preview->ChapterAt(2)->KeyLevel, 2);  // counted for display only
        EXPECT_EQ(preview->Bookmark.KeyLevel, 7);
        preview->Bookmark.Chapter = 2;
    }
    EXPECT_EQ(user.keyProgression, progression);
    EXPECT_EQ(user.keyLevel, keyLevel);
    EXPECT_EQ(CurrentLayout(), layout);
    EXPECT_EQ(CurrentContents(), studied.get());
    EXPECT_EQ(user.GetText("Crs.B.Chapter"), "");  // never saved
    {
        auto review = TContents::ForStudy("b.cnt", TBookMark::kReview, -1);
        EXPECT_EQ(CurrentContents(), studied.get());
    }
    EXPECT_EQ(CurrentContents(), studied.get());
    studied->Bookmark.Chapter = 3;
    studied.reset();
    EXPECT_EQ(CurrentContents(), nullptr);
    EXPECT_EQ(user.GetText("Crs.A.Chapter"), "3");  // a study load saves its place
}

TEST_F(Contents, FirstLessonRaisesTheKeyLevel) {
    WriteLesson("a.cnt", Chapters(3));
    CurrentUser()->keyLevel = 1;
    auto c = TContents::ForStudy("a.cnt", 0, -1);
    EXPECT_EQ(c->ChapterAt(1)->Exercises.front()->KeyLevel, 1);
    EXPECT_EQ(c->ChapterAt(3)->Exercises.front()->KeyLevel, 3);
    EXPECT_GE(CurrentUser()->keyLevel, 1);
}

TEST_F(Contents, MissingFileGivesItsStatusAndStudiesNothing) {
    auto c = TContents::ForStudy("nothere.cnt", 0, -1);
    EXPECT_EQ(c->Status(), -1);
    EXPECT_EQ(c->ChapterCount(), 0);
    bool pastEnd = false;
    EXPECT_EQ(c->Study(pastEnd), 1);
}

TEST_F(Contents, KeyboardBaseWarnsAboutAnotherLetterFamily) {
    WriteLesson("fr.cnt", "$description=French\nkeyboardbase=AZERTY\n" + Chapters(1));
    UseFakeEvents({"TEXT"});
    auto c = TContents::ForStudy("fr.cnt", 0, -1);
    Page(2);
    bool pastEnd = false;
    EXPECT_EQ(c->Study(pastEnd), 0);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.front().stringIds.front(), 330);
    EXPECT_NE(ui.messages.front().text.find("QWERTY"), std::string::npos);
    EXPECT_NE(ui.messages.front().text.find("French"), std::string::npos);
}

TEST_F(Contents, StudyWalksTheLessons) {
    WriteLesson("walk.cnt", Chapters(3));
    UseFakeEvents({"TEXT"});
    struct Case {
        std::vector<int> answers;  // lesson page answers, one per page shown
        int start;
        int result;
        int endChapter;
        bool pastEnd;
    } cases[] = {
        {{4, 4, 2}, 1, 0, 3, false},  // next, next, then Escape stops
        {{3, 2}, 2, 0, 1, false},     // previous lesson
        {{3, 3, 2}, 1, 0, 1, false},  // previous on the first stays on it
        {{5}, 2, 5, 2, false},        // course contents leaves at once
        {{8}, 1, 8, 1, false},        // change course
        {{4, 4, 4}, 1, 1, 4, true},   // next from the last lesson runs past the end
        {{0}, 2, 0, 2, false},        // closed from outside
    };
    for (const Case& c : cases) {
        auto course = TContents::ForStudy("walk.cnt", 0, -1);
        course->Bookmark.Chapter = c.start;
        for (int a : c.answers) Page(a);
        bool pastEnd = false;
        EXPECT_EQ(course->Study(pastEnd), c.result) << c.answers.size() << " start " << c.start;
        EXPECT_EQ(course->Bookmark.Chapter, c.endChapter);
        EXPECT_EQ(pastEnd, c.pastEnd);
        EXPECT_TRUE(pages.empty());
        pages.clear();
        CurrentUser()->keyProgression.clear();
    }
    EXPECT_TRUE(runs.empty());  // no page asked for an exercise
}

TEST_F(Contents, StudySetsPositionTextAndCaption) {
    WriteLesson("walk.cnt", Chapters(2));
    auto course = TContents::ForStudy("walk.cnt", 0, -1);
    Page(4);
    Page(2);
    bool pastEnd = false;
    course->Study(pastEnd);
    ASSERT_EQ(pagesShown.size(), 2u);
    EXPECT_EQ(pagesShown[0].caption, "<336>");
    EXPECT_EQ(pagesShown[1].caption, "<335>");
    EXPECT_EQ(course->Bookmark.PositionText, "<334>2<712>2");
    EXPECT_FALSE(pagesShown[0].previousAllowed);
    EXPECT_TRUE(pagesShown[0].nextAllowed);
    EXPECT_TRUE(pagesShown[1].previousAllowed);
    EXPECT_FALSE(pagesShown[1].nextAllowed);
}

TEST_F(Contents, BookmarkBeyondTheCourseStartsAgain) {
    WriteLesson("walk.cnt", Chapters(2));
    auto course = TContents::ForStudy("walk.cnt", 0, -1);
    course->Bookmark.Chapter = 9;
    bool pastEnd = false;
    EXPECT_EQ(course->Study(pastEnd), 1);
    EXPECT_EQ(course->Bookmark.Chapter, 1);
}

}  // namespace
}  // namespace corv::coursetest
