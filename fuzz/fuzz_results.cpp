// The result line reader: every input line is a "Re" line of a user file held in memory.
// Whatever reads must be written in a form that reads back the same; the store must load
// what it saved, keep its indexes apart and never crash on damaged lines.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/Settings.h"
#include "data/Results.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

namespace {

// A text field as it comes back: at most 255 bytes, line breaks and NUL as spaces.
std::string Stored(std::string_view text) {
    std::string out(text.substr(0, 255));
    for (char& c : out)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return out;
}

void CheckLine(std::string_view line) {
    TResultItem r;
    if (!TResults::ParseLine(line, r)) return;
    const std::string once = TResults::FormatLine(r);
    TResultItem again;
    CORV_FUZZ_CHECK(TResults::ParseLine(once, again));
    CORV_FUZZ_CHECK(TResults::FormatLine(again) == once);
    CORV_FUZZ_CHECK(again.Source == Stored(r.Source));
    CORV_FUZZ_CHECK(again.Kind == Stored(r.Kind) && again.Mode == Stored(r.Mode));
    CORV_FUZZ_CHECK(again.CourseId == Stored(r.CourseId) &&
                    again.Identifier == Stored(r.Identifier));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> lines;
    for (size_t start = 0; start <= input.size();) {
        size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    for (std::string_view line : lines) CheckLine(line);

    // The lines as a user's results, one every other number so the store sees gaps.
    TDynamicSettings user;
    CORV_FUZZ_CHECK(user.Open("", -7) == 1);
    for (size_t i = 0; i < lines.size() && i < 64; ++i)
        user.SetText("Re" + std::to_string(i * 2), lines[i]);  // lines with CR or NUL are refused
    TResults results;
    const int read = results.Load(user);
    CORV_FUZZ_CHECK(read >= 0 && read <= 64);
    TResultItem extra;  // another source: never merged, always a new index
    extra.Source = "FUZZ";
    extra.Kind = "TEST";
    TResultItem* added = results.Add(extra);
    CORV_FUZZ_CHECK(added != nullptr && added->Index == results.HighestIndex());
    std::map<int, std::string> saved;
    for (int i = 0; i < results.Count(); ++i)
        CORV_FUZZ_CHECK(saved.emplace(results[i].Index, TResults::FormatLine(results[i])).second);
    CORV_FUZZ_CHECK(results.Save(user) == 1);

    TResults back;
    CORV_FUZZ_CHECK(back.Load(user) == results.Count());
    CORV_FUZZ_CHECK(back.HighestIndex() == results.HighestIndex());
    for (int i = 0; i < back.Count(); ++i) {
        auto it = saved.find(back[i].Index);
        CORV_FUZZ_CHECK(it != saved.end() && it->second == TResults::FormatLine(back[i]));
    }
    results.Query({}, true, false);
    results.Query({}, false, true);
    results.FigureSeries("NETSPEED", "", nullptr);
    return 0;
}
