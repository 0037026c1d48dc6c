#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <memory>

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "engine/analysis/TypedTexts.h"
#include "platform/qt/QtText.h"
#include "reports/PreviewForm.h"
#include "reports/ReportPages.h"
#include "reports/Reports.h"
#include "reports/tests/ReportTestTools.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::TempDir;
using test::WriteFile;

// Every text step of a page joined by " | ", in drawing order.
std::string PageText(const TReportPages& pages, int page) {
    std::string out;
    for (const TPageStep& step : pages.Steps(page))
        if (step.What == TPageStep::Kind::kText) out += FromQt(step.Text) + " | ";
    return out;
}

const TPageStep* FindText(const TReportPages& pages, const std::string& text,
                          int* pageOut = nullptr) {
    for (int p = 0; p < pages.PageCount(); ++p)
        for (const TPageStep& step : pages.Steps(p))
            if (step.What == TPageStep::Kind::kText && FromQt(step.Text) == text) {
                if (pageOut) *pageOut = p;
                return &step;
            }
    return nullptr;
}

// An installation with two courses (one of the old format), the shipped English texts
// and a report destination that keeps the pages.
class ReportsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path() + "/";
        ::mkdir((root + "Database").c_str(), 0777);
        ::mkdir((root + "lessons").c_str(), 0777);
        WriteFile(root + "Policy.dyn", "Sounds=0\r\n");
        WriteFile(root + "0.grp", "Name=Class 4b\r\n");
        WriteFile(root + "lessons/Beta.cnt", "$description=Beta keys\r\n$version=1.0\r\n");
        WriteFile(root + "lessons/alpha.cnt", "$description=Alpha speed\r\n$version=2.0\r\n");
        WriteFile(root + "lessons/empty.cnt", "$description=Nothing done\r\n$version=2.0\r\n");
        Localization().Reset();
        ASSERT_EQ(Localization().LoadFile(std::string(CORV_SOURCE_DIR) + "/install/language.eng",
                                          TLocalize::kBase),
                  0);
        CorvSettings::CloseAll();
        SetProgramSettings(TProgramSettings::Create(root));
        ASSERT_TRUE(ProgramSettings());
        ASSERT_TRUE(CorvSettings::OpenPolicy(root));
        TReportPages::SetPrintersIgnored(true);
        Reports().ForgetCourseTitles();
        TReports::SetDestination([this](TReportPages& pages) {
            shown.push_back(std::make_unique<TReportPages>(pages));
        });
    }
    void TearDown() override {
        TReports::SetDestination(nullptr);
        Reports().ForgetCourseTitles();
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
        Localization().Reset();
    }

    static TResultItem CourseResult(const std::string& course, int chapter, int exercise) {
        TResultItem r;
        r.Source = "BKM";
        r.CourseId = course;
        r.Kind = "TEXT";
        r.Mode = "CT";
        r.Chapter = chapter;
        r.Exercise = exercise;
        r.Checked = true;
        r.Valid = true;
        r.Completed = true;
        r.StartTime = EncodeDateTime(2026, 3, chapter, 10, exercise);
        r.TimeLimit = 120;
        r.TypingSeconds = 95;
        r.GrossSpeed = 180;
        r.Accuracy = 96;
        r.NetSpeed = 170;
        return r;
    }

    static TResultItem TestResult(int n, int limit) {
        TResultItem r;
        r.Source = "NAME";
        r.Kind = "TEST";
        r.Mode = "0";
        r.Identifier = "TEST" + std::to_string(n);
        r.Name = "The fox " + std::to_string(n);
        r.Valid = true;
        r.Completed = true;
        r.Passed = n % 2 == 1;
        r.StartTime = EncodeDateTime(2026, 4, n, 9, 30);
        r.TimeLimit = limit;
        r.TypingSeconds = 300;
        r.GrossSpeed = 200;
        r.Accuracy = 97;
        r.NetSpeed = 190;
        r.TotalHits = 1000;
        r.ErrorHits = 3;
        r.CharsPerWord = 5;
        return r;
    }

    // Ann: many results in two courses and two tests; saved and closed.
    void MakeAnn() {
        auto user = TUser::Create("Ann");
        user->SetText("ContentsFile", "alpha.cnt");
        user->SetInteger("TimeStudied", 3 * 3600 + 25 * 60);
        user->SetInteger("TimesUsed", 12);
        user->SetInteger("Crs.ALPHA.CompPrc", 40);
        user->SetInteger("Crs.BETA.CompPrc", 100);
        for (int c = 1; c <= 9; ++c)
            for (int e = 1; e <= 6; ++e) {
                TResultItem r = CourseResult("ALPHA", c, e);
                r.Checked = !(c == 1 && e == 2);
                user->Results().Add(r);
            }
        TResultItem game = CourseResult("BETA", 1, 1);
        game.Kind = "GAME";
        user->Results().Add(game);
        TResultItem drill = CourseResult("BETA", 1, 2);
        drill.Mode = "KR";
        user->Results().Add(drill);
        user->Results().Add(TestResult(1, 300));
        user->Results().Add(TestResult(2, 0));
        ASSERT_EQ(user->SaveUser(), 1);
    }

    std::string ShotPath(const std::string& name) {
        const char* dirName = std::getenv("CORV_SCREENSHOTS");
        if (!dirName) return {};
        QDir().mkpath(QString::fromLocal8Bit(dirName));
        return std::string(dirName) + "/" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + name +
               ".png";
    }

    // Saves the pages as PDF and checks the file with the real tools; writes a picture of
    // the rendered page `look` for the screenshots.
    void CheckPdf(const TReportPages& pages, const std::string& name, int look = 0) {
        const std::string pdf = dir / (name + ".pdf");
        std::string error;
        ASSERT_TRUE(pages.SavePdf(pdf, error)) << error;
        EXPECT_EQ(reporttest::QpdfProblems(pdf), "");
        EXPECT_EQ(reporttest::PdfInfo(pdf, "Pages"), std::to_string(pages.PageCount()));
        EXPECT_EQ(reporttest::PdfInfo(pdf, "Title"), Cp1252ToUtf8(pages.title));
        for (int p = 0; p < pages.PageCount(); ++p) {
            const QImage expected = pages.Render(p, pages.pageWidth, pages.pageHeight);
            TGreyImage mine;
            mine.Width = expected.width();
            mine.Height = expected.height();
            for (int y = 0; y < mine.Height; ++y)
                mine.Pixels.insert(mine.Pixels.end(), expected.constScanLine(y),
                                   expected.constScanLine(y) + mine.Width);
            const TGreyImage rendered =
                reporttest::RenderedPage(pdf, p + 1, mine.Width, mine.Height);
            EXPECT_LT(reporttest::Mismatch(rendered, mine), 0.002) << name << " page " << p + 1;
            if (p == look && !ShotPath(name).empty()) {
                QImage shot(rendered.Pixels.data(), rendered.Width, rendered.Height, rendered.Width,
                            QImage::Format_Grayscale8);
                shot.save(QString::fromStdString(ShotPath(name + "-pdf")));
            }
        }
        if (!ShotPath(name).empty()) {
            // The report as the preview shows it, the whole first page in view.
            TPreviewForm form(const_cast<TReportPages&>(pages));
            form.resize(900, 1000);
            form.show();
            form.findChild<QComboBox*>("ScaleCombo")->setCurrentIndex(1);
            QCoreApplication::processEvents();
            form.grab().save(QString::fromStdString(ShotPath(name + "-preview")));
        }
        if (!ShotPath(name).empty())
            pages.Render(0, pages.pageWidth, pages.pageHeight)
                .save(QString::fromStdString(ShotPath(name)));
    }

    TempDir dir;
    std::string root;
    testsupport::RecordingUi ui;
    std::vector<std::unique_ptr<TReportPages>> shown;
};

