#include <set>

#include "AnalysisTestSupport.h"

namespace corv {
namespace {

using test::AnalysisFixture;
using test::StoredWord;

class AnalyzerTest : public AnalysisFixture {
  protected:
    // Types each character with the same interval; returns the word-end answers.
    std::string Type(const std::string& keys, int mode, int32_t interval = 1000) {
        std::string ends;
        for (char c : keys) ends += Analyzer_CharPressed(c, interval, mode) ? '|' : '.';
        return ends;
    }
};

TEST(WordSeparators, ExactlyTheListedCharacters) {
    const std::set<int> listed = {9,   10,  13,  32,  '!', '"', '(', ')',  '*', ',',
                                  '-', '.', '/', ':', ';', '?', '@', '\\', '_'};
    for (int c = 0; c < 256; ++c)
        EXPECT_EQ(IsWordSeparator(static_cast<char>(c)), listed.count(c) == 1) << "character " << c;
}

TEST_F(AnalyzerTest, WordEndsByMode) {
    struct Case {
        char key;
        bool meterEnd, textEnd;
    } cases[] = {{' ', true, true},    {'\t', true, true},   {'\n', true, true},
                 {'\r', true, true},   {'.', true, false},   {',', true, false},
                 {'-', true, false},   {'\'', false, false}, {'a', false, false},
                 {'\b', false, false}, {'#', false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(Analyzer_CharPressed(c.key, 0, 0), c.meterEnd)
            << "meter, character " << int(c.key);
        EXPECT_EQ(Analyzer_CharPressed(c.key, 0, 1), c.textEnd) << "text, character " << int(c.key);
    }
}

TEST_F(AnalyzerTest, CountsKeysAndBuildsTheWord) {
    EXPECT_EQ(Type("ab\bc ", 1), "....|");
    EXPECT_EQ(Fig().Keystrokes, 5);
    EXPECT_EQ(Fig().NetKeys, 3);        // a, b, c, space less one Backspace
    EXPECT_EQ(collector.Text(), "ac");  // the word end is not part of the word
}

TEST_F(AnalyzerTest, FirstKeyStartsBothTimersAndClearsTheBurstKeys) {
    Fig().Reserved = 7;
    clock.now = 5000;
    Analyzer_CharPressed('a', 0, 1);
    EXPECT_TRUE(Analysis().Timer().Running());
    EXPECT_TRUE(Analysis().Timer2().Running());
    EXPECT_EQ(Fig().Reserved, 0);
    Analyzer_CountBurstKey();
    clock.now = 65'000;
    Analyzer_CharPressed('b', 0, 1);  // both run: nothing restarts, nothing cleared
    EXPECT_EQ(Fig().Reserved, 1);
    EXPECT_EQ(Analysis().Timer().Seconds(), 60);
}

TEST_F(AnalyzerTest, SlowKeysInsideAWordAreRegistered) {
    // Five steady keys, then slow ones: a lower-case letter in a word of more than one
    // character is an error of that key; a capital or a word's first key is not.
    EXPECT_EQ(Type("the ", 1), "...|");
    collector.Reset();  // as the end of the word would
    Type("q", 1);
    ASSERT_EQ(collector.Text(), "q");
    Analyzer_CharPressed('u', 10'000, 1);  // slow, word "qu"
    EXPECT_EQ(KeyCounts('u').pendingErrors, 1);
    EXPECT_EQ(collector.SlowKeys(), 1);
    Analyzer_CharPressed('I', 10'000, 1);  // slow capital: counted slow, no key error
    EXPECT_EQ(KeyCounts('I').pendingCount, 0);
    EXPECT_EQ(collector.SlowKeys(), 2);
    EXPECT_EQ(KeyCounts('t').pendingErrors, 0);
    EXPECT_EQ(KeyCounts('t').pendingCount, 1);

    Type(" ", 1);
    collector.Reset();
    for (int k = 0; k < 5; ++k) Analyzer_CharPressed('x', 1000, 1);
    collector.Reset();
    Analyzer_CharPressed('z', 30'000, 1);  // slow but the word has one character
    EXPECT_EQ(KeyCounts('z').pendingErrors, 0);
    EXPECT_EQ(KeyCounts('z').pendingCount, 1);
    EXPECT_EQ(collector.SlowKeys(), 0);
}

TEST_F(AnalyzerTest, ZeroAndNegativeIntervalsSkipTheDetector) {
    Analyzer_CharPressed('a', 0, 1);
    Analyzer_CharPressed('b', -5000, 1);
    EXPECT_EQ(Analysis().DeviationCalc().Count(), 0);
    EXPECT_EQ(KeyCounts('b').pendingCount, 1);  // registered clean
    Analyzer_CharPressed('c', 1, 1);
    EXPECT_EQ(Analysis().DeviationCalc().Count(), 1);
    EXPECT_DOUBLE_EQ(Analysis().DeviationCalc().Average(), 0.001);
}

struct EndWordCase {
    const char* what;
    std::string expected, typed;
    int share;
    int wordsTyped, errorWords, totalHits, weightedChars;
    bool stored;
    int weight;            // of the stored word
    std::string storedAs;  // the word stored
};

TEST_F(AnalyzerTest, EndWordCounts) {
    const EndWordCase cases[] = {
        {"clean", "test", "test", 0, 1, 0, 5, 4, true, 0, "typed"},
        {"swap", "test", "tset", 25, 1, 1, 5, 3, true, 4, "test"},
        {"extra character", "test", "tesst", 25, 1, 1, 5, 3, true, 4, "test"},
        {"case only", "test", "Test", 12, 1, 1, 5, 4, true, 3, "test"},
        {"over the limit: dropped", "test", "xyz", 100, 1, 1, 4, 0, false, 0, ""},
        {"typed empty", "test", "", 100, 0, 1, 1, 0, false, 0, ""},
        {"expected empty", "", "abc", 0, 1, 0, 0, 0, true, 0, "typed"},
        {"both empty", "", "", 0, 0, 0, 0, 0, true, 0, "typed"},
        {"at the limit: weight 5", "abcde", "axcye", 40, 1, 1, 6, 3, true, 5, "abcde"},
        {"11 %: weight 3", "abcdefghi", "abcdxfghi", 11, 1, 1, 10, 8, true, 3, "abcdefghi"},
        {"1 %: weight 2", std::string(100, 'q'), std::string(99, 'q') + "w", 1, 1, 1, 101, 99, true,
         2, std::string(100, 'q')},
    };
    Analyzer_SetSource(3);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Analyzer_Reset();
        collector.stored.clear();
        collector.SetText("typed");  // what the typing box gave the collector
        EXPECT_EQ(Analyzer_EndWord(c.expected, c.typed), c.share);
        EXPECT_EQ(Fig().WordsTyped, c.wordsTyped);
        EXPECT_EQ(Fig().ErrorWords, c.errorWords);
        EXPECT_EQ(Fig().TotalHits, c.totalHits);
        EXPECT_EQ(Fig().Chars, c.totalHits);
        EXPECT_EQ(Fig().WeightedChars, c.weightedChars);
        if (c.stored) {
            ASSERT_EQ(collector.stored.size(), 1u);
            EXPECT_EQ(collector.stored[0], (StoredWord{c.storedAs, c.weight, 0, 0, 3}));
        } else {
            EXPECT_TRUE(collector.stored.empty());
        }
        EXPECT_EQ(collector.Text(), "");  // the collector always starts a new word
        EXPECT_EQ(collector.ErrorWeight(), 0);
    }
}

TEST_F(AnalyzerTest, EndWordStoresNothingWhenNotCollecting) {
    Analyzer_SetSource(100);
    EXPECT_FALSE(CollectWords());
    EXPECT_EQ(Analyzer_EndWord("test", "tset"), 25);
    EXPECT_EQ(Analyzer_EndWord("", "abc"), 0);
    EXPECT_TRUE(collector.stored.empty());
    EXPECT_EQ(Fig().WordsTyped, 2);
}

TEST_F(AnalyzerTest, EndWordRegistersKeysInTheActiveTable) {
    EXPECT_EQ(Analyzer_EndWord("test", "tesst"), 25);
    EXPECT_EQ(KeyCounts('s').pendingErrors, 1);  // the doubled key
    EXPECT_EQ(KeyCounts('t').pendingCount, 2);

    SelectDifficultKeys(1);  // the meter training's table
    DifficultKeysB().Clear();
    Analyzer_EndWord("ab", "ax");  // 50 %: beyond the limit, nothing registered
    Analyzer_EndWord("dog", "dig");
    EXPECT_EQ(DifficultKeysB().CountsOf('o').pendingErrors, 1);
    EXPECT_EQ(DifficultKeysB().CountsOf('a').pendingCount, 0);
    EXPECT_EQ(DifficultKeysA().CountsOf('o').pendingCount, 0);
    SelectDifficultKeys(0);
    DifficultKeysB().Clear();
}

TEST_F(AnalyzerTest, TextEventWordFlow) {
    Analyzer_SetSource(2);
    EXPECT_EQ(Type("tesst ", 1), ".....|");
    const std::string typed = collector.Text();
    EXPECT_EQ(typed, "tesst");
    EXPECT_EQ(Analyzer_EndWord("test", typed), 25);
    ASSERT_EQ(collector.stored.size(), 1u);
    EXPECT_EQ(collector.stored[0], (StoredWord{"test", 4, 0, 0, 2}));
    EXPECT_EQ(Fig().Keystrokes, 6);
    EXPECT_EQ(Fig().WordsTyped, 1);
}

TEST_F(AnalyzerTest, MeterEndWordUsesTheWordInProgress) {
    CreateAnalysis(TAnalysisProgram::kMeter);
    SetWordCollector(&collector);
    std::vector<std::string> shown;
    SetCollectedWordHandler([&](const std::string& w) { shown.push_back(w); });
    Analyzer_SetSource(1);

    EXPECT_EQ(Type("hello.", 0), ".....|");
    EXPECT_EQ(Analyzer_EndWord(""), 0);
    EXPECT_EQ(Fig().WordsTyped, 1);
    ASSERT_EQ(collector.stored.size(), 1u);
    EXPECT_EQ(collector.stored[0].text, "hello");
    EXPECT_EQ(collector.stored[0].source, 1);
    EXPECT_EQ(shown, std::vector<std::string>{"hello"});
    EXPECT_EQ(collector.Text(), "");

    Type("a ", 0);  // a one-letter word is stored but not shown
    Analyzer_EndWord("");
    EXPECT_EQ(collector.stored.size(), 2u);
    EXPECT_EQ(shown.size(), 1u);

    Type("wrold ", 0);  // with an expected word it is compared like the tutor's
    EXPECT_EQ(Analyzer_EndWord("world"), 20);
    EXPECT_EQ(collector.stored.back(), (StoredWord{"world", 3, 0, 0, 1}));
    EXPECT_EQ(shown.size(), 1u);

    Analyzer_SetSource(100);  // not collecting: nothing stored, nothing shown
    Type("again ", 0);
    Analyzer_EndWord("");
    EXPECT_EQ(collector.stored.size(), 3u);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(Fig().WordsTyped, 4);
}

TEST_F(AnalyzerTest, CancelForgetsTheBurst) {
    CreateAnalysis(TAnalysisProgram::kMeter);
    SetWordCollector(&collector);
    clock.now = 1000;
    for (int k = 0; k < 6; ++k) Analyzer_CharPressed('k', 1000, 0);
    Analyzer_CountBurstKey();
    Fig().ErrorWords = 3;
    clock.now = 11'000;
    Analyzer_Cancel();
    EXPECT_EQ(collector.Text(), "");
    EXPECT_FALSE(Analysis().Timer2().Started());
    EXPECT_EQ(Fig().Reserved, 0);
    EXPECT_EQ(Fig().ErrorWords, 0);
    EXPECT_EQ(Analysis().DeviationCalc().Count(), 0);
    // the day's figures stay
    EXPECT_TRUE(Analysis().Timer().Running());
    EXPECT_EQ(Analysis().Timer().Seconds(), 10);
    EXPECT_EQ(Fig().Keystrokes, 6);
    EXPECT_EQ(Fig().NetKeys, 6);
}

TEST_F(AnalyzerTest, PauseStopsTheClockAndForgetsTheIntervals) {
    clock.now = 1000;
    for (int k = 0; k < 6; ++k) Analyzer_CharPressed('k', 1000, 1);
    Analysis().DeviationMeter().AddInterval(1);
    Analysis().DeviationMeter().Unsteady = 9;
    clock.now = 5000;
    Analyzer_Pause();
    EXPECT_FALSE(Analysis().Timer().Running());
    EXPECT_FALSE(Analysis().Timer2().Running());
    EXPECT_EQ(Analysis().DeviationCalc().Count(), 0);
    EXPECT_EQ(Analysis().DeviationMeter().TotalCount, 0);
    EXPECT_EQ(Analysis().DeviationMeter().Unsteady, 9);
    clock.now = 100'000;  // the pause is not typing time
    Analyzer_CharPressed('k', 0, 1);
    clock.now = 102'000;
    EXPECT_EQ(Analysis().Timer().Seconds(), 6);
    EXPECT_EQ(Fig().Keystrokes, 7);
}

TEST_F(AnalyzerTest, ResetStartsAnActivityAfresh) {
    clock.now = 1000;
    Type("abc def ", 1);
    Analyzer_EndWord("abc", "abc");
    Analysis().DeviationMeter().AddInterval(2);
    Analyzer_Reset();
    const TEfficiencyInfo& f = Fig();
    EXPECT_EQ(f.Keystrokes + f.NetKeys + f.TotalHits + f.Chars + f.WeightedChars + f.WordsTyped +
                  f.ErrorWords,
              0);
    EXPECT_FALSE(Analysis().Timer().Started());
    EXPECT_FALSE(Analysis().Timer2().Started());
    EXPECT_EQ(Analysis().DeviationCalc().Count(), 0);
    EXPECT_EQ(Analysis().DeviationMeter().TotalCount, 0);
}

TEST_F(AnalyzerTest, AddWordStoresOnlyWhenCollecting) {
    Analyzer_SetSource(100);
    collector.AddSlowKey();
    Analyzer_AddWord("drill", 2);
    EXPECT_TRUE(collector.stored.empty());
    EXPECT_EQ(collector.Text(), "");

    Analyzer_SetSource(4);
    Analyzer_AddWord("drill", 2);
    Analyzer_AddWord("clean", 0);
    ASSERT_EQ(collector.stored.size(), 2u);
    EXPECT_EQ(collector.stored[0], (StoredWord{"drill", 2, 0, 0, 4}));
    EXPECT_EQ(collector.stored[1], (StoredWord{"clean", 0, 0, 0, 4}));
    EXPECT_EQ(collector.Text(), "");
}

TEST_F(AnalyzerTest, AddMarkedWordAlwaysStoresAndClearsTheMark) {
    Analyzer_SetSource(6);
    Analyzer_SetSource(100);  // not collecting; the source stays 6
    EXPECT_EQ(WordSource(), 6);
    Analyzer_AddMarkedWord("marked", 3, 8);
    ASSERT_EQ(collector.stored.size(), 1u);
    EXPECT_EQ(collector.stored[0], (StoredWord{"marked", 3, 0, 8, 6}));
    EXPECT_EQ(collector.Mark(), 0);
    Analyzer_AddWord("later", 0);
    EXPECT_EQ(collector.stored.size(), 1u);
}

TEST_F(AnalyzerTest, ProgramKindsAndStartingOver) {
    EXPECT_NE(Analysis().StudyingTip(), nullptr);
    EXPECT_EQ(Analysis().Program(), TAnalysisProgram::kTutor);
    CreateAnalysis(TAnalysisProgram::kMeter);
    EXPECT_EQ(Analysis().StudyingTip(), nullptr);
    EXPECT_EQ(Analysis().Program(), TAnalysisProgram::kMeter);

    Analyzer_SetSource(1);
    Fig().Chars = 9;
    FreeAnalysis();
    EXPECT_FALSE(AnalysisCreated());
    EXPECT_FALSE(CollectWords());
    EXPECT_EQ(&WordCollector(), &WordCollector());  // the built-in collector again
    EXPECT_NE(&WordCollector(), static_cast<IWordCollector*>(&collector));
    // Used without start-up, the tutor's set appears, fresh.
    EXPECT_EQ(Fig().Chars, 0);
    EXPECT_TRUE(AnalysisCreated());
    EXPECT_EQ(Analysis().Program(), TAnalysisProgram::kTutor);
}

TEST_F(AnalyzerTest, BuiltInCollectorKeepsTheWordAndStoresNothing) {
    SetWordCollector(nullptr);
    Analyzer_SetSource(1);
    Type("ab\bc", 1);
    EXPECT_EQ(WordCollector().Text(), "ac");
    EXPECT_EQ(WordCollector().Store(1), -1);
    EXPECT_EQ(WordCollector().WordIndex(5), 0);
    Analyzer_EndWord("", WordCollector().Text());
    EXPECT_EQ(WordCollector().Text(), "");
}

}  // namespace
}  // namespace corv
