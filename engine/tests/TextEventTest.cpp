// The text events on the main window: keys typed through its key hook on a clock moved by
// hand, the words judged, the screens as the user sees them, and the results, exam
// verdicts, typed-text records and learning-management values they leave.

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <filesystem>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "engine/TextEvents.h"
#include "engine/analysis/Analyzer.h"
#include "engine/tests/EngineTestSupport.h"
#include "platform/qt/QtText.h"
#include "views/BookForm.h"

namespace corv {
namespace {

using enginetest::EventTest;

constexpr int kKeyMs = 300;

class TextEvent : public EventTest {
  protected:
    TextEvent() {
        std::filesystem::create_directories(root / "Database");
        test::WriteFile(root / "0.grp", "Name=Everybody\r\n");
        test::WriteFile(root / "Error.wav", "RIFF");
        SetSound(kSoundError, root / "Error.wav");
        SetPolicy({"Sounds=1"});
    }
    ~TextEvent() override {
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        TypingHooks() = TypingServices();
    }

    // Policy lines, then the folders and a user "Tess" (the policy must be there first).
    void Install(const std::vector<std::string>& policy) {
        SetPolicy(policy);
        SetProgramSettings(TProgramSettings::Create(root.path()));
        ASSERT_TRUE(ProgramSettings());
        SetCurrentUser(TUser::Create("Tess"));
        ASSERT_TRUE(CurrentUser());
    }

    static void SendKey(QWidget* receiver, char c) {
        int key = 0;
        QString text = ToQt(std::string(1, c));
        if (c == '\r')
            key = Qt::Key_Return;
        else if (c == 8)
            key = Qt::Key_Backspace;
        else if (c == ' ')
            key = Qt::Key_Space;
        else
            key = text.at(0).toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(receiver, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(receiver, &release);
    }

    // Each key through the main window's key hook, the clock moving ms before it.
    TextEvent& Keys(const std::string& text, int ms = kKeyMs) {
        h.Do(
            [this, text, ms] {
                for (char c : text) {
                    clock.Advance(ms);
                    SendKey(h.Window().KeyReceiver(), c);
                }
                QApplication::processEvents();
            },
            "keys");
        return *this;
    }

    int Run(TTimedEvent& event) {
        return h.Run([&event] { return event.Execute(); });
    }

    int ErrorSounds() const {
        return static_cast<int>(
            std::count(shell.played.begin(), shell.played.end(), root / "Error.wav"));
    }

    std::string Label(QLabel* l) { return FromQt(l->text()); }
};

const char kStory[] =
    "The quick brown fox\r\njumps over the lazy dog.\r\nPack my box with\r\nfive dozen jugs.\r\n"
    "$loop$";

TEST_F(TextEvent, AWholeTextTypedThroughTheMainWindowGivesItsFigures) {
    WriteLesson("story.txt", kStory);
    TTextEvent2 event("Event=TEXT2;0;FILE:story.txt");
    TResultItem result;
    event.ResultItem = &result;
    event.ResultKind = "TEXT2";
    h.Do([&] {
        EXPECT_TRUE(event.EnterAtLineEnd);
        EXPECT_TRUE(h.IsShown("TypeHerePanel"));
        EXPECT_TRUE(h.IsShown("DividerLine"));
        EXPECT_EQ(event.TextView->WordAt(0), "The");
    });
    Keys("The quick fox\r");  // brown skipped
    h.Do([&] {
        EXPECT_FALSE(h.IsShown("TypeHerePanel")) << "gone with the first key";
        EXPECT_EQ(event.EventState, kEventRunning);
        EXPECT_EQ(event.TextView->WordAt(0), "jumps");
        EXPECT_EQ(event.TypingBox->Words.back().Line, 2) << "Enter started a new line";
    });
    Keys("jumps over the the lazy dog.\r");  // the second "the" repeats the previous word
    Keys("pack my box with\r");              // a case error
    Keys("five dozex");
    Keys("\b");
    Keys("n jugs.\r");
    h.Do([&] {
        EXPECT_EQ(event.EventState, kEventFinished) << "the text ended";
        EXPECT_TRUE(h.IsShown("EventMsg"));
        EXPECT_EQ(Label(event.Storage->EventMsgText), Str(127) + "\n" + Str(128));
        EXPECT_FALSE(event.TypingBox->isEnabled());
        EXPECT_EQ(event.ProgressShown, 100);
    });
    h.Screenshot("finished");
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(event), 1);

