#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>
#include <QToolButton>

#include "core/Localize.h"
#include "reports/PreviewForm.h"
#include "reports/ReportPages.h"
#include "reports/tests/ReportTestTools.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::TempDir;

TEST(PreviewZoom, FitsAndPercentagesGiveThePageRectangle) {
    Localization().Reset();
    Localization().SetString(1002, "Page width");
    Localization().SetString(1003, "Whole page");
    const QSize client(1000, 800);
    const QSize page(2400, 3300);  // a 300 pixels per inch printer page
    const struct {
        const char* choice;
        QRect rect;
    } cases[] = {
        {"Page width", QRect(40, 40, 920, 920 * 3300 / 2400)},
        {"Whole page", QRect(40, 40, 680 * 2400 / 3300, 680)},
        {"75%", QRect(40, 40, 600, 825)},  // a quarter of the pixels on a 100 ppi screen
        {"200%", QRect(40, 40, 1600, 2200)},
        {"150", QRect(40, 40, 1200, 1650)},
    };
    for (const auto& c : cases) {
        TPreviewZoom zoom;
        ASSERT_TRUE(zoom.Choose(c.choice)) << c.choice;
        EXPECT_EQ(zoom.PageRect(client, page, 100, 300), c.rect) << c.choice;
    }
    TPreviewZoom zoom;
    ASSERT_TRUE(zoom.Choose("50%"));
    for (const char* ignored : {"abc", "", "%", "-5%", "0%"})
        EXPECT_FALSE(zoom.Choose(ignored)) << ignored;
    EXPECT_EQ(zoom.percent, 50);
    Localization().Reset();
}

class PreviewFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Localization().Reset();
        ASSERT_EQ(Localization().LoadFile(std::string(CORV_SOURCE_DIR) + "/install/language.eng",
                                          TLocalize::kBase),
                  0);
        TReportPages::SetPrintersIgnored(true);
    }
    void TearDown() override {
        TPreviewForm::SetFileChooser(nullptr);
        Localization().Reset();
    }
    // Three pages, each naming its number in large letters.
    void Fill(TReportPages& pages, bool noPrinting = false, bool noPdf = false) {
        pages.Prepare(noPrinting, noPdf);
        pages.title = "Ann";
        for (int p = 0; p < 3; ++p) {
            if (p > 0) pages.NewPage();
            TReportFont big;
            big.Points = 28;
            big.Bold = true;
            pages.Text(80, 80, "Page " + std::to_string(p + 1) + " of the report", big);
            pages.Rule(80, 200, pages.pageWidth - 80, 6);
            TReportFont body;
            for (int line = 0; line < 20; ++line)
                pages.Text(80, 240 + line * 40,
                           "A line of the report, number " + std::to_string(line + 1), body);
        }
    }
    void Screenshot(QWidget& w, const std::string& name) {
        const char* dirName = std::getenv("CORV_SCREENSHOTS");
        if (!dirName) return;
        QDir().mkpath(QString::fromLocal8Bit(dirName));
        QCoreApplication::processEvents();
        const std::string path = std::string(dirName) + "/PreviewForm-" + name + ".png";
        EXPECT_TRUE(w.grab().save(QString::fromStdString(path)));
    }
    testsupport::RecordingUi ui;
    TempDir dir;
};

