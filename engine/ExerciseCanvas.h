#pragma once
// The typing screens' word-layout controls. Text is shown as positioned words; each
// keystroke redraws only the words it changes (the previous, current and next word), so
// typing stays quick on long texts:
//   TViewCanvas      the text to type, page by page, current word or character marked;
//   TTypingCanvas    the box that echoes the typed words, wrong ones underlined;
//   TWordViewCanvas  one word with a character cursor (word drills, WordTris).

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/TextTyping.h"

namespace corv {

struct TWordInfo {
    static constexpr size_t kMaxText = 70;

    std::string Text;  // at most 70 characters
    bool EndsLine = false;
    int32_t X = 0;
    int32_t Line = 1;        // 1-based
    QColor Colour;           // white: not drawn
    uint8_t Decoration = 0;  // 0 none, 1 two solid underlines, 2 two dotted ones
    int32_t TextOffset = 0;  // where, in the text, the search for this word began
};

// A token of a text: a word, a line break (a lone CR), or nothing at the end.
struct TTextToken {
    size_t begin = 0;  // where the search began
    size_t start = 0;  // first character of the token
    size_t end = 0;    // just after it
    bool lineBreak = false;
    bool Empty() const { return !lineBreak && start == end; }
};
// Skips Tab, Space, LF and 0xFF; a word ends before those or a CR and holds at most 255
// characters (the rest is the next token).
TTextToken NextTextToken(std::string_view text, size_t from);

class TExerciseCanvas : public QWidget {
  public:
    static constexpr int kMaxTokenLength = 255;

    explicit TExerciseCanvas(QWidget* parent = nullptr);
    ~TExerciseCanvas() override;

    int TopMargin = 2, BottomMargin = 2, RightMargin = 3, LeftMargin = 3;
    std::vector<TWordInfo> Words;
    int CurrentIndex = 0;
    int CursorPos = -1;  // character cursor in the current word; -1 none
    int NextX = 3;
    int CurrentLine = 1;
    std::string LineEndSymbol = "\xAB";
    QColor CurrentColour{0, 0, 0};
    QColor RestColour{0, 0, 0};
    QColor MarkerColour;
    QColor TypedColour;
    QColor DecorationColour;
    QColor Background{0, 0, 0};
    QColor FontColour{0, 0, 0};
    bool Highlight = false;

    // The font in points at 96 pixels per inch, whatever the screen.
    void SetTextFont(const QString& family, int points, bool bold);
    int FontPoints() const { return fontPoints_; }
    // The font height in pixels (always positive).
    int FontHeight() const;
    int TextWidth(std::string_view text) const;

    // Frees the words and starts at the top left; repaints.
    void Clear();
    // The word at CurrentIndex + k; empty outside the list.
    std::string WordAt(int k) const;
    bool CurrentEndsLine() const;
    // Character mode: the character to type next; CR or Space after the word's end; 0
    // when there is no current word.
    char ExpectedChar() const;
    // The top of a line (1-based).
    int LineTop(int line) const;

    virtual void Rebuild() {}
    virtual void FontChanged();
    // True when the page is full (nothing changes then); otherwise starts a new line.
    virtual bool NewLine();
    virtual TWordInfo& AddWord(std::string_view text);

    // Schedules the repaint of a word's area: erase 1 the word, 2 the word and two spaces.
    void RedrawWord(int index, int erase);
    // The area a word occupies with that erase mode.
    QRect WordArea(const TWordInfo& word, int erase) const;
    // Words painted so far (tests and the benchmark watch how much a keystroke repaints).
    int64_t PaintedWords() const { return paintedWords_; }
    int64_t Paints() const { return paints_; }
    // What the character cursor shows at pos of the word: the character, or past the
    // word's end the line-end symbol, two spaces (shift -2 pixels) or, for the symbol
    // "\xAB" at a line end, four spaces.
    static std::string CursorText(const TWordInfo& word, int pos, const std::string& symbol,
                                  int* shift = nullptr);
    // The index of the word drawn with its current character in red; -1 none.
    int ErrorWord = -1;

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Extra drawing after the words (the caret).
    virtual void PaintOver(QPainter&, const QRegion&) {}
    void DrawWord(QPainter& p, const TWordInfo& word, bool current, bool errorColouring);
    // Marks whose look depends on the palette mode (normal or low colour).
    void ApplyPaletteColours();

    QFont canvasFont_;
    QFontMetrics metrics_;
    int fontPoints_ = 13;
    int64_t paintedWords_ = 0;
    int64_t paints_ = 0;

  private:
    void DrawReturnArrow(QPainter& p, int x, int y, QColor colour);
};

// The text view.
class TViewCanvas : public TExerciseCanvas, public ITextCursor {
  public:
    enum { kCharacterMode = 0, kWordMode = 1 };

    explicit TViewCanvas(QWidget* parent = nullptr);

    int Mode = kWordMode;
    int32_t Position = 0;   // text offset of the current word
    int32_t LineStart = 0;  // text offset where the current line began
    int32_t PageStart = 0;
    std::string Text;  // up to its first zero byte
    int32_t NextPage = 0;
    bool OneLine = false;
    int WordSpacing = 0;

    void SetText(std::string_view text, int32_t offset);
    void SetMode(int mode);
    void Rebuild() override;

    // One word (word mode) or one character (character mode) further.
    void Advance() override;
    // The current character in red, until the next advance.
    void ShowError();
    // Offset of the current word in the text, in percent (0 for an empty text).
    int PercentDone() const;

    std::string WordAt(int k) const override { return TExerciseCanvas::WordAt(k); }
    bool CurrentEndsLine() const override { return TExerciseCanvas::CurrentEndsLine(); }
    bool AtEnd() const { return CurrentIndex >= static_cast<int>(Words.size()); }

  private:
    void NextPageNow();
    // Whether a word follows in the text from that offset.
    bool WordsFrom(int32_t offset) const;
};

// The typing box.
class TTypingCanvas : public TExerciseCanvas {
  public:
    explicit TTypingCanvas(QWidget* parent = nullptr);

    int CaretX = 3;

    // Empty, with one empty word and the caret at the start.
    void Reset();
    // Characters up to 32 are ignored; a full line wraps.
    void Append(char ch);
    void Backspace();
    // Ends the typed word, underlined when wrong; separator '\r' starts a new line.
    void CloseWord(char separator, bool wrong);
    // The word being typed (also when the line wrap has split it).
    std::string TypedWord() const;

  protected:
    void PaintOver(QPainter& p, const QRegion& region) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  private:
    TWordInfo& Current() { return Words.back(); }
    void PlaceCurrent();
    void Scroll();
    void StartLine();
    QRect CaretRect() const;

    TWordInfo saved_;
    bool savedValid_ = false;
    // First word of the typed word: a word too wide for the line is carried on below.
    size_t pieceStart_ = 0;
    std::string carried_;  // parts of it that scrolled out of the box
};

// One word with a character cursor.
class TWordViewCanvas : public TExerciseCanvas {
  public:
    explicit TWordViewCanvas(QWidget* parent = nullptr);

    char LineEndChar = 0;  // 0 none

    void SetWord(std::string_view text);
    void Advance();
    bool Finished() const { return CurrentIndex != 0; }
};

}  // namespace corv
