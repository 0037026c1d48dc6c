#pragma once
// What the meter watches of the desktop besides the keys: the active window (its title
// and program, which end the word in progress when they change and keep words out of the
// collection where secrets are typed), the screen lock, and the keyboard layout that the
// key decoder follows. Main thread only.
//
// Backends: X11Desktop.h (_NET_ACTIVE_WINDOW, xkbcommon-x11) and the scripted stub of the
// tests (ScriptedInput.h).

#include <functional>
#include <string>

namespace corv::meter {

class TKeyDecoder;

struct TActiveWindow {
    std::string title;    // Windows-1252
    std::string program;  // executable file name, upper case; empty when unknown
    bool operator==(const TActiveWindow&) const = default;
};

class IDesktop {
  public:
    virtual ~IDesktop() = default;

    virtual TActiveWindow ActiveWindow() = 0;
    // True while the session's screen is locked.
    virtual bool ScreenLocked() = 0;
    // The decoder of the current keyboard layout; it lives until the layout changes (then
    // onChanged runs) or the desktop is destroyed.
    virtual TKeyDecoder& Decoder() = 0;
    // Reads the keyboard state (locks, group) from the system into the decoder: when the
    // hook starts, keys pressed before are unknown to it.
    virtual void SyncKeyboard() {}

    // Readable while the desktop has news for Dispatch; -1 when it never has.
    virtual int Fd() const { return -1; }
    // Takes in what arrived, calling onChanged for each change; cheap when nothing did.
    virtual void Dispatch() {}
    // False once the connection to the display is gone.
    virtual bool Connected() const { return true; }

    std::function<void()> onChanged;
};

}  // namespace corv::meter
