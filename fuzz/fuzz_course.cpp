// Course contents files of any bytes, with their chapters, exercises and event lines: the
// course check reads them as the tutor does and lists problems, never crashes or hangs.

#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "core/Settings.h"
#include "course/CourseCheck.h"
#include "data/ProgramSettings.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

namespace {

const std::string& Root() {
    static const std::string root = [] {
        std::string r = fuzz::ScratchDir() + "/";
        for (const char* dir : {"Database", "lessons", "keyboards"})
            ::mkdir((r + dir).c_str(), 0777);
        std::ofstream(r + "Policy.dyn") << "\r\n";
        std::ofstream(r + "lessons/words.txt") << "alpha beta gamma\r\n";
        SetProgramSettings(TProgramSettings::Create(r));
        CorvSettings::OpenPolicy(r);
        return r;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = Root() + "lessons/fuzz.cnt";
    fuzz::WriteBytes(path, data, size);
    for (const CourseProblem& p : CheckCourse(path)) CORV_FUZZ_CHECK(p.line >= 0);
    return 0;
}
