#pragma once
// The lesson completed: the keys learnt so far on the keyboard and the next lesson.
// Its answers are the course model's LessonDoneAnswer.

#include <memory>
#include <string>

#include "shell/lessons/LessonViewStg.h"
#include "views/FormView.h"

namespace corv {

class TBookMark;
class TKeyboardPicture;

class TLessonDone : public TCustomBookView {
  public:
    TLessonDone();
    ~TLessonDone() override;

    TKeyboardPicture* Keyboard = nullptr;  // on the storage form
    bool LastLesson = false;
    std::string NextLessonTitle;
    TBookMark* Bookmark = nullptr;

    void Setup() override;
    void Teardown() override;

    TLessonViewStg* Storage() const { return stg_.get(); }

  private:
    std::unique_ptr<TLessonViewStg> stg_;
};

}  // namespace corv
