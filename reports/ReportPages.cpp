#include "reports/ReportPages.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

#include "core/AtomicFile.h"
#include "platform/qt/QtText.h"
#include "reports/PDFPrint.h"

namespace corv {

namespace {

bool printersIgnored = false;

bool PrinterInstalled() {
    if (printersIgnored) return false;
    if (!QPrinterInfo::availablePrinters().isEmpty()) return true;
    // The list can be stale right after a printer was added: ask once more.
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

}  // namespace

void TReportPages::SetPrintersIgnored(bool ignored) {
    printersIgnored = ignored;
}

void TReportPages::Prepare(bool noPrinting, bool noPdf) {
    printingDisabled = noPrinting;
    pdfDisabled = noPdf;
    printerInUse = !printingDisabled && PrinterInstalled();
    pageWidth = kScreenPageWidth;
    pageHeight = kScreenPageHeight;
    pixelsPerInch = kScreenPixelsPerInch;
    if (printerInUse) {
        // Only the geometry: no print job is started.
        QPrinter printer(QPrinter::HighResolution);
        const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
        if (area.width() > 0 && area.height() > 0 && printer.resolution() > 0) {
            pageWidth = area.width();
            pageHeight = area.height();
            pixelsPerInch = printer.resolution();
        }
    }
    pages_.clear();
    NewPage();
}

void TReportPages::NewPage() {
    pages_.emplace_back();
}

void TReportPages::Text(int x, int y, const std::string& text, const TReportFont& font) {
    Text(x, y, ToQt(text), font);
}

void TReportPages::Text(int x, int y, const QString& text, const TReportFont& font) {
    if (pages_.empty()) NewPage();
    TPageStep step;
    step.What = TPageStep::Kind::kText;
    step.X = x;
    step.Y = y;
    step.Text = text;
    step.Font = font;
    pages_.back().push_back(step);
}

void TReportPages::Rule(int x1, int y, int x2, int width) {
    if (pages_.empty()) NewPage();
    TPageStep step;
    step.What = TPageStep::Kind::kRule;
    step.X = x1;
    step.Y = y;
    step.X2 = x2;
    step.Width = width;
    pages_.back().push_back(step);
}

QFont TReportPages::QtFont(const TReportFont& font) const {
    QFont f(QString::fromLatin1(font.Mono ? ReportFonts::kMono : ReportFonts::kSans));
    f.setStyleHint(font.Mono ? QFont::TypeWriter : QFont::SansSerif);
    f.setFixedPitch(font.Mono);
    // Pixels, not points: the page's resolution is not the screen's.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.Points * pixelsPerInch / 72.0))));
    f.setBold(font.Bold);
    f.setUnderline(font.Underline);
    f.setStrikeOut(font.StrikeOut);
    return f;
}

struct TReportPages::CachedMetrics {
    explicit CachedMetrics(const QFont& f) : font(f), metrics(f) {}
    QFont font;
    QFontMetrics metrics;
};

const TReportPages::CachedMetrics& TReportPages::Cached(const TReportFont& font) const {
    const std::string key = std::string(font.Mono ? "m/" : "s/") + std::to_string(font.Points) +
                            "/" + std::to_string(pixelsPerInch) + (font.Bold ? "b" : "") +
                            (font.Underline ? "u" : "") + (font.StrikeOut ? "s" : "");
    for (const auto& [k, cached] : fonts_)
        if (k == key) return *cached;
    fonts_.emplace_back(key, std::make_shared<CachedMetrics>(QtFont(font)));
    return *fonts_.back().second;
}

std::string TReportPages::MissingFonts() {
    const QStringList installed = QFontDatabase::families();
    std::string missing;
    for (const char* family : {ReportFonts::kSans, ReportFonts::kMono})
        if (!installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive))
            missing += (missing.empty() ? "" : ", ") + std::string(family);
    return missing;
}

int TReportPages::TextWidth(const QString& text, const TReportFont& font) const {
    return Cached(font).metrics.horizontalAdvance(text);
}

int TReportPages::TextWidth(const std::string& text, const TReportFont& font) const {
    return TextWidth(ToQt(text), font);
}

int TReportPages::TextHeight(const TReportFont& font) const {
    return Cached(font).metrics.height();
}

void TReportPages::Paint(QPainter& painter, int page) const {
    if (page < 0 || page >= PageCount()) return;
    painter.save();
    painter.setPen(Qt::black);
    for (const TPageStep& step : pages_[static_cast<size_t>(page)]) {
        if (step.What == TPageStep::Kind::kRule) {
            QPen pen(Qt::black);
            pen.setWidth(step.Width);
            pen.setCapStyle(Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(step.X, step.Y, step.X2, step.Y);
            painter.setPen(Qt::black);
        } else {
            const CachedMetrics& f = Cached(step.Font);
            painter.setFont(f.font);
            painter.drawText(QPoint(step.X, step.Y + f.metrics.ascent()), step.Text);
        }
    }
    painter.restore();
}

QImage TReportPages::Render(int page, int width, int height) const {
    QImage image(std::max(1, width), std::max(1, height), QImage::Format_Grayscale8);
    image.fill(255);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.scale(static_cast<double>(image.width()) / pageWidth,
                      static_cast<double>(image.height()) / pageHeight);
        Paint(painter, page);
    }
    // Black and white: what is not white enough is ink.
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) row[x] = row[x] < 160 ? 0 : 255;
    }
    return image;
}

bool TReportPages::SavePdf(const std::string& fileName, std::string& error) const {
    if (pages_.empty()) {
        error = "The report has no pages.";
        return false;
    }
    TPDFPrint pdf;
    pdf.FileName = fileName;
    pdf.Title = title;
    pdf.Compress = true;
    pdf.PageWidth = static_cast<int>(std::lround(pageWidth * 72.0 / pixelsPerInch));
    pdf.PageHeight = static_cast<int>(std::lround(pageHeight * 72.0 / pixelsPerInch));
    const double shrink = std::min(1.0, static_cast<double>(kScreenPixelsPerInch) / pixelsPerInch);
    const int width = static_cast<int>(std::lround(pageWidth * shrink));
    const int height = static_cast<int>(std::lround(pageHeight * shrink));
    pdf.BeginDoc();
    for (int p = 0; p < PageCount(); ++p) {
        if (p > 0) pdf.NewPage();
        const QImage image = Render(p, width, height);
        TGreyImage grey;
        grey.Width = image.width();
        grey.Height = image.height();
        grey.Pixels.resize(static_cast<size_t>(grey.Width) * grey.Height);
        for (int y = 0; y < grey.Height; ++y)
            std::copy_n(image.constScanLine(y), grey.Width,
                        grey.Pixels.begin() + static_cast<ptrdiff_t>(y) * grey.Width);
        if (!pdf.AddImage(0, 0, grey)) break;
    }
    if (!pdf.EndDoc()) {
        error = pdf.Error();
        return false;
    }
    return true;
}

bool TReportPages::SaveBitmap(const std::string& fileName, std::string& error) const {
    if (pages_.empty()) {
        error = "The report has no pages.";
        return false;
    }
    const QImage mono =
        Render(0, pageWidth, pageHeight)
            .convertToFormat(QImage::Format_Mono, {qRgb(0, 0, 0), qRgb(255, 255, 255)},
                             Qt::ThresholdDither);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!mono.save(&buffer, "BMP")) {
            error = "The page could not be made into a bitmap.";
            return false;
        }
    }
    if (!WriteFileAtomic(fileName,
                         std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())))) {
        error = "The bitmap could not be written to " + fileName + ".";
        return false;
    }
    return true;
}

}  // namespace corv
