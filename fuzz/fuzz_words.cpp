// The word splitter and the blank trimmer. The first byte picks the separator set, the rest
// is the text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/TextUtil.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

namespace {

// Bits 0-6 pick from the separators the file formats use; bit 7 adds tab and NUL. No bit
// set means the default set.
std::string SeparatorsFor(uint8_t pick) {
    static constexpr char kChoices[] = {' ', ',', ';', '=', '\r', '\n', '%'};
    std::string seps;
    for (int bit = 0; bit < 7; ++bit)
        if (pick & (1u << bit)) seps += kChoices[bit];
    if (pick & 0x80) seps += std::string_view("\t\0", 2);
    return seps;
}

std::string WithoutChars(std::string_view text, std::string_view chars) {
    std::string out;
    for (char c : text)
        if (chars.find(c) == std::string_view::npos) out += c;
    return out;
}

void CheckSplit(std::string_view text, const std::string& given) {
    const std::string seps = given.empty() ? std::string(" ,\r\n") : given;
    const std::vector<std::string> words = SplitWords(text, given);
    size_t total = 0;
    for (const auto& w : words) {
        CORV_FUZZ_CHECK(!w.empty());
        total += w.size();
    }
    CORV_FUZZ_CHECK(total <= text.size());
    if (text.find('%') == std::string_view::npos) {
        std::string joined;
        for (const auto& w : words) joined += w;
        CORV_FUZZ_CHECK(joined == WithoutChars(text, seps));
        // Without escapes no word holds a separator.
        for (const auto& w : words) CORV_FUZZ_CHECK(w.find_first_of(seps) == std::string::npos);
    } else {
        // A separator survives in a word only in the place of an escaping "%".
        size_t kept = 0;
        for (const auto& w : words)
            for (char c : w) kept += seps.find(c) != std::string::npos;
        size_t escapes = 0;
        for (char c : text) escapes += c == '%';
        CORV_FUZZ_CHECK(kept <= escapes);
    }
}

void CheckTrim(std::string_view text) {
    const std::string t = TrimBlanks(text);
    CORV_FUZZ_CHECK(text.find(t) != std::string_view::npos);
    if (!t.empty()) {
        CORV_FUZZ_CHECK(t.front() != ' ' && t.front() != '\t');
        CORV_FUZZ_CHECK(t.back() != ' ' && t.back() != '\t');
    }
    CORV_FUZZ_CHECK(TrimBlanks(t) == t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckSplit(text, SeparatorsFor(data[0]));
    CheckSplit(text, {});
    CheckTrim(text);
    return 0;
}