TEST_F(PreviewFormTest, PagesTurnAndWithoutAPrinterThePreviewSaysSoOnce) {
    TReportPages pages;
    Fill(pages);
    TPreviewForm form(pages);
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    auto* prev = form.findChild<QToolButton*>("PrevPageBtn");
    auto* next = form.findChild<QToolButton*>("NextPageBtn");
    auto* print = form.findChild<QToolButton*>("PrintBtn");
    ASSERT_TRUE(prev && next && print);
    EXPECT_EQ(form.StatusText(), "Page 1 / 3");
    EXPECT_FALSE(prev->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    EXPECT_EQ(form.NoticeText(), Str(1005));
    Screenshot(form, "page1");
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(form.StatusText(), "Page 3 / 3");
    EXPECT_TRUE(prev->isEnabled());
    EXPECT_FALSE(next->isEnabled());
    Screenshot(form, "page3");

    EXPECT_TRUE(print->isEnabled());
    QTest::mouseClick(print, Qt::LeftButton);
    QTest::mouseClick(print, Qt::LeftButton);
    ASSERT_EQ(ui.messages.size(), 1u) << "the missing printer is explained once";
    EXPECT_TRUE(ui.ShowedString(1005));

    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PreviewFormTest, SavesAllPagesAsPdfAndTheFirstAsABitmap) {
    TReportPages pages;
    Fill(pages);
    TPreviewForm form(pages);
    std::string target = dir / "report.pdf";
    TPreviewForm::SetFileChooser([&] { return target; });
    form.SpeedButtonClick();
    EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
    EXPECT_EQ(reporttest::QpdfProblems(target), "");
    EXPECT_EQ(reporttest::PdfInfo(target, "Pages"), "3");
    EXPECT_EQ(reporttest::PdfInfo(target, "Title"), "Ann");
    EXPECT_EQ(reporttest::PdfInfo(target, "Page size"), "595 x 842 pts (A4)");

    target = dir / "first.BMP";
    form.SpeedButtonClick();
    QImage bitmap(QString::fromStdString(target), "BMP");
    ASSERT_FALSE(bitmap.isNull());
    EXPECT_EQ(bitmap.size(), QSize(pages.pageWidth, pages.pageHeight));
    EXPECT_EQ(bitmap.depth(), 1);
    const QImage expected = pages.Render(0, pages.pageWidth, pages.pageHeight);
    int differing = 0;
    for (int y = 0; y < bitmap.height(); y += 3)
        for (int x = 0; x < bitmap.width(); x += 3)
            if ((qGray(bitmap.pixel(x, y)) < 128) != (qGray(expected.pixel(x, y)) < 128))
                ++differing;
    EXPECT_EQ(differing, 0) << "the bitmap is the first page";

    target = dir / "no/such/folder/report.pdf";
    form.SpeedButtonClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.LastText().find("could not be written"), std::string::npos) << ui.LastText();
}

// A printer's page at 300 pixels per inch still fills the PDF page, at 150.
TEST_F(PreviewFormTest, APrinterSizedPageFillsThePdfPage) {
    TReportPages pages;
    pages.Prepare(false, false);
    pages.pageWidth = 2480;
    pages.pageHeight = 3508;
    pages.pixelsPerInch = 300;
    TReportFont big;
    big.Points = 40;
    pages.Text(200, 200, std::string("Corner to corner"), big);
    pages.Rule(0, 3400, 2480, 12);
    const std::string pdf = dir / "printer.pdf";
    std::string error;
    ASSERT_TRUE(pages.SavePdf(pdf, error)) << error;
    EXPECT_EQ(reporttest::QpdfProblems(pdf), "");
    EXPECT_EQ(reporttest::PdfInfo(pdf, "Page size"), "595 x 842 pts (A4)");
    const QImage page = pages.Render(0, 1240, 1754);
    TGreyImage expected{1240, 1754, {}};
    for (int y = 0; y < 1754; ++y)
        expected.Pixels.insert(expected.Pixels.end(), page.constScanLine(y),
                               page.constScanLine(y) + 1240);
    EXPECT_LT(reporttest::Mismatch(reporttest::RenderedPage(pdf, 1, 1240, 1754), expected), 0.002);
}

TEST_F(PreviewFormTest, DisabledPrintingAndPdfDisableTheirButtons) {
    TReportPages pages;
    Fill(pages, true, true);
    TPreviewForm form(pages);
    form.show();
    EXPECT_FALSE(form.findChild<QToolButton*>("PrintBtn")->isEnabled());
    EXPECT_FALSE(form.findChild<QToolButton*>("PDFButton")->isEnabled());
    EXPECT_EQ(form.NoticeText(), "") << "nothing to say about a printer that is not wanted";
    bool asked = false;
    TPreviewForm::SetFileChooser([&] {
        asked = true;
        return std::string(dir / "x.pdf");
    });
    form.SpeedButtonClick();
    EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace corv
