#include "AnalysisTestSupport.h"

namespace corv {
namespace {

using test::AnalysisFixture;

// 20 keystrokes with e errors give the difficulty 20 x e (a full window, enough evidence).
void Train(TDifficultKeys& keys, char c, int errors) {
    for (int k = 0; k < 20; ++k) keys.RecordKeystroke(c, k < errors);
}

class ScoresTest : public AnalysisFixture {
  protected:
    void SetUp() override {
        AnalysisFixture::SetUp();
        TDifficultKeys& keys = ActiveDifficultKeys();
        // lower case: 100, 80, 60, 40, 20; capitals: 100, 60
        Train(keys, 'a', 5);
        Train(keys, 'b', 4);
        Train(keys, 'c', 3);
        Train(keys, 'd', 2);
        Train(keys, 'e', 1);
        Train(keys, 'A', 5);
        Train(keys, 'B', 3);
        keys.Update();
        ASSERT_DOUBLE_EQ(keys.Difficulty('b'), 80);
    }
};

TEST_F(ScoresTest, DifficultKeyScoreOverTheEightHardest) {
    // 100, 100, 80, 60 weighted 1.35; 60, 40, 20, 0 weighted 0.65: 537 / 8 = 67.1
    EXPECT_EQ(DifficultKeyScore(), 67);
    EXPECT_EQ(DifficultKeyScore(nullptr), 0);
    TDifficultKeys empty;
    EXPECT_EQ(DifficultKeyScore(&empty), 0);
}

TEST_F(ScoresTest, KeyScoresOverLowerCaseAndCapitals) {
    // lower case 100, 80, 60, 40 x 1.35 and 20 x 0.65: 391 / 8 = 48.9
    EXPECT_EQ(KeyScore8(), 49);
    // capitals 100, 60 x 1.35: 216 / 6 = 36
    EXPECT_EQ(KeyScore6(), 36);
}

TEST_F(ScoresTest, OverallDifficultyBlendsWordsWhenCollected) {
    collector.wordIndex = 80;
    Analyzer_SetSource(100);
    EXPECT_EQ(WordScore(), 0);
    EXPECT_EQ(OverallDifficulty(), 45);  // 0.7 x 49 + 0.3 x 36 = 45.1
    EXPECT_TRUE(collector.indexMasks.empty());

    Analyzer_SetSource(1);
    EXPECT_EQ(WordScore(), 80);
    EXPECT_EQ(OverallDifficulty(), 57);  // 0.35 x 80 + 0.45 x 49 + 0.2 x 36 = 57.25
    ASSERT_FALSE(collector.indexMasks.empty());
    EXPECT_EQ(collector.indexMasks.back(), 5);

    SetScreenshotMode(true);
    EXPECT_EQ(OverallDifficulty(), 72);
}

TEST(DifficultyColour, BandsByTheStatisticsThresholds) {
    const TRgb blue{167, 180, 247}, yellow{255, 210, 29}, red{255, 1, 79};
    struct Case {
        double value;
        TRgb colour;
    } cases[] = {{0, blue}, {32.9, blue}, {33, yellow}, {65.9, yellow}, {66, red}, {100, red}};
    for (const auto& c : cases) EXPECT_EQ(DifficultyColour(c.value), c.colour) << c.value;
}

TEST(LevelTexts, RangesOfEachText) {
    test::NumberStrings();
    struct Case {
        int value;
        const char* level;
        const char* level2;
    } cases[] = {{-1, "", ""},       {0, "315", "319"},   {1, "315", "320"},  {24, "315", "320"},
                 {25, "316", "321"}, {49, "316", "321"},  {50, "317", "322"}, {69, "317", "322"},
                 {70, "318", "323"}, {100, "318", "323"}, {101, "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(LevelText(c.value), c.level) << c.value;
        EXPECT_EQ(LevelText2(c.value), c.level2) << c.value;
    }
    Localization().Reset();
}

}  // namespace
}  // namespace corv
