#include "shell/LessonViews.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVariant>
#include <cmath>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "course/Chapter.h"
#include "course/Contents.h"
#include "course/CourseServices.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "engine/analysis/Round.h"
#include "engine/analysis/Scores.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

constexpr int kShift = TBookFormEx::kBorrowShift;
constexpr int kNaviButtons = 18;
constexpr int kPictureSize = 24;
// The section menu covers the book's left edge: the lesson page starts right of it.
constexpr int kListLeft = 200;
constexpr int kSideLeft = 560;
constexpr int kSideWidth = 222;

// Storage-form geometry given as the place on the book.
QRect OnBook(int x, int y, int w, int h) {
    return QRect(x - kShift, y - kShift, w, h);
}

// Colours the way course settings write them: 0x00BBGGRR.
QColor FromTColor(unsigned value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QLabel* Text(QWidget* parent, int points, bool bold, const char* colour) {
    auto* label = new QLabel(parent);
    label->setFont(art::UiFont(points, bold));
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    return label;
}

// The pictures of the exercise rows: new, done, next and locked, each also selected.
QPixmap RowPicture(TExerciseList::Picture kind) {
    const qreal ratio = 2.0;
    QPixmap pixmap(static_cast<int>(kPictureSize * ratio), static_cast<int>(kPictureSize * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    const bool selected = kind % 2 == 1;
    const QRectF disc(3, 3, 18, 18);
    const QColor done(0x3c, 0x8d, 0x5a);
    if (selected) {
        p.setPen(QPen(art::Amber(), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.25, 1.25, 21.5, 21.5));
    }
    switch (kind) {
        case TExerciseList::kNew:
        case TExerciseList::kNewSel:
            p.setPen(QPen(art::Accent(), 1.8));
            p.setBrush(QColor(0xff, 0xff, 0xff));
            p.drawEllipse(disc.adjusted(1, 1, -1, -1));
            p.setPen(Qt::NoPen);
            p.setBrush(art::Accent());
            p.drawEllipse(QPointF(12, 12), 2.6, 2.6);
            break;
        case TExerciseList::kDone:
        case TExerciseList::kDoneSel: {
            p.setPen(Qt::NoPen);
            p.setBrush(done);
            p.drawEllipse(disc);
            QPen tick(Qt::white, 2.4);
            tick.setCapStyle(Qt::RoundCap);
            tick.setJoinStyle(Qt::RoundJoin);
            p.setPen(tick);
            const QPointF points[] = {{7.5, 12.5}, {10.8, 15.6}, {16.5, 8.8}};
            p.drawPolyline(points, 3);
            break;
        }
        case TExerciseList::kNext:
        case TExerciseList::kNextSel: {
            p.setPen(Qt::NoPen);
            p.setBrush(art::Accent());
            p.drawEllipse(disc);
            p.setBrush(Qt::white);
            const QPointF points[] = {{10, 7.5}, {16.5, 12}, {10, 16.5}};
            p.drawPolygon(points, 3);
            break;
        }
        default: {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x9a, 0xa6, 0xad));
            p.drawEllipse(disc);
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(8, 11, 8, 6), 1, 1);
            p.setPen(QPen(Qt::white, 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(9.5, 7, 5, 7), 0, 180 * 16);
            break;
        }
    }
    return pixmap;
}

QLabel* PictureLabel(TStorageForm* form, QWidget* parent, TExerciseList::Picture kind) {
    auto* label = new QLabel(parent);
    label->setPixmap(RowPicture(kind));
    label->setFixedSize(kPictureSize, kPictureSize);
    label->hide();
    return label;
}

QProgressBar* Gauge(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    return bar;
}

void ColourGauge(QProgressBar* bar, int value) {
    bar->setValue(value < 0 ? 0 : value > 100 ? 100 : value);
    const TRgb c = DifficultyColour(value);
    bar->setStyleSheet(
        QStringLiteral("QProgressBar::chunk { border-radius: 4px; background: rgb(%1, %2, %3); }")
            .arg(c.r)
            .arg(c.g)
            .arg(c.b));
}

std::string LessonsPath(const std::string& name) {
    TProgramSettings* ps = ProgramSettings();
    return fs::ResolveCase(
        fs::NormalizeSeparators((ps ? ps->lessonsFolder : std::string()) + name));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The exercise list

TExerciseList::TExerciseList(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
    setFont(art::UiFont(10));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    for (int i = 0; i < kPictures; ++i)
        Pictures[static_cast<size_t>(i)] = RowPicture(static_cast<Picture>(i));
    LinkColour = QColor(0, 0, 132);
}

std::string TExerciseList::DurationText(int minutes, bool withOffset, int offset) {
    if (minutes <= 0) return {};
    if (withOffset)
        return std::to_string(minutes) + " - " + std::to_string(minutes + offset) + " min.";
    return std::to_string(minutes) + " min.";
}

void TExerciseList::SetLesson(TChapter* lesson) {
    Lesson = lesson;
    Numbers.clear();
    Names.clear();
    Durations.clear();
    DoneMarks.clear();
    rowCount_ = 0;
    if (lesson) {
        const int offset = lesson->Contents ? lesson->Contents->DynamicDurationMargin : 0;
        for (const auto& e : lesson->Exercises) {
            if (rowCount_ >= MaxRows) break;
            Numbers.push_back(std::to_string(lesson->Number) + "." + std::to_string(e->Number));
            Names.push_back(e->Name);
            Durations.push_back(
                DurationText(e->TotalMinutes, e->StaticDurations && e->NoOffset, offset));
            DoneMarks.emplace_back();
            ++rowCount_;
        }
    }
    selected_ = rowCount_ > 0 ? 1 : 0;
    Resize();
}

void TExerciseList::SetColumns(int numberX, int nameX, int durationX) {
    NumberX = numberX;
    NameX = nameX;
    DurationX = durationX;
    update();
}

void TExerciseList::SetRowHeight(int height) {
    RowHeight = height > 0 ? height : 1;
    Resize();
}

void TExerciseList::SetMaxRows(int rows) {
    MaxRows = rows;
    if (Lesson) SetLesson(Lesson);
}

void TExerciseList::Resize() {
    resize(width(), rowCount_ * RowHeight);
    update();
}

void TExerciseList::SelectRow(int row) {
    if (rowCount_ == 0) {
        selected_ = 0;
    } else {
        selected_ = row < 1 ? 1 : row > rowCount_ ? rowCount_ : row;
    }
    update();
}

void TExerciseList::MarkDone(int row, bool done) {
    if (row < 1 || row > rowCount_) return;
    DoneMarks[static_cast<size_t>(row - 1)] = done ? "T" : "";
    update();
}

bool TExerciseList::IsDone(int row) const {
    return row >= 1 && row <= rowCount_ && DoneMarks[static_cast<size_t>(row - 1)] == "T";
}

void TExerciseList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // The list stands on a panel of its own colour, with soft rounded corners.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    p.fillPath(outline, palette().color(QPalette::Window));
    p.setPen(QPen(QColor(0xd6, 0xcd, 0xb8), 1));
    p.drawPath(outline);
    const QFont regular = font();
    QFont bold = regular;
    bold.setBold(true);
    QFont link = regular;
    link.setUnderline(true);
    const int fontHeight = QFontMetrics(regular).height();
    for (int r = 1; r <= rowCount_; ++r) {
        const int y = (r - 1) * RowHeight;
        const size_t i = static_cast<size_t>(r - 1);
        const bool sel = r == selected_;
        if (sel) {
            QPainterPath band;
            band.addRoundedRect(QRectF(2, y + 1, width() - 4, RowHeight - 2), 4, 4);
            p.fillPath(band, QColor(0xff, 0xf3, 0xd6));
        } else if (r > 1) {
            p.setPen(QPen(QColor(0, 0, 0, 18), 1));
            p.drawLine(QPointF(NameX, y + 0.5), QPointF(width() - 8, y + 0.5));
        }
        const bool done = DoneMarks[i] == "T";
        const QPixmap& picture =
            Pictures[static_cast<size_t>(done ? (sel ? kDoneSel : kDone) : (sel ? kNewSel : kNew))];
        const int pictureHeight = static_cast<int>(picture.height() / picture.devicePixelRatio());
        p.drawPixmap(4, y + (RowHeight - pictureHeight) / 2, picture);
        const int offset =
            static_cast<int>(analysis::RoundEven((pictureHeight - std::abs(fontHeight)) / 2.2));
        const QRect textRow(0, y + offset + (RowHeight - pictureHeight) / 2, width(), fontHeight);
        p.setFont(bold);
        p.setPen(art::Ink());
        p.drawText(textRow.adjusted(NumberX, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   ToQt(Numbers[i]));
        p.setFont(regular);
        p.setPen(art::InkSoft());
        p.drawText(textRow.adjusted(DurationX, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   ToQt(Durations[i]));
        p.setFont(link);
        p.setPen(LinkColour);
        const int nameWidth = DurationX - NameX - 8;
        p.drawText(QRect(NameX, textRow.y(), nameWidth, textRow.height()),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QFontMetrics(link).elidedText(ToQt(Names[i]), Qt::ElideRight, nameWidth));
    }
}

void TExerciseList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    SelectRow(static_cast<int>(event->position().y()) / RowHeight + 1);
    pressed_ = true;
}

void TExerciseList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (rect().contains(event->position().toPoint()) && OnRowClick) OnRowClick();
}

void TExerciseList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && OnRowClick) OnRowClick();
}

