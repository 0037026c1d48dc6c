#pragma once
// Shared fixtures: a clock the test moves by hand, a word collector that records what it
// was asked to store, and language strings that read as their own numbers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Localize.h"
#include "data/DifficultKeys.h"
#include "data/User.h"
#include "engine/analysis/AnalysisClock.h"
#include "engine/analysis/Analyzer.h"
#include "engine/analysis/Scores.h"

namespace corv::test {

class FakeClock : public ITickClock {
  public:
    int64_t now = 0;
    int64_t Ticks() override { return now; }
};

struct StoredWord {
    std::string text;
    int weight;
    int slowKeys;
    int mark;
    int32_t source;
    bool operator==(const StoredWord&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const StoredWord& w) {
    return os << "{\"" << w.text << "\", weight " << w.weight << ", slow " << w.slowKeys
              << ", mark " << w.mark << ", source " << w.source << "}";
}

class RecordingCollector : public TPlainWordCollector {
  public:
    std::vector<StoredWord> stored;
    int wordIndex = 0;
    std::vector<int> indexMasks;

    int Store(int32_t source) override {
        stored.push_back({Text(), ErrorWeight(), SlowKeys(), Mark(), source});
        return static_cast<int>(stored.size());
    }
    int WordIndex(int mask) override {
        indexMasks.push_back(mask);
        return wordIndex;
    }
};

// Every language string a test may meet reads as its number.
inline void NumberStrings() {
    for (int n = 50; n <= 83; ++n) Localization().SetString(n, std::to_string(n));
    for (int n = 315; n <= 323; ++n) Localization().SetString(n, std::to_string(n));
}

// A fresh tutor analysis on a hand-moved clock, with a recording collector and an empty
// active key table.
class AnalysisFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        SetTickClock(&clock);
        CreateAnalysis(TAnalysisProgram::kTutor);
        SetWordCollector(&collector);
        SelectDifficultKeys(0);
        ActiveDifficultKeys().Clear();
        SetScreenshotMode(false);
        NumberStrings();
    }
    void TearDown() override {
        FreeAnalysis();
        SetTickClock(nullptr);
        ActiveDifficultKeys().Clear();
        SetScreenshotMode(false);
        Localization().Reset();
    }

    TEfficiencyInfo& Fig() { return Analysis().Efficiency(); }
    const TDifficultKeys::Counts& KeyCounts(char c) {
        return ActiveDifficultKeys().CountsOf(static_cast<unsigned char>(c));
    }

    FakeClock clock;
    RecordingCollector collector;
};

}  // namespace corv::test
