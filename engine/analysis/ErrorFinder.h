#pragma once
// Word comparison: the error share of a typed word against the expected word, tolerating
// inserted, omitted and swapped characters, and the per-key registration that follows it.

#include <cstdint>
#include <string>
#include <string_view>

namespace corv {

class TDifficultKeys;

class TErrorFinder {
  public:
    static constexpr int kDefaultErrorLimit = 40;
    static constexpr size_t kMaxWord = 255;          // longer words are cut to this
    static constexpr unsigned char kPadding = 0xA4;  // how a gap shows in Aligned*()

    // Shares above it count as 100.
    int32_t ErrorLimit = kDefaultErrorLimit;

    // Percent 0 .. ErrorLimit, or 100.
    int Share(std::string_view expected, std::string_view typed);
    // The comparison, then (when the share is within the limit) every aligned position
    // goes to `keys`: matches as clean keystrokes, wrong expected characters as errors,
    // and a doubled key typed in excess as an error of that key.
    int ShareAndRegister(std::string_view expected, std::string_view typed, TDifficultKeys& keys);

    // The work copies after the last comparison, gaps shown as kPadding.
    std::string AlignedExpected() const { return Visible(e_); }
    std::string AlignedTyped() const { return Visible(t_); }
    // The error count of the last comparison (halves for case errors and double gaps).
    double Errors() const { return halfErrors_ / 2.0; }

  private:
    // Positions hold a byte (0..255) or kGap; a gap is distinct from a typed 0xA4.
    static constexpr char16_t kGap = 0x100;
    static std::string Visible(const std::u16string& s);
    void Register(TDifficultKeys& keys) const;

    std::u16string e_, t_;  // grow past 255 when gaps are inserted
    int64_t halfErrors_ = 0;
};

}  // namespace corv
