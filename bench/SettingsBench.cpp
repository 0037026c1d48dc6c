// The user settings file at its largest: a user with 10,000 results holds about 20,000
// lines. Loading it, answering a lookup for every line and saving one change must stay well
// under the time a user notices; lookups must not grow with the file.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/Cp1252.h"
#include "core/Settings.h"

using corv::TDynamicFile;

namespace {

constexpr int kLookups = 20000;

// A scratch folder for the fixture files, removed when the program ends.
const std::string& ScratchDir() {
    static const std::string dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/corv-bench-XXXXXX";
        if (!::mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        static std::string keep;
        keep = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(keep, ec);
        });
        return tmpl;
    }();
    return dir;
}

// A user file of `lines` lines: ordinary settings first, then "ReCnt" and the result
// lines (about 80 characters each) that make up most of a busy user's file.
struct UserFile {
    std::string path;
    std::vector<std::string> names;    // every name in the file
    std::vector<std::string> lookups;  // kLookups names in mixed case, shuffled
};

const UserFile& Fixture(int lines) {
    static std::map<int, UserFile> made;
    auto it = made.find(lines);
    if (it != made.end()) return it->second;

    UserFile f;
    f.path = ScratchDir() + "/user" + std::to_string(lines) + ".usr";
    std::string content;
    const int results = lines / 2;
    const int ordinary = lines - results - 1;
    static const char* kKeys[] = {"LessonTime", "Course",         "Chapter",     "Exercise",
                                  "Sound",      "KeyboardLayout", "TargetSpeed", "TargetAccuracy"};
    for (int i = 0; i < ordinary; ++i) {
        std::string name = std::string(kKeys[i % 8]) + "." + std::to_string(i);
        content += name + "=" + std::to_string(i * 37 % 1000) + "\r\n";
        f.names.push_back(std::move(name));
    }
    content += "ReCnt=" + std::to_string(results) + "\r\n";
    f.names.push_back("ReCnt");
    for (int i = 0; i < results; ++i) {
        std::string name = "Re" + std::to_string(i);
        content += name + "=BKM;Basic;" + std::to_string(i % 40) + ";" + std::to_string(i % 9) +
                   ";1;0;1;45123.5432" + std::to_string(i % 10) +
                   ";120;1;0;600;TEXT;4;110;0;0;0;38.5;36.1;97.2;81;88;12;0;1540;23;5\r\n";
        f.names.push_back(std::move(name));
    }
    if (FILE* out = std::fopen(f.path.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), out);
        std::fclose(out);
    } else {
        std::perror(f.path.c_str());
        std::exit(1);
    }

    std::mt19937 rng(lines);
    for (int i = 0; i < kLookups; ++i) {
        std::string name = f.names[rng() % f.names.size()];
        for (char& c : name)
            if (rng() & 1) c = corv::IsUpperCase(c) ? corv::LowerCase(c) : corv::UpperCase(c);
        f.lookups.push_back(std::move(name));
    }
    return made.emplace(lines, std::move(f)).first->second;
}

void LookUpAll(benchmark::State& state, TDynamicFile& file, const UserFile& f) {
    std::string value;
    for (const auto& name : f.lookups) {
        if (file.GetText(name, value) != 1) {
            state.SkipWithError(("missing " + name).c_str());
            return;
        }
        benchmark::DoNotOptimize(value);
    }
}

// The whole round a program makes with a user file: open, load, read every setting it
// needs, change one, save.
void BM_LoadLookupSave(benchmark::State& state) {
    const UserFile& f = Fixture(static_cast<int>(state.range(0)));
    int round = 0;
    for (auto _ : state) {
        TDynamicFile file;
        if (file.Open(f.path, 2) != 1 || file.Load() != 1) {
            state.SkipWithError("open failed");
            break;
        }
        LookUpAll(state, file, f);
        // A different value each round, so every round really writes.
        file.SetText("lAsTsTuDeNt", (++round & 1) ? "Anna" : "Otto");
        if (file.Save() != 1) {
            state.SkipWithError("save failed");
            break;
        }
        file.Close();
    }
    state.SetLabel(std::to_string(state.range(0)) + " lines, " + std::to_string(kLookups) +
                   " lookups, 1 change, save");
}
BENCHMARK(BM_LoadLookupSave)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Load(benchmark::State& state) {
    const UserFile& f = Fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TDynamicFile file;
        if (file.Open(f.path, -3) != 1 || file.Load() != 1) {
            state.SkipWithError("open failed");
            break;
        }
        file.Close();
    }
}
BENCHMARK(BM_Load)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Lookups alone, on a small and a large file: the time per lookup must stay about the same.
void BM_Lookup(benchmark::State& state) {
    const UserFile& f = Fixture(static_cast<int>(state.range(0)));
    TDynamicFile file;
    if (file.Open(f.path, -3) != 1 || file.Load() != 1) {
        state.SkipWithError("open failed");
        return;
    }
    for (auto _ : state) LookUpAll(state, file, f);
    state.SetItemsProcessed(state.iterations() * kLookups);
}
BENCHMARK(BM_Lookup)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
