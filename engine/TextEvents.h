#pragma once
// The text typing events: the text stands on a page, the user types it word by word into
// the typing box below, and every finished word is judged against the text ("TEXT",
// "TEXT2", the exams "EXAM", "EXAMINTERNAL", "EXAM2"). Also the base of the drills that
// are typed character by character.

#include <QFrame>
#include <QLabel>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/Event.h"
#include "engine/ExerciseCanvas.h"
#include "engine/TextTyping.h"
#include "engine/TrafficLight.h"
#include "engine/TypedTexts.h"
#include "views/StorageForm.h"

namespace corv {

// What the typing events take from the keyboard layout model; plain defaults until the
// program installs the layout's.
struct TypingServices {
    // The layout's numeric-keypad translation of a typed character.
    std::function<char(char)> keypadTranslate;
    // Switches the layout's numeric-keypad mode.
    std::function<void(bool on)> setKeypadMode;
};
TypingServices& TypingHooks();

// The controls of the typing screens, borrowed onto the book while an event runs.
class TTypingStg : public TStorageForm {
  public:
    TTypingStg();

    QFrame* TextFrame;    // the page behind the text view
    QFrame* TypingFrame;  // the page behind the typing box
    TViewCanvas* TextView;
    TTypingCanvas* TypingBox;
    TViewCanvas* DrillView;
    QLabel* RhythmTitle;
    TTrafficLightLcd* RhythmLight;
    QFrame* TypeHerePanel;
    QLabel* TypeHereLbl;
};

// The typed-text record of a result: the user's file in the database folder with ".TT"
// and the result's number; empty without a user or a database folder.
std::string TypedTextsPath(int resultIndex);

class TCustomTypingEvent : public TTimedEvent {
  public:
    explicit TCustomTypingEvent(const std::string& line);
    ~TCustomTypingEvent() override;

    // The end of the text was reached.
    virtual void TextFinished() {}

    double LastKeyTime = 0;  // time of day of the last keystroke, in days
    TViewCanvas* TextView;   // owned (through Controls)
    bool LoopText = false;
    bool EnterAtLineEnd = false;
    int32_t StoryPointer = 0;
    std::unique_ptr<TTypingStg> Controls;

    void Setup() override;
    void FormKeyPress(QObject* sender, char& key) override;
    void Teardown() override;
    void Pause() override;
    void Finish() override;
    void Start() override;

  protected:
    // Borrows a control onto the book at a place.
    void PlaceOnBook(QWidget* control, const QRect& place);
    // The finish message of the typing events.
    void ShowFinishTexts();
};

class TCustomTextEvent : public TCustomTypingEvent {
  public:
    explicit TCustomTextEvent(const std::string& line);
    ~TCustomTextEvent() override;

    // A word was ended by key (Space, Enter, Tab or LF).
    virtual void WordTyped(char key);

    // HadErrors, LineBreakPending and FailedWordRun of the text.
    TTextTyping Typing;
    std::unique_ptr<TTypedTexts> TypedTexts;  // exams only
    TTypingCanvas* TypingBox;
    bool OnLastWord = false;
    TTrafficLightLcd* RhythmLight;
    bool TextRestarted = false;
    TExamCriteria Criteria;
    bool IsExam = false;

    void Setup() override;
    void FormKeyPress(QObject* sender, char& key) override;
    void Teardown() override;
    int ProgressPercent() override;
    void Pause() override;
    void Finish() override;
    void Start() override;
    void TextFinished() override;

  protected:
    // Prompt and divider of the second-generation screens and exams.
    void ShowTypeHere();
    // The exam settings common to every exam, after its criteria.
    void SetupExam();

  private:
    double lastKeyTick_ = 0;
    bool keySeen_ = false;
};

// "TEXT".
class TTextEvent : public TCustomTextEvent {
  public:
    using TCustomTextEvent::TCustomTextEvent;
    void TextFinished() override;
    void WordTyped(char key) override;
};

// "TEXT2": line ends typed with Enter, the text repeated.
class TTextEvent2 : public TTextEvent {
  public:
    using TTextEvent::TTextEvent;
    void Setup() override;
};

// The end of an exam: its typed-text record saved with the result (".TT" and the result's
// number) and the result's kind "TEST".
void SaveExamRecord(TCustomTextEvent& event);
// Where the user stopped, for the next exam.
void StoreStoryPointer(int32_t pointer);

// "EXAM" and "EXAMINTERNAL" (internal: the criteria come from the line).
class TExamEvent : public TTextEvent {
  public:
    TExamEvent(const std::string& line, bool internal);
    bool Internal = false;
    void Setup() override;
    void Teardown() override;
};

// "EXAM2".
class TExamEvent2 : public TTextEvent2 {
  public:
    using TTextEvent2::TTextEvent2;
    void Setup() override;
    void Teardown() override;
};

// The base of the drills typed character by character.
class TCustomTypingEvent2 : public TTimedEvent {
  public:
    explicit TCustomTypingEvent2(const std::string& line);
    ~TCustomTypingEvent2() override;

    // In the place of TextFinished; the drills use it.
    virtual void DrillFinished() {}

    char ExpectedChar = 0;  // 0: any key
    std::string TypedKeys;
    std::string AcceptedKeys;
    bool SkipInterval = false;
    double LastKeyTime = 0;
    TViewCanvas* DrillView;
    int32_t StartOffset = 0;
    bool TimeLimited = false;
    bool StrictSpaceEnter = false;
    std::unique_ptr<TTypingStg> Controls;

    void Setup() override;
    void FormKeyPress(QObject* sender, char& key) override;
    void Teardown() override;
    void Pause() override;
    void Finish() override;
    void Start() override;

    // The last key was accepted (tests and the drills read it).
    bool LastKeyAccepted() const { return lastAccepted_; }

  private:
    double lastKeyTick_ = 0;
    bool keySeen_ = false;
    bool lastAccepted_ = false;
};

}  // namespace corv
