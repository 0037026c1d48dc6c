// The settings parser: any bytes as a settings file, opened read-write, queried, changed in
// one entry, saved and opened again. The entries must come back exactly as they were, but
// for the one that was set; lookups must find the first entry of a name in any letter case.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Cp1252.h"
#include "core/Settings.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

namespace {

std::string_view NameOf(const std::string& entry) {
    return std::string_view(entry).substr(0, entry.find('='));
}
std::string_view ValueOf(const std::string& entry) {
    return std::string_view(entry).substr(entry.find('=') + 1);
}

// Index of the first entry whose name equals `name` without regard to case, or -1.
long FirstEntry(const std::vector<std::string>& entries, std::string_view name) {
    const std::string key = ToLower(name);
    for (size_t i = 0; i < entries.size(); ++i)
        if (ToLower(NameOf(entries[i])) == key) return static_cast<long>(i);
    return -1;
}

// Swaps the case of every other letter: "ReCnt" -> "rECNt".
std::string MixedCase(std::string_view name) {
    std::string out(name);
    for (size_t i = 0; i < out.size(); i += 2)
        out[i] = IsUpperCase(out[i]) ? LowerCase(out[i]) : UpperCase(out[i]);
    return out;
}

void CheckLookup(TDynamicFile& file, const std::vector<std::string>& entries,
                 std::string_view name) {
    std::string value;
    const int rc = file.GetText(name, value);
    const long at = FirstEntry(entries, name);
    if (at < 0) {
        CORV_FUZZ_CHECK(rc == 0 && value.empty());
        return;
    }
    CORV_FUZZ_CHECK(rc == 1 && value == ValueOf(entries[static_cast<size_t>(at)]));
    // The typed readers must take whatever the value holds.
    int32_t i32;
    int64_t i64;
    double real;
    std::vector<std::string> list;
    CORV_FUZZ_CHECK(file.GetInteger(name, i32) == 1);
    CORV_FUZZ_CHECK(file.GetInt64(name, i64) == 1);
    CORV_FUZZ_CHECK(file.GetReal(name, real) == 1);
    CORV_FUZZ_CHECK(file.GetList(name, list) == 1);
    // A list written back as comma text reads as the same list.
    CORV_FUZZ_CHECK(settings_format::FromCommaText(settings_format::ToCommaText(list)) == list);
    (void)settings_format::ReadBool(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::ScratchDir() + "/user.usr";
    fuzz::WriteBytes(path, data, size);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const uint8_t control = size ? data[size - 1] : 0;

    std::vector<std::string> before;
    std::string setName, setValue;
    bool accepted;
    {
        TDynamicFile file;
        CORV_FUZZ_CHECK(file.Open(path, 2) == 1);
        CORV_FUZZ_CHECK(file.Entries(before) == 1);
        std::vector<std::string> names;
        CORV_FUZZ_CHECK(file.Names(names) == 1 && names.size() == before.size());

        // Lookups: the first entries' names in mixed case, and a name that may be absent.
        for (size_t i = 0; i < before.size() && i < 16; ++i) {
            CheckLookup(file, before, NameOf(before[i]));
            CheckLookup(file, before, MixedCase(NameOf(before[i])));
        }
        CheckLookup(file, before, "ReCnt");
        CheckLookup(file, before, input.substr(0, control % 8));

        // One change, chosen by the last byte: an entry's value replaced or removed, a new
        // entry, or name and value cut from the raw input (which may be refused).
        const std::string pick = before.empty()
                                     ? std::string("Fresh")
                                     : std::string(NameOf(before[(control >> 2) % before.size()]));
        switch (control % 4) {
            case 0:
                setName = MixedCase(pick);
                setValue = "v" + std::to_string(size);
                break;
            case 1:
                setName = MixedCase(pick);
                setValue = "";
                break;
            case 2:
                setName = "New" + std::to_string(control);
                setValue = "x=y;%";
                break;
            case 3:
                setName = std::string(input.substr(0, (control >> 2) % 12));
                setValue = std::string(input.substr(size / 2, 20));
                break;
        }
        const bool bad =
            setName.empty() ||
            setName.find_first_of(std::string_view("=\r\n\0", 4)) != std::string::npos ||
            setValue.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos;
        const int rc = file.SetText(setName, setValue);
        accepted = rc == 1;
        CORV_FUZZ_CHECK(accepted == !bad);
        CORV_FUZZ_CHECK(file.Save() == 1);
        CORV_FUZZ_CHECK(!file.IsChanged());
        CORV_FUZZ_CHECK(file.Close() == 1);
    }

    // What the entries must be now.
    std::vector<std::string> expect = before;
    if (accepted) {
        const long at = FirstEntry(before, setName);
        if (at < 0) {
            if (!setValue.empty()) expect.push_back(setName + "=" + setValue);
        } else if (setValue.empty()) {
            expect.erase(expect.begin() + at);
        } else {
            expect[static_cast<size_t>(at)] =
                std::string(NameOf(before[static_cast<size_t>(at)])) + "=" + setValue;
        }
    }

    TDynamicFile again;
    CORV_FUZZ_CHECK(again.Open(path, -3) == 1);
    std::vector<std::string> after;
    CORV_FUZZ_CHECK(again.Entries(after) == 1);
    CORV_FUZZ_CHECK(after == expect);
    if (accepted) CheckLookup(again, after, setName);
    return 0;
}
