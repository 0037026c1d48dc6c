#pragma once
// Starting a program when the user logs on: an XDG autostart entry.

#include <string>

namespace corv::platform {

// The autostart folder ($XDG_CONFIG_HOME/autostart or ~/.config/autostart).
std::string AutostartFolder();
// Writes (or replaces) the entry `name` that starts `programPath` at log-on.
bool SetAutostart(const std::string& name, const std::string& programPath);
// Removes the entry; true when it is gone afterwards.
bool RemoveAutostart(const std::string& name);
bool HasAutostart(const std::string& name);

}  // namespace corv::platform
