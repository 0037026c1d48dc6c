#include "engine/ExerciseCanvas.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "platform/qt/QtText.h"
#include "views/BookForm.h"

namespace corv {

namespace {

const QColor kWhite(255, 255, 255);
const QColor kErrorRed(255, 0, 0);

bool LowColourMode() {
    const TBookFormEx* window = MainWindow();
    return window && window->LowColour();
}

QColor LightAccent() {
    return LowColourMode() ? QColor(192, 220, 192) : QColor(165, 206, 173);
}
QColor DarkAccent() {
    return LowColourMode() ? QColor(0, 0, 128) : QColor(77, 105, 197);
}

bool IsSeparator(unsigned char c) {
    return c == '\t' || c == ' ' || c == '\n' || c == 0xFF;
}

}  // namespace

TTextToken NextTextToken(std::string_view text, size_t from) {
    TTextToken t;
    t.begin = std::min(from, text.size());
    size_t i = t.begin;
    while (i < text.size() && IsSeparator(static_cast<unsigned char>(text[i]))) ++i;
    t.start = t.end = i;
    if (i == text.size()) return t;
    if (text[i] == '\r') {
        t.lineBreak = true;
        t.end = i + 1;
        return t;
    }
    size_t j = i;
    while (j < text.size() && j - i < static_cast<size_t>(TExerciseCanvas::kMaxTokenLength) &&
           text[j] != '\r' && !IsSeparator(static_cast<unsigned char>(text[j])))
        ++j;
    t.end = j;
    return t;
}

// --- TExerciseCanvas ---

TExerciseCanvas::TExerciseCanvas(QWidget* parent) : QWidget(parent), metrics_(QFont()) {
    // Every pixel is painted by the canvas itself; no bitmap of its own is kept.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(200, 200);
    NextX = LeftMargin;
    ApplyPaletteColours();
    SetTextFont(QStringLiteral("Arial"), 13, true);
}

TExerciseCanvas::~TExerciseCanvas() = default;

void TExerciseCanvas::ApplyPaletteColours() {
    MarkerColour = LightAccent();
    TypedColour = LightAccent();
    DecorationColour = DarkAccent();
}

void TExerciseCanvas::SetTextFont(const QString& family, int points, bool bold) {
    fontPoints_ = points;
    QFont font(family);
    font.setStyleHint(QFont::Serif);
    // Points at 96 pixels per inch: the same size on every screen.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    font.setBold(bold);
    canvasFont_ = font;
    FontChanged();
}

void TExerciseCanvas::FontChanged() {
    metrics_ = QFontMetrics(canvasFont_);
    if (CurrentIndex >= 0 && CurrentIndex < static_cast<int>(Words.size()))
        Words[static_cast<size_t>(CurrentIndex)].Colour = FontColour;
    Rebuild();
    update();
}

int TExerciseCanvas::FontHeight() const {
    return std::max(1, canvasFont_.pixelSize());
}

int TExerciseCanvas::TextWidth(std::string_view text) const {
    if (text.empty()) return 0;
    return metrics_.horizontalAdvance(ToQt(std::string(text)));
}

void TExerciseCanvas::Clear() {
    Words.clear();
    NextX = LeftMargin;
    CurrentLine = 1;
    ErrorWord = -1;
    update();
}

std::string TExerciseCanvas::WordAt(int k) const {
    const long i = static_cast<long>(CurrentIndex) + k;
    if (i < 0 || i >= static_cast<long>(Words.size())) return {};
    return Words[static_cast<size_t>(i)].Text;
}

bool TExerciseCanvas::CurrentEndsLine() const {
    if (CurrentIndex < 0 || CurrentIndex >= static_cast<int>(Words.size())) return false;
    return Words[static_cast<size_t>(CurrentIndex)].EndsLine;
}

char TExerciseCanvas::ExpectedChar() const {
    if (CurrentIndex < 0 || CurrentIndex >= static_cast<int>(Words.size())) return 0;
    const TWordInfo& w = Words[static_cast<size_t>(CurrentIndex)];
    const int c = std::max(0, CursorPos);
    if (c < static_cast<int>(w.Text.size())) return w.Text[static_cast<size_t>(c)];
    return w.EndsLine ? '\r' : ' ';
}

int TExerciseCanvas::LineTop(int line) const {
    return (FontHeight() + 6) * (line - 1) + TopMargin;
}

bool TExerciseCanvas::NewLine() {
    if (LineTop(CurrentLine + 2) > height() - BottomMargin) return true;
    NextX = LeftMargin;
    ++CurrentLine;
    return false;
}

TWordInfo& TExerciseCanvas::AddWord(std::string_view text) {
    TWordInfo w;
    w.Text = std::string(text.substr(0, TWordInfo::kMaxText));
    w.X = NextX;
    w.Line = CurrentLine;
    w.Colour = FontColour;
    Words.push_back(std::move(w));
    return Words.back();
}

QRect TExerciseCanvas::WordArea(const TWordInfo& word, int erase) const {
    const int h = FontHeight();
    const int y = LineTop(word.Line);
    const bool current = Highlight && !Words.empty() && &word >= &Words.front() &&
                         &word <= &Words.back() && &word - &Words.front() == CurrentIndex;
    int x = word.X;
    if (current && CursorPos >= 0) x -= TextWidth("       ");
    int right = word.X + TextWidth(erase == 2 ? word.Text + "  " : word.Text);
    if (word.EndsLine) right += TextWidth("  ");
    // The underlines reach a little below the line; the rectangle covers them.
    const int bottom = y + std::max(static_cast<int>(std::lround(h * 1.2)), h + 2);
    return QRect(QPoint(x, y), QPoint(right, bottom));
}

void TExerciseCanvas::RedrawWord(int index, int erase) {
    if (index < 0 || index >= static_cast<int>(Words.size())) return;
    update(WordArea(Words[static_cast<size_t>(index)], erase));
}

void TExerciseCanvas::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRegion& region = event->region();
    for (const QRect& r : region) p.fillRect(r, Background);
    ++paints_;
    p.setFont(canvasFont_);
    for (size_t i = 0; i < Words.size(); ++i) {
        const TWordInfo& w = Words[i];
        const bool current = Highlight && static_cast<int>(i) == CurrentIndex;
        // What the word really covers: its text, and under a character cursor the marker
        // and the separator shown after the text.
        const bool cursor = current && CursorPos >= 0;
        if (!region.intersects(WordArea(w, cursor ? 2 : 1))) continue;
        DrawWord(p, w, current, ErrorWord == static_cast<int>(i));
        ++paintedWords_;
    }
    PaintOver(p, region);
}

