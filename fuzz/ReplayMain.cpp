// The fuzz targets as ordinary programs: each file named (or found in a folder named) on
// the command line is run once through the target, so the seed corpus and every crash
// ever found are replayed by the tests of an ordinary build.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace stdfs = std::filesystem;
    std::vector<stdfs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const stdfs::path p(argv[i]);
        std::error_code ec;
        if (stdfs::is_directory(p, ec)) {
            for (const auto& e : stdfs::directory_iterator(p))
                if (e.is_regular_file()) inputs.push_back(e.path());
        } else if (stdfs::is_regular_file(p, ec)) {
            inputs.push_back(p);
        }
    }
    for (const stdfs::path& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::fprintf(stderr, "%s\n", p.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return inputs.empty() ? 1 : 0;
}
