#include "core/Localize.h"

#include <algorithm>
#include <cstdint>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Settings.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "core/UserInterface.h"

namespace corv {
namespace {

constexpr int64_t kTooBig = int64_t{1} << 40;

std::string& CodeStore() {
    static std::string code;
    return code;
}

bool Exists(const std::string& name) {
    return fs::FileExists(fs::ResolveCase(name));
}

// The number of a number=text line, or -1 for a line that is not one. Numbers past any
// table size come back as kTooBig.
int64_t LineNumber(std::string_view line, size_t* textStart) {
    if (line.empty() || line[0] == '/') return -1;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return -1;
    std::string digits = TrimBlanks(line.substr(0, eq));
    if (digits.empty()) return -1;
    int64_t n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        if (n < kTooBig) n = n * 10 + (c - '0');
    }
    if (textStart) *textStart = eq + 1;
    return std::min(n, kTooBig);
}

std::string Unescape(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            if (raw[i + 1] == 'n') {
                out.push_back('\r');
                ++i;
                continue;
            }
            if (raw[i + 1] == '+') {
                out.push_back(' ');
                ++i;
                continue;
            }
        }
        out.push_back(raw[i]);
    }
    return out;
}

void NotFound(const std::string& name) {
    ui::Message(name + " not found", ui::ProgramFileName(), ui::Icon::kError);
}

}  // namespace

int TLocalize::Load(const std::string& baseName, int mode) {
    if (!listLoaded_) LoadLanguageList();
    std::string code = CurrentCode();
    if (code.empty()) {
        code = ToUpper(DefaultCode());
        SetCurrentCode(code);
    }
    if (!Exists(baseName + "." + code)) {
        NotFound(baseName + "." + code);
        code = ToUpper(CodeOfEntry(0));
        SetCurrentCode(code);
    }
    int result = LoadFile(baseName + "." + code, mode);
    if (Exists("language.icr")) LoadFile("language.icr", kOverlay);
    if (code != "ENG" && Exists("language.eng")) LoadFile("language.eng", kFallback);
    return result;
}

int TLocalize::LoadFile(const std::string& fileName, int mode) {
    if (mode == kBase) table_.clear();

    std::vector<std::string> lines;
    if (TStreamFile::LoadLines(lines, fileName) != 1) {
        if (ToLower(fileName).find("icr") == std::string::npos) NotFound(fileName);
        return -1;
    }
    for (auto& line : lines)
        if (!line.empty() && line.back() == '\r') line.pop_back();

    if (mode == kBase || mode == kFallback) {
        int64_t last = -1;
        if (!lines.empty()) {
            const std::string* lastLine = &lines.back();
            if (lastLine->empty() && lines.size() >= 2) lastLine = &lines[lines.size() - 2];
            last = LineNumber(*lastLine, nullptr);
        }
        int64_t size = last + 1;
        if (size < 2 || size > kMaxTableSize)
            throw LocalizeError("The last rows of the string resource file not valid in " +
                                fileName);
        if (mode == kBase) {
            table_.assign(static_cast<size_t>(size), Entry{});
        } else {
            // A fallback may add entries but never drops what the language's own file gave.
            sizeBeforeFallback_ = TableSize();
            table_.resize(std::max(static_cast<size_t>(size), table_.size()));
        }
    }

    for (const auto& line : lines) {
        size_t textStart = 0;
        int64_t n = LineNumber(line, &textStart);
        if (n < 0 || n >= TableSize()) continue;  // beyond the table: ignored
        Entry& entry = table_[static_cast<size_t>(n)];
        if (mode == kFallback && entry.given) continue;
        if (mode == kBase && entry.given) {
            table_.clear();
            throw LocalizeError("Duplicate string resource with id #" + std::to_string(n) + " in " +
                                fileName);
        }
        entry.text = Unescape(std::string_view(line).substr(textStart, kMaxTextLength));
        entry.given = true;
    }

    if (IsGiven(13) && !table_[13].text.empty()) SetCapitalisableLetters(table_[13].text);

    std::string id = table_.empty() ? std::string() : ToUpper(table_[0].text);
    return !id.empty() && ToUpper(fileName).find(id) != std::string::npos ? 0 : -1;
}

