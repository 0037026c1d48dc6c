#include "reports/Reports.h"

#include <QCursor>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/TextFiles.h"
#include "core/UserInterface.h"
#include "course/Contents.h"
#include "course/CourseSummary.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "engine/analysis/TypedTexts.h"
#include "platform/qt/QtText.h"
#include "reports/PreviewForm.h"

namespace corv {

namespace {

TReports::Destination& DestinationHook() {
    static TReports::Destination destination;
    return destination;
}

// The glyph a report draws for an Enter typed inside a word.
const QString kEnterGlyph = QString(QChar(0x21B5));

std::string Dash(int value, const std::string& text) {
    return value < 0 ? "-" : text;
}

}  // namespace

namespace ReportText {

std::string MinutesSeconds(int seconds) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d", seconds / 60, seconds % 60);
    return buf;
}

std::string TimeOfDay(double dateTime) {
    const double fraction = dateTime - std::floor(dateTime);
    const int minutes = static_cast<int>(std::lround(fraction * 24 * 60)) % (24 * 60);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", minutes / 60, minutes % 60);
    return buf;
}

std::string DateAndTime(double dateTime) {
    if (dateTime <= 0) return "-";
    return ShortDateText(dateTime) + " " + TimeOfDay(dateTime);
}

std::string Speed(TUser& user, int charsPerMinute) {
    return std::to_string(user.SpeedInUnit(charsPerMinute)) + " " + user.SpeedUnitLabel();
}

}  // namespace ReportText

TReports& Reports() {
    static TReports reports;
    return reports;
}

void TReports::SetDestination(Destination destination) {
    DestinationHook() = std::move(destination);
}

// --- Page mechanics ---

int TReports::X(int units) const {
    return static_cast<int>(
        std::lround(static_cast<double>(units) * pages_->pageWidth / kUnitsWide));
}

int TReports::Y(int units) const {
    return static_cast<int>(
        std::lround(static_cast<double>(units) * pages_->pageHeight / kUnitsHigh));
}

int TReports::PenWidth(int pixels) const {
    // Widths are given for the 150 pixels per inch page; a printer's page keeps them.
    return std::max(
        1, static_cast<int>(std::lround(pixels * static_cast<double>(pages_->pixelsPerInch) /
                                        TReportPages::kScreenPixelsPerInch)));
}

void TReports::SetFont(double points, bool bold) {
    font_.Mono = false;
    font_.Points = points;
    font_.Bold = bold;
    font_.Underline = false;
    font_.StrikeOut = false;
}

int TReports::Height() const {
    return pages_->TextHeight(font_);
}

void TReports::Down(int pixels) {
    y_ += pixels;
    if (y_ >= pages_->pageHeight - Y(150)) {
        ++page_;
        pages_->NewPage();
        const TReportFont running = font_;
        PageHeader();
        font_ = running;
    }
}

void TReports::PageHeader() {
    y_ = Y(150);
    SetFont(10, true);
    Write(X(kLeftMargin), prefix_ + Str(1141) + ShortDateText(NowDateTime()) + Str(1142) + Str(1));
    Write(pages_->pageWidth - X(330), Str(1143) + std::to_string(page_));
    y_ += Height() + Y(20);
    pages_->Rule(X(kLeftMargin), y_, pages_->pageWidth - X(kLeftMargin), PenWidth(6));
    y_ += Y(100);
}

void TReports::Heading(const std::string& text, double points, int gapUnits) {
    SetFont(points, true);
    Write(X(kLeftMargin), text);
    Down(Height() + Y(gapUnits));
}

void TReports::Separator() {
    pages_->Rule(X(kLeftMargin), y_, pages_->pageWidth - X(kLeftMargin), PenWidth(3));
    DownUnits(5);
}

void TReports::Write(int x, const std::string& text, bool bold) {
    TReportFont f = font_;
    f.Bold = f.Bold || bold;
    pages_->Text(x, y_, text, f);
}

