// A ten-page progress report, drawn and saved as PDF: the target is under 2 s and under
// 2 MB. The user has one course with enough results for ten pages and a few tests.

#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/DateTime.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "reports/ReportPages.h"
#include "reports/Reports.h"

namespace {

using namespace corv;

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void BM_TenPageProgressReportAsPdf(benchmark::State& state) {
    const std::string root =
        std::filesystem::temp_directory_path() / ("corv-reportbench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root + "/Database");
    std::filesystem::create_directories(root + "/lessons");
    Write(root + "/Policy.dyn", "Sounds=0\r\n");
    Write(root + "/0.grp", "Name=Class 4b\r\n");
    Write(root + "/lessons/alpha.cnt", "$description=Alpha speed\r\n$version=2.0\r\n");
    Localization().LoadFile(std::string(CORV_SOURCE_DIR) + "/install/language.eng",
                            TLocalize::kBase);
    SetProgramSettings(TProgramSettings::Create(root + "/"));
    CorvSettings::OpenPolicy(root + "/");
    TReportPages::SetPrintersIgnored(true);
    {
        auto user = TUser::Create("Ann");
        for (int c = 1; c <= 40; ++c)
            for (int e = 1; e <= 13; ++e) {
                TResultItem r;
                r.Source = "BKM";
                r.CourseId = "ALPHA";
                r.Kind = "TEXT";
                r.Mode = "CT";
                r.Chapter = c;
                r.Exercise = e;
                r.Checked = true;
                r.Valid = r.Completed = true;
                r.StartTime = EncodeDateTime(2026, 1 + c % 12, 1 + e, 10, e);
                r.TimeLimit = 120;
                r.TypingSeconds = 100;
                r.GrossSpeed = 180;
                r.Accuracy = 95;
                r.NetSpeed = 170;
                user->Results().Add(r);
            }
        user->SaveUser();
    }
    const std::string pdf = root + "/report.pdf";
    int pages = 0;
    std::string error;
    TReports::SetDestination([&](TReportPages& report) {
        pages = report.PageCount();
        if (!report.SavePdf(pdf, error)) state.SkipWithError(error.c_str());
    });
    for (auto _ : state) Reports().ProgressReport("Ann", false, false);
    TReports::SetDestination(nullptr);
    state.counters["pages"] = pages;
    state.counters["pdf_bytes"] = static_cast<double>(std::filesystem::file_size(pdf));
    SetProgramSettings(nullptr);
    CorvSettings::CloseAll();
    std::filesystem::remove_all(root);
}

BENCHMARK(BM_TenPageProgressReportAsPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
