#include "shell/studying/CourseContentsView.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "core/Utility.h"
#include "course/Contents.h"
#include "course/CourseSummary.h"
#include "data/User.h"
#include "platform/qt/QtText.h"
#include "shell/studying/StudyingForms.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

using art::TChevronCombo;
using namespace studying;

namespace {

bool ChapterLockFor(const std::string& courseId) {
    TUser* user = CurrentUser();
    const bool exempt = user && ((user->Group() && user->Group()->GetBool("bypass_chapter_lock")) ||
                                 user->GetBool("bypass_chapter_lock"));
    return CorvSettings::PolicyBool(courseId + ".chapter_lock") && !exempt;
}

// The study-time values of the dynamic system: none, 25, 35 and 45 minutes per lesson.
// Str(1396) Str(1397) Str(1398) Str(1399)
const int kDynamicMinutes[] = {0, 25, 35, 45};
const int kDynamicStrings[] = {1396, 1397, 1398, 1399};

}  // namespace

TCourseViewStg::TCourseViewStg() {
    CoursePanel = Make<QWidget>(this, "CoursePanel");
    CoursePanel->setGeometry(0, 0, 800, 600);

    LessonPanel = Make<QFrame>(CoursePanel, "LessonPanel");
    LessonPanel->setStyleSheet(art::LessonButtonsStyle(QStringLiteral("QFrame#LessonPanel")));
    LessonsLbl = Label(LessonPanel, 9, true, art::InkSoft());
    Register(LessonsLbl, "LessonsLbl");
    LessonsLbl->setGeometry(12, 6, 300, 18);

    InfoCard = Make<QFrame>(CoursePanel, "InfoCard");
    InfoCard->setGeometry(PlaceOnBook(kRight - 270, 94, 270, 446));
    InfoCard->setStyleSheet(art::CardStyle(QStringLiteral("QFrame#InfoCard")));
    auto* v = new QVBoxLayout(InfoCard);
    v->setContentsMargins(18, 14, 18, 16);
    v->setSpacing(6);
    LongDescLbl = Label(InfoCard, 9, false, art::InkMuted());
    Register(LongDescLbl, "LongDescLbl");
    LongDescLbl->setWordWrap(true);
    v->addWidget(LongDescLbl);
    v->addSpacing(4);
    auto* progress = new QHBoxLayout();
    CourseProgressBar = Bar(InfoCard);
    Register(CourseProgressBar, "CourseProgressBar");
    CourseProgressBar->setMaximumWidth(110);
    progress->addWidget(CourseProgressBar, 1);
    PercentLbl = Label(InfoCard, 9, true, art::Accent());
    Register(PercentLbl, "PercentLbl");
    progress->addWidget(PercentLbl);
    v->addLayout(progress);
    v->addSpacing(10);
    DurationLbl = Label(InfoCard, 10, true, art::AccentDark());
    Register(DurationLbl, "DurationLbl");
    v->addWidget(DurationLbl);

    DurationPages = Make<QStackedWidget>(InfoCard, "DurationPages");
    DurationPages->setStyleSheet(
        art::TransparentStyle(QStringLiteral("QStackedWidget#DurationPages")));
    v->addWidget(DurationPages);
    auto page = [this](const char* name) {
        auto* w = new QWidget(DurationPages);
        w->setObjectName(QString::fromLatin1(name));
        DurationPages->addWidget(w);
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(4);
        return l;
    };
    auto wrappedLabel = [this](const char* name) {
        QLabel* label = Label(DurationPages, 9, false, art::Ink());
        Register(label, name);
        label->setWordWrap(true);
        return label;
    };
    auto linkButton = [this](const char* name) {
        QPushButton* button = Button(DurationPages, art::ButtonRole::kLink);
        button->setStyleSheet(art::TightLinkStyle());
        Register(button, name);
        return button;
    };
    auto durationList = [this](const char* name) {
        TChevronCombo* list = Make<TChevronCombo>(DurationPages, name);
        list->setStyleSheet(art::ChevronComboStyle());
        list->setMinimumHeight(28);
        return list;
    };
    QVBoxLayout* optimized = page("optimized");
    OptimizedLbl = wrappedLabel("OptimizedLbl");
    optimized->addWidget(OptimizedLbl);
    OptiDurationBtn = linkButton("OptiDurationBtn");
    optimized->addWidget(OptiDurationBtn);
    optimized->addStretch(1);
    QVBoxLayout* custom = page("custom");
    DurationList = durationList("DurationList");
    custom->addWidget(DurationList);
    CustomLbl = wrappedLabel("CustomLbl");
    custom->addWidget(CustomLbl);
    CustomDurationBtn = linkButton("CustomDurationBtn");
    custom->addWidget(CustomDurationBtn);
    custom->addStretch(1);
    QVBoxLayout* dynamic = page("dynamic");
    DurationList2 = durationList("DurationList2");
    dynamic->addWidget(DurationList2);
    WholeCourseLbl = wrappedLabel("WholeCourseLbl");
    dynamic->addWidget(WholeCourseLbl);
    dynamic->addStretch(1);
    v->addStretch(1);
    CourseIconLbl = new QLabel(InfoCard);
    Register(CourseIconLbl, "CourseIconLbl");
    CourseIconLbl->setAlignment(Qt::AlignCenter);
    CourseIconLbl->setStyleSheet(art::TransparentStyle());
    v->addWidget(CourseIconLbl);
    v->addStretch(1);

    StartLessonBtn = Button(InfoCard, art::ButtonRole::kPrimary);
    Register(StartLessonBtn, "StartLessonBtn");
    StartLessonBtn->setMinimumHeight(38);
    v->addWidget(StartLessonBtn);
    v->addSpacing(6);
    auto* row = new QHBoxLayout();
    BackBtn = Button(InfoCard, art::ButtonRole::kSecondary);
    Register(BackBtn, "BackBtn");
    BackBtn->setMinimumHeight(32);
    row->addWidget(BackBtn);
    ChangeCourseBtn = Button(InfoCard, art::ButtonRole::kSecondary);
    Register(ChangeCourseBtn, "ChangeCourseBtn");
    ChangeCourseBtn->setMinimumHeight(32);
    row->addWidget(ChangeCourseBtn);
    v->addLayout(row);
}

