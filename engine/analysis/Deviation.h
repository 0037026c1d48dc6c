#pragma once
// Keystroke timing: the slow-keystroke detector and the rhythm meter. Both keep the last
// few intervals in a ring, so each keystroke costs a fixed small amount of work.

#include <array>
#include <cstddef>
#include <cstdint>

namespace corv {

namespace analysis {

// The last N values and their mean.
template <int N>
class TRing {
  public:
    void Add(double x) {
        values_[static_cast<size_t>(pos_)] = x;
        pos_ = (pos_ + 1) % N;
        if (count_ < N) ++count_;
        // Summed afresh so the mean does not drift over a long session.
        double sum = 0;
        for (int k = 0; k < count_; ++k) sum += values_[static_cast<size_t>(k)];
        sum_ = sum;
        mean_ = sum / count_;
    }
    void Reset() { *this = TRing{}; }
    int Count() const { return count_; }
    double Sum() const { return sum_; }
    double Mean() const { return mean_; }

  private:
    std::array<double, N> values_{};
    int pos_ = 0;
    int count_ = 0;
    double sum_ = 0;
    double mean_ = 0;
};

}  // namespace analysis

// Judges an interval against the mean of the last 10: a keystroke that takes much longer
// than the user's current pace is slow.
class TDeviationCalc {
  public:
    static constexpr int kRing = 10;
    static constexpr int kMinIntervals = 5;  // fewer never count as slow

    // Selects the lower threshold pair; nothing sets it today.
    bool Relaxed = false;

    // Adds x and tells whether it was slow.
    bool Add(double x);
    void Reset() { ring_.Reset(); }
    int Count() const { return ring_.Count(); }
    double Average() const { return ring_.Mean(); }

  private:
    analysis::TRing<kRing> ring_;
};

// The rhythm meter: how evenly the keys come. Deviation is the mean relative deviation of
// the recent intervals in percent; Unsteady rises while it stays high and drives the light.
class TDeviationMeter {
  public:
    static constexpr int kIntervals = 40;
    static constexpr int kDeviations = 10;
    static constexpr int kFirstDeviationAt = 10;  // intervals before the second ring fills
    static constexpr int kMinDeviations = 5;
    static constexpr int kUnsteadyLimit = 45;  // percent
    static constexpr int kUnsteadyMax = 22;

    int32_t Deviation = 0;
    int32_t LightState = 0;  // 1 green, 2 yellow, 3 red; 0 before the first interval
    int32_t Unsteady = 0;
    float TotalDeviation = 0;
    int32_t TotalCount = 0;

    void AddInterval(double x);
    // Unsteady keeps its value, so the light recovers gradually across a pause.
    void Reset();
    // 100 for a perfectly even rhythm, never below 0.
    int Rhythm() const;

    double IntervalMean() const { return intervals_.Mean(); }
    int DeviationCount() const { return deviations_.Count(); }

  private:
    analysis::TRing<kIntervals> intervals_;
    analysis::TRing<kDeviations> deviations_;
};

}  // namespace corv
