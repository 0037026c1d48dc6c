// The block events on the main window: a text given to the text view line by line or
// paragraph by paragraph, with source notes, pauses between blocks, progress by the text
// left, looping, and the paragraph exam with its criteria and record.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <cmath>
#include <filesystem>

#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "engine/BlockEvents.h"
#include "engine/tests/EngineTestSupport.h"
#include "platform/qt/QtText.h"
#include "views/BookForm.h"

namespace corv {
namespace {

using enginetest::EventTest;

TEST(BlockLines, EmptyNoteAndTextLines) {
    struct Case {
        const char* text;
        size_t from;
        TBlockLine::Kind kind;
        const char* line;
        size_t next;
    };
    const Case cases[] = {
        {"one two\r\nthree", 0, TBlockLine::kText, "one two", 9},
        {"one two\r\nthree", 9, TBlockLine::kText, "three", 14},  // the last line counts
        {"   \r\nx", 0, TBlockLine::kEmpty, "", 5},
        {"\r\n", 0, TBlockLine::kEmpty, "", 2},
        {"\"\xA4|w\"Jane Austen\r\nx", 0, TBlockLine::kNote, "\xA9 Jane Austen", 18},
        {"\"\xA4|\"no note\nx", 0, TBlockLine::kText, "\"\xA4|\"no note", 12},
        {"lf only\nx", 0, TBlockLine::kText, "lf only", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TBlockLine line = BlockLineAt(c.text, c.from);
        EXPECT_EQ(line.kind, c.kind);
        EXPECT_EQ(line.text, c.line);
        EXPECT_EQ(line.next, c.next);
    }
}

class BlockEvent : public EventTest {
  protected:
    BlockEvent() {
        std::filesystem::create_directories(root / "Database");
        test::WriteFile(root / "0.grp", "Name=Everybody\r\n");
    }
    ~BlockEvent() override {
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
    }
    void Install(const std::vector<std::string>& policy) {
        SetPolicy(policy);
        SetProgramSettings(TProgramSettings::Create(root.path()));
        SetCurrentUser(TUser::Create("Tess"));
        ASSERT_TRUE(CurrentUser());
    }
    void Keys(const std::string& text, int ms = 250) {
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
    // The words of the text view from the current one on.
    static std::string Shown(const TViewCanvas& view) {
        std::string words;
        for (const TWordInfo& w : view.Words) words += (words.empty() ? "" : " ") + w.Text;
        return words;
    }
};

TEST_F(BlockEvent, ASentenceTextShowsLineByLineWithItsSourceNote) {
    const std::string text =
        "\"\xA4|w\"Jane Austen, Pride and Prejudice\r\n"
        "It is a truth universally acknowledged.\r\n"
        "\r\n   \r\n"
        "A single man must be in want of a wife.\r\n";
    WriteLesson("austen.txt", text);
    // The note counts as done once its line is shown.
    const int noteShare = static_cast<int>(std::lround(100.0 * text.find("It") / text.size()));
    TResultItem result;
    TSentenceEvent event("Event=SENTENCE;0;FILE:austen.txt");
    event.ResultItem = &result;
    h.Do([&] {
        EXPECT_EQ(Shown(*event.TextView), "It is a truth universally acknowledged.");
        EXPECT_EQ(h.TextOf("CopyrightLbl"), "\xA9 Jane Austen, Pride and Prejudice");
        EXPECT_EQ(event.TextView->FontPoints(), 20);
        EXPECT_EQ(event.TextView->height(), 200);
        EXPECT_EQ(event.ProgressPercent(), noteShare);
    });
    h.Screenshot("source-note");
    Keys("It is a truth universally acknowledged. ");
    h.Do([&] {
        EXPECT_EQ(event.EventState, kEventPaused) << "between two blocks";
        EXPECT_EQ(Shown(*event.TextView), "A single man must be in want of a wife.")
            << "the empty lines were skipped";
        EXPECT_EQ(h.TextOf("CopyrightLbl"), "") << "the note belongs to the first line";
        EXPECT_FALSE(result.Completed);
    });
    Keys("A");
    h.Do([&] { EXPECT_EQ(event.EventState, kEventRunning) << "the next key resumes"; });
    Keys(" single man must be in want of a wife. ");
    h.Do([&] {
        EXPECT_EQ(event.EventState, kEventFinished);
        EXPECT_EQ(event.ProgressShown, 100);
        EXPECT_TRUE(result.Completed);
    });
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(event), 1);
    EXPECT_EQ(result.Mode, "CT");
}

TEST_F(BlockEvent, ProgressFollowsTheTextLeftAndALoopStartsAgain) {
    TParagraphEvent event("Event=PARAGRAPH;0;abcd efgh\r\nabcd efgh\r\nabcd efgh\r\nabcd efgh\r\n");
    TResultItem result;
    event.ResultItem = &result;
    event.LoopText = true;
    Keys("abcd efgh ");
    h.Do([&] {
        EXPECT_EQ(event.ProgressShown, 25);
        EXPECT_EQ(h.TextOf("CopyrightLbl"), "");
    });
    Keys("abcd efgh abcd efgh abcd efgh ");
    h.Do([&] {
        EXPECT_TRUE(result.Completed) << "the end was reached";
        EXPECT_NE(event.EventState, kEventFinished) << "and the text starts again";
        EXPECT_EQ(event.BlockStart, 0u);
        EXPECT_EQ(Shown(*event.TextView), "abcd efgh");
    });
    Keys("abcd efgh ");
    h.Do([&] { EXPECT_EQ(event.ProgressShown, 25); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
}

TEST_F(BlockEvent, TextsWithNothingToTypeEndAtOnce) {
    for (const char* text : {"", "\r\n  \r\n", "\"\xA4|w\"only a note\r\n"}) {
        for (bool loop : {false, true}) {
            SCOPED_TRACE(std::string(text) + (loop ? " looping" : ""));
            TResultItem result;
            TParagraphEvent line(std::string("Event=PARAGRAPH;0;NIL"));
            line.Text = text;
            line.LoopText = loop;
            line.ResultItem = &result;
            h.Do([&] {
                EXPECT_EQ(line.EventState, kEventFinished);
                EXPECT_EQ(line.ProgressPercent(), 100) << "nothing is left";
            });
            h.Key(Qt::Key_Return);
            EXPECT_EQ(Run(line), 1);

            TEasyExamEvent paragraph(std::string("Event=EASYEXAM;0;NIL"));
            paragraph.Text = text;
            paragraph.LoopText = loop;
            h.Do([&] { EXPECT_EQ(paragraph.EventState, kEventFinished); });
            h.Key(Qt::Key_Return);
            EXPECT_EQ(Run(paragraph), 1);
        }
    }
}

TEST_F(BlockEvent, AParagraphExamShowsSixLinesAtMostAndKeepsItsRecord) {
    Install({"BASICS.chapter_min_speed=10", "BASICS.chapter_min_accuracy=80",
             "BASICS.chapter_min_rhythm=0", "BASICS.chapter_exam_duration=0"});
    std::string text;
    for (int i = 1; i <= 8; ++i) text += "line " + std::to_string(i) + " of the text\r\n";
    text += "\r\n\r\n\"\xA4|w\"skipped\r\nlast one here\r\n";
    WriteLesson("exam.txt", text);
    TResultItem result;
    result.Index = CurrentUser()->Results().NextIndex();
    TEasyExamEvent event("Event=EASYEXAM;0;FILE:exam.txt");
    event.ResultItem = &result;
    event.ResultKind = "EASYEXAM";
    event.CourseId = "BASICS";
    h.Do([&] {
        EXPECT_TRUE(event.IsExam);
        EXPECT_TRUE(event.EnterAtLineEnd);
        EXPECT_EQ(event.Criteria.MinNetSpeed, 50);
        EXPECT_EQ(event.Criteria.MinAccuracy, 80);
        EXPECT_EQ(event.Paragraph.substr(0, 20), "line 1 of the text\rl");
        EXPECT_EQ(std::count(event.Paragraph.begin(), event.Paragraph.end(), '\r'), 6);
        EXPECT_TRUE(h.IsShown("TypeHerePanel"));
        EXPECT_FALSE(h.IsShown("CopyrightLbl"));
        EXPECT_EQ(event.TextView->FontPoints(), 17);
        EXPECT_EQ(event.TextView->Words.back().Line, 6) << "six lines on the page";
        EXPECT_LE(event.TypingBox->geometry().bottom(), 335) << "room for the keyboard";
    });
    h.Screenshot("paragraph");
    for (int i = 1; i <= 6; ++i) Keys("line " + std::to_string(i) + " of the text\r");
    h.Do([&] {
        EXPECT_EQ(event.EventState, kEventPaused);
        EXPECT_EQ(event.Paragraph, "line 7 of the text\rline 8 of the text\r");
        EXPECT_EQ(event.TypingBox->Words.size(), 1u) << "the box starts afresh";
        EXPECT_EQ(event.TypingBox->Words[0].Text, "");
        EXPECT_EQ(event.ProgressShown, 100 * 6 * 20 / static_cast<int>(text.size()));
    });
    Keys("line 7 of the text\rline 8 of the text\r");
    h.Do([&] {
        EXPECT_EQ(event.Paragraph, "last one here\r") << "no empty paragraph, no note";
        EXPECT_EQ(event.EventState, kEventPaused);
    });
    Keys("last one herr\r");
    h.Do([&] { EXPECT_EQ(event.EventState, kEventFinished); });
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(event), 1);
    EXPECT_EQ(result.Kind, "TEST");
    EXPECT_EQ(result.Mode, "PG");
    EXPECT_TRUE(result.Completed);
    EXPECT_TRUE(result.Valid);
    EXPECT_EQ(result.ErrorHits, 1);
    TTypedTexts record;
    ASSERT_EQ(record.Load(TypedTextsPath(result.Index)), 1);
    ASSERT_GT(record.Count(), 0u);
    EXPECT_EQ(record.Get(0)->Expected, "line");
    EXPECT_EQ(CurrentUser()->GetText("StoryPointer"), "0");
}

TEST_F(BlockEvent, AParagraphExamTakesItsDurationFromThePolicy) {
    Install({"BASICS.chapter_exam_duration=3"});
    TEasyExamEvent event("Event=EASYEXAM;0;one two\r\nthree four\r\n");
    event.CourseId = "BASICS";
    h.Do([&] {
        EXPECT_EQ(event.TimeLimit, 180);
        EXPECT_EQ(h.TextOf("TimeLabel"), "[3:00]");
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
}

}  // namespace
}  // namespace corv