TCourseContentsView::TCourseContentsView(TContents* course) : course_(course) {
    SetShowCancel(false);
}

TCourseContentsView::~TCourseContentsView() {
    CloseBeforeDestroy();
}

int TCourseContentsView::ChosenDuration() const {
    if (durationLocked_) {
        TUser* user = CurrentUser();
        return user ? user->LInteger(course_->CourseId + ".StudyingTime", 1) : 0;
    }
    const TCourseViewStg& s = *stg_;
    if (static_) {
        if (s.DurationPages->currentIndex() == 0) return TBookMark::kCourseDefault;
        return s.DurationList->currentIndex() + 1;
    }
    const int i = s.DurationList2->currentIndex();
    return i >= 0 && i < 4 ? kDynamicMinutes[i] : 0;
}

void TCourseContentsView::UpdateDurationTexts() {
    TCourseViewStg& s = *stg_;
    const int lessons = course_->ChapterCount();
    if (static_) {
        const auto [low, high] = CourseEstimate(*course_);
        const std::vector<int> options = DurationOptions(*course_);
        const int first = options.empty() ? 0 : options.front();
        const int third = options.size() >= 3 ? options[2] : options.empty() ? 0 : options.back();
        s.OptimizedLbl->setText(ToQt(Str(1700) + HoursMinutes(low) + " - " + HoursMinutes(high) +
                                     Str(1701) + "\r\n" + Str(1702) + std::to_string(first) +
                                     " - " + std::to_string(third) + Str(1703)));
        const int index = s.DurationList->currentIndex();
        const int option = index >= 0 && index < static_cast<int>(options.size())
                               ? options[static_cast<size_t>(index)]
                               : 0;
        s.CustomLbl->setText(ToQt(Str(1700) + HoursMinutes(option * lessons) + Str(1701)));
    } else {
        const int minutes = ChosenDuration();
        s.WholeCourseLbl->setText(
            ToQt(minutes > 0 ? Str(1704) + HoursMinutes(minutes * lessons) : Str(1396)));
    }
}

