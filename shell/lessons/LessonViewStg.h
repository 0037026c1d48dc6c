#pragma once
// The controls of the lesson pages and of the lesson-completed page, on one storage form:
// the lesson panel with the lesson navigation and the course progress (or the review
// figures), the exercise list's pictures, and the lesson-completed panel.

#include <QWidget>
#include <vector>

#include "views/StorageForm.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace corv {

class TLessonViewStg : public TStorageForm {
  public:
    TLessonViewStg();

    static constexpr int kNaviButtons = 18;
    static constexpr int kPictureSize = 24;
    // The section menu covers the book's left edge: the lesson page starts right of it.
    static constexpr int kListLeft = 200;
    static constexpr int kSideLeft = 560;
    static constexpr int kSideWidth = 222;

    // Lesson page.
    QWidget* LessonPanel;
    QLabel* PositionLbl;
    QLabel* LessonNameLbl;
    QLabel* ExtraDescLbl;
    QLabel* LessonPic;
    QPushButton* ChangeCourseBtn;
    QPushButton* NextLessonBtn;
    QPushButton* PrevLessonBtn;
    QPushButton* CompletedBtn;
    QLabel* lessonregimage;
    QWidget* ShadingLeftPic;
    QWidget* ShadingRightPic;
    QFrame* NaviPanel;
    QLabel* NaviLbl;
    std::vector<QPushButton*> LessonNavi;  // LessonNavi1 .. LessonNavi18
    QStackedWidget* InfoPanel;
    // Page 0: the course progress.
    QLabel* Courselbl;
    QProgressBar* CourseProgressBar;
    QLabel* CoursePercentLbl;
    QLabel* CourseDoneLbl;
    QLabel* CourseDone;
    QLabel* CourseLeftLbl;
    QLabel* CourseLeft;
    QPushButton* ContentsBtn;
    QPushButton* DurationBtn;
    // Page 1: the review figures.
    QLabel* traininglbl;
    QLabel* beforelbl;
    QLabel* nowlbl;
    QLabel* Label8;
    QLabel* Label12;
    QLabel* Label15;
    QProgressBar* KeyIndexGraph;
    QProgressBar* KeyIndexGraph2;
    QProgressBar* CapitalIndexGraph;
    QProgressBar* CapitalIndexGraph2;
    QProgressBar* WordIndexGraph;
    QProgressBar* WordIndexGraph2;
    // The exercise list's pictures.
    QLabel* NewPic;
    QLabel* NewSelPic;
    QLabel* DonePic;
    QLabel* DoneSelPic;
    QLabel* NextPic;
    QLabel* NextSelPic;
    QLabel* LockedPic;
    QLabel* LockedSelPic;

    // Lesson completed.
    QWidget* LessonDonePanel;
    QLabel* MessageTitleLbl;
    QLabel* MessageText;
    QLabel* NextLes;
    QLabel* NextLessonNameLbl;
    QPushButton* StartBtn;
    QPushButton* CancelBtn;
};

}  // namespace corv
