#pragma once
// The base of the two lesson pages: the lesson's exercise list with its done marks, the
// lesson navigation, and the keys that move through the list.
// Their answers are the course model's LessonPageAnswer.

#include <memory>
#include <string>

#include "shell/lessons/LessonViewStg.h"
#include "views/FormView.h"

class QPushButton;

namespace corv {

class TBookMark;
class TChapter;
class TExerciseList;

class TCustomContentsView : public TCustomBookView {
  public:
    TCustomContentsView();
    ~TCustomContentsView() override;

    TChapter* Lesson = nullptr;
    int SelectedExercise = 1;
    std::string SavedNextCaption;
    TBookMark* Bookmark = nullptr;
    TExerciseList* List = nullptr;  // on the storage form
    bool ShowCancelValue = false;
    std::string LessonCaption;

    void Setup() override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;

    TLessonViewStg* Storage() const { return stg_.get(); }

  protected:
    void NavigationClick(QPushButton* button);
    std::unique_ptr<TLessonViewStg> stg_;
};

}  // namespace corv
