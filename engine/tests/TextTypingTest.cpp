// The screen-less decisions of the text events: which word a typed word belongs to,
// skipped and repeated words, the typed-text record, the result figures and the exam's
// criteria and verdict.

#include <gtest/gtest.h>

#include "core/Localize.h"
#include "core/Settings.h"
#include "data/Results.h"
#include "engine/Event.h"
#include "engine/TextTyping.h"
#include "engine/TypedTexts.h"
#include "engine/analysis/Analyzer.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

// A text as a plain list of words; true in lineEnds marks a word that ends a line.
class WordList : public ITextCursor {
  public:
    WordList(std::vector<std::string> words, std::vector<bool> lineEnds = {})
        : words_(std::move(words)), ends_(std::move(lineEnds)) {
        ends_.resize(words_.size());
    }
    std::string WordAt(int k) const override {
        const int i = index + k;
        return i >= 0 && i < static_cast<int>(words_.size()) ? words_[static_cast<size_t>(i)]
                                                             : std::string();
    }
    bool CurrentEndsLine() const override {
        return index < static_cast<int>(ends_.size()) && ends_[static_cast<size_t>(index)];
    }
    void Advance() override { ++index; }
    int index = 0;

  private:
    std::vector<std::string> words_;
    std::vector<bool> ends_;
};

class TextTyping : public ::testing::Test {
  protected:
    TextTyping() {
        Localization().LoadFile(CORV_SOURCE_DIR "/install/language.eng", TLocalize::kBase);
        Analyzer_Reset();
    }
    ~TextTyping() override {
        FreeAnalysis();
        CorvSettings::CloseAll();
    }
    // Types the words, each ended with Space.
    std::vector<TTypedWord> TypeWords(WordList& text, const std::vector<std::string>& typed,
                                      TTypedTexts* typedRecord = nullptr) {
        std::vector<TTypedWord> out;
        for (const std::string& w : typed)
            out.push_back(judge.WordTyped(text, w, ' ', false, typedRecord));
        return out;
    }
    TEfficiencyInfo& Figures() { return Analysis().Efficiency(); }

    TTextTyping judge;
    TTypedTexts record;
};

TEST(WordMatch, AClearlyBetterMatchElsewhereWins) {
    struct Case {
        int a, b, c, d;
        TWordMatch match;
    } cases[] = {
        {0, 0, 0, 0, TWordMatch::kDue},
        {100, 0, 100, 100, TWordMatch::kSkippedOne},
        {25, 0, 100, 100, TWordMatch::kSkippedOne},  // 0 < 25 - 20
        {20, 0, 100, 100, TWordMatch::kDue},         // not 20 better
        {100, 41, 100, 100, TWordMatch::kDue},       // the next word is no match either
        {100, 40, 100, 0, TWordMatch::kSkippedOne},  // skipping is asked first
        {100, 100, 5, 100, TWordMatch::kSkippedTwo},
        {100, 100, 6, 100, TWordMatch::kDue},  // two words: at most 5 %
        {55, 100, 5, 100, TWordMatch::kDue},   // and 50 better
        {100, 100, 100, 40, TWordMatch::kRepeated},
        {60, 100, 100, 40, TWordMatch::kDue},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchTypedWord(c.a, c.b, c.c, c.d), c.match)
            << c.a << " " << c.b << " " << c.c << " " << c.d;
}

TEST_F(TextTyping, ASkippedWordMovesTheTextOnTwoWordsAndCostsOneError) {
    WordList text({"the", "quick", "brown", "fox"});
    const auto results = TypeWords(text, {"the", "quick", "fox"}, &record);
    EXPECT_EQ(results[2].match, TWordMatch::kSkippedOne);
    EXPECT_EQ(results[2].share, 0);
    EXPECT_EQ(text.index, 4) << "past fox";
    EXPECT_EQ(Figures().ErrorWords, 1);
    ASSERT_EQ(record.Count(), 4u);
    EXPECT_EQ(record.Get(2)->Expected, "brown");
    EXPECT_EQ(record.Get(2)->Typed, "");
    EXPECT_EQ(record.Get(3)->Expected, "fox");
    EXPECT_EQ(record.Get(3)->Typed, "\x0B");
}

TEST_F(TextTyping, TwoSkippedWordsCostTwoErrors) {
    WordList text({"a", "bold", "cat", "dog", "ran"});
    const auto results = TypeWords(text, {"a", "dog"}, &record);
    EXPECT_EQ(results[1].match, TWordMatch::kSkippedTwo);
    EXPECT_EQ(text.index, 4);
    EXPECT_EQ(Figures().ErrorWords, 2);
    ASSERT_EQ(record.Count(), 4u);
    EXPECT_EQ(record.Get(1)->Typed, "");
    EXPECT_EQ(record.Get(2)->Typed, "");
    EXPECT_EQ(record.Get(3)->Typed, "\x0B");
}

