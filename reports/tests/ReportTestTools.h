#pragma once
// What the report tests ask of the real PDF tools (qpdf, poppler-utils).

#include <string>

#include "reports/PDFPrint.h"

namespace corv::reporttest {

// Runs a shell command; its standard output and error, and its exit code.
std::string Run(const std::string& command, int* exitCode = nullptr);
// Empty when qpdf --check finds the file sound with no warning, else what it said.
std::string QpdfProblems(const std::string& pdf);
// pdfinfo's value of a field ("Pages", "Title").
std::string PdfInfo(const std::string& pdf, const std::string& field);
// Page `page` (from 1) rendered by pdftoppm in grey at exactly width x height pixels.
TGreyImage RenderedPage(const std::string& pdf, int page, int width, int height);
// The share of pixels of `a` with no pixel in the 3 x 3 around it in `b` within half the
// grey range.
double Mismatch(const TGreyImage& a, const TGreyImage& b);

}  // namespace corv::reporttest
