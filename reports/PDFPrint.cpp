#include "reports/PDFPrint.h"

#include <zlib.h>

#include <cstdio>
#include <ctime>

#include "core/AtomicFile.h"
#include "core/Cp1252.h"

namespace corv {

namespace {

constexpr const char* kEol = "\r\n";

std::string Num(long long n) {
    return std::to_string(n);
}

std::string NowStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

}  // namespace

std::string PdfTextString(const std::string& cp1252) {
    bool plain = true;
    for (unsigned char c : cp1252)
        if (c < 0x20 || c > 0x7E) plain = false;
    if (plain) {
        std::string out = "(";
        for (char c : cp1252) {
            if (c == '(' || c == ')' || c == '\\') out += '\\';
            out += c;
        }
        return out + ")";
    }
    static const char* hex = "0123456789ABCDEF";
    std::string out = "<FEFF";
    for (char32_t cp : Cp1252ToUtf32(cp1252)) {
        // Windows-1252 lies in the basic plane: one UTF-16 unit each.
        for (int shift = 12; shift >= 0; shift -= 4) out += hex[(cp >> shift) & 0xF];
    }
    return out + ">";
}

void TPDFPrint::BeginDoc() {
    out_.clear();
    offsets_.clear();
    content_.clear();
    images_.clear();
    error_.clear();
    begun_ = true;
    pageOpen_ = true;
    PageNumber = 1;
    Line("%PDF-1.2");
    BeginObject();
    Line("<<");
    Line("/Producer " + PdfTextString(Producer));
    Line("/Author " + PdfTextString(Author));
    Line("/CreationDate (D:" + (CreationDate.empty() ? NowStamp() : CreationDate) + ")");
    Line("/Creator " + PdfTextString(Creator));
    Line("/Subject " + PdfTextString(Subject));
    Line("/Title " + PdfTextString(Title));
    Line(">>");
    Line("endobj");
}

bool TPDFPrint::AddImage(int x, int y, const TGreyImage& image) {
    return AddImage(x, y, image, PageWidth - x, PageHeight - y);
}

bool TPDFPrint::AddImage(int x, int y, const TGreyImage& image, int drawWidth, int drawHeight) {
    if (!begun_) BeginDoc();
    if (!error_.empty()) return false;
    if (image.Width <= 0 || image.Height <= 0 || image.Width > kMaxImageSide ||
        image.Height > kMaxImageSide) {
        Fail("A page picture of " + Num(image.Width) + " x " + Num(image.Height) +
             " pixels cannot be saved as PDF.");
        return false;
    }
    if (image.Pixels.size() != static_cast<size_t>(image.Width) * image.Height) {
        Fail("A page picture is incomplete and cannot be saved as PDF.");
        return false;
    }
    if (static_cast<int>(images_.size()) >= kMaxImages) {
        Fail("The report has more than " + Num(kMaxImages) +
             " pages, too many to save as one PDF document.");
        return false;
    }
    const std::string raw(image.Pixels.begin(), image.Pixels.end());
    images_.push_back({image.Width, image.Height, Pack(raw)});
    if (!error_.empty()) return false;
    const int n = static_cast<int>(images_.size());
    const int pdfY = PageHeight - y - drawHeight;
    content_ += std::string("q") + kEol;
    content_ +=
        Num(drawWidth) + " 0 0 " + Num(drawHeight) + " " + Num(x) + " " + Num(pdfY) + " cm" + kEol;
    content_ += "/Im" + Num(n) + " Do" + kEol;
    content_ += std::string("Q") + kEol;
    return true;
}

void TPDFPrint::NewPage() {
    if (!begun_) BeginDoc();
    FinishPage();
    pageOpen_ = true;
    ++PageNumber;
}

std::string TPDFPrint::Document() {
    if (!begun_) BeginDoc();
    if (!error_.empty()) return {};
    FinishPage();
    const int pages = static_cast<int>((offsets_.size() - 1) / 2);
    const int images = static_cast<int>(images_.size());
    const int outlines = 2 * pages + 2;
    const int font = outlines + 1;
    const int pagesObj = font + 1;
    const int resources = pagesObj + 1;
    const int firstImage = resources + 1;
    const int firstPage = firstImage + images;
    const int catalog = firstPage + pages;

    BeginObject();
    Line("<< /Type /Outlines");
    Line("/Count 0");
    Line(">>");
    Line("endobj");

    BeginObject();
    Line("<< /Type /Font");
    Line("/Subtype /Type1");
    Line("/Name /F1");
    Line("/BaseFont /Courier");
    Line("/Encoding /WinAnsiEncoding");
    Line(">>");
    Line("endobj");

    BeginObject();
    Line("<< /Type /Pages");
    Line("/Kids [");
    for (int p = 0; p < pages; ++p) Line(Num(firstPage + p) + " 0 R");
    Line("]");
    Line("/Count " + Num(pages));
    Line(">>");
    Line("endobj");

    BeginObject();
    Line("<< /ProcSet [ /PDF /Text /ImageC]");
    Line("/XObject << ");
    for (int i = 0; i < images; ++i) Line("/Im" + Num(i + 1) + " " + Num(firstImage + i) + " 0 R");
    Line(">>");
    Line("/Font << ");
    Line("/F1 " + Num(font) + " 0 R ");
    Line(">>");
    Line(">>");
    Line("endobj");

    for (int i = 0; i < images; ++i) {
        const Image& image = images_[static_cast<size_t>(i)];
        std::string dict = "<< /Type /XObject" + std::string(kEol) + "/Subtype /Image" + kEol +
                           "/Width " + Num(image.Width) + kEol + "/Height " + Num(image.Height) +
                           kEol + "/ColorSpace /DeviceGray" + kEol + "/BitsPerComponent 8" + kEol +
                           "/Length " + Num(static_cast<long long>(image.Data.size())) + kEol +
                           "/Name /Im" + Num(i + 1) + kEol;
        if (Compress) dict += std::string("/Filter [/FlateDecode]") + kEol;
        dict += ">>";
        BeginObject();
        Stream(dict, image.Data);
        Line("endobj");
    }

    for (int p = 0; p < pages; ++p) {
        BeginObject();
        Line("<< /Type /Page");
        Line("/Parent " + Num(pagesObj) + " 0 R");
        Line("/MediaBox [ 0 0 " + Num(PageWidth) + " " + Num(PageHeight) + "]");
        Line("/Contents " + Num(2 * (p + 1)) + " 0 R");
        Line("/Resources " + Num(resources) + " 0 R");
        Line(">>");
        Line("endobj");
    }

    BeginObject();
    Line("<< /Type /Catalog");
    Line("/Pages " + Num(pagesObj) + " 0 R");
    Line("/Outlines " + Num(outlines) + " 0 R");
    Line(">>");
    Line("endobj");

    const size_t xref = out_.size();
    const int count = static_cast<int>(offsets_.size());
    Line("xref");
    Line("0 " + Num(count + 1));
    Line("0000000000 65535 f");
    for (size_t offset : offsets_) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n", offset);
        Line(entry);
    }
    Line("trailer");
    Line("<< /Size " + Num(count + 1));
    Line("/Root " + Num(catalog) + " 0 R");
    Line("/Info 1 0 R");
    Line(">>");
    Line("startxref");
    Line(Num(static_cast<long long>(xref)));
    Line("%%EOF");

