#pragma once
// The advice shown with a result: it finds the weakest of accuracy, difficult keys and
// speed and says what to practise next.

#include <string>

namespace corv {

class TDifficultKeys;
class TEfficiencyInfo;

class TStudyingTip {
  public:
    static constexpr size_t kMaxLength = 255;

    // From the scores 0..4 of accuracy, difficult keys (the statistics' overall rating)
    // and speed. Empty when nothing stands out.
    static std::string Compose(double accuracyScore, double keysScore, double speedScore);

    // For an activity's figures with `seconds` of typing and f characters per word.
    std::string Text(const TEfficiencyInfo& figures, int seconds, TDifficultKeys& keys,
                     int f) const;
};

}  // namespace corv
