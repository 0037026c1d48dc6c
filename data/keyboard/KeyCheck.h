#pragma once
// Checking a layout file the way an administrator needs it: every problem, with its line.

#include <string>
#include <string_view>
#include <vector>

#include "data/keyboard/KeyData.h"

namespace corv {

// The letters a layout for a language must type, by the last two digits of a layout code
// ("07" German); the English letters for a language the table does not know.
std::string LanguageLetters(std::string_view language);

// Every problem of a layout file: what reading it finds (version, fingers, positions,
// control numbers, texts, the scan-code word of "vkey"/"xkey" lines), then keys that
// overlap, a home row that does not match the fingers, and letters of the layout's
// language that no key types. The file is read without the operating system's layout, so
// a dynamic layout is checked with its own texts. Empty when the file is sound.
std::vector<TLayoutProblem> CheckLayoutFile(const std::string& path);

}  // namespace corv
