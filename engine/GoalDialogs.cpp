#include "engine/GoalDialogs.h"

#include <QPainter>
#include <QPainterPath>

#include "core/Localize.h"
#include "engine/EventsStg.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"

namespace corv {

namespace {

QString FrameStyle(const char* name) {
    return QStringLiteral(
               "QFrame#%1 { background: #fffaf0; border: 2px solid #f2b134; "
               "border-radius: 12px; }")
        .arg(QLatin1String(name));
}

QLabel* Caption(QWidget* parent, const QRect& place, int id) {
    QLabel* l = art::NewLabel(parent, 10, true, art::InkSoft());
    l->setGeometry(place);
    l->setText(ToQt(Str(id)));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

}  // namespace

QPixmap ExerciseCompletedPicture() {
    QPixmap pm(56, 56);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(art::Good());
    p.drawEllipse(QRectF(3, 3, 50, 50));
    QPen tick(QColor(255, 255, 255), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tick);
    QPainterPath path;
    path.moveTo(16, 29);
    path.lineTo(25, 38);
    path.lineTo(41, 19);
    p.drawPath(path);
    return pm;
}

QPixmap OptimizedPicture() {
    QPixmap pm(36, 36);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A clock face whose hand is pushed forward by an arrow: the time adapts to the user.
    p.setPen(QPen(art::Accent(), 3));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QRectF(3, 3, 30, 30));
    p.setPen(QPen(art::Accent(), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 18), QPointF(18, 9));
    p.drawLine(QPointF(18, 18), QPointF(25, 21));
    p.setPen(Qt::NoPen);
    p.setBrush(art::Amber());
    QPainterPath arrow;
    arrow.moveTo(28, 2);
    arrow.lineTo(35, 9);
    arrow.lineTo(26, 11);
    arrow.closeSubpath();
    p.drawPath(arrow);
    return pm;
}

void TEventsStg::MakeGoalControls() {
    // --- Goal panel in the console, where the hidden time gauge would be ---
    GoalPanel = Make<QWidget>(EventConsole, "GoalPanel");
    GoalPanel->setGeometry(132, 6, 200, 52);
    GoalLbl = art::NewLabel(GoalPanel, 9, false, art::InkSoft());
    Register(GoalLbl, "GoalLbl");
    GoalLbl->setGeometry(0, 0, 200, 18);
    GoalLbl->setText(ToQt(Str(1609)));
    ProgressBarEmptyPic = Make<QFrame>(GoalPanel, "ProgressBarEmptyPic");
    ProgressBarEmptyPic->setGeometry(0, 24, 150, 14);
    ProgressBarEmptyPic->setStyleSheet(
        QStringLiteral("QFrame#ProgressBarEmptyPic { background: #e6ecdc; border: 1px solid "
                       "#c9d8b0; border-radius: 7px; }"));
    ProgressBarFullPic = Make<QFrame>(GoalPanel, "ProgressBarFullPic");
    ProgressBarFullPic->setGeometry(0, 24, 0, 14);
    ProgressBarFullPic->setStyleSheet(QStringLiteral(
        "QFrame#ProgressBarFullPic { border-radius: 7px; background: qlineargradient(x1:0, y1:0, "
        "x2:0, y2:1, stop:0 #8fd16a, stop:1 #4f9d2d); }"));
    GoalPanel->hide();

    // --- Goal dialog ---
    ViewGoalMsg = Make<QFrame>(this, "ViewGoalMsg");
    ViewGoalMsg->setGeometry(PlaceOnBook(170, 84, 460, 384));
    ViewGoalMsg->setStyleSheet(FrameStyle("ViewGoalMsg"));
    ViewGoalTitle2 = art::NewLabel(ViewGoalMsg, 16, true, art::Accent());
    Register(ViewGoalTitle2, "ViewGoalTitle2");
    ViewGoalTitle2->setGeometry(24, 16, 412, 34);
    Caption(ViewGoalMsg, QRect(24, 64, 120, 20), 1604);
    ViewGoalObjective = art::NewLabel(ViewGoalMsg, 11, false, art::Ink());
    Register(ViewGoalObjective, "ViewGoalObjective");
    ViewGoalObjective->setGeometry(140, 62, 296, 44);
    ViewGoalObjective->setWordWrap(true);
    ViewGoalObjective->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Caption(ViewGoalMsg, QRect(24, 118, 120, 20), 1605);
    ViewGoalDuration = art::NewLabel(ViewGoalMsg, 11, false, art::Ink());
    Register(ViewGoalDuration, "ViewGoalDuration");
    ViewGoalDuration->setGeometry(140, 116, 250, 44);
    ViewGoalDuration->setWordWrap(true);
    ViewGoalDuration->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    OptimizedPic = Make<QLabel>(ViewGoalMsg, "OptimizedPic");
    OptimizedPic->setGeometry(400, 112, 36, 36);
    OptimizedPic->setPixmap(OptimizedPicture());
    OptimizedPic->setStyleSheet(art::TransparentStyle());
    Caption(ViewGoalMsg, QRect(24, 172, 412, 20), 1606);
    AccuracyGoalList = Make<QListWidget>(ViewGoalMsg, "AccuracyGoalList");
    AccuracyGoalList->setGeometry(24, 196, 412, 104);
    AccuracyGoalList->setFont(art::UiFont(11));
    AccuracyGoalList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AccuracyGoalList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AccuracyGoalList->setFocusPolicy(Qt::NoFocus);  // keys stay with the event
    AccuracyGoalList->setStyleSheet(QStringLiteral("QListWidget::item { padding: 5px 6px; }"));
    GoalBeginBtn = Make<QPushButton>(ViewGoalMsg, "GoalBeginBtn");
    art::SetButtonRole(GoalBeginBtn, art::ButtonRole::kPrimary);
    GoalBeginBtn->setGeometry(276, 322, 160, 38);
    GoalBeginBtn->setText(ToQt(Str(1607)));
    GoalBeginBtn->setFocusPolicy(Qt::NoFocus);
    ViewGoalMsg->hide();

    // --- Goal status ---
    GoalStatusMsg = Make<QFrame>(this, "GoalStatusMsg");
    GoalStatusMsg->setGeometry(PlaceOnBook(190, 130, 420, 260));
    GoalStatusMsg->setStyleSheet(FrameStyle("GoalStatusMsg"));
    ExerciseCompletedPic = Make<QLabel>(GoalStatusMsg, "ExerciseCompletedPic");
    ExerciseCompletedPic->setGeometry(24, 20, 56, 56);
    ExerciseCompletedPic->setPixmap(ExerciseCompletedPicture());
    ExerciseCompletedPic->setStyleSheet(art::TransparentStyle());
    GoalStatusTitle = art::NewLabel(GoalStatusMsg, 15, true, art::Accent());
    Register(GoalStatusTitle, "GoalStatusTitle");
    GoalStatusTitle->setGeometry(92, 20, 304, 56);
    GoalStatusTitle->setWordWrap(true);
    GoalStatusTitle->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    GoalStatusText = art::NewLabel(GoalStatusMsg, 11, false, art::Ink());
    Register(GoalStatusText, "GoalStatusText");
    GoalStatusText->setGeometry(24, 88, 372, 82);
    GoalStatusText->setWordWrap(true);
    GoalStatusText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    GoalStatus_Disable = Make<QCheckBox>(GoalStatusMsg, "GoalStatus_Disable");
    GoalStatus_Disable->setGeometry(24, 172, 372, 24);
    GoalStatus_Disable->setFont(art::UiFont(10));
    GoalStatus_Disable->setText(ToQt(Str(1613)));
    GoalStatus_Disable->setFocusPolicy(Qt::NoFocus);
    GoalStatus_ContinueBtn = Make<QPushButton>(GoalStatusMsg, "GoalStatus_ContinueBtn");
    art::SetButtonRole(GoalStatus_ContinueBtn, art::ButtonRole::kSecondary);
    GoalStatus_ContinueBtn->setGeometry(116, 206, 136, 36);
    GoalStatus_ContinueBtn->setText(ToQt(Str(1697)));
    GoalStatus_ResultsBtn = Make<QPushButton>(GoalStatusMsg, "GoalStatus_ResultsBtn");
    art::SetButtonRole(GoalStatus_ResultsBtn, art::ButtonRole::kPrimary);
    GoalStatus_ResultsBtn->setGeometry(262, 206, 136, 36);
    GoalStatus_ResultsBtn->setText(ToQt(Str(1885)));
    for (QPushButton* b : {GoalStatus_ContinueBtn, GoalStatus_ResultsBtn})
        b->setFocusPolicy(Qt::NoFocus);
    // As designed: the note of a goal reached early.
    GoalStatusTitle->setText(ToQt(Str(1611)));
    GoalStatusText->setText(ToQt(Str(1612)));
    GoalStatusMsg->hide();
}

}  // namespace corv
