// The "$" header reader and the line readers of the text file classes, fed any bytes.
// Besides "no crash", the readers must agree with the plain line loader: the body lines of
// a file are the loader's lines after the header, and the header takes at most 15 (text
// file) or 8 (stream file) lines.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Cp1252.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "fuzz/FuzzSupport.h"

using namespace corv;

namespace {

constexpr size_t kTextHeaderMax = 15;
constexpr size_t kStreamHeaderMax = 8;

// True when `body` is what is left of `all` after at most `maxHeader` leading lines.
bool IsBodyOf(const std::vector<std::string>& body, const std::vector<std::string>& all,
              size_t maxHeader) {
    if (body.size() > all.size()) return false;
    size_t skipped = all.size() - body.size();
    return skipped <= maxHeader && std::equal(body.begin(), body.end(), all.begin() + skipped);
}

std::vector<std::string> Unscrambled(std::vector<std::string> lines) {
    for (auto& l : lines) Unscramble(l);
    return lines;
}

void CheckHeaderFields(const TFile& f) {
    CORV_FUZZ_CHECK(f.hasVersion == !TrimBlanks(f.version).empty());
    CORV_FUZZ_CHECK(f.language == ToUpper(f.language));
}

void TextFileReads(const std::string& path, const std::vector<std::string>& raw, size_t size) {
    TTextFile file;
    CORV_FUZZ_CHECK(file.Open(path, 1) == kFileOk);
    CORV_FUZZ_CHECK(file.size == static_cast<int32_t>(size));
    CheckHeaderFields(file);
    CORV_FUZZ_CHECK(file.language.empty());  // only stream files read "$language"

    std::vector<std::string> body;
    std::string line;
    while (file.Position() < static_cast<int64_t>(size)) {
        int rc = file.ReadLine(line);
        CORV_FUZZ_CHECK(rc == kFileOk || rc == kFileEnd);
        body.push_back(line);
        if (rc != kFileOk) break;
    }
    CORV_FUZZ_CHECK(file.ReadLine(line) == kFileEnd && line.empty());
    CORV_FUZZ_CHECK(IsBodyOf(body, file.scrambled ? Unscrambled(raw) : raw, kTextHeaderMax));
    // Reads after the end keep the end status and write nothing anywhere.
    CORV_FUZZ_CHECK(file.ReadRest(line) == kFileEnd);
    CORV_FUZZ_CHECK(file.WriteLine("x") == kFileEnd);
    CORV_FUZZ_CHECK(file.Close() == kFileClosed);
    CORV_FUZZ_CHECK(file.ReadLine(line) == kFileClosed);
}

// A few lines, then the rest in one piece: the two together are the whole body.
void TextFileReadRest(const std::string& path, size_t lines) {
    TTextFile whole, part;
    CORV_FUZZ_CHECK(whole.Open(path, 1) == kFileOk && part.Open(path, 1) == kFileOk);
    std::string all, piece, line;
    whole.ReadRest(all);
    for (size_t i = 0; i < lines; ++i) {
        int rc = part.ReadLine(line);
        piece += line + '\n';
        if (rc != kFileOk) break;
    }
    std::string rest;
    part.ReadRest(rest);
    // Line ends differ (the rest keeps them raw), so compare only the bytes that are no line end.
    auto strip = [](std::string s) {
        s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }),
                s.end());
        return s;
    };
    if (!whole.scrambled) CORV_FUZZ_CHECK(strip(piece + rest) == strip(all));
}

// Lines written by the text writer come back through the loader, each cut to 250 bytes.
void TextFileWriteBack(const std::string& dir, const std::vector<std::string>& raw) {
    const std::string out = dir + "/out.txt";
    {
        TTextFile file;
        CORV_FUZZ_CHECK(file.Open(out, 2) == kFileOk);
        for (const auto& l : raw) CORV_FUZZ_CHECK(file.WriteLine(l) == kFileOk);
        CORV_FUZZ_CHECK(file.Close() == kFileClosed);
        CORV_FUZZ_CHECK(file.WriteLine("after close") == kFileClosed);
    }
    std::vector<std::string> back;
    CORV_FUZZ_CHECK(TStreamFile::LoadLines(back, out) == 1);
    CORV_FUZZ_CHECK(back.size() == raw.size());
    for (size_t i = 0; i < raw.size(); ++i) CORV_FUZZ_CHECK(back[i] == raw[i].substr(0, 250));
}

