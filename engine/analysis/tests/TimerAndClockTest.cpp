#include <climits>
#include <cmath>
#include <limits>

#include "AnalysisTestSupport.h"
#include "engine/analysis/TypingTimer.h"

namespace corv {
namespace {

using test::FakeClock;

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override { SetTickClock(&clock); }
    void TearDown() override { SetTickClock(nullptr); }
    void At(int64_t ms) { clock.now = ms; }

    FakeClock clock;
    TTypingTimer timer;
};

TEST_F(TimerTest, StartsAtTickZero) {
    // A clock that reads 0 must not leave the timer looking unstarted.
    At(0);
    timer.Start();
    EXPECT_TRUE(timer.Running());
    At(3000);
    EXPECT_EQ(timer.Seconds(), 3);
    timer.Start();  // starting again while running changes nothing
    EXPECT_EQ(timer.Seconds(), 3);
}

TEST_F(TimerTest, SecondsRoundHalvesToEven) {
    struct Case {
        int64_t elapsed;
        int seconds;
    } cases[] = {{0, 0}, {499, 0}, {500, 0}, {501, 1}, {1500, 2}, {2400, 2}, {2500, 2}, {3500, 4}};
    for (const auto& c : cases) {
        TTypingTimer t;
        At(10'000);
        t.Start();
        At(10'000 + c.elapsed);
        EXPECT_EQ(t.Seconds(), c.seconds) << c.elapsed << " ms";
    }
}

TEST_F(TimerTest, PausedSpanIsNotCounted) {
    At(1000);
    timer.Start();
    At(6000);
    timer.Pause();
    EXPECT_FALSE(timer.Running());
    At(60'000);
    EXPECT_EQ(timer.Seconds(), 5);  // frozen while paused
    timer.Start();
    At(62'000);
    EXPECT_EQ(timer.Seconds(), 7);
    timer.Pause();
    At(63'000);
    timer.Pause();  // a second pause does not move the pause point
    At(64'000);
    timer.Start();
    EXPECT_EQ(timer.Seconds(), 7);
}

TEST_F(TimerTest, PauseBeforeStartDoesNothing) {
    At(500);
    timer.Pause();
    EXPECT_FALSE(timer.Started());
    EXPECT_EQ(timer.Seconds(), 0);
    timer.Start();
    At(2500);
    EXPECT_TRUE(timer.Running());
    EXPECT_EQ(timer.Seconds(), 2);
}

TEST_F(TimerTest, NeverBelowZeroAndResetStops) {
    At(5000);
    timer.Start();
    At(1000);  // a clock that went back
    EXPECT_EQ(timer.Seconds(), 0);
    timer.Reset();
    EXPECT_FALSE(timer.Started());
    EXPECT_FALSE(timer.Running());
    At(9000);
    EXPECT_EQ(timer.Seconds(), 0);
}

TEST_F(TimerTest, SetSecondsRestoresPausedTimer) {
    At(100);  // less than the seconds set: the start lies before the clock's zero
    timer.SetSeconds(3725);
    EXPECT_TRUE(timer.Started());
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(timer.Seconds(), 3725);
    EXPECT_EQ(timer.ClockText(), "01:02:05");
    At(50'100);
    EXPECT_EQ(timer.Seconds(), 3725);
    timer.Start();
    At(60'100);
    EXPECT_EQ(timer.Seconds(), 3735);
}

TEST_F(TimerTest, ClockTextFormats) {
    struct Case {
        int seconds;
        const char* text;
    } cases[] = {{0, "00:00:00"},     {59, "00:00:59"}, {61, "00:01:01"},
                 {36000, "10:00:00"}, {-5, "00:00:00"}, {360000, "100:00:00"}};
    for (const auto& c : cases) {
        At(1'000'000'000);
        TTypingTimer t;
        t.SetSeconds(c.seconds);
        EXPECT_EQ(t.ClockText(), c.text) << c.seconds;
    }
}

TEST(IntervalArgs, FromDaysClampsBeforeScaling) {
    struct Case {
        double days;
        int32_t arg;
    } cases[] = {
        {0, 0},
        {1e-5, 1000},  // one unit
        {2.5e-5, 2500},
        {-1e-5, 0},  // a clock that went back
        {1.0, 100'000'000},
        {100.0, 2'147'483'000},  // would be 10^10 unscaled: clamped, not wrapped
        {std::numeric_limits<double>::infinity(), 2'147'483'000},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(IntervalArgFromDays(c.days), c.arg) << c.days;
}

TEST(IntervalArgs, FromMilliseconds) {
    struct Case {
        int64_t ms;
        int32_t arg;
    } cases[] = {{0, 0},
                 {864, 1000},
                 {432, 500},
                 {-20, 0},
                 {86'400'000, 100'000'000},
                 {INT64_MAX, 2'147'483'000},
                 {3'000'000'000LL, 2'147'483'000}};
    for (const auto& c : cases) EXPECT_EQ(IntervalArgFromMs(c.ms), c.arg) << c.ms;
}

TEST_F(TimerTest, KeyIntervalsFromTheClock) {
    TKeyIntervals intervals;
    At(86'400'000 - 432);  // across midnight makes no difference on a monotonic clock
    EXPECT_EQ(intervals.Take(), 0);
    At(86'400'000 + 432);
    EXPECT_EQ(intervals.Take(), 1000);
    At(86'400'000 + 432 + 1728);
    EXPECT_EQ(intervals.Take(), 2000);
    intervals.Reset();
    At(90'000'000);
    EXPECT_EQ(intervals.Take(), 0);
}

TEST(TickClock, DefaultIsMonotonic) {
    SetTickClock(nullptr);
    const int64_t a = NowTicks();
    const int64_t b = NowTicks();
    EXPECT_LE(a, b);
}

}  // namespace
}  // namespace corv