std::string TLocalize::String(int n) const {
    return CString(n);
}

const char* TLocalize::CString(int n) const {
    if (n < 0 || n >= TableSize()) return kMissingText;
    return table_[static_cast<size_t>(n)].text.c_str();
}

void TLocalize::SetString(int n, std::string text) {
    if (n < 0 || n >= kMaxTableSize) return;
    if (n >= TableSize()) table_.resize(static_cast<size_t>(n) + 1);
    table_[static_cast<size_t>(n)] = Entry{std::move(text), true};
}

bool TLocalize::IsGiven(int n) const {
    return n >= 0 && n < TableSize() && table_[static_cast<size_t>(n)].given;
}

int TLocalize::SetLanguage(const std::string& code) {
    std::string upper = ToUpper(code);
    if (upper.empty() || upper == CurrentCode()) return 0;
    SetCurrentCode(upper);
    Load(CorvSettings::LanguageFileBase(), kBase);
    return 1;
}

void TLocalize::LoadLanguageList() {
    listLoaded_ = true;
    languageList_.clear();
    languageNames_.clear();
    defaultCode_.clear();

    TDynamicSettings ini;
    std::vector<std::string> lines;
    const std::string name = fs::ResolveCase("CorvLangs.ini");
    if (ini.Open(name, -4) == 1 && ini.LoadNow() == 1 && TStreamFile::LoadLines(lines, name) == 1) {
        defaultCode_ = ini.GetText("language");
        // The first two lines of the file describe it; they name no language. Lines are
        // taken from the file itself because a settings listing leaves out lines
        // without "=", which would shift what "the first two" are.
        for (size_t i = 2; i < lines.size(); ++i) {
            std::string line = lines[i];
            if (!line.empty() && line.back() == '\r') line.pop_back();
            size_t eq = line.find('=');
            if (eq == std::string::npos || eq == 0) continue;
            std::string language = line.substr(0, eq);
            if (EqualsNoCase(language, "language")) continue;
            languageList_.push_back(line);
            languageNames_.push_back(language);
        }
    }
    if (languageList_.empty()) {
        languageList_.push_back("English=ENG");
        languageNames_.push_back("English");
    }
    if (defaultCode_.empty()) defaultCode_ = CodeOfEntry(0);
    if (defaultCode_.empty()) defaultCode_ = "ENG";
}

const std::vector<std::string>& TLocalize::LanguageList() {
    if (!listLoaded_) LoadLanguageList();
    return languageList_;
}

const std::vector<std::string>& TLocalize::LanguageNames() {
    if (!listLoaded_) LoadLanguageList();
    return languageNames_;
}

std::string TLocalize::CodeOfEntry(int index) {
    const auto& list = LanguageList();
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return {};
    const std::string& entry = list[static_cast<size_t>(index)];
    return entry.substr(entry.find('=') + 1);
}

int TLocalize::EntryOfCode(const std::string& code) {
    std::string upper = ToUpper(code);
    int found = 0;
    for (int i = 0; i < static_cast<int>(LanguageList().size()); ++i)
        if (ToUpper(CodeOfEntry(i)) == upper) found = i;
    return found;
}

const std::string& TLocalize::DefaultCode() {
    if (!listLoaded_) LoadLanguageList();
    return defaultCode_;
}

std::string TLocalize::Compose(std::initializer_list<int> ids) const {
    std::string out;
    bool first = true;
    for (int id : ids) {
        if (id == -1) continue;
        if (!first) out += "\r\n";
        out += CString(id);
        first = false;
    }
    return out;
}

const std::string& TLocalize::CurrentCode() {
    return CodeStore();
}
void TLocalize::SetCurrentCode(const std::string& code) {
    CodeStore() = ToUpper(code);
}

void TLocalize::Reset() {
    table_.clear();
    languageList_.clear();
    languageNames_.clear();
    defaultCode_.clear();
    listLoaded_ = false;
    sizeBeforeFallback_ = 0;
    CodeStore().clear();
}

TLocalize& Localization() {
    static TLocalize instance;
    return instance;
}

std::string Str(int n) {
    return Localization().String(n);
}

std::string Compose(std::initializer_list<int> ids) {
    return Localization().Compose(ids);
}

}  // namespace corv