// ---------------------------------------------------------------------------------------
// The keyboard picture

TKeyboardPicture::TKeyboardPicture(QWidget* parent) : QWidget(parent), Background(165, 206, 173) {}

void TKeyboardPicture::MarkKeys(TKeyDataExt* layout, const std::string& keys) {
    layout_ = layout;
    lit_.clear();
    if (!layout) return;
    for (char c : keys) {
        TKeyLookup found = layout->FindKey(c);
        if (!found) continue;
        if (std::find(lit_.begin(), lit_.end(), found.key) == lit_.end()) lit_.push_back(found.key);
    }
    update();
}

void TKeyboardPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    p.fillPath(frame, Background);
    p.setPen(QPen(Background.darker(125), 1));
    p.drawPath(frame);
    if (!layout_ || layout_->keys.empty()) return;
    // The keys' own coordinates, scaled into the picture with a margin.
    int minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    for (const auto& k : layout_->keys) {
        if (k->width <= 0 || k->height <= 0 || (k->hidden && !k->storedOnly)) continue;
        minX = std::min(minX, k->x);
        minY = std::min(minY, k->y);
        maxX = std::max(maxX, k->x + k->width);
        maxY = std::max(maxY, k->y + k->height);
    }
    if (maxX <= minX || maxY <= minY) return;
    const double margin = 12;
    const double scale =
        std::min((width() - 2 * margin) / (maxX - minX), (height() - 2 * margin) / (maxY - minY));
    const double left = (width() - (maxX - minX) * scale) / 2,
                 top = (height() - (maxY - minY) * scale) / 2;
    QFont font = art::UiFont(std::max(6, static_cast<int>(std::lround(9 * scale))), true);
    p.setFont(font);
    for (const auto& k : layout_->keys) {
        if (k->width <= 0 || k->height <= 0 || k->hidden) continue;
        const QRectF r(left + (k->x - minX) * scale + 1.5, top + (k->y - minY) * scale + 1.5,
                       k->width * scale - 3, k->height * scale - 3);
        const bool lit = std::find(lit_.begin(), lit_.end(), k.get()) != lit_.end();
        p.setPen(QPen(lit ? QColor(0xb5, 0x7d, 0x12) : QColor(0x8c, 0x9a, 0x90), 1));
        p.setBrush(lit ? art::Amber() : QColor(0xfd, 0xfb, 0xf6));
        p.drawRoundedRect(r, 3, 3);
        const std::string caption = layout_->KeyCaption(*k, 0);
        if (caption.size() == 1 && static_cast<unsigned char>(caption[0]) > 32) {
            p.setPen(lit ? art::AccentDark() : art::InkSoft());
            p.drawText(r, Qt::AlignCenter,
                       ToQt(std::string(1, static_cast<char>(UpperCase(caption[0])))));
        }
    }
}

