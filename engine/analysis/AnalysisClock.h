#pragma once
// The millisecond tick source of the typing timers and keystroke intervals. A monotonic
// clock: a time-of-day difference jumps at midnight and whenever the clock is set.

#include <cstdint>

namespace corv {

class ITickClock {
  public:
    virtual ~ITickClock() = default;
    virtual int64_t Ticks() = 0;  // milliseconds
};

// The process's tick count (std::chrono::steady_clock unless a clock was set).
int64_t NowTicks();
// A clock of the caller's (tests); nullptr goes back to the steady clock. Not owned.
void SetTickClock(ITickClock* clock);

// Keystroke intervals are counted in units of 10^-5 day (0.864 s); Analyzer_CharPressed
// takes thousandths of a unit as a 32-bit integer. Both helpers clamp the interval before
// scaling so a long pause cannot overflow: a negative or unusable interval gives 0.
int32_t IntervalArgFromDays(double days);
int32_t IntervalArgFromMs(int64_t ms);

// The time since the previous keystroke of an activity, from the tick clock.
class TKeyIntervals {
  public:
    // The argument for Analyzer_CharPressed; 0 for the first keystroke after Reset.
    int32_t Take();
    void Reset() { started_ = false; }

  private:
    int64_t last_ = 0;
    bool started_ = false;
};

}  // namespace corv
