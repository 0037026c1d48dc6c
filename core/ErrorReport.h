#pragma once
// The numbered error report: a message box for the user and an entry in "Errors.log" in
// the database folder, a file meant for technical support. Reporting never throws and
// never waits on a missing display.

#include <string>
#include <string_view>

namespace corv {

// A data file that did not read cleanly and was kept as a copy.
constexpr int kDamagedFileError = -1518;

// The fixed English description of an error code ("Unknown error <code>" when none).
std::string ErrorDescription(int code);

// Shows "#<code> <description>" and the detail, then appends the entry to the log when a
// log folder is set. Returns 0.
int ReportError(int code, std::string_view detail);
// Only the log entry, for a failure the caller tells the user about in its own words.
int LogError(int code, std::string_view detail);
// The two-code form: the second code's description takes the detail's place.
int ReportErrorPair(int code, int secondCode);

// The database folder holding "Errors.log"; empty (the start) means no log is written.
void SetErrorLogFolder(std::string folder);
const std::string& ErrorLogFolder();
// What the log names the program by: version text ("10.0"), build number, release year
// and build date.
void SetErrorReportVersion(std::string version, std::string build, std::string year,
                           std::string buildDate);

// The "workstation settings cannot be opened" stop: an error box, then the program ends.
// Returns only when the registered shell does not really end the program (tests).
void ShowWorkstationStopAndExit();

}  // namespace corv