void TReports::Begin(bool pdfDisabled, bool printingDisabled, const std::string& prefix) {
    auto pages = std::make_unique<TReportPages>();
    pages->Prepare(printingDisabled, pdfDisabled);
    pages_ = pages.release();
    prefix_ = prefix;
    page_ = 1;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    PageHeader();
}

void TReports::End() {
    std::unique_ptr<TReportPages> pages(pages_);
    pages_ = nullptr;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
    if (DestinationHook())
        DestinationHook()(*pages);
    else
        TPreviewForm::ShowModal(*pages);
}

// --- Course titles ---

const std::map<std::string, std::string>& TReports::CourseTitles() {
    if (titlesRead_) return courseTitles_;
    titlesRead_ = true;
    courseOrder_.clear();
    const TProgramSettings* settings = ProgramSettings();
    if (!settings) return courseTitles_;
    std::vector<std::string> files = TFile::ListNames(settings->lessonsFolder + "*.cnt");
    for (std::string& file : files) file = ToLower(file) + ".cnt";
    // Directory order is no order a reader can follow.
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    for (const std::string& file : files) {
        const CourseSummary header = ReadCourseHeader(file);
        std::string title = header.title;
        if (IsOldCourseVersion(header.version)) title += Str(1691);
        courseTitles_[file] = title;
        courseOrder_.push_back(file);
    }
    return courseTitles_;
}

// --- Progress report ---

void TReports::ProgressReport(const std::string& user, bool pdfDisabled, bool printingDisabled,
                              const std::string& titlePrefix) {
    ProgressReport(std::vector<std::string>{user}, pdfDisabled, printingDisabled, titlePrefix);
}

void TReports::ProgressReport(const std::vector<std::string>& users, bool pdfDisabled,
                              bool printingDisabled, const std::string& titlePrefix) {
    if (users.empty()) return;
    CourseTitles();
    std::unique_ptr<ui::ProgressView> progress;
    if (users.size() > 1) {
        progress = ui::Progress().Open();
        progress->SetCaption(Str(1110));
        progress->SetMessage(Str(1111));
        progress->SetRange(0, static_cast<int>(users.size()));
    }
    Begin(pdfDisabled, printingDisabled, titlePrefix.empty() ? Str(1109) : titlePrefix);
    bool first = true;
    for (size_t i = 0; i < users.size(); ++i) {
        if (progress && i % 20 == 0) progress->SetPosition(static_cast<int>(i));
        std::unique_ptr<TUser> user;
        try {
            user = TUser::OpenExisting(users[i], true, -1, TUser::kReadOnly);
        } catch (const UserError&) {
        }
        if (!user) continue;
        if (!first) {
            ++page_;
            pages_->NewPage();
            PageHeader();
        }
        first = false;
        UserProgress(*user);
    }
    End();
}

