#include "apps/corvadm/ReportCommands.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "apps/corvadm/CommandSupport.h"
#include "core/AtomicFile.h"
#include "core/Cp1252.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/Results.h"
#include "data/User.h"
#include "reports/ReportPages.h"
#include "reports/Reports.h"

using namespace corv;
using admin::Fail;

namespace {

std::string OutputPath(const std::string& name) {
    return (std::filesystem::path(admin::StartFolder()) / name).lexically_normal().string();
}

// The fonts and the page geometry need a GUI application; no display is used.
std::unique_ptr<QGuiApplication> Gui() {
    if (QCoreApplication::instance()) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "corvadm";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

std::unique_ptr<TUser> OpenUser(const std::string& name) {
    return TUser::OpenExisting(Utf8ToCp1252(name), true, -1, TUser::kReadOnly);
}

// Runs a report and saves what it drew as PDF.
int SavePdf(const std::function<void()>& draw, const std::string& file) {
    auto gui = Gui();
    TReportPages::SetPrintersIgnored(true);
    const std::string missing = TReportPages::MissingFonts();
    if (!missing.empty())
        std::fprintf(stderr, "corvadm: %s%s\n", Cp1252ToUtf8(Str(1004)).c_str(), missing.c_str());
    std::string error = "the report drew nothing";
    bool saved = false;
    TReports::SetDestination(
        [&](TReportPages& pages) { saved = pages.SavePdf(OutputPath(file), error); });
    draw();
    TReports::SetDestination(nullptr);
    if (!saved) return Fail(error);
    return admin::kExitOk;
}

int TestOrDiploma(bool diploma, const std::vector<std::string>& args) {
    std::unique_ptr<TUser> user = OpenUser(args[1]);
    if (!user) return Fail("no such user: " + args[1]);
    const auto number = settings_format::ParseInt32(args[2]);
    if (!number) return Fail("RESULT is the number of one of the user's test results");
    const TResultItem* result = nullptr;
    for (const TResultItem* r : user->Results().Tests(true))
        if (r->Index == *number) result = r;
    if (!result) return Fail(args[1] + " has no test result " + args[2]);
    return SavePdf(
        [&] {
            if (diploma)
                Reports().Diploma(*user, *result, false, true);
            else
                Reports().TestReport(*user, *result, false, true);
        },
        args[4]);
}

std::string CsvField(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

int ClassCsv(const std::vector<std::string>& args) {
    int group = -1;
    if (args.size() == 4) {
        const auto n = settings_format::ParseInt32(args[1]);
        if (!n) return Fail("GROUP is a number");
        group = *n;
    }
    std::string csv =
        "Name,Group,Exercises completed,Latest net speed,Best net speed,Speed unit,"
        "Latest accuracy,Minutes studied,Tests passed\r\n";
    for (const std::string& name : TUser::UserNames(group)) {
        std::unique_ptr<TUser> user;
        try {
            user = TUser::OpenExisting(name, true, -1, TUser::kReadOnly);
        } catch (const UserError&) {
        }
        if (!user) continue;
        TResults& results = user->Results();
        int completed = 0, best = 0, passed = 0;
        const TResultItem* latest = nullptr;
        for (int i = 0; i < results.Count(); ++i) {
            const TResultItem& r = results[i];
            if (r.Source == "BKM" && r.Checked) ++completed;
            if (r.Kind == "TEST" && r.Passed) ++passed;
            if (r.NetSpeed <= 0) continue;
            best = std::max(best, r.NetSpeed);
            if (!latest || r.StartTime > latest->StartTime) latest = &r;
        }
        const std::vector<std::string> fields = {
            user->DisplayName(),
            user->GroupName(),
            std::to_string(completed),
            latest ? std::to_string(user->SpeedInUnit(latest->NetSpeed)) : "",
            best > 0 ? std::to_string(user->SpeedInUnit(best)) : "",
            user->SpeedUnitLabel(),
            latest ? std::to_string(latest->Accuracy) : "",
            std::to_string(user->GetInteger("TimeStudied") / 60),
            std::to_string(passed),
        };
        for (size_t i = 0; i < fields.size(); ++i)
            csv += (i ? "," : "") + CsvField(Cp1252ToUtf8(fields[i]));
        csv += "\r\n";
    }
    const std::string path = OutputPath(args.back());
    if (!WriteFileAtomic(path, csv)) return Fail("cannot write " + path);
    return admin::kExitOk;
}

}  // namespace

int ReportCommand(const std::vector<std::string>& args) {
    const std::string kind = args.empty() ? "" : args[0];
    const auto flagged = [&](size_t at, const char* flag) {
        return args.size() == at + 2 && args[at] == flag && !args[at + 1].empty();
    };
    if (kind == "progress" && flagged(2, "--pdf")) {
        std::unique_ptr<TUser> user = OpenUser(args[1]);
        if (!user) return Fail("no such user: " + args[1]);
        const std::string name = user->DisplayName();
        user.reset();
        return SavePdf([&] { Reports().ProgressReport(name, false, true); }, args[3]);
    }
    if ((kind == "test" || kind == "diploma") && flagged(3, "--pdf"))
        return TestOrDiploma(kind == "diploma", args);
    if (kind == "class" && (flagged(1, "--csv") || flagged(2, "--csv"))) return ClassCsv(args);
    return Fail(
        "usage: corvadm report progress NAME --pdf FILE | test NAME RESULT --pdf FILE |"
        " diploma NAME RESULT --pdf FILE | class [GROUP] --csv FILE");
}
