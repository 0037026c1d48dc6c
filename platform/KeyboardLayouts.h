#pragma once
// The keyboard layouts of the X11 session, seen the way the layout model wants them:
// identifiers in the eight-digit Windows form, the layouts the user has set up (the XKB
// groups), and what a key gives with Shift and AltGr. The server's keymap is only read;
// switching moves among the user's own groups and never loads a new keymap.
//
// Without a display every query answers "no layout" (an empty identifier, no characters)
// and every change is refused. The connection is opened on first use.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace corv::platform {

// The display the calls below talk to; null (the start) means the session's own. Setting
// it drops an open connection.
void SetLayoutDisplay(const char* name);

// The active layout, "" when there is no display or the table knows no identifier for it.
std::string CurrentLayoutId();
// The user's layouts in group order; "" for one the table does not know.
std::vector<std::string> LayoutIds();
// The XKB description of the active layout ("German"), "" when none.
std::string CurrentLayoutDescription();
// Makes the first of the user's layouts with this identifier active. False when there is
// no display or the user has no such layout.
bool ActivateLayout(std::string_view id);

// Unicode code points a key gives in the active layout; 0 where it gives nothing. Dead
// keys give their spacing accent (dead acute: U+00B4).
struct KeyCharacters {
    char32_t plain = 0;
    char32_t shift = 0;
    char32_t altGr = 0;
    char32_t shiftAltGr = 0;
};
// Indexed by PC scan code (set 1, without the E0 prefix). False without a display.
bool LayoutCharacters(std::array<KeyCharacters, 128>& table);

// The Windows identifier for an XKB layout and variant ("de", "nodeadkeys"); "" when the
// table has none. A variant the table does not list falls back to the plain layout.
std::string WindowsLayoutId(std::string_view layout, std::string_view variant);

}  // namespace corv::platform
