#pragma once
// What the meter shows of itself: the tray icon's state, the idle timer that returns the
// icon to rest, and the log-on dialog. The tray and the dialogs are a program's own
// user interface; until a program registers one, TConsoleShell says on standard error
// what it would have asked and the meter waits, disabled.

#include <memory>
#include <string>

namespace corv {
class TUser;
}

namespace corv::meter {

enum class TTrayState { kIdle = 1, kTyping = 2, kDisabled = 3 };

struct TLogOnRequest {
    std::string defaultName;
    bool nameGiven = false;            // a name was asked for at all (the prompt differs)
    bool skipNewUserQuestion = false;  // the default is the log-in name itself
};

struct TLogOnAnswer {
    enum class Result { kUnavailable, kOk, kCancel };
    Result result = Result::kUnavailable;
    std::unique_ptr<TUser> user;  // opened (exclusive) or created by the dialog, with kOk
    bool dontShowAgain = false;
};

class IMeterShell {
  public:
    virtual ~IMeterShell() = default;
    virtual void SetTrayState(TTrayState state) = 0;
    // A character was typed: the icon goes back to rest when nothing follows for 6 s
    // (the shell then calls TTrayMain::TypingStopped).
    virtual void TypingSeen() = 0;
    virtual TLogOnAnswer LogOn(const TLogOnRequest& request) = 0;
    // Ends the program's event loop.
    virtual void Quit() = 0;
};

// The shell of a meter without a tray: the state goes nowhere, the log-on dialog is not
// there (it says so and the meter stays disabled), the idle timer is the caller's.
class TConsoleShell : public IMeterShell {
  public:
    void SetTrayState(TTrayState s) override { state = s; }
    void TypingSeen() override { ++typingSeen; }
    TLogOnAnswer LogOn(const TLogOnRequest& request) override;
    void Quit() override { quit = true; }

    TTrayState state = TTrayState::kDisabled;
    int typingSeen = 0;
    int logOnAsked = 0;
    bool quit = false;
};

}  // namespace corv::meter
