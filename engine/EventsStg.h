#pragma once
// The controls every event borrows onto the book: the message page, the finish message,
// the console with time display and buttons, the drill tips and the shading pictures.
// Positions are the ones the controls take on the book.

#include <QFrame>
#include <QLabel>
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
    QWidget* ProgressBarFullPic;
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

    // The area of the message page where text and picture stand (book coordinates).
    static QRect MessageArea();
};

}  // namespace corv
