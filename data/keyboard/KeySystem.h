#pragma once
// What the layout model asks of the operating system's keyboard layouts. The X11 session
// answers by default; tests put a scripted system in its place.

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace corv {

// Windows-1252 characters one key gives: no modifier, Shift, AltGr, Shift+AltGr (0 none).
struct TSystemKeyTexts {
    char plain = 0;
    char shift = 0;
    char altGr = 0;
    char shiftAltGr = 0;
};
// Indexed by PC scan code.
using TSystemKeyTable = std::array<TSystemKeyTexts, 128>;

class TLayoutSystem {
  public:
    virtual ~TLayoutSystem() = default;
    // Eight hexadecimal digits, "" when there is no layout.
    virtual std::string CurrentLayoutId() = 0;
    // The layouts the user has installed.
    virtual std::vector<std::string> InstalledLayoutIds() = 0;
    // Makes an installed layout active; false when it cannot.
    virtual bool ActivateLayout(const std::string& id) = 0;
    // The active layout's characters; false when the system cannot tell them (then a
    // layout cannot be dynamic).
    virtual bool KeyTable(TSystemKeyTable& table) = 0;
};

// The process's system (the X11 session unless replaced). Null restores the default.
TLayoutSystem& LayoutSystem();
void SetLayoutSystem(std::unique_ptr<TLayoutSystem> system);

}  // namespace corv
