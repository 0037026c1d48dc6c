#pragma once
// The X11 desktop: the active window from the window manager's _NET_ACTIVE_WINDOW (its
// _NET_WM_NAME or WM_NAME, and the program behind _NET_WM_PID), followed by property
// events so nothing is polled while nobody types; the keyboard layout and state from the
// XKB extension through xkbcommon-x11. Without a window manager that keeps
// _NET_ACTIVE_WINDOW, the window with the input focus counts.

#include <memory>
#include <string>

#include "meter/hooks/Desktop.h"
#include "meter/hooks/KeyDecoder.h"

namespace corv::meter {

class TX11Desktop : public IDesktop {
  public:
    // Null when the display cannot be reached or has no XKB extension.
    static std::unique_ptr<TX11Desktop> Connect(const std::string& display = "");
    ~TX11Desktop() override;

    TActiveWindow ActiveWindow() override { return window_; }
    bool ScreenLocked() override { return locked; }
    TKeyDecoder& Decoder() override { return *decoder_; }
    void SyncKeyboard() override;
    int Fd() const override;
    void Dispatch() override;
    bool Connected() const override;

    // Set by the session's screen-lock signal (the program's loop listens for it).
    bool locked = false;

  private:
    struct X;
    TX11Desktop();
    void ReadActiveWindow();
    void LoadKeymap();

    std::unique_ptr<X> x_;
    std::unique_ptr<TKeyDecoder> decoder_;
    TActiveWindow window_;
};

}  // namespace corv::meter
