// Input far beyond what the programs write must end in a clear answer within a second and
// in bounded memory: a 10 MB line, a million-line file, numbers far out of range, a file
// larger than any settings file. Each benchmark fails (skips with an error) when the
// answer is not the refusal or result it should be; "peak_rss_mb" shows the memory.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextFiles.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"

using namespace corv;

namespace {

const std::string& Root() {
    static const std::string root = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/corv-limits-XXXXXX";
        if (!::mkdtemp(tmpl.data())) std::exit(1);
        static std::string keep;
        keep = tmpl;
        std::atexit([] { std::filesystem::remove_all(keep); });
        std::string r = tmpl + "/";
        ::mkdir((r + "Database").c_str(), 0777);
        std::ofstream(r + "Policy.dyn") << "wpm_length=5\r\n";
        std::ofstream(r + "0.grp") << "Name=All\r\n";
        SetProgramSettings(TProgramSettings::Create(r));
        CorvSettings::OpenPolicy(r);
        return r;
    }();
    return root;
}

void PeakMemory(benchmark::State& state) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = Root() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void BM_SettingsFileWithA10MbLine(benchmark::State& state) {
    const std::string path =
        Write("long.dyn", "a=1\r\nNotes=" + std::string(10 << 20, 'x') + "\r\nb=2\r\n");
    for (auto _ : state) {
        TDynamicFile file;
        file.Open(path, -3);
        if (file.Load() != 1 || file.Damage().find("longer than") == std::string::npos)
            state.SkipWithError("the long line was not reported");
    }
    PeakMemory(state);
}
BENCHMARK(BM_SettingsFileWithA10MbLine)->Unit(benchmark::kMillisecond);

void BM_SettingsFileOfAMillionLines(benchmark::State& state) {
    std::string bytes;
    for (int i = 0; i < 1000000; ++i)
        bytes += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    const std::string path = Write("million.dyn", bytes);
    for (auto _ : state) {
        TDynamicFile file;
        file.Open(path, -3);
        if (file.Load() != -1 || file.Damage().empty())
            state.SkipWithError("a million lines were not refused");
    }
    PeakMemory(state);
}
BENCHMARK(BM_SettingsFileOfAMillionLines)->Unit(benchmark::kMillisecond);

void BM_SettingsFileLargerThanTheLimit(benchmark::State& state) {
    const std::string path = Root() + "huge.dyn";
    {
        std::ofstream(path, std::ios::binary) << "a=1\r\n";
        std::filesystem::resize_file(path, settings_format::kMaxFileBytes * 4);
    }
    for (auto _ : state) {
        TDynamicFile file;
        file.Open(path, -3);
        if (file.Load() != -1 || file.Damage().empty()) state.SkipWithError("read a huge file");
    }
    PeakMemory(state);
}
BENCHMARK(BM_SettingsFileLargerThanTheLimit)->Unit(benchmark::kMillisecond);

void BM_UserFileWithA10MbLineIsRefused(benchmark::State& state) {
    Write("Database/Long.usr",
          "UserName=Long\r\nNotes=" + std::string(10 << 20, 'x') + "\r\nDateStarted=1\r\n");
    for (auto _ : state) {
        try {
            TUser::Open("Long", -1, TUser::kShared, true);
            state.SkipWithError("opened");
        } catch (const DamagedUserFile&) {
        }
    }
    PeakMemory(state);
}
BENCHMARK(BM_UserFileWithA10MbLineIsRefused)->Unit(benchmark::kMillisecond);

void BM_ResultLineWithNumbersOutOfRange(benchmark::State& state) {
    const std::string line =
        "BKM;SPEED;99999999999999999999;2;1;0;1;1e308;-99999999999;CT;0;95;"
        "TEXT;4;90;600;0;0;180;160;96;70;85;12;0;450;3;5";
    for (auto _ : state) {
        TResultItem item;
        if (TResults::ParseLine(line, item)) state.SkipWithError("read numbers out of range");
    }
}
BENCHMARK(BM_ResultLineWithNumbersOutOfRange);

void BM_TextFileWithA10MbLine(benchmark::State& state) {
    const std::string path =
        Write("long.txt", "$version=1\r\n" + std::string(10 << 20, 'y') + "\r\nend\r\n");
    for (auto _ : state) {
        TTextFile file;
        file.Open(path, 1);
        std::string line;
        int lines = 0;
        while (file.ReadLine(line) == kFileOk && lines < 100000) ++lines;
        if (lines >= 100000) state.SkipWithError("the reader did not come to an end");
    }
    PeakMemory(state);
}
BENCHMARK(BM_TextFileWithA10MbLine)->Unit(benchmark::kMillisecond);

void BM_LanguageFileWithA10MbLine(benchmark::State& state) {
    const std::string path =
        Write("language.big", "1=Corvella\r\n2=" + std::string(10 << 20, 'z') + "\r\n");
    for (auto _ : state) {
        TLocalize loc;
        try {
            loc.LoadFile(path, TLocalize::kBase);
        } catch (const LocalizeError&) {
        }
        if (loc.String(2).size() > TLocalize::kMaxTextLength) state.SkipWithError("unbounded text");
    }
    PeakMemory(state);
}
BENCHMARK(BM_LanguageFileWithA10MbLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
