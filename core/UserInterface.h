#pragma once
// The few user-interface and desktop services the plain libraries need: message boxes,
// the progress box, sounds, the shell and window operations. Each program registers its
// own implementations at start-up (the Qt ones live in platform/qt); tests register a
// recording one. Until something is registered, a headless default answers: it never
// waits for a user, so reporting works in a program without a display.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corv::ui {

enum class Icon { kNone, kInformation, kWarning, kError, kQuestion };
enum class Buttons { kOk, kOkCancel, kYesNo, kYesNoCancel, kRetryCancel, kAbortRetryIgnore };

// Answers keep the numbers programs have always compared against.
enum Answer : int {
    kAnswerNone = 0,
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerAbort = 3,
    kAnswerRetry = 4,
    kAnswerIgnore = 5,
    kAnswerYes = 6,
    kAnswerNo = 7,
};

struct MessageRequest {
    std::string text;  // Windows-1252; line breaks as CR LF, CR or LF
    std::string caption;
    Icon icon = Icon::kNone;
    Buttons buttons = Buttons::kOk;
    // The answer taken when nobody can be asked; kAnswerNone means the cautious one
    // (see SafeAnswer).
    int defaultAnswer = kAnswerNone;
    // Language string numbers the text and caption were built from, for tests.
    std::vector<int> stringIds;
};

// The answer that does no harm: Ok alone, otherwise Cancel, No or Abort.
int SafeAnswer(Buttons buttons);

class MessageUi {
  public:
    virtual ~MessageUi() = default;
    // Modal; returns one of the Answer values.
    virtual int Show(const MessageRequest& request) = 0;
};

// What the progress box shows; the view exists while the box is visible.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetMessage(const std::string& message) = 0;
    virtual void SetRange(int min, int max) = 0;
    virtual void SetPosition(int position) = 0;
};

class ProgressUi {
  public:
    virtual ~ProgressUi() = default;
    // A visible box; hidden and gone when the view is destroyed.
    virtual std::unique_ptr<ProgressView> Open() = 0;
};

enum class SoundResult {
    kPlayed,  // started, plays on its own
    kBusy,    // another sound is still playing: this one is skipped
    kFailed,  // no sound device or the file cannot be played
};

class SoundUi {
  public:
    virtual ~SoundUi() = default;
    virtual SoundResult Play(const std::string& path) = 0;
};

class ShellUi {
  public:
    virtual ~ShellUi() = default;
    // Opens a web address or document with the user's default handler.
    virtual bool OpenAddress(const std::string& address) = 0;
    // Starts a program (parameters as one command-line text) without waiting for it.
    virtual bool Run(const std::string& program, const std::string& parameters,
                     const std::string& folder) = 0;
    // Ends the process now. Recording implementations return instead.
    virtual void EndProgram(int exitCode) = 0;
};

// A program's own top-level window, as its user-interface layer knows it.
using WindowRef = void*;

class WindowUi {
  public:
    virtual ~WindowUi() = default;
    // Restores, raises and activates; true when the window is the active one afterwards.
    virtual bool BringToFront(WindowRef window) = 0;
    // Asks the top-level window with this title (and class, when given) to close.
    virtual bool CloseProgramWindow(const std::string& windowClass, const std::string& title) = 0;
    // Lets a registered message through to the program's windows where the system filters.
    virtual void AllowMessage(unsigned message) = 0;
};

// Registration: a null pointer brings back the headless default. Not owned.
void SetMessageUi(MessageUi* impl);
void SetProgressUi(ProgressUi* impl);
void SetSoundUi(SoundUi* impl);
void SetShellUi(ShellUi* impl);
void SetWindowUi(WindowUi* impl);

MessageUi& Messages();
ProgressUi& Progress();
SoundUi& Sounds();
ShellUi& Shell();
WindowUi& Windows();

// Shows a message box through the registered implementation; never throws (an
// implementation that throws counts as answering the default).
int Message(const std::string& text, const std::string& caption, Icon icon,
            Buttons buttons = Buttons::kOk, std::vector<int> stringIds = {});
int Message(const MessageRequest& request);

// The program's file name, the caption of messages shown before any language is loaded.
const std::string& ProgramFileName();
void SetProgramFileName(std::string name);

// Headless defaults, usable on their own by programs without a display.
class HeadlessMessageUi : public MessageUi {
  public:
    // Writes the caption and text to standard error and answers without waiting.
    int Show(const MessageRequest& request) override;
};

class HeadlessShellUi : public ShellUi {
  public:
    bool OpenAddress(const std::string& address) override;  // through xdg-open
    bool Run(const std::string& program, const std::string& parameters,
             const std::string& folder) override;
    void EndProgram(int exitCode) override;  // std::exit
};

// CR LF, LF CR, a lone CR and a lone LF each become one "\n".
std::string NormalizeLineEnds(std::string_view text);

// Splits a command-line text into arguments: blanks separate, double quotes group, and
// "" inside quotes is one quote.
std::vector<std::string> SplitCommandLine(const std::string& parameters);

}  // namespace corv::ui
