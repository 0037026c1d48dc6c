#include "engine/analysis/Deviation.h"

#include <cmath>

#include "engine/analysis/Round.h"

namespace corv {

bool TDeviationCalc::Add(double x) {
    ring_.Add(x);
    if (ring_.Count() < kMinIntervals) return false;
    const double y0 = Relaxed ? 0.35 : 0.45;
    const double y1 = Relaxed ? 0.9 : 1.2;
    return x >= y0 + ring_.Mean() * (y1 - y0) / (0.6 - 0.2);
}

void TDeviationMeter::AddInterval(double x) {
    intervals_.Add(x);
    const double m = intervals_.Mean();
    const double r = m == 0 ? 0 : (m - x) / m;
    TotalDeviation += static_cast<float>(std::fabs(r));
    ++TotalCount;
    if (intervals_.Count() >= kFirstDeviationAt) {
        deviations_.Add(std::fabs(r));
        if (deviations_.Count() >= kMinDeviations)
            Deviation = static_cast<int32_t>(analysis::RoundEven(deviations_.Mean() * 100));
    }
    if (Deviation >= kUnsteadyLimit && Unsteady < kUnsteadyMax)
        ++Unsteady;
    else if (Unsteady > 0)
        --Unsteady;
    LightState = Unsteady <= 5 ? 1 : Unsteady <= 17 ? 2 : 3;
}

void TDeviationMeter::Reset() {
    intervals_.Reset();
    deviations_.Reset();
    TotalDeviation = 0;
    TotalCount = 0;
    Deviation = 0;
    LightState = 0;
}

int TDeviationMeter::Rhythm() const {
    if (TotalCount == 0) return 100;
    const int64_t r =
        analysis::RoundEven(100 - static_cast<double>(TotalDeviation) / TotalCount * 100);
    return r < 0 ? 0 : static_cast<int>(r);
}

}  // namespace corv
