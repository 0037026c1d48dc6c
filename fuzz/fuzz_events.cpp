// Exercise script lines of any text: split into fields and made into an event loader
// without a crash, whatever the line holds.

#include <cstdint>
#include <string>

#include "course/EventLoader.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    for (const std::string& field : TEventLoader::SplitLine(line))
        CORV_FUZZ_CHECK(field.size() <= line.size());
    TEventLoader loader(line);
    CORV_FUZZ_CHECK(loader.Key.size() <= line.size());
    loader.ChapterNumber();
    loader.ExerciseNumber();
    return 0;
}
