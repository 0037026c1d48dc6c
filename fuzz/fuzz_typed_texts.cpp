// The typed-text record of an exam (".TT") of any bytes: the reader keeps what it read
// before any damage, and what it keeps is written and read back unchanged.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/TypedTexts.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TTypedTexts texts;
    bool countRead = false;
    texts.FromBytes(std::string_view(reinterpret_cast<const char*>(data), size), countRead);
    const std::string bytes = texts.ToBytes();
    TTypedTexts again;
    CORV_FUZZ_CHECK(again.FromBytes(bytes, countRead));
    CORV_FUZZ_CHECK(again.Count() == texts.Count());
    for (size_t i = 0; i < texts.Count(); ++i) {
        CORV_FUZZ_CHECK(again.Get(i)->Expected == texts.Get(i)->Expected);
        CORV_FUZZ_CHECK(again.Get(i)->Typed == texts.Get(i)->Typed);
    }
    CORV_FUZZ_CHECK(again.ToBytes() == bytes);
    return 0;
}
