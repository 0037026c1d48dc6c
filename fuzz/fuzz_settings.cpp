// Settings files of any bytes: loading never fails on content, the damage check agrees
// with what a save writes, and a save after a change keeps every entry that was read.

#include <cstdint>
#include <string>
#include <vector>

#include "core/AtomicFile.h"
#include "core/Settings.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::ScratchDir() + "/input.dyn";
    fuzz::WriteBytes(path, data, size);

    std::string key = "Fuzz.Key";
    std::vector<std::string> before, after;
    bool clean;
    {
        TDynamicFile file;
        CORV_FUZZ_CHECK(file.Open(path, 2) == 1);
        CORV_FUZZ_CHECK(file.Load() == 1);
        clean = file.Damage().empty();
        CORV_FUZZ_CHECK(file.Entries(before) == 1);
        // A name the input does not hold, so the change is an append.
        std::string existing;
        for (int n = 0; file.GetText(key, existing) != 0; ++n) key = "Fuzz.Key" + std::to_string(n);
        CORV_FUZZ_CHECK(file.SetText(key, "value") == 1);
        CORV_FUZZ_CHECK(file.SetText("bad=name", "x") == -1);
        CORV_FUZZ_CHECK(file.SetText("name", std::string("a\r\nb")) == -1);
        CORV_FUZZ_CHECK(file.Save() == 1);
    }
    std::string saved;
    CORV_FUZZ_CHECK(ReadWholeFile(path, saved));
    CORV_FUZZ_CHECK(saved.size() >= 2 && saved.compare(saved.size() - 2, 2, "\r\n") == 0);
    // A clean file stays clean when saved.
    if (clean) CORV_FUZZ_CHECK(settings_format::FindDamage(saved).empty());

    TDynamicFile reread;
    CORV_FUZZ_CHECK(reread.Open(path, -3) == 1);
    CORV_FUZZ_CHECK(reread.Entries(after) == 1);
    // The new entry is appended; everything read before is kept in its order.
    CORV_FUZZ_CHECK(!after.empty() && after.back() == key + "=value");
    after.pop_back();
    CORV_FUZZ_CHECK(after == before);
    return 0;
}
