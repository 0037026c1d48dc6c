#pragma once
// Guided studying: the "Studying" and "Courses" sections. Walks the user through choosing
// a course, its lessons and lesson duration, the lessons themselves and, at the end, the
// course-completed page; remembers in the user's "NextView" where the user is.
//
// Run answers the main loop: 0 stay in studying, 3 settings, 4 statistics, 8 course choice
// next time, 55 the typing meter.

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
class QStackedWidget;

namespace corv {

class TContents;

// What the course list and the course contents show of a course.
struct CourseSummary {
    std::string file;  // with ".cnt"
    std::string id;
    std::string title;
    std::string description;
    std::string language;
    std::string version;
    int lessons = 0;
    int percent = 0;
    bool workDone = false;
    std::string durationText;  // "5 h - 7 h 30 min estimated"
    std::string icon;          // "crs_icon"
    bool loaded = false;
};
// A course file's header only (title, language, version).
CourseSummary ReadCourseHeader(const std::string& file);
// The whole summary, from a load for display.
CourseSummary SummariseCourse(const std::string& file);
// The estimated time of a course: static time options scale the course's own estimate,
// others take 25 to 45 minutes per lesson. Minutes, low and high.
std::pair<int, int> CourseEstimate(TContents& course);

// --- Course choice ---

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

// --- Course contents ---

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

// --- Course completed ---

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

// --- Layout mismatch ---

class TWrongKeyboardViewStg : public TStorageForm {
  public:
    TWrongKeyboardViewStg();
    QWidget* KeyboardPanel;
    QLabel* InstructionsLbl;
    QLabel* MissingLbl;
    QLabel* LayoutLbl;
    QPushButton* Settings;
    QPushButton* SwitchLayout;
    QPushButton* continuebtn;
    QPushButton* changecrs;
};

class TWrongKeyboardView : public TCustomBookView {
  public:
    explicit TWrongKeyboardView(std::string missing);
    ~TWrongKeyboardView() override;
    void Setup() override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;
    TWrongKeyboardViewStg* Storage() const { return stg_.get(); }

  private:
    std::string missing_;
    std::unique_ptr<TWrongKeyboardViewStg> stg_;
};

// --- The workflow ---

class TGuidedStudying {
  public:
    // 1: start at the course choice; 0: go on where the user left off.
    int Run(int argument);

    std::string State;
    std::string Previous;
    bool RepeatLastLesson = false;
    int ResultCode = 0;

  private:
    // Each step; false ends the run with ResultCode.
    bool ChooseCourse();
    bool CourseContents();
    bool Studying();
    bool Completed();
    // The course file the user studies ("ContentsFile", else the policy's default).
    static std::string CourseFile();
    // The characters the course needs that the layout cannot type; the view's answer
    // when the user was asked (-1: nothing missing).
    int CheckLayout();
};

// Registers the "Studying" and "Courses" sections with the main loop, the lesson views
// and the event classes.
void RegisterStudyingSections();

}  // namespace corv
