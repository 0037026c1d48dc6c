#include "AnalysisTestSupport.h"
#include "engine/analysis/EfficiencyInfo.h"

namespace corv {
namespace {

TEfficiencyInfo Figures(int chars, int errorWords) {
    TEfficiencyInfo e;
    e.Chars = chars;
    e.ErrorWords = errorWords;
    return e;
}

TEST(Efficiency, SpeedAndAccuracyFigures) {
    struct Case {
        int chars, errorWords, seconds, f;
        int gross, net, accuracy;
        double accuracyDecimal;
    } cases[] = {
        {500, 6, 200, 5, 150, 141, 94, 94.0},
        {100, 0, 40, 5, 150, 150, 100, 100.0},  // 150 exactly, not 149.999 cut down
        {100, 1, 0, 5, 0, 0, 95, 95.0},         // no typing time: speeds 0, no division
        {100, 1, -3, 5, 0, 0, 95, 95.0},
        {0, 0, 60, 5, 0, 0, 0, 0.0},    // no characters: accuracy 0
        {10, 5, 60, 5, 10, 0, 0, 0.0},  // error words cost more than was typed
        {3, 0, 1, 5, 180, 180, 100, 100.0},
        {7, 1, 60, 1, 7, 6, 85, 600.0 / 7},  // accuracy cut, the decimal not
    };
    for (const auto& c : cases) {
        const TEfficiencyInfo e = Figures(c.chars, c.errorWords);
        SCOPED_TRACE(testing::Message() << c.chars << " chars, " << c.errorWords << " error words, "
                                        << c.seconds << " s");
        EXPECT_EQ(e.GrossSpeed(c.seconds), c.gross);
        EXPECT_EQ(e.NetSpeed(c.seconds, c.f), c.net);
        EXPECT_EQ(e.Accuracy(c.f), c.accuracy);
        EXPECT_DOUBLE_EQ(e.AccuracyDecimal(c.f), c.accuracyDecimal);
    }
}

TEST(Efficiency, AccuracyScoreIsPiecewiseLinear) {
    struct Case {
        double accuracy, score;
    } cases[] = {{0, 0},    {30, 0.5}, {59.4, 0.99}, {60, 1},  {72.5, 1.5}, {85, 2},
                 {94, 2.9}, {95, 3},   {99, 3.8},    {100, 4}, {120, 4},    {-5, 0}};
    for (const auto& c : cases)
        EXPECT_NEAR(TEfficiencyInfo::AccuracyScoreOf(c.accuracy), c.score, 1e-9) << c.accuracy;
}

TEST(Efficiency, SpeedScoreClamped) {
    struct Case {
        int chars;  // over 60 seconds: the gross speed
        double score;
    } cases[] = {{0, 0}, {20, 0}, {30, 0}, {90, 1}, {150, 2}, {165, 2.25}, {270, 4}, {400, 4}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(Figures(c.chars, 0).SpeedScore(60), c.score) << c.chars;
}

TEST(Efficiency, NinetyFourPercentAtOneFiftyIsFiftyNine) {
    const TEfficiencyInfo e = Figures(500, 6);  // 94 %, 150 cpm over 200 s
    ASSERT_EQ(e.Accuracy(5), 94);
    ASSERT_EQ(e.GrossSpeed(200), 150);
    EXPECT_NEAR(e.AccuracyScore(5), 2.9, 1e-12);
    EXPECT_DOUBLE_EQ(e.SpeedScore(200), 2.0);
    EXPECT_EQ(e.Efficiency(200, 5), 59);
}

TEST(Efficiency, EfficiencyEdges) {
    struct Case {
        double accuracyScore, speedScore;
        int efficiency;
    } cases[] = {{0, 0, 0},    {4, 0, 0},  {0, 4, 0}, {4, 4, 100},
                 {2.9, 2, 59}, {2, 2, 50}, {4, 2, 67}};
    for (const auto& c : cases)
        EXPECT_EQ(TEfficiencyInfo::EfficiencyOf(c.accuracyScore, c.speedScore), c.efficiency)
            << c.accuracyScore << "/" << c.speedScore;
    EXPECT_EQ(Figures(0, 0).Efficiency(0, 5), 0);
}

TEST(Efficiency, SkippedWordCountsAsErrorWord) {
    TEfficiencyInfo e;
    e.SkippedWord("test");
    EXPECT_EQ(e.ErrorWords, 1);
    EXPECT_EQ(e.TotalHits, 5);
    EXPECT_EQ(e.Chars, 4);
    EXPECT_EQ(e.WeightedChars, 0);
}

TEST(Efficiency, RepeatedWordTakesTheWordBack) {
    TEfficiencyInfo e;
    e.Chars = 10;
    e.TotalHits = 12;
    e.WeightedChars = 10;
    e.RepeatedWord("abcd");
    EXPECT_EQ(e.ErrorWords, 1);
    EXPECT_EQ(e.TotalHits, 7);
    EXPECT_EQ(e.Chars, 6);
    EXPECT_EQ(e.WeightedChars, 2);
}

TEST(Efficiency, RepeatedWordsNeverDriveCountsNegative) {
    // A repeat recognised before anything was counted, then again and again.
    TEfficiencyInfo e;
    e.Chars = 3;
    e.TotalHits = 4;
    e.WeightedChars = 3;
    for (int k = 0; k < 3; ++k) e.RepeatedWord("elephant");
    EXPECT_EQ(e.Chars, 0);
    EXPECT_EQ(e.TotalHits, 0);
    EXPECT_EQ(e.WeightedChars, 0);
    EXPECT_EQ(e.ErrorWords, 3);
    EXPECT_EQ(e.GrossSpeed(60), 0);
    EXPECT_EQ(e.NetSpeed(60, 5), 0);
    EXPECT_EQ(e.Accuracy(5), 0);
}

TEST(Efficiency, MeterRates) {
    TEfficiencyInfo e;
    e.Reserved = 120;
    e.NetKeys = 300;
    EXPECT_EQ(e.KeystrokeRate(60), 120);
    EXPECT_EQ(e.KeystrokeRate(0), 0);
    EXPECT_EQ(e.NetKeyRate(90), 200);
    EXPECT_EQ(e.NetKeyRate(0), 0);
    e.NetKeys = -4;  // more Backspaces than characters
    EXPECT_EQ(e.NetKeyRate(60), 0);
}

TEST(Efficiency, ResetClearsEveryCounter) {
    TEfficiencyInfo e{1, 2, 3, 4, 5, 6, 7, 8};
    e.Reset();
    EXPECT_EQ(e.Keystrokes + e.Reserved + e.NetKeys + e.TotalHits + e.Chars + e.WeightedChars +
                  e.WordsTyped + e.ErrorWords,
              0);
}

}  // namespace
}  // namespace corv
