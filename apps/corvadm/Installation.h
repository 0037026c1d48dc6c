#pragma once
// Which installation a corvadm command works on, and opening it the way the programs do.
//
// The root is, in this order: the folder given with --root (a folder with "CorvNPath.ini"
// counts as the programs' folder, so --root may name either); for a command given the path
// of a file, the installation that file lies in; else the one "CorvNPath.ini" beside
// corvadm names. A command that only reads or checks a file it was given needs none.

#include <string>

namespace corv::admin {

// The nearest folder above `path` (up to three levels: "lessons/speed/x.ex") that holds
// "Policy.dyn"; "" when none does.
std::string InstallationOf(const std::string& path);

// What is missing for `base` (the program's folder when empty) to be a usable
// installation, naming the folders looked at ("/x/ has no Policy.dyn"); "" when usable.
std::string WhyNoInstallation(const std::string& base);

// Opens the installation of `base` as the programs do: its folders, its language (read
// from the root folder, which becomes the current folder) and its policy. The start-up
// messages of the folder rules are not shown: corvadm reports a missing database folder
// itself, to the commands that need it.
bool OpenInstallation(const std::string& base);
void CloseInstallation();

}  // namespace corv::admin
