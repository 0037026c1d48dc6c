// The word-layout controls on the offscreen platform: tokens, pages, the current word or
// character, the typing box's wrapping and scrolling, and how little a keystroke repaints.

#include <gtest/gtest.h>

#include <QApplication>

#include "engine/ExerciseCanvas.h"
#include "engine/TrafficLight.h"

namespace corv {
namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> words;
    size_t pos = 0;
    while (true) {
        const TTextToken t = NextTextToken(text, pos);
        if (t.Empty()) break;
        if (!t.lineBreak) words.push_back(text.substr(t.start, t.end - t.start));
        pos = t.end;
    }
    return words;
}

// A shown top-level window holding one canvas, so paints really happen.
template <class Canvas>
class Shown {
  public:
    Shown(int width, int height) {
        window_.resize(width + 20, height + 20);
        canvas = new Canvas(&window_);
        canvas->setGeometry(10, 10, width, height);
        canvas->SetTextFont(QStringLiteral("Georgia"), 14, false);
        window_.show();
        Settle();
    }
    void Settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    Canvas* canvas;

  private:
    QWidget window_;
};

// Every word of the text, page after page, in word mode.
std::vector<std::string> WordsShown(TViewCanvas& view) {
    std::vector<std::string> seen;
    for (int guard = 0; !view.AtEnd() && guard < 10000; ++guard) {
        seen.push_back(view.WordAt(0));
        view.Advance();
    }
    return seen;
}

TEST(TextTokens, SeparatorsLineBreaksAndLongWords) {
    struct Case {
        std::string text;
        size_t from;
        size_t start, end;
        bool lineBreak;
    } cases[] = {
        {"  ab\tcd", 0, 2, 4, false},
        {"ab\r\ncd", 2, 2, 3, true},  // a lone CR is a line break
        {"ab\rcd", 0, 0, 2, false},   // a CR ending a word stays for the next token
        {"\n\t ab", 0, 3, 5, false},
        {std::string("ab\xFF"
                     "cd"),
         2, 3, 5, false},         // 0xFF separates like a space
        {"   ", 0, 3, 3, false},  // nothing left
        {std::string(300, 'x'), 0, 0, 255, false},
        {std::string(300, 'x'), 255, 255, 300, false},
    };
    for (const Case& c : cases) {
        const TTextToken t = NextTextToken(c.text, c.from);
        EXPECT_EQ(t.begin, c.from);
        EXPECT_EQ(t.start, c.start) << c.text.substr(0, 10);
        EXPECT_EQ(t.end, c.end) << c.text.substr(0, 10);
        EXPECT_EQ(t.lineBreak, c.lineBreak);
    }
    EXPECT_EQ(Split(std::string("one\xFFtwo three\r\nfour")),
              (std::vector<std::string>{"one", "two", "three", "four"}));
}

TEST(ViewCanvas, WordsAreCutTo70AndTheLastWordEndsALine) {
    Shown<TViewCanvas> s(500, 230);
    TViewCanvas& view = *s.canvas;
    view.SetMode(TViewCanvas::kWordMode);
    const std::string longWord(90, 'm');
    view.SetText("short " + longWord + " end", 0);
    ASSERT_EQ(view.Words.size(), 3u);
    EXPECT_EQ(view.Words[1].Text, std::string(70, 'm'));
    EXPECT_FALSE(view.Words[0].EndsLine);
    EXPECT_TRUE(view.Words[2].EndsLine) << "a text without a final line break";
    EXPECT_EQ(view.Words[2].TextOffset, 6 + 90);
}

TEST(ViewCanvas, APageEndsBeforeTheWordItCannotHold) {
    Shown<TViewCanvas> s(300, 60);  // room for two lines
    TViewCanvas& view = *s.canvas;
    view.SetMode(TViewCanvas::kWordMode);
    std::string text;
    for (int i = 0; i < 40; ++i) text += "word" + std::to_string(i) + " ";
    view.SetText(text, 0);
    ASSERT_FALSE(view.Words.empty());
    const size_t onPage = view.Words.size();
    EXPECT_LT(onPage, 40u);
    EXPECT_EQ(view.Words.back().Line, 2);
    const std::string firstOfNext = "word" + std::to_string(onPage);
    EXPECT_EQ(text.substr(static_cast<size_t>(view.NextPage), firstOfNext.size() + 1),
              " " + firstOfNext);
    for (size_t i = 0; i < onPage; ++i) view.Advance();
    ASSERT_FALSE(view.AtEnd());
    EXPECT_EQ(view.WordAt(0), firstOfNext);
    EXPECT_EQ(view.CurrentIndex, 0);
    EXPECT_EQ(view.PageStart, static_cast<int32_t>(text.find(" " + firstOfNext)));
}

