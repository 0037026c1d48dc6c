#include "core/TextFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/AtomicFile.h"
#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Settings.h"
#include "core/TextUtil.h"
#include "core/WebAccess.h"
#include "platform/FileShare.h"

namespace corv {
namespace {

using platform::ShareLock;

constexpr size_t kTextHeaderLines = 15;
constexpr size_t kStreamHeaderLines = 8;
constexpr size_t kWriteLineLimit = 250;

bool IsWebName(std::string_view name) {
    return ToLower(name).find("http:/") != std::string::npos;
}

// Reads up to count bytes; false on an I/O error.
bool ReadFull(int fd, char* out, size_t count, size_t& got) {
    got = 0;
    while (got < count) {
        ssize_t n = ::read(fd, out + got, count - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return true;
}

bool WriteAll(int fd, const char* data, size_t len) {
    while (len > 0) {
        ssize_t n = ::write(fd, data, len);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

// The line that starts at pos, ended by CR LF, LF or CR. Returns the position after the
// line end; `ended` tells whether a line end was found.
size_t NextLine(const std::string& data, size_t pos, std::string_view& line, bool& ended) {
    size_t end = data.find_first_of("\r\n", pos);
    if (end == std::string::npos) {
        line = std::string_view(data).substr(pos);
        ended = false;
        return data.size();
    }
    line = std::string_view(data).substr(pos, end - pos);
    ended = true;
    if (data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n') return end + 2;
    return end + 1;
}

int32_t ClampSize(int64_t size) {
    return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
}

// Takes the share lock for an open; a folder that cannot hold the lock file is let through.
bool TakeShare(const std::string& path, unsigned access, unsigned share,
               std::unique_ptr<ShareLock>& out) {
    return ShareLock::Acquire(path, access, share, out) != ShareLock::Result::kConflict;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TFile

TFile::~TFile() = default;

void TFile::ResetHeader() {
    durationList.clear();
    scrambled = false;
    version.clear();
    language.clear();
    longDescription.clear();
    description.clear();
    author.clear();
    copyright.clear();
    hasVersion = false;
}

bool TFile::ApplyHeaderLine(const std::string& trimmed, HeaderKind kind) {
    if (trimmed.empty() || trimmed[0] != '$') return false;
    if (EqualsNoCase(std::string_view(trimmed).substr(0, 4), "$end")) return false;
    std::vector<std::string> words = SplitWords(trimmed, "=;");
    if (words.empty()) return true;
    std::string key = ToLower(words[0]);
    const bool given = words.size() > 1;
    std::string value = given ? words[1] : std::string();
    const bool text = kind == HeaderKind::kText;
    if (key == "$version") {
        version = value;
        hasVersion = !TrimBlanks(version).empty();
    } else if (key == "$copyright") {
        copyright = value;
    } else if (key == "$durationlist") {
        if (text) durationList = value;
    } else if (key == "$longdesc") {
        longDescription = value;
    } else if (key == "$description") {
        description = value;
    } else if (key == "$author") {
        author = value;
    } else if (key == "$language") {
        if (!text && given) language = ToUpper(value);
    } else if (key == "$fileformat") {
        scrambled = ToLower(value) == "crypted";
    }
    return true;
}

std::vector<std::string> TFile::ListFiles(const std::string& mask) {
    return fs::ListMatching(mask);
}

std::vector<std::string> TFile::ListNames(const std::string& mask) {
    std::vector<std::string> names;
    for (const auto& f : fs::ListMatching(mask))
        names.push_back(CapitaliseName(f.substr(0, f.find('.')), CapitalisableLetters()));
    return names;
}

std::vector<std::string> TFile::ListNamesOrPolicy(const std::string& mask,
                                                  const std::string& folder) {
    if (TDynamicSettings* policy = CorvSettings::Policy()) {
        std::string list = policy->GetText(mask);
        if (!list.empty()) {
            std::vector<std::string> items;
            size_t start = 0;
            for (;;) {
                size_t comma = list.find(',', start);
                items.push_back(list.substr(start, comma - start));
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
            return items;
        }
    }
    return ListNames(folder + mask);
}

std::vector<std::string> TFile::ListNamesWithFirst(const std::string& first,
                                                   const std::string& mask) {
    std::vector<std::string> names = ListNamesOrPolicy(mask, "");
    names.insert(names.begin(), first);
    return names;
}

bool TFile::CopyFolder(const std::string& from, const std::string& to) {
    namespace stdfs = std::filesystem;
    std::error_code ec;
    stdfs::path src = fs::ResolveCase(from), dst = fs::ResolveCase(to);
    if (!stdfs::is_directory(src, ec)) return false;
    bool ok = true;
    for (const auto& entry : stdfs::directory_iterator(src, ec)) {
        if (!entry.is_regular_file(ec) || entry.path().filename() == ".corvshare") continue;
        if (!stdfs::copy_file(entry.path(), dst / entry.path().filename(),
                              stdfs::copy_options::overwrite_existing, ec))
            ok = false;
    }
    return ok && !ec;
}

// ---------------------------------------------------------------------------------------
// TTextFile

TTextFile::~TTextFile() {
    Close();
}

int TTextFile::Open(const std::string& name, int mode) {
    if (fd_ >= 0 || reading_) return kFileAlreadyOpen;
    ResetHeader();
    fileName = name;
    size = -1;
    pos_ = -1;
    body_.clear();
    if (name.empty()) return status_ = kFileNotFound;
    const std::string path = fs::ResolveCase(name);

    if (mode == 1) {
        if (!fs::FileExists(path)) return status_ = kFileNotFound;
        if (!TakeShare(path, platform::kShareRead, platform::kShareRead, share_))
            return status_ = kFileRefused;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            share_.reset();
            return status_ = kFileRefused;
        }
        bool ok = ReadAll(fd, body_);
        ::close(fd);
        if (!ok) {
            share_.reset();
            body_.clear();
            return status_ = kFileReadError;
        }
        reading_ = true;
        size = ClampSize(static_cast<int64_t>(body_.size()));
        pos_ = 0;
        status_ = kFileOk;
        for (size_t i = 0; i < kTextHeaderLines && static_cast<size_t>(pos_) < body_.size(); ++i) {
            std::string_view line;
            bool ended;
            size_t next = NextLine(body_, static_cast<size_t>(pos_), line, ended);
            if (!ApplyHeaderLine(TrimBlanks(line), HeaderKind::kText)) break;
            pos_ = static_cast<int64_t>(next);
        }
        return status_;
    }

    if (mode != 2 && mode != 3) return status_ = kFileRefused;
    if (mode == 3 && !fs::FileExists(path)) return status_ = kFileRefused;
    if (!TakeShare(path, platform::kShareWrite, platform::kShareRead, share_))
        return status_ = kFileRefused;
    int flags = O_WRONLY | O_CLOEXEC | (mode == 2 ? O_CREAT | O_TRUNC : O_APPEND);
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0) {
        share_.reset();
        return status_ = kFileRefused;
    }
    struct stat st;
    int64_t bytes = ::fstat(fd_, &st) == 0 ? st.st_size : 0;
    size = ClampSize(bytes);
    pos_ = bytes;
    return status_ = kFileOk;
}

int TTextFile::ReadLine(std::string& line) {
    line.clear();
    if (status_ != kFileOk || !reading_) return status_;
    if (static_cast<size_t>(pos_) >= body_.size()) return status_ = kFileEnd;
    std::string_view view;
    bool ended;
    pos_ = static_cast<int64_t>(NextLine(body_, static_cast<size_t>(pos_), view, ended));
    line.assign(view);
    if (scrambled) Unscramble(line);
    return status_ = ended ? kFileOk : kFileEnd;
}

int TTextFile::ReadRest(std::string& text) {
    text.clear();
    if (status_ != kFileOk || !reading_) return status_;
    if (static_cast<size_t>(pos_) >= body_.size()) return status_ = kFileEnd;
    text = body_.substr(static_cast<size_t>(pos_));
    pos_ = static_cast<int64_t>(body_.size());
    if (scrambled) Unscramble(text);
    return status_;
}

int TTextFile::WriteLine(std::string_view text) {
    if (fd_ < 0) return status_;  // closed or reading: nowhere to write
    std::string line(text.substr(0, kWriteLineLimit));
    line += "\r\n";
    if (!WriteAll(fd_, line.data(), line.size())) return status_ = kFileShortWrite;
    pos_ += static_cast<int64_t>(line.size());
    return status_;
}

int TTextFile::Close() {
    if (fd_ >= 0) {
        int rc = ::close(fd_);
        fd_ = -1;
        status_ = rc == 0 ? kFileClosed : kFileCloseError;
    } else {
        status_ = kFileClosed;
    }
    reading_ = false;
    body_.clear();
    body_.shrink_to_fit();
    share_.reset();
    return status_;
}

// ---------------------------------------------------------------------------------------
// TStreamFile

TStreamFile::~TStreamFile() {
    Close();
}

int TStreamFile::Open(const std::string& name, int mode, bool skipHeader) {
    if (status_ == kFileOk || status_ == kFileEnd) return kFileAlreadyOpen;
    ResetHeader();
    fileName = name;
    size = -1;
    data_.clear();
    pos_ = 0;
    if (name.empty()) return status_ = kFileNotFound;
    if (IsWebName(name)) {
        if (web::Fetch(name, nullptr, data_) != 200) {
            data_.clear();
            return status_ = kFileNotFound;
        }
    } else {
        const std::string path = fs::ResolveCase(name);
        int flags = O_CLOEXEC | (mode == 2   ? O_RDWR | O_CREAT | O_TRUNC
                                 : mode == 3 ? O_RDWR
                                             : O_RDONLY);
        int fd = ::open(path.c_str(), flags, 0666);
        if (fd < 0) return status_ = kFileNotFound;
        bool ok = ReadAll(fd, data_);
        ::close(fd);
        if (!ok) {
            data_.clear();
            return status_ = kFileNotFound;
        }
    }
    size = ClampSize(static_cast<int64_t>(data_.size()));
    status_ = kFileOk;
    if (!skipHeader) {
        for (size_t i = 0; i < kStreamHeaderLines && pos_ < data_.size(); ++i) {
            std::string_view line;
            bool ended;
            size_t next = NextLine(data_, pos_, line, ended);
            if (!ApplyHeaderLine(TrimBlanks(line), HeaderKind::kStream)) break;
            pos_ = next;
        }
    }
    return status_;
}

int TStreamFile::ReadLineImpl(std::string& line, size_t max) {
    line.clear();
    if (status_ != kFileOk) return status_;
    if (pos_ >= data_.size()) return status_ = kFileEnd;
    std::string_view view;
    bool ended;
    pos_ = NextLine(data_, pos_, view, ended);
    line.assign(view.substr(0, max));
    if (scrambled) Unscramble(line);
    return status_ = pos_ < data_.size() ? kFileOk : kFileEnd;
}

int TStreamFile::ReadLine(std::string& line, size_t max) {
    return ReadLineImpl(line, max);
}

int TStreamFile::ReadLongLine(std::string& line) {
    return ReadLineImpl(line, std::string::npos);
}

int TStreamFile::ReadRest(std::string& text) {
    text.clear();
    if (status_ != kFileOk) return status_;
    if (pos_ >= data_.size()) return status_ = kFileEnd;
    text = data_.substr(pos_);
    pos_ = data_.size();
    if (scrambled) Unscramble(text);
    return status_;
}

int TStreamFile::ReadBytes(void* buffer, size_t count) {
    if (status_ != kFileOk) return status_;
    size_t avail = pos_ < data_.size() ? data_.size() - pos_ : 0;
    size_t n = count < avail ? count : avail;
    if (n) std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return status_ = n == count ? kFileOk : kFileEnd;
}

int TStreamFile::ReadInt16(int16_t& value) {
    unsigned char b[2] = {0, 0};
    int rc = ReadBytes(b, 2);
    if (rc == kFileOk) value = static_cast<int16_t>(b[0] | (b[1] << 8));
    return rc;
}

int TStreamFile::SeekRecord(int64_t index, int64_t recordSize) {
    if (status_ != kFileOk && status_ != kFileEnd) return status_;
    int64_t at = index * recordSize;
    pos_ = at < 0 ? 0 : static_cast<size_t>(at);
    return status_ = kFileOk;
}

int TStreamFile::Close() {
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
    return status_ = kFileClosed;
}

int TStreamFile::LoadLines(std::vector<std::string>& lines, const std::string& name) {
    lines.clear();
    std::string data;
    if (name.empty()) return -1;
    if (IsWebName(name)) {
        if (web::Fetch(name, nullptr, data) != 200) return -1;
    } else {
        std::string path = ToLower(name).rfind("file:/", 0) == 0 ? fs::FileUrlToPath(name) : name;
        if (!ReadWholeFile(fs::ResolveCase(path), data)) return -1;
    }
    size_t pos = 0;
    while (pos < data.size()) {
        std::string_view line;
        bool ended;
        pos = NextLine(data, pos, line, ended);
        lines.emplace_back(line);
    }
    return 1;
}

// ---------------------------------------------------------------------------------------
// TRecFile

TRecFile::~TRecFile() {
    Close();
}

int TRecFile::Open(const std::string& name, int mode, int share) {
    if (fd_ >= 0) return kFileAlreadyOpen;
    ResetHeader();
    fileName = name;
    size = -1;
    if (name.empty()) return status_ = kFileNotFound;
    const std::string path = fs::ResolveCase(name);
    const bool create = mode == 5;
    if (!create && !fs::FileExists(path)) return status_ = kFileNotFound;

    unsigned access = platform::kShareReadWrite, others = platform::kShareReadWrite;
    int flags = O_RDWR;
    if (share == -2) {
        access = platform::kShareRead;
        others = platform::kShareRead;
        flags = O_RDONLY;
    } else if (share == -1) {
        others = platform::kShareNone;
    }
    if (!TakeShare(path, access, others, share_)) return status_ = kFileRefused;
    fd_ = ::open(path.c_str(), flags | O_CLOEXEC | (create ? O_CREAT | O_TRUNC : 0), 0666);
    if (fd_ < 0) {
        share_.reset();
        return status_ = kFileRefused;
    }
    ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    struct stat st;
    size = ::fstat(fd_, &st) == 0 ? ClampSize(st.st_size) : 0;
    return status_ = kFileOk;
}

int64_t TRecFile::RecordCount(int64_t recordSize) const {
    struct stat st;
    if (fd_ < 0 || recordSize <= 0 || ::fstat(fd_, &st) != 0) return 0;
    return st.st_size / recordSize;
}

bool TRecFile::WholeRecords(int64_t recordSize) const {
    struct stat st;
    if (fd_ < 0 || recordSize <= 0 || ::fstat(fd_, &st) != 0) return false;
    return st.st_size % recordSize == 0;
}

int TRecFile::Seek(int64_t offset) {
    if (fd_ < 0) return status_;
    if (::lseek(fd_, offset, SEEK_SET) < 0) return status_ = kFileReadError;
    if (status_ == kFileEnd) status_ = kFileOk;
    return status_;
}

int TRecFile::WriteBytes(const void* data, size_t count) {
    if (fd_ < 0 || (status_ != kFileOk && status_ != kFileEnd)) return status_;
    if (!WriteAll(fd_, static_cast<const char*>(data), count)) return status_ = kFileShortWrite;
    return status_ = kFileOk;
}

int TRecFile::WriteInt32(int32_t value) {
    auto v = static_cast<uint32_t>(value);
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    return WriteBytes(b, 4);
}

int TRecFile::WriteInt16(int16_t value) {
    auto v = static_cast<uint16_t>(value);
    unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    return WriteBytes(b, 2);
}

int TRecFile::WriteShortText(std::string_view text) {
    size_t n = text.size() < 255 ? text.size() : 255;
    std::string buf(1, static_cast<char>(n));
    buf.append(text.substr(0, n));
    return WriteBytes(buf.data(), buf.size());
}

int TRecFile::WriteShortText256(std::string_view text) {
    size_t n = text.size() < 255 ? text.size() : 255;
    std::string buf(256, '\0');
    buf[0] = static_cast<char>(n);
    buf.replace(1, n, text.substr(0, n));
    return WriteBytes(buf.data(), buf.size());
}

int TRecFile::ReadBytes(void* buffer, size_t count) {
    if (fd_ < 0 || status_ != kFileOk) return status_;
    size_t got = 0;
    if (!ReadFull(fd_, static_cast<char*>(buffer), count, got)) return status_ = kFileReadError;
    return status_ = got == count ? kFileOk : kFileEnd;
}

int TRecFile::ReadInt32(int32_t& value) {
    unsigned char b[4] = {0, 0, 0, 0};
    int rc = ReadBytes(b, 4);
    if (rc == kFileOk)
        value = static_cast<int32_t>(
            static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
            (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
    return rc;
}

int TRecFile::ReadInt16(int16_t& value) {
    unsigned char b[2] = {0, 0};
    int rc = ReadBytes(b, 2);
    if (rc == kFileOk) value = static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
    return rc;
}

int TRecFile::ReadText(std::string& text, size_t count) {
    text.clear();
    if (fd_ < 0 || status_ != kFileOk) return status_;
    char chunk[256];
    while (count > 0) {
        size_t want = count < sizeof chunk ? count : sizeof chunk;
        size_t got = 0;
        if (!ReadFull(fd_, chunk, want, got)) return status_ = kFileReadError;
        text.append(chunk, got);  // a short read keeps what it delivered
        if (got < want) return status_ = kFileEnd;
        count -= want;
    }
    return status_;
}

bool TRecFile::Lock(int64_t offset, int64_t length) {
    return fd_ >= 0 && platform::LockFileRange(fd_, offset, length);
}

bool TRecFile::Unlock(int64_t offset, int64_t length) {
    return fd_ >= 0 && platform::UnlockFileRange(fd_, offset, length);
}

int TRecFile::Close() {
    if (fd_ >= 0) {
        int rc = ::close(fd_);
        fd_ = -1;
        status_ = rc == 0 ? kFileClosed : kFileCloseError;
    } else {
        status_ = kFileClosed;
    }
    share_.reset();
    return status_;
}

}  // namespace corv