void TExerciseCanvas::DrawReturnArrow(QPainter& p, int x, int y, QColor colour) {
    // A return arrow (the "Symbol" font's 0xBF) drawn as lines, so every font has it.
    const int h = FontHeight();
    const double w = std::max(6, TextWidth("  ") - 3);
    const double top = y + h * 0.3, mid = y + h * 0.65;
    QPainterPath path;
    path.moveTo(x + w, top);
    path.lineTo(x + w, mid);
    path.lineTo(x + 1, mid);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(colour, std::max(1.0, h / 12.0)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QPolygonF head;
    const double s = std::max(3.0, h * 0.2);
    head << QPointF(x, mid) << QPointF(x + s, mid - s * 0.8) << QPointF(x + s, mid + s * 0.8);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawPolygon(head);
    p.restore();
}

std::string TExerciseCanvas::CursorText(const TWordInfo& w, int pos, const std::string& symbol,
                                        int* shift) {
    if (shift) *shift = 0;
    if (pos >= 0 && pos < static_cast<int>(w.Text.size()))
        return w.Text.substr(static_cast<size_t>(pos), 1);
    if (w.EndsLine && symbol != "\xAB") return symbol;
    if (!w.EndsLine) {
        if (shift) *shift = -2;
        return "  ";
    }
    return "    ";
}

void TExerciseCanvas::DrawWord(QPainter& p, const TWordInfo& w, bool current, bool errorColouring) {
    const int h = FontHeight();
    const int y = LineTop(w.Line);
    const int baseline = y + metrics_.ascent();
    const bool arrowAtEnd = w.EndsLine && LineEndSymbol == "\xAB";
    QFont underlined = canvasFont_;
    underlined.setUnderline(true);

    if (current && CursorPos < 0) {
        p.setFont(underlined);
        p.setPen(CurrentColour);
        p.drawText(w.X, baseline, ToQt(w.Text));
        p.setFont(canvasFont_);
        if (arrowAtEnd) DrawReturnArrow(p, w.X + TextWidth(w.Text) + 3, y, CurrentColour);
    } else if (current) {
        const int len = static_cast<int>(w.Text.size());
        const int c = std::min(CursorPos, len);
        const int before = TextWidth(std::string_view(w.Text).substr(0, static_cast<size_t>(c)));
        const int xm = w.X + before - 2;
        const int m = y + static_cast<int>(std::lround(h * 0.5));
        p.fillRect(QRect(QPoint(xm - 12, m - 8), QPoint(xm + 5, m + 8)), Background);
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(MarkerColour);
        const QPoint triangle[3] = {QPoint(xm, m), QPoint(xm - 12, m - 8), QPoint(xm - 12, m + 8)};
        p.drawPolygon(triangle, 3);
        p.restore();
        // The typed characters are gone; the cursor character, then the rest.
        int shift = 0;
        const std::string cursorText = CursorText(w, c, LineEndSymbol, &shift);
        const int cursorX = w.X + before + shift;
        p.setFont(underlined);
        p.setPen(errorColouring ? kErrorRed : CurrentColour);
        p.drawText(cursorX, baseline, ToQt(cursorText));
        p.setFont(canvasFont_);
        int restX = w.X + before;
        if (c < len) {
            restX = w.X + TextWidth(std::string_view(w.Text).substr(0, static_cast<size_t>(c) + 1));
            const std::string rest = w.Text.substr(static_cast<size_t>(c) + 1);
            p.setPen(RestColour);
            p.drawText(restX, baseline, ToQt(rest));
            if (arrowAtEnd) DrawReturnArrow(p, w.X + TextWidth(w.Text) + 3, y, RestColour);
        }
    } else if (w.Colour != kWhite) {
        p.setPen(w.Colour);
        p.drawText(w.X, baseline, ToQt(w.Text));
        if (arrowAtEnd) DrawReturnArrow(p, w.X + TextWidth(w.Text) + 3, y, w.Colour);
    }

    if (w.Decoration == 1 || w.Decoration == 2) {
        QPen pen(DecorationColour, 1, w.Decoration == 1 ? Qt::SolidLine : Qt::DotLine);
        p.setPen(pen);
        const int right = w.X + TextWidth(w.Text);
        p.drawLine(w.X, y + h, right, y + h);
        p.drawLine(w.X, y + h + 1, right, y + h + 1);
    }
}

// --- TViewCanvas ---

TViewCanvas::TViewCanvas(QWidget* parent) : TExerciseCanvas(parent) {}

void TViewCanvas::SetText(std::string_view text, int32_t offset) {
    // A zero byte ends the text, as it always has.
    Text = std::string(text.substr(0, text.find('\0')));
    Position = offset < 0 || offset > static_cast<int32_t>(Text.size()) ? 0 : offset;
    LineStart = Position;
    PageStart = Position;
    Rebuild();
    update();
}

void TViewCanvas::SetMode(int mode) {
    Mode = mode == kCharacterMode ? kCharacterMode : kWordMode;
    Highlight = true;
    if (Mode == kWordMode) {
        CursorPos = -1;
        LeftMargin = 3;
    } else {
        CursorPos = 0;
        LeftMargin = FontHeight() + 3;
    }
    Rebuild();
    update();
}

void TViewCanvas::Rebuild() {
    Clear();
    CurrentIndex = 0;
    CursorPos = Mode == kCharacterMode ? 0 : -1;
    if (Text.empty()) {
        NextPage = 0;
        return;
    }
    const std::string_view text(Text);
    const int limit = width() - RightMargin;
    const int wWidth = TextWidth("W");
    size_t pos =
        static_cast<size_t>(std::clamp<int32_t>(PageStart, 0, static_cast<int32_t>(text.size())));
    while (true) {
        const TTextToken t = NextTextToken(text, pos);
        if (t.Empty()) {
            if (!Words.empty()) Words.back().EndsLine = true;
            pos = t.end;
            break;
        }
        if (t.lineBreak) {
            if (!Words.empty()) Words.back().EndsLine = true;
            const bool full = NewLine();
            pos = t.end;
            if (full) {
                // Blank lines at the top of a page never make an empty page: the page
                // would show nothing and the text would seem to end there.
                if (!Words.empty()) break;
                NextX = LeftMargin;
                CurrentLine = 1;
            }
            if (OneLine && !Words.empty()) break;
            continue;
        }
        const std::string_view word = text.substr(t.start, t.end - t.start);
        const int width = TextWidth(word.substr(0, TWordInfo::kMaxText));
        // A word that does not fit starts a new line, unless it already stands at the
        // start of one: a word wider than the view is shown clipped rather than never.
        if (NextX + width + wWidth > limit && NextX > LeftMargin) {
            if (NewLine()) break;  // the word opens the next page
        }
        TWordInfo& w = AddWord(word);
        w.TextOffset = static_cast<int32_t>(t.begin);
        NextX += TextWidth(std::string(w.Text) + " ") + WordSpacing;
        pos = t.end;
    }
    NextPage = static_cast<int32_t>(pos);
    if (!Words.empty()) Words.front().Colour = FontColour;
}

bool TViewCanvas::WordsFrom(int32_t offset) const {
    size_t pos =
        static_cast<size_t>(std::clamp<int32_t>(offset, 0, static_cast<int32_t>(Text.size())));
    while (true) {
        const TTextToken t = NextTextToken(Text, pos);
        if (t.Empty()) return false;
        if (!t.lineBreak) return true;
        pos = t.end;
    }
}

void TViewCanvas::NextPageNow() {
    if (!WordsFrom(NextPage)) {
        // The text is done: the last page stays, every word typed, nothing current.
        CurrentIndex = static_cast<int>(Words.size());
        update();
        return;
    }
    PageStart = NextPage;
    Rebuild();
    update();
}

void TViewCanvas::Advance() {
    if (AtEnd()) return;
    ErrorWord = -1;
    TWordInfo& w = Words[static_cast<size_t>(CurrentIndex)];
    const bool ended = w.EndsLine;
    if (Mode == kWordMode) {
        w.Colour = TypedColour;
        ++CurrentIndex;
        if (!AtEnd()) {
            RedrawWord(CurrentIndex - 1, 2);
            RedrawWord(CurrentIndex, 2);
            RedrawWord(CurrentIndex + 1, 1);
        } else {
            NextPageNow();
        }
    } else {
        if (CursorPos < static_cast<int>(w.Text.size())) {
            ++CursorPos;
        } else {
            // Typed words disappear in character mode.
            RedrawWord(CurrentIndex, 2);
            w.Colour = kWhite;
            ++CurrentIndex;
            CursorPos = 0;
            if (AtEnd()) NextPageNow();
        }
        if (!AtEnd()) {
            RedrawWord(CurrentIndex, 2);
            RedrawWord(CurrentIndex + 1, 1);
        }
    }
    const bool leftWord = Mode == kWordMode || CursorPos == 0;
    Position = AtEnd() ? 0 : Words[static_cast<size_t>(CurrentIndex)].TextOffset;
    if (ended && leftWord) LineStart = Position;
}

void TViewCanvas::ShowError() {
    if (AtEnd()) return;
    ErrorWord = CurrentIndex;
    RedrawWord(CurrentIndex, 2);
    RedrawWord(CurrentIndex + 1, 1);
}

int TViewCanvas::PercentDone() const {
    if (Text.empty()) return 0;
    const double percent = static_cast<double>(Position) / static_cast<double>(Text.size()) * 100;
    return std::min(100, static_cast<int>(std::nearbyint(percent)));
}

// --- TTypingCanvas ---

TTypingCanvas::TTypingCanvas(QWidget* parent) : TExerciseCanvas(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    Reset();
}

void TTypingCanvas::Reset() {
    Clear();
    savedValid_ = false;
    pieceStart_ = 0;
    carried_.clear();
    AddWord("");
    CurrentIndex = 0;
    CaretX = NextX;
    PlaceCurrent();
    update();
}

QRect TTypingCanvas::CaretRect() const {
    const int line = Words.empty() ? CurrentLine : Words.back().Line;
    return QRect(CaretX + 1, LineTop(line) + 2, 2, FontHeight());
}

void TTypingCanvas::PlaceCurrent() {
    update(CaretRect());
    if (savedValid_) update(WordArea(saved_, 2));
    TWordInfo& w = Current();
    w.X = NextX;
    w.Line = CurrentLine;
    CaretX = w.X + TextWidth(w.Text);
    update(WordArea(w, 2));
    saved_ = w;
    savedValid_ = true;
    update(CaretRect());
}

void TTypingCanvas::StartLine() {
    if (NewLine())
        Scroll();
    else
        PlaceCurrent();
}

void TTypingCanvas::Scroll() {
    // The current word stays; everything else moves up one line and the top line goes.
    const size_t last = Words.size() - 1;
    std::vector<TWordInfo> kept;
    kept.reserve(Words.size());
    size_t piece = 0;  // kept words before the typed word
    for (size_t i = 0; i < Words.size(); ++i) {
        TWordInfo w = Words[i];
        if (i != last) {
            if (w.Line > 0) --w.Line;
            if (w.Line < 1) {
                // A part of the word being typed keeps counting after it scrolled away.
                if (i >= pieceStart_) carried_ += w.Text;
                continue;
            }
        }
        if (i < pieceStart_) ++piece;
        kept.push_back(std::move(w));
    }
    Words = std::move(kept);
    pieceStart_ = std::min(piece, Words.size() - 1);
    CurrentIndex = static_cast<int>(Words.size()) - 1;
    NextX = LeftMargin;
    savedValid_ = false;
    PlaceCurrent();
    update();
}

std::string TTypingCanvas::TypedWord() const {
    std::string word = carried_;
    for (size_t i = std::min(pieceStart_, Words.size()); i < Words.size(); ++i)
        word += Words[i].Text;
    return word;
}

void TTypingCanvas::Append(char ch) {
    if (static_cast<unsigned char>(ch) <= 32) return;
    if (TypedWord().size() >= TWordInfo::kMaxText) return;
    const int right = width() - RightMargin;
    if (CaretX + TextWidth(std::string_view(&ch, 1)) > right) {
        const int usable = width() - LeftMargin - RightMargin;
        if (TextWidth(Current().Text) <= usable * 0.7) {
            StartLine();
        } else {
            // Too wide to move: the part typed so far stays on this line and the word
            // carries on below; it is still one typed word.
            TWordInfo piece;
            piece.Colour = FontColour;
            Words.push_back(piece);
            CurrentIndex = static_cast<int>(Words.size()) - 1;
            savedValid_ = false;
            StartLine();
        }
    }
    Current().Text += ch;
    PlaceCurrent();
}

void TTypingCanvas::Backspace() {
    if (Current().Text.empty()) {
        if (Words.size() - 1 <= pieceStart_) {
            if (!carried_.empty()) carried_.pop_back();
            return;
        }
        // Back into the part of the word left on the line above.
        update(CaretRect());
        update(WordArea(Current(), 2));
        Words.pop_back();
        CurrentIndex = static_cast<int>(Words.size()) - 1;
        NextX = Current().X;
        CurrentLine = Current().Line;
        savedValid_ = false;
    }
    Current().Text.pop_back();
    PlaceCurrent();
}

void TTypingCanvas::CloseWord(char separator, bool wrong) {
    for (size_t i = pieceStart_; i < Words.size(); ++i) {
        Words[i].Decoration = wrong ? 1 : 0;
        RedrawWord(static_cast<int>(i), 2);
    }
    PlaceCurrent();
    TWordInfo next;
    next.Colour = FontColour;
    Words.push_back(next);
    pieceStart_ = Words.size() - 1;
    carried_.clear();
    CurrentIndex = static_cast<int>(Words.size()) - 1;
    savedValid_ = false;
    if (separator == ' ') CaretX += TextWidth(" ");
    NextX = CaretX;
    if (separator != ' ' || NextX > width() - RightMargin)
        StartLine();
    else
        PlaceCurrent();
}

void TTypingCanvas::PaintOver(QPainter& p, const QRegion& region) {
    if (!hasFocus() || !isEnabled()) return;
    const QRect caret = CaretRect();
    if (region.intersects(caret)) p.fillRect(caret, FontColour);
}

void TTypingCanvas::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update(CaretRect());
}

