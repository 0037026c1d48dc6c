#pragma once
// The course contents: the lessons of the course (a click starts one), its progress and
// the lesson duration the user studies with.

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "views/FormView.h"
#include "views/StorageForm.h"

class QComboBox;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace corv {

class TContents;

enum class CourseContentsAnswer {
    kClosed = 0,  // through the menu
    kStudy = 1,   // at the lesson the bookmark points to
    kBack = 2,
    kShowAgain = 3,  // the course contents again, next visit
    kChangeCourse = 8,
};

class TCourseViewStg : public TStorageForm {
  public:
    TCourseViewStg();
    QWidget* CoursePanel;
    QFrame* LessonPanel;
    QLabel* LessonsLbl;
    std::vector<QPushButton*> Lessons;  // Lesson01 ...
    QFrame* InfoCard;
    QLabel* LongDescLbl;
    QProgressBar* CourseProgressBar;
    QLabel* PercentLbl;
    QLabel* DurationLbl;
    QStackedWidget* DurationPages;  // "optimized", "custom", "dynamic"
    QLabel* OptimizedLbl;
    QPushButton* OptiDurationBtn;
    QComboBox* DurationList;
    QLabel* CustomLbl;
    QPushButton* CustomDurationBtn;
    QComboBox* DurationList2;
    QLabel* WholeCourseLbl;
    QLabel* CourseIconLbl;
    QPushButton* StartLessonBtn;
    QPushButton* BackBtn;
    QPushButton* ChangeCourseBtn;
};

class TCourseContentsView : public TCustomBookView {
  public:
    // The course to show; loaded from the user's course when null.
    explicit TCourseContentsView(TContents* course = nullptr);
    ~TCourseContentsView() override;
    void Setup() override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;

    // The lesson duration the controls show (the bookmark's duration value).
    int ChosenDuration() const;
    TCourseViewStg* Storage() const { return stg_.get(); }
    TContents* Course() const { return course_; }

  private:
    void LessonClick(int index);
    void UpdateDurationTexts();
    void Leave();
    TContents* course_;
    std::unique_ptr<TContents> owned_;
    std::unique_ptr<TCourseViewStg> stg_;
    bool static_ = false;
    bool durationLocked_ = false;
};

}  // namespace corv
