#include "views/Art.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QVariant>
#include <cmath>

namespace corv::art {

QColor Paper() {
    return QColor(0xfd, 0xfb, 0xf6);
}
QColor PaperEdge() {
    return QColor(0xe9, 0xe2, 0xd2);
}
QColor Ink() {
    return QColor(0x23, 0x33, 0x40);
}
QColor InkSoft() {
    return QColor(0x5d, 0x6f, 0x7c);
}
QColor Accent() {
    return QColor(0x1f, 0x6f, 0x8b);
}
QColor AccentDark() {
    return QColor(0x12, 0x3c, 0x52);
}
QColor Amber() {
    return QColor(0xf2, 0xb1, 0x34);
}

QColor InkMuted() {
    return QColor(0x4d, 0x62, 0x70);
}
QColor Card() {
    return QColor(0xff, 0xfd, 0xf8);
}
QColor CardEdge() {
    return QColor(0xdd, 0xd3, 0xbf);
}
QColor Good() {
    return QColor(0x3c, 0x8d, 0x5a);
}
QColor ErrorRed() {
    return QColor(0xa3, 0x40, 0x2f);
}
QColor Faded() {
    return QColor(0x9a, 0xa6, 0xad);
}
QColor Highlight() {
    return QColor(0xff, 0xf3, 0xd6);
}
QColor Hairline() {
    return QColor(0, 0, 0, 18);
}
QColor Rule() {
    return QColor(0xc9, 0xbf, 0xa9);
}
QColor HoverPaper() {
    return QColor(0xff, 0xf8, 0xe8);
}
QColor RowHover() {
    return QColor(0xf4, 0xec, 0xdb);
}
QColor AccentEdge() {
    return QColor(0x15, 0x50, 0x6a);
}
QColor ListEdge() {
    return QColor(0xd6, 0xcd, 0xb8);
}
QColor ProductInk() {
    return QColor(0x18, 0x46, 0x5f);
}
QColor OnMenu(int alpha) {
    return QColor(255, 255, 255, alpha);
}
QColor KeyFace() {
    return Paper();
}
QColor KeyEdge() {
    return QColor(0x8c, 0x9a, 0x90);
}
QColor LitKeyEdge() {
    return QColor(0xb5, 0x7d, 0x12);
}
QColor LessonLink() {
    return QColor(0x00, 0x00, 0x7f);
}
QColor ExerciseLink() {
    return FromTColor(8650752);
}
QColor ExerciseListPaper() {
    return FromTColor(14155759);
}
QColor KeyboardPaper() {
    return FromTColor(11390629);
}
QColor LowColourReviewPaper() {
    return QColor(0xef, 0xfd, 0xd8);
}

QColor FromTColor(unsigned value) {
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QFont UiFont(int points, bool bold) {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    return font;
}

QFont MenuFont(bool bold) {
    return UiFont(10, bold);
}

void PaintBackground(QPainter& p, const QRect& client, const QRect& book) {
    p.save();
    QRadialGradient glow(book.center(), std::max(client.width(), client.height()) * 0.75);
    glow.setColorAt(0.0, QColor(0x2b, 0x4a, 0x63));
    glow.setColorAt(0.55, QColor(0x1a, 0x2e, 0x40));
    glow.setColorAt(1.0, QColor(0x0d, 0x17, 0x21));
    p.fillRect(client, glow);

    // Fine diagonal weave, barely there, so large screens do not look empty.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(255, 255, 255, 9), 1));
    for (int x = -client.height(); x < client.width(); x += 14)
        p.drawLine(x, 0, x + client.height(), client.height());

    // Soft drop shadow under the book.
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int i = 14; i >= 1; --i) {
        QColor c(0, 0, 0, 6 + (14 - i));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(book.adjusted(-i, -i + 4, i, i + 6), 8 + i, 8 + i);
    }
    p.restore();
}

void PaintBook(QPainter& p, const QRect& book, bool decorative, bool lowColour) {
    p.save();
    if (lowColour) {
        p.fillRect(book, Paper());
        p.setPen(PaperEdge());
        p.drawRect(book.adjusted(0, 0, -1, -1));
        p.restore();
        return;
    }
    QLinearGradient paper(book.topLeft(), book.bottomLeft());
    paper.setColorAt(0.0, QColor(0xfe, 0xfd, 0xf9));
    paper.setColorAt(1.0, QColor(0xf5, 0xf0, 0xe5));
    p.fillRect(book, paper);
    if (decorative) {
        // Ruled paper, faint enough to stay out of the way of text.
        p.setPen(QPen(QColor(0x4a, 0x7a, 0x9a, 16), 1));
        for (int y = book.top() + 84; y < book.bottom() - 60; y += 26)
            p.drawLine(book.left() + 24, y, book.right() - 24, y);
        // A bound edge on the right: stacked page edges.
        for (int i = 0; i < 4; ++i) {
            p.setPen(QPen(QColor(0xd9, 0xcf, 0xbb, 120 - i * 25), 1));
            p.drawLine(book.right() - i, book.top() + 4, book.right() - i, book.bottom() - 4);
        }
    }
    // Footer band where the shared buttons sit.
    QLinearGradient foot(QPoint(0, book.bottom() - 64), QPoint(0, book.bottom()));
    foot.setColorAt(0.0, QColor(0xf5, 0xf0, 0xe5, 0));
    foot.setColorAt(1.0, QColor(0xe7, 0xdf, 0xcd, 200));
    p.fillRect(QRect(book.left(), book.bottom() - 64, book.width(), 65), foot);
    p.setPen(PaperEdge());
    p.setBrush(Qt::NoBrush);
    p.drawRect(book.adjusted(0, 0, -1, -1));
    p.restore();
}

void PaintMenuPanel(QPainter& p, const QRect& menu, bool lowColour) {
    p.save();
    if (lowColour) {
        p.fillRect(menu, AccentDark());
        p.restore();
        return;
    }
    QLinearGradient g(menu.topLeft(), menu.bottomLeft());
    g.setColorAt(0.0, QColor(0x22, 0x76, 0x93));
    g.setColorAt(0.45, QColor(0x17, 0x55, 0x6e));
    g.setColorAt(1.0, QColor(0x0e, 0x36, 0x48));
    p.fillRect(menu, g);

    // Two slow waves in the lower half.
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int k = 0; k < 2; ++k) {
        QPainterPath wave;
        const int base = menu.top() + menu.height() * (62 + k * 14) / 100;
        wave.moveTo(menu.left(), base);
        wave.cubicTo(menu.left() + menu.width() * 0.35, base - 34 + k * 10,
                     menu.left() + menu.width() * 0.65, base + 30 - k * 8, menu.right() + 1,
                     base - 10);
        wave.lineTo(menu.right() + 1, menu.bottom() + 1);
        wave.lineTo(menu.left(), menu.bottom() + 1);
        wave.closeSubpath();
        p.fillPath(wave, QColor(255, 255, 255, 10 + k * 6));
    }
    // Light rule along the page side and a shadow the page casts.
    QLinearGradient edge(QPoint(menu.right() - 6, 0), QPoint(menu.right() + 1, 0));
    edge.setColorAt(0.0, QColor(0, 0, 0, 0));
    edge.setColorAt(1.0, QColor(0, 0, 0, 60));
    p.fillRect(QRect(menu.right() - 6, menu.top(), 7, menu.height()), edge);
    p.setPen(QColor(255, 255, 255, 40));
    p.drawLine(menu.left(), menu.top(), menu.right(), menu.top());
    p.restore();
}