    std::string document;
    document.swap(out_);
    begun_ = false;
    return document;
}

bool TPDFPrint::EndDoc() {
    const std::string document = Document();
    if (!error_.empty()) return false;
    if (FileName.empty()) {
        Fail("No file name was given for the PDF document.");
        return false;
    }
    if (!WriteFileAtomic(FileName, document)) {
        Fail("The PDF document could not be written to " + FileName + ".");
        return false;
    }
    return true;
}

void TPDFPrint::BeginObject() {
    offsets_.push_back(out_.size());
    Line(Num(static_cast<long long>(offsets_.size())) + " 0 obj");
}

void TPDFPrint::Line(const std::string& text) {
    out_ += text;
    out_ += kEol;
}

void TPDFPrint::Stream(const std::string& dictionary, const std::string& data) {
    Line(dictionary);
    Line("stream");
    out_ += data;
    // The end of line before "endstream" is not part of the data.
    Line("");
    Line("endstream");
}

void TPDFPrint::FinishPage() {
    if (!pageOpen_) return;
    pageOpen_ = false;
    const std::string data = Pack(content_);
    content_.clear();
    const long long lengthObj = static_cast<long long>(offsets_.size()) + 2;
    std::string dict = "<< /Length " + Num(lengthObj) + " 0 R" + kEol;
    if (Compress) dict += std::string("/Filter [/FlateDecode]") + kEol;
    dict += " >>";
    BeginObject();
    Stream(dict, data);
    Line("endobj");
    BeginObject();
    Line(Num(static_cast<long long>(data.size())));
    Line("endobj");
}

std::string TPDFPrint::Pack(const std::string& data) {
    if (!Compress) return data;
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                  reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        Fail("The page could not be compressed.");
        return {};
    }
    packed.resize(size);
    return packed;
}

void TPDFPrint::Fail(const std::string& why) {
    if (error_.empty()) error_ = why;
}

}  // namespace corv
