#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "core/Cp1252.h"
#include "reports/PDFPrint.h"
#include "reports/tests/ReportTestTools.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using reporttest::Mismatch;
using reporttest::PdfInfo;
using reporttest::QpdfProblems;
using reporttest::RenderedPage;
using test::ReadFile;
using test::TempDir;

// A picture with a black frame and a black block whose place depends on `seed`.
TGreyImage Picture(int width, int height, int seed) {
    TGreyImage image;
    image.Width = width;
    image.Height = height;
    image.Pixels.assign(static_cast<size_t>(width) * height, 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool frame = x < 4 || y < 4 || x >= width - 4 || y >= height - 4;
            const bool block = x >= 20 + seed * 30 && x < 60 + seed * 30 && y >= 40 && y < 90;
            if (frame || block) image.Pixels[static_cast<size_t>(y) * width + x] = 0;
        }
    return image;
}

// The byte offset of each "N 0 obj" line, from 1.
std::vector<size_t> ObjectOffsets(const std::string& pdf) {
    std::vector<size_t> offsets;
    for (int n = 1;; ++n) {
        const std::string mark = "\r\n" + std::to_string(n) + " 0 obj\r\n";
        const size_t at = pdf.find(mark);
        if (at == std::string::npos) break;
        offsets.push_back(at + 2);
    }
    return offsets;
}

TEST(PDFPrint, OnePageHasTheObjectsInTheirOrderAndAValidCrossReference) {
    TempDir dir;
    TPDFPrint pdf;
    pdf.FileName = dir / "one.pdf";
    pdf.Title = "Ann";
    pdf.CreationDate = "20260301101500";
    pdf.BeginDoc();
    ASSERT_TRUE(pdf.AddImage(0, 0, Picture(200, 260, 0)));
    ASSERT_TRUE(pdf.EndDoc()) << pdf.Error();

    const std::string bytes = ReadFile(pdf.FileName);
    EXPECT_EQ(bytes.rfind("%PDF-1.2\r\n", 0), 0u);
    const std::vector<size_t> at = ObjectOffsets(bytes);
    ASSERT_EQ(at.size(), 10u);
    const char* starts[] = {"<<\r\n/Producer (Corvella)",
                            "<< /Length 3 0 R",
                            "",
                            "<< /Type /Outlines",
                            "<< /Type /Font",
                            "<< /Type /Pages",
                            "<< /ProcSet [ /PDF /Text /ImageC]",
                            "<< /Type /XObject",
                            "<< /Type /Page\r\n",
                            "<< /Type /Catalog"};
    for (size_t i = 0; i < at.size(); ++i) {
        const size_t body = bytes.find("\r\n", at[i]) + 2;
        EXPECT_EQ(bytes.compare(body, std::strlen(starts[i]), starts[i]), 0) << "object " << i + 1;
    }
    // Each xref entry names its object's offset.
    const size_t xref = bytes.rfind("\r\nxref\r\n") + 2;
    EXPECT_NE(bytes.find("startxref\r\n" + std::to_string(xref) + "\r\n%%EOF\r\n"),
              std::string::npos);
    EXPECT_NE(bytes.find("0 11\r\n0000000000 65535 f\r\n", xref), std::string::npos);
    for (size_t i = 0; i < at.size(); ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", at[i]);
        EXPECT_NE(bytes.find(entry, xref), std::string::npos) << "object " << i + 1;
    }
    EXPECT_NE(bytes.find("<< /Size 11\r\n/Root 10 0 R\r\n/Info 1 0 R\r\n>>"), std::string::npos);
    EXPECT_NE(bytes.find("/CreationDate (D:20260301101500)"), std::string::npos);
    EXPECT_NE(bytes.find("/MediaBox [ 0 0 612 792]"), std::string::npos);

    EXPECT_EQ(QpdfProblems(pdf.FileName), "");
    EXPECT_EQ(PdfInfo(pdf.FileName, "Pages"), "1");
    EXPECT_EQ(PdfInfo(pdf.FileName, "Title"), "Ann");
}

