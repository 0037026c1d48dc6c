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

    PositionLbl = art::NewLabel(LessonPanel, 9, false, art::InkSoft());
    Register(PositionLbl, "PositionLbl");
    PositionLbl->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 92, 350, 18));
    LessonNameLbl = art::NewLabel(LessonPanel, 15, true, art::AccentDark());
    Register(LessonNameLbl, "LessonNameLbl");
    LessonNameLbl->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 108, 350, 26));
    ExtraDescLbl = art::NewLabel(LessonPanel, 9, false, art::InkSoft());
    Register(ExtraDescLbl, "ExtraDescLbl");
    ExtraDescLbl->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 458, 350, 48));
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
    LessonPic->setStyleSheet(art::TransparentStyle());
    lessonregimage = Make<QLabel>(LessonPanel, "lessonregimage");
    lessonregimage->setGeometry(
        PlaceOnBook(TLessonViewStg::kSideLeft, 94, TLessonViewStg::kSideWidth, 160));
    lessonregimage->setAlignment(Qt::AlignCenter);
    lessonregimage->hide();

    InfoPanel = Make<QStackedWidget>(LessonPanel, "InfoPanel");
    InfoPanel->setGeometry(
        PlaceOnBook(TLessonViewStg::kSideLeft, 262, TLessonViewStg::kSideWidth, 158));
    InfoPanel->setStyleSheet(art::CardStyle(QStringLiteral("QStackedWidget#InfoPanel")));
    auto* progress = new QWidget(InfoPanel);
    InfoPanel->addWidget(progress);
    Courselbl = art::NewLabel(progress, 10, true, art::AccentDark());
    Register(Courselbl, "Courselbl");
    Courselbl->setGeometry(14, 10, 196, 20);
    CourseProgressBar = Gauge(progress);
    Register(CourseProgressBar, "CourseProgressBar");
    CourseProgressBar->setGeometry(14, 38, 150, 12);
    CoursePercentLbl = art::NewLabel(progress, 10, true, art::Accent());
    Register(CoursePercentLbl, "CoursePercentLbl");
    CoursePercentLbl->setGeometry(164, 33, 44, 20);
    CoursePercentLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CourseDoneLbl = art::NewLabel(progress, 9, false, art::InkSoft());
    Register(CourseDoneLbl, "CourseDoneLbl");
    CourseDoneLbl->setGeometry(14, 60, 110, 18);
    CourseDone = art::NewLabel(progress, 10, true, art::Ink());
    Register(CourseDone, "CourseDone");
    CourseDone->setGeometry(112, 59, 96, 20);
    CourseDone->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CourseLeftLbl = art::NewLabel(progress, 9, false, art::InkSoft());
    Register(CourseLeftLbl, "CourseLeftLbl");
    CourseLeftLbl->setGeometry(14, 80, 110, 18);
    CourseLeft = art::NewLabel(progress, 10, true, art::Ink());
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
    traininglbl = art::NewLabel(review, 10, true, art::AccentDark());
    Register(traininglbl, "traininglbl");
    traininglbl->setGeometry(14, 10, 190, 20);
    beforelbl = art::NewLabel(review, 8, true, art::InkSoft());
    Register(beforelbl, "beforelbl");
    beforelbl->setGeometry(88, 36, 60, 16);
    nowlbl = art::NewLabel(review, 8, true, art::InkSoft());
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
        QLabel* label = art::NewLabel(review, 9, false, art::Ink());
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
        b->setStyleSheet(art::SmallButtonStyle());

    NaviPanel = Make<QFrame>(LessonPanel, "NaviPanel");
    NaviPanel->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 508, 580, 40));
    NaviPanel->setStyleSheet(art::LessonNaviStyle(QStringLiteral("QFrame#NaviPanel")));
    NaviLbl = art::NewLabel(NaviPanel, 8, true, art::InkSoft());
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
    MessageTitleLbl = art::NewLabel(LessonDonePanel, 18, true, art::AccentDark());
    Register(MessageTitleLbl, "MessageTitleLbl");
    MessageTitleLbl->setGeometry(PlaceOnBook(140, 92, 520, 34));
    MessageText = art::NewLabel(LessonDonePanel, 10, false, art::InkMuted());
    Register(MessageText, "MessageText");
    MessageText->setGeometry(PlaceOnBook(140, 124, 520, 22));
    MessageText->setWordWrap(true);
    NextLes = art::NewLabel(LessonDonePanel, 9, true, art::InkSoft());
    Register(NextLes, "NextLes");
    NextLes->setGeometry(PlaceOnBook(140, 374, 500, 18));
    NextLessonNameLbl = art::NewLabel(LessonDonePanel, 13, true, art::Accent());
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
