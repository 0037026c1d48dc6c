#include "engine/analysis/Scores.h"

#include "core/Localize.h"
#include "data/User.h"
#include "engine/analysis/Analyzer.h"
#include "engine/analysis/Round.h"

namespace corv {

namespace {

bool& ScreenshotFlag() {
    static bool on = false;
    return on;
}

// The listed keys' difficulties, the first `heavy` weighted 1.35 and the rest 0.65,
// averaged over `n` places (missing keys count 0).
int ListScore(TDifficultKeys& keys, const std::string& list, int n, int heavy) {
    double sum = 0;
    for (size_t k = 0; k < list.size() && static_cast<int>(k) < n; ++k)
        sum += keys.Difficulty(static_cast<unsigned char>(list[k])) *
               (static_cast<int>(k) < heavy ? 1.35 : 0.65);
    return static_cast<int>(analysis::RoundEven(sum / n));
}

}  // namespace

int DifficultKeyScore(TDifficultKeys* keys) {
    if (!keys) return 0;
    double sum = 0;
    for (int i = 1; i <= 8; ++i) sum += keys->DifficultyOfRank(i) * (i <= 4 ? 1.35 : 0.65);
    return static_cast<int>(analysis::RoundEven(sum / 8));
}

int DifficultKeyScore() {
    return DifficultKeyScore(&ActiveDifficultKeys());
}

int KeyScore6(TDifficultKeys& keys) {
    return ListScore(keys, keys.DifficultChars(6, TDifficultKeys::Case::kUpper), 6, 3);
}

int KeyScore6() {
    return KeyScore6(ActiveDifficultKeys());
}

int KeyScore8(TDifficultKeys& keys) {
    return ListScore(keys, keys.DifficultChars(8, TDifficultKeys::Case::kLower), 8, 4);
}

int KeyScore8() {
    return KeyScore8(ActiveDifficultKeys());
}

int WordScore() {
    return CollectWords() ? WordCollector().WordIndex(5) : 0;
}

int OverallDifficulty(TDifficultKeys& keys) {
    if (ScreenshotMode()) return 72;
    if (CollectWords())
        return static_cast<int>(analysis::RoundEven(0.35 * WordScore() + 0.45 * KeyScore8(keys) +
                                                    0.2 * KeyScore6(keys)));
    return static_cast<int>(analysis::RoundEven(0.7 * KeyScore8(keys) + 0.3 * KeyScore6(keys)));
}

int OverallDifficulty() {
    return OverallDifficulty(ActiveDifficultKeys());
}

void SetScreenshotMode(bool on) {
    ScreenshotFlag() = on;
}
bool ScreenshotMode() {
    return ScreenshotFlag();
}

TRgb DifficultyColour(double value) {
    if (value >= TDifficultKeys::kHighThreshold) return {255, 1, 79};
    if (value < TDifficultKeys::kLowThreshold) return {167, 180, 247};
    return {255, 210, 29};
}

std::string LevelText(int value) {
    if (value < 0 || value > 100) return {};
    if (value <= 24) return Str(315);
    if (value <= 49) return Str(316);
    if (value <= 69) return Str(317);
    return Str(318);
}

std::string LevelText2(int value) {
    if (value < 0 || value > 100) return {};
    if (value == 0) return Str(319);
    if (value <= 24) return Str(320);
    if (value <= 49) return Str(321);
    if (value <= 69) return Str(322);
    return Str(323);
}

}  // namespace corv
