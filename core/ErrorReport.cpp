#include "core/ErrorReport.h"

#include <sys/utsname.h>

#include <cstdio>
#include <ctime>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/TextFiles.h"
#include "core/UserInterface.h"

namespace corv {
namespace {

struct ReportState {
    std::string folder;
    std::string version;
    std::string build;
    std::string year;
    std::string buildDate;
};

ReportState& State() {
    static ReportState state;
    return state;
}

struct Description {
    int code;
    const char* text;
};

constexpr Description kDescriptions[] = {
    {0, "(0)"},
    {-1, "File not found"},
    {-2, "File open failed"},
    {-3, "File already open"},
    {-4, "out of memory for file"},
    {-5, "File write error"},
    {-6, "File close failed / write failed"},
    {-10, "out of file request"},
    {-11, "textfile field error"},
    {-88, "textfile row over 255 char"},
    {-89, "wrong file version"},
    {-500, "Error in Main-procedure"},
    {-501, "Error in Event"},
    {-802, " Time out while opening for write-denied read mode"},
    {-901, "Database files not found"},
    {-910, "Username already exists, new was not be created"},
    {-1001, "User bookmark vs. Chapter data overflow"},
    {-1052, "Contents detected error"},
    {-1095, "Contents file description invalid"},
    {-1202, "User bookmark vs. exercise data overflow"},
    {-1505, "Cannot open User database"},
    {-1517, "Warning: Wrong Userbase file version, size mitsmatch"},
    {-1518, "Damaged data file, a copy was kept"},
    {-3321, "Problems in Difficult Keys event"},
    {-4000, "AppFrame.Run.Initialize"},
    {-4001, "AppFrame.Run.DeInitialize"},
    {-5452, "WWW-browser/email software is not properly installed or file extension launch error"},
    {-5633, "The course selected earlier is no more available. Changing to Default course now."},
    {-5733, "Fatal Introduction file error"},
    {-6123, "Contents file(s) *.CNT not available, program halted"},
    {-6633, "Error when renaming default userbase to:"},
    {-6634, "Error when copying default userbase to:"},
    {-6635, "Error when setting default attributes to:"},
    {-8001, "Cannot open an html file, web browser is propably not properly installed"},
    {-9977, "Windows is currently using Large Fonts setting. Program requires small fonts."},
};

// The system's date and time in one fixed form: "2015-11-04 13:05:09".
std::string Timestamp() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
    return buffer;
}

// Major and minor version of the running kernel ("6.1").
std::string OsVersion() {
    utsname name{};
    if (uname(&name) != 0) return "0.0";
    std::string release = name.release;
    std::string out;
    int dots = 0;
    for (char c : release) {
        if (c == '.') {
            if (++dots == 2) break;
        } else if (c < '0' || c > '9') {
            break;
        }
        out.push_back(c);
    }
    return out.empty() ? "0.0" : out;
}

void AppendToLog(const std::string& codeLine, const std::string& detailLine, bool pairForm) {
    const ReportState& s = State();
    if (s.folder.empty()) return;
    std::string path = fs::ResolveCase(fs::Join(s.folder, "Errors.log"));
    TTextFile log;
    if (fs::FileExists(path)) {
        if (log.Open(path, 3) != kFileOk) return;
    } else {
        if (log.Open(path, 2) != kFileOk) return;
        log.WriteLine(Str(1) + " " + s.version + " error file.  ");
        log.WriteLine("Please send this file to technical support. ");
    }
    log.WriteLine(std::string(58, '-'));
    log.WriteLine(Timestamp() + " Build " + s.build + " (" + s.year +
                  (pairForm ? ") released " : ") compiled ") + s.buildDate + " - OS " +
                  OsVersion());
    log.WriteLine(codeLine);
    log.WriteLine(detailLine);
    log.Close();
}

}  // namespace

std::string ErrorDescription(int code) {
    if (code == -801) return Str(126);
    for (const auto& d : kDescriptions)
        if (d.code == code) return d.text;
    return "Unknown error " + std::to_string(code);
}

int ReportError(int code, std::string_view detail) {
    try {
        std::string number = "#" + std::to_string(code);
        std::string description = ErrorDescription(code);
        ui::Message(number + " " + description + "\n\r" + std::string(detail), Str(1),
                    ui::Icon::kError, ui::Buttons::kOk, {1});
        AppendToLog(number + "  " + description, " - " + std::string(detail), false);
    } catch (...) {
        // Reporting must not bring down the caller that is already handling a failure.
    }
    return 0;
}

int LogError(int code, std::string_view detail) {
    try {
        AppendToLog("#" + std::to_string(code) + "  " + ErrorDescription(code),
                    " - " + std::string(detail), false);
    } catch (...) {
    }
    return 0;
}

int ReportErrorPair(int code, int secondCode) {
    try {
        std::string number = "#" + std::to_string(code);
        std::string description = ErrorDescription(code);
        std::string second = ErrorDescription(secondCode);
        ui::Message(number + " " + description + "\r\n" + second, Str(1), ui::Icon::kError,
                    ui::Buttons::kOk, {1});
        AppendToLog(number + "  " + description,
                    " - " + second + " = " + std::to_string(secondCode), true);
    } catch (...) {
    }
    return 0;
}

void SetErrorLogFolder(std::string folder) {
    State().folder = std::move(folder);
}
const std::string& ErrorLogFolder() {
    return State().folder;
}

void SetErrorReportVersion(std::string version, std::string build, std::string year,
                           std::string buildDate) {
    ReportState& s = State();
    s.version = std::move(version);
    s.build = std::move(build);
    s.year = std::move(year);
    s.buildDate = std::move(buildDate);
}

void ShowWorkstationStopAndExit() {
    try {
        ui::Message("#1551 " + Str(1889) + "\r\n\r\n" + Str(1890) + "\r\n" + Str(1891), Str(1),
                    ui::Icon::kError, ui::Buttons::kOk, {1889, 1890, 1891, 1});
    } catch (...) {
    }
    ui::Shell().EndProgram(1);
}

}  // namespace corv
