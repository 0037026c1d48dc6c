#include "course/CourseStream.h"

#include "core/Cp1252.h"
#include "core/TextUtil.h"
#include "course/CourseServices.h"

namespace corv {

namespace {

constexpr int kHeaderLines = 8;

// How many lines the header took, counted the way the stream reads it.
int HeaderLines(const std::string& path) {
    TStreamFile raw;
    if (raw.Open(path, 1, true) != kFileOk) return 0;
    int count = 0;
    std::string line;
    while (count < kHeaderLines) {
        int status = raw.ReadLongLine(line);
        std::string trimmed = TrimBlanks(line);
        if (trimmed.empty() || trimmed[0] != '$' || EqualsNoCase(trimmed.substr(0, 4), "$end"))
            break;
        ++count;
        if (status != kFileOk) break;
    }
    return count;
}

}  // namespace

int TCourseStream::Open(const std::string& path) {
    path_ = path;
    int status = file_.Open(path, 1);
    line_ = status == kFileOk ? HeaderLines(path) : 0;
    return status;
}

int TCourseStream::ReadLine(std::string& line) {
    line.clear();
    if (file_.Status() != kFileOk) return file_.Status();
    int status = file_.ReadLongLine(line);
    ++line_;
    return status;
}

bool TCourseStream::Parse(const std::string& raw, Parsed& parsed) {
    parsed.trimmed = TrimBlanks(raw);
    parsed.words.clear();
    parsed.key.clear();
    if (parsed.trimmed.empty() || parsed.trimmed[0] == '\'') return false;
    parsed.words = SplitWords(parsed.trimmed, "=;");
    if (parsed.words.empty()) return false;
    parsed.key = ToLower(parsed.words[0]);
    return true;
}

bool TCourseStream::NextEntry(Parsed& parsed, const char* owner, const char* block) {
    std::string raw;
    for (;;) {
        if (Status() != kFileOk) {
            CourseMessage(std::string(owner) + " object: eof in middle of " + block, path_, line_);
            return false;
        }
        ReadLine(raw);
        if (Parse(raw, parsed)) return true;
    }
}

}  // namespace corv
