#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "core/ErrorReport.h"
#include "core/Localize.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using ::testing::MatchesRegex;

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

const char* const kDateLine =
    "[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} Build 849 \\(2014\\) %s 2015-11-04 - "
    "OS [0-9]+\\.[0-9]+";

std::string DateLine(const char* verb) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, kDateLine, verb);
    return buffer;
}

class ErrorReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Localization().Reset();
        Localization().SetString(1, "Corvella");
        Localization().SetString(126, "The file is in use");
        Localization().SetString(1889, "Cannot open the workstation file.");
        Localization().SetString(1890, "It may be in use.");
        Localization().SetString(1891, "The program ends.");
        SetErrorReportVersion("10.0", "849", "2014", "2015-11-04");
        SetErrorLogFolder(dir_.path());
    }
    void TearDown() override {
        SetErrorLogFolder("");
        SetErrorReportVersion("", "", "", "");
        Localization().Reset();
    }
    std::string Log() { return ReadFile(dir_ / "Errors.log"); }

    TempDir dir_;
    testsupport::RecordingUi ui_;
};

TEST_F(ErrorReportTest, ReportShowsBoxAndAppendsFourLinesAfterHeading) {
    EXPECT_EQ(ReportError(-89, "lessons/basic.cnt"), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "#-89 wrong file version\n\rlessons/basic.cnt");
    EXPECT_EQ(ui_.messages[0].caption, "Corvella");
    EXPECT_EQ(ui_.messages[0].icon, ui::Icon::kError);
    EXPECT_TRUE(ui_.ShowedString(1));

    auto lines = SplitCrLf(Log());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Corvella 10.0 error file.  ");
    EXPECT_EQ(lines[1], "Please send this file to technical support. ");
    EXPECT_EQ(lines[2], std::string(58, '-'));
    EXPECT_THAT(lines[3], MatchesRegex(DateLine("compiled")));
    EXPECT_EQ(lines[4], "#-89  wrong file version");
    EXPECT_EQ(lines[5], " - lessons/basic.cnt");

    ReportError(-1, "second");  // appended, no second heading
    lines = SplitCrLf(Log());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[6], std::string(58, '-'));
    EXPECT_EQ(lines[8], "#-1  File not found");
    EXPECT_EQ(lines[9], " - second");
}

TEST_F(ErrorReportTest, ExistingLogIsAppendedToAsItIs) {
    WriteFile(dir_ / "Errors.log", "old line\r\n");
    ReportError(-2, "x");
    auto lines = SplitCrLf(Log());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "old line");
    EXPECT_EQ(lines[3], "#-2  File open failed");
}

TEST_F(ErrorReportTest, UnknownCodeNamedInBoxAndLog) {
    ReportError(-12345, "detail");
    EXPECT_EQ(ui_.messages.at(0).text, "#-12345 Unknown error -12345\n\rdetail");
    auto lines = SplitCrLf(Log());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "#-12345  Unknown error -12345");
}

TEST_F(ErrorReportTest, LongDetailIsCutInTheLogOnly) {
    std::string detail(400, 'd');
    ReportError(-5, detail);
    EXPECT_EQ(ui_.messages.at(0).text, "#-5 File write error\n\r" + detail);
    auto lines = SplitCrLf(Log());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[5], " - " + std::string(247, 'd'));
}

TEST_F(ErrorReportTest, PairFormNamesSecondCode) {
    EXPECT_EQ(ReportErrorPair(-1505, -1), 0);
    EXPECT_EQ(ui_.messages.at(0).text, "#-1505 Cannot open User database\r\nFile not found");
    EXPECT_EQ(ui_.messages.at(0).caption, "Corvella");
    EXPECT_EQ(ui_.messages.at(0).icon, ui::Icon::kError);
    auto lines = SplitCrLf(Log());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_THAT(lines[3], MatchesRegex(DateLine("released")));
    EXPECT_EQ(lines[4], "#-1505  Cannot open User database");
    EXPECT_EQ(lines[5], " - File not found = -1");
}

TEST_F(ErrorReportTest, Descriptions) {
    struct Case {
        int code;
        const char* text;
    } cases[] = {
        {0, "(0)"},
        {-4, "out of memory for file"},
        {-6, "File close failed / write failed"},
        {-88, "textfile row over 255 char"},
        {-801, "The file is in use"},  // the one localized description
        {-802, " Time out while opening for write-denied read mode"},
        {-910, "Username already exists, new was not be created"},
        {-1517, "Warning: Wrong Userbase file version, size mitsmatch"},
        {-5452,
         "WWW-browser/email software is not properly installed or file extension "
         "launch error"},
        {-6635, "Error when setting default attributes to:"},
        {-9977, "Windows is currently using Large Fonts setting. Program requires small fonts."},
        {1, "Unknown error 1"},
        {-3, "File already open"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorDescription(c.code), c.text) << c.code;
}

TEST_F(ErrorReportTest, WithoutLogFolderOnlyTheBoxIsShown) {
    SetErrorLogFolder("");
    ReportError(-1, "x");
    EXPECT_EQ(ui_.messages.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Errors.log"));
}

TEST_F(ErrorReportTest, UnwritableLogIsSkippedQuietly) {
    SetErrorLogFolder(dir_ / "no/such/folder");
    EXPECT_EQ(ReportError(-1, "x"), 0);
    EXPECT_EQ(ui_.messages.size(), 1u);

    std::filesystem::create_directory(dir_ / "ro");
    chmod((dir_ / "ro").c_str(), 0500);
    SetErrorLogFolder(dir_ / "ro");
    EXPECT_EQ(ReportError(-1, "y"), 0);
    EXPECT_EQ(ui_.messages.size(), 2u);
    chmod((dir_ / "ro").c_str(), 0700);
}

TEST_F(ErrorReportTest, WorkstationStopComposesMessageAndEndsProgram) {
    ShowWorkstationStopAndExit();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text,
              "#1551 Cannot open the workstation file.\r\n\r\nIt may be in use.\r\n"
              "The program ends.");
    EXPECT_EQ(ui_.messages[0].caption, "Corvella");
    EXPECT_EQ(ui_.messages[0].icon, ui::Icon::kError);
    for (int n : {1, 1889, 1890, 1891}) EXPECT_TRUE(ui_.ShowedString(n)) << n;
    ASSERT_EQ(ui_.endProgramCalls.size(), 1u);
    EXPECT_NE(ui_.endProgramCalls[0], 0);
}

// A program without any user interface registered: the report neither blocks nor throws,
// and the entry reaches the log.
class HeadlessReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Localization().Reset();
        Localization().SetString(1, "Hollin");
        SetErrorReportVersion("10.0", "849", "2014", "2015-11-04");
        SetErrorLogFolder(dir_.path());
    }
    void TearDown() override {
        SetErrorLogFolder("");
        Localization().Reset();
    }
    TempDir dir_;
};

TEST_F(HeadlessReportTest, ViewlessProgramReportsIntoLog) {
    ::testing::internal::CaptureStderr();
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReportError(-1052, "course.cnt"), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("#-1052 Contents detected error"), std::string::npos) << shown;
    auto lines = SplitCrLf(ReadFile(dir_ / "Errors.log"));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "Hollin 10.0 error file.  ");
    EXPECT_EQ(lines[4], "#-1052  Contents detected error");
    EXPECT_EQ(lines[5], " - course.cnt");
}

TEST_F(HeadlessReportTest, WorkstationStopEndsTheProcess) {
    EXPECT_EXIT(ShowWorkstationStopAndExit(), ::testing::ExitedWithCode(1), "#1551");
}

}  // namespace
}  // namespace corv
