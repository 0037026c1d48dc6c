#include "shell/GuidedStudying.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "core/UserInterface.h"
#include "core/Utility.h"
#include "course/Contents.h"
#include "course/CourseServices.h"
#include "course/EventClasses.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "engine/analysis/Round.h"
#include "meter/ipc/Ipc.h"
#include "platform/qt/QtText.h"
#include "shell/AppFrame.h"
#include "shell/LessonViews.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

constexpr int kShift = TBookFormEx::kBorrowShift;
// Right of the section menu, which covers the book's left edge.
constexpr int kLeft = 200;
constexpr int kRight = 784;

QRect OnBook(int x, int y, int w, int h) {
    return QRect(x - kShift, y - kShift, w, h);
}

QLabel* Label(QWidget* parent, int points, bool bold, const char* colour,
              const char* name = nullptr) {
    auto* label = new QLabel(parent);
    label->setFont(art::UiFont(points, bold));
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    if (name) label->setObjectName(QString::fromLatin1(name));
    return label;
}

QPushButton* Button(QWidget* parent, art::ButtonRole role) {
    auto* b = new QPushButton(parent);
    art::SetButtonRole(b, role);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QProgressBar* Bar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setFixedHeight(10);
    return bar;
}

const char kCard[] = "background: #fffdf8; border: 1px solid #ddd3bf; border-radius: 10px;";

TDynamicSettings* Policy() {
    return CorvSettings::Policy();
}

bool PolicyBool(const std::string& key) {
    return Policy() && Policy()->GetBool(key);
}
std::string PolicyText(const std::string& key) {
    return Policy() ? Policy()->GetText(key) : std::string();
}

std::string BaseOf(const std::string& file) {
    std::string base = fs::BaseName(fs::NormalizeSeparators(file));
    const size_t dot = base.find('.');
    return dot == std::string::npos ? base : base.substr(0, dot);
}

std::string WithCnt(const std::string& name) {
    if (name.empty()) return name;
    const std::string base = fs::BaseName(fs::NormalizeSeparators(name));
    return base.size() > 4 && EqualsNoCase(base.substr(base.size() - 4), ".cnt") ? name
                                                                                 : name + ".cnt";
}

bool CourseExists(const std::string& file) {
    return !file.empty() && fs::FileExists(TContents::PathOf(file));
}

bool OldVersion(const std::string& version) {
    return version == "1.0" || version == "1.00" || version == "1.10" || version.rfind('4', 0) == 0;
}

std::string HoursMinutes(int minutes) {
    return MinutesText(minutes < 0 ? 0 : minutes);
}

bool ChapterLockFor(const std::string& courseId) {
    TUser* user = CurrentUser();
    const bool exempt = user && ((user->Group() && user->Group()->GetBool("bypass_chapter_lock")) ||
                                 user->GetBool("bypass_chapter_lock"));
    return PolicyBool(courseId + ".chapter_lock") && !exempt;
}

// The study-time values of the dynamic system: none, 25, 35 and 45 minutes per lesson.
// Str(1396) Str(1397) Str(1398) Str(1399)
const int kDynamicMinutes[] = {0, 25, 35, 45};
const int kDynamicStrings[] = {1396, 1397, 1398, 1399};

using art::TChevronCombo;

const char kComboStyle[] =
    "QComboBox::drop-down { subcontrol-origin: padding; subcontrol-position: center right; width: "
    "24px;"
    " border: none; }"
    "QComboBox::down-arrow { image: none; width: 0; height: 0; }";

