// The monitored-applications file (".SET") of any bytes: it loads without a crash, and
// what loaded is saved and loads back the same.

#include <cstdint>
#include <filesystem>
#include <string>

#include "data/SpyedApps.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::ScratchDir() + "/input.SET";
    const std::string out = fuzz::ScratchDir() + "/out.SET";
    fuzz::WriteBytes(path, data, size);
    TSpyedApps apps;
    const bool loaded = apps.LoadApps(path);
    // A cut-off file is kept as a copy each time: the scratch folder must not fill up.
    for (const auto& e : std::filesystem::directory_iterator(fuzz::ScratchDir()))
        if (e.path().filename().string().rfind("input.SET.damaged-", 0) == 0)
            std::filesystem::remove(e.path());
    if (!loaded) return 0;
    CORV_FUZZ_CHECK(apps.SaveApps(out) == 1);
    TSpyedApps again;
    CORV_FUZZ_CHECK(again.LoadApps(out));
    CORV_FUZZ_CHECK(again.Entries().size() == apps.Entries().size());
    for (size_t i = 0; i < apps.Entries().size(); ++i) {
        const TAppSettings& a = *apps.Entries()[i];
        const TAppSettings& b = *again.Entries()[i];
        CORV_FUZZ_CHECK(a.ToBytes() == b.ToBytes());
        CORV_FUZZ_CHECK(a.Included() == b.Included());
    }
    return 0;
}
