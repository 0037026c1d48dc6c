#include "platform/KeyboardToggles.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace corv::platform {
namespace {

struct KeyInfo {
    KeySym sym;
    const char* indicator;
};

KeyInfo InfoFor(int key) {
    switch (key) {
        case kNumLock:
            return {XK_Num_Lock, "Num Lock"};
        case kScrollLock:
            return {XK_Scroll_Lock, "Scroll Lock"};
        default:
            return {XK_Caps_Lock, "Caps Lock"};
    }
}

// The session's display stays open for the life of the process: the caps-lock query runs
// on every keystroke of some views. Other displays (tests) are opened per call.
class Connection {
  public:
    explicit Connection(const char* name) {
        if (!name) {
            static Display* session = nullptr;
            if (!session) session = Open(nullptr);
            display_ = session;
        } else {
            display_ = Open(name);
            owned_ = display_ != nullptr;
        }
    }
    ~Connection() {
        if (owned_) XCloseDisplay(display_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Display* get() const { return display_; }

  private:
    static Display* Open(const char* name) {
        int major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
        return XkbOpenDisplay(const_cast<char*>(name), nullptr, nullptr, &major, &minor, &reason);
    }
    Display* display_ = nullptr;
    bool owned_ = false;
};

// Caps and Num Lock are locked modifiers; Scroll Lock usually only an indicator.
bool Query(Display* d, const KeyInfo& key, bool& on) {
    unsigned mask = XkbKeysymToModifiers(d, key.sym);
    if (mask != 0) {
        XkbStateRec state{};
        if (XkbGetState(d, XkbUseCoreKbd, &state) != Success) return false;
        on = (state.locked_mods & mask) != 0;
        return true;
    }
    Atom atom = XInternAtom(d, key.indicator, False);
    Bool lit = False;
    if (!XkbGetNamedIndicator(d, atom, nullptr, &lit, nullptr, nullptr)) return false;
    on = lit;
    return true;
}

bool PressOnce(Display* d, const KeyInfo& key) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor)) return false;
    KeyCode code = XKeysymToKeycode(d, key.sym);
    if (code == 0) return false;
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    XSync(d, False);
    return true;
}

void SetDirectly(Display* d, const KeyInfo& key, bool on) {
    unsigned mask = XkbKeysymToModifiers(d, key.sym);
    if (mask != 0) {
        XkbLockModifiers(d, XkbUseCoreKbd, mask, on ? mask : 0);
    } else {
        Atom atom = XInternAtom(d, key.indicator, False);
        XkbSetNamedIndicator(d, atom, True, on ? True : False, False, nullptr);
    }
    XSync(d, False);
}

}  // namespace

bool SetToggle(int key, bool on, const char* display) {
    Connection c(display);
    if (!c.get()) return false;
    const KeyInfo info = InfoFor(key);
    bool now = false;
    if (!Query(c.get(), info, now)) return false;
    if (now == on) return true;
    if (!PressOnce(c.get(), info) || !Query(c.get(), info, now) || now != on)
        SetDirectly(c.get(), info, on);
    return Query(c.get(), info, now) && now == on;
}

bool ToggleOn(int key, const char* display) {
    Connection c(display);
    bool on = false;
    return c.get() && Query(c.get(), InfoFor(key), on) && on;
}

bool CapsLockOn(const char* display) {
    return ToggleOn(kCapsLock, display);
}

}  // namespace corv::platform