    // Every line ended with Enter; only the first Enter sounded, as brown was due then.
    EXPECT_EQ(ErrorSounds(), 1);
    EXPECT_EQ(result.Kind, "TEXT");
    EXPECT_EQ(result.Mode, "CT");
    EXPECT_TRUE(result.Valid);
    EXPECT_TRUE(result.Passed);
    EXPECT_TRUE(result.Completed);
    // 79 keys, 300 ms apart, from the first to the last: 23.4 s.
    EXPECT_EQ(result.TypingSeconds, 23);
    EXPECT_EQ(result.CharsPerWord, 5);
    // Characters: every word's shorter length + 1; brown counts in, the repeated the only
    // by the one character its taking-out leaves.
    EXPECT_EQ(result.TotalHits, 79);
    EXPECT_EQ(result.ErrorHits, 3) << "brown, the again, pack";
    EXPECT_EQ(result.GrossSpeed, 79 * 60 / 23);
    EXPECT_EQ(result.NetSpeed, (79 - 15) * 60 / 23);
    EXPECT_EQ(result.Accuracy, 81);
    EXPECT_EQ(result.Efficiency, 57);
    EXPECT_EQ(result.Rhythm, 100) << "every key came 300 ms after the one before";
    EXPECT_GE(result.DifficultKeyScore, 0);
    EXPECT_FALSE(result.StudyingTip.empty());
    EXPECT_EQ(event.StoryPointer, 0) << "the text was typed to its end";
}

TEST_F(TextEvent, LineEndsMustBeTypedWithEnter) {
    WriteLesson("two.txt", "one two\r\nthree four\r\n");
    TTextEvent2 event("Event=TEXT2;0;FILE:two.txt");
    Keys("one\r");  // Enter in the middle of a line
    h.Do([&] {
        EXPECT_EQ(ErrorSounds(), 1);
        EXPECT_EQ(event.TypingBox->Words.back().Line, 2);
    });
    Keys("two ");  // Space at the line end
    h.Do([&] {
        EXPECT_EQ(ErrorSounds(), 2);
        EXPECT_EQ(event.TypingBox->Words[1].Text, "two");
        EXPECT_EQ(event.TypingBox->Words[1].Decoration, 1) << "the missing Enter is an error";
        EXPECT_EQ(Analysis().Efficiency().ErrorWords, 1);
        EXPECT_EQ(event.TextView->WordAt(0), "three");
    });
    Keys("\r");  // Enter on an empty typing box
    h.Do([&] { EXPECT_EQ(ErrorSounds(), 3); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
}

TEST_F(TextEvent, BackspaceOnNothingOrWhenPreventedOnlySounds) {
    for (bool prevented : {false, true}) {
        SCOPED_TRACE(prevented);
        SetPolicy({prevented ? "Prevent_Backspace=1" : "Sounds=1"});
        shell.played.clear();
        TTextEvent event("Event=TEXT;0;alpha beta gamma");
        Keys("\b");
        h.Do([&] {
            EXPECT_EQ(ErrorSounds(), 1);
            EXPECT_EQ(event.TypingBox->TypedWord(), "");
        });
        Keys("alx\b");
        h.Do([&] {
            EXPECT_EQ(ErrorSounds(), prevented ? 2 : 1);
            EXPECT_EQ(event.TypingBox->TypedWord(), prevented ? "alx" : "al");
        });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(Run(event), 2);
    }
}

TEST_F(TextEvent, OnlyCharactersWithAWindows1252FormArrive) {
    TTextEvent event("Event=TEXT;0;caf\xE9 na\xEFve");
    h.Do([&] {
        QWidget* box = h.Window().KeyReceiver();
        ASSERT_EQ(box, event.TypingBox) << "the typing box has the focus";
        auto send = [box](int key, const QString& text) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(box, &press);
        };
        send(Qt::Key_C, "c");
        send(Qt::Key_A, "a");
        send(Qt::Key_F, "f");
        send(Qt::Key_Dead_Acute, QString());  // a dead key alone types nothing
        send(Qt::Key_Eacute, QString(QChar(0xE9)));
        send(0, QString(QChar(0x0142)));  // no Windows-1252 form: ignored
        EXPECT_EQ(event.TypingBox->TypedWord(), "caf\xE9");
        send(Qt::Key_Space, " ");
        // A character composed by an input method comes the same way.
        for (const char* part : {"na", "\xC3\xAF", "ve"}) {
            QInputMethodEvent composed;
            composed.setCommitString(QString::fromUtf8(part));
            QCoreApplication::sendEvent(box, &composed);
        }
        EXPECT_EQ(event.TypingBox->TypedWord(), "na\xEFve");
        EXPECT_EQ(Analysis().Efficiency().ErrorWords, 0);
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
}

TEST_F(TextEvent, AnEmptyTextEndsAtTheFirstWord) {
    TResultItem result;
    TTextEvent event("Event=TEXT;0");
    event.ResultItem = &result;
    h.Do([&] {
        EXPECT_TRUE(event.TextView->AtEnd());
        EXPECT_EQ(event.ProgressPercent(), 0);
    });
    Keys("abc ");
    h.Do([&] { EXPECT_EQ(event.EventState, kEventFinished); });
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(event), 1);
    EXPECT_FALSE(result.Valid);
    EXPECT_EQ(result.TypingSeconds, 1);
}

TEST_F(TextEvent, ARunningEventPausesAfterFiveQuietSecondsAndTheNextKeyResumes) {
    TTextEvent event("Event=TEXT;0;one two three");
    Keys("on");
    h.Do([&] {
        clock.Advance(5000);
        event.Tick();
        EXPECT_EQ(event.EventState, kEventPaused);
    });
    Keys("e ");
    h.Do([&] {
        EXPECT_EQ(event.EventState, kEventRunning);
        EXPECT_EQ(event.TextView->WordAt(0), "two");
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
}

TEST_F(TextEvent, TheRhythmLightFollowsTheKeys) {
    SetPolicy({"Rhythm=1"});
    TTextEvent event("Event=TEXT;0;the quick brown fox jumps over the lazy dog again and again");
    h.Do([&] {
        EXPECT_TRUE(h.IsShown("RhythmLight"));
        EXPECT_TRUE(h.IsShown("RhythmTitle"));
        EXPECT_EQ(event.RhythmLight->Captions()[0], Str(266));
        EXPECT_EQ(event.RhythmLight->State(), 0);
    });
    Keys("the quick brown fox ");
    h.Do([&] { EXPECT_EQ(event.RhythmLight->State(), 1) << "an even rhythm"; });
    // Alternating 100 ms and 1.3 s keys are as uneven as typing gets.
    for (int i = 0; i < 12; ++i) Keys(i % 2 ? "jumps" : "over ", i % 2 ? 100 : 1300);
    h.Do([&] { EXPECT_GE(event.RhythmLight->State(), 2); });
    h.Screenshot("uneven");
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
    SetPolicy({"Sounds=1"});
    TTextEvent quiet("Event=TEXT;0;abc");
    h.Do([&] { EXPECT_FALSE(h.IsShown("RhythmLight")); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(quiet), 2);
}

std::string LongText() {
    std::string text;
    const char* words[] = {"river", "stone", "maple", "quiet", "amber", "lantern", "harbor"};
    for (int i = 0; i < 160; ++i) text += std::string(words[i % 7]) + (i % 8 == 7 ? "\r\n" : " ");
    return text;
}

TEST_F(TextEvent, AChapterExamJudgesRecordsAndReports) {
    Install({"ENGLISH.chapter_min_speed=30", "ENGLISH.chapter_min_accuracy=90",
             "ENGLISH.chapter_min_rhythm=10"});
    WriteLesson("exam.txt", LongText());
    TResultItem result;
    result.Index = CurrentUser()->Results().NextIndex();
    result.Chapter = 2;
    TExamEvent event("Event=EXAM;0;FILE:exam.txt", false);
    event.ResultItem = &result;
    event.ResultKind = "EXAM";
    event.CourseId = "ENGLISH";
    h.Do([&] {
        EXPECT_EQ(event.Criteria.MinNetSpeed, 150);
        EXPECT_EQ(event.Criteria.MinAccuracy, 90);
        EXPECT_TRUE(event.IsExam);
        EXPECT_EQ(event.AutoPauseSeconds, 0) << "exams never pause";
        EXPECT_TRUE(h.IsShown("TypeHerePanel"));
    });
    h.Screenshot("ready");
    // Twelve lines of eight words: the typing box fills and scrolls, the text turns a page.
    const std::string text = LongText();
    size_t pos = 0;
    for (int line = 0; line < 12; ++line) {
        const size_t end = text.find("\r\n", pos);
        std::string typed = text.substr(pos, end - pos);
        if (line == 1) typed.replace(typed.find("amber"), 5, "ambre");  // one wrong word
        Keys(typed + "\r", 150);
        pos = end + 2;
    }
    h.Do([&] {
        EXPECT_FALSE(event.Storage->PauseBtn->isVisible());
        const TTypingCanvas& box = *event.TypingBox;
        EXPECT_GT(box.CurrentLine, 1);
        EXPECT_EQ(box.Words.back().Line, box.CurrentLine);
        // Scrolled: the first lines typed are gone from the box.
        EXPECT_EQ(box.CurrentLine, box.Words.back().Line);
        EXPECT_NE(box.Words.front().Text, "river");
        EXPECT_GT(event.TextView->PageStart, 0) << "on the second page";
        EXPECT_EQ(event.TextView->WordAt(0), "lantern");
        clock.Advance(5000);
        event.Tick();
        EXPECT_EQ(event.EventState, kEventRunning);
    });
    h.Screenshot("scrolled");
    h.Click("NextEventBtn");
    EXPECT_EQ(Run(event), 3);

    EXPECT_EQ(result.Kind, "TEST");
    EXPECT_TRUE(result.Valid);
    EXPECT_TRUE(result.Passed) << result.StudyingTip;
    EXPECT_EQ(result.StudyingTip, Str(375));
    EXPECT_EQ(result.ErrorHits, 1);
    TUser& user = *CurrentUser();
    EXPECT_EQ(user.GetText("corvlms.exampassed"), "2") << "every criterion met";
    EXPECT_EQ(user.GetText("corvlms.netspeed"), "int: " + std::to_string(result.NetSpeed));
    EXPECT_EQ(user.GetText("corvlms.grossspeed"), "int: " + std::to_string(result.GrossSpeed));
    EXPECT_EQ(user.GetText("corvlms.timespent"), "int: " + std::to_string(result.TypingSeconds));
    EXPECT_EQ(user.GetText("corvlms.errorhits"), "int: 1");
    EXPECT_EQ(user.GetText("corvlms.totalhits"), "int: " + std::to_string(result.TotalHits));
    EXPECT_EQ(user.GetText("corvlms.accuracy").rfind("double: ", 0), 0u);
    // Stopped at the start of the thirteenth line (just after its line break): the next
    // exam starts there.
    EXPECT_EQ(event.StoryPointer, static_cast<int32_t>(pos) - 1);
    EXPECT_EQ(user.GetInteger("StoryPointer"), event.StoryPointer);

    TTypedTexts record;
    ASSERT_EQ(record.Load(TypedTextsPath(result.Index)), 1);
    EXPECT_NE(TypedTextsPath(result.Index).find("Tess.TT" + std::to_string(result.Index)),
              std::string::npos);
    ASSERT_EQ(record.Count(), 96u + 11u) << "96 words and 11 line breaks";
    EXPECT_EQ(record.Get(0)->Expected, "river");
    EXPECT_EQ(record.Get(0)->Typed, "\x0B");
    EXPECT_EQ(record.Get(8)->Expected, "\r") << "the line break before the second line";
    EXPECT_EQ(record.Get(9 + 3)->Expected, "amber");
    EXPECT_EQ(record.Get(9 + 3)->Typed, "ambre");
}

TEST_F(TextEvent, ExamCriteriaThatFailAreListedAndTheExamIsNotPassed) {
    Install({"ENGLISH.chapter_min_speed=200", "ENGLISH.chapter_min_accuracy=100"});
    for (bool cpm : {false, true}) {
        SCOPED_TRACE(cpm ? "cpm" : "wpm");
        CurrentUser()->SetBool("cpm", cpm);
        TResultItem result;
        result.Chapter = 3;
        TExamEvent event("Event=EXAM;0;" + LongText(), false);
        event.ResultItem = &result;
        event.ResultKind = "EXAM";
        event.CourseId = "ENGLISH";
        Keys("river stone maple quiet ambre lantern harbor ", 400);
        h.Do([&] { clock.Advance(9000); });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(Run(event), 2);
        EXPECT_TRUE(result.Valid);
        EXPECT_FALSE(result.Passed);
        // The minimum in the user's own unit.
        const std::string minimum = cpm ? "1000 " + Str(209) : "200 " + Str(208);
        EXPECT_EQ(result.StudyingTip,
                  Str(261) + "100%\r\r" + Str(262) + minimum + " (" + Str(586) + ")\r\r");
        EXPECT_EQ(CurrentUser()->GetText("corvlms.exampassed"), "0");
    }
}

TEST_F(TextEvent, ReducedGraphicsGiveALowWhiteTypingBox) {
    h.Window().SetLowColour(true);
    TTextEvent event("Event=TEXT;0;one two three");
    h.Do([&] {
        EXPECT_EQ(event.TypingBox->height(), 120);
        EXPECT_EQ(event.TypingBox->Background, QColor(255, 255, 255));
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
    h.Window().SetLowColour(false);
}

TEST_F(TextEvent, TooLittleTypingInAnExamIsNeverAPass) {
    Install({"Sounds=1"});
    TResultItem result;
    result.Chapter = 1;
    TExamEvent event("Event=EXAM;0;one two three four five six", false);
    event.ResultItem = &result;
    event.ResultKind = "EXAM";
    Keys("one two three four five six\r");
    h.Key(Qt::Key_Return);
    EXPECT_EQ(Run(event), 1);
    EXPECT_TRUE(result.Completed);
    EXPECT_FALSE(result.Valid) << "under ten seconds";
    EXPECT_FALSE(result.Passed);
    EXPECT_EQ(result.Kind, "TEST");
    EXPECT_EQ(CurrentUser()->GetText("corvlms.exampassed"), "");
    EXPECT_EQ(CurrentUser()->GetText("corvlms.netspeed"), "");
}

TEST_F(TextEvent, AnInternalExamTakesItsCriteriaFromALongLine) {
    Install({"Sounds=1"});
    // The text makes the line far longer than 255 characters; fields 5 to 9 come after it.
    const std::string text = LongText();
    ASSERT_GT(text.size(), 300u);
    struct Case {
        const char* mustTypeAll;
        bool loops, failsUnfinished;
    } cases[] = {{"1", true, true}, {"2", true, false}, {"0", false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mustTypeAll);
        TResultItem result;
        result.Chapter = 1;
        TExamEvent event("Event=EXAMINTERNAL;1;" + text + ";Exam;2;10;0;1;" + c.mustTypeAll, true);
        event.ResultItem = &result;
        event.ResultKind = "EXAMINTERNAL";
        event.TimeLimit = 60;
        bool keypadOff = false;
        TypingHooks().setKeypadMode = [&keypadOff](bool on) { keypadOff = !on; };
        h.Do([&] {
            EXPECT_TRUE(keypadOff);
            EXPECT_EQ(event.Criteria.MinGrossSpeed, 10);
            EXPECT_EQ(event.Criteria.MinAccuracy, 10);
            EXPECT_EQ(event.Criteria.MinNetSpeed, 5);
            EXPECT_EQ(event.LoopText, c.loops);
            EXPECT_FALSE(h.IsShown("PauseBtn"));
        });
        Keys("river stone maple quiet amber lantern ", 400);
        h.Do([&] { EXPECT_FALSE(event.Storage->PauseBtn->isVisible()) << "exams never pause"; });
        h.Key(Qt::Key_Escape);
        EXPECT_EQ(Run(event), 2);
        EXPECT_TRUE(result.Valid);
        EXPECT_EQ(result.Passed, !c.failsUnfinished) << result.StudyingTip;
        if (c.failsUnfinished) {
            EXPECT_EQ(result.StudyingTip, Str(265) + "\r\r");
        }
    }
}

TEST_F(TextEvent, ALoopingTextStartsAgainAndSkipsTheRestartInterval) {
    Install({"Rhythm=1"});
    TExamEvent event("Event=EXAMINTERNAL;1;alpha beta;Exam;0;0;0;0;2", true);
    event.TimeLimit = 600;
    Keys("alpha beta ");
    int before = -1;
    h.Do([&] {
        before = Analysis().DeviationMeter().TotalCount;
        EXPECT_EQ(event.EventState, kEventRunning) << "loops instead of finishing";
        EXPECT_EQ(event.TextView->WordAt(0), "alpha");
        EXPECT_TRUE(event.TextRestarted);
        EXPECT_EQ(event.ProgressShown, 0) << "back at the start";
    });
    Keys("a", 4000);
    h.Do([&] {
        EXPECT_FALSE(event.TextRestarted);
        EXPECT_EQ(Analysis().DeviationMeter().TotalCount, before) << "not measured";
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
}

TEST_F(TextEvent, AChapterExam2TakesItsDurationFromThePolicy) {
    Install({"ENGLISH.chapter_exam_duration=10", "ENGLISH.chapter_min_speed=20"});
    TExamEvent2 event("Event=EXAM2;5;" + LongText());
    event.CourseId = "ENGLISH";
    event.ResultKind = "EXAM2";
    event.TimeLimit = 300;
    h.Do([&] {
        EXPECT_EQ(event.TimeLimit, 600);
        EXPECT_EQ(Label(event.Storage->TimeLabel), "[10]");
        EXPECT_EQ(event.Criteria.MinNetSpeed, 100);
        EXPECT_TRUE(event.IsExam);
        EXPECT_TRUE(event.EnterAtLineEnd);
        EXPECT_TRUE(event.TypedTexts != nullptr);
    });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
}

// A drill on the character base: which keys count and what the result says.
class Drill : public TCustomTypingEvent2 {
  public:
    using TCustomTypingEvent2::TCustomTypingEvent2;
    void Setup() override {
        TCustomTypingEvent2::Setup();
        DrillView->SetMode(TViewCanvas::kCharacterMode);
    }
    void FormKeyPress(QObject* sender, char& key) override {
        if (key == 27) return;
        ExpectedChar = DrillView->ExpectedChar();
        TCustomTypingEvent2::FormKeyPress(sender, key);
        if (key && LastKeyAccepted()) {
            DrillView->Advance();
            if (EventState == kEventReady) Start();
        }
        key = 0;
    }
};

TEST_F(TextEvent, CharacterDrillsAcceptTheExpectedKeyAndSpaceForEnter) {
    TResultItem result;
    Drill drill("Event=KEYB2;0;ab cd\r\nef gh ij kl mn");
    drill.ResultItem = &result;
    h.Do([&] { EXPECT_EQ(drill.DrillView->ExpectedChar(), 'a'); });
    Keys("ax");
    h.Do([&] {
        EXPECT_FALSE(drill.LastKeyAccepted());
        EXPECT_EQ(drill.TypedKeys, "ax");
        EXPECT_EQ(drill.AcceptedKeys, "a");
    });
    Keys("b cd ef");  // Space for the Enter at the line end
    h.Do([&] {
        EXPECT_EQ(drill.DrillView->ExpectedChar(), ' ');
        EXPECT_EQ(Analysis().Efficiency().WordsTyped, 2);
        EXPECT_EQ(Analysis().Efficiency().ErrorWords, 1) << "ab typed with an x";
    });
    Keys(" gh ij kl", 2000);
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(drill), 2);
    EXPECT_EQ(result.Kind, "TEXT");
    EXPECT_EQ(result.Mode, "C2");
    EXPECT_TRUE(result.Valid);
    EXPECT_GT(result.TypingSeconds, 10);

    // Strictly, only Enter ends the line.
    Drill strict("Event=KEYB2;0;ab\r\ncd");
    strict.StrictSpaceEnter = true;
    Keys("ab ");
    h.Do([&] {
        EXPECT_FALSE(strict.LastKeyAccepted());
        EXPECT_EQ(strict.DrillView->ExpectedChar(), '\r');
    });
    Keys("\r");
    h.Do([&] { EXPECT_TRUE(strict.LastKeyAccepted()); });
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(strict), 2);
}

TEST_F(TextEvent, AShortDrillIsNotValidButKeepsItsSeconds) {
    TResultItem result;
    Drill drill("Event=KEYB2;0;ab cd");
    drill.ResultItem = &result;
    Keys("ab c", 3000);
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(drill), 2);
    EXPECT_FALSE(result.Valid);
    EXPECT_EQ(result.TypingSeconds, 9);
}

TEST_F(TextEvent, ARunningTextEventLooksRight) {
    SetPolicy({"Rhythm=1"});
    TTextEvent event("Event=TEXT;0;" + LongText());
    Keys("river stone mapel quiet amber lantern harbor river stone ma");
    h.Do([&] {
        EXPECT_EQ(event.TextView->WordAt(0), "maple");
        EXPECT_EQ(Label(event.Storage->TimeLabel), std::to_string(event.ProgressPercent()) + " %");
    });
    h.Screenshot("typing");
    h.Key(Qt::Key_Escape);
    EXPECT_EQ(Run(event), 2);
}

}  // namespace
}  // namespace corv
