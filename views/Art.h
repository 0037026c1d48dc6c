#pragma once
// The tutor's look, drawn in code: background, book paper, menu, tabs, shading bands,
// the product mark and the button styles. Views and events use the same palette: a
// screen asks for "the accent" or "the error red" and for a style sheet by what it is
// for, never for a colour value of its own.

#include <QColor>
#include <QComboBox>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;
class QPainter;
class QPushButton;

namespace corv::art {

QColor Paper();
QColor PaperEdge();
QColor Ink();      // body text
QColor InkSoft();  // secondary text
QColor Accent();   // headings, primary buttons
QColor AccentDark();
QColor Amber();     // highlights, markers
QColor InkMuted();  // descriptions and explanations
QColor Card();      // sheets standing on the book
QColor CardEdge();
QColor Good();                   // done, running
QColor ErrorRed();               // missing, stopped
QColor Faded();                  // disabled, locked
QColor Highlight();              // the current row or lesson
QColor Hairline();               // rules between rows
QColor Rule();                   // borders of round buttons and fields
QColor HoverPaper();             // under the pointer
QColor RowHover();               // a list row under the pointer
QColor AccentEdge();             // the border of accent-filled controls
QColor ListEdge();               // the frame of a list
QColor ProductInk();             // the product name on the about page
QColor OnMenu(int alpha = 255);  // text and glyphs on the section menu
// Keys of the keyboard pictures: face, edge, and the edge of a lit key (Amber face).
QColor KeyFace();
QColor KeyEdge();
QColor LitKeyEdge();
// Colours the storage forms give as 0x00BBGGRR values.
QColor LessonLink();            // lesson names on the course contents
QColor ExerciseLink();          // exercise names on the lesson page
QColor ExerciseListPaper();     // behind the exercise list
QColor KeyboardPaper();         // behind the keyboard picture
QColor LowColourReviewPaper();  // the review page with few colours
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

// Style sheets of single controls.
QString TextStyle(const QColor& colour);            // a label's text on the book
QString TransparentStyle();                         // pictures and pages that show the book through
QString TransparentStyle(const QString& selector);  // only the control, not its children
QString BackgroundStyle(const QColor& colour);
// A card: the framed sheet under a group of controls, for the given selector.
QString CardStyle(const QString& selector);
// A combo box whose chevron TChevronCombo draws itself.
QString ChevronComboStyle();
// Link buttons without their own padding, and the smaller text of buttons side by side.
QString TightLinkStyle();
QString SmallButtonStyle();
// A gauge whose bar takes the colour of its value.
QString GaugeChunkStyle(const QColor& colour);
QString TitleStyle();         // the main window's title line
QString ProductTitleStyle();  // the product name on the about page
// The roll-out steps of the course choice (selector of the step frames inside).
QString CourseStepsStyle();
// The lesson buttons of the course contents, on their card.
QString LessonButtonsStyle(const QString& cardSelector);
// The round lesson numbers of the lesson page.
QString LessonNaviStyle(const QString& panelSelector);
// The login card with the list of names.
QString LoginCardStyle(const QString& cardSelector);

// Controls in the book's look.
QLabel* NewLabel(QWidget* parent, int points, bool bold, const QColor& colour);

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
