// The user's statistics file: any bytes must load without a crash, and the tutor's save
// must carry whatever follows the two key tables through unchanged.

#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzSupport.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/User.h"

using namespace corv;

namespace {

const std::string& Root() {
    static const std::string root = [] {
        std::string r = fuzz::ScratchDir() + "/";
        ::mkdir((r + "Database").c_str(), 0777);
        std::ofstream(r + "Policy.dyn") << "\r\n";
        std::ofstream(r + "Database/F.usr") << "UserName=F\r\nDateStarted=1\r\n";
        SetProgramSettings(TProgramSettings::Create(r));
        CorvSettings::OpenPolicy(r);
        return r;
    }();
    return root;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = Root() + "Database/F.DTA";
    fuzz::WriteBytes(path, data, size);
    std::unique_ptr<TUser> user;
    try {
        user = TUser::Open("F", -1, TUser::kShared, false);
    } catch (const UserError&) {
        return 0;
    }
    user->SaveUser();
    user.reset();
    // What lay beyond the tables of a full, version-6 file survives the save.
    const size_t tables = 28 + 2 * 1338;
    if (size > tables && data[24] == 6 && data[25] == 0 && data[26] == 0 && data[27] == 0) {
        std::string after = Slurp(path);
        if (after.size() != size ||
            after.compare(tables, std::string::npos, reinterpret_cast<const char*>(data) + tables,
                          size - tables) != 0)
            fuzz::Fail("the words block changed");
    }
    return 0;
}
