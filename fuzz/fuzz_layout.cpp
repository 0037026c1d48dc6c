// Keyboard layout files (".kbd") of any bytes: read with the file's own texts (never the
// machine's), every problem collected, and every character looked up without a crash.

#include <cstdint>
#include <string>
#include <vector>

#include "data/keyboard/KeyData.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::ScratchDir() + "/input.kbd";
    fuzz::WriteBytes(path, data, size);
    std::vector<TLayoutProblem> problems;
    TLayoutLoadOptions options;
    options.useSystem = false;
    options.problems = &problems;
    TKeyDataExt layout;
    if (layout.Load(path, options) < 0) return 0;
    for (int c = 1; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        layout.FindKey(ch);
        const int finger = layout.FingerOf(ch);
        CORV_FUZZ_CHECK(finger >= 0 && finger <= 10);
        layout.CaptionOf(ch);
    }
    for (const TLayoutProblem& p : problems) CORV_FUZZ_CHECK(p.line >= 0 && !p.text.empty());
    return 0;
}
