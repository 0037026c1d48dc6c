// A user with 10,000 results must open (settings, results, statistics) and save quickly,
// and rebuilding the indexes of a classroom's 1,000 users must not keep a teacher waiting.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"

using namespace corv;

namespace {

std::string MakeInstallation() {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/corv-userbench-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::exit(1);
    static std::string keep;
    keep = tmpl;
    std::atexit([] { std::filesystem::remove_all(keep); });
    std::string root = tmpl + "/";
    ::mkdir((root + "Database").c_str(), 0777);
    std::ofstream(root + "Policy.dyn") << "wpm_length=5\r\n";
    std::ofstream(root + "0.grp") << "Name=All\r\n";
    SetProgramSettings(TProgramSettings::Create(root));
    CorvSettings::OpenPolicy(root);
    return root;
}

const std::string& Root() {
    static const std::string root = MakeInstallation();
    return root;
}

void WriteBigUser() {
    std::ofstream out(Root() + "Database/Big.usr", std::ios::binary);
    out << "UserName=Big\r\nDateStarted=01.01.2026\r\nReCnt=9999\r\n";
    for (int i = 0; i < 10000; ++i) {
        out << "Re" << i << "=BKM;SPEED;" << (i / 100) << ';' << (i % 100)
            << ";1;0;1;46000.5;95;CT;0;95;TEXT;4;90;600;0;0;180;160;96;70;85;12;0;450;3;5\r\n";
        out << "Crs.SPEED.Key" << i << "=" << i << "\r\n";
    }
}

void BM_OpenAndSaveUserWith10000Results(benchmark::State& state) {
    WriteBigUser();
    for (auto _ : state) {
        auto user = TUser::Open("Big", -1, TUser::kShared, false);
        if (user->Results().Count() != 10000) state.SkipWithError("results missing");
        user->SetInteger("TimesUsed", static_cast<int>(state.iterations()));
        user->SaveUser();
    }
}
BENCHMARK(BM_OpenAndSaveUserWith10000Results)->Unit(benchmark::kMillisecond);

void BM_RebuildIndexesOf1000Users(benchmark::State& state) {
    for (int i = 0; i < 1000; ++i) {
        std::ofstream(Root() + "Database/Pupil " + std::to_string(i) + ".usr")
            << "UserName=Pupil " << i << "\r\nUserGroupID=0\r\nDateStarted=01.01.2026\r\n";
    }
    for (auto _ : state) TUser::RebuildIndexes();
}
BENCHMARK(BM_RebuildIndexesOf1000Users)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