TEST(ViewCanvas, NoPageDropsTheRestOfTheText) {
    // A first word wider than the view, a view lower than one line, and blank lines at the
    // top of a page: every word still comes, and the text never ends early.
    struct Case {
        const char* what;
        int width, height;
        std::string text;
    } cases[] = {
        {"wide word", 60, 60, "a extraordinarily b overwhelmingly c"},
        {"low view", 300, 8, "one two three four"},
        {"blank lines", 300, 60, "one two\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nthree four"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Shown<TViewCanvas> s(c.width, c.height);
        s.canvas->SetMode(TViewCanvas::kWordMode);
        s.canvas->SetText(c.text, 0);
        EXPECT_EQ(WordsShown(*s.canvas), Split(c.text));
    }
}

TEST(ViewCanvas, AtTheEndTheLastPageStaysTyped) {
    Shown<TViewCanvas> s(500, 230);
    TViewCanvas& view = *s.canvas;
    view.SetMode(TViewCanvas::kWordMode);
    view.SetText("one two\r\n\r\n\r\n", 0);
    view.Advance();
    view.Advance();
    EXPECT_TRUE(view.AtEnd());
    EXPECT_EQ(view.WordAt(0), "");
    EXPECT_EQ(view.WordAt(-1), "two");
    ASSERT_EQ(view.Words.size(), 2u);
    EXPECT_EQ(view.Words[1].Colour, view.TypedColour);
    EXPECT_EQ(view.Position, 0);
}

TEST(ViewCanvas, AnEmptyTextHasNoWordAndNoProgress) {
    Shown<TViewCanvas> s(300, 100);
    TViewCanvas& view = *s.canvas;
    view.SetMode(TViewCanvas::kWordMode);
    for (const std::string& text :
         {std::string(), std::string("  \r\n "), std::string("\0abc", 4)}) {
        view.SetText(text, 0);
        EXPECT_TRUE(view.AtEnd());
        EXPECT_EQ(view.WordAt(0), "");
        EXPECT_EQ(view.PercentDone(), 0);
        view.Advance();
        EXPECT_EQ(view.Position, 0);
    }
}

TEST(ViewCanvas, WordModeMarksTypedWordsAndFollowsLines) {
    Shown<TViewCanvas> s(500, 230);
    TViewCanvas& view = *s.canvas;
    view.TypedColour = QColor(185, 224, 128);
    view.SetMode(TViewCanvas::kWordMode);
    const std::string text = "one two\r\nthree four";
    view.SetText(text, 0);
    EXPECT_TRUE(view.Highlight);
    EXPECT_EQ(view.CursorPos, -1);
    EXPECT_EQ(view.WordAt(-1), "");
    EXPECT_EQ(view.WordAt(2), "three");
    view.Advance();
    EXPECT_EQ(view.Words[0].Colour, view.TypedColour);
    EXPECT_TRUE(view.CurrentEndsLine());
    EXPECT_EQ(view.LineStart, 0);
    view.Advance();
    EXPECT_EQ(view.WordAt(0), "three");
    EXPECT_EQ(view.Position, 8) << "the search for three began after the line break";
    EXPECT_EQ(view.LineStart, 8);
    EXPECT_EQ(view.PercentDone(), 42);  // 8 / 19
    EXPECT_EQ(view.Words[2].Line, 2);
    view.SetText(text, 500);  // beyond the text
    EXPECT_EQ(view.Position, 0);
    EXPECT_EQ(view.WordAt(0), "one");
}

TEST(ViewCanvas, CharacterModeWalksCharactersThenTheSeparator) {
    Shown<TViewCanvas> s(500, 230);
    TViewCanvas& view = *s.canvas;
    view.SetMode(TViewCanvas::kCharacterMode);
    EXPECT_EQ(view.LeftMargin, view.FontHeight() + 3);
    view.SetText("ab cd\r\nef", 0);
    std::string expected;
    for (int i = 0; i < 9; ++i) {
        expected += view.ExpectedChar();
        view.Advance();
    }
    EXPECT_EQ(expected, "ab cd\ref\r");
    EXPECT_TRUE(view.AtEnd());
    EXPECT_EQ(view.ExpectedChar(), 0);
}

TEST(ViewCanvas, TypedWordsDisappearInCharacterMode) {
    Shown<TViewCanvas> s(500, 230);
    TViewCanvas& view = *s.canvas;
    view.SetMode(TViewCanvas::kCharacterMode);
    view.SetText("ab cd", 0);
    for (int i = 0; i < 3; ++i) view.Advance();
    EXPECT_EQ(view.Words[0].Colour, QColor(255, 255, 255));
    EXPECT_EQ(view.CurrentIndex, 1);
    EXPECT_EQ(view.CursorPos, 0);
}

TEST(ViewCanvas, TheCursorPastAWordShowsItsSeparator) {
    TWordInfo mid{"ab", false, 0, 1, QColor(), 0, 0};
    TWordInfo end{"ab", true, 0, 1, QColor(), 0, 0};
    int shift = 0;
    EXPECT_EQ(TExerciseCanvas::CursorText(mid, 1, "\xAB", &shift), "b");
    EXPECT_EQ(shift, 0);
    EXPECT_EQ(TExerciseCanvas::CursorText(mid, 2, "\xAB", &shift), "  ");
    EXPECT_EQ(shift, -2);
    EXPECT_EQ(TExerciseCanvas::CursorText(end, 2, "\xAB", &shift), "    ");
    EXPECT_EQ(TExerciseCanvas::CursorText(end, 2, "  ", &shift), "  ");
    EXPECT_EQ(shift, 0);
    EXPECT_EQ(TExerciseCanvas::CursorText(end, 2, "|", &shift), "|");
}

TEST(ViewCanvas, AKeystrokeRepaintsOnlyTheWordsItChanges) {
    Shown<TViewCanvas> s(500, 230);
    TViewCanvas& view = *s.canvas;
    view.SetMode(TViewCanvas::kWordMode);
    std::string text;
    for (int i = 0; i < 300; ++i) text += "word" + std::to_string(i) + (i % 7 == 6 ? "\r\n" : " ");
    view.SetText(text, 0);
    s.Settle();
    const size_t onPage = view.Words.size();
    ASSERT_GT(onPage, 10u);
    view.Advance();
    view.Advance();
    s.Settle();
    const int64_t before = view.PaintedWords();
    view.Advance();  // mid-page: the previous, current and next word
    s.Settle();
    EXPECT_EQ(view.PaintedWords() - before, 3);
    view.ShowError();
    s.Settle();
    EXPECT_LE(view.PaintedWords() - before, 3 + 2);
    // A new page paints the whole page.
    while (view.CurrentIndex + 1 < static_cast<int>(view.Words.size())) view.Advance();
    s.Settle();
    const int64_t beforePage = view.PaintedWords();
    view.Advance();
    s.Settle();
    EXPECT_EQ(view.PaintedWords() - beforePage, static_cast<int64_t>(view.Words.size()));
}

TEST(TypingCanvas, AppendsBackspacesAndClosesWords) {
    Shown<TTypingCanvas> s(500, 230);
    TTypingCanvas& box = *s.canvas;
    box.Reset();
    for (char c : std::string("ab c\x01\xE9")) box.Append(c);
    EXPECT_EQ(box.TypedWord(), "abc\xE9") << "nothing up to 32";
    box.Backspace();
    EXPECT_EQ(box.TypedWord(), "abc");
    const int caretAfterWord = box.CaretX;
    EXPECT_EQ(caretAfterWord, box.LeftMargin + box.TextWidth("abc"));
    box.CloseWord(' ', true);
    EXPECT_EQ(box.Words[0].Decoration, 1);
    EXPECT_EQ(box.TypedWord(), "");
    EXPECT_EQ(box.CaretX, caretAfterWord + box.TextWidth(" "));
    box.Backspace();  // nothing to remove
    EXPECT_EQ(box.Words.size(), 2u);
    box.Append('d');
    box.CloseWord('\r', false);
    EXPECT_EQ(box.Words[1].Decoration, 0);
    EXPECT_EQ(box.Words.back().Line, 2);
    EXPECT_EQ(box.CaretX, box.LeftMargin);
    for (int i = 0; i < 80; ++i) box.Append('x');
    EXPECT_EQ(box.TypedWord().size(), 70u);
}

TEST(TypingCanvas, AFullBoxKeepsTheLastLineAtTheBottom) {
    Shown<TTypingCanvas> s(300, 90);  // three lines
    TTypingCanvas& box = *s.canvas;
    box.Reset();
    for (int line = 1; line <= 6; ++line) {
        for (char c : "line" + std::to_string(line)) box.Append(c);
        box.CloseWord('\r', false);
    }
    EXPECT_EQ(box.CurrentLine, 3);
    EXPECT_EQ(box.Words.back().Line, 3);
    // The oldest lines scrolled out; the last typed line stands just above the caret.
    std::vector<std::string> left;
    for (const TWordInfo& w : box.Words)
        if (!w.Text.empty()) left.push_back(w.Text + "@" + std::to_string(w.Line));
    EXPECT_EQ(left, (std::vector<std::string>{"line5@1", "line6@2"}));
}

TEST(TypingCanvas, AWordAtTheRightEdgeMovesDownOrCarriesOn) {
    Shown<TTypingCanvas> s(200, 120);
    TTypingCanvas& box = *s.canvas;
    box.Reset();
    // A short word that reaches the edge moves to the next line whole.
    for (char c : std::string("aaaa")) box.Append(c);
    box.CloseWord(' ', false);
    while (box.CaretX + box.TextWidth("b") <= box.width() - box.RightMargin) box.Append('b');
    const std::string before = box.TypedWord();
    box.Append('b');
    EXPECT_EQ(box.TypedWord(), before + "b");
    if (box.TextWidth(before) <= (box.width() - box.LeftMargin - box.RightMargin) * 0.7) {
        EXPECT_EQ(box.Words.back().Line, 2);
        EXPECT_EQ(box.Words.back().X, box.LeftMargin);
    }
    // A word wider than most of the line carries on below and stays one typed word.
    box.CloseWord('\r', false);
    std::string wide;
    for (int i = 0; i < 40; ++i) {
        box.Append('w');
        wide += 'w';
    }
    EXPECT_EQ(box.TypedWord(), wide);
    int pieces = 0;
    for (const TWordInfo& w : box.Words) pieces += !w.Text.empty() && w.Text[0] == 'w';
    EXPECT_GE(pieces, 2) << "split over lines";
    for (int i = 0; i < 40; ++i) box.Backspace();
    EXPECT_EQ(box.TypedWord(), "");
    box.Append('z');
    EXPECT_EQ(box.TypedWord(), "z");
}

TEST(WordViewCanvas, TheCursorRunsToTheLineEndCharacter) {
    Shown<TWordViewCanvas> s(300, 60);
    TWordViewCanvas& view = *s.canvas;
    view.SetWord("abc");
    std::string seen;
    while (!view.Finished()) {
        seen += view.ExpectedChar();
        view.Advance();
    }
    EXPECT_EQ(seen, "abc");
    EXPECT_EQ(view.Words[0].Colour, view.RestColour);
    view.LineEndChar = '\r';
    view.SetWord("ab");
    seen.clear();
    while (!view.Finished()) {
        seen += view.ExpectedChar();
        view.Advance();
    }
    EXPECT_EQ(seen, "ab\r");
    view.SetWord(std::string(100, 'q'));
    EXPECT_EQ(view.Words[0].Text.size(), 70u);
}

TEST(TrafficLight, RepaintsOnlyWhenTheStateChanges) {
    QWidget window;
    auto* light = new TTrafficLightLcd(&window);
    window.resize(200, 140);
    window.show();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    const int paints = light->Paints();
    light->SetState(2);
    QApplication::processEvents();
    EXPECT_EQ(light->Paints(), paints + 1);
    light->SetState(2);
    QApplication::processEvents();
    EXPECT_EQ(light->Paints(), paints + 1);
    light->SetState(7);
    EXPECT_EQ(light->State(), 0);
}

}  // namespace
}  // namespace corv