void TReports::UserProgress(TUser& user) {
    Heading(user.DisplayName(), 14, 10);
    Separator();
    DownUnits(15);

    SetFont(10);
    const int labelX = X(kLeftMargin);
    const int valueX = X(kLeftMargin + 400);
    const std::string contents = ToLower(WithCntExtension(user.GetText("ContentsFile")));
    const auto title = courseTitles_.find(contents);
    const double lastAccess = user.GetReal("Time.LastAccess");
    const std::string lastText = user.GetText("Date.LastAccess");
    const double created = user.GetReal("Date.Created");
    const std::vector<std::pair<std::string, std::string>> lines = {
        {Str(1144), user.GroupName()},
        {Str(1118), title != courseTitles_.end() && !contents.empty() ? title->second : Str(1140)},
        {Str(1119), user.TimeStudiedText()},
        {"", ""},
        {Str(1120), lastText.empty() ? "-" : lastText + "  " + ReportText::TimeOfDay(lastAccess)},
        {Str(1121), std::to_string(user.GetInteger("TimesUsed")) + " " + Str(1422)},
        {Str(1122), created > 0 ? ShortDateText(created) : "-"},
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        Write(labelX, lines[i].first, true);
        Write(valueX, lines[i].second);
        Down(Height() + Y(i + 1 == lines.size() ? 40 : 10));
    }

    TResults& results = user.Results();
    for (const std::string& file : courseOrder_) {
        const std::string courseId = TContents::CourseIdOf(file);
        const std::vector<TResultItem*> rows = results.CourseResults(courseId, false);
        if (rows.empty()) continue;
        DownUnits(80);
        const std::string& courseTitle = courseTitles_[file];
        Heading(courseTitle.empty() ? Str(1124) : courseTitle, 11, 10);
        Separator();
        DownUnits(15);
        ResultsTable(user, rows);
        DownUnits(15);
        Separator();
        SetFont(10);
        Write(X(kLeftMargin), Str(1125) + " " +
                                  std::to_string(user.GetInteger("Crs." + courseId + ".CompPrc")) +
                                  "%");
        Down(Height() + Y(10));
    }

    const std::vector<TResultItem*> tests = results.Tests(true);
    if (tests.empty()) return;
    DownUnits(80);
    Heading(Str(1123), 11, 10);
    Separator();
    DownUnits(15);
    for (const TResultItem* test : tests) TestBlock(user, *test);
    DownUnits(15);
    Separator();
}

void TReports::ResultsTable(TUser& user, const std::vector<TResultItem*>& results) {
    const int left = X(kLeftMargin);
    const int columns[] = {0, 108, 355, 560, 815, 1140, 1475, 1800};
    SetFont(10, true);
    Write(left + X(columns[0]), "#");
    // Str(1128) Str(1130) Str(1129) Str(1131) Str(1132) Str(1133) Str(1134)
    const int headers[] = {1128, 1130, 1129, 1131, 1132, 1133, 1134};
    for (int i = 0; i < 7; ++i) Write(left + X(columns[i + 1]), Str(headers[i]));
    Down(Height() + Y(20));
    SetFont(10);
    for (const TResultItem* r : results) {
        std::string number = std::to_string(r->Chapter) + "." + std::to_string(r->Exercise);
        if (!r->Checked) number = "(" + number + ")";
        std::string type;
        bool speeds = false;
        bool timeUsed = true;
        if (r->Kind == "TEST") {
            type = Str(1135);
            speeds = true;
        } else if (r->Mode == "REV") {
            type = Str(562);
        } else if (r->Kind == "TEXT" && r->Mode == "PG") {
            type = Str(1736);
            speeds = true;
        } else if (r->Kind == "TEXT" && r->Mode == "NK") {
            type = Str(1737);
            speeds = true;
        } else if (r->Kind == "TEXT" && r->Mode == "KR") {
            type = Str(1738);
            speeds = true;
        } else if (r->Kind == "TEXT" && r->Mode == "KS") {
            type = Str(1739);
            speeds = true;
        } else if (r->Kind == "GAME") {
            type = Str(1137);
        } else if (r->Kind == "TIME") {
            type = Str(1138);
        } else if (r->Kind == "TEXT") {
            type = Str(1136);
            speeds = true;
        } else {
            type = Str(1139);
            timeUsed = false;
        }
        const std::string cells[] = {
            number,
            type,
            ReportText::MinutesSeconds(r->TimeLimit) + Str(374),
            timeUsed ? ReportText::MinutesSeconds(r->TypingSeconds) + Str(374) : "-",
            speeds ? ReportText::Speed(user, r->GrossSpeed) : "-",
            speeds ? std::to_string(r->Accuracy) + "%" : "-",
            speeds ? ReportText::Speed(user, r->NetSpeed) : "-",
            ReportText::DateAndTime(r->StartTime),
        };
        for (int i = 0; i < 8; ++i) Write(left + X(columns[i]), cells[i]);
        Down(Height() + Y(10));
    }
}

