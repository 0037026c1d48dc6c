// Language string files of any bytes: a malformed file is refused with LocalizeError,
// anything else loads into a bounded table of bounded texts.

#include <cstdint>
#include <string>

#include "core/Localize.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::ScratchDir() + "/language.fuz";
    fuzz::WriteBytes(path, data, size);
    TLocalize& loc = Localization();
    loc.Reset();
    for (int mode : {TLocalize::kBase, TLocalize::kOverlay, TLocalize::kFallback}) {
        try {
            loc.LoadFile(path, mode);
        } catch (const LocalizeError&) {
            continue;
        }
        CORV_FUZZ_CHECK(loc.TableSize() <= TLocalize::kMaxTableSize + 1);
        for (int n = 0; n < loc.TableSize(); ++n)
            CORV_FUZZ_CHECK(loc.String(n).size() <= TLocalize::kMaxTextLength);
    }
    loc.Reset();
    return 0;
}
