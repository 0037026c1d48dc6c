// The word splitter that every line format goes through, fed any text and one of the
// separator sets the formats use (chosen by the first byte).

#include <cstdint>
#include <string>
#include <string_view>

#include "core/TextUtil.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string_view kSets[] = {"", " ", ",", "=;", ";", " \t", "\r\n", " .,"};
    if (size == 0) return 0;
    const std::string_view set = kSets[data[0] & 7];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string_view seps = set.empty() ? std::string_view(" ,\r\n") : set;
    const bool escapes = text.find('%') != std::string_view::npos;

    size_t kept = 0;
    for (const std::string& word : SplitWords(text, set)) {
        CORV_FUZZ_CHECK(!word.empty());
        // Without a "%" no word holds a separator; every word is a piece of the text.
        if (!escapes) {
            CORV_FUZZ_CHECK(word.find_first_of(seps) == std::string::npos);
            CORV_FUZZ_CHECK(text.find(word) != std::string_view::npos);
        }
        kept += word.size();
    }
    CORV_FUZZ_CHECK(kept <= text.size());
    return 0;
}
