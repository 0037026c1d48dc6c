// The stored line of a result: any text either does not read, or reads into a result
// whose own line reads back into the same line (the writer and the reader agree).

#include <cstdint>
#include <string>
#include <string_view>

#include "data/Results.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

namespace {

void CheckLine(std::string_view line) {
    TResultItem item;
    if (!TResults::ParseLine(line, item)) return;
    const std::string once = TResults::FormatLine(item);
    TResultItem again;
    CORV_FUZZ_CHECK(TResults::ParseLine(once, again));
    CORV_FUZZ_CHECK(TResults::FormatLine(again) == once);
    CORV_FUZZ_CHECK(once.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // A corpus file may hold several lines; each is one stored result.
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        CheckLine(line);
        pos = end + 1;
    }
    return 0;
}