namespace {

struct TestFigures {
    std::string penalty;
    std::string netKeys;
};

TestFigures Figures(const TResultItem& r) {
    TestFigures f;
    if (r.ErrorHits < 0) {
        f.penalty = "-";
    } else if (r.CharsPerWord < 0) {
        f.penalty = std::to_string(r.ErrorHits);
    } else {
        f.penalty = std::to_string(r.ErrorHits * r.CharsPerWord) + " (" +
                    std::to_string(r.ErrorHits) + " " + Str(1393) + " * " +
                    std::to_string(r.CharsPerWord) + ")";
    }
    if (r.TotalHits < 0 || r.ErrorHits < 0 || r.CharsPerWord < 0)
        f.netKeys = "-";
    else
        f.netKeys = std::to_string(r.TotalHits - r.ErrorHits * r.CharsPerWord);
    return f;
}

std::string LimitText(const TResultItem& r) {
    return r.TimeLimit > 0 ? ReportText::MinutesSeconds(r.TimeLimit) + Str(374) : Str(1242);
}

std::string PassedText(const TResultItem& r) {
    return r.Passed ? Str(1672) : Str(1673);
}

}  // namespace

void TReports::TestBlock(TUser& user, const TResultItem& r) {
    if (r.Kind != "TEST") return;
    SetFont(10, true);
    Write(X(kLeftMargin), r.Name + " - " + PassedText(r));
    Down(Height() + Y(13));
    SetFont(10);
    const TestFigures f = Figures(r);
    const int left = X(kLeftMargin);
    const std::string rows[3][6] = {
        {Str(1380), ReportText::DateAndTime(r.StartTime), Str(1381),
         ReportText::Speed(user, r.GrossSpeed), Str(1382),
         Dash(r.TotalHits, std::to_string(r.TotalHits))},
        {Str(1383), LimitText(r), Str(1384), std::to_string(r.Accuracy) + "%", Str(1385),
         f.penalty},
        {Str(1386), ReportText::MinutesSeconds(r.TypingSeconds) + Str(374), Str(1387),
         ReportText::Speed(user, r.NetSpeed), Str(1388), f.netKeys},
    };
    const int labels[] = {70, 840, 1520};
    const int values[] = {340, 1170, 1860};
    for (int row = 0; row < 3; ++row) {
        for (int c = 0; c < 3; ++c) {
            Write(left + X(labels[c]), rows[row][2 * c], true);
            Write(left + X(values[c]), rows[row][2 * c + 1]);
        }
        if (row < 2) Down(Height() + Y(10));
    }
    Down(2 * Height());
}

// --- Test report ---

void TReports::TestReport(TUser& user, const TResultItem& r, bool pdfDisabled,
                          bool printingDisabled) {
    Begin(pdfDisabled, printingDisabled, Str(1451));
    pages_->title = user.DisplayName();
    const int labelX = X(200);
    const int valueX = X(600);
    const int label2X = X(1000);
    const int value2X = X(1400);
    y_ = Y(150);
    DownUnits(100);
    SetFont(10);
    Down(Height() + Y(100));

    SetFont(10, true);
    Write(labelX, Str(1453) + " - " + PassedText(r));
    Down(Height() + Y(15));
    const TestFigures f = Figures(r);
    auto row = [&](const std::string& label, const std::string& value, int afterUnits) {
        SetFont(10);
        Write(labelX, label, true);
        Write(valueX, value);
        Down(Height() + Y(afterUnits));
    };
    auto pair = [&](const std::string& l1, const std::string& v1, const std::string& l2,
                    const std::string& v2, int afterUnits) {
        SetFont(10);
        Write(labelX, l1, true);
        Write(valueX, v1);
        Write(label2X, l2, true);
        Write(value2X, v2);
        Down(Height() + Y(afterUnits));
    };
    row(Str(462), user.DisplayName(), 0);
    row(Str(1392), r.Name, 0);
    row(Str(1380), ReportText::DateAndTime(r.StartTime), 80);
    SetFont(10, true);
    Write(labelX, Str(1452));
    Down(Height() + Y(15));
    std::string used = ReportText::MinutesSeconds(r.TypingSeconds) + Str(374);
    if (r.TimeLimit > 0) used += Str(1456) + LimitText(r);
    row(Str(1383), used, 0);
    pair(Str(1381), ReportText::Speed(user, r.GrossSpeed), Str(1382),
         Dash(r.TotalHits, std::to_string(r.TotalHits)), 0);
    pair(Str(1384), std::to_string(r.Accuracy) + "%", Str(1385), f.penalty, 0);
    pair(Str(1387), ReportText::Speed(user, r.NetSpeed), Str(1388), f.netKeys, 200);
    SetFont(10, true);
    Write(labelX, Str(1455));
    Down(Height() + Y(80));
    TypedText(user, r);
    End();
}

