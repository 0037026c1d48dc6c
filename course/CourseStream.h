#pragma once
// The reader of a course contents file: a text resource stream that knows the line
// number of what it read last, and the line rules all course sections share (trimmed,
// blank and "'" lines skipped, words split at "=" and ";").

#include <string>
#include <vector>

#include "core/TextFiles.h"

namespace corv {

class TCourseStream {
  public:
    // Opens with the "$" header; the status of the open.
    int Open(const std::string& path);
    int Status() const { return file_.Status(); }
    TStreamFile& File() { return file_; }
    const std::string& Path() const { return path_; }
    // Line number (1-based, counting the header) of the line read last.
    int LineNumber() const { return line_; }

    // One raw line; the stream's status afterwards (1 while more follows).
    int ReadLine(std::string& line);

    // A trimmed line split into words; the key is the first word lower-cased. False for
    // lines the sections skip (empty, or a comment).
    struct Parsed {
        std::string trimmed;
        std::vector<std::string> words;
        std::string key;
    };
    static bool Parse(const std::string& raw, Parsed& parsed);

    // The next entry of a block ("chapter", "exercise"); false, with the message "<owner>
    // object: eof in middle of <block>", when the data runs out before the block's end line.
    bool NextEntry(Parsed& parsed, const char* owner, const char* block);

  private:
    TStreamFile file_;
    std::string path_;
    int line_ = 0;
};

}  // namespace corv
