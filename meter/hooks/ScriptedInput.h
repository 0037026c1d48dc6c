#pragma once
// The hook and desktop of the measurement tests and the benchmark: a script of key
// presses, clicks and window switches delivered exactly as the X11 backends deliver them
// (X key codes of a keymap compiled from layout names, the server's millisecond times),
// with no display at all.
//
//   TScriptedDesktop desktop("us");
//   TScriptedHook hook(desktop);
//   hook.Type("hello world ", 200);   // one key every 200 ms from hook.time
//   hook.Key("BackSpace");
//   desktop.Switch({"Password", "PINENTRY-GTK-2"});
//   tray.ProcessInput();              // the meter takes what the hook queued

#include <memory>
#include <string>

#include "meter/hooks/Desktop.h"
#include "meter/hooks/InputHook.h"
#include "meter/hooks/KeyDecoder.h"

namespace corv::meter {

class TScriptedDesktop : public IDesktop {
  public:
    explicit TScriptedDesktop(const char* layout = "us", const char* variant = "");
    TActiveWindow ActiveWindow() override { return window; }
    bool ScreenLocked() override { return locked; }
    TKeyDecoder& Decoder() override { return *decoder_; }
    void SyncKeyboard() override { ++syncs; }

    // Changes the window (or the lock) and tells the listener, as a window manager would.
    void Switch(TActiveWindow to);
    void SetLocked(bool on);

    TActiveWindow window{"Terminal", "XTERM"};
    bool locked = false;
    int syncs = 0;

  private:
    std::unique_ptr<TKeyDecoder> decoder_;
};

class TScriptedHook : public IInputHook {
  public:
    explicit TScriptedHook(TScriptedDesktop& desktop) : desktop_(desktop) {}
    bool Start(TInputQueue& queue) override;
    void Stop() override { queue_ = nullptr; }
    bool Running() const override { return queue_ != nullptr; }

    // Each character as its key (with Shift where the layout needs it), `msPerKey` apart.
    // Characters the layout cannot type are skipped. Nothing is queued while stopped.
    void Type(const std::string& text, uint32_t msPerKey);
    // A key by its keysym name ("BackSpace", "Tab", "Left", "dead_acute"), pressed and
    // released, with modifier keys held around it ("Control_L", "Alt_L", "Shift_L",
    // "ISO_Level3_Shift").
    void Key(const char* keysym, std::initializer_list<const char*> held = {});
    void Press(const char* keysym);
    void Release(const char* keysym);
    void Click(int button);
    void Wait(uint32_t ms) { time += ms; }

    uint32_t time = 1000;   // the next event's server time
    uint32_t keyGap = 150;  // ms between the keys of Key()
    int starts = 0;

  private:
    void Push(TInputEvent::Kind kind, uint8_t code);

    TScriptedDesktop& desktop_;
    TInputQueue* queue_ = nullptr;
};

}  // namespace corv::meter
