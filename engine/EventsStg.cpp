#include "engine/EventsStg.h"

#include <QPainter>

#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

constexpr int kShift = TBookFormEx::kBorrowShift;

// Storage position of a control that lands at (x, y) on the book once borrowed.
QRect OnBook(int x, int y, int w, int h) {
    return QRect(x - kShift, y - kShift, w, h);
}

QPixmap TipIcon() {
    QPixmap pm(36, 36);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(art::Amber());
    p.drawEllipse(QRectF(2, 2, 32, 32));
    p.setPen(QColor(0xff, 0xff, 0xff));
    QFont f = art::UiFont(14, true);
    p.setFont(f);
    p.drawText(QRect(0, 0, 36, 36), Qt::AlignCenter, QStringLiteral("i"));
    return pm;
}

}  // namespace

QRect TEventsStg::MessageArea() {
    return QRect(44, 100, 712, 430);
}

TEventsStg::TEventsStg() {
    // --- Decoration around the typing canvas ---
    TopShadingPic = new art::TShadePic(art::TShadePic::kTop, this);
    Register(TopShadingPic, "TopShadingPic");
    TopShadingPic->setGeometry(OnBook(0, 0, 800, 80));
    ShadingLeftPic = new art::TShadePic(art::TShadePic::kLeft, this);
    Register(ShadingLeftPic, "ShadingLeftPic");
    ShadingLeftPic->setGeometry(OnBook(0, 80, 24, 440));
    ShadingRightPic = new art::TShadePic(art::TShadePic::kRight, this);
    Register(ShadingRightPic, "ShadingRightPic");
    ShadingRightPic->setGeometry(OnBook(776, 80, 24, 440));
    DividerLine = new art::TShadePic(art::TShadePic::kDivider, this);
    Register(DividerLine, "DividerLine");
    DividerLine->setGeometry(OnBook(40, 300, 720, 6));

    // --- Message page: a transparent sheet over the whole book ---
    MessagePanel = Make<QWidget>(this, "MessagePanel");
    MessagePanel->setGeometry(OnBook(0, 0, 800, 600));
    TopshadingMsg = new art::TShadePic(art::TShadePic::kTitle, MessagePanel);
    Register(TopshadingMsg, "TopshadingMsg");
    TopshadingMsg->setGeometry(0, 0, 800, 84);
    BottomShadingPic = new art::TShadePic(art::TShadePic::kBottom, MessagePanel);
    Register(BottomShadingPic, "BottomShadingPic");
    BottomShadingPic->setGeometry(0, 520, 800, 80);

    MessageTitleLbl = Make<QLabel>(MessagePanel, "MessageTitleLbl");
    MessageTitleLbl->setGeometry(44, 24, 640, 48);
    MessageTitleLbl->setFont(art::UiFont(20, true));
    MessageTitleLbl->setStyleSheet(QStringLiteral("color: #123c52;"));

    MessagePic = Make<QLabel>(MessagePanel, "MessagePic");
    MessagePic->setAlignment(Qt::AlignCenter);
    MessagePic->hide();

    MessageText = Make<QLabel>(MessagePanel, "MessageText");
    MessageText->setWordWrap(true);
    MessageText->setTextFormat(Qt::PlainText);
    MessageText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    MessageText->setFont(art::UiFont(11));
    MessageText->setStyleSheet(QStringLiteral("color: #233340;"));

    MessagePageLbl = Make<QLabel>(MessagePanel, "MessagePageLbl");
    MessagePageLbl->setGeometry(360, 554, 150, 26);
    MessagePageLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MessagePageLbl->setFont(art::UiFont(10));
    MessagePageLbl->setStyleSheet(QStringLiteral("color: #5d6f7c;"));

    ActionBtn = Make<QPushButton>(MessagePanel, "ActionBtn");
    art::SetButtonRole(ActionBtn, art::ButtonRole::kPrimary);
    ActionBtn->setGeometry(190, 548, 220, 34);
    ActionBtn->setText(QStringLiteral("Train now"));
    ActionBtn->hide();
    MessageCancelBtn = Make<QPushButton>(MessagePanel, "MessageCancelBtn");
    art::SetButtonRole(MessageCancelBtn, art::ButtonRole::kSecondary);
    MessageCancelBtn->setGeometry(528, 548, 118, 34);
    MessageNextBtn = Make<QPushButton>(MessagePanel, "MessageNextBtn");
    art::SetButtonRole(MessageNextBtn, art::ButtonRole::kPrimary);
    MessageNextBtn->setGeometry(658, 548, 118, 34);

    // --- Finish message ---
    EventMsg = Make<QFrame>(this, "EventMsg");
    EventMsg->setGeometry(OnBook(240, 214, 320, 112));
    EventMsg->setStyleSheet(
        QStringLiteral("QFrame#EventMsg { background: #fffaf0; border: 2px solid #f2b134; "
                       "border-radius: 12px; }"));
    EventMsgText = Make<QLabel>(EventMsg, "EventMsgText");
    EventMsgText->setGeometry(16, 12, 288, 88);
    EventMsgText->setAlignment(Qt::AlignCenter);
    EventMsgText->setWordWrap(true);
    EventMsgText->setFont(art::UiFont(12, true));
    EventMsgText->setStyleSheet(QStringLiteral("color: #123c52; background: transparent;"));
    EventMsgText->setText(QStringLiteral("The exercise is finished.\nPress Enter to continue."));
    EventMsg->hide();

    // --- Console ---
    EventConsole = Make<QWidget>(this, "EventConsole");
    EventConsole->setGeometry(OnBook(0, 536, 800, 64));
    TimePanel = Make<QWidget>(EventConsole, "TimePanel");
    TimePanel->setGeometry(24, 8, 300, 48);
    TimeLbl = Make<QLabel>(TimePanel, "TimeLbl");
    TimeLbl->setGeometry(0, 0, 300, 18);
    TimeLbl->setFont(art::UiFont(9));
    TimeLbl->setStyleSheet(QStringLiteral("color: #5d6f7c;"));
    TimeLabel = Make<QLabel>(TimePanel, "TimeLabel");
    TimeLabel->setGeometry(0, 18, 100, 28);
    TimeLabel->setFont(art::UiFont(16, true));
    TimeLabel->setStyleSheet(QStringLiteral("color: #1f6f8b;"));
    TimeGraph = Make<QProgressBar>(TimePanel, "TimeGraph");
    TimeGraph->setGeometry(104, 28, 180, 12);
    TimeGraph->setTextVisible(false);
    TimeGraph->setRange(0, 100);
    TimeGraph->setValue(0);
    PauseBtn = Make<QPushButton>(EventConsole, "PauseBtn");
    art::SetButtonRole(PauseBtn, art::ButtonRole::kSecondary);
    PauseBtn->setGeometry(344, 14, 104, 34);
    PauseBtn->setText(QStringLiteral("Pause"));
    PauseBtn->hide();
    CancelEventBtn = Make<QPushButton>(EventConsole, "CancelEventBtn");
    art::SetButtonRole(CancelEventBtn, art::ButtonRole::kSecondary);
    CancelEventBtn->setGeometry(528, 14, 118, 34);
    NextEventBtn = Make<QPushButton>(EventConsole, "NextEventBtn");
    art::SetButtonRole(NextEventBtn, art::ButtonRole::kPrimary);
    NextEventBtn->setGeometry(658, 14, 118, 34);

    // --- Drill tips ---
    DrillTipPanel = Make<QWidget>(this, "DrillTipPanel");
    DrillTipPanel->setGeometry(OnBook(40, 440, 720, 88));
    const QPixmap tip = TipIcon();
    TipPic1 = Make<QLabel>(DrillTipPanel, "TipPic1");
    TipPic1->setPixmap(tip);
    TipPic1->setGeometry(0, 4, 36, 36);
    TipText1 = Make<QLabel>(DrillTipPanel, "TipText1");
    TipText1->setGeometry(46, 0, 300, 84);
    TipText1->setWordWrap(true);
    TipPic2 = Make<QLabel>(DrillTipPanel, "TipPic2");
    TipPic2->setPixmap(tip);
    TipPic2->setGeometry(370, 4, 36, 36);
    TipText2 = Make<QLabel>(DrillTipPanel, "TipText2");
    TipText2->setGeometry(416, 0, 300, 84);
    TipText2->setWordWrap(true);
    for (QLabel* l : {TipText1, TipText2}) {
        l->setFont(art::UiFont(10));
        l->setStyleSheet(QStringLiteral("color: #233340;"));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    MakeGoalControls();
}

}  // namespace corv
