#pragma once
// The program's own PDF writer: a PDF 1.2 document in which every page is one grey-scale
// picture of a report page, its streams deflated with zlib. The print preview saves its
// pages through it; it needs no Qt, so corvadm and the benchmarks use it headless.
//
//   TPDFPrint pdf;
//   pdf.FileName = "/tmp/report.pdf";
//   pdf.Title = "Ann";
//   pdf.BeginDoc();
//   pdf.AddImage(0, 0, page1);   // fills the page
//   pdf.NewPage();
//   pdf.AddImage(0, 0, page2);
//   if (!pdf.EndDoc()) Report(pdf.Error());
//
// Texts (title, author, ...) are Windows-1252; any of them gives a valid file.

#include <cstdint>
#include <string>
#include <vector>

namespace corv {

// Rows from top to bottom, one byte per pixel: 0 black, 255 white.
struct TGreyImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;
};

struct TPDFFont {
    int Style = 4;
    int Size = 12;
};

class TPDFPrint {
  public:
    // Each image is kept in memory until the end; a report longer than this is refused
    // whole rather than saved with pages missing.
    static constexpr int kMaxImages = 500;
    // A picture larger than this in either direction is refused.
    static constexpr int kMaxImageSide = 20000;

    std::string FileName;
    std::string Title;
    int PageNumber = 0;  // pages begun so far
    int PageWidth = 612;
    int PageHeight = 792;
    int LineWidth = 1;
    std::string Author = "The Corvella developers";
    std::string Creator = "Corvella";
    std::string Subject = "Report";
    std::string Producer = "Corvella";
    TPDFFont Font;
    bool Compress = true;
    // "YYYYMMDDHHmmSS"; empty means the time of BeginDoc.
    std::string CreationDate;

    void BeginDoc();
    // Places the picture with its top left corner at x, y (points from the page's top left)
    // and stretches it to the page's right and bottom edge. False (and the document will
    // not be written) for an empty, inconsistent or oversized picture or past the limit.
    bool AddImage(int x, int y, const TGreyImage& image);
    // The same, drawn drawWidth x drawHeight points.
    bool AddImage(int x, int y, const TGreyImage& image, int drawWidth, int drawHeight);
    void NewPage();
    // Writes the document to FileName through a temporary file; false with Error() set,
    // and then no file (an older one stays as it was).
    bool EndDoc();
    // The whole document as EndDoc would write it; empty after an earlier error.
    std::string Document();

    const std::string& Error() const { return error_; }
    int ImageCount() const { return static_cast<int>(images_.size()); }

  private:
    struct Image {
        int Width = 0;
        int Height = 0;
        std::string Data;  // as written (deflated when compressing)
    };
    void BeginObject();
    void Line(const std::string& text);
    void Stream(const std::string& dictionary, const std::string& data);
    void FinishPage();
    std::string Pack(const std::string& data);
    void Fail(const std::string& why);

    std::string out_;
    std::vector<size_t> offsets_;
    std::string content_;  // drawing commands of the current page
    std::vector<Image> images_;
    std::string error_;
    bool begun_ = false;
    bool pageOpen_ = false;
};

// A text as a PDF text string: a literal in parentheses for plain ASCII, otherwise
// UTF-16BE in hex with its byte-order mark.
std::string PdfTextString(const std::string& cp1252);

}  // namespace corv
