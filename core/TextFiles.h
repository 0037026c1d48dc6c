#pragma once
// The file classes every data file goes through. No operation throws: each returns a
// status (see FileStatus), and once a file is in an error state later operations do
// nothing and keep returning the first error.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileShare.h"

namespace corv {

enum FileStatus : int {
    kFileOk = 1,
    kFileEnd = 0,
    kFileClosed = 2,
    kFileNotFound = -1,
    kFileRefused = -2,
    kFileAlreadyOpen = -3,
    kFileShortWrite = -5,
    kFileCloseError = -6,
    kFileReadError = -7,
};

class TFile {
  public:
    virtual ~TFile();

    int Status() const { return status_; }

    // Header values ("$" lines).
    std::string durationList;
    bool scrambled = false;
    std::string fileName;
    std::string version;
    std::string language;  // upper-cased; stream files only
    std::string longDescription;
    std::string description;
    std::string author;
    std::string copyright;
    bool hasVersion = false;
    int32_t size = -1;

    // Folder operations.
    static std::vector<std::string> ListFiles(const std::string& mask);
    static std::vector<std::string> ListNames(const std::string& mask);
    // The policy's comma list under the key `mask` when it has one, else ListNames.
    static std::vector<std::string> ListNamesOrPolicy(const std::string& mask,
                                                      const std::string& folder);
    static std::vector<std::string> ListNamesWithFirst(const std::string& first,
                                                       const std::string& mask);
    static bool CopyFolder(const std::string& from, const std::string& to);

  protected:
    enum class HeaderKind { kText, kStream };
    // Applies one trimmed header line; false when the line ends the header.
    bool ApplyHeaderLine(const std::string& trimmed, HeaderKind kind);
    void ResetHeader();

    int status_ = kFileClosed;
};

// Sequential text file: course and exercise files, logs.
class TTextFile : public TFile {
  public:
    ~TTextFile() override;
    // 1 read (with header), 2 create or truncate for writing, 3 append to an existing file.
    int Open(const std::string& name, int mode);
    // Reads the next line (ended by CR LF, LF or CR). Status 1 when a line end followed,
    // 0 when the data ran out (the text so far is still returned).
    int ReadLine(std::string& line);
    int ReadRest(std::string& text);
    // Writes the text cut to 250 characters, then CR LF. Nothing is written unless open.
    int WriteLine(std::string_view text);
    int Close();
    int64_t Position() const { return pos_; }

  private:
    int fd_ = -1;
    bool reading_ = false;
    std::string body_;
    int64_t pos_ = -1;
    std::unique_ptr<platform::ShareLock> share_;
};

// Text resources read as a whole, from a file or a web address.
class TStreamFile : public TFile {
  public:
    ~TStreamFile() override;
    // Mode 2 creates, 3 opens for writing, anything else reads. "http:/" names are fetched.
    int Open(const std::string& name, int mode, bool skipHeader = false);
    // One line (ended by LF, CR or CR LF) cut to `max` characters; 1 while more follows,
    // 0 for the last line.
    int ReadLine(std::string& line, size_t max = 255);
    int ReadLongLine(std::string& line);
    int ReadRest(std::string& text);
    int ReadInt16(int16_t& value);
    // Fixed-size read into the caller's buffer; short read gives 0.
    int ReadBytes(void* buffer, size_t count);
    int SeekRecord(int64_t index, int64_t recordSize);
    int Close();
    // All lines of a file or web address, no header handling, no unscrambling.
    static int LoadLines(std::vector<std::string>& lines, const std::string& name);

  private:
    int ReadLineImpl(std::string& line, size_t max);
    std::string data_;
    size_t pos_ = 0;
};

// Binary files of fixed-size records.
class TRecFile : public TFile {
  public:
    ~TRecFile() override;
    // mode 1 or 2 open an existing file, 5 creates; share -2 read only (others read),
    // -1 read-write exclusive, anything else read-write shared.
    int Open(const std::string& name, int mode, int share);
    int64_t RecordCount(int64_t recordSize) const;
    bool WholeRecords(int64_t recordSize) const;
    int Seek(int64_t offset);

    int WriteInt32(int32_t value);
    int WriteInt16(int16_t value);
    int WriteShortText(std::string_view text);     // length byte + characters
    int WriteShortText256(std::string_view text);  // length byte + 255 bytes
    int WriteBytes(const void* data, size_t count);

    int ReadInt32(int32_t& value);
    int ReadInt16(int16_t& value);
    int ReadBytes(void* buffer, size_t count);
    int ReadText(std::string& text, size_t count);

    bool Lock(int64_t offset, int64_t length);
    bool Unlock(int64_t offset, int64_t length);
    int Close();
    int Handle() const { return fd_; }

  private:
    int fd_ = -1;
    std::unique_ptr<platform::ShareLock> share_;
};

}  // namespace corv