TEST(PDFPrint, WithoutCompressionTheStreamsAreTheRawBytes) {
    TempDir dir;
    TPDFPrint pdf;
    pdf.FileName = dir / "raw.pdf";
    pdf.Compress = false;
    pdf.BeginDoc();
    TGreyImage image = Picture(16, 8, 0);
    for (size_t i = 0; i < image.Pixels.size(); ++i) image.Pixels[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(pdf.AddImage(0, 0, image));
    ASSERT_TRUE(pdf.EndDoc()) << pdf.Error();
    const std::string bytes = ReadFile(pdf.FileName);
    EXPECT_EQ(bytes.find("/Filter"), std::string::npos);
    const std::string raw(image.Pixels.begin(), image.Pixels.end());
    EXPECT_NE(bytes.find("stream\r\n" + raw + "\r\nendstream"), std::string::npos);
    EXPECT_NE(bytes.find("stream\r\nq\r\n612 0 0 792 0 0 cm\r\n/Im1 Do\r\nQ\r\n\r\nendstream"),
              std::string::npos);
    EXPECT_EQ(QpdfProblems(pdf.FileName), "");
}

TEST(PDFPrint, EveryPageShowsItsOwnPictureFillingThePage) {
    TempDir dir;
    TPDFPrint pdf;
    pdf.FileName = dir / "three.pdf";
    pdf.PageWidth = 300;
    pdf.PageHeight = 390;
    pdf.BeginDoc();
    std::vector<TGreyImage> pictures;
    for (int p = 0; p < 3; ++p) {
        if (p > 0) pdf.NewPage();
        pictures.push_back(Picture(200, 260, p));
        ASSERT_TRUE(pdf.AddImage(0, 0, pictures.back()));
    }
    ASSERT_TRUE(pdf.EndDoc()) << pdf.Error();
    EXPECT_EQ(QpdfProblems(pdf.FileName), "");
    EXPECT_EQ(PdfInfo(pdf.FileName, "Pages"), "3");
    for (int p = 0; p < 3; ++p)
        EXPECT_LT(Mismatch(RenderedPage(pdf.FileName, p + 1, 200, 260), pictures[p]), 0.01)
            << "page " << p + 1;
    const std::string bytes = ReadFile(pdf.FileName);
    for (const char* name : {"/Im1 12 0 R", "/Im2 13 0 R", "/Im3 14 0 R"})
        EXPECT_NE(bytes.find(name), std::string::npos) << name;
}

TEST(PDFPrint, AnyTitleGivesAValidFile) {
    const struct {
        std::string title;  // Windows-1252
        std::string shown;  // UTF-8, as pdfinfo prints it
    } cases[] = {
        {"Ann (the best) \\ \"x\"", "Ann (the best) \\ \"x\""},
        {")(", ")("},
        {"Zo\xEB \xD8rsted \x80", "Zo\xC3\xAB \xC3\x98rsted \xE2\x82\xAC"},
        {"line\r\nbreak", "line\r\nbreak"},
        {"", ""},
    };
    TempDir dir;
    int n = 0;
    for (const auto& c : cases) {
        TPDFPrint pdf;
        pdf.FileName = dir / ("t" + std::to_string(++n) + ".pdf");
        pdf.Title = c.title;
        pdf.BeginDoc();
        ASSERT_TRUE(pdf.AddImage(0, 0, Picture(40, 40, 0)));
        ASSERT_TRUE(pdf.EndDoc()) << pdf.Error();
        EXPECT_EQ(QpdfProblems(pdf.FileName), "") << c.title;
        if (c.title.find('\n') == std::string::npos) {
            EXPECT_EQ(PdfInfo(pdf.FileName, "Title"), c.shown) << c.title;
        }
    }
}

TEST(PDFPrint, BadPicturesAndFailedWritesAreReportedAndWriteNothing) {
    TempDir dir;
    const std::string target = dir / "kept.pdf";
    test::WriteFile(target, "older file");
    TGreyImage shortPixels = Picture(30, 30, 0);
    shortPixels.Pixels.resize(100);
    const struct {
        const char* what;
        TGreyImage image;
        const char* says;
    } cases[] = {
        {"empty", TGreyImage{}, "cannot be saved"},
        {"incomplete", shortPixels, "incomplete"},
        {"huge", TGreyImage{TPDFPrint::kMaxImageSide + 1, 1, {}}, "cannot be saved"},
    };
    for (const auto& c : cases) {
        TPDFPrint pdf;
        pdf.FileName = target;
        pdf.BeginDoc();
        EXPECT_FALSE(pdf.AddImage(0, 0, c.image)) << c.what;
        EXPECT_FALSE(pdf.EndDoc()) << c.what;
        EXPECT_NE(pdf.Error().find(c.says), std::string::npos) << c.what << ": " << pdf.Error();
        EXPECT_EQ(ReadFile(target), "older file") << c.what;
    }

    TPDFPrint missingFolder;
    missingFolder.FileName = dir / "no/such/folder/x.pdf";
    missingFolder.BeginDoc();
    ASSERT_TRUE(missingFolder.AddImage(0, 0, Picture(40, 40, 0)));
    EXPECT_FALSE(missingFolder.EndDoc());
    EXPECT_NE(missingFolder.Error().find("could not be written"), std::string::npos);
}

TEST(PDFPrint, AReportPastTheImageLimitIsRefusedWhole) {
    TempDir dir;
    TPDFPrint pdf;
    pdf.FileName = dir / "long.pdf";
    pdf.BeginDoc();
    const TGreyImage tiny = Picture(8, 8, 0);
    for (int p = 0; p < TPDFPrint::kMaxImages; ++p) {
        if (p > 0) pdf.NewPage();
        ASSERT_TRUE(pdf.AddImage(0, 0, tiny)) << p;
    }
    pdf.NewPage();
    EXPECT_FALSE(pdf.AddImage(0, 0, tiny));
    EXPECT_FALSE(pdf.EndDoc());
    EXPECT_NE(pdf.Error().find("more than 500 pages"), std::string::npos) << pdf.Error();
    struct stat st {};
    EXPECT_NE(::stat(pdf.FileName.c_str(), &st), 0);
}

}  // namespace
}  // namespace corv
