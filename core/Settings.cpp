#include "core/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>

#include "core/AtomicFile.h"
#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/UserInterface.h"
#include "core/WebAccess.h"
#include "platform/FileShare.h"

namespace corv {
namespace {

using platform::ShareLock;

bool BadName(std::string_view name) {
    return name.empty() ||
           name.find_first_of(std::string_view("=\r\n\0", 4)) != std::string_view::npos;
}

bool BadValue(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view TrimSpaces(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    return t;
}

template <typename T>
std::optional<T> ParseIntegral(std::string_view text) {
    text = TrimSpaces(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    T value{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Value encodings

namespace settings_format {

std::string FindDamage(std::string_view content) {
    size_t pos = 0, lineNo = 0;
    while (pos < content.size()) {
        ++lineNo;
        size_t end = content.find_first_of("\r\n", pos);
        const std::string where = "line " + std::to_string(lineNo);
        if (end == std::string_view::npos) return where + " is cut off (no line end)";
        std::string_view line = content.substr(pos, end - pos);
        if (line.size() > kMaxLineBytes)
            return where + " is longer than " + std::to_string(kMaxLineBytes) + " bytes";
        for (unsigned char c : line)
            if (c < 0x20 && c != '\t')
                return where + (c == 0 ? " holds NUL bytes" : " holds binary bytes");
        if (!line.empty()) {
            size_t eq = line.find('=');
            if (eq == std::string_view::npos) return where + " is no name=value line";
            if (eq == 0) return where + " has no name";
        }
        pos = (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n')
                  ? end + 2
                  : end + 1;
    }
    return {};
}

bool ReadBool(std::string_view text) {
    if (text.empty()) return false;
    char c = UpperCase(text[0]);
    return c == 'T' || c == 'Y' || c == '1';
}

std::optional<int32_t> ParseInt32(std::string_view text) {
    return ParseIntegral<int32_t>(text);
}
std::optional<int64_t> ParseInt64(std::string_view text) {
    return ParseIntegral<int64_t>(text);
}

std::optional<double> ParseReal(std::string_view text) {
    text = TrimSpaces(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::string FormatReal(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string out(buf, ec == std::errc() ? end : buf);
    // "1e-05" -> "1E-5", "1e+20" -> "1E20": the exponent form the files have always had.
    size_t e = out.find('e');
    if (e != std::string::npos) {
        std::string mant = out.substr(0, e);
        std::string exp = out.substr(e + 1);
        std::string sign;
        if (!exp.empty() && (exp[0] == '+' || exp[0] == '-')) {
            if (exp[0] == '-') sign = "-";
            exp.erase(0, 1);
        }
        while (exp.size() > 1 && exp[0] == '0') exp.erase(0, 1);
        out = mant + "E" + sign + exp;
    }
    return out;
}

std::string ToCommaText(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        const std::string& item = items[i];
        bool quote = item.empty();
        for (unsigned char c : item)
            if (c <= ' ' || c == '"' || c == ',') quote = true;
        if (!quote) {
            out += item;
            continue;
        }
        out += '"';
        for (char c : item) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

std::vector<std::string> FromCommaText(std::string_view text) {
    std::vector<std::string> items;
    text = text.substr(0, text.find('\0'));  // the list ends at a NUL, as a C string would
    size_t p = 0;
    auto blank = [&](size_t i) {
        return i < text.size() && static_cast<unsigned char>(text[i]) <= ' ' && text[i] != '\0';
    };
    while (blank(p)) ++p;
    while (p < text.size()) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < text.size()) {
                if (text[p] == '"') {
                    if (p + 1 < text.size() && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            while (p < text.size() && static_cast<unsigned char>(text[p]) > ' ' && text[p] != ',')
                item += text[p++];
        }
        items.push_back(std::move(item));
        while (blank(p)) ++p;
        if (p < text.size() && text[p] == ',') {
            if (p + 1 == text.size()) items.emplace_back();  // a trailing comma ends with ""
            do {
                ++p;
            } while (blank(p));
        }
    }
    return items;
}

}  // namespace settings_format

// ---------------------------------------------------------------------------------------
// TDynamicFile

TDynamicFile::TDynamicFile() = default;

TDynamicFile::~TDynamicFile() {
    Close();
}

void TDynamicFile::Reset() {
    readOnly_ = false;
    state_ = 2;
    rewindBeforeLoad_ = false;
    loaded_ = false;
    changed_ = false;
    open_ = false;
    dropStreamAfterLoad_ = false;
    memoryOnly_ = false;
    keepBackup_ = false;
    path_.clear();
    damage_.clear();
    memory_.clear();
    lines_.clear();
    index_.clear();
    share_.reset();
}

int TDynamicFile::Open(const std::string& name, int mode) {
    if (open_) Close();
    Reset();

    if (mode == -7) {
        memoryOnly_ = true;
        loaded_ = true;
    } else {
        std::string target = name;
        const std::string lower = ToLower(name);
        if (mode == -6 || (mode == -5 && lower.rfind("file:/", 0) == 0)) {
            target = fs::FileUrlToPath(name);
            mode = -3;
        } else if (mode == -5 && lower.find("http:/") != std::string::npos) {
            if (web::Fetch(name, nullptr, memory_) != 200) {
                Reset();
                return -1;
            }
            memoryOnly_ = true;
            rewindBeforeLoad_ = true;
        } else if (mode == -5) {
            mode = -3;
        }

        if (!memoryOnly_) {
            unsigned access, share;
            switch (mode) {
                case -1:
                    access = platform::kShareReadWrite;
                    share = platform::kShareNone;
                    break;
                case 1:
                    access = platform::kShareReadWrite;
                    share = platform::kShareReadWrite;
                    break;
                case 2:
                    access = platform::kShareReadWrite;
                    share = platform::kShareRead;
                    break;
                case -2:
                    access = platform::kShareRead;
                    share = platform::kShareRead;
                    break;
                case -3:
                case -4:
                    access = platform::kShareRead;
                    share = platform::kShareReadWrite;
                    break;
                default:
                    return -1;
            }
            readOnly_ = !(access & platform::kShareWrite);
            dropStreamAfterLoad_ = mode == -4;
            const std::string path = fs::ResolveCase(target);
            if (target.empty() || (readOnly_ && !fs::FileExists(path))) {
                Reset();
                return -1;
            }
            if (ShareLock::Acquire(path, access, share, share_) == ShareLock::Result::kConflict) {
                Reset();
                return -1;
            }
            int fd =
                ::open(path.c_str(), (readOnly_ ? O_RDONLY : O_RDWR | O_CREAT) | O_CLOEXEC, 0666);
            if (fd < 0) {
                Reset();
                return -1;
            }
            ::close(fd);
            path_ = path;
        }
    }
    open_ = true;
    state_ = 1;
    return 1;
}

void TDynamicFile::AddLine(std::string text) {
    Line line;
    line.nameLen = text.find('=');
    line.text = std::move(text);
    if (line.nameLen != std::string::npos) {
        std::string key = ToLower(std::string_view(line.text).substr(0, line.nameLen));
        auto [it, fresh] = index_.try_emplace(std::move(key), Slot{lines_.size(), 0});
        ++it->second.count;
    }
    lines_.push_back(std::move(line));
}

void TDynamicFile::Parse(std::string_view content) {
    lines_.clear();
    index_.clear();
    size_t pos = 0;
    while (pos < content.size()) {
        size_t end = content.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            AddLine(std::string(content.substr(pos)));
            break;
        }
        AddLine(std::string(content.substr(pos, end - pos)));
        pos = (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n')
                  ? end + 2
                  : end + 1;
    }
}

int TDynamicFile::Load() {
    if (!open_) return -1;  // File not opened!
    if (loaded_) return 1;
    damage_.clear();
    if (memoryOnly_) {
        Parse(memory_);
    } else {
        struct stat st;
        if (::stat(path_.c_str(), &st) == 0 &&
            static_cast<uint64_t>(st.st_size) > settings_format::kMaxFileBytes) {
            damage_ = "the file is larger than " +
                      std::to_string(settings_format::kMaxFileBytes >> 20) + " MB";
            return -1;
        }
        std::string content;
        if (!ReadWholeFile(path_, content)) return -1;
        const size_t lines = static_cast<size_t>(std::count(content.begin(), content.end(), '\n'));
        if (lines > settings_format::kMaxLines) {
            damage_ =
                "the file has more than " + std::to_string(settings_format::kMaxLines) + " lines";
            return -1;
        }
        damage_ = settings_format::FindDamage(content);
        Parse(content);
    }
    loaded_ = true;
    if (dropStreamAfterLoad_) share_.reset();
    return 1;
}

int TDynamicFile::Lookup(std::string_view name, const std::string** value) {
    *value = nullptr;
    if (!open_ || Load() != 1) return -1;
    auto it = index_.find(ToLower(name));
    if (it == index_.end()) return 0;
    *value = &lines_[it->second.first].text;
    return 1;
}

int TDynamicFile::GetText(std::string_view name, std::string& value) {
    value.clear();
    const std::string* line;
    int rc = Lookup(name, &line);
    if (rc == 1) value = line->substr(line->find('=') + 1);
    return rc;
}

int TDynamicFile::GetInteger(std::string_view name, int32_t& value) {
    std::string text;
    int rc = GetText(name, text);
    value = rc == 1 ? settings_format::ParseInt32(text).value_or(0) : 0;
    return rc;
}

int TDynamicFile::GetInt64(std::string_view name, int64_t& value) {
    std::string text;
    int rc = GetText(name, text);
    value = rc == 1 ? settings_format::ParseInt64(text).value_or(0) : 0;
    return rc;
}

int TDynamicFile::GetReal(std::string_view name, double& value) {
    std::string text;
    int rc = GetText(name, text);
    value = rc == 1 ? settings_format::ParseReal(text).value_or(0.0) : 0.0;
    return rc;
}

int TDynamicFile::GetList(std::string_view name, std::vector<std::string>& list) {
    list.clear();
    std::string text;
    int rc = GetText(name, text);
    if (rc == 1) list = settings_format::FromCommaText(text);
    return rc;
}

int TDynamicFile::SetText(std::string_view name, std::string_view value) {
    if (!open_ || Load() != 1) return -1;
    if (BadName(name) || BadValue(value)) return -1;
    std::string key = ToLower(name);
    auto it = index_.find(key);
    if (value.empty()) {
        if (it == index_.end()) return 1;
        size_t at = it->second.first;
        lines_[at].dead = true;
        if (--it->second.count == 0) {
            index_.erase(it);
        } else {  // a later line with the same name now answers
            for (size_t i = at + 1; i < lines_.size(); ++i) {
                const Line& l = lines_[i];
                if (!l.dead && l.nameLen == key.size() &&
                    EqualsNoCase(std::string_view(l.text).substr(0, l.nameLen), key)) {
                    it->second.first = i;
                    break;
                }
            }
        }
    } else if (it != index_.end()) {
        Line& l = lines_[it->second.first];
        if (std::string_view(l.text).substr(l.nameLen + 1) == value) return 1;
        l.text.resize(l.nameLen + 1);
        l.text.append(value);
    } else {
        std::string text(name);
        text += '=';
        text.append(value);
        AddLine(std::move(text));
    }
    if (!readOnly_) changed_ = true;
    return 1;
}

int TDynamicFile::SetInteger(std::string_view name, int32_t value) {
    return SetText(name, std::to_string(value));
}

int TDynamicFile::SetInt64(std::string_view name, int64_t value) {
    return SetText(name, std::to_string(value));
}

int TDynamicFile::SetBoolean(std::string_view name, bool value) {
    return SetText(name, value ? "1" : "0");
}

int TDynamicFile::SetReal(std::string_view name, double value) {
    return SetText(name, settings_format::FormatReal(value));
}

int TDynamicFile::Names(std::vector<std::string>& names) {
    names.clear();
    if (!open_ || Load() != 1) return -1;
    for (const Line& l : lines_)
        if (!l.dead && l.nameLen != std::string::npos) names.push_back(l.text.substr(0, l.nameLen));
    return 1;
}

int TDynamicFile::Entries(std::vector<std::string>& entries) {
    entries.clear();
    if (!open_ || Load() != 1) return -1;
    for (const Line& l : lines_)
        if (!l.dead && l.nameLen != std::string::npos) entries.push_back(l.text);
    return 1;
}

int TDynamicFile::Clear() {
    if (!open_) return -1;
    lines_.clear();
    index_.clear();
    loaded_ = true;  // a later load must not bring the old lines back
    return 1;
}

int TDynamicFile::Save() {
    if (!open_ || readOnly_ || !changed_ || memoryOnly_) return 1;
    std::string content;
    size_t total = 0;
    for (const Line& l : lines_) total += l.text.size() + 2;
    content.reserve(total);
    for (const Line& l : lines_) {
        if (l.dead) continue;
        content += l.text;
        content += "\r\n";
    }
    if (keepBackup_) KeepBackup();
    if (!WriteFileAtomic(path_, content)) return -1;
    changed_ = false;
    return 1;
}

void TDynamicFile::KeepBackup() {
    std::string old;
    if (!ReadWholeFile(path_, old) || old.empty()) return;
    // One generation: the .bak is always the last file that read cleanly.
    if (settings_format::FindDamage(old).empty())
        WriteFileAtomic(path_ + ".bak", old);
    else
        LogError(kDamagedFileError,
                 path_ + " was damaged before this save; kept as " + KeepDamagedCopy(path_));
}

int TDynamicFile::Close() {
    if (!open_) {
        state_ = 2;
        return 1;
    }
    int rc = Save();
    Reset();
    return rc;
}

// ---------------------------------------------------------------------------------------
// TDynamicSettings

TDynamicSettings::TDynamicSettings() : file_(std::make_unique<TDynamicFile>()) {}
TDynamicSettings::~TDynamicSettings() = default;

int TDynamicSettings::Open(const std::string& name, int mode) {
    fileName_ = name;
    return file_->Open(name, mode);
}
int TDynamicSettings::LoadNow() {
    return file_->Load();
}
int TDynamicSettings::Save() {
    return file_->Save();
}
int TDynamicSettings::Clear() {
    return file_->Clear();
}

std::string TDynamicSettings::GetText(std::string_view name) {
    std::string v;
    file_->GetText(name, v);
    return v;
}
int32_t TDynamicSettings::GetInteger(std::string_view name) {
    int32_t v = 0;
    file_->GetInteger(name, v);
    return v;
}
int64_t TDynamicSettings::GetInt64(std::string_view name) {
    int64_t v = 0;
    file_->GetInt64(name, v);
    return v;
}
bool TDynamicSettings::GetBool(std::string_view name) {
    return settings_format::ReadBool(GetText(name));
}
double TDynamicSettings::GetReal(std::string_view name) {
    double v = 0;
    file_->GetReal(name, v);
    return v;
}
std::optional<std::vector<std::string>> TDynamicSettings::GetList(std::string_view name) {
    std::vector<std::string> list;
    if (file_->GetList(name, list) != 1) return std::nullopt;
    return list;
}

int TDynamicSettings::SetText(std::string_view name, std::string_view value) {
    return file_->SetText(name, value);
}
int TDynamicSettings::SetInteger(std::string_view name, int32_t value) {
    return file_->SetInteger(name, value);
}
int TDynamicSettings::SetInt64(std::string_view name, int64_t value) {
    return file_->SetInt64(name, value);
}
int TDynamicSettings::SetBool(std::string_view name, bool value) {
    return file_->SetBoolean(name, value);
}
int TDynamicSettings::SetReal(std::string_view name, double value) {
    return file_->SetReal(name, value);
}

// ---------------------------------------------------------------------------------------
// CorvSettings

namespace CorvSettings {
namespace {
struct Globals {
    std::unique_ptr<TDynamicSettings> workstation;
    std::unique_ptr<TDynamicSettings> policy;
    bool colorKeyboardDisabled = false;
    int charsPerWord = 5;
    bool backspacePrevented = false;
    std::string languageBase = "language";
};
Globals& G() {
    static Globals g;
    return g;
}
}  // namespace

TDynamicSettings* Policy() {
    return G().policy.get();
}
bool PolicyBool(const std::string& key) {
    return G().policy && G().policy->GetBool(key);
}
std::string PolicyText(const std::string& key) {
    return G().policy ? G().policy->GetText(key) : std::string();
}
TDynamicSettings* Workstation() {
    return G().workstation.get();
}

bool OpenPolicy(const std::string& folder) {
    auto policy = std::make_unique<TDynamicSettings>();
    if (policy->Open(fs::Join(folder, "Policy.dyn"), -3) != 1 || policy->LoadNow() != 1)
        return false;
    G().colorKeyboardDisabled = policy->GetBool("disable_colorkbd");
    int cpw = policy->GetInteger("wpm_length");
    if (cpw == 0) cpw = policy->GetInteger("ErrorFactor");
    G().charsPerWord = cpw > 0 ? cpw : 5;
    G().backspacePrevented = policy->GetBool("Prevent_Backspace");
    G().policy = std::move(policy);
    return true;
}

bool OpenWorkstation(const std::string& fileName, const std::string& folder, int mode) {
    const std::string path = fs::Join(folder, fileName);
    for (const std::string& candidate : {path, path + ".2nd"}) {
        auto ws = std::make_unique<TDynamicSettings>();
        if (ws->Open(candidate, mode) == 1 && ws->LoadNow() == 1) {
            // Only the program's own choices live here: what reads is used, and the bytes
            // as they were are kept before the next save rewrites the file.
            if (!ws->File().Damage().empty()) {
                const std::string copy = KeepDamagedCopy(ws->File().Path());
                const std::string text = "The file " + fs::BaseName(ws->File().Path()) +
                                         " is damaged: " + ws->File().Damage() +
                                         ". It was copied to " + fs::BaseName(copy) + ".";
                LogError(kDamagedFileError,
                         ws->File().Path() + ": " + ws->File().Damage() + "; kept as " + copy);
                ui::Message(text, Str(1), ui::Icon::kWarning, ui::Buttons::kOk, {1});
            }
            G().workstation = std::move(ws);
            return true;
        }
    }
    return false;
}

bool ColorKeyboardDisabled() {
    return G().colorKeyboardDisabled;
}
int CharsPerWord() {
    return G().charsPerWord;
}
bool BackspacePrevented() {
    return G().backspacePrevented;
}
std::string& LanguageFileBase() {
    return G().languageBase;
}

void CloseAll() {
    G().workstation.reset();
    G().policy.reset();
    G().colorKeyboardDisabled = false;
    G().charsPerWord = 5;
    G().backspacePrevented = false;
}

}  // namespace CorvSettings

}  // namespace corv