void TTypingCanvas::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update(CaretRect());
}

void TTypingCanvas::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) update(CaretRect());
}

void TTypingCanvas::inputMethodEvent(QInputMethodEvent* event) {
    // Characters composed by an input method arrive here; they go the way typed keys go,
    // through the main window's key hook.
    const QString text = event->commitString();
    for (const QChar ch : text) {
        // A key code of 0 would read as "consumed" to the key-down hook.
        QKeyEvent press(QEvent::KeyPress, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(this, &press);
    }
    event->accept();
}

// --- TWordViewCanvas ---

TWordViewCanvas::TWordViewCanvas(QWidget* parent) : TExerciseCanvas(parent) {
    TopMargin = 5;
    MarkerColour = QColor(0, 128, 0);
    Highlight = true;
    LeftMargin = NextX = static_cast<int>(std::lround(FontHeight() * 0.5)) + 3;
    AddWord("");
    CursorPos = 0;
}

void TWordViewCanvas::SetWord(std::string_view text) {
    LeftMargin = static_cast<int>(std::lround(FontHeight() * 0.5)) + 3;
    Words.clear();
    NextX = LeftMargin;
    CurrentLine = 1;
    TWordInfo& w = AddWord(text);
    w.Colour = QColor(128, 0, 0);
    w.EndsLine = LineEndChar == '\r';
    CurrentIndex = 0;
    CursorPos = 0;
    ErrorWord = -1;
    update();
}

void TWordViewCanvas::Advance() {
    if (Words.empty() || Finished()) return;
    TWordInfo& w = Words.front();
    const int len = static_cast<int>(w.Text.size());
    const int last = LineEndChar ? len : len - 1;
    if (CursorPos < last) {
        ++CursorPos;
    } else {
        CurrentIndex = 1;
        w.Decoration = 0;
        w.Colour = RestColour;
    }
    ErrorWord = -1;
    update();
}

}  // namespace corv