// ---------------------------------------------------------------------------------------
// The storage form

TLessonViewStg::TLessonViewStg() {
    LessonPanel = Make<QWidget>(this, "LessonPanel");
    LessonPanel->setGeometry(0, 0, 800, 600);

    PositionLbl = Text(LessonPanel, 9, false, "#5d6f7c");
    Register(PositionLbl, "PositionLbl");
    PositionLbl->setGeometry(OnBook(kListLeft, 92, 350, 18));
    LessonNameLbl = Text(LessonPanel, 15, true, "#123c52");
    Register(LessonNameLbl, "LessonNameLbl");
    LessonNameLbl->setGeometry(OnBook(kListLeft, 108, 350, 26));
    ExtraDescLbl = Text(LessonPanel, 9, false, "#5d6f7c");
    Register(ExtraDescLbl, "ExtraDescLbl");
    ExtraDescLbl->setGeometry(OnBook(kListLeft, 458, 350, 40));
    ExtraDescLbl->setWordWrap(true);
    ExtraDescLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ShadingLeftPic = new art::TShadePic(art::TShadePic::kLeft, LessonPanel);
    Register(ShadingLeftPic, "ShadingLeftPic");
    ShadingLeftPic->setGeometry(OnBook(0, 90, 12, 470));
    ShadingRightPic = new art::TShadePic(art::TShadePic::kRight, LessonPanel);
    Register(ShadingRightPic, "ShadingRightPic");
    ShadingRightPic->setGeometry(OnBook(788, 90, 12, 470));
    // Decoration for other page designs; this book draws its own edges.
    ShadingLeftPic->hide();
    ShadingRightPic->hide();

    LessonPic = Make<QLabel>(LessonPanel, "LessonPic");
    LessonPic->setGeometry(OnBook(kSideLeft, 94, kSideWidth, 160));
    LessonPic->setAlignment(Qt::AlignCenter);
    LessonPic->setStyleSheet(QStringLiteral("background: transparent;"));
    lessonregimage = Make<QLabel>(LessonPanel, "lessonregimage");
    lessonregimage->setGeometry(OnBook(kSideLeft, 94, kSideWidth, 160));
    lessonregimage->setAlignment(Qt::AlignCenter);
    lessonregimage->hide();

    InfoPanel = Make<QStackedWidget>(LessonPanel, "InfoPanel");
    InfoPanel->setGeometry(OnBook(kSideLeft, 262, kSideWidth, 158));
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
    PrevLessonBtn->setGeometry(OnBook(kSideLeft, 430, 96, 34));
    NextLessonBtn = Make<QPushButton>(LessonPanel, "NextLessonBtn");
    art::SetButtonRole(NextLessonBtn, art::ButtonRole::kPrimary);
    NextLessonBtn->setGeometry(OnBook(kSideLeft + kSideWidth - 120, 430, 120, 34));
    CompletedBtn = Make<QPushButton>(LessonPanel, "CompletedBtn");
    art::SetButtonRole(CompletedBtn, art::ButtonRole::kPrimary);
    CompletedBtn->setGeometry(OnBook(kSideLeft + kSideWidth - 120, 474, 120, 34));
    ChangeCourseBtn = Make<QPushButton>(LessonPanel, "ChangeCourseBtn");
    art::SetButtonRole(ChangeCourseBtn, art::ButtonRole::kLink);
    ChangeCourseBtn->setGeometry(OnBook(kSideLeft - 4, 472, kSideWidth, 24));
    ChangeCourseBtn->setCursor(Qt::PointingHandCursor);
    for (QPushButton* b :
         {PrevLessonBtn, NextLessonBtn, CompletedBtn, ContentsBtn, DurationBtn, ChangeCourseBtn})
        b->setFocusPolicy(Qt::NoFocus);
    // Lesson names are long; the buttons beside each other keep a smaller text.
    for (QPushButton* b : {PrevLessonBtn, NextLessonBtn, CompletedBtn})
        b->setStyleSheet(QStringLiteral("QPushButton { font-size: 12px; padding: 4px 6px; }"));

    NaviPanel = Make<QFrame>(LessonPanel, "NaviPanel");
    NaviPanel->setGeometry(OnBook(kListLeft, 508, 580, 40));
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
    for (int n = 1; n <= kNaviButtons; ++n) {
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
    MessageTitleLbl->setGeometry(OnBook(140, 92, 520, 34));
    MessageText = Text(LessonDonePanel, 10, false, "#4d6270");
    Register(MessageText, "MessageText");
    MessageText->setGeometry(OnBook(140, 124, 520, 22));
    MessageText->setWordWrap(true);
    NextLes = Text(LessonDonePanel, 9, true, "#5d6f7c");
    Register(NextLes, "NextLes");
    NextLes->setGeometry(OnBook(140, 374, 500, 18));
    NextLessonNameLbl = Text(LessonDonePanel, 13, true, "#1f6f8b");
    Register(NextLessonNameLbl, "NextLessonNameLbl");
    NextLessonNameLbl->setGeometry(OnBook(140, 394, 500, 26));
    CancelBtn = Make<QPushButton>(LessonDonePanel, "CancelBtn");
    art::SetButtonRole(CancelBtn, art::ButtonRole::kSecondary);
    CancelBtn->setGeometry(OnBook(380, 446, 120, 36));
    StartBtn = Make<QPushButton>(LessonDonePanel, "StartBtn");
    art::SetButtonRole(StartBtn, art::ButtonRole::kPrimary);
    StartBtn->setGeometry(OnBook(512, 446, 128, 36));
}

// ---------------------------------------------------------------------------------------
// Lesson pages

TCustomContentsView::TCustomContentsView() = default;

TCustomContentsView::~TCustomContentsView() {
    CloseBeforeDestroy();
}

void TCustomContentsView::Setup() {
    TCustomBookView::Setup();
    TBookFormEx* window = MainWindow();
    stg_ = std::make_unique<TLessonViewStg>();
    TLessonViewStg& s = *stg_;
    SavedNextCaption = FromQt(window->NextBtn()->text());
    window->NextBtn()->setText(ToQt(Str(413)));
    SetShowCancel(ShowCancelValue);
    s.InfoPanel->setCurrentIndex(0);
    s.CompletedBtn->move(s.CompletedBtn->x(), s.NextLessonBtn->y());
    QObject::connect(s.CompletedBtn, &QPushButton::clicked,
                     [this, b = s.CompletedBtn] { ButtonClick(b); });

    // Static captions.
    s.ChangeCourseBtn->setText(ToQt(Str(1793)));
    s.CompletedBtn->setText(ToQt(Str(1801)));
    s.Courselbl->setText(ToQt(Str(1798)));
    s.ContentsBtn->setText(ToQt(Str(1799)));
    s.DurationBtn->setText(ToQt(Str(1800)));
    s.CourseDoneLbl->setText(ToQt(Str(1804)));
    s.CourseLeftLbl->setText(ToQt(Str(1805)));
    s.traininglbl->setText(ToQt(Str(1412)));
    s.beforelbl->setText(ToQt(Str(1418)));
    s.nowlbl->setText(ToQt(Str(1419)));
    s.Label8->setText(ToQt(Str(1414)));
    s.Label12->setText(ToQt(Str(1415)));
    s.Label15->setText(ToQt(Str(1416)));

    s.PositionLbl->setText(ToQt(Bookmark ? Bookmark->PositionText : std::string()));
    s.LessonNameLbl->setText(ToQt(Bookmark ? Bookmark->PositionText : std::string()));
    s.LessonDonePanel->hide();
    window->BorrowChildren(s.LessonPanel);

    // The exercise list.
    List = new TExerciseList(s.LessonPanel);
    List->setObjectName(QStringLiteral("ExerciseList"));
    for (int i = 0; i < TExerciseList::kPictures; ++i) {
        QLabel* pictures[] = {s.NewPic,  s.NewSelPic,  s.DonePic,   s.DoneSelPic,
                              s.NextPic, s.NextSelPic, s.LockedPic, s.LockedSelPic};
        List->Pictures[static_cast<size_t>(i)] = pictures[i]->pixmap();
    }
    QPalette palette = List->palette();
    palette.setColor(QPalette::Window, FromTColor(14155759));
    List->setPalette(palette);
    List->LinkColour = FromTColor(8650752);
    List->setGeometry(OnBook(kListLeft, 138, 350, 0));
    List->SetColumns(35, 75, 270);
    List->SetRowHeight(kPictureSize + 2);
    List->SetMaxRows(12);
    List->SetLesson(Lesson);
    List->SelectRow(SelectedExercise);
    TUser* user = CurrentUser();
    if (user && Bookmark && Lesson)
        for (int r = 1; r <= List->RowCount(); ++r)
            List->MarkDone(
                r, user->Results().IsExerciseDone(Bookmark->CourseId, Bookmark->Chapter, r));
    List->setCursor(Qt::PointingHandCursor);
    List->OnRowClick = [] {
        if (TBookFormEx* w = MainWindow()) w->NextBtn()->click();
    };
    window->BorrowControl(List);

    // The lesson navigation.
    std::vector<std::string> titles;
    int lessons = 0;
    if (Lesson && Lesson->Contents) {
        titles = Lesson->Contents->LessonTitles(false, true);
        lessons = Lesson->Contents->ChapterCount();
    }
    for (QPushButton* b : s.LessonNavi) {
        const std::string name = ToUpper(FromQt(b->objectName()));
        if (name.rfind("LESSONNAVI", 0) != 0) continue;
        const int n = std::atoi(name.substr(10, 2).c_str());
        if (n >= 1 && n <= lessons) {
            b->setToolTip(ToQt(titles[static_cast<size_t>(n - 1)]));
            b->setProperty("tag", n - 1);
            QObject::connect(b, &QPushButton::clicked, [this, b] { NavigationClick(b); });
            const bool current = Bookmark && n == Bookmark->Chapter;
            b->setEnabled(!current);
            b->show();
        } else {
            b->hide();
        }
    }
}

void TCustomContentsView::NavigationClick(QPushButton* button) {
    const int tag = button->property("tag").toInt();
    if (!Bookmark) return;
    TDynamicSettings* policy = CorvSettings::Policy();
    const bool locked =
        policy && policy->GetBool(Bookmark->CourseId + ".chapter_lock") && !BypassesChapterLock();
    if (locked && tag > Bookmark->Chapter - 1) return;
    Bookmark->Chapter = tag + 1;
    Bookmark->Exercise = 1;
    if (List) List->SelectRow(1);
    SetModalResult(17);
}

void TCustomContentsView::Teardown() {
    TCustomBookView::Teardown();
    if (TBookFormEx* window = MainWindow()) window->NextBtn()->setText(ToQt(SavedNextCaption));
    if (List) SelectedExercise = List->SelectedRow();
    List = nullptr;
    stg_.reset();
}

void TCustomContentsView::ButtonClick(QObject* sender) {
    TCustomBookView::ButtonClick(sender);
    if (sender && sender->objectName() == QLatin1String("CompletedBtn")) SetModalResult(15);
}

void TCustomContentsView::KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return;
    if (!List) return;
    switch (key) {
        case Qt::Key_Up:
            List->SelectRow(List->SelectedRow() - 1);
            break;
        case Qt::Key_Down:
            List->SelectRow(List->SelectedRow() + 1);
            break;
        case Qt::Key_Home:
        case Qt::Key_PageUp:
            List->SelectRow(1);
            break;
        case Qt::Key_End:
        case Qt::Key_PageDown:
            List->SelectRow(List->RowCount());
            break;
        default:
            return;
    }
    key = 0;
}

