#include "AnalysisTestSupport.h"
#include "engine/analysis/StudyingTip.h"

namespace corv {
namespace {

using test::AnalysisFixture;

// The tip's pieces read as their string numbers, so each case shows which were chosen.
struct TipCase {
    const char* rule;
    double accuracy, keys, speed;
    const char* tip;
};

class StudyingTipTest : public AnalysisFixture {};

TEST_F(StudyingTipTest, EachRuleAndBranch) {
    const TipCase cases[] = {
        // 1: accuracy is the weakest
        {"accuracy weakest, speed very good", 0.5, 4, 4, "50 51 53 55 56"},
        {"accuracy weakest, speed fair", 0.5, 4, 2.5, "50 53 55 56"},
        {"accuracy weakest, speed low but weighted up", 0.1, 4, 1.9, "50 52 53 55 56"},
        {"accuracy weakest, speed weak too", 0.2, 4, 0.5, "54 55 56"},
        // 2: difficult keys are the weakest
        {"keys weakest, accuracy very good", 4, 0.2, 4, "64 65 67 69"},
        {"keys weakest, accuracy fair", 2.5, 0.2, 4, "64 67 69"},
        {"keys weakest, accuracy low but weighted up", 1.9, 0.1, 4, "64 66 67 69"},
        {"keys weakest, accuracy weak too", 1.5, 0.2, 4, "68 69"},
        // 3: speed is the weakest
        {"speed weakest, the rest strong", 4, 4, 0.5, "70 71 72 74 75"},
        {"speed weakest, the rest fair", 2.5, 2.5, 0.5, "70 72 74 75"},
        {"speed weakest, all weak", 1, 1, 0.1, "73 74 75"},
        // 4: speed ranks below accuracy
        {"speed below accuracy, accuracy very good", 3.5, 4, 3.2, "80 81 83"},
        {"speed below accuracy, accuracy fair", 2.8, 4, 2.6, "80 83"},
        {"speed below accuracy, accuracy low", 1.9, 4, 1.5, "80 82 83"},
        {"speed below accuracy, accuracy weighted low", 1.4, 4, 1.1, ""},
        // 5: otherwise
        {"accuracy below speed, speed very good", 3.5, 4, 4, "76 77 79"},
        {"accuracy below speed, speed fair", 2, 4, 2.5, "76 79"},
        {"accuracy below speed, speed low", 1.5, 4, 1.8, "76 78 79"},
        {"accuracy below speed, speed weighted low", 1.1, 4, 1.3, ""},
        {"equal ranks are not below", 3.5, 4, 3.5, "76 77 79"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TStudyingTip::Compose(c.accuracy, c.keys, c.speed), c.tip) << c.rule;
}

TEST_F(StudyingTipTest, PiecesJoinWithSingleSpaces) {
    Localization().SetString(50, "Fast ");  // a text that brings its own blank
    Localization().SetString(51, "");       // an empty text adds nothing
    Localization().SetString(53, "but");
    EXPECT_EQ(TStudyingTip::Compose(0.5, 4, 4), "Fast but 55 56");
}

TEST_F(StudyingTipTest, CutToAShortText) {
    for (int n : {50, 51, 53, 55, 56}) Localization().SetString(n, std::string(100, 'x'));
    EXPECT_EQ(TStudyingTip::Compose(0.5, 4, 4).size(), 255u);
}

TEST_F(StudyingTipTest, FromTheProcessFigures) {
    // 94 % accuracy (score 2.9), no key difficulty (rating 4), 150 cpm (score 2).
    TEfficiencyInfo& fig = Fig();
    fig.Chars = 500;
    fig.ErrorWords = 6;
    clock.now = 1000;
    Analysis().Timer().Start();
    clock.now = 201'000;
    EXPECT_EQ(StudyingTipText(5), TStudyingTip::Compose(2.9, 4, 2));
    EXPECT_EQ(StudyingTipText(5), "80 83");

    CreateAnalysis(TAnalysisProgram::kMeter);  // the meter gives no tips
    EXPECT_EQ(StudyingTipText(5), "");
}

}  // namespace
}  // namespace corv
