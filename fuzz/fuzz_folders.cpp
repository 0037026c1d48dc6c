// The folder configuration ("CorvNPath.ini" beside the programs) of any bytes: it reads
// without a crash, and the folders it gives always end in a slash.

#include <cstdint>
#include <string>

#include "data/ProgramSettings.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string base = fuzz::ScratchDir() + "/";
    fuzz::WriteBytes(base + "CorvNPath.ini", data, size);
    IniFile ini;
    if (ini.Load(base + "CorvNPath.ini")) {
        for (const char* key : {"DataPath", "DataBase", "AppData"}) ini.Get("Path", key);
    }
    const TFolderPlan plan = TProgramSettings::Locate(base);
    CORV_FUZZ_CHECK(!plan.rootFolder.empty() && plan.rootFolder.back() == '/');
    CORV_FUZZ_CHECK(plan.customDatabase.empty() || plan.customDatabase.back() == '/');
    return 0;
}
