#include "shell/studying/CourseListView.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

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
#include "course/CourseSummary.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "meter/ipc/Ipc.h"
#include "platform/qt/QtText.h"
#include "shell/AppFrame.h"
#include "shell/studying/StudyingForms.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

using art::TChevronCombo;
using namespace studying;

TCourseListViewStg::TCourseListViewStg() {
    CourseListPanel = Make<QWidget>(this, "CourseListPanel");
    CourseListPanel->setGeometry(PlaceOnBook(kLeft, 94, kRight - kLeft, 452));
    CourseListPanel->setStyleSheet(art::CourseStepsStyle());
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
            st.Icon->setStyleSheet(art::TransparentStyle());
            body->addWidget(st.Icon, 0, Qt::AlignTop);
        }
        auto* info = new QVBoxLayout();
        info->setSpacing(5);
        body->addLayout(info, 1);
        st.TitleLbl = Label(st.Body, 13, true, art::Accent());
        st.TitleLbl->setWordWrap(true);
        st.DescLbl = Label(st.Body, 9, false, art::InkMuted());
        st.DescLbl->setWordWrap(true);
        st.PercentLbl = Label(st.Body, 9, true, art::Ink());
        st.LessonsLbl = Label(st.Body, 9, false, art::InkSoft());
        st.DurationLbl = Label(st.Body, 9, false, art::InkSoft());
        st.Progress = Bar(st.Body);
        st.Progress->setFixedWidth(150);
        st.Start = Button(st.Body, art::ButtonRole::kPrimary);
        Register(st.Start, starts[i]);
        st.Start->setMinimumSize(128, 34);
        if (i == 1) {
            VantorStateLbl = Label(st.Body, 10, true, art::Good(), "VantorStateLbl");
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
    LanguageList->setStyleSheet(art::ChevronComboStyle());
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
    if (CourseFileExists(Str(6)))
        MainCourse = Str(6);
    else if (CourseFileExists(Str(5)))
        MainCourse = Str(5);
    const std::string defaultContents = CorvSettings::PolicyText("DefaultContents");
    if (!defaultContents.empty()) MainCourse = WithCntExtension(defaultContents);
    if (locked) MainCourse = current;
    if (!MainCourse.empty() && (CorvSettings::PolicyBool(CourseBaseName(MainCourse) + ".Hidden") ||
                                !CourseFileExists(MainCourse)))
        MainCourse.clear();

    // Step 3: the secondary course. Str(7) Str(8)
    SecondaryCourse = WithCntExtension(CorvSettings::PolicyText("SecondaryCourse"));
    if (CourseFileExists(Str(8))) SecondaryCourse = Str(8);
    if (CourseFileExists(Str(7))) SecondaryCourse = Str(7);
    if (SecondaryCourse.empty() ||
        CorvSettings::PolicyBool(CourseBaseName(SecondaryCourse) + ".hidden") ||
        EqualsNoCase(SecondaryCourse, MainCourse) || !CourseFileExists(SecondaryCourse) || locked)
        SecondaryCourse.clear();

    // Step 4: every other course of the language.
    OtherCourses.clear();
    TProgramSettings* ps = ProgramSettings();
    // The policy's list when it has one; else the files as they are named.
    std::vector<std::string> names =
        settings_format::FromCommaText(CorvSettings::PolicyText("*.cnt"));
    if (names.empty()) names = TFile::ListFiles((ps ? ps->lessonsFolder : std::string()) + "*.cnt");
    if (names.empty()) {
        ReportError(-6123, "No course files in the lessons folder");
        ui::Shell().EndProgram(1);
        return;
    }
    const std::string language = ToUpper(TLocalize::CurrentCode());
    for (const std::string& name : names) {
        const std::string file = WithCntExtension(name);
        if (CorvSettings::PolicyBool(CourseBaseName(file) + ".Hidden")) continue;
        if (EqualsNoCase(file, MainCourse) || EqualsNoCase(file, SecondaryCourse)) continue;
        const CourseSummary header = ReadCourseHeader(file);
        const bool isCurrent = EqualsNoCase(CourseBaseName(file), CourseBaseName(current));
        if (!header.language.empty() && !language.empty() && header.language != language &&
            !isCurrent)
            continue;
        if (!locked) OtherCourses.push_back(file);
    }

    // Which step opens.
    OpenStep = !MainCourse.empty() ? 1 : !SecondaryCourse.empty() ? 3 : 4;
    const bool currentIsMain = EqualsNoCase(CourseBaseName(current), CourseBaseName(MainCourse));
    if (!current.empty() && !currentIsMain && !locked)
        OpenStep = EqualsNoCase(CourseBaseName(current), CourseBaseName(SecondaryCourse)) ? 3 : 4;
    const int nextStep = user ? user->GetInteger("NextStep") : 0;
    if (nextStep == 2 || (nextStep == 3 && !SecondaryCourse.empty())) OpenStep = 3;
    if (OpenStep == 3 && SecondaryCourse.empty()) OpenStep = 4;
    if (OpenStep == 4 && OtherCourses.empty()) OpenStep = !MainCourse.empty() ? 1 : 3;

    // The meter's step, when the meter is installed.
    const std::string folder = TProgramSettings::ProgramFolder();
    const std::string languageFile =
        ToLower(CorvSettings::LanguageFileBase() + "." + TLocalize::CurrentCode());
    meterShown_ = (fs::FileExists(folder + "hollin.exe") || fs::FileExists(folder + "hollin")) &&
                  !CorvSettings::PolicyBool("Quillon.Hide") &&
                  !CorvSettings::PolicyBool("QuillonPanel.Hide") && languageFile != "language.fr" &&
                  languageFile != "language.ger" && !locked;
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
    s.VantorStateLbl->setStyleSheet(art::TextStyle(meterRuns ? art::Good() : art::ErrorRed()));
    s.Vantor->setText(ToQt(meterRuns ? Str(566) : Str(558)));
    s.VantorInfoBtn->setText(ToQt(Str(1832)));
    s.VantorInfoBtn->setVisible(!CorvSettings::PolicyBool("RemoveInternetLinks"));
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
        if (IsOldCourseVersion(h.version)) title += " " + TrimBlanks(Str(1691));
        auto* item = new QListWidgetItem(ToQt(title), list);
        item->setData(Qt::UserRole, ToQt(OtherCourses[i]));
        if (EqualsNoCase(CourseBaseName(OtherCourses[i]), CourseBaseName(current)))
            preselect = static_cast<int>(i);
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
    if (IsOldCourseVersion(c.version)) title += " " + TrimBlanks(Str(1691));
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
            nextStep = CorvSettings::PolicyText("DefaultContents").empty() ? 2 : 1;
            break;
        case 2:
            if (user) user->SetInteger("NextStep", 3);
            SetModalResult(CourseListAnswer::kMeter);
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
        user->SetText("ContentsFile", CourseBaseName(file) + ".cnt");
        const std::string goal = TContents::CourseIdOf(file) + ".GoalLevel";
        if (user->GetText(goal).empty()) user->SetInteger(goal, 2);
    }
    SetModalResult(CourseListAnswer::kChosen);
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

}  // namespace corv