TEST_F(TextTyping, ARepeatedWordIsAnExtraWordAndTheTextStays) {
    WordList text({"the", "quick"});
    TypeWords(text, {"the"}, &record);
    const int hitsBefore = Figures().TotalHits;
    const auto results = TypeWords(text, {"the"}, &record);
    EXPECT_EQ(results[0].match, TWordMatch::kRepeated);
    EXPECT_EQ(text.index, 1) << "still on quick";
    EXPECT_EQ(Figures().ErrorWords, 1);
    EXPECT_EQ(Figures().TotalHits, hitsBefore) << "taken out of the counts again";
    ASSERT_EQ(record.Count(), 2u);
    EXPECT_EQ(record.Get(1)->Expected, "");
    EXPECT_EQ(record.Get(1)->Typed, "the");
    TypeWords(text, {"quick"}, &record);
    EXPECT_EQ(text.index, 2);
    EXPECT_EQ(Figures().ErrorWords, 1);
}

TEST_F(TextTyping, ACaseErrorCostsHalfAnError) {
    WordList text({"test", "word"});
    const auto results = TypeWords(text, {"Test"});
    EXPECT_EQ(results[0].match, TWordMatch::kDue);
    EXPECT_EQ(results[0].share, 12);
    EXPECT_DOUBLE_EQ(Analysis().ErrorFinder().Errors(), 0.5);
    EXPECT_TRUE(judge.HadErrors);
    EXPECT_EQ(judge.FailedWordRun, 0);
}

TEST_F(TextTyping, SpaceAtALineEndCountsTheMissingEnter) {
    for (char key : {' ', '\r'}) {
        SCOPED_TRACE(static_cast<int>(key));
        Analyzer_Reset();
        judge.Reset();
        record.Clear();
        WordList text({"over", "dog"}, {true, true});
        const TTypedWord r = judge.WordTyped(text, "over", key, true, &record);
        EXPECT_EQ(r.share, key == ' ' ? 25 : 0);
        EXPECT_EQ(record.Get(0)->Typed, key == ' ' ? "over\xAB" : "\x0B");
        EXPECT_EQ(text.index, 1);
    }
    // Without Enter at line ends a Space is right there.
    WordList text({"over"}, {true});
    EXPECT_EQ(judge.WordTyped(text, "over", ' ', false, nullptr).share, 0);
}

TEST_F(TextTyping, LineBreaksGoIntoTheRecordBeforeTheNextWord) {
    WordList text({"one", "two", "three"}, {false, true, true});
    TypeWords(text, {"one", "two"}, &record);
    EXPECT_TRUE(judge.LineBreakPending);
    ASSERT_EQ(record.Count(), 2u);
    TypeWords(text, {"three"}, &record);
    ASSERT_EQ(record.Count(), 4u);
    EXPECT_EQ(record.Get(2)->Expected, "\r");
    EXPECT_EQ(record.Get(2)->Typed, "\r");
    EXPECT_EQ(record.Get(3)->Expected, "three");
    // Without a record nothing is pending.
    TTextTyping plain;
    WordList other({"a"}, {true});
    plain.WordTyped(other, "a", ' ', false, nullptr);
    EXPECT_FALSE(plain.LineBreakPending);
}

TEST_F(TextTyping, FailedWordsRunUntilAWordIsWithinTheLimit) {
    WordList text({"alpha", "beta", "gamma", "delta"});
    TypeWords(text, {"xyzzy", "qqqq"});
    EXPECT_EQ(judge.FailedWordRun, 2);
    TypeWords(text, {"gamna"});
    EXPECT_EQ(judge.FailedWordRun, 0);
}

TEST_F(TextTyping, ResultsNeedFiveWordsAndMoreThanTenSeconds) {
    struct Case {
        int words, seconds;
        bool keepSeconds, valid;
        int storedSeconds;
    } cases[] = {
        {4, 60, false, false, 1},
        {5, 10, false, false, 1},
        {5, 10, true, false, 10},
        {5, 11, false, true, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.words) + " words, " + std::to_string(c.seconds) + " s");
        Analyzer_Reset();
        for (int i = 0; i < c.words; ++i) Analyzer_EndWord("word", "word");
        TResultItem r;
        r.TypingSeconds = c.seconds;
        FillTypingResult(r, "CT", c.keepSeconds);
        EXPECT_EQ(r.Kind, "TEXT");
        EXPECT_EQ(r.Mode, "CT");
        EXPECT_TRUE(r.Passed);
        EXPECT_EQ(r.Valid, c.valid);
        EXPECT_EQ(r.TypingSeconds, c.storedSeconds);
        if (c.valid) {
            EXPECT_EQ(r.CharsPerWord, 5) << "the setting's default";
            EXPECT_EQ(r.GrossSpeed, 25 * 60 / 11);
            EXPECT_EQ(r.Accuracy, 100);
            EXPECT_EQ(r.TotalHits, 25);
            EXPECT_EQ(r.ErrorHits, 0);
        } else {
            EXPECT_EQ(r.GrossSpeed, 0);
        }
    }
}

