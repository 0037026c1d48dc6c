#include "shell/lessons/ExerciseList.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "course/Chapter.h"
#include "course/Contents.h"
#include "course/Exercise.h"
#include "engine/analysis/Round.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"

namespace corv {

// The pictures of the exercise rows: new, done, next and locked, each also selected.
QPixmap TExerciseList::DefaultPicture(Picture kind) {
    const qreal ratio = 2.0;
    QPixmap pixmap(static_cast<int>(kPictureSize * ratio), static_cast<int>(kPictureSize * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    const bool selected = kind % 2 == 1;
    const QRectF disc(3, 3, 18, 18);
    const QColor done = art::Good();
    if (selected) {
        p.setPen(QPen(art::Amber(), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.25, 1.25, 21.5, 21.5));
    }
    switch (kind) {
        case kNew:
        case kNewSel:
            p.setPen(QPen(art::Accent(), 1.8));
            p.setBrush(Qt::white);
            p.drawEllipse(disc.adjusted(1, 1, -1, -1));
            p.setPen(Qt::NoPen);
            p.setBrush(art::Accent());
            p.drawEllipse(QPointF(12, 12), 2.6, 2.6);
            break;
        case kDone:
        case kDoneSel: {
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
        case kNext:
        case kNextSel: {
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
            p.setBrush(art::Faded());
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

TExerciseList::TExerciseList(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
    setFont(art::UiFont(10));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    for (int i = 0; i < kPictures; ++i)
        Pictures[static_cast<size_t>(i)] = DefaultPicture(static_cast<Picture>(i));
    LinkColour = art::ExerciseLink();
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
    p.setPen(QPen(art::ListEdge(), 1));
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
            p.fillPath(band, art::Highlight());
        } else if (r > 1) {
            p.setPen(QPen(art::Hairline(), 1));
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

}  // namespace corv
