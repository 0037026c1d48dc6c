#pragma once
// The lesson page in review mode: the review's exercises and the difficulty figures
// before the review and now.

#include "shell/lessons/CustomContentsView.h"

namespace corv {

class TReviewContentsView : public TCustomContentsView {
  public:
    TReviewContentsView();
    // Overall, key, capital-letter and word figures, before the review and now.
    int OverallBefore = 0, OverallNow = 0;
    int KeysBefore = 0, KeysNow = 0;
    int CapitalsBefore = 0, CapitalsNow = 0;
    int WordsBefore = 0, WordsNow = 0;
    int HeadingString = 567;
    int TextString = 328;

    void Setup() override;
};

}  // namespace corv
