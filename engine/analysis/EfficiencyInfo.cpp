#include "engine/analysis/EfficiencyInfo.h"

#include <algorithm>
#include <climits>

#include "engine/analysis/Round.h"

namespace corv {

namespace {

// count per minute over `seconds`, cut; integer arithmetic so an exact figure is not
// cut down by a rounding error (100 characters in 40 s is 150, not 149).
int PerMinute(int64_t count, int seconds) {
    if (seconds <= 0 || count <= 0) return 0;
    return static_cast<int>(std::min<int64_t>(count * 60 / seconds, INT_MAX));
}

int32_t ClampedAdd(int32_t value, int64_t delta) {
    return static_cast<int32_t>(std::clamp<int64_t>(value + delta, 0, INT32_MAX));
}

}  // namespace

int TEfficiencyInfo::GrossSpeed(int seconds) const {
    return PerMinute(Chars, seconds);
}

int TEfficiencyInfo::NetSpeed(int seconds, int f) const {
    return PerMinute(static_cast<int64_t>(Chars) - static_cast<int64_t>(ErrorWords) * f, seconds);
}

int TEfficiencyInfo::Accuracy(int f) const {
    if (Chars <= 0) return 0;
    const int64_t left = static_cast<int64_t>(Chars) - static_cast<int64_t>(ErrorWords) * f;
    return static_cast<int>(std::clamp<int64_t>(left * 100 / Chars, 0, 100));
}

double TEfficiencyInfo::AccuracyDecimal(int f) const {
    if (Chars <= 0) return 0;
    const double left = static_cast<double>(Chars) - static_cast<double>(ErrorWords) * f;
    return std::clamp(left / Chars * 100.0, 0.0, 100.0);
}

double TEfficiencyInfo::SpeedScore(int seconds) const {
    return std::clamp((GrossSpeed(seconds) - 30) / 60.0, 0.0, 4.0);
}

double TEfficiencyInfo::AccuracyScoreOf(double a) {
    double score;
    if (a < 60)
        score = a / 60.0;
    else if (a < 85)
        score = 1 + (a - 60) / 25.0;
    else if (a < 95)
        score = 2 + (a - 85) / 10.0;
    else
        score = 3 + (a - 95) / 5.0;
    return std::clamp(score, 0.0, 4.0);
}

double TEfficiencyInfo::AccuracyScore(int f) const {
    return AccuracyScoreOf(Accuracy(f));
}

int TEfficiencyInfo::EfficiencyOf(double accuracyScore, double speedScore) {
    const double a = accuracyScore / 4.0;
    const double s = speedScore / 4.0;
    if (a + s == 0) return 0;
    return static_cast<int>(
        std::clamp<int64_t>(analysis::RoundEven(2 * a * s / (a + s) * 100), 0, 100));
}

int TEfficiencyInfo::Efficiency(int seconds, int f) const {
    return EfficiencyOf(AccuracyScore(f), SpeedScore(seconds));
}

void TEfficiencyInfo::SkippedWord(std::string_view word) {
    const int64_t n = static_cast<int64_t>(word.size());
    ErrorWords = ClampedAdd(ErrorWords, 1);
    TotalHits = ClampedAdd(TotalHits, n + 1);
    Chars = ClampedAdd(Chars, n);
}

// Takes back what the word added; the counts stay at 0 or more even when the word was
// never counted (a repeat at the very start), so no figure goes negative.
void TEfficiencyInfo::RepeatedWord(std::string_view word) {
    const int64_t n = static_cast<int64_t>(word.size());
    ErrorWords = ClampedAdd(ErrorWords, 1);
    TotalHits = ClampedAdd(TotalHits, -(n + 1));
    Chars = ClampedAdd(Chars, -n);
    WeightedChars = ClampedAdd(WeightedChars, -2 * n);
}

int TEfficiencyInfo::KeystrokeRate(int burstSeconds) const {
    return PerMinute(Reserved, burstSeconds);
}

int TEfficiencyInfo::NetKeyRate(int seconds) const {
    return PerMinute(NetKeys, seconds);
}

}  // namespace corv
