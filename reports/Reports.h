#pragma once
// The printable reports: a user's progress over every course and test, the report of one
// test with each error of the typed text marked, and the diploma of a test. A report is
// drawn in logical units on a 2400 x 3357 page into TReportPages, which then goes to the
// preview (or, for corvadm and tests, wherever SetDestination says).
//
//   Reports().ProgressReport("Ann", pdfDisabled, printingDisabled, Str(547));
//   Reports().Diploma(*CurrentUser(), *result, pdfDisabled, printingDisabled);

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "reports/ReportPages.h"

namespace corv {

class TUser;
struct TResultItem;
struct TWordItem;

class TReports {
  public:
    static constexpr int kUnitsWide = 2400;
    static constexpr int kUnitsHigh = 3357;
    static constexpr int kLeftMargin = 120;

    // Each user's progress, a new page between users; users whose file cannot be opened
    // are left out. The prefix heads every page (localized string 1109 when empty).
    void ProgressReport(const std::vector<std::string>& users, bool pdfDisabled,
                        bool printingDisabled, const std::string& titlePrefix = {});
    void ProgressReport(const std::string& user, bool pdfDisabled, bool printingDisabled,
                        const std::string& titlePrefix = {});
    void TestReport(TUser& user, const TResultItem& result, bool pdfDisabled,
                    bool printingDisabled);
    void Diploma(TUser& user, const TResultItem& result, bool pdfDisabled, bool printingDisabled);

    // Where a finished report goes; by default the preview, shown modally. A null
    // destination brings the preview back.
    using Destination = std::function<void(TReportPages&)>;
    static void SetDestination(Destination destination);

    // Course file name (lower case, with ".cnt") to its title, read once.
    const std::map<std::string, std::string>& CourseTitles();
    // Forgets the course titles (the course folder changed).
    void ForgetCourseTitles() {
        courseTitles_.clear();
        titlesRead_ = false;
    }

  private:
    void Begin(bool pdfDisabled, bool printingDisabled, const std::string& prefix);
    void End();
    int X(int units) const;
    int Y(int units) const;
    int PenWidth(int pixels) const;
    void SetFont(double points, bool bold = false);
    void Down(int pixels);
    void DownUnits(int units) { Down(Y(units)); }
    void PageHeader();
    void Heading(const std::string& text, double points, int gapUnits);
    void Separator();
    void Write(int x, const std::string& text, bool bold = false);
    int Height() const;

    void UserProgress(TUser& user);
    void ResultsTable(TUser& user, const std::vector<TResultItem*>& results);
    void TestBlock(TUser& user, const TResultItem& result);
    void TypedText(TUser& user, const TResultItem& result);
    void TypedLineEnd(int labelX, int& errors);

    TReportPages* pages_ = nullptr;
    int y_ = 0;
    int page_ = 0;
    std::string prefix_;
    TReportFont font_;
    std::map<std::string, std::string> courseTitles_;
    std::vector<std::string> courseOrder_;
    bool titlesRead_ = false;
};

// The one TReports of the program.
TReports& Reports();

// Texts the reports share with the views that list results.
namespace ReportText {
// "12:05" for minutes:seconds.
std::string MinutesSeconds(int seconds);
// "14:05" for the time of day of a date-time.
std::string TimeOfDay(double dateTime);
// The result's date and time, or "-" when unknown.
std::string DateAndTime(double dateTime);
// A speed in the user's unit with the unit's name.
std::string Speed(TUser& user, int charsPerMinute);
}  // namespace ReportText

}  // namespace corv
