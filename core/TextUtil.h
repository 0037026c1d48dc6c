#pragma once
// The small text operations every line format of the system is read with.

#include <string>
#include <string_view>
#include <vector>

namespace corv {

// Removes spaces and tabs (only these) from both ends.
std::string TrimBlanks(std::string_view text);

// Words between runs of separators; never an empty word. An empty separator set means
// space, comma, CR and LF. A separator right after "%" belongs to the word and the "%"
// is dropped (only when the text holds a "%" at all).
std::vector<std::string> SplitWords(std::string_view text, std::string_view separators = {});

// Lower-cases the name, then upper-cases its first character and the one after its first
// space, each only when it is in the capitalisable set.
std::string CapitaliseName(std::string_view name, std::string_view capitalisable);
// The capitalisable letters of the current language (its string 13); until a language is
// loaded, the English letters.
const std::string& CapitalisableLetters();
void SetCapitalisableLetters(std::string letters);

// Body scrambling: every byte but CR and LF XOR 0x9E (its own inverse).
void Unscramble(std::string& text);

}  // namespace corv
