#include "shell/studying/GoodbyeView.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <algorithm>

#include "core/Cp1252.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "course/Contents.h"
#include "course/CourseSummary.h"
#include "data/Results.h"
#include "data/User.h"
#include "engine/analysis/Round.h"
#include "platform/qt/QtText.h"
#include "shell/studying/StudyingForms.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

using namespace studying;

namespace {

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
        p.fillPath(frame, art::Card());
        p.setPen(QPen(art::CardEdge(), 1));
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

TWelcomeStg::TWelcomeStg() {
    WelcomePanel = Make<QWidget>(this, "WelcomePanel");
    WelcomePanel->setGeometry(0, 0, 800, 600);
    CongratsLbl = Label(WelcomePanel, 18, true, art::AccentDark());
    Register(CongratsLbl, "CongratsLbl");
    CongratsLbl->setGeometry(PlaceOnBook(kLeft + 17, 96, 560, 34));
    CourseLbl = Label(WelcomePanel, 12, true, art::Accent());
    Register(CourseLbl, "CourseLbl");
    CourseLbl->setGeometry(PlaceOnBook(kLeft + 17, 134, 560, 22));
    StudiedLbl = Label(WelcomePanel, 10, false, art::Ink());
    Register(StudiedLbl, "StudiedLbl");
    StudiedLbl->setGeometry(PlaceOnBook(kLeft + 17, 160, 560, 20));
    CompletedLbl = Label(WelcomePanel, 10, false, art::Ink());
    Register(CompletedLbl, "CompletedLbl");
    CompletedLbl->setGeometry(PlaceOnBook(kLeft + 17, 182, 560, 20));
    CourseGraph = new TCourseGraph(WelcomePanel);
    Register(CourseGraph, "CourseGraph");
    CourseGraph->setGeometry(PlaceOnBook(kLeft + 17, 214, 560, 130));
    NewCourseBtn = Button(WelcomePanel, art::ButtonRole::kPrimary);
    Register(NewCourseBtn, "NewCourseBtn");
    NewCourseBtn->setGeometry(PlaceOnBook(kRight - 190, 470, 190, 36));
    BackBtn = Button(WelcomePanel, art::ButtonRole::kSecondary);
    Register(BackBtn, "BackBtn");
    BackBtn->setGeometry(PlaceOnBook(kRight - 330, 470, 128, 36));
    ReportBtn = Button(WelcomePanel, art::ButtonRole::kLink);
    Register(ReportBtn, "ReportBtn");
    ReportBtn->setGeometry(PlaceOnBook(kLeft + 17, 476, 200, 24));
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
        SetModalResult(GoodbyeAnswer::kNewCourse);
    });
    QObject::connect(s.BackBtn, &QPushButton::clicked, [this] {
        PlaySound(kSoundClick);
        SetModalResult(GoodbyeAnswer::kBack);
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

}  // namespace corv
