#include "engine/analysis/Word.h"

#include <algorithm>

#include "data/DifficultKeys.h"
#include "data/User.h"
#include "engine/analysis/Round.h"

namespace corv {

void TWord::AddChar(char c) {
    if (c == '\t' || c == '\r' || c == ' ') return;
    text_ += c;
    if (backspaceRun_ > 0) {
        // A short correction says the key itself was the trouble; a long one that the
        // user retyped a part of the word.
        if (backspaceRun_ < 4) ActiveDifficultKeys().RecordKeystroke(c, true);
        backspaceRun_ = 0;
        ++corrections_;
    }
}

void TWord::Backspace() {
    if (text_.empty()) return;
    text_.pop_back();
    ++backspaceRun_;
    if (text_.empty() && backspaceRun_ > 2) Reset();  // the whole word was erased
}

void TWord::Reset() {
    slowKeys_ = corrections_ = errorPoints_ = backspaceRun_ = 0;
    text_.clear();
}

bool TWord::Storable(const std::string& text) {
    if (text.size() < 4) return false;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c != '\'' && (c <= 64 || (c >= 123 && c <= 190))) return false;
    }
    return true;
}

int TWord::Store(int32_t source) {
    if (!Storable(text_)) return -1;
    slowKeys_ = std::min(slowKeys_, 2);
    corrections_ = std::min(corrections_, 2);
    errorPoints_ = std::min(errorPoints_, 5);
    const int difficulty = std::min(slowKeys_ + 2 * corrections_ + errorPoints_, 10);
    return list_.FindOrAdd(text_, difficulty, keepIgnored, static_cast<uint16_t>(source));
}

int TWord::WordIndex(int mask) {
    const std::vector<std::string> scores = list_.List(mask, 2, 2);
    double sum = 0;
    for (size_t i = 0; i < scores.size() && i < 15; ++i)
        sum += std::stoi(scores[i]) * (i < 10 ? 1.35 : 0.65);
    return static_cast<int>(analysis::RoundEven(sum / 15.0));
}

}  // namespace corv