void StreamLines(const std::string& path, const std::vector<std::string>& raw, size_t size,
                 bool skipHeader) {
    TStreamFile file;
    CORV_FUZZ_CHECK(file.Open(path, 1, skipHeader) == kFileOk);
    CORV_FUZZ_CHECK(file.size == static_cast<int32_t>(size));
    CheckHeaderFields(file);
    CORV_FUZZ_CHECK(file.durationList.empty());
    std::vector<std::string> body;
    std::string line;
    for (;;) {
        int rc = file.ReadLongLine(line);
        CORV_FUZZ_CHECK(rc == kFileOk || rc == kFileEnd);
        body.push_back(line);
        if (rc != kFileOk) break;
    }
    const std::vector<std::string> expect = file.scrambled ? Unscrambled(raw) : raw;
    if (skipHeader) {
        CORV_FUZZ_CHECK(!file.scrambled);
        if (size == 0)
            CORV_FUZZ_CHECK(body.size() == 1 && body[0].empty());
        else
            CORV_FUZZ_CHECK(body == expect);
    } else {
        // The last read may find nothing left: its empty line is then no line of the file.
        bool ok = IsBodyOf(body, expect, kStreamHeaderMax);
        if (!ok && body.back().empty()) {
            body.pop_back();
            ok = IsBodyOf(body, expect, kStreamHeaderMax);
        }
        CORV_FUZZ_CHECK(ok);
    }
}

// A mix of stream operations chosen by the input's own bytes.
void StreamMixed(const std::string& path, const uint8_t* data, size_t size) {
    TStreamFile file;
    if (file.Open(path, 0, size > 0 && (data[0] & 1)) != kFileOk) return;
    std::string text;
    uint8_t buffer[256];
    for (size_t i = 0; i < 48 && size > 0; ++i) {
        uint8_t op = data[(i * 7) % size];
        uint8_t arg = data[(i * 13 + 1) % size];
        int rc = kFileOk;
        switch (op % 6) {
            case 0:
                rc = file.ReadLine(text, arg);
                CORV_FUZZ_CHECK(text.size() <= arg);
                break;
            case 1:
                rc = file.ReadRest(text);
                break;
            case 2: {
                int16_t v = 0;
                rc = file.ReadInt16(v);
                break;
            }
            case 3:
                rc = file.ReadBytes(buffer, arg);
                break;
            case 4:
                rc = file.SeekRecord(arg % 16, op);
                break;
            case 5:
                rc = file.ReadLongLine(text);
                break;
        }
        CORV_FUZZ_CHECK(rc == kFileOk || rc == kFileEnd);
    }
    CORV_FUZZ_CHECK(file.Close() == kFileClosed);
    CORV_FUZZ_CHECK(file.ReadBytes(buffer, 1) == kFileClosed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = fuzz::ScratchDir();
    const std::string path = dir + "/input.txt";
    fuzz::WriteBytes(path, data, size);

    std::vector<std::string> raw;
    CORV_FUZZ_CHECK(TStreamFile::LoadLines(raw, path) == 1);
    for (const auto& l : raw) CORV_FUZZ_CHECK(l.find_first_of("\r\n") == std::string::npos);

    TextFileReads(path, raw, size);
    TextFileReadRest(path, size ? data[size - 1] % 5 : 0);
    TextFileWriteBack(dir, raw);
    StreamLines(path, raw, size, false);
    StreamLines(path, raw, size, true);
    StreamMixed(path, data, size);
    return 0;
}