TEST_F(ReportsTest, ProgressReportRunsOverPagesWithEachCourseSortedAndTheTests) {
    MakeAnn();
    Reports().ProgressReport("Ann", false, false, Str(547));
    ASSERT_EQ(shown.size(), 1u);
    const TReportPages& pages = *shown[0];
    ASSERT_GE(pages.PageCount(), 2);
    for (int p = 0; p < pages.PageCount(); ++p) {
        const std::string text = PageText(pages, p);
        EXPECT_EQ(text.rfind("My progress report - printed on ", 0), 0u) << text;
        EXPECT_NE(text.find("Page " + std::to_string(p + 1) + " | "), std::string::npos);
    }
    const std::string first = PageText(pages, 0);
    for (const char* part : {"Ann | ", "Group: | Class 4b | ", "Current course: | Alpha speed | ",
                             "Time studied: | 3 h 25 min | ", "Visits: | 12 times | "})
        EXPECT_NE(first.find(part), std::string::npos) << part;
    // Courses in name order, the old format marked, the untouched course left out; tests last.
    int alpha = -1, beta = -1, tests = -1;
    const TPageStep* a = FindText(pages, "Alpha speed", &alpha);
    const TPageStep* b = FindText(pages, "Beta keys (old format)", &beta);
    ASSERT_TRUE(a && b && FindText(pages, "Typing tests", &tests));
    EXPECT_TRUE(alpha < beta || (alpha == beta && a->Y < b->Y));
    EXPECT_LE(beta, tests);
    EXPECT_EQ(FindText(pages, "Nothing done"), nullptr);
    EXPECT_NE(FindText(pages, "(1.2)"), nullptr) << "an unchecked result is in parentheses";
    EXPECT_NE(FindText(pages, "1.3"), nullptr);
    EXPECT_NE(FindText(pages, "Course completed: 40%"), nullptr);
    EXPECT_NE(FindText(pages, "Course completed: 100%"), nullptr);
    EXPECT_NE(FindText(pages, "Key rows"), nullptr);
    EXPECT_NE(FindText(pages, "Game"), nullptr);
    EXPECT_NE(FindText(pages, "The fox 1 - passed"), nullptr);
    EXPECT_NE(FindText(pages, "The fox 2 - not passed"), nullptr);
    EXPECT_NE(FindText(pages, "No time limit"), nullptr) << "a test without a limit says so";
    EXPECT_NE(FindText(pages, "15 (3 errors * 5)"), nullptr);
    EXPECT_NE(FindText(pages, "985"), nullptr);
    // Nothing is drawn in the bottom margin.
    for (int p = 0; p < pages.PageCount(); ++p)
        for (const TPageStep& step : pages.Steps(p))
            EXPECT_LT(step.Y, pages.pageHeight - pages.pageHeight * 150 / 3357 + 2) << p;
    CheckPdf(pages, "progress", 0);
}

