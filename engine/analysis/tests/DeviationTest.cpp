#include <vector>

#include "AnalysisTestSupport.h"
#include "engine/analysis/Deviation.h"

namespace corv {
namespace {

struct SlowCase {
    const char* what;
    bool relaxed;
    std::vector<double> intervals;
    std::vector<bool> slow;  // the answer for each interval
};

TEST(DeviationCalc, JudgesAgainstTheRecentMean) {
    const SlowCase cases[] = {
        {"4 intervals are never slow", false, {1, 1, 1, 100}, {false, false, false, false}},
        {"the 5th can be", false, {1, 1, 1, 1, 10}, {false, false, false, false, true}},
        // mean 1.4: the threshold is 0.45 + 1.4 x 1.875 = 3.075
        {"just below the threshold", false, {1, 1, 1, 1, 3}, {false, false, false, false, false}},
        {"relaxed threshold is lower", true, {1, 1, 1, 1, 3}, {false, false, false, false, true}},
        {"an even pace is never slow",
         false,
         {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2},
         std::vector<bool>(12, false)},
        {"a fast key after slow ones is not slow",
         false,
         {5, 5, 5, 5, 5, 0.5},
         std::vector<bool>(6, false)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TDeviationCalc calc;
        calc.Relaxed = c.relaxed;
        for (size_t k = 0; k < c.intervals.size(); ++k)
            EXPECT_EQ(calc.Add(c.intervals[k]), c.slow[k]) << "interval " << k + 1;
    }
}

TEST(DeviationCalc, KeepsTheLastTen) {
    TDeviationCalc calc;
    for (int x = 1; x <= 15; ++x) calc.Add(x);
    EXPECT_EQ(calc.Count(), 10);
    EXPECT_DOUBLE_EQ(calc.Average(), 10.5);  // 6 .. 15
    // Quick keys push the slow ones out; then a key at 3.5 is slow against the new pace.
    for (int k = 0; k < 9; ++k) calc.Add(1);
    EXPECT_FALSE(calc.Add(1.5));
    EXPECT_TRUE(calc.Add(3.5));
}

TEST(DeviationCalc, ResetStartsTheCountAgain) {
    TDeviationCalc calc;
    for (int k = 0; k < 8; ++k) calc.Add(1);
    calc.Reset();
    EXPECT_EQ(calc.Count(), 0);
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(calc.Add(1));
    EXPECT_FALSE(calc.Add(50));  // only the 4th since the reset
    EXPECT_TRUE(calc.Add(50));   // 5th: mean 20.6, threshold 39.1
}

// Alternating 1 and 10: every interval lies far from the mean.
std::vector<double> Uneven(int n) {
    std::vector<double> v;
    for (int k = 0; k < n; ++k) v.push_back(k % 2 ? 10.0 : 1.0);
    return v;
}

TEST(DeviationMeter, DeviationFirstSetAtTheFourteenthInterval) {
    TDeviationMeter meter;
    const auto intervals = Uneven(14);
    for (int k = 1; k <= 14; ++k) {
        meter.AddInterval(intervals[static_cast<size_t>(k - 1)]);
        EXPECT_EQ(meter.DeviationCount(), k < 10 ? 0 : k - 9) << "interval " << k;
        EXPECT_EQ(meter.TotalCount, k);  // the overall rhythm counts from the first
        if (k < 14) {
            EXPECT_EQ(meter.Deviation, 0) << "interval " << k;
        }
    }
    EXPECT_GE(meter.Deviation, 45);
}

TEST(DeviationMeter, UnsteadyClimbsToTheTopAndAlternates) {
    TDeviationMeter meter;
    struct Step {
        int interval, unsteady, light;
    } steps[] = {{1, 0, 1},   {13, 0, 1},  {14, 1, 1},  {18, 5, 1},  {19, 6, 2},  {30, 17, 2},
                 {31, 18, 3}, {35, 22, 3}, {36, 21, 3}, {37, 22, 3}, {38, 21, 3}, {200, 21, 3}};
    const auto intervals = Uneven(200);
    int done = 0;
    for (const auto& s : steps) {
        while (done < s.interval) meter.AddInterval(intervals[static_cast<size_t>(done++)]);
        EXPECT_EQ(meter.Unsteady, s.unsteady) << "after " << s.interval;
        EXPECT_EQ(meter.LightState, s.light) << "after " << s.interval;
    }
}

TEST(DeviationMeter, ResetKeepsUnsteadySoTheLightRecoversGradually) {
    TDeviationMeter meter;
    for (double x : Uneven(40)) meter.AddInterval(x);
    ASSERT_EQ(meter.Unsteady, 21);
    meter.Reset();
    EXPECT_EQ(meter.Unsteady, 21);
    EXPECT_EQ(meter.Deviation, 0);
    EXPECT_EQ(meter.LightState, 0);
    EXPECT_EQ(meter.TotalCount, 0);
    EXPECT_EQ(meter.Rhythm(), 100);
    // An even pace: the deviation stays 0 and Unsteady falls one step per key.
    for (int k = 1; k <= 3; ++k) {
        meter.AddInterval(2);
        EXPECT_EQ(meter.Unsteady, 21 - k);
        EXPECT_EQ(meter.LightState, 3);
    }
    for (int k = 0; k < 4; ++k) meter.AddInterval(2);
    EXPECT_EQ(meter.Unsteady, 14);
    EXPECT_EQ(meter.LightState, 2);
}

// 39 quick keys and a very long pause, twice: the mean relative deviation passes 100 %.
std::vector<double> Spiky() {
    std::vector<double> v;
    for (int block = 0; block < 2; ++block) {
        v.insert(v.end(), 39, 1.0);
        v.push_back(1000);
    }
    return v;
}

TEST(DeviationMeter, Rhythm) {
    struct Case {
        const char* what;
        std::vector<double> intervals;
        int rhythm;
    } cases[] = {
        {"no interval", {}, 100},
        {"one interval equals its own mean", {3}, 100},
        {"an even pace", {2, 2, 2, 2}, 100},
        {"1 then 3: 0.5 off the mean of 2, averaged over 2", {1, 3}, 75},
        {"a zero mean counts no deviation", {0, 0}, 100},
        {"never below 0", Spiky(), 0},
    };
    for (const auto& c : cases) {
        TDeviationMeter meter;
        for (double x : c.intervals) meter.AddInterval(x);
        EXPECT_EQ(meter.Rhythm(), c.rhythm) << c.what;
    }
}

}  // namespace
}  // namespace corv
