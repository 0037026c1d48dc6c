#pragma once
// Settings files: name=value lines, no sections. Names match without regard to case;
// the first of two equal names is the one read and written. Lines without "=" are kept.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/FileShare.h"

namespace corv {

// Open modes:
//  -1 read-write exclusive, 1 read-write shared, 2 read-write (others may read): a missing
//     file is created empty;
//  -2 read only (others may read), -3 read only (others may write), -4 as -3 and the file
//     is let go once loaded: a missing file fails;
//  -5 an "http:/" address fetched into memory (never written back), or a "file:/" name
//     opened as -3; -6 a "file:///" name opened as -3; -7 an empty set in memory.
class TDynamicFile {
  public:
    TDynamicFile();
    ~TDynamicFile();
    TDynamicFile(const TDynamicFile&) = delete;
    TDynamicFile& operator=(const TDynamicFile&) = delete;

    int Open(const std::string& name, int mode);  // 1 or -1
    int Load();                                   // 1 or -1

    // 1 and the value when present, 0 when absent, -1 when the file is not open.
    int GetText(std::string_view name, std::string& value);
    int GetInteger(std::string_view name, int32_t& value);
    int GetInt64(std::string_view name, int64_t& value);
    int GetReal(std::string_view name, double& value);
    int GetList(std::string_view name, std::vector<std::string>& list);

    // 1, or -1 when the file is not open or the name or value would break the line format
    // (a name with "=", CR, LF or NUL, or empty; a value with CR, LF or NUL).
    // An empty text removes the entry.
    int SetText(std::string_view name, std::string_view value);
    int SetInteger(std::string_view name, int32_t value);
    int SetInt64(std::string_view name, int64_t value);
    int SetBoolean(std::string_view name, bool value);
    int SetReal(std::string_view name, double value);

    int Names(std::vector<std::string>& names);
    int Entries(std::vector<std::string>& lines);
    int Clear();
    // Forgets that the entries changed, so closing writes nothing.
    void DiscardChanges() { changed_ = false; }
    // Writes every line through a temporary file renamed over the original; -1 when that
    // fails, and the file on disk and the changed flag stay as they were.
    int Save();
    // Each save first keeps the file it replaces as "<name>.bak" when that file reads
    // cleanly; a damaged one is kept as a damaged copy instead (KeepDamagedCopy).
    void SetKeepBackup(bool keep) { keepBackup_ = keep; }
    int Close();

    bool IsReadOnly() const { return readOnly_; }
    int State() const { return state_; }
    bool IsLoaded() const { return loaded_; }
    bool IsChanged() const { return changed_; }
    bool IsOpen() const { return open_; }
    const std::string& Path() const { return path_; }
    // Why the file's bytes were not what a save writes, from the last load ("" when they
    // were): see settings_format::FindDamage. A file too large to load fails the load.
    const std::string& Damage() const { return damage_; }

  private:
    struct Line {
        std::string text;
        size_t nameLen = std::string::npos;  // npos: no "=" in the line
        bool dead = false;
    };
    struct Slot {
        size_t first;
        uint32_t count;
    };
    int Lookup(std::string_view name, const std::string** value);
    void Parse(std::string_view content);
    void AddLine(std::string text);
    void KeepBackup();
    void Reset();

    bool readOnly_ = false;
    int state_ = 2;
    bool rewindBeforeLoad_ = false;
    bool loaded_ = false;
    bool changed_ = false;
    bool open_ = false;
    bool dropStreamAfterLoad_ = false;
    bool memoryOnly_ = false;
    bool keepBackup_ = false;
    std::string path_;
    std::string damage_;
    std::string memory_;  // content fetched into memory
    std::vector<Line> lines_;
    std::unordered_map<std::string, Slot> index_;  // lower-cased name -> first live line
    std::unique_ptr<platform::ShareLock> share_;
};

class TDynamicSettings {
  public:
    TDynamicSettings();
    virtual ~TDynamicSettings();

    int Open(const std::string& name, int mode);
    int LoadNow();
    int Save();
    int Clear();

    std::string GetText(std::string_view name);
    int32_t GetInteger(std::string_view name);
    int64_t GetInt64(std::string_view name);
    // True when the first character is "T", "Y" or "1" (any case).
    bool GetBool(std::string_view name);
    double GetReal(std::string_view name);
    std::optional<std::vector<std::string>> GetList(std::string_view name);

    int SetText(std::string_view name, std::string_view value);
    int SetInteger(std::string_view name, int32_t value);
    int SetInt64(std::string_view name, int64_t value);
    int SetBool(std::string_view name, bool value);
    int SetReal(std::string_view name, double value);

    TDynamicFile& File() { return *file_; }
    const std::string& FileName() const { return fileName_; }

  private:
    std::unique_ptr<TDynamicFile> file_;
    std::string fileName_;
};

// Value encodings shared with other readers of these files.
namespace settings_format {
// Far beyond any real settings file (a user with 10,000 results has about 1 MB in 20,000
// lines): a larger file, or one of more lines, is refused before it is parsed.
constexpr size_t kMaxFileBytes = 16u << 20;
constexpr size_t kMaxLines = 250000;
constexpr size_t kMaxLineBytes = 64u << 10;
// What makes the bytes differ from what a save writes, in words for the user; "" when
// nothing does. A save ends every line with CR LF and writes only name=value lines of
// text, so a cut-off last line, NUL or other control bytes, an empty name, a line
// without "=" or an overlong line mean the file was damaged (empty lines are allowed).
std::string FindDamage(std::string_view content);
bool ReadBool(std::string_view text);
// Whole text as a 32-bit decimal (leading blanks allowed); nullopt otherwise.
std::optional<int32_t> ParseInt32(std::string_view text);
std::optional<int64_t> ParseInt64(std::string_view text);
std::optional<double> ParseReal(std::string_view text);
std::string FormatReal(double value);
std::string ToCommaText(const std::vector<std::string>& items);
std::vector<std::string> FromCommaText(std::string_view text);
}  // namespace settings_format

// The process-wide settings: the installation policy and the workstation file, and the
// policy values the typing engine asks for on every keystroke.
namespace CorvSettings {
TDynamicSettings* Policy();
TDynamicSettings* Workstation();
// A policy value; false or empty while no policy is open.
bool PolicyBool(const std::string& key);
std::string PolicyText(const std::string& key);
// Opens folder + "Policy.dyn" read only and caches the engine values; false when missing.
bool OpenPolicy(const std::string& folder);
// Opens folder + fileName in `mode`, falling back to fileName + ".2nd". False when both
// fail: the caller shows the stop message and ends.
bool OpenWorkstation(const std::string& fileName, const std::string& folder, int mode);
bool ColorKeyboardDisabled();
int CharsPerWord();
bool BackspacePrevented();
std::string& LanguageFileBase();
// Closes (and saves) both files; start-up order in reverse, and between tests.
void CloseAll();
}  // namespace CorvSettings

}  // namespace corv