TEST_F(ReportsTest, UsersThatCannotBeOpenedAreLeftOutAndAnEmptyListShowsNothing) {
    MakeAnn();
    Reports().ProgressReport(std::vector<std::string>{}, false, false);
    EXPECT_TRUE(shown.empty());
    Reports().ProgressReport(std::vector<std::string>{"Nobody", "Ann", "Ghost"}, false, false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(PageText(*shown[0], 0).rfind("Progress report - printed on ", 0), 0u);
    EXPECT_NE(FindText(*shown[0], "Ann"), nullptr);
    EXPECT_EQ(FindText(*shown[0], "Nobody"), nullptr);
}

TEST_F(ReportsTest, ManyUsersGetAPageEachAndAProgressBox) {
    std::vector<std::string> names;
    for (int i = 0; i < 41; ++i) {
        names.push_back("Pupil " + std::to_string(i));
        ASSERT_EQ(TUser::Create(names.back())->SaveUser(), 1);
    }
    ui.progress = {};
    Reports().ProgressReport(names, false, false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->PageCount(), 41);
    EXPECT_NE(PageText(*shown[0], 40).find("Pupil 40 | "), std::string::npos);
    EXPECT_EQ(ui.progress.opened, 1);
    EXPECT_FALSE(ui.progress.open);
    EXPECT_EQ(ui.progress.caption, Str(1110));
    EXPECT_EQ(ui.progress.max, 41);
    EXPECT_EQ(ui.progress.positions, (std::vector<int>{0, 20, 40}));
}

// The test report marks each kind of error of the typed text.
TEST_F(ReportsTest, TestReportMarksEveryErrorAndCountsThemPerLine) {
    auto user = TUser::Create("Ben");
    TResultItem* stored = user->Results().Add(TestResult(1, 300));
    ASSERT_TRUE(stored);
    TTypedTexts words;
    words.Add("The", "The");      // right: plain
    words.Add("quick", "Quick");  // letter case: bold, the capital underlined
    words.Add("brown", "brwn");   // wrong word: typed and [expected]
    words.Add("", "extra");       // extra word: struck out
    words.Add("fox,", "fox.");    // punctuation only
    words.Add("jumps", "");       // skipped
    words.AddLineBreak();
    words.Add("over", "ov\xAB");  // Enter typed inside the word
    words.Add("dogs.", "dogs");   // the same letters, the full stop left out
    for (int i = 0; i < 60; ++i) words.Add("lazy", i % 10 == 0 ? "lazi" : "lazy");
    ASSERT_EQ(words.Save(root + "Database/Ben.TT" + std::to_string(stored->Index)), 1);

    Reports().TestReport(*user, *stored, false, false);
    ASSERT_EQ(shown.size(), 1u);
    const TReportPages& pages = *shown[0];
    EXPECT_EQ(pages.title, "Ben");
    const std::string text = PageText(pages, 0);
    EXPECT_EQ(text.rfind("Typing test report - printed on ", 0), 0u);
    for (const char* part :
         {"Result - passed", "Name: | Ben | ", "Test: | The fox 1 | ",
          "Time limit: | 5:00 min of 5:00 min | ", "Error penalty: | 15 (3 errors * 5) | "})
        EXPECT_NE(text.find(part), std::string::npos) << part;

    auto step = [&](const std::string& s) { return FindText(pages, s); };
    ASSERT_TRUE(step("The "));
    EXPECT_FALSE(step("The ")->Font.Bold);
    ASSERT_TRUE(step("Q") && step("u"));
    EXPECT_TRUE(step("Q")->Font.Underline);
    EXPECT_FALSE(step("u")->Font.Underline);
    EXPECT_TRUE(step("u")->Font.Bold);
    ASSERT_TRUE(step("brwn") && step("[brown] "));
    EXPECT_TRUE(step("brwn")->Font.Underline);
    ASSERT_TRUE(step("extra"));
    EXPECT_TRUE(step("extra")->Font.StrikeOut);
    ASSERT_TRUE(step("."));
    EXPECT_TRUE(step(".")->Font.Underline);
    EXPECT_NE(step("_ "), nullptr) << "a skipped word shows a blank";
    EXPECT_NE(step("[jumps] "), nullptr);
    bool enterShown = false;
    for (const TPageStep& s : pages.Steps(0))
        enterShown = enterShown || s.Text == QString(QChar(0x21B5));
    EXPECT_TRUE(enterShown) << "an Enter inside a word is drawn as its glyph";
    EXPECT_NE(step("[.]"), nullptr);
    // Line 1 had four errors (letter case is none); each later line with errors ends with its count
    // at the left.
    const TPageStep* four = step("4>");
    ASSERT_TRUE(four);
    EXPECT_EQ(four->X, pages.pageWidth * 200 / 2400);
    int counted = 0;
    int lines = 0;
    for (const TPageStep& s : pages.Steps(0)) {
        const std::string t = FromQt(s.Text);
        if (t.size() >= 2 && t.back() == '>') {
            counted += std::stoi(t);
            ++lines;
        }
        // No typed word runs past the right margin.
        if (s.What == TPageStep::Kind::kText && s.Font.Mono) {
            EXPECT_LT(s.X + pages.TextWidth(s.Text, s.Font),
                      pages.pageWidth - pages.pageWidth * 250 / 2400 + 1)
                << t;
        }
    }
    EXPECT_EQ(counted, 4 + 2 + 6);
    EXPECT_GE(lines, 3) << "the long line wraps";
    CheckPdf(pages, "testreport");
}

// Words of the longest length the record keeps still stay inside the page.
TEST_F(ReportsTest, WordsWiderThanALineAreCutAtTheMargin) {
    auto user = TUser::Create("Dan");
    TResultItem* stored = user->Results().Add(TestResult(1, 300));
    ASSERT_TRUE(stored);
    TTypedTexts words;
    words.Add("short", "short");
    words.Add(std::string(255, 'w'), std::string(255, 'v'));
    words.Add("", std::string(255, 'x'));
    ASSERT_EQ(words.Save(root + "Database/Dan.TT" + std::to_string(stored->Index)), 1);
    Reports().TestReport(*user, *stored, false, false);
    ASSERT_EQ(shown.size(), 1u);
    const TReportPages& pages = *shown[0];
    int typed = 0;
    for (const TPageStep& s : pages.Steps(0)) {
        if (s.What != TPageStep::Kind::kText || !s.Font.Mono) continue;
        EXPECT_LE(s.X + pages.TextWidth(s.Text, s.Font),
                  pages.pageWidth - pages.pageWidth * 250 / 2400 + 1)
            << FromQt(s.Text);
        typed += static_cast<int>(s.Text.count(QChar('v')) + s.Text.count(QChar('x')));
    }
    EXPECT_EQ(typed, 510) << "nothing of the words is lost";
}

TEST_F(ReportsTest, ATestWithoutItsTypedTextSaysSo) {
    auto user = TUser::Create("Cy");
    TResultItem* stored = user->Results().Add(TestResult(2, 0));
    ASSERT_TRUE(stored);
    Reports().TestReport(*user, *stored, false, false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(FindText(*shown[0], Str(1454)), nullptr);
    EXPECT_NE(PageText(*shown[0], 0).find("Time limit: | 5:00 min | "), std::string::npos)
        << "without a limit the time used stands alone";
    EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
}

TEST_F(ReportsTest, DiplomaShowsTheScoresAndSavesAsPdf) {
    auto user = TUser::Create("Zo\xEB (4b)");
    TResultItem* stored = user->Results().Add(TestResult(3, 0));
    ASSERT_TRUE(stored);
    Reports().Diploma(*user, *stored, false, false);
    ASSERT_EQ(shown.size(), 1u);
    const TReportPages& pages = *shown[0];
    ASSERT_EQ(pages.PageCount(), 1);
    const std::string text = PageText(pages, 0);
    EXPECT_EQ(text.rfind("Diploma - printed on ", 0), 0u);
    for (const char* part : {"Zo\xEB (4b) | has taken the typing test | ", "Test: | The fox 3 | ",
                             "Time limit: | No time limit | ", "Net speed: | 38 wpm | ",
                             "Net keystrokes: | 985 | ", "Congratulations!"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    CheckPdf(pages, "diploma");
}

}  // namespace
}  // namespace corv
