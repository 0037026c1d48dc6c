#pragma once
// Text block events: a long text given to the text view one block at a time. The line
// events ("SENTENCE" in a large font, "PARAGRAPH") show one line with its source note
// under it; the paragraph events ("EASYEXAM", and the base of "PARAGRAPH2") show up to six
// lines above a typing box. When a block is typed the event pauses, shows the next block
// and resumes with the next keystroke.

#include <QLabel>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/TextEvents.h"
#include "views/StorageForm.h"

namespace corv {

// One line of a block text from a position: an empty line, a source note (its text after
// the marker "\"\xA4|w\"") or block text.
struct TBlockLine {
    enum Kind { kEmpty, kNote, kText };
    Kind kind = kEmpty;
    std::string text;  // without the line end; for a note, "\xA9 " and the note
    size_t next = 0;   // where the next line starts
};
// The line starting at from (from < text.size()). Lines end at CR LF (or a lone LF).
TBlockLine BlockLineAt(std::string_view text, size_t from);

// The controls the block events add to the typing screen.
class TBlockStg : public TStorageForm {
  public:
    TBlockStg();
    QLabel* CopyrightLbl;
};

// The line events.
class TTextBlockEvent : public TCustomTextEvent {
  public:
    explicit TTextBlockEvent(const std::string& line);
    ~TTextBlockEvent() override;

    std::string Block;       // the line being typed
    std::string SourceNote;  // shown under it
    size_t BlockStart = 0;
    size_t NextPosition = 0;
    std::unique_ptr<TBlockStg> BlockControls;

    void Setup() override;
    void FormKeyPress(QObject* sender, char& key) override;
    int ProgressPercent() override;
    void TextFinished() override;

  protected:
    // The next line to type; at the end of the text the event loops or finishes.
    void NextBlock();
};

// "SENTENCE": one line at a time in a large font.
class TSentenceEvent : public TTextBlockEvent {
  public:
    using TTextBlockEvent::TTextBlockEvent;
    void Setup() override;
};

// "PARAGRAPH": one line at a time.
class TParagraphEvent : public TTextBlockEvent {
  public:
    using TTextBlockEvent::TTextBlockEvent;
};

// Paragraphs of up to six lines above a typing box; line ends are typed with Enter. The
// on-screen keyboard of "PARAGRAPH2" is not part of this class yet.
class TParagraphEvent2 : public TCustomTextEvent {
  public:
    static constexpr int kMaxLines = 6;

    explicit TParagraphEvent2(const std::string& line);
    ~TParagraphEvent2() override;

    std::string Paragraph;  // the lines being typed, each ended by CR
    std::string SourceNote;
    size_t NextPosition = 0;
    size_t BlockStart = 0;  // where the paragraph's first line starts
    std::unique_ptr<TBlockStg> BlockControls;

    void Setup() override;
    void FormKeyPress(QObject* sender, char& key) override;
    void Teardown() override;
    int ProgressPercent() override;
    void TextFinished() override;

  protected:
    void NextParagraph();
};

// "EASYEXAM": a paragraph exam with the chapter exam criteria of the course.
class TEasyExamEvent : public TParagraphEvent2 {
  public:
    using TParagraphEvent2::TParagraphEvent2;
    void Setup() override;
    void Teardown() override;
};

}  // namespace corv
