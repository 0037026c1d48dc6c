#pragma once
// The tutor's look, drawn in code: background, book paper, menu, tabs, shading bands,
// the product mark and the button styles. Views and events use the same palette.

#include <QColor>
#include <QComboBox>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

class QPainter;
class QPushButton;

namespace corv::art {

QColor Paper();
QColor PaperEdge();
QColor Ink();      // body text
QColor InkSoft();  // secondary text
QColor Accent();   // headings, primary buttons
QColor AccentDark();
QColor Amber();  // highlights, markers
// A colour as course settings and the storage forms write it: 0x00BBGGRR.
QColor FromTColor(unsigned value);

// Fonts sized in pixels at 96 dpi, so layouts hold on any screen.
QFont UiFont(int points, bool bold = false);
QFont MenuFont(bool bold);

void PaintBackground(QPainter& p, const QRect& client, const QRect& book);
void PaintBook(QPainter& p, const QRect& book, bool decorative, bool lowColour);
void PaintMenuPanel(QPainter& p, const QRect& menu, bool lowColour);
// The current section's tab: paper joined to the book on its right edge.
void PaintTab(QPainter& p, const QRect& tab);
// The product mark and name; light for the menu, dark for the book.
QPixmap ProductMark(int height, bool onDark);

enum class ButtonRole { kPrimary, kSecondary, kMenuExit, kTitleExit, kLink };
void SetButtonRole(QPushButton* button, ButtonRole role);
// The style sheet of the main window: buttons, gauges, lists and text pages.
QString StyleSheet();

// A decorative band: shading above or below a page area, at its sides, or a divider.
class TShadePic : public QWidget {
  public:
    enum Kind { kTop, kBottom, kLeft, kRight, kDivider, kTitle };
    TShadePic(Kind kind, QWidget* parent = nullptr);
    Kind kind() const { return kind_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Kind kind_;
};

// A combo box with the book's chevron in place of the platform's arrow.
class TChevronCombo : public QComboBox {
  public:
    using QComboBox::QComboBox;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace corv::art
