#pragma once
// The course choice: up to four roll-out steps (the main course, the typing meter, the
// secondary course, every other course of the language) and the language list. Choosing
// a course stores it as the user's "ContentsFile".

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "views/FormView.h"
#include "views/StorageForm.h"

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace corv {

enum class CourseListAnswer {
    kClosed = 0,  // through the menu
    kChosen = 1,  // the chosen course is the user's "ContentsFile"
    kMeter = 1002,
};

class TCourseListViewStg : public TStorageForm {
  public:
    TCourseListViewStg();
    QWidget* CourseListPanel;
    struct Step {
        QFrame* Panel;
        QPushButton* Header;
        QWidget* Body;
        QLabel* Icon = nullptr;  // the course's icon
        QLabel* TitleLbl;
        QLabel* DescLbl;
        QProgressBar* Progress;
        QLabel* PercentLbl;
        QLabel* LessonsLbl;
        QLabel* DurationLbl;
        QPushButton* Start;
    };
    Step Steps[4];
    QListWidget* Courselist;
    QLabel* VantorStateLbl;
    QPushButton* Vantor;
    QPushButton* VantorInfoBtn;
    QComboBox* LanguageList;
};

class TCourseListView : public TCustomBookView {
  public:
    TCourseListView();
    ~TCourseListView() override;
    void Setup() override;
    void Teardown() override;
    void KeyPress(char& key, bool& handled) override;

    // The courses of the four steps (empty: the step is not shown).
    std::string MainCourse, SecondaryCourse;
    std::vector<std::string> OtherCourses;
    int OpenStep = 1;  // 1 .. 4
    std::string Chosen;
    TCourseListViewStg* Storage() const { return stg_.get(); }

    // Works the steps out from the policy, the language file and the course folder.
    void ComputeSteps();

  private:
    void ShowSteps();
    void FillOtherCourses();
    void Open(int step);
    void ShowCourse(int step, const std::string& file);
    void Choose(int step);
    void LanguageChosen(int index);
    std::unique_ptr<TCourseListViewStg> stg_;
    bool meterShown_ = false;
};

}  // namespace corv