void TCourseContentsView::Setup() {
    TCustomBookView::Setup();
    SetButtonSet(0);
    TUser* user = CurrentUser();
    if (!course_) {
        std::string file = user ? user->GetText("ContentsFile") : std::string();
        if (file.empty()) file = WithCntExtension(CorvSettings::PolicyText("DefaultContents"));
        owned_ = TContents::IndexOnly(file);
        course_ = owned_.get();
    }
    stg_ = std::make_unique<TCourseViewStg>();
    TCourseViewStg& s = *stg_;
    TBookMark& bookmark = course_->Bookmark;
    MainWindow()->SetTitle(course_->Description);

    // The lessons, one button each; the current one marked.
    const int lessons = course_->ChapterCount();
    s.LessonPanel->setGeometry(PlaceOnBook(kLeft, 94, 300, lessons * 24 + 30));
    s.LessonsLbl->setText(ToQt(Str(1830)));
    const std::vector<std::string> titles = course_->LessonTitles(false, false);
    const bool locked = ChapterLockFor(course_->CourseId);
    for (int i = 0; i < lessons; ++i) {
        auto* b = new QPushButton(s.LessonPanel);
        char name[24];
        std::snprintf(name, sizeof name, "Lesson%02d", i + 1);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(6, 26 + i * 24, 288, 23);
        b->setText(ToQt(titles[static_cast<size_t>(i)]));
        b->setProperty("tag", i);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::PointingHandCursor);
        b->setProperty("corvCurrent", i + 1 == bookmark.Chapter);
        if (locked && i + 1 > std::max(1, bookmark.Chapter)) b->setEnabled(false);
        QObject::connect(b, &QPushButton::clicked, [this, i] { LessonClick(i); });
        s.Lessons.push_back(b);
    }

    s.LongDescLbl->setText(ToQt(course_->LongDescription));
    const int percent = bookmark.PercentComplete();
    s.CourseProgressBar->setValue(percent);
    s.PercentLbl->setText(ToQt(
        bookmark.CompletedExercises > 0 ? std::to_string(percent) + " " + Str(399) : Str(1696)));
    const bool inside = bookmark.Chapter >= 1 && bookmark.Chapter <= lessons;
    s.StartLessonBtn->setText(
        ToQt(inside ? Str(1698) + std::to_string(bookmark.Chapter) : Str(1699)));
    s.BackBtn->setText(ToQt(Str(1213)));
    s.ChangeCourseBtn->setText(ToQt(Str(1793)));
    s.DurationLbl->setText(ToQt(Str(1831)));
    s.OptiDurationBtn->setText(ToQt(Str(1825)));
    QPixmap icon;
    if (!course_->CourseIcon.empty() && icon.load(ToQt(TContents::PathOf(course_->CourseIcon))))
        s.CourseIconLbl->setPixmap(
            icon.scaled(176, 128, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    s.CustomDurationBtn->setText(ToQt(Str(1826)));

    // The lesson duration.
    static_ = course_->StaticDurations && !course_->LessonDurations.empty();
    durationLocked_ = user && user->IsLocked(course_->CourseId + ".StudyingTime");
    int duration = bookmark.Duration;
    if (durationLocked_) duration = user->LInteger(course_->CourseId + ".StudyingTime", 1);
    if (static_) {
        for (const std::string& option : course_->LessonDurations)
            s.DurationList->addItem(ToQt(option + Str(372)));
        const bool custom =
            duration >= 1 && duration <= static_cast<int>(course_->LessonDurations.size());
        s.DurationList->setCurrentIndex(custom ? duration - 1
                                               : std::max(0, course_->DefaultDurationIndex - 1));
        s.DurationPages->setCurrentIndex(custom ? 1 : 0);
    } else {
        for (int n : kDynamicStrings) s.DurationList2->addItem(ToQt(Str(n)));
        int index = 1;  // 25 minutes until the user chooses
        for (int i = 0; i < 4; ++i)
            if (kDynamicMinutes[i] == duration) index = i;
        s.DurationList2->setCurrentIndex(index);
        s.DurationPages->setCurrentIndex(2);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{s.DurationList, s.DurationList2,
                                                      s.OptiDurationBtn, s.CustomDurationBtn})
        w->setEnabled(!durationLocked_);
    UpdateDurationTexts();
    QObject::connect(s.OptiDurationBtn, &QPushButton::clicked, [this] {
        stg_->DurationPages->setCurrentIndex(1);
        UpdateDurationTexts();
    });
    QObject::connect(s.CustomDurationBtn, &QPushButton::clicked, [this] {
        stg_->DurationPages->setCurrentIndex(0);
        UpdateDurationTexts();
    });
    QObject::connect(s.DurationList, &QComboBox::currentIndexChanged,
                     [this](int) { UpdateDurationTexts(); });
    QObject::connect(s.DurationList2, &QComboBox::currentIndexChanged,
                     [this](int) { UpdateDurationTexts(); });
    for (QPushButton* b : {s.StartLessonBtn, s.BackBtn, s.ChangeCourseBtn})
        QObject::connect(b, &QPushButton::clicked, [this, b] { ButtonClick(b); });

    MainWindow()->BorrowChildren(s.CoursePanel);
}

void TCourseContentsView::LessonClick(int index) {
    TBookMark& bookmark = course_->Bookmark;
    // With the chapter lock, only lessons up to the current one.
    if (ChapterLockFor(course_->CourseId) && index + 1 > std::max(1, bookmark.Chapter)) return;
    bookmark.Chapter = index + 1;
    bookmark.Exercise = 1;
    bookmark.Event = 1;
    PlaySound(kSoundClick);
    SetModalResult(CourseContentsAnswer::kStudy);
}

void TCourseContentsView::ButtonClick(QObject* sender) {
    TCustomBookView::ButtonClick(sender);
    if (!sender) return;
    const QString name = sender->objectName();
    if (name == QLatin1String("StartLessonBtn"))
        SetModalResult(CourseContentsAnswer::kStudy);
    else if (name == QLatin1String("BackBtn"))
        SetModalResult(CourseContentsAnswer::kBack);
    else if (name == QLatin1String("ChangeCourseBtn"))
        SetModalResult(CourseContentsAnswer::kChangeCourse);
}

void TCourseContentsView::Leave() {
    TUser* user = CurrentUser();
    if (!user) return;
    TBookMark& bookmark = course_->Bookmark;
    const int duration = ChosenDuration();
    user->SetText("ContentsFile", CourseBaseName(course_->FileName) + ".cnt");
    bookmark.Duration = duration;
    bookmark.DurationSet = true;
    const bool active = bookmark.Active;
    bookmark.Active = true;
    bookmark.Save(*user);
    bookmark.Active = active;
    user->SetInteger(course_->CourseId + ".StudyingTime", duration);
    user->SetText(course_->CourseId + ".StaticTimeOptions", DurationOptionsText(*course_));
}

void TCourseContentsView::Teardown() {
    if (ModalResult() == static_cast<int>(CourseContentsAnswer::kStudy)) Leave();
    TCustomBookView::Teardown();
    stg_.reset();
    owned_.reset();
}

}  // namespace corv
