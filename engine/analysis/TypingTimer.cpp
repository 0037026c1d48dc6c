#include "engine/analysis/TypingTimer.h"

#include <cstdio>

#include "engine/analysis/AnalysisClock.h"
#include "engine/analysis/Round.h"

namespace corv {

void TTypingTimer::Start() {
    const int64_t now = NowTicks();
    if (!started_) {
        startTick_ = now;
        started_ = true;
    }
    if (paused_) startTick_ += now - pauseTick_;
    paused_ = false;
    pauseTick_ = 0;
}

void TTypingTimer::Pause() {
    if (!Running()) return;
    pauseTick_ = NowTicks();
    paused_ = true;
}

int TTypingTimer::Seconds() const {
    if (!started_) return 0;
    const int64_t end = paused_ ? pauseTick_ : NowTicks();
    const int64_t ms = end - startTick_;
    if (ms <= 0) return 0;
    const int64_t s = analysis::DivRoundEven(ms, 1000);
    return s > INT32_MAX ? INT32_MAX : static_cast<int>(s);
}

void TTypingTimer::Reset() {
    startTick_ = pauseTick_ = 0;
    started_ = paused_ = false;
}

void TTypingTimer::SetSeconds(int seconds) {
    const int64_t now = NowTicks();
    startTick_ = now - static_cast<int64_t>(seconds < 0 ? 0 : seconds) * 1000;
    pauseTick_ = now;
    started_ = paused_ = true;
}

std::string TTypingTimer::ClockText() const {
    const int s = Seconds();
    char buf[48];
    std::snprintf(buf, sizeof buf, "%2.2d:%2.2d:%2.2d", s / 3600, s / 60 % 60, s % 60);
    return buf;
}

}  // namespace corv
