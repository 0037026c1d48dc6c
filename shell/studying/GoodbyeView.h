#pragma once
// The course completed: the studied time, the completion and the course graph, with the
// way to a new course or back to the last lesson.

#include <QWidget>
#include <memory>

#include "views/FormView.h"
#include "views/StorageForm.h"

class QLabel;
class QPushButton;

namespace corv {

class TContents;

enum class GoodbyeAnswer {
    kClosed = 0,
    kNewCourse = 1,
    kBack = 2,  // repeat the last lesson
};

class TWelcomeStg : public TStorageForm {
  public:
    TWelcomeStg();
    QWidget* WelcomePanel;
    QLabel* CongratsLbl;
    QLabel* CourseLbl;
    QLabel* StudiedLbl;
    QLabel* CompletedLbl;
    QWidget* CourseGraph;
    QPushButton* NewCourseBtn;
    QPushButton* ReportBtn;
    QPushButton* BackBtn;
};

class TGoodbyeView : public TCustomBookView {
  public:
    explicit TGoodbyeView(TContents* course);
    ~TGoodbyeView() override;
    void Setup() override;
    void Teardown() override;
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    TWelcomeStg* Storage() const { return stg_.get(); }

  private:
    TContents* course_;
    std::unique_ptr<TWelcomeStg> stg_;
};

}  // namespace corv
