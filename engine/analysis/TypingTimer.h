#pragma once
// Typing time of an activity: runs while the user types, paused time is not counted.

#include <cstdint>
#include <string>

namespace corv {

class TTypingTimer {
  public:
    // Starts, or resumes after a pause (the paused span is skipped).
    void Start();
    // Only a running timer pauses.
    void Pause();
    bool Running() const { return started_ && !paused_; }
    bool Started() const { return started_; }
    // Whole seconds (halves to even), never below 0; 0 before the first start.
    int Seconds() const;
    void Reset();

    // The meter's day timer is restored from its saved seconds: paused at now.
    void SetSeconds(int seconds);
    // "hh:mm:ss" of Seconds().
    std::string ClockText() const;

    int64_t StartTick() const { return startTick_; }
    int64_t PauseTick() const { return pauseTick_; }

  private:
    // Flags rather than 0 ticks for "not started" and "not paused": a tick count may well
    // be 0 (a fresh clock), and it must not read as "not started".
    int64_t startTick_ = 0;
    int64_t pauseTick_ = 0;
    bool started_ = false;
    bool paused_ = false;
};

}  // namespace corv