void TReports::TypedLineEnd(int labelX, int& errors) {
    if (errors > 0) {
        TReportFont f = font_;
        f.Bold = false;
        f.Underline = false;
        f.StrikeOut = false;
        pages_->Text(labelX, y_, std::to_string(errors) + ">", f);
    }
    errors = 0;
}

void TReports::TypedText(TUser& user, const TResultItem& r) {
    const TProgramSettings* settings = ProgramSettings();
    std::string base = TUser::NormalizeName(user.GetText("Username"));
    if (base.empty()) base = user.FileBase();
    const std::string path = settings && !base.empty()
                                 ? fs::ResolveCase(fs::Join(settings->databaseFolder,
                                                            base + ".TT" + std::to_string(r.Index)))
                                 : std::string();
    TTypedTexts words;
    // A test without its record (taken before records were kept, or the file was lost)
    // says so instead of reporting a read error.
    const int loaded = path.empty() || !fs::FileExists(path) ? -1 : words.Load(path);
    if (loaded == -1 || loaded == -3) {
        SetFont(10);
        Write(X(200), Str(1454));
        Down(Height());
        return;
    }

    font_ = TReportFont{};
    font_.Mono = true;
    font_.Points = 10;
    const int labelX = X(200);
    const int lineX = labelX + X(100);
    const int right = pages_->pageWidth - X(250);
    const int lineStep = Height() + Y(18);
    const std::string alphabet = ToLower(Str(12));
    auto reduce = [&](const std::string& word) {
        std::string out;
        for (char c : ToLower(word))
            if (alphabet.find(c) != std::string::npos) out += c;
        return out;
    };
    TReportFont normal = font_;
    TReportFont bold = font_;
    bold.Bold = true;
    TReportFont underlined = bold;
    underlined.Underline = true;
    TReportFont struck = bold;
    struck.StrikeOut = true;

    int x = lineX;
    int errors = 0;
    auto newLine = [&] {
        TypedLineEnd(labelX, errors);
        Down(lineStep);
        x = lineX;
    };
    // A word wider than what is left of the line goes on to the next one, and one wider
    // than a whole line is cut where the line ends.
    auto put = [&](const QString& text, const TReportFont& f, int raise = 0) {
        QString rest = text;
        while (!rest.isEmpty()) {
            const int width = pages_->TextWidth(rest, f);
            if (x + width <= right || rest.trimmed().isEmpty()) {
                pages_->Text(x, y_ - raise, rest, f);
                x += width;
                return;
            }
            if (x > lineX && width <= right - lineX) {
                newLine();
                continue;
            }
            qsizetype fits = rest.size() - 1;
            while (fits > 1 && x + pages_->TextWidth(rest.left(fits), f) > right) --fits;
            pages_->Text(x, y_ - raise, rest.left(fits), f);
            rest = rest.mid(fits);
            newLine();
        }
    };
    auto putCp = [&](const std::string& text, const TReportFont& f) { put(ToQt(text), f); };

    for (size_t i = 0; i < words.Count(); ++i) {
        const TWordItem& item = *words.Get(i);
        if (item.Expected == "\r") {
            TypedLineEnd(labelX, errors);
            Down(2 * lineStep);
            x = lineX;
            continue;
        }
        const std::string& typed = item.Typed;
        const std::string& expected = item.Expected;
        if (typed.size() == 1 && typed[0] == TTypedTexts::kCorrectMark) {
            putCp(expected + " ", normal);
        } else if (EqualsNoCase(typed, expected)) {
            for (size_t c = 0; c < typed.size(); ++c)
                putCp(std::string(1, typed[c]), typed[c] == expected[c] ? bold : underlined);
            putCp(" ", normal);
        } else if (reduce(typed) != reduce(expected) && !expected.empty()) {
            ++errors;
            const size_t enter = typed.find('\xAB');
            putCp(typed.substr(0, enter), underlined);
            if (enter != std::string::npos) put(kEnterGlyph, bold, PenWidth(4));
            putCp(typed.empty() ? "_ " : " ", normal);
            putCp("[" + expected + "] ", bold);
        } else if (expected.empty()) {
            ++errors;
            putCp(typed, struck);
            putCp(" ", normal);
        } else {
            ++errors;
            for (size_t c = 0; c < typed.size(); ++c) {
                const bool same = c < expected.size() && typed[c] == expected[c];
                if (typed[c] == '\xAB')
                    put(kEnterGlyph, underlined, PenWidth(4));
                else
                    putCp(std::string(1, typed[c]), same ? bold : underlined);
            }
            for (size_t c = typed.size(); c < expected.size(); ++c)
                putCp("[" + std::string(1, expected[c]) + "]", bold);
            putCp(" ", normal);
        }
        if (i + 1 < words.Count()) {
            const TWordItem& next = *words.Get(i + 1);
            const int need = pages_->TextWidth(next.Expected + next.Typed + "[[[]] ]]", bold);
            if (x + need > right) newLine();
        }
    }
    TypedLineEnd(labelX, errors);
}

