#pragma once
// Test harness for views: runs a view modally from a test and acts inside its loop as a
// user would (clicks, typing, menu sections), answers message boxes from a script, and
// saves a screenshot of every view a test shows to $CORV_SCREENSHOTS/<test>-<view>.png.
//
//   corv::viewtest::ViewHarness h;          // main window, scripted messages
//   h.Type("abc").Key(Qt::Key_Return);      // queued; run inside the view's loop
//   h.messages.Expect(ui::kAnswerYes, 129); // the next message box must come, gets Yes
//   EXPECT_EQ(h.RunModal(view), 1);
//
// Failures (unexpected message box or dialog, a control that is not there, a view that
// does not end within the time-out, actions or answers left over) are reported as
// GoogleTest failures; a timed-out run closes its views so the test can go on.

#include <Qt>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/UserInterface.h"

class QObject;
class QWidget;

namespace corv {
class TBookFormEx;
class TFormView;
}  // namespace corv

namespace corv::viewtest {

class ScriptedMessages : public ui::MessageUi {
  public:
    // Registers itself as the message box service while it lives.
    ScriptedMessages();
    ~ScriptedMessages() override;
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    // The next message box must be shown and gets this answer; when stringId is not 0, the
    // message must name that language string.
    void Expect(int answer, int stringId = 0);
    // As Expect, with a part of the text the message must contain.
    void ExpectText(int answer, std::string textPart);
    // Answers left unused; each is reported as a failure by Verify.
    size_t Pending() const { return script_.size(); }
    // Reports the answers never asked for and forgets them.
    void Verify();
    // Unexpected messages are answered with the cautious answer without failing (used
    // while a timed-out run is being cleaned up).
    bool lenient = false;

    std::vector<ui::MessageRequest> shown;
    int Show(const ui::MessageRequest& request) override;

  private:
    struct Expected {
        int answer;
        int stringId;
        std::string textPart;
    };
    std::deque<Expected> script_;
};

class ViewHarness {
  public:
    // Creates and shows the main window (unless one exists) and scripts the message boxes.
    ViewHarness();
    ~ViewHarness();
    ViewHarness(const ViewHarness&) = delete;
    ViewHarness& operator=(const ViewHarness&) = delete;

    TBookFormEx& Window();
    ScriptedMessages messages;

    // --- Actions: queued, run one at a time inside the running view's modal loop ---
    ViewHarness& Do(std::function<void()> action, std::string what = "action");
    // A mouse click on the visible control of that name (fails when there is none).
    ViewHarness& Click(const std::string& name);
    // Types Windows-1252 text through the main window's key hook.
    ViewHarness& Type(const std::string& text);
    ViewHarness& Key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Clicks the section menu button of that name.
    ViewHarness& PickSection(const std::string& name);
    // A screenshot now, named <test>-<view>-<label>.png.
    ViewHarness& Screenshot(const std::string& label);

    // Runs the code (which shows views modally) with the queued actions; returns its result.
    int Run(const std::function<int()>& run, int timeoutMs = 10000);
    int RunModal(TFormView& view, int timeoutMs = 10000);
    bool TimedOut() const { return timedOut_; }

    // --- Looking at the window ---
    // The control of that name on the main window, visible ones first; null when none.
    QWidget* Find(const std::string& name) const;
    // Text of a label, button, line edit or text browser (Windows-1252).
    std::string TextOf(const std::string& name) const;
    // True when the control exists on the window and is visible.
    bool IsShown(const std::string& name) const;

    // Screenshots written by this harness, in order.
    std::vector<std::string> screenshots;
    // Saves the main window to <dir>/<test>-<name>.png; empty when CORV_SCREENSHOTS is not set.
    std::string SaveScreenshot(const std::string& name);

  private:
    struct Action {
        std::function<void()> run;
        std::string what;
    };
    void Pump();
    void CheckForeignDialogs();
    void ForceCloseViews();

    std::unique_ptr<QObject> context_;  // owns the pending action timers
    TBookFormEx* window_ = nullptr;
    bool ownsWindow_ = false;
    std::deque<Action> actions_;
    std::vector<const TFormView*> pendingShots_;
    std::vector<const TFormView*> actionViews_;  // view each running action started in
    std::vector<std::string> names_;             // screenshot names used in this test
    bool timedOut_ = false;
    bool running_ = false;
};

}  // namespace corv::viewtest
