#include "engine/analysis/AnalysisClock.h"

#include <chrono>
#include <climits>
#include <cmath>

namespace corv {

namespace {

ITickClock*& CustomClock() {
    static ITickClock* clock = nullptr;
    return clock;
}

constexpr double kMsPerUnit = 864.0;  // 10^-5 day
constexpr double kUnitsPerDay = 100000.0;
constexpr double kMaxUnits = INT32_MAX / 1000;  // the largest interval that survives x 1000

int32_t ArgFromUnits(double units) {
    if (!(units > 0)) return 0;  // also NaN
    if (units > kMaxUnits) units = kMaxUnits;
    return static_cast<int32_t>(units * 1000.0);
}

}  // namespace

int64_t NowTicks() {
    if (ITickClock* clock = CustomClock()) return clock->Ticks();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SetTickClock(ITickClock* clock) {
    CustomClock() = clock;
}

int32_t IntervalArgFromDays(double days) {
    return ArgFromUnits(days * kUnitsPerDay);
}

int32_t IntervalArgFromMs(int64_t ms) {
    return ArgFromUnits(static_cast<double>(ms) / kMsPerUnit);
}

int32_t TKeyIntervals::Take() {
    const int64_t now = NowTicks();
    const int32_t arg = started_ ? IntervalArgFromMs(now - last_) : 0;
    last_ = now;
    started_ = true;
    return arg;
}

}  // namespace corv
