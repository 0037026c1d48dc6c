#include "engine/analysis/ErrorFinder.h"

#include <algorithm>

#include "data/DifficultKeys.h"
#include "engine/analysis/Round.h"

namespace corv {

namespace {

constexpr int kNone = -1;

// Position i (1-based) of s; kNone before the first and past the last character.
inline int At(const std::u16string& s, int64_t i) {
    return i >= 1 && i <= static_cast<int64_t>(s.size())
               ? static_cast<int>(s[static_cast<size_t>(i - 1)])
               : kNone;
}

inline int Up(int c) {
    return c >= 'a' && c <= 'z' ? c - 32 : c;
}

// Equal after ASCII upper-casing; a missing position matches nothing, not even another
// missing position.
inline bool Match(int a, int b) {
    return a != kNone && b != kNone && Up(a) == Up(b);
}

void Load(std::u16string& out, std::string_view text) {
    text = text.substr(0, TErrorFinder::kMaxWord);
    out.clear();
    for (char c : text) out.push_back(static_cast<unsigned char>(c));
}

}  // namespace

std::string TErrorFinder::Visible(const std::u16string& s) {
    std::string out;
    out.reserve(s.size());
    for (char16_t c : s) out += c == kGap ? static_cast<char>(kPadding) : static_cast<char>(c);
    return out;
}

int TErrorFinder::Share(std::string_view expected, std::string_view typed) {
    Load(e_, expected);
    Load(t_, typed);
    halfErrors_ = 0;
    if (e_ == t_) return 0;
    if (e_.empty() || t_.empty()) return 100;

    const int64_t originalLength = static_cast<int64_t>(e_.size());
    auto E = [this](int64_t i) { return At(e_, i); };
    auto T = [this](int64_t i) { return At(t_, i); };
    auto gapE = [this](int64_t i, size_t n) { e_.insert(static_cast<size_t>(i - 1), n, kGap); };
    auto gapT = [this](int64_t i, size_t n) { t_.insert(static_cast<size_t>(i - 1), n, kGap); };

    int64_t i = 1;
    while (i <= static_cast<int64_t>(std::max(e_.size(), t_.size()))) {
        if (i > static_cast<int64_t>(e_.size()))
            e_.push_back(kGap);
        else if (i > static_cast<int64_t>(t_.size()))
            t_.push_back(kGap);

        if (Match(E(i), T(i))) {
            if (E(i) != T(i)) halfErrors_ += 1;  // only the case differs
            i += 1;
        } else if (Match(E(i), T(i + 1)) && Match(E(i + 1), T(i + 2))) {  // extra character
            gapE(i, 1);
            halfErrors_ += 2;
            i += 1;
        } else if (Match(E(i + 1), T(i)) && Match(E(i + 2), T(i + 1))) {  // left out
            gapT(i, 1);
            halfErrors_ += 2;
            i += 1;
        } else if (Match(E(i), T(i + 1))) {
            halfErrors_ += 2;
            if (Match(E(i + 1), T(i))) {  // two characters swapped
                i += 2;
            } else {
                gapE(i, 1);
                i += 1;
            }
        } else if (Match(E(i + 1), T(i))) {
            gapT(i, 1);
            halfErrors_ += 2;
            i += 1;
        } else if (Match(E(i), T(i + 2))) {
            if (Match(E(i + 1), T(i + 3))) {
                gapE(i, 2);
                halfErrors_ += 3;
                i += 2;
            } else {
                halfErrors_ += 2;
                i += 1;
            }
        } else if (Match(E(i + 2), T(i))) {
            if (Match(E(i + 3), T(i + 1))) {
                gapT(i, 2);
                halfErrors_ += 3;
                i += 2;
            } else {
                halfErrors_ += 2;
                i += 1;
            }
        } else {  // a wrong character
            halfErrors_ += 2;
            i += 1;
        }
    }

    // errors / length x 100, from the half-error count without floating point so a tie
    // (12.5) rounds to even exactly.
    const int64_t share = analysis::DivRoundEven(halfErrors_ * 100, 2 * originalLength);
    return share > ErrorLimit ? 100 : static_cast<int>(share);
}

int TErrorFinder::ShareAndRegister(std::string_view expected, std::string_view typed,
                                   TDifficultKeys& keys) {
    const int share = Share(expected, typed);
    if (share <= ErrorLimit) Register(keys);
    return share;
}

void TErrorFinder::Register(TDifficultKeys& keys) const {
    const int64_t n = static_cast<int64_t>(t_.size());
    for (int64_t i = 1; i <= n; ++i) {
        const int e = At(e_, i);
        const int t = At(t_, i);
        if (Match(e, t)) {
            if (e != kGap) keys.RecordKeystroke(static_cast<char>(e), false);
        } else if (e == kGap) {
            // An extra character: an error of that key when it repeats the one before
            // (a key struck twice). The first position has nothing before it.
            if (t != kGap && t == At(t_, i - 1)) keys.RecordKeystroke(static_cast<char>(t), true);
        } else if (e != kNone && e != ' ') {
            keys.RecordKeystroke(static_cast<char>(e), true);
        }
    }
}

}  // namespace corv
