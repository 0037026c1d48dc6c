#pragma once
// Numbered language strings.
//
// Convention for asking for a string: code names a language string only as Str(N) or
// Compose({N1, N2, ...}) with literal decimal numbers (-1 in a Compose list is skipped).
// The LanguageStrings test scans every .cpp and .h of the source folders for these two
// forms and fails when install/language.eng lacks a non-empty text for a number found.
// Where a number has to be computed or kept in a table, write each number it can take as
// Str(N) in a comment beside the table so the scan still sees it.
//
// A language file holds number=text lines (Windows-1252, CR LF); "\n" in a text is a line
// break (CR) and "\+" a space. Its last line carries the highest number and so sizes the
// table; string 0 names the file.

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace corv {

// A language file that cannot be used: its last line gives no valid size, or a base
// file gives a number twice.
class LocalizeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TLocalize {
  public:
    // A damaged last line must not make the table huge.
    static constexpr int kMaxTableSize = 65536;
    static constexpr size_t kMaxTextLength = 10000;
    static constexpr const char* kMissingText = "(Localization error - string missing)";

    enum Mode { kBase = 1, kOverlay = 2, kFallback = 3 };

    // Loads the current language: baseName + "." + code in `mode`, then "language.icr"
    // as an overlay when it exists, then "language.eng" as the fallback for any other
    // language. 0 on success, -1 when the language's own file failed. Throws
    // LocalizeError for a malformed file.
    int Load(const std::string& baseName, int mode = kBase);

    // One file: kBase replaces the table, kOverlay replaces the entries it gives,
    // kFallback fills only entries no earlier file gave. 0 when string 0 is part of the
    // file name, else -1 (also when the file cannot be read). Throws LocalizeError.
    int LoadFile(const std::string& fileName, int mode);

    // Entry n; the empty text for an entry no file gave, kMissingText beyond the table.
    std::string String(int n) const;
    // The same, valid until the table changes.
    const char* CString(int n) const;
    // Sets entry n, growing the table when n is beyond it (up to kMaxTableSize).
    void SetString(int n, std::string text);
    bool IsGiven(int n) const;

    // 0 when the code is empty or already current; otherwise makes it current, reloads
    // the language files and returns 1.
    int SetLanguage(const std::string& code);

    // The language list ("CorvLangs.ini"): entries name=code.
    const std::vector<std::string>& LanguageList();
    const std::vector<std::string>& LanguageNames();
    std::string CodeOfEntry(int index);
    // Index of the last entry with this code (any case); 0 when none.
    int EntryOfCode(const std::string& code);
    // The list's default language code.
    const std::string& DefaultCode();

    // The texts joined with line breaks (CR LF); -1 is skipped.
    std::string Compose(std::initializer_list<int> ids) const;

    int TableSize() const { return static_cast<int>(table_.size()); }
    int SizeBeforeFallback() const { return sizeBeforeFallback_; }

    // The process-wide language code, upper-cased; empty until the first load.
    static const std::string& CurrentCode();
    static void SetCurrentCode(const std::string& code);

    // Forgets table, list and current code (tests, and a program starting over).
    void Reset();

  private:
    struct Entry {
        std::string text;
        bool given = false;
    };
    void LoadLanguageList();

    std::vector<Entry> table_;
    std::vector<std::string> languageList_;
    std::vector<std::string> languageNames_;
    std::string defaultCode_;
    bool listLoaded_ = false;
    int sizeBeforeFallback_ = 0;
};

// The process's TLocalize.
TLocalize& Localization();

// String n of the current language.
std::string Str(int n);
// Strings joined with line breaks; -1 is skipped.
std::string Compose(std::initializer_list<int> ids);

}  // namespace corv
