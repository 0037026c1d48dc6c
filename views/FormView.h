#pragma once
// Views: every screen of the tutor builds its controls on the main window's book, runs
// modally until it has an answer and gives the window back. 0 always means "closed from
// outside" (menu, Exit, window close).
//
// Views run inside each other (an exercise inside a lesson page, a result view inside an
// exercise), so the shown views form a stack: CurrentView() is the innermost one, and a
// view that closes hands the book, the buttons and the keys back to the view below it.

#include <Qt>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

class QEventLoop;
class QObject;

namespace corv {

class TBookFormEx;

class TFormView {
  public:
    TFormView();
    virtual ~TFormView();
    TFormView(const TFormView&) = delete;
    TFormView& operator=(const TFormView&) = delete;

    // May veto a close by setting refuse.
    std::function<void(TFormView& view, bool& refuse)> OnCloseQuery;
    // Called after the view closed.
    std::function<void(TFormView& view)> OnClose;

    int ModalResult() const { return modalResult_; }
    // A non-zero result also sets Done, which ends the modal run.
    void SetModalResult(int result);
    // Views name their answers with an enum class that keeps the numbers of the answer.
    template <class Answer>
    requires std::is_enum_v<Answer>
    void SetModalResult(Answer answer) { SetModalResult(static_cast<int>(answer)); }
    bool Done() const { return done_; }
    void SetDone(bool done);
    bool Active() const { return active_; }
    bool Visible() const { return visible_; }
    bool Modal() const { return modal_; }
    // True while the modal run is waiting for events (not during Setup or Close).
    bool Running() const { return running_; }

    // True keeps the view from being shown at all.
    virtual bool IsRefused();
    // Views build their controls here.
    virtual void Setup();
    virtual void Activate();
    // Sees every character typed into the main window before any control does, once a
    // view hooks it; setting key to 0 consumes it.
    virtual void FormKeyPress(QObject* sender, char& key);
    // Qt key code; setting key to 0 consumes it.
    virtual void KeyDown(int& key, Qt::KeyboardModifiers shift);
    virtual int ShowModal();
    // The modal run's answer by its name.
    template <class Answer>
    Answer ShowModalAs() {
        return static_cast<Answer>(ShowModal());
    }
    virtual void Show();
    virtual void Close(bool& refuse);
    virtual void Teardown();

    // The class name without namespace; names screenshots and diagnostics.
    virtual std::string ViewName() const;

  protected:
    // The view is the innermost one again after a view run inside it closed.
    virtual void Resume() {}
    // For destructors: a view still shown is closed first, with a warning.
    void CloseBeforeDestroy();

  private:
    friend struct ViewStackAccess;

    int modalResult_ = 0;
    bool done_ = false;
    bool active_ = false;
    bool visible_ = false;
    bool modal_ = false;
    bool running_ = false;
    bool exitingLoop_ = false;
    QEventLoop* loop_ = nullptr;
};

// The main window's buttons that end a view, and how their names answer.
class TCustomBookView : public TFormView {
  public:
    enum ButtonBits { kNextBit = 1, kCancelBit = 2, kOkBit = 4 };

    TCustomBookView();
    ~TCustomBookView() override;

    void Setup() override;
    void Activate() override;
    void Teardown() override;

    virtual void ButtonClick(QObject* sender);
    // Character as typed (Windows-1252, CR for Enter, 27 for Escape).
    virtual void KeyPress(char& key, bool& handled);

    // The handler views route their own Start, OK and Cancel buttons to.
    void StorageButtonClick(QObject* sender);

    bool ShowCancel() const { return showCancel_; }
    void SetShowCancel(bool show);
    // Ends with "OK" instead of "Next".
    bool UseOK() const { return useOK_; }
    void SetUseOK(bool useOK);
    int ButtonSet() const { return buttons_; }
    void SetButtonSet(int bits) { buttons_ = bits; }

    bool ShowLogo = true;
    bool EnterAccepts = true;
    bool SpaceClicks = false;
    bool ShowMenu = true;

  protected:
    void Resume() override;
    // Applies menu, bottom buttons and routing; shared by Activate and Resume.
    void ShowChrome();

  private:
    bool showCancel_ = true;
    bool useOK_ = false;
    int buttons_ = kNextBit | kCancelBit;
};

// The innermost shown view, or null.
TFormView* CurrentView();
// Every shown view, outermost first.
const std::vector<TFormView*>& ShownViews();

// What a menu click, an Exit button and the window's close request do: closes the
// innermost view; when it did not refuse, every outer view then answers 0 and unwinds.
// False when the innermost view refused (nothing changes then). True with no view shown.
bool CloseCurrentView();

// Called at the end of every successful Show (the test harness takes screenshots).
void SetViewShownHook(std::function<void(TFormView&)> hook);

// Application-wide navigation: the section the main loop runs next and the Exit request.
const std::string& CurrentSection();
void SetCurrentSection(std::string section);
bool ExitRequested();
void SetExitRequested(bool requested);

}  // namespace corv
