#pragma once
// The controls every event borrows onto the book: the message page, the finish message,
// the console with time display and buttons, the drill tips and the shading pictures.
// Positions are the ones the controls take on the book.

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "views/StorageForm.h"

namespace corv {

class TEventsStg : public TStorageForm {
  public:
    TEventsStg();

    // Message page (covers the book).
    QWidget* MessagePanel;
    QLabel* MessageTitleLbl;
    QLabel* MessagePageLbl;
    QLabel* MessageText;
    QLabel* MessagePic;
    QPushButton* MessageNextBtn;
    QPushButton* MessageCancelBtn;
    QPushButton* ActionBtn;
    QWidget* TopshadingMsg;
    QWidget* BottomShadingPic;

    // Finish message.
    QFrame* EventMsg;
    QLabel* EventMsgText;

    // Console along the bottom of the book.
    QWidget* EventConsole;
    QWidget* TimePanel;
    QLabel* TimeLbl;
    QLabel* TimeLabel;
    QProgressBar* TimeGraph;
    QWidget* GoalPanel;
    QLabel* GoalLbl;
    QWidget* ProgressBarEmptyPic;
    QWidget* ProgressBarFullPic;  // as wide as the goal progress
    QPushButton* PauseBtn;
    QPushButton* NextEventBtn;
    QPushButton* CancelEventBtn;

    // Drill tips.
    QWidget* DrillTipPanel;
    QLabel* TipPic1;
    QLabel* TipText1;
    QLabel* TipPic2;
    QLabel* TipText2;

    // Decoration the canvas of typing events lies between.
    QWidget* TopShadingPic;
    QWidget* ShadingLeftPic;
    QWidget* ShadingRightPic;
    QWidget* DividerLine;

    // Goal dialog: the objective, the duration and the accuracy level, before the start.
    QFrame* ViewGoalMsg;
    QLabel* ViewGoalTitle2;
    QLabel* ViewGoalObjective;
    QLabel* ViewGoalDuration;
    QLabel* OptimizedPic;
    QListWidget* AccuracyGoalList;
    QPushButton* GoalBeginBtn;

    // Goal status: reached early, or the verdict at the end.
    QFrame* GoalStatusMsg;
    QLabel* GoalStatusTitle;
    QLabel* GoalStatusText;
    QLabel* ExerciseCompletedPic;
    QPushButton* GoalStatus_ContinueBtn;
    QPushButton* GoalStatus_ResultsBtn;
    QCheckBox* GoalStatus_Disable;

    // The area of the message page where text and picture stand (book coordinates).
    static QRect MessageArea();

  private:
    // The goal dialogs and the goal panel (engine/GoalDialogs.cpp).
    void MakeGoalControls();
};

}  // namespace corv