// --- Diploma ---

void TReports::Diploma(TUser& user, const TResultItem& r, bool pdfDisabled, bool printingDisabled) {
    Begin(pdfDisabled, printingDisabled, Str(1063));
    pages_->title = user.DisplayName();
    const int labelX = X(450);
    const int valueX = X(850);
    y_ = Y(150);
    DownUnits(300);
    SetFont(16, true);
    Write(labelX, user.DisplayName());
    Down(Height() + Y(100));
    SetFont(10);
    Write(labelX, Str(1064));
    Down(Height() + Y(20));
    Write(labelX, Str(1065));
    Down(Height() + Y(100));
    const TestFigures f = Figures(r);
    const std::pair<std::string, std::string> rows[] = {
        {Str(1392), r.Name},
        {Str(1380), ReportText::DateAndTime(r.StartTime)},
        {Str(1383), LimitText(r)},
        {Str(1386), ReportText::MinutesSeconds(r.TypingSeconds) + Str(374)},
        {Str(1381), ReportText::Speed(user, r.GrossSpeed)},
        {Str(1384), std::to_string(r.Accuracy) + "%"},
        {Str(1387), ReportText::Speed(user, r.NetSpeed)},
        {Str(1382), Dash(r.TotalHits, std::to_string(r.TotalHits))},
        {Str(1385), f.penalty},
        {Str(1388), f.netKeys},
    };
    const int after[] = {80, 0, 0, 80, 0, 0, 80, 0, 0, 200};
    for (int i = 0; i < 10; ++i) {
        SetFont(10);
        Write(labelX, rows[i].first, true);
        Write(valueX, rows[i].second);
        Down(Height() + Y(after[i]));
    }
    SetFont(10, true);
    Write(labelX, Str(1070));
    Down(Height());
    Down(Height() + Y(200));
    pages_->Rule(labelX, y_, labelX + X(600), PenWidth(3));
    DownUnits(10);
    SetFont(8);
    Write(labelX, Str(1071));
    Down(Height());
    Write(labelX, Str(1072));
    End();
}

}  // namespace corv
