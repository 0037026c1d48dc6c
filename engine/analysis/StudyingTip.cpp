#include "engine/analysis/StudyingTip.h"

#include <initializer_list>

#include "core/Localize.h"
#include "data/DifficultKeys.h"
#include "engine/analysis/EfficiencyInfo.h"

namespace corv {

namespace {

// Pieces are joined with one space unless the text before already ends in a blank.
void Append(std::string& tip, const std::string& piece) {
    if (piece.empty()) return;
    if (!tip.empty() && tip.back() != ' ' && tip.back() != '\r' && tip.back() != '\n') tip += ' ';
    tip += piece;
}

}  // namespace

std::string TStudyingTip::Compose(double s1, double s3, double s4) {
    const double s2 = 4;  // a fixed fourth score that keeps the mean from being too harsh
    const double mean = (s1 + s2 + s3 + s4) / 4;
    auto weighted = [mean](double s) { return s / 2 * mean; };
    // 1 = the weakest; equal scores share a rank.
    auto rank = [&](double s) {
        int r = 1;
        for (double other : {s1, s2, s3, s4})
            if (other < s) ++r;
        return r;
    };
    const double w1 = weighted(s1), w3 = weighted(s3), w4 = weighted(s4);
    const int r1 = rank(s1), r3 = rank(s3), r4 = rank(s4);

    std::string tip;
    if (r1 == 1 && s1 < 3 && w1 < 1.3) {  // accuracy is the weakest
        if (w4 >= 2) {
            Append(tip, Str(50));
            if (s4 >= 3)
                Append(tip, Str(51));
            else if (s4 < 2)
                Append(tip, Str(52));
            Append(tip, Str(53));
        } else {
            Append(tip, Str(54));
        }
        Append(tip, Str(55));
        Append(tip, Str(56));
    } else if (r3 == 1 && s3 < 3 && w3 < 1.3) {  // difficult keys are the weakest
        if (w1 >= 2) {
            Append(tip, Str(64));
            if (s1 >= 3)
                Append(tip, Str(65));
            else if (s1 < 2)
                Append(tip, Str(66));
            Append(tip, Str(67));
        } else {
            Append(tip, Str(68));
        }
        Append(tip, Str(69));
    } else if (r4 == 1 && s4 < 3 && w4 < 1.3) {  // speed is the weakest
        if (mean >= 2) {
            Append(tip, Str(70));
            if (mean >= 3) Append(tip, Str(71));
            Append(tip, Str(72));
        } else {
            Append(tip, Str(73));
        }
        Append(tip, Str(74));
        Append(tip, Str(75));
    } else if (r4 < r1) {  // speed lags behind accuracy
        if (w1 >= 2) {
            Append(tip, Str(80));
            if (s1 >= 3)
                Append(tip, Str(81));
            else if (s1 < 2)
                Append(tip, Str(82));
            Append(tip, Str(83));
        }
    } else if (w4 >= 2) {  // accuracy lags behind speed
        Append(tip, Str(76));
        if (s4 >= 3)
            Append(tip, Str(77));
        else if (s4 < 2)
            Append(tip, Str(78));
        Append(tip, Str(79));
    }
    if (tip.size() > kMaxLength) tip.resize(kMaxLength);
    return tip;
}

std::string TStudyingTip::Text(const TEfficiencyInfo& figures, int seconds, TDifficultKeys& keys,
                               int f) const {
    return Compose(figures.AccuracyScore(f), keys.OverallRating(), figures.SpeedScore(seconds));
}

}  // namespace corv
