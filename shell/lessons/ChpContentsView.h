#pragma once
// The lesson page in normal study: the exercises, the neighbouring lessons and the course
// progress with the time studied and the time left.

#include "shell/lessons/CustomContentsView.h"

namespace corv {

class TChpContentsView : public TCustomContentsView {
  public:
    bool NextLessonAllowed = true;
    bool PreviousLessonAllowed = true;

    void Setup() override;
    void ButtonClick(QObject* sender) override;
};

}  // namespace corv
