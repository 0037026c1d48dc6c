#include "shell/lessons/LessonViewStg.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <string>

#include "shell/lessons/ExerciseList.h"
#include "views/Art.h"

namespace corv {

namespace {

QLabel* Text(QWidget* parent, int points, bool bold, const char* colour) {
    auto* label = new QLabel(parent);
    label->setFont(art::UiFont(points, bold));
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    return label;
}

QLabel* PictureLabel(TStorageForm* form, QWidget* parent, TExerciseList::Picture kind) {
    auto* label = new QLabel(parent);
    label->setPixmap(TExerciseList::DefaultPicture(kind));
    label->setFixedSize(TLessonViewStg::kPictureSize, TLessonViewStg::kPictureSize);
    label->hide();
    return label;
}

QProgressBar* Gauge(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    return bar;
}

}  // namespace

TLessonViewStg::TLessonViewStg() {
    LessonPanel = Make<QWidget>(this, "LessonPanel");
    LessonPanel->setGeometry(0, 0, 800, 600);

    PositionLbl = Text(LessonPanel, 9, false, "#5d6f7c");
    Register(PositionLbl, "PositionLbl");
    PositionLbl->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 92, 350, 18));
    LessonNameLbl = Text(LessonPanel, 15, true, "#123c52");
    Register(LessonNameLbl, "LessonNameLbl");
    LessonNameLbl->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 108, 350, 26));
    ExtraDescLbl = Text(LessonPanel, 9, false, "#5d6f7c");
    Register(ExtraDescLbl, "ExtraDescLbl");
    ExtraDescLbl->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 458, 350, 40));
    ExtraDescLbl->setWordWrap(true);
    ExtraDescLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ShadingLeftPic = new art::TShadePic(art::TShadePic::kLeft, LessonPanel);
    Register(ShadingLeftPic, "ShadingLeftPic");
    ShadingLeftPic->setGeometry(PlaceOnBook(0, 90, 12, 470));
    ShadingRightPic = new art::TShadePic(art::TShadePic::kRight, LessonPanel);
    Register(ShadingRightPic, "ShadingRightPic");
    ShadingRightPic->setGeometry(PlaceOnBook(788, 90, 12, 470));
    // Decoration for other page designs; this book draws its own edges.
    ShadingLeftPic->hide();
    ShadingRightPic->hide();

    LessonPic = Make<QLabel>(LessonPanel, "LessonPic");
    LessonPic->setGeometry(
        PlaceOnBook(TLessonViewStg::kSideLeft, 94, TLessonViewStg::kSideWidth, 160));
    LessonPic->setAlignment(Qt::AlignCenter);
    LessonPic->setStyleSheet(QStringLiteral("background: transparent;"));
    lessonregimage = Make<QLabel>(LessonPanel, "lessonregimage");
    lessonregimage->setGeometry(
        PlaceOnBook(TLessonViewStg::kSideLeft, 94, TLessonViewStg::kSideWidth, 160));
    lessonregimage->setAlignment(Qt::AlignCenter);
    lessonregimage->hide();

    InfoPanel = Make<QStackedWidget>(LessonPanel, "InfoPanel");
    InfoPanel->setGeometry(
        PlaceOnBook(TLessonViewStg::kSideLeft, 262, TLessonViewStg::kSideWidth, 158));
    InfoPanel->setStyleSheet(
        QStringLiteral("QStackedWidget#InfoPanel { background: #fffdf8; border: 1px solid #ddd3bf; "
                       "border-radius: 10px; }"));
    auto* progress = new QWidget(InfoPanel);
    InfoPanel->addWidget(progress);
    Courselbl = Text(progress, 10, true, "#123c52");
    Register(Courselbl, "Courselbl");
    Courselbl->setGeometry(14, 10, 196, 20);
    CourseProgressBar = Gauge(progress);
    Register(CourseProgressBar, "CourseProgressBar");
    CourseProgressBar->setGeometry(14, 38, 150, 12);
    CoursePercentLbl = Text(progress, 10, true, "#1f6f8b");
    Register(CoursePercentLbl, "CoursePercentLbl");
    CoursePercentLbl->setGeometry(164, 33, 44, 20);
    CoursePercentLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CourseDoneLbl = Text(progress, 9, false, "#5d6f7c");
    Register(CourseDoneLbl, "CourseDoneLbl");
    CourseDoneLbl->setGeometry(14, 60, 110, 18);
    CourseDone = Text(progress, 10, true, "#233340");
    Register(CourseDone, "CourseDone");
    CourseDone->setGeometry(112, 59, 96, 20);
    CourseDone->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CourseLeftLbl = Text(progress, 9, false, "#5d6f7c");
    Register(CourseLeftLbl, "CourseLeftLbl");
    CourseLeftLbl->setGeometry(14, 80, 110, 18);
    CourseLeft = Text(progress, 10, true, "#233340");
    Register(CourseLeft, "CourseLeft");
    CourseLeft->setGeometry(112, 79, 96, 20);
    CourseLeft->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ContentsBtn = Make<QPushButton>(progress, "ContentsBtn");
    art::SetButtonRole(ContentsBtn, art::ButtonRole::kLink);
    ContentsBtn->setGeometry(8, 104, 196, 22);
    ContentsBtn->setCursor(Qt::PointingHandCursor);
    DurationBtn = Make<QPushButton>(progress, "DurationBtn");
    art::SetButtonRole(DurationBtn, art::ButtonRole::kLink);
    DurationBtn->setGeometry(8, 126, 196, 22);
    DurationBtn->setCursor(Qt::PointingHandCursor);

    auto* review = new QWidget(InfoPanel);
    InfoPanel->addWidget(review);
    traininglbl = Text(review, 10, true, "#123c52");
    Register(traininglbl, "traininglbl");
    traininglbl->setGeometry(14, 10, 190, 20);
    beforelbl = Text(review, 8, true, "#5d6f7c");
    Register(beforelbl, "beforelbl");
    beforelbl->setGeometry(88, 36, 60, 16);
    nowlbl = Text(review, 8, true, "#5d6f7c");
    Register(nowlbl, "nowlbl");
    nowlbl->setGeometry(152, 36, 60, 16);
    QLabel** rowLabels[] = {&Label8, &Label12, &Label15};
    const char* rowNames[] = {"Label8", "Label12", "Label15"};
    QProgressBar** gauges[][2] = {{&KeyIndexGraph, &KeyIndexGraph2},
                                  {&CapitalIndexGraph, &CapitalIndexGraph2},
                                  {&WordIndexGraph, &WordIndexGraph2}};
    const char* gaugeNames[][2] = {{"KeyIndexGraph", "KeyIndexGraph2"},
                                   {"CapitalIndexGraph", "CapitalIndexGraph2"},
                                   {"WordIndexGraph", "WordIndexGraph2"}};
    for (int i = 0; i < 3; ++i) {
        QLabel* label = Text(review, 9, false, "#233340");
        Register(label, rowNames[i]);
        label->setGeometry(14, 58 + i * 28, 74, 18);
        *rowLabels[i] = label;
        for (int j = 0; j < 2; ++j) {
            QProgressBar* bar = Gauge(review);
            Register(bar, gaugeNames[i][j]);
            bar->setGeometry(88 + j * 64, 62 + i * 28, 56, 10);
            *gauges[i][j] = bar;
        }
    }

    PrevLessonBtn = Make<QPushButton>(LessonPanel, "PrevLessonBtn");
    art::SetButtonRole(PrevLessonBtn, art::ButtonRole::kSecondary);
    PrevLessonBtn->setGeometry(PlaceOnBook(TLessonViewStg::kSideLeft, 430, 96, 34));
    NextLessonBtn = Make<QPushButton>(LessonPanel, "NextLessonBtn");
    art::SetButtonRole(NextLessonBtn, art::ButtonRole::kPrimary);
    NextLessonBtn->setGeometry(
        PlaceOnBook(TLessonViewStg::kSideLeft + TLessonViewStg::kSideWidth - 120, 430, 120, 34));
    CompletedBtn = Make<QPushButton>(LessonPanel, "CompletedBtn");
    art::SetButtonRole(CompletedBtn, art::ButtonRole::kPrimary);
    CompletedBtn->setGeometry(
        PlaceOnBook(TLessonViewStg::kSideLeft + TLessonViewStg::kSideWidth - 120, 474, 120, 34));
    ChangeCourseBtn = Make<QPushButton>(LessonPanel, "ChangeCourseBtn");
    art::SetButtonRole(ChangeCourseBtn, art::ButtonRole::kLink);
    ChangeCourseBtn->setGeometry(
        PlaceOnBook(TLessonViewStg::kSideLeft - 4, 472, TLessonViewStg::kSideWidth, 24));
    ChangeCourseBtn->setCursor(Qt::PointingHandCursor);
    for (QPushButton* b :
         {PrevLessonBtn, NextLessonBtn, CompletedBtn, ContentsBtn, DurationBtn, ChangeCourseBtn})
        b->setFocusPolicy(Qt::NoFocus);
    // Lesson names are long; the buttons beside each other keep a smaller text.
    for (QPushButton* b : {PrevLessonBtn, NextLessonBtn, CompletedBtn})
        b->setStyleSheet(QStringLiteral("QPushButton { font-size: 12px; padding: 4px 6px; }"));

    NaviPanel = Make<QFrame>(LessonPanel, "NaviPanel");
    NaviPanel->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 508, 580, 40));
    NaviPanel->setStyleSheet(QStringLiteral(
        "QFrame#NaviPanel { background: transparent; }"
        "QPushButton { font-family: Verdana; font-size: 11px; font-weight: bold; color: #1f6f8b; "
        "padding: 0;"
        " border: 1px solid #c9bfa9; border-radius: 14px; background: #fffdf8; }"
        "QPushButton:hover { border-color: #f2b134; background: #fff8e8; }"
        "QPushButton:disabled { color: white; border-color: #15506a; background: #1f6f8b; }"));
    NaviLbl = Text(NaviPanel, 8, true, "#5d6f7c");
    Register(NaviLbl, "NaviLbl");
    NaviLbl->setGeometry(0, 0, 120, 12);
    NaviLbl->hide();
    for (int n = 1; n <= TLessonViewStg::kNaviButtons; ++n) {
        auto* b = new QPushButton(NaviPanel);
        Register(b, ("LessonNavi" + std::to_string(n)).c_str());
        b->setGeometry((n - 1) * 32, 6, 28, 28);
        b->setText(QString::number(n));
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::PointingHandCursor);
        LessonNavi.push_back(b);
    }

    NewPic = PictureLabel(this, LessonPanel, TExerciseList::kNew);
    NewSelPic = PictureLabel(this, LessonPanel, TExerciseList::kNewSel);
    DonePic = PictureLabel(this, LessonPanel, TExerciseList::kDone);
    DoneSelPic = PictureLabel(this, LessonPanel, TExerciseList::kDoneSel);
    NextPic = PictureLabel(this, LessonPanel, TExerciseList::kNext);
    NextSelPic = PictureLabel(this, LessonPanel, TExerciseList::kNextSel);
    LockedPic = PictureLabel(this, LessonPanel, TExerciseList::kLocked);
    LockedSelPic = PictureLabel(this, LessonPanel, TExerciseList::kLockedSel);
    const std::pair<QLabel*, const char*> pictures[] = {
        {NewPic, "NewPic"},         {NewSelPic, "NewSelPic"},      {DonePic, "DonePic"},
        {DoneSelPic, "DoneSelPic"}, {NextPic, "NextPic"},          {NextSelPic, "NextSelPic"},
        {LockedPic, "LockedPic"},   {LockedSelPic, "LockedSelPic"}};
    for (auto& [label, name] : pictures) Register(label, name);

    // The lesson-completed page.
    LessonDonePanel = Make<QWidget>(this, "LessonDonePanel");
    LessonDonePanel->setGeometry(0, 1, 800, 600);
    MessageTitleLbl = Text(LessonDonePanel, 18, true, "#123c52");
    Register(MessageTitleLbl, "MessageTitleLbl");
    MessageTitleLbl->setGeometry(PlaceOnBook(140, 92, 520, 34));
    MessageText = Text(LessonDonePanel, 10, false, "#4d6270");
    Register(MessageText, "MessageText");
    MessageText->setGeometry(PlaceOnBook(140, 124, 520, 22));
    MessageText->setWordWrap(true);
    NextLes = Text(LessonDonePanel, 9, true, "#5d6f7c");
    Register(NextLes, "NextLes");
    NextLes->setGeometry(PlaceOnBook(140, 374, 500, 18));
    NextLessonNameLbl = Text(LessonDonePanel, 13, true, "#1f6f8b");
    Register(NextLessonNameLbl, "NextLessonNameLbl");
    NextLessonNameLbl->setGeometry(PlaceOnBook(140, 394, 500, 26));
    CancelBtn = Make<QPushButton>(LessonDonePanel, "CancelBtn");
    art::SetButtonRole(CancelBtn, art::ButtonRole::kSecondary);
    CancelBtn->setGeometry(PlaceOnBook(380, 446, 120, 36));
    StartBtn = Make<QPushButton>(LessonDonePanel, "StartBtn");
    art::SetButtonRole(StartBtn, art::ButtonRole::kPrimary);
    StartBtn->setGeometry(PlaceOnBook(512, 446, 128, 36));
}

}  // namespace corv