void TChpContentsView::Setup() {
    TCustomContentsView::Setup();
    TBookFormEx* window = MainWindow();
    TLessonViewStg& s = *stg_;
    SetButtonSet(0);
    if (window->LowColour()) {
        s.ShadingLeftPic->hide();
        s.ShadingRightPic->hide();
    }

    // The course progress.
    TContents* contents = Lesson ? Lesson->Contents : nullptr;
    TUser* user = CurrentUser();
    if (contents && Bookmark) {
        int all = 0, done = 0, leftMinutes = 0;
        for (const auto& chapter : contents->Chapters)
            for (const auto& e : chapter->Exercises) {
                ++all;
                const bool isDone = (user && user->Results().IsExerciseDone(
                                                 contents->CourseId, chapter->Number, e->Number)) ||
                                    chapter->Number < Bookmark->Chapter;
                if (isDone) {
                    ++done;
                } else if (chapter->Number >= Bookmark->Chapter) {
                    leftMinutes += e->TotalMinutes;
                    if (e->StaticDurations && e->NoOffset)
                        leftMinutes += contents->DynamicDurationMargin;
                }
            }
        const int percent = all > 0 ? done * 100 / all : 0;
        s.CourseProgressBar->setValue(percent);
        s.CoursePercentLbl->setText(QStringLiteral("%1 %").arg(percent));
        const int studied = static_cast<int>(analysis::RoundEven(Bookmark->TimeStudied / 60.0));
        s.CourseDone->setText(ToQt(ClockText(studied, " h")));
        s.CourseLeft->setText(ToQt(ClockText(leftMinutes, " h")));
        const bool timed = Bookmark->Duration != 0;
        for (QWidget* w :
             {static_cast<QWidget*>(s.CourseDone), static_cast<QWidget*>(s.CourseLeft),
              static_cast<QWidget*>(s.CourseDoneLbl), static_cast<QWidget*>(s.CourseLeftLbl)})
            w->setVisible(timed);
    }

    const int number = Lesson ? Lesson->Number : 0;
    s.PrevLessonBtn->setVisible(PreviousLessonAllowed);
    s.PrevLessonBtn->setText(ToQt("\xAB " + Str(396) + std::to_string(number - 1)));
    s.NextLessonBtn->setVisible(NextLessonAllowed);
    s.NextLessonBtn->setText(ToQt(Str(396) + std::to_string(number + 1) + " \xBB"));
    s.CompletedBtn->setVisible(!NextLessonAllowed);

    TDynamicSettings* policy = CorvSettings::Policy();
    const std::string regImage = policy ? policy->GetText("LessonRegImage") : std::string();
    QPixmap lessonPicture;
    if (!regImage.empty() && lessonPicture.load(ToQt(LessonsPath(regImage)))) {
        s.lessonregimage->setPixmap(lessonPicture);
        s.lessonregimage->show();
        s.LessonPic->hide();
    } else if (Lesson && !Lesson->Picture.empty() &&
               lessonPicture.load(ToQt(LessonsPath(Lesson->Picture)))) {
        s.LessonPic->setPixmap(
            lessonPicture.scaled(kSideWidth, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    if (Lesson) s.ExtraDescLbl->setText(ToQt(Lesson->ExtraDescription));

    for (QPushButton* b :
         {s.NextLessonBtn, s.PrevLessonBtn, s.DurationBtn, s.ContentsBtn, s.ChangeCourseBtn})
        QObject::connect(b, &QPushButton::clicked, [this, b] { ButtonClick(b); });

    const QString name =
        ToQt(Str(396) + std::to_string(number) + ": " + (Lesson ? Lesson->Title : ""));
    // A long lesson name takes a smaller font rather than running under the picture.
    if (QFontMetrics(s.LessonNameLbl->font()).horizontalAdvance(name) > s.LessonNameLbl->width())
        s.LessonNameLbl->setFont(art::UiFont(12, true));
    s.LessonNameLbl->setText(name);
    s.LessonNameLbl->setToolTip(name);
    window->SetTitle(contents ? contents->Description : std::string(),
                     TBookFormEx::kTitleLimitOfLessons);
}

void TChpContentsView::ButtonClick(QObject* sender) {
    TCustomContentsView::ButtonClick(sender);
    if (!sender) return;
    const QString name = sender->objectName();
    if (name == QLatin1String("NextLessonBtn"))
        SetModalResult(4);
    else if (name == QLatin1String("PrevLessonBtn"))
        SetModalResult(3);
    else if (name == QLatin1String("DurationBtn") || name == QLatin1String("ContentsBtn"))
        SetModalResult(5);
    else if (name == QLatin1String("ChangeCourseBtn"))
        SetModalResult(8);
}

TReviewContentsView::TReviewContentsView() {
    ShowCancelValue = true;
}

void TReviewContentsView::Setup() {
    TCustomContentsView::Setup();
    TLessonViewStg& s = *stg_;
    s.NaviPanel->hide();
    s.InfoPanel->setCurrentIndex(1);
    if (MainWindow()->LowColour()) {
        s.ShadingLeftPic->hide();
        s.ShadingRightPic->hide();
        s.LessonPanel->setStyleSheet(QStringLiteral("background: #EFFDD8;"));
    }
    if (ScreenshotMode()) {
        OverallBefore = 72, OverallNow = 48, KeysBefore = 64, KeysNow = 32;
        CapitalsBefore = 76, CapitalsNow = 53, WordsBefore = 82, WordsNow = 46;
    }
    s.CompletedBtn->setText(ToQt(Str(1173)));
    s.CompletedBtn->show();
    s.NextLessonBtn->hide();
    s.PrevLessonBtn->hide();
    ColourGauge(s.KeyIndexGraph, KeysBefore);
    ColourGauge(s.KeyIndexGraph2, KeysNow);
    ColourGauge(s.CapitalIndexGraph, CapitalsBefore);
    ColourGauge(s.CapitalIndexGraph2, CapitalsNow);
    ColourGauge(s.WordIndexGraph, WordsBefore);
    ColourGauge(s.WordIndexGraph2, WordsNow);
    s.ChangeCourseBtn->hide();
    // Str(567) Str(328): the heading and text the lesson's run gives.
    s.LessonNameLbl->setText(ToQt(Str(HeadingString)));
    s.ExtraDescLbl->setText(ToQt(Str(TextString)));
}

// ---------------------------------------------------------------------------------------
// Lesson completed

TLessonDone::TLessonDone() = default;

TLessonDone::~TLessonDone() {
    CloseBeforeDestroy();
}

void TLessonDone::Setup() {
    TCustomBookView::Setup();
    stg_ = std::make_unique<TLessonViewStg>();
    TLessonViewStg& s = *stg_;
    SetButtonSet(0);
    ShowMenu = false;
    s.LessonDonePanel->move(s.LessonDonePanel->x(), 1);

    Keyboard = new TKeyboardPicture(s.LessonDonePanel);
    Keyboard->setObjectName(QStringLiteral("KeyboardPicture"));
    Keyboard->Background = FromTColor(11390629);
    Keyboard->setGeometry(OnBook(140, 150, 500, 200));
    TUser* user = CurrentUser();
    const std::string learnt =
        user && !user->keyProgression.empty() ? user->KeysUpToLevel(user->keyLevel) : std::string();
    Keyboard->MarkKeys(CurrentLayout(), learnt);
    Keyboard->raise();
    Keyboard->show();

    s.MessageTitleLbl->setText(ToQt(Str(1802)));
    s.MessageText->setText(ToQt(Str(1727)));
    s.NextLes->setText(ToQt(Str(1803)));
    s.NextLessonNameLbl->setText(ToQt(NextLessonTitle));
    if (LastLesson) {
        s.NextLessonNameLbl->setText(ToQt(Str(1728)));
        s.NextLes->setText(QString());
        s.MessageTitleLbl->setText(ToQt(Str(1726)));
        s.MessageText->setText(ToQt(Str(1729)));
        Keyboard->MarkKeys(CurrentLayout(), learnt);
    }
    s.StartBtn->setText(ToQt(Str(609)));
    s.CancelBtn->setText(ToQt(Str(88)));
    QObject::connect(s.StartBtn, &QPushButton::clicked,
                     [this, b = s.StartBtn] { StorageButtonClick(b); });
    QObject::connect(s.CancelBtn, &QPushButton::clicked,
                     [this, b = s.CancelBtn] { StorageButtonClick(b); });
    MainWindow()->BorrowChildren(s.LessonDonePanel);
}

void TLessonDone::Teardown() {
    TCustomBookView::Teardown();
    Keyboard = nullptr;
    stg_.reset();
}

// ---------------------------------------------------------------------------------------

void InstallLessonViews() {
    Hooks().lessonPage = [](LessonPageRequest& request) {
        std::unique_ptr<TCustomContentsView> view;
        if (request.review) {
            auto review = std::make_unique<TReviewContentsView>();
            review->OverallBefore = request.before[0];
            review->KeysBefore = request.before[1];
            review->CapitalsBefore = request.before[2];
            review->WordsBefore = request.before[3];
            review->OverallNow = request.now[0];
            review->KeysNow = request.now[1];
            review->CapitalsNow = request.now[2];
            review->WordsNow = request.now[3];
            if (request.headingString) review->HeadingString = request.headingString;
            if (request.textString) review->TextString = request.textString;
            view = std::move(review);
        } else {
            auto page = std::make_unique<TChpContentsView>();
            page->NextLessonAllowed = request.nextAllowed;
            page->PreviousLessonAllowed = request.previousAllowed;
            view = std::move(page);
        }
        view->Lesson = request.chapter;
        view->Bookmark = request.bookmark;
        view->SelectedExercise = request.selected;
        view->LessonCaption = request.caption;
        const int answer = view->ShowModal();
        request.selected = view->SelectedExercise;
        return answer;
    };
    Hooks().lessonDone = [](const LessonDoneRequest& request) {
        TLessonDone view;
        view.LastLesson = request.lastLesson;
        view.NextLessonTitle = request.nextLessonTitle;
        view.Bookmark = request.bookmark;
        return view.ShowModal();
    };
}

}  // namespace corv