TEST_F(TextTyping, AnInvalidExamResultIsNeverPassed) {
    TResultItem r;
    r.Valid = false;
    r.Passed = true;
    JudgeExamResult(r, TExamCriteria{}, true, nullptr);
    EXPECT_FALSE(r.Passed);
}

TEST_F(TextTyping, InternalExamCriteriaComeFromTheLine) {
    struct Case {
        const char* fields;  // fields 5 onwards
        int gross, accuracy, rhythm, net;
        bool mustTypeAll, loop;
    } cases[] = {
        {"30;95;60;25;1", 150, 95, 60, 125, true, true},
        {"30;95;60;25;2", 150, 95, 60, 125, false, true},
        {"30;95;60;25;0", 150, 95, 60, 125, false, false},
        {"30;95;60", 150, 95, 60, 0, false, false},
        {"x;95;60;;", 0, 95, 60, 0, false, false},
    };
    // The text in the line is long: the criteria after it still count.
    const std::string text(300, 'w');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields);
        const auto params =
            SplitEventLine("Event=EXAMINTERNAL;5;" + text + ";Exam;" + std::string(c.fields));
        const TExamCriteria k = InternalExamCriteria(params, 5);
        EXPECT_EQ(k.MinGrossSpeed, c.gross);
        EXPECT_EQ(k.MinAccuracy, c.accuracy);
        EXPECT_EQ(k.MinRhythm, c.rhythm);
        EXPECT_EQ(k.MinNetSpeed, c.net);
        EXPECT_EQ(k.MustTypeAll, c.mustTypeAll);
        EXPECT_EQ(k.LoopText, c.loop);
    }
}

TEST_F(TextTyping, ChapterExamCriteriaComeFromThePolicy) {
    test::TempDir dir;
    test::WriteFile(dir / "Policy.dyn",
                    "ENGLISH.chapter_min_speed=30\r\nENGLISH.chapter_min_accuracy=92\r\n"
                    "ENGLISH.chapter_min_rhythm=50\r\nENGLISH.chapter_must_type_all=1\r\n");
    ASSERT_TRUE(CorvSettings::OpenPolicy(dir.path()));
    const TExamCriteria k = ChapterExamCriteria(CorvSettings::Policy(), "ENGLISH", 5);
    EXPECT_EQ(k.MinNetSpeed, 150);
    EXPECT_EQ(k.MinGrossSpeed, 0);
    EXPECT_EQ(k.MinAccuracy, 92);
    EXPECT_EQ(k.MinRhythm, 50);
    EXPECT_TRUE(k.MustTypeAll);
    const TExamCriteria other = ChapterExamCriteria(CorvSettings::Policy(), "FRENCH", 5);
    EXPECT_EQ(other.MinNetSpeed, 0);
    EXPECT_FALSE(other.MustTypeAll);
}

TEST_F(TextTyping, TheVerdictListsEveryFailedCriterionInOrder) {
    TExamCriteria k;
    k.MinGrossSpeed = 200;
    k.MinNetSpeed = 150;
    k.MinAccuracy = 95;
    k.MinRhythm = 60;
    k.MustTypeAll = true;
    auto wpm = [](int cpm) { return std::to_string(cpm / 5) + " wpm"; };

    TExamFigures all{false, 90, 100, 120, 50};
    TExamVerdict v = JudgeExam(k, all, wpm);
    EXPECT_FALSE(v.passed);
    EXPECT_EQ(v.tip, Str(265) + "\r\r" + Str(261) + "95%\r\r" + Str(262) + "30 wpm (" + Str(586) +
                         ")\r\r" + Str(262) + "40 wpm (" + Str(587) + ")\r\r" + Str(263) +
                         "60%\r\r");

    TExamFigures onlySpeed{true, 95, 149, 200, 60};
    v = JudgeExam(k, onlySpeed, wpm);
    EXPECT_FALSE(v.passed);
    EXPECT_EQ(v.tip, Str(262) + "30 wpm (" + Str(586) + ")\r\r");

    TExamFigures good{true, 95, 150, 200, 60};
    v = JudgeExam(k, good, wpm);
    EXPECT_TRUE(v.passed);
    EXPECT_EQ(v.tip, Str(375));
    // Not finished, but the whole text was not required.
    k.MustTypeAll = false;
    good.finished = false;
    EXPECT_TRUE(JudgeExam(k, good, wpm).passed);
}

TEST(LmsKinds, OnlyTestsAndExams) {
    for (const char* kind : {"FINALTEST", "TEST", "EASYEXAM", "EXAM", "EXAM2"})
        EXPECT_TRUE(IsLmsKind(kind)) << kind;
    for (const char* kind : {"TEXT", "TEXT2", "EXAMINTERNAL", "exam", ""})
        EXPECT_FALSE(IsLmsKind(kind)) << kind;
}

}  // namespace
}  // namespace corv
