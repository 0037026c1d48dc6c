#include "reports/tests/ReportTestTools.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "testsupport/TempDir.h"

namespace corv::reporttest {

std::string Run(const std::string& command, int* exitCode) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return "cannot run: " + command;
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
    const int status = ::pclose(pipe);
    if (exitCode) *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::string QpdfProblems(const std::string& pdf) {
    int code = 0;
    const std::string out = Run("qpdf --check '" + pdf + "'", &code);
    if (code != 0 || out.find("WARNING") != std::string::npos ||
        out.find("No syntax or stream encoding errors found") == std::string::npos)
        return out.empty() ? "qpdf failed" : out;
    return {};
}

std::string PdfInfo(const std::string& pdf, const std::string& field) {
    std::istringstream lines(Run("pdfinfo '" + pdf + "'"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(field + ":", 0) != 0) continue;
        const size_t at = line.find_first_not_of(' ', field.size() + 1);
        return at == std::string::npos ? std::string() : line.substr(at);
    }
    return "(no " + field + ")";
}

TGreyImage RenderedPage(const std::string& pdf, int page, int width, int height) {
    const std::string base = pdf + ".page" + std::to_string(page);
    Run("pdftoppm -gray -singlefile -f " + std::to_string(page) + " -l " + std::to_string(page) +
        " -scale-to-x " + std::to_string(width) + " -scale-to-y " + std::to_string(height) + " '" +
        pdf + "' '" + base + "'");
    const std::string pgm = test::ReadFile(base + ".pgm");
    TGreyImage image;
    // "P5\n<w> <h>\n255\n" then the bytes.
    std::istringstream header(pgm);
    std::string magic;
    int maxValue = 0;
    header >> magic >> image.Width >> image.Height >> maxValue;
    if (magic != "P5" || image.Width <= 0 || image.Height <= 0) return {};
    const size_t start = static_cast<size_t>(header.tellg()) + 1;
    const size_t size = static_cast<size_t>(image.Width) * image.Height;
    if (pgm.size() < start + size) return {};
    image.Pixels.assign(pgm.begin() + static_cast<std::ptrdiff_t>(start),
                        pgm.begin() + static_cast<std::ptrdiff_t>(start + size));
    std::remove((base + ".pgm").c_str());
    return image;
}

double Mismatch(const TGreyImage& a, const TGreyImage& b) {
    if (a.Width != b.Width || a.Height != b.Height || a.Pixels.empty()) return 1.0;
    // A renderer may place an edge half a pixel off: a pixel differs only when nothing
    // around it in the other picture matches it.
    auto at = [](const TGreyImage& image, int x, int y) {
        return int(image.Pixels[static_cast<size_t>(y) * image.Width + x]);
    };
    size_t differing = 0;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x) {
            const int want = at(a, x, y);
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy)
                for (int dx = -1; dx <= 1 && !matched; ++dx) {
                    const int nx = x + dx;
                    const int ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < b.Width && ny < b.Height)
                        matched = std::abs(want - at(b, nx, ny)) <= 127;
                }
            if (!matched) ++differing;
        }
    return static_cast<double>(differing) / static_cast<double>(a.Pixels.size());
}

}  // namespace corv::reporttest