// The net speeds of the course's results, drawn as bars.
class TCourseGraph : public QWidget {
  public:
    explicit TCourseGraph(QWidget* parent) : QWidget(parent) {}
    std::vector<int> values;
    std::vector<std::string> labels;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath frame;
        frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        p.fillPath(frame, QColor(0xff, 0xfd, 0xf8));
        p.setPen(QPen(QColor(0xdd, 0xd3, 0xbf), 1));
        p.drawPath(frame);
        if (values.empty()) return;
        const int top = 12, bottom = height() - 22, left = 12, right = width() - 12;
        const int highest = std::max(1, *std::max_element(values.begin(), values.end()));
        const double step = double(right - left) / values.size();
        const double barWidth = std::max(2.0, std::min(18.0, step - 3));
        p.setFont(art::UiFont(7));
        for (size_t i = 0; i < values.size(); ++i) {
            const double h = double(bottom - top) * values[i] / highest;
            const QRectF bar(left + i * step + (step - barWidth) / 2, bottom - h, barWidth, h);
            p.fillRect(bar, art::Accent());
            if (i < labels.size() && !labels[i].empty()) {
                p.setPen(art::InkSoft());
                p.drawText(QRectF(left + i * step - 10, bottom + 3, step + 20, 14),
                           Qt::AlignHCenter | Qt::AlignTop, ToQt(labels[i]));
            }
        }
        p.setPen(QPen(art::InkSoft(), 1));
        p.drawLine(left, bottom + 0.5, right, bottom + 0.5);
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Course summaries

CourseSummary ReadCourseHeader(const std::string& file) {
    CourseSummary s;
    s.file = file;
    s.id = TContents::CourseIdOf(file);
    TStreamFile f;
    if (f.Open(TContents::PathOf(file), 1) != kFileOk) return s;
    s.title = f.description.empty() ? BaseOf(file) : f.description;
    s.description = f.longDescription;
    s.language = f.language;
    s.version = f.version;
    return s;
}

std::pair<int, int> CourseEstimate(TContents& course) {
    const int lessons = course.ChapterCount();
    const std::vector<int> options = ParseDurationList([&] {
        std::string list;
        for (const std::string& d : course.LessonDurations) list += (list.empty() ? "" : ",") + d;
        return list;
    }());
    if (course.StaticDurations && !options.empty() && lessons > 0) {
        const int estimate = course.TotalMinutes();
        const int first = options.front();
        const int third = options.size() >= 3 ? options[2] : options.back();
        if (first > 0 && third > 0) {
            const double perLesson = double(first) * lessons / third;
            const int high = static_cast<int>(analysis::RoundEven(estimate / perLesson * lessons));
            return {estimate, std::max(estimate, high)};
        }
        return {estimate, estimate};
    }
    return {lessons * 25, lessons * 45};
}

CourseSummary SummariseCourse(const std::string& file) {
    CourseSummary s = ReadCourseHeader(file);
    auto course = TContents::IndexOnly(file);
    if (course->Status() != 0) return s;
    s.loaded = true;
    s.lessons = course->ChapterCount();
    s.percent = course->Bookmark.PercentComplete();
    s.workDone = course->Bookmark.CompletedExercises > 0 || course->Bookmark.Chapter > 1 ||
                 course->Bookmark.TimeStudied > 0;
    const auto [low, high] = CourseEstimate(*course);
    s.durationText = HoursMinutes(low) + " - " + HoursMinutes(high) + " " + Str(1875);
    s.icon = course->CourseIcon;
    return s;
}

// ---------------------------------------------------------------------------------------
// Course choice

TCourseListViewStg::TCourseListViewStg() {
    CourseListPanel = Make<QWidget>(this, "CourseListPanel");
    CourseListPanel->setGeometry(OnBook(kLeft, 94, kRight - kLeft, 452));
    CourseListPanel->setStyleSheet(
        QStringLiteral("QFrame[corvStep=\"true\"] { %1 }"
                       "QPushButton[corvStepHeader=\"true\"] { text-align: left; padding: 8px "
                       "14px; border: none;"
                       " background: transparent; font-family: Verdana; font-size: 14px; "
                       "font-weight: bold; color: #123c52; }"
                       "QPushButton[corvStepHeader=\"true\"]:hover { color: #1f6f8b; }"
                       "QListWidget#Courselist { font-family: Verdana; font-size: 12px; }"
                       "QListWidget#Courselist::item { padding: 4px 6px; }")
            .arg(kCard));
    auto* column = new QVBoxLayout(CourseListPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    const char* panels[] = {"Step1Panel", "Step2Panel", "Step3Panel", "Step4Panel"};
    const char* starts[] = {"Start1", "Vantor", "Start2", "Start3"};
    for (int i = 0; i < 4; ++i) {
        Step& st = Steps[i];
        st.Panel = Make<QFrame>(CourseListPanel, panels[i]);
        st.Panel->setProperty("corvStep", true);
        auto* v = new QVBoxLayout(st.Panel);
        v->setContentsMargins(4, 2, 4, 8);
        v->setSpacing(0);
        st.Header = new QPushButton(st.Panel);
        Register(st.Header, ("Step" + std::to_string(i + 1) + "Header").c_str());
        st.Header->setProperty("corvStepHeader", true);
        st.Header->setCursor(Qt::PointingHandCursor);
        st.Header->setFocusPolicy(Qt::NoFocus);
        v->addWidget(st.Header);
        st.Body = new QWidget(st.Panel);
        v->addWidget(st.Body);
        column->addWidget(st.Panel);

        auto* body = new QHBoxLayout(st.Body);
        body->setContentsMargins(14, 0, 14, 0);
        body->setSpacing(14);
        if (i == 3) {
            Courselist = Make<QListWidget>(st.Body, "Courselist");
            Courselist->setFixedWidth(200);
            Courselist->setMinimumHeight(150);
            body->addWidget(Courselist);
        }
        if (i == 0 || i == 2) {
            st.Icon = new QLabel(st.Body);
            Register(st.Icon, ("Step" + std::to_string(i + 1) + "Icon").c_str());
            st.Icon->setFixedSize(132, 96);
            st.Icon->setAlignment(Qt::AlignCenter);
            st.Icon->setStyleSheet(QStringLiteral("background: transparent;"));
            body->addWidget(st.Icon, 0, Qt::AlignTop);
        }
        auto* info = new QVBoxLayout();
        info->setSpacing(5);
        body->addLayout(info, 1);
        st.TitleLbl = Label(st.Body, 13, true, "#1f6f8b");
        st.TitleLbl->setWordWrap(true);
        st.DescLbl = Label(st.Body, 9, false, "#4d6270");
        st.DescLbl->setWordWrap(true);
        st.PercentLbl = Label(st.Body, 9, true, "#233340");
        st.LessonsLbl = Label(st.Body, 9, false, "#5d6f7c");
        st.DurationLbl = Label(st.Body, 9, false, "#5d6f7c");
        st.Progress = Bar(st.Body);
        st.Progress->setFixedWidth(150);
        st.Start = Button(st.Body, art::ButtonRole::kPrimary);
        Register(st.Start, starts[i]);
        st.Start->setMinimumSize(128, 34);
        if (i == 1) {
            VantorStateLbl = Label(st.Body, 10, true, "#3c8d5a", "VantorStateLbl");
            Register(VantorStateLbl, "VantorStateLbl");
            VantorInfoBtn = Button(st.Body, art::ButtonRole::kLink);
            Register(VantorInfoBtn, "VantorInfoBtn");
            Vantor = st.Start;
            info->addWidget(VantorStateLbl);
            info->addWidget(st.DescLbl);
            auto* row = new QHBoxLayout();
            row->addWidget(VantorInfoBtn);
            row->addStretch(1);
            row->addWidget(st.Start);
            info->addLayout(row);
            st.TitleLbl->hide();
            st.PercentLbl->hide();
            st.LessonsLbl->hide();
            st.DurationLbl->hide();
            st.Progress->hide();
            continue;
        }
        Register(st.TitleLbl, ("Step" + std::to_string(i + 1) + "TitleLbl").c_str());
        Register(st.DescLbl, ("Step" + std::to_string(i + 1) + "DescLbl").c_str());
        Register(st.PercentLbl, ("Step" + std::to_string(i + 1) + "PercentLbl").c_str());
        Register(st.LessonsLbl, ("Step" + std::to_string(i + 1) + "LessonsLbl").c_str());
        Register(st.DurationLbl, ("Step" + std::to_string(i + 1) + "DurationLbl").c_str());
        info->addWidget(st.TitleLbl);
        info->addWidget(st.DescLbl);
        auto* progress = new QHBoxLayout();
        progress->setSpacing(10);
        progress->addWidget(st.Progress);
        progress->addWidget(st.PercentLbl);
        progress->addStretch(1);
        info->addLayout(progress);
        info->addWidget(st.LessonsLbl);
        auto* row = new QHBoxLayout();
        row->addWidget(st.DurationLbl, 1);
        row->addWidget(st.Start, 0, Qt::AlignBottom);
        info->addLayout(row);
    }
    column->addStretch(1);
    LanguageList = Make<TChevronCombo>(CourseListPanel, "LanguageList");
    LanguageList->setStyleSheet(QString::fromLatin1(kComboStyle));
    LanguageList->setFixedWidth(220);
    LanguageList->setMinimumHeight(28);
    column->addWidget(LanguageList, 0, Qt::AlignLeft);
}

TCourseListView::TCourseListView() {
    EnterAccepts = false;
    SetShowCancel(false);
}

TCourseListView::~TCourseListView() {
    CloseBeforeDestroy();
}

void TCourseListView::KeyPress(char& key, bool& handled) {
    // Enter does not accept here: a course is chosen with its button.
    if (key == '\r') {
        handled = true;
        return;
    }
    TCustomBookView::KeyPress(key, handled);
}

void TCourseListView::ComputeSteps() {
    TUser* user = CurrentUser();
    const std::string current = user ? user->GetText("ContentsFile") : std::string();
    const bool locked = user && user->IsLocked("ContentsFile");

    // Step 1: the main course. Str(5) Str(6)
    MainCourse.clear();
    if (CourseExists(Str(6)))
        MainCourse = Str(6);
    else if (CourseExists(Str(5)))
        MainCourse = Str(5);
    const std::string defaultContents = PolicyText("DefaultContents");
    if (!defaultContents.empty()) MainCourse = WithCnt(defaultContents);
    if (locked) MainCourse = current;
    if (!MainCourse.empty() &&
        (PolicyBool(BaseOf(MainCourse) + ".Hidden") || !CourseExists(MainCourse)))
        MainCourse.clear();

    // Step 3: the secondary course. Str(7) Str(8)
    SecondaryCourse = WithCnt(PolicyText("SecondaryCourse"));
    if (CourseExists(Str(8))) SecondaryCourse = Str(8);
    if (CourseExists(Str(7))) SecondaryCourse = Str(7);
    if (SecondaryCourse.empty() || PolicyBool(BaseOf(SecondaryCourse) + ".hidden") ||
        EqualsNoCase(SecondaryCourse, MainCourse) || !CourseExists(SecondaryCourse) || locked)
        SecondaryCourse.clear();

    // Step 4: every other course of the language.
    OtherCourses.clear();
    TProgramSettings* ps = ProgramSettings();
    // The policy's list when it has one; else the files as they are named.
    std::vector<std::string> names = settings_format::FromCommaText(PolicyText("*.cnt"));
    if (names.empty()) names = TFile::ListFiles((ps ? ps->lessonsFolder : std::string()) + "*.cnt");
    if (names.empty()) {
        ReportError(-6123, "No course files in the lessons folder");
        ui::Shell().EndProgram(1);
        return;
    }
    const std::string language = ToUpper(TLocalize::CurrentCode());
    for (const std::string& name : names) {
        const std::string file = WithCnt(name);
        if (PolicyBool(BaseOf(file) + ".Hidden")) continue;
        if (EqualsNoCase(file, MainCourse) || EqualsNoCase(file, SecondaryCourse)) continue;
        const CourseSummary header = ReadCourseHeader(file);
        const bool isCurrent = EqualsNoCase(BaseOf(file), BaseOf(current));
        if (!header.language.empty() && !language.empty() && header.language != language &&
            !isCurrent)
            continue;
        if (!locked) OtherCourses.push_back(file);
    }

    // Which step opens.
    OpenStep = !MainCourse.empty() ? 1 : !SecondaryCourse.empty() ? 3 : 4;
    const bool currentIsMain = EqualsNoCase(BaseOf(current), BaseOf(MainCourse));
    if (!current.empty() && !currentIsMain && !locked)
        OpenStep = EqualsNoCase(BaseOf(current), BaseOf(SecondaryCourse)) ? 3 : 4;
    const int nextStep = user ? user->GetInteger("NextStep") : 0;
    if (nextStep == 2 || (nextStep == 3 && !SecondaryCourse.empty())) OpenStep = 3;
    if (OpenStep == 3 && SecondaryCourse.empty()) OpenStep = 4;
    if (OpenStep == 4 && OtherCourses.empty()) OpenStep = !MainCourse.empty() ? 1 : 3;

    // The meter's step, when the meter is installed.
    const std::string folder = TProgramSettings::ProgramFolder();
    const std::string languageFile =
        ToLower(CorvSettings::LanguageFileBase() + "." + TLocalize::CurrentCode());
    meterShown_ = (fs::FileExists(folder + "hollin.exe") || fs::FileExists(folder + "hollin")) &&
                  !PolicyBool("Quillon.Hide") && !PolicyBool("QuillonPanel.Hide") &&
                  languageFile != "language.fr" && languageFile != "language.ger" && !locked;
}

void TCourseListView::Setup() {
    TCustomBookView::Setup();
    SetButtonSet(0);
    stg_ = std::make_unique<TCourseListViewStg>();
    TCourseListViewStg& s = *stg_;
    MainWindow()->SetTitle(Str(1852));
    ComputeSteps();

    s.Steps[0].Header->setText(
        ToQt("1   " + (MainCourse.empty() ? std::string() : ReadCourseHeader(MainCourse).title)));
    s.Steps[1].Header->setText(ToQt("2   " + Str(558)));
    s.Steps[2].Header->setText(
        ToQt("3   " +
             (SecondaryCourse.empty() ? std::string() : ReadCourseHeader(SecondaryCourse).title)));
    s.Steps[3].Header->setText(ToQt(
        std::string(!MainCourse.empty() || !SecondaryCourse.empty() ? "4   " : "") + Str(1824)));
    for (int i = 0; i < 4; ++i) {
        QObject::connect(s.Steps[i].Header, &QPushButton::clicked, [this, i] { Open(i + 1); });
        QObject::connect(s.Steps[i].Start, &QPushButton::clicked, [this, i] { Choose(i + 1); });
    }
    FillOtherCourses();
    QObject::connect(s.Courselist, &QListWidget::currentRowChanged, [this](int row) {
        if (row >= 0 && row < static_cast<int>(OtherCourses.size()))
            ShowCourse(4, OtherCourses[static_cast<size_t>(row)]);
    });

    // The meter.
    const bool meterRuns = ipc::FindWindow("", protocol::kMeterWindow);
    s.VantorStateLbl->setText(ToQt(meterRuns ? Str(463) : Str(465)));
    s.VantorStateLbl->setStyleSheet(QStringLiteral("color: %1; background: transparent;")
                                        .arg(meterRuns ? "#3c8d5a" : "#a3402f"));
    s.Vantor->setText(ToQt(meterRuns ? Str(566) : Str(558)));
    s.VantorInfoBtn->setText(ToQt(Str(1832)));
    s.VantorInfoBtn->setVisible(!PolicyBool("RemoveInternetLinks"));
    QObject::connect(s.VantorInfoBtn, &QPushButton::clicked, [] { OpenAddress(Str(18)); });

    // Languages.
    TUser* user = CurrentUser();
    const std::vector<std::string>& languages = Localization().LanguageNames();
    for (const std::string& l : languages) s.LanguageList->addItem(ToQt(l));
    s.LanguageList->setVisible(languages.size() > 1);
    s.LanguageList->setEnabled(!(user && user->IsLocked("languagecode")));
    const int entry = Localization().EntryOfCode(TLocalize::CurrentCode());
    if (entry >= 0 && entry < s.LanguageList->count()) s.LanguageList->setCurrentIndex(entry);
    QObject::connect(s.LanguageList, &QComboBox::activated,
                     [this](int index) { LanguageChosen(index); });

    ShowSteps();
    MainWindow()->BorrowControl(s.CourseListPanel);
}

void TCourseListView::FillOtherCourses() {
    // The title, marked when the course is of an old format; the user's course preselected.
    QListWidget* list = stg_->Courselist;
    QSignalBlocker quiet(list);
    list->clear();
    TUser* user = CurrentUser();
    const std::string current = user ? user->GetText("ContentsFile") : std::string();
    int preselect = 0;
    for (size_t i = 0; i < OtherCourses.size(); ++i) {
        const CourseSummary h = ReadCourseHeader(OtherCourses[i]);
        std::string title = h.title;
        if (OldVersion(h.version)) title += " " + TrimBlanks(Str(1691));
        auto* item = new QListWidgetItem(ToQt(title), list);
        item->setData(Qt::UserRole, ToQt(OtherCourses[i]));
        if (EqualsNoCase(BaseOf(OtherCourses[i]), BaseOf(current))) preselect = static_cast<int>(i);
    }
    if (!OtherCourses.empty()) {
        list->setCurrentRow(preselect);
        ShowCourse(4, OtherCourses[static_cast<size_t>(preselect)]);
    }
}

void TCourseListView::ShowSteps() {
    TCourseListViewStg& s = *stg_;
    s.Steps[0].Panel->setVisible(!MainCourse.empty());
    s.Steps[1].Panel->setVisible(meterShown_);
    s.Steps[2].Panel->setVisible(!SecondaryCourse.empty());
    s.Steps[3].Panel->setVisible(!OtherCourses.empty());
    if (!MainCourse.empty()) ShowCourse(1, MainCourse);
    if (!SecondaryCourse.empty()) ShowCourse(3, SecondaryCourse);
    Open(OpenStep);
}

void TCourseListView::Open(int step) {
    OpenStep = step;
    for (int i = 0; i < 4; ++i) stg_->Steps[i].Body->setVisible(i + 1 == step);
}

void TCourseListView::ShowCourse(int step, const std::string& file) {
    TCourseListViewStg::Step& st = stg_->Steps[step - 1];
    const CourseSummary c = SummariseCourse(file);
    std::string title = c.title;
    if (OldVersion(c.version)) title += " " + TrimBlanks(Str(1691));
    st.TitleLbl->setText(ToQt(title));
    // The headers of the first and third step name their course already.
    st.TitleLbl->setVisible(step == 4);
    st.DescLbl->setText(ToQt(c.description));
    if (st.Icon) {
        QPixmap icon;
        if (!c.icon.empty() && icon.load(ToQt(TContents::PathOf(c.icon))))
            st.Icon->setPixmap(
                icon.scaled(st.Icon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        st.Icon->setVisible(!icon.isNull());
    }
    st.Progress->setValue(c.percent);
    st.PercentLbl->setText(
        ToQt(c.workDone ? std::to_string(c.percent) + " " + Str(399) : Str(1696)));
    st.LessonsLbl->setText(ToQt(std::to_string(c.lessons) + " " + Str(1400)));
    st.DurationLbl->setText(ToQt(c.durationText));
    st.Start->setText(ToQt(c.workDone ? Str(1697) : Str(1699)));
}

void TCourseListView::Choose(int step) {
    TUser* user = CurrentUser();
    std::string file;
    int nextStep = 0;
    switch (step) {
        case 1:
            file = MainCourse;
            nextStep = PolicyText("DefaultContents").empty() ? 2 : 1;
            break;
        case 2:
            if (user) user->SetInteger("NextStep", 3);
            SetModalResult(1002);
            return;
        case 3:
            file = SecondaryCourse;
            nextStep = 3;
            break;
        default: {
            const int row = stg_->Courselist->currentRow();
            if (row < 0 || row >= static_cast<int>(OtherCourses.size())) return;
            file = OtherCourses[static_cast<size_t>(row)];
            nextStep = 4;
        }
    }
    if (file.empty()) return;
    Chosen = file;
    if (user) {
        user->SetInteger("NextStep", nextStep);
        user->SetText("ContentsFile", BaseOf(file) + ".cnt");
        const std::string goal = TContents::CourseIdOf(file) + ".GoalLevel";
        if (user->GetText(goal).empty()) user->SetInteger(goal, 2);
    }
    SetModalResult(1);
}

void TCourseListView::LanguageChosen(int index) {
    const std::string code = Localization().CodeOfEntry(index);
    if (code.empty()) return;
    if (TUser* user = CurrentUser()) user->SetText("LanguageCode", code);
    try {
        Localization().SetLanguage(code);
    } catch (const std::exception& e) {
        ReportError(-1, e.what());
    }
    MainWindow()->ApplyCaptions();
    MainWindow()->SetTitle(Str(1852));
    // The steps follow the language: its courses and its step texts.
    ComputeSteps();
    FillOtherCourses();
    ShowSteps();
}

void TCourseListView::Teardown() {
    TCustomBookView::Teardown();
    stg_.reset();
}

// ---------------------------------------------------------------------------------------
// Course contents

TCourseViewStg::TCourseViewStg() {
    CoursePanel = Make<QWidget>(this, "CoursePanel");
    CoursePanel->setGeometry(0, 0, 800, 600);

    LessonPanel = Make<QFrame>(CoursePanel, "LessonPanel");
    LessonPanel->setStyleSheet(
        QStringLiteral("QFrame#LessonPanel { %1 }"
                       "QPushButton { text-align: left; border: none; background: transparent; "
                       "padding: 2px 10px;"
                       " font-family: Verdana; font-size: 12px; color: #00007f; }"
                       "QPushButton:hover { text-decoration: underline; color: #1f6f8b; }"
                       "QPushButton:disabled { color: #9aa6ad; }"
                       "QPushButton[corvCurrent=\"true\"] { font-weight: bold; color: #123c52; "
                       "background: #fff3d6;"
                       " border-radius: 4px; }")
            .arg(kCard));
    LessonsLbl = Label(LessonPanel, 9, true, "#5d6f7c");
    Register(LessonsLbl, "LessonsLbl");
    LessonsLbl->setGeometry(12, 6, 300, 18);

    InfoCard = Make<QFrame>(CoursePanel, "InfoCard");
    InfoCard->setGeometry(OnBook(kRight - 270, 94, 270, 446));
    InfoCard->setStyleSheet(QStringLiteral("QFrame#InfoCard { %1 }").arg(kCard));
    auto* v = new QVBoxLayout(InfoCard);
    v->setContentsMargins(18, 14, 18, 16);
    v->setSpacing(6);
    LongDescLbl = Label(InfoCard, 9, false, "#4d6270");
    Register(LongDescLbl, "LongDescLbl");
    LongDescLbl->setWordWrap(true);
    v->addWidget(LongDescLbl);
    v->addSpacing(4);
    auto* progress = new QHBoxLayout();
    CourseProgressBar = Bar(InfoCard);
    Register(CourseProgressBar, "CourseProgressBar");
    CourseProgressBar->setMaximumWidth(110);
    progress->addWidget(CourseProgressBar, 1);
    PercentLbl = Label(InfoCard, 9, true, "#1f6f8b");
    Register(PercentLbl, "PercentLbl");
    progress->addWidget(PercentLbl);
    v->addLayout(progress);
    v->addSpacing(10);
    DurationLbl = Label(InfoCard, 10, true, "#123c52");
    Register(DurationLbl, "DurationLbl");
    v->addWidget(DurationLbl);

    DurationPages = Make<QStackedWidget>(InfoCard, "DurationPages");
    DurationPages->setStyleSheet(
        QStringLiteral("QStackedWidget#DurationPages { background: transparent; }"));
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
        QLabel* label = Label(DurationPages, 9, false, "#233340");
        Register(label, name);
        label->setWordWrap(true);
        return label;
    };
    auto linkButton = [this](const char* name) {
        QPushButton* button = Button(DurationPages, art::ButtonRole::kLink);
        button->setStyleSheet(QStringLiteral("QPushButton { padding: 2px 0px; }"));
        Register(button, name);
        return button;
    };
    auto durationList = [this](const char* name) {
        TChevronCombo* list = Make<TChevronCombo>(DurationPages, name);
        list->setStyleSheet(QString::fromLatin1(kComboStyle));
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
    CourseIconLbl->setStyleSheet(QStringLiteral("background: transparent;"));
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
        const std::vector<int> options = ParseDurationList([&] {
            std::string list;
            for (const std::string& d : course_->LessonDurations)
                list += (list.empty() ? "" : ",") + d;
            return list;
        }());
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
        if (file.empty()) file = WithCnt(PolicyText("DefaultContents"));
        owned_ = TContents::IndexOnly(file);
        course_ = owned_.get();
    }
    stg_ = std::make_unique<TCourseViewStg>();
    TCourseViewStg& s = *stg_;
    TBookMark& bookmark = course_->Bookmark;
    MainWindow()->SetTitle(course_->Description);

    // The lessons, one button each; the current one marked.
    const int lessons = course_->ChapterCount();
    s.LessonPanel->setGeometry(OnBook(kLeft, 94, 300, lessons * 24 + 30));
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
    SetModalResult(1);
}

void TCourseContentsView::ButtonClick(QObject* sender) {
    TCustomBookView::ButtonClick(sender);
    if (!sender) return;
    const QString name = sender->objectName();
    if (name == QLatin1String("StartLessonBtn"))
        SetModalResult(1);
    else if (name == QLatin1String("BackBtn"))
        SetModalResult(2);
    else if (name == QLatin1String("ChangeCourseBtn"))
        SetModalResult(8);
}

void TCourseContentsView::Leave() {
    TUser* user = CurrentUser();
    if (!user) return;
    TBookMark& bookmark = course_->Bookmark;
    const int duration = ChosenDuration();
    user->SetText("ContentsFile", BaseOf(course_->FileName) + ".cnt");
    bookmark.Duration = duration;
    bookmark.DurationSet = true;
    const bool active = bookmark.Active;
    bookmark.Active = true;
    bookmark.Save(*user);
    bookmark.Active = active;
    user->SetInteger(course_->CourseId + ".StudyingTime", duration);
    std::string options;
    for (const std::string& d : course_->LessonDurations)
        options += (options.empty() ? "" : ",") + d;
    user->SetText(course_->CourseId + ".StaticTimeOptions", options);
}

void TCourseContentsView::Teardown() {
    if (ModalResult() == 1) Leave();
    TCustomBookView::Teardown();
    stg_.reset();
    owned_.reset();
}

// ---------------------------------------------------------------------------------------
// Course completed

TWelcomeStg::TWelcomeStg() {
    WelcomePanel = Make<QWidget>(this, "WelcomePanel");
    WelcomePanel->setGeometry(0, 0, 800, 600);
    CongratsLbl = Label(WelcomePanel, 18, true, "#123c52");
    Register(CongratsLbl, "CongratsLbl");
    CongratsLbl->setGeometry(OnBook(kLeft + 17, 96, 560, 34));
    CourseLbl = Label(WelcomePanel, 12, true, "#1f6f8b");
    Register(CourseLbl, "CourseLbl");
    CourseLbl->setGeometry(OnBook(kLeft + 17, 134, 560, 22));
    StudiedLbl = Label(WelcomePanel, 10, false, "#233340");
    Register(StudiedLbl, "StudiedLbl");
    StudiedLbl->setGeometry(OnBook(kLeft + 17, 160, 560, 20));
    CompletedLbl = Label(WelcomePanel, 10, false, "#233340");
    Register(CompletedLbl, "CompletedLbl");
    CompletedLbl->setGeometry(OnBook(kLeft + 17, 182, 560, 20));
    CourseGraph = new TCourseGraph(WelcomePanel);
    Register(CourseGraph, "CourseGraph");
    CourseGraph->setGeometry(OnBook(kLeft + 17, 214, 560, 130));
    NewCourseBtn = Button(WelcomePanel, art::ButtonRole::kPrimary);
    Register(NewCourseBtn, "NewCourseBtn");
    NewCourseBtn->setGeometry(OnBook(kRight - 190, 470, 190, 36));
    BackBtn = Button(WelcomePanel, art::ButtonRole::kSecondary);
    Register(BackBtn, "BackBtn");
    BackBtn->setGeometry(OnBook(kRight - 330, 470, 128, 36));
    ReportBtn = Button(WelcomePanel, art::ButtonRole::kLink);
    Register(ReportBtn, "ReportBtn");
    ReportBtn->setGeometry(OnBook(kLeft + 17, 476, 200, 24));
    ReportBtn->hide();  // progress reports come with the reports
}

TGoodbyeView::TGoodbyeView(TContents* course) : course_(course) {
    SetShowCancel(false);
}

TGoodbyeView::~TGoodbyeView() {
    CloseBeforeDestroy();
}

void TGoodbyeView::Setup() {
    TCustomBookView::Setup();
    SetButtonSet(0);
    stg_ = std::make_unique<TWelcomeStg>();
    TWelcomeStg& s = *stg_;
    MainWindow()->SetTitle(course_ ? course_->Description : std::string());
    s.CongratsLbl->setText(ToQt(Str(1828)));
    if (course_) {
        const TBookMark& b = course_->Bookmark;
        s.CourseLbl->setText(ToQt(course_->Description));
        s.StudiedLbl->setText(ToQt(
            Str(1829) + HoursMinutes(static_cast<int>(analysis::RoundEven(b.TimeStudied / 60.0)))));
        s.CompletedLbl->setText(ToQt(std::to_string(b.PercentComplete()) + " % " + Str(356)));
        if (TUser* user = CurrentUser()) {
            auto* graph = static_cast<TCourseGraph*>(s.CourseGraph);
            for (const std::string& v :
                 user->Results().FigureSeries("NETSPEED", course_->CourseId, &graph->labels))
                graph->values.push_back(settings_format::ParseInt32(v).value_or(0));
            graph->setVisible(!graph->values.empty());
        }
    }
    s.NewCourseBtn->setText(ToQt(Str(1827)));
    s.BackBtn->setText(ToQt(Str(1213)));
    QObject::connect(s.NewCourseBtn, &QPushButton::clicked, [this] {
        PlaySound(kSoundClick);
        SetModalResult(1);
    });
    QObject::connect(s.BackBtn, &QPushButton::clicked, [this] {
        PlaySound(kSoundClick);
        SetModalResult(2);
    });
    MainWindow()->BorrowChildren(s.WelcomePanel);
}

void TGoodbyeView::KeyDown(int& key, Qt::KeyboardModifiers shift) {
    // Alt with the first letter of the old shortcut text does nothing here.
    const std::string letter = Str(16);
    if ((shift & Qt::AltModifier) && !letter.empty() &&
        key == static_cast<unsigned char>(UpperCase(letter[0])))
        key = 0;
}

void TGoodbyeView::Teardown() {
    TCustomBookView::Teardown();
    stg_.reset();
}

// ---------------------------------------------------------------------------------------
// Layout mismatch

TWrongKeyboardViewStg::TWrongKeyboardViewStg() {
    KeyboardPanel = Make<QWidget>(this, "KeyboardPanel");
    KeyboardPanel->setGeometry(0, 0, 800, 600);
    auto* card = Make<QFrame>(KeyboardPanel, "KeyboardCard");
    card->setGeometry(OnBook(110, 120, 580, 270));
    card->setStyleSheet(QStringLiteral("QFrame#KeyboardCard { %1 }").arg(kCard));
    auto* v = new QVBoxLayout(card);
    v->setContentsMargins(28, 24, 28, 24);
    v->setSpacing(10);
    InstructionsLbl = Label(card, 10, false, "#233340");
    Register(InstructionsLbl, "InstructionsLbl");
    InstructionsLbl->setWordWrap(true);
    v->addWidget(InstructionsLbl);
    MissingLbl = Label(card, 12, true, "#a3402f");
    Register(MissingLbl, "MissingLbl");
    v->addWidget(MissingLbl);
    LayoutLbl = Label(card, 10, false, "#4d6270");
    Register(LayoutLbl, "LayoutLbl");
    v->addWidget(LayoutLbl);
    v->addStretch(1);
    auto* row = new QHBoxLayout();
    changecrs = Button(card, art::ButtonRole::kSecondary);
    Register(changecrs, "changecrs");
    Settings = Button(card, art::ButtonRole::kSecondary);
    Register(Settings, "Settings");
    SwitchLayout = Button(card, art::ButtonRole::kSecondary);
    Register(SwitchLayout, "SwitchLayout");
    continuebtn = Button(card, art::ButtonRole::kPrimary);
    Register(continuebtn, "continuebtn");
    for (QPushButton* b : {changecrs, Settings, SwitchLayout, continuebtn}) {
        b->setMinimumHeight(34);
        row->addWidget(b);
    }
    v->addLayout(row);
}

TWrongKeyboardView::TWrongKeyboardView(std::string missing) : missing_(std::move(missing)) {
    SetShowCancel(false);
    ShowMenu = false;
}

TWrongKeyboardView::~TWrongKeyboardView() {
    CloseBeforeDestroy();
}

void TWrongKeyboardView::Setup() {
    TCustomBookView::Setup();
    SetButtonSet(0);
    stg_ = std::make_unique<TWrongKeyboardViewStg>();
    TWrongKeyboardViewStg& s = *stg_;
    MainWindow()->SetTitle(Str(196));
    s.InstructionsLbl->setText(ToQt(Str(1444)));
    s.MissingLbl->setText(ToQt(Str(1443) + ": " + missing_.substr(0, 10)));
    std::string layout = ChooseLayoutFile("qwerty.kbd", true);
    if (layout == Str(1107) && CurrentLayout()) layout = fs::BaseName(CurrentLayout()->fileName);
    s.LayoutLbl->setText(ToQt(Str(196) + ": " + layout));
    s.Settings->setText(ToQt(Str(631)));
    s.SwitchLayout->setText(ToQt(Str(1445)));
    s.SwitchLayout->setVisible(EqualsNoCase(
        CorvSettings::LanguageFileBase() + "." + TLocalize::CurrentCode(), "language.eng"));
    s.continuebtn->setText(ToQt(Str(1806)));
    s.changecrs->setText(ToQt(Str(1793)));
    for (QPushButton* b : {s.Settings, s.SwitchLayout, s.continuebtn, s.changecrs})
        QObject::connect(b, &QPushButton::clicked, [this, b] { ButtonClick(b); });
    MainWindow()->BorrowChildren(s.KeyboardPanel);
}

void TWrongKeyboardView::ButtonClick(QObject* sender) {
    TCustomBookView::ButtonClick(sender);
    if (!sender) return;
    const QString name = sender->objectName();
    if (name == QLatin1String("Settings"))
        SetModalResult(3);
    else if (name == QLatin1String("SwitchLayout"))
        SetModalResult(4);
    else if (name == QLatin1String("continuebtn"))
        SetModalResult(2);
    else if (name == QLatin1String("changecrs"))
        SetModalResult(8);
}

void TWrongKeyboardView::Teardown() {
    TCustomBookView::Teardown();
    stg_.reset();
}

// ---------------------------------------------------------------------------------------
// The workflow

std::string TGuidedStudying::CourseFile() {
    TUser* user = CurrentUser();
    std::string file = user ? user->GetText("ContentsFile") : std::string();
    if (file.empty()) file = WithCnt(PolicyText("DefaultContents"));
    return file;
}

int TGuidedStudying::Run(int argument) {
    ResultCode = 0;
    TUser* user = CurrentUser();
    if (!user) return 0;
    State = user->GetText("NextView");
    if (State.empty()) State = "Studying";
    if (argument == 1) State = "ChooseCourse";
    while (!State.empty()) {
        if (State == "Studying" && user->GetText("ContentsFile").empty()) State = "Welcome";
        if (State == "Welcome") {
            MainWindow()->HighlightSection("Studying");
            State = "ChooseCourse";
        }
        bool goOn = true;
        if (State == "ChooseCourse") {
            goOn = ChooseCourse();
        } else if (State == "CourseContents") {
            goOn = CourseContents();
        } else if (State == "ChooseCourseSettings") {
            State.clear();
        } else if (State == "Vantor") {
            // The meter's views are not part of this build: the course choice instead.
            user->SetText("NextView", "ChooseCourse");
            Previous = "Vantor";
            State = "ChooseCourse";
        } else if (State == "Review") {
            Previous = "Review";
            State = "Studying";
        } else if (State == "Studying") {
            goOn = Studying();
        } else if (State == "Completed") {
            goOn = Completed();
        } else {
            State = "Studying";
        }
        if (!goOn) break;
    }
    return ResultCode;
}

bool TGuidedStudying::ChooseCourse() {
    TUser& user = *CurrentUser();
    Previous = "ChooseCourse";
    user.SetText("NextView", "ChooseCourse");
    TCourseListView view;
    const int result = view.ShowModal();
    user.keyProgression.clear();
    State = "CourseContents";
    if (result == 1002) {
        ResultCode = 55;
        return false;
    }
    if (result == 0) {
        ResultCode = 0;
        return false;
    }
    return true;
}

int TGuidedStudying::CheckLayout() {
    TUser* user = CurrentUser();
    TKeyDataExt* layout = CurrentLayout();
    if (!user || !layout || layout->layoutCode == "456+") return -1;
    std::string needed;
    for (const std::string& keys : user->keyProgression) needed += keys;
    std::string missing;
    for (char c : layout->CannotProduce(needed))
        if (c != ' ' && missing.find(c) == std::string::npos) missing += c;
    if (missing.empty()) return -1;
    TWrongKeyboardView view(missing);
    return view.ShowModal();
}

bool TGuidedStudying::CourseContents() {
    TUser& user = *CurrentUser();
    auto course = TContents::ForStudy(CourseFile(), TBookMark::kNormal, -1);
    if (course->Status() != 0) {
        ui::Message(
            "The previous course is no more available. \r\nPlease choose another course from a "
            "list.",
            Str(1), ui::Icon::kWarning, ui::Buttons::kOk, {1});
        user.SetText("ContentsFile", "");
        State = "ChooseCourse";
        return true;
    }
    const int check = CheckLayout();
    if (check == 4) {
        ui::MessageRequest ask;
        ask.text =
            "Do you want to switch your Windows keyboard setting to US International layout? \r"
            "In future to type ' and \" you need to press space after the key.\r"
            "Please change your layout back to US English from Settings page when returning to the "
            "English "
            "courses.\r\rInternational Layout is installed by choosing yes.";
        ask.caption = Str(196);
        ask.icon = ui::Icon::kQuestion;
        ask.buttons = ui::Buttons::kYesNo;
        ask.stringIds = {196};
        if (ui::Message(ask) == ui::kAnswerYes) {
            TProgramSettings* ps = ProgramSettings();
            auto layout = std::make_unique<TKeyDataExt>();
            if (layout->Load(fs::ResolveCase((ps ? ps->keyboardsFolder : std::string()) +
                                             "usint2.kbd")) >= 0) {
                SetCurrentLayout(std::move(layout));
                if (!PolicyBool("DisableWindowsLayouts"))
                    CurrentLayout()->ActivateSystemLayout(false);
                user.SetText("KeyboardLayout", "English US International");
                user.SetBool("KeyboardAutoDetect", false);
            }
        }
    } else if (check == 1 || check == 3) {
        ResultCode = 3;
        return false;
    } else if (check == 8) {
        if (user.GetInteger("NextStep") == 1) user.SetInteger("NextStep", 3);
        user.SetText("NextView", "ChooseCourse");
        ResultCode = 8;
        return false;
    } else if (check == 0) {
        ResultCode = 0;
        return false;
    }
    user.SetText("NextView", "CourseContents");
    TCourseContentsView view(course.get());
    const int result = view.ShowModal();
    State = "Studying";
    if (Previous.empty()) Previous = "ChooseCourse";
    switch (result) {
        case 0:
            Previous = "CourseContents";
            ResultCode = 0;
            return false;
        case 2:
            State = Previous;
            break;
        case 3:
            State = "ChooseCourseSettings";
            break;
        case 8:
            State = "ChooseCourse";
            break;
        default:
            break;
    }
    Previous = "CourseContents";
    return true;
}

bool TGuidedStudying::Studying() {
    TUser& user = *CurrentUser();
    user.SetText("NextView", "Studying");
    MainWindow()->HighlightSection("Studying");
    Previous = "Studying";
    user.keyProgression.clear();
    user.keyLevel = 1;
    auto course = TContents::ForStudy(CourseFile(), TBookMark::kNormal, -1);
    if (course->Status() != 0) {
        course.reset();
        ui::Message(
            "The previous course is no more available. \r\nPlease choose another course from a "
            "list.",
            Str(1), ui::Icon::kWarning, ui::Buttons::kOk, {1});
        user.SetText("ContentsFile", "");
        State = "ChooseCourse";
        return true;
    }
    const std::string filter = user.KeysUpToLevel(user.keyLevel);
    ActiveDifficultKeys().SetFilter(filter);
    user.SetText(course->CourseId + ".LimitedChars", filter);
    if (RepeatLastLesson) {
        course->Bookmark.Chapter = std::max(1, course->Bookmark.Chapter - 1);
        course->Bookmark.Exercise = 1;
        course->Bookmark.Event = 1;
        RepeatLastLesson = false;
    }
    bool pastEnd = false;
    const int code = course->Study(pastEnd);
    course.reset();
    user.SaveUser();
    State.clear();
    switch (code) {
        case 5:
            State = "CourseContents";
            break;
        case 7:
            State = "Review";
            break;
        case 6:
            ResultCode = 4;
            break;
        case 8:
            State = "ChooseCourse";
            break;
        case 1:
            // The last lesson is behind the user: the course-completed page, also next time.
            if (pastEnd) {
                user.SetText("NextView", "Completed");
                State = "Completed";
            }
            break;
        default:
            break;
    }
    return true;
}

bool TGuidedStudying::Completed() {
    TUser& user = *CurrentUser();
    Previous = "Completed";
    auto course = TContents::ForStudy(CourseFile(), TBookMark::kNormal, -1);
    TGoodbyeView view(course.get());
    const int result = view.ShowModal();
    State.clear();
    if (result == 2) {
        State = "Studying";
        RepeatLastLesson = true;
    } else if (result == 1) {
        TBookMark& b = course->Bookmark;
        b.Chapter = 0;
        b.Exercise = 0;
        b.Event = 0;
        b.TimeStudied = 0;
        b.CompletedExercises = 0;
        State = "ChooseCourse";
    }
    course.reset();
    user.SaveUser();
    return true;
}

// ---------------------------------------------------------------------------------------

void RegisterStudyingSections() {
    RegisterEventClasses();
    InstallLessonViews();
    static TGuidedStudying studying;
    RegisterSection("Studying", {601, [] { return studying.Run(0); }});  // Str(601)
    RegisterSection("Courses", {601, [] { return studying.Run(1); }});
}

}  // namespace corv
