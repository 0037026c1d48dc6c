#include "core/TextUtil.h"

#include "core/Cp1252.h"

namespace corv {

std::string TrimBlanks(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    return std::string(text.substr(b, e - b));
}

std::vector<std::string> SplitWords(std::string_view text, std::string_view separators) {
    static constexpr std::string_view kDefault = " ,\r\n";
    if (separators.empty()) separators = kDefault;
    const bool escapes = text.find('%') != std::string_view::npos;
    std::vector<std::string> words;
    std::string word;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (separators.find(c) != std::string_view::npos) {
            if (escapes && !word.empty() && word.back() == '%') {
                word.back() = c;  // "%" keeps the separator in the word
                continue;
            }
            if (!word.empty()) words.push_back(std::move(word));
            word.clear();
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty()) words.push_back(std::move(word));
    return words;
}

std::string CapitaliseName(std::string_view name, std::string_view capitalisable) {
    std::string out = ToLower(name);
    auto raise = [&](size_t i) {
        if (i < out.size() && capitalisable.find(out[i]) != std::string_view::npos)
            out[i] = UpperCase(out[i]);
    };
    raise(0);
    size_t space = out.find(' ');
    if (space != std::string::npos) raise(space + 1);
    return out;
}

namespace {
std::string& Letters() {
    static std::string letters = "abcdefghijklmnopqrstuvwxyz";
    return letters;
}
}  // namespace

const std::string& CapitalisableLetters() {
    return Letters();
}
void SetCapitalisableLetters(std::string letters) {
    Letters() = std::move(letters);
}

void Unscramble(std::string& text) {
    for (char& c : text)
        if (c != '\r' && c != '\n') c = static_cast<char>(c ^ 0x9E);
}

}  // namespace corv