void PaintTab(QPainter& p, const QRect& tab) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath path;
    const qreal r = 10;
    const QRectF t = QRectF(tab).adjusted(6, 0, 1, 0);
    path.moveTo(t.right(), t.top());
    path.lineTo(t.left() + r, t.top());
    path.quadTo(t.left(), t.top(), t.left(), t.top() + r);
    path.lineTo(t.left(), t.bottom() - r);
    path.quadTo(t.left(), t.bottom(), t.left() + r, t.bottom());
    path.lineTo(t.right(), t.bottom());
    path.closeSubpath();
    p.fillPath(path.translated(0, 2), QColor(0, 0, 0, 50));
    QLinearGradient g(t.topLeft(), t.topRight());
    g.setColorAt(0.0, QColor(0xf3, 0xed, 0xdf));
    g.setColorAt(0.25, Paper());
    p.fillPath(path, g);
    // Amber marker on the tab's outer edge.
    p.setPen(Qt::NoPen);
    p.setBrush(Amber());
    p.drawRoundedRect(QRectF(t.left() + 3, t.top() + 12, 4, t.height() - 24), 2, 2);
    p.restore();
}

QPixmap ProductMark(int height, bool onDark) {
    const QString name = QStringLiteral("Corvella");
    QFont font = UiFont(1, true);
    font.setPixelSize(height * 11 / 20);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    const int textWidth = QFontMetrics(font).horizontalAdvance(name);
    QPixmap pm(height + 8 + textWidth + 2, height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    // The mark: an amber disc with a light quill stroke crossing it.
    const QRectF disc(1, 1, height - 2, height - 2);
    QRadialGradient g(disc.center() - QPointF(height * 0.15, height * 0.15), height * 0.7);
    g.setColorAt(0.0, QColor(0xff, 0xd0, 0x6e));
    g.setColorAt(1.0, QColor(0xe0, 0x96, 0x1c));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(disc);
    QPainterPath quill;
    quill.moveTo(disc.left() + height * 0.25, disc.bottom() - height * 0.2);
    quill.cubicTo(disc.left() + height * 0.35, disc.top() + height * 0.45,
                  disc.left() + height * 0.55, disc.top() + height * 0.2,
                  disc.right() - height * 0.12, disc.top() + height * 0.12);
    quill.cubicTo(disc.right() - height * 0.3, disc.top() + height * 0.4,
                  disc.left() + height * 0.45, disc.top() + height * 0.6,
                  disc.left() + height * 0.25, disc.bottom() - height * 0.2);
    p.setBrush(QColor(0xff, 0xfb, 0xf0));
    p.drawPath(quill);
    p.setFont(font);
    p.setPen(onDark ? QColor(0xff, 0xff, 0xff) : AccentDark());
    p.drawText(QRect(height + 8, 0, textWidth + 2, height), Qt::AlignVCenter | Qt::AlignLeft, name);
    return pm;
}

void SetButtonRole(QPushButton* button, ButtonRole role) {
    static const char* const names[] = {"primary", "secondary", "menuExit", "titleExit", "link"};
    button->setProperty("corvRole", QString::fromLatin1(names[static_cast<int>(role)]));
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
}

QString StyleSheet() {
    return QStringLiteral(R"(
QPushButton {
  color: #23404f; font-family: Verdana; font-size: 13px;
  border: 1px solid #bdb199; border-radius: 6px; padding: 4px 18px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffdf8, stop:1 #e9e1d0);
}
QPushButton:hover { background: #fff8e8; border-color: #d7a73c; }
QPushButton:disabled { color: #9aa6ad; border-color: #d6cfbf; }
QLineEdit, QComboBox, QSpinBox {
  color: #233340; font-family: Verdana; font-size: 13px; background: white;
  border: 1px solid #c9bfa9; border-radius: 4px; padding: 3px 6px;
  selection-background-color: #2b8cb1;
}
QLineEdit:focus, QComboBox:focus, QSpinBox:focus { border-color: #2b8cb1; }
QListWidget, QTreeWidget, QTableWidget {
  color: #233340; background: #fffefb; border: 1px solid #d6cdb8; border-radius: 4px;
  selection-background-color: #1f6f8b; selection-color: white;
}
QPushButton[corvRole="primary"] {
  color: white; font-family: Verdana; font-size: 13px; font-weight: bold;
  border: 1px solid #15506a; border-radius: 6px; padding: 4px 18px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #43a6cd, stop:1 #1f6f8b);
}
QPushButton[corvRole="primary"]:hover {
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #58b8dc, stop:1 #2683a3);
}
QPushButton[corvRole="primary"]:pressed { background: #185a72; }
QPushButton[corvRole="primary"]:disabled { background: #a9bfc9; border-color: #93aab5; color: #eef3f5; }
QPushButton[corvRole="secondary"] {
  color: #23404f; font-family: Verdana; font-size: 13px;
  border: 1px solid #bdb199; border-radius: 6px; padding: 4px 18px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fffdf8, stop:1 #e9e1d0);
}
QPushButton[corvRole="secondary"]:hover { background: #fff8e8; border-color: #d7a73c; }
QPushButton[corvRole="secondary"]:pressed { background: #e3d9c4; }
QPushButton[corvRole="menuExit"] {
  color: white; font-family: Verdana; font-size: 13px; text-align: left; padding-left: 16px;
  border: 1px solid rgba(255, 255, 255, 70); border-radius: 6px;
  background: rgba(255, 255, 255, 18);
}
QPushButton[corvRole="menuExit"]:hover { background: rgba(255, 255, 255, 45); border-color: #f2b134; }
QPushButton[corvRole="titleExit"] {
  color: #8a3b2e; font-family: Verdana; font-size: 11px; font-weight: bold;
  border: 1px solid #dcbdb3; border-radius: 11px; padding: 2px 10px; background: #fbf3ef;
}
QPushButton[corvRole="titleExit"]:hover { background: #f6ddd5; border-color: #c4705d; }
QPushButton[corvRole="link"] {
  color: #1f6f8b; font-family: Verdana; font-size: 13px; text-decoration: underline;
  border: none; background: transparent; text-align: left;
}
QProgressBar {
  border: 1px solid #c9bfa9; border-radius: 5px; background: #f3eee2; height: 10px;
  text-align: center; color: transparent;
}
QProgressBar::chunk {
  border-radius: 4px;
  background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #2b8cb1, stop:1 #4fb6d8);
}
QTextBrowser { border: none; background: transparent; color: #233340; }
QScrollBar:vertical { width: 10px; background: transparent; margin: 0; }
QScrollBar::handle:vertical { background: #c9bfa9; border-radius: 4px; min-height: 24px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
)");
}

TShadePic::TShadePic(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TShadePic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    switch (kind_) {
        case kTop:
        case kTitle: {
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0.0, QColor(0x1f, 0x6f, 0x8b, kind_ == kTitle ? 34 : 26));
            g.setColorAt(1.0, QColor(0x1f, 0x6f, 0x8b, 0));
            p.fillRect(r, g);
            if (kind_ == kTitle) {
                QLinearGradient line(r.topLeft(), r.topRight());
                line.setColorAt(0.0, QColor(0xf2, 0xb1, 0x34, 220));
                line.setColorAt(0.6, QColor(0xf2, 0xb1, 0x34, 60));
                line.setColorAt(1.0, QColor(0xf2, 0xb1, 0x34, 0));
                p.fillRect(QRect(r.left() + 20, r.bottom() - 2, r.width() - 40, 2), line);
            }
            break;
        }
        case kBottom: {
            QLinearGradient g(r.topLeft(), r.bottomLeft());
            g.setColorAt(0.0, QColor(0x1f, 0x6f, 0x8b, 0));
            g.setColorAt(1.0, QColor(0x1f, 0x6f, 0x8b, 26));
            p.fillRect(r, g);
            break;
        }
        case kLeft:
        case kRight: {
            QLinearGradient g(r.topLeft(), r.topRight());
            const QColor strong(0x1f, 0x6f, 0x8b, 22), none(0x1f, 0x6f, 0x8b, 0);
            g.setColorAt(0.0, kind_ == kLeft ? strong : none);
            g.setColorAt(1.0, kind_ == kLeft ? none : strong);
            p.fillRect(r, g);
            break;
        }
        case kDivider: {
            QLinearGradient g(r.topLeft(), r.topRight());
            g.setColorAt(0.0, QColor(0xc9, 0xbf, 0xa9, 0));
            g.setColorAt(0.5, QColor(0xc9, 0xbf, 0xa9, 255));
            g.setColorAt(1.0, QColor(0xc9, 0xbf, 0xa9, 0));
            p.fillRect(QRect(r.left(), r.center().y(), r.width(), 1), g);
            break;
        }
    }
}

void TChevronCombo::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(isEnabled() ? Accent() : InkSoft(), 1.8);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    const QPointF c(width() - 14.0, height() / 2.0 + 1.0);
    const QPointF chevron[] = {c + QPointF(-4.5, -2.5), c + QPointF(0, 2.0),
                               c + QPointF(4.5, -2.5)};
    p.drawPolyline(chevron, 3);
}

// ---------------------------------------------------------------------------------------
// Style sheets of single controls

namespace {

QString Hex(const QColor& colour) {
    return colour.name(QColor::HexRgb);
}

QString ChevronComboDropDown() {
    return QStringLiteral(
        "QComboBox::drop-down { subcontrol-origin: padding; subcontrol-position: center right;"
        " width: 24px; border: none; }");
}

}  // namespace

QString TextStyle(const QColor& colour) {
    return QStringLiteral("color: %1; background: transparent;").arg(Hex(colour));
}

QString TransparentStyle() {
    return QStringLiteral("background: transparent;");
}

QString TransparentStyle(const QString& selector) {
    return QStringLiteral("%1 { background: transparent; }").arg(selector);
}

QString BackgroundStyle(const QColor& colour) {
    return QStringLiteral("background: %1;").arg(Hex(colour));
}

QString CardStyle(const QString& selector) {
    return QStringLiteral("%1 { background: %2; border: 1px solid %3; border-radius: 10px; }")
        .arg(selector, Hex(Card()), Hex(CardEdge()));
}

QString ChevronComboStyle() {
    return ChevronComboDropDown() +
           QStringLiteral("QComboBox::down-arrow { image: none; width: 0; height: 0; }");
}

QString TightLinkStyle() {
    return QStringLiteral("QPushButton { padding: 2px 0px; }");
}

QString SmallButtonStyle() {
    return QStringLiteral("QPushButton { font-size: 12px; padding: 4px 6px; }");
}

QString GaugeChunkStyle(const QColor& colour) {
    return QStringLiteral("QProgressBar::chunk { border-radius: 4px; background: %1; }")
        .arg(Hex(colour));
}

QString TitleStyle() {
    return QStringLiteral("color: %1;").arg(Hex(AccentDark()));
}

QString ProductTitleStyle() {
    return QStringLiteral("font-size: 22pt; font-weight: bold; color: %1;").arg(Hex(ProductInk()));
}

QString CourseStepsStyle() {
    return CardStyle(QStringLiteral("QFrame[corvStep=\"true\"]")) +
           QStringLiteral(
               "QPushButton[corvStepHeader=\"true\"] { text-align: left; padding: 8px 14px;"
               " border: none; background: transparent; font-family: Verdana; font-size: 14px;"
               " font-weight: bold; color: %1; }"
               "QPushButton[corvStepHeader=\"true\"]:hover { color: %2; }"
               "QListWidget#Courselist { font-family: Verdana; font-size: 12px; }"
               "QListWidget#Courselist::item { padding: 4px 6px; }")
               .arg(Hex(AccentDark()), Hex(Accent()));
}

QString LessonButtonsStyle(const QString& cardSelector) {
    return CardStyle(cardSelector) +
           QStringLiteral(
               "QPushButton { text-align: left; border: none; background: transparent;"
               " padding: 2px 10px; font-family: Verdana; font-size: 12px; color: %1; }"
               "QPushButton:hover { text-decoration: underline; color: %2; }"
               "QPushButton:disabled { color: %3; }"
               "QPushButton[corvCurrent=\"true\"] { font-weight: bold; color: %4;"
               " background: %5; border-radius: 4px; }")
               .arg(Hex(LessonLink()), Hex(Accent()), Hex(Faded()), Hex(AccentDark()),
                    Hex(Highlight()));
}

QString LessonNaviStyle(const QString& panelSelector) {
    return QStringLiteral(
               "%1 { background: transparent; }"
               "QPushButton { font-family: Verdana; font-size: 11px; font-weight: bold; color: %2;"
               " padding: 0; border: 1px solid %3; border-radius: 14px; background: %4; }"
               "QPushButton:hover { border-color: %5; background: %6; }"
               "QPushButton:disabled { color: white; border-color: %7; background: %2; }")
        .arg(panelSelector, Hex(Accent()), Hex(Rule()), Hex(Card()), Hex(Amber()),
             Hex(HoverPaper()), Hex(AccentEdge()));
}

QString LoginCardStyle(const QString& cardSelector) {
    return CardStyle(cardSelector) +
           QStringLiteral(
               "QListWidget#NameList { font-family: Verdana; font-size: 13px; padding: 2px; }"
               "QListWidget#NameList::item { padding: 5px 8px; border-radius: 3px; }"
               "QListWidget#NameList::item:hover { background: %1; }"
               "QListWidget#NameList::item:selected { background: %2; color: white; }")
               .arg(Hex(RowHover()), Hex(Accent())) +
           ChevronComboDropDown();
}

QLabel* NewLabel(QWidget* parent, int points, bool bold, const QColor& colour) {
    auto* label = new QLabel(parent);
    label->setFont(UiFont(points, bold));
    label->setStyleSheet(TextStyle(colour));
    return label;
}

}  // namespace corv::art
