#pragma once
// The pages of one report as the preview shows, prints and saves them. A page is a list
// of drawing steps (texts and rules) in the page's device pixels, replayed at any scale
// onto the screen, a printer or a black-and-white picture; TReports fills the pages, the
// preview (TPreviewForm) shows them, corvadm saves them without a display.
//
// Without a printer (or with printing disabled) the pages are a fixed portrait page:
// A4 at 150 pixels per inch.

#include <QFont>
#include <QImage>
#include <QString>
#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace corv {

// The fonts the reports name, from Debian packages in place of the Windows fonts.
namespace ReportFonts {
inline constexpr const char* kSans = "Liberation Sans";  // metrics of Arial
inline constexpr const char* kMono = "Liberation Mono";  // metrics of Courier New
}  // namespace ReportFonts

struct TReportFont {
    bool Mono = false;  // the fixed-pitch font, else the sans-serif one
    double Points = 10;
    bool Bold = false;
    bool Underline = false;
    bool StrikeOut = false;
};

struct TPageStep {
    enum class Kind { kText, kRule };
    Kind What = Kind::kText;
    int X = 0;
    int Y = 0;      // text: top of the line; rule: its middle
    int X2 = 0;     // rule: end
    int Width = 0;  // rule: pen width in pixels
    QString Text;
    TReportFont Font;
};

class TReportPages {
  public:
    static constexpr int kScreenPageWidth = 1240;
    static constexpr int kScreenPageHeight = 1754;
    static constexpr int kScreenPixelsPerInch = 150;

    // Decides whether the printer is used (printing not disabled and one installed) and
    // takes the page geometry from it, else the fixed portrait page. Starts page 1.
    void Prepare(bool printingDisabled, bool pdfDisabled);
    void NewPage();

    // Drawing on the newest page (Windows-1252 or Qt text).
    void Text(int x, int y, const std::string& text, const TReportFont& font);
    void Text(int x, int y, const QString& text, const TReportFont& font);
    void Rule(int x1, int y, int x2, int width);

    // The font at the page's resolution, and measures with it.
    QFont QtFont(const TReportFont& font) const;
    int TextWidth(const QString& text, const TReportFont& font) const;
    int TextWidth(const std::string& text, const TReportFont& font) const;
    int TextHeight(const TReportFont& font) const;

    // One page onto a painter whose coordinates are the page's pixels.
    void Paint(QPainter& painter, int page) const;
    // The page stretched into a black-and-white picture of that size (white 255, black 0).
    QImage Render(int page, int width, int height) const;

    // The PDF: each page as a picture at no more than 150 pixels per inch on a page of the
    // report's size. The bitmap: the first page only, 1 bit black and white. False with
    // the reason in `error`; a failed save leaves no file.
    bool SavePdf(const std::string& fileName, std::string& error) const;
    bool SaveBitmap(const std::string& fileName, std::string& error) const;

    int PageCount() const { return static_cast<int>(pages_.size()); }
    const std::vector<TPageStep>& Steps(int page) const {
        return pages_[static_cast<size_t>(page)];
    }

    int pageWidth = kScreenPageWidth;
    int pageHeight = kScreenPageHeight;
    int pixelsPerInch = kScreenPixelsPerInch;
    bool printingDisabled = false;
    bool pdfDisabled = false;
    bool printerInUse = false;
    std::string title;  // Windows-1252; print job name and PDF title

    // The report fonts that are not installed (others stand in for them), for a notice;
    // empty when all are there.
    static std::string MissingFonts();

    // Tests and headless tools: the installed printers are not asked.
    static void SetPrintersIgnored(bool ignored);

  private:
    struct CachedMetrics;
    const CachedMetrics& Cached(const TReportFont& font) const;

    std::vector<std::vector<TPageStep>> pages_;
    // Fonts and their metrics by description: a long typed text measures every character.
    mutable std::vector<std::pair<std::string, std::shared_ptr<CachedMetrics>>> fonts_;
};

}  // namespace corv
