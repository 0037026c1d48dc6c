#include "data/keyboard/KeyData.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/keyboard/KeySystem.h"

namespace corv {
namespace {

// Accented letters, their base letters and accents, aligned character by character.
constexpr std::string_view kAccented =
    "\xC1\xC2\xC0\xC3\xC4\xC9\xCA\xC8\xCB\xCD\xCE\xCC\xCF\xD1\xD3\xD2\xD5\xD4\xD6\xDA\xDB\xD9\xDC"
    "\xDD"
    "\xE1\xE2\xE0\xE3\xE4\xE9\xEA\xE8\xEB\xED\xEE\xEC\xEF\xF1\xF3\xF4\xF2\xF5\xF6\xFA\xFB\xF9\xFC"
    "\xFD"
    "\xFF\xE7";
constexpr std::string_view kBases = "AAAAAEEEEIIIINOOOOOUUUUYaaaaaeeeeiiiinooooouuuuyyc";
constexpr std::string_view kAccents =
    "\xB4^`~\xA8\xB4^`\xA8\xB4^`\xA8~\xB4`~^\xA8\xB4^`\xA8\xB4\xB4^`~\xA8\xB4^`\xA8\xB4^`\xA8~\xB4^"
    "`~"
    "\xA8\xB4^`\xA8\xB4\xA8\xB8";
static_assert(kAccented.size() == kBases.size() && kBases.size() == kAccents.size());

constexpr char kNoBreakSpace = '\xA0';
constexpr int kShift = 1;
constexpr int kAltGr = 4;
constexpr int kShiftAltGrSlot = 20;
constexpr int kBowlSecondary = 10;
constexpr int kMaxCoordinate = 1000000;

bool HasAlternatives(const std::string& text) {
    return text.size() >= 2 && text[0] != '|' && text[1] == '|';
}

// Decimal digits only, no sign; nullopt for anything else or an absurd size.
std::optional<int64_t> Digits(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<int> Number(std::string_view word) {
    std::string t = TrimBlanks(word);
    if (!t.empty() && t[0] == '-') {
        auto v = Digits(std::string_view(t).substr(1));
        if (!v) return std::nullopt;
        return static_cast<int>(-*v);
    }
    if (!t.empty() && t[0] == '+') t.erase(0, 1);
    auto v = Digits(t);
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
}

int Clamp(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kMaxCoordinate, kMaxCoordinate));
}

// The written tokens of key texts.
std::string DecodeText(const std::string& word) {
    if (word == "% ") return "%";
    if (word == "EMPTY") return {};
    if (word == "#13") return "\r";
    if (word == "#32") return " ";
    return word;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

int MirrorFinger(int finger) {
    return finger >= 1 && finger <= 8 ? 9 - finger : 0;
}

std::unique_ptr<TKeyDataExt>& Current() {
    static std::unique_ptr<TKeyDataExt> layout;
    return layout;
}

}  // namespace

bool DecomposeAccented(char letter, char& base, char& accent, bool withCedillaCapital) {
    size_t at = kAccented.find(letter);
    if (at != std::string_view::npos) {
        base = kBases[at];
        accent = kAccents[at];
        return true;
    }
    if (withCedillaCapital && letter == '\xC7') {
        base = 'C';
        accent = '\xB8';
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// Reading a layout file

class TKeyDataExt::Reader {
  public:
    Reader(TKeyDataExt& layout, const TLayoutLoadOptions& options)
        : k_(layout), options_(options) {}

    void Line(const std::string& raw, int lineNumber) {
        line_ = lineNumber;
        const std::string text = TrimBlanks(raw);
        if (text.empty() || text[0] == '\'') return;
        const std::vector<std::string> words = SplitWords(text, ";");
        if (words.empty()) return;
        const std::string kind = ToLower(words[0]);
        auto word = [&](size_t i) { return i < words.size() ? words[i] : std::string(); };

        if (kind == "keybowldata") {
            k_.notBowl = false;
        } else if (kind == "layoutcode") {
            k_.layoutCode = TrimBlanks(word(1));
            k_.layoutLanguage = k_.layoutCode.size() >= 2
                                    ? k_.layoutCode.substr(k_.layoutCode.size() - 2)
                                    : k_.layoutCode;
            bool hex = k_.layoutCode.size() == 8;
            for (char c : k_.layoutCode) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
            if (!hex)
                Problem("layout code \"" + k_.layoutCode + "\" is not eight hexadecimal digits");
        } else if (kind == "dynamiclayout") {
            if (options_.useSystem && SystemTable()) k_.dynamic = true;
        } else if (kind == "materialbased") {
            k_.materialBase = k_.dynamic ? DynamicMaterialBase() : ToLower(word(1));
        } else if (kind == "keybpicfile") {
            k_.keybPicFile = ToLower(word(1));
            k_.keybPicX = Number(word(2)).value_or(0);
            k_.keybPicY = Number(word(3)).value_or(0);
        } else if (kind == "homerow") {
            k_.homeRow = k_.dynamic ? DynamicHomeRow() : word(1);
            if (!k_.dynamic && k_.homeRow.size() != 8)
                Problem("home row \"" + k_.homeRow + "\" does not have 8 characters");
        } else if (kind == "defaultsize") {
            k_.defaultWidth = SizeValue(word(1), k_.defaultWidth, "default width");
            k_.defaultHeight = SizeValue(word(2), k_.defaultHeight, "default height");
        } else if (kind == "fontsize") {
            for (size_t i = 0; i < 3; ++i)
                if (words.size() > i + 1)
                    k_.fontSizes[i] = SizeValue(word(i + 1), k_.fontSizes[i], "font size");
        } else if (kind == "commadot") {
            k_.commaDotMode = Number(word(1)).value_or(0);
        } else if (IsKeyKind(kind)) {
            Key(words, kind);
            return;
        } else {
            Problem("unknown line kind \"" + words[0] + "\"");
        }
    }

    void Problem(const std::string& text) {
        if (options_.problems) options_.problems->push_back({line_, text});
    }

  private:
    static bool IsKeyKind(const std::string& kind) {
        static const char* const kKinds[] = {"key",          "vkey",        "xkey",
                                             "bowlkey",      "commadotkey", "tabkey",
                                             "capslockkey",  "enterkey",    "spacekey",
                                             "backspacekey", "controlkey",  "shiftcontrolkey"};
        for (const char* k : kKinds)
            if (kind == k) return true;
        return false;
    }

    int SizeValue(const std::string& word, int fallback, const char* what) {
        auto v = Number(word);
        if (!v || *v < 0) {
            Problem(std::string(what) + " \"" + word + "\" is not a number");
            return fallback;
        }
        return *v;
    }

    // "+n" and "-n" after the previous key, 0 the previous position, else absolute; a
    // word that is not a number gives -1.
    int Position(const std::string& word, int previous, int previousSize, const char* what) {
        std::string t = TrimBlanks(word);
        std::optional<int64_t> n;
        int64_t value = -1;
        if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
            n = Digits(std::string_view(t).substr(1));
            if (n) value = int64_t{previous} + previousSize + (t[0] == '+' ? *n : -*n);
        } else {
            n = Digits(t);
            if (n) value = *n == 0 ? previous : *n;
        }
        if (!n) Problem(std::string(what) + " \"" + word + "\" is not a number");
        return Clamp(value);
    }

    // Missing or not a number: the default; 0: the previous key's.
    int KeySize(const std::vector<std::string>& words, size_t at, int previous, int fallback,
                const char* what) {
        if (at >= words.size()) return fallback;
        auto v = Number(words[at]);
        if (!v) {
            Problem(std::string(what) + " \"" + words[at] + "\" is not a number");
            return fallback;
        }
        if (*v < 0) Problem(std::string(what) + " " + std::to_string(*v) + " is negative");
        return *v == 0 ? previous : Clamp(*v);
    }

    void Key(const std::vector<std::string>& words, const std::string& kind) {
        auto key = std::make_unique<TKeyInfoExt>();
        key->kind = kind;
        key->line = line_;

        auto finger = words.size() > 1 ? Number(words[1]) : std::nullopt;
        key->finger = finger ? *finger : -1;
        if (!finger)
            Problem("finger \"" + (words.size() > 1 ? words[1] : std::string()) +
                    "\" is not a number");
        else if (!key->HasFinger())
            Problem("finger " + std::to_string(*finger) + " is not 1 to 10");

        key->x =
            Position(words.size() > 2 ? words[2] : std::string(), k_.cursorX, k_.cursorWidth, "x");
        key->y =
            Position(words.size() > 3 ? words[3] : std::string(), k_.cursorY, k_.cursorHeight, "y");
        key->width = KeySize(words, 4, k_.cursorWidth, k_.defaultWidth, "width");
        key->height = KeySize(words, 5, k_.cursorHeight, k_.defaultHeight, "height");
        k_.cursorX = key->x;
        k_.cursorY = key->y;
        k_.cursorWidth = key->width;
        k_.cursorHeight = key->height;

        size_t next = 6;
        if (words.size() > 6) {
            bool foreign = false;
            for (char c : words[6]) {
                switch (LowerCase(c)) {
                    case 'h':
                        key->hidden = true;
                        break;
                    case 'n':
                        key->homeBump = true;
                        break;
                    case 'a':
                        key->alwaysColoured = true;
                        break;
                    case 's':
                        key->secondFont = true;
                        break;
                    case 'z':
                        key->errorPicture = true;
                        break;
                    case 'd':
                        key->storedOnly = true;
                        break;
                    case '-':
                        break;
                    default:
                        foreign = true;
                }
            }
            if (foreign)
                Problem("flags word \"" + words[6] +
                        "\" holds other letters than h, n, a, s, z, d "
                        "(write \"-\" when there are no flags)");
            next = 7;
        }
        if (words.size() > next && StartsWithNoCase(words[next], "pic=")) {
            Pictures(*key, words[next].substr(4));
            ++next;
        }

        const bool control = kind == "controlkey" || kind == "shiftcontrolkey";
        if (control) {
            auto n = next < words.size() ? Number(words[next]) : std::nullopt;
            key->controlNumber = n ? *n : -1;
            if (!n)
                Problem("control number \"" + (next < words.size() ? words[next] : std::string()) +
                        "\" is not a number");
            else if (*n < 0 || *n >= kControls)
                Problem("control number " + std::to_string(*n) + " is not 0 to 20");
            ++next;
        }

        std::vector<std::string> texts(
            words.begin() + static_cast<std::ptrdiff_t>(std::min(next, words.size())), words.end());
        if (kind == "vkey" || kind == "xkey") {
            // The scan code is the third word of the texts: slot 0, slot 1, scan code,
            // then slot 2 onwards.
            if (texts.size() < 3) {
                Problem(kind + " line has no scan code: it is word " + std::to_string(next + 2) +
                        ", after the texts of slots 0 and 1");
            } else {
                auto scan = Digits(TrimBlanks(texts[2]));
                if (!scan || *scan > 127)
                    Problem(kind + " scan code \"" + texts[2] + "\" (word " +
                            std::to_string(next + 2) + ") is not a number from 0 to 127");
                else
                    key->scanCode = static_cast<int>(*scan);
                texts.erase(texts.begin() + 2);
            }
        }
        if (texts.size() > static_cast<size_t>(TKeyInfoExt::kSlots))
            Problem(std::to_string(texts.size()) + " texts: only 21 slots are read");
        for (size_t s = 0; s < texts.size() && s < static_cast<size_t>(TKeyInfoExt::kSlots); ++s) {
            std::string t = DecodeText(texts[s]);
            if (t.size() > TKeyInfoExt::kMaxText) {
                Problem("text \"" + t + "\" is longer than 15 characters and is cut");
                t.resize(TKeyInfoExt::kMaxText);
            }
            key->texts[s] = std::move(t);
        }
        // The Shift caption replaces the first text, in the user's language.
        if (kind == "shiftcontrolkey") key->texts[0] = Str(167).substr(0, TKeyInfoExt::kMaxText);

        if (kind == "tabkey" || kind == "enterkey" || kind == "spacekey" ||
            kind == "backspacekey") {
            key->texts = {};
            key->texts[0] = kind == "tabkey"     ? "\t"
                            : kind == "enterkey" ? "\r"
                            : kind == "spacekey" ? " "
                                                 : "\b";
        } else if (kind == "commadotkey") {
            if (options_.useSystem && SystemTable() && system_[83].plain)
                key->texts[0] = std::string(1, system_[83].plain);
            else if (key->texts[0].empty())
                key->texts[0] = ".";
        } else if (kind == "bowlkey") {
            key->bowlKey = true;
        } else if ((kind == "vkey" || kind == "xkey") && k_.dynamic && key->scanCode > 0) {
            const TSystemKeyTexts& s = system_[static_cast<size_t>(key->scanCode)];
            auto one = [](char c) { return c ? std::string(1, c) : std::string(); };
            key->texts[0] = one(s.plain);
            key->texts[1] = one(s.shift);
            key->texts[kAltGr] = one(s.altGr);
            key->texts[kShiftAltGrSlot] = one(s.shiftAltGr);
        }

        if (control && key->controlNumber > 0 && key->controlNumber < kControls) {
            auto& table = key->finger > 4 && k_.notBowl ? k_.rightControls : k_.leftControls;
            table[static_cast<size_t>(key->controlNumber)] = key.get();
        }

        k_.keys.push_back(std::move(key));
        // Keys written one after the other on the same row are neighbours.
        const size_t n = k_.keys.size();
        if (n >= 2 && k_.keys[n - 2]->y == k_.keys[n - 1]->y) {
            k_.keys[n - 2]->rightNeighbour = k_.keys[n - 1].get();
            k_.keys[n - 1]->leftNeighbour = k_.keys[n - 2].get();
        }
    }

    void Pictures(TKeyInfoExt& key, const std::string& list) {
        const std::vector<std::string> files = SplitWords(list, "=,");
        const std::string folder = fs::DirName(fs::NormalizeSeparators(k_.fileName));
        auto resolve = [&](size_t i) -> std::string {
            if (i >= files.size()) return {};
            std::string path = fs::ResolveCase(folder + fs::NormalizeSeparators(files[i]));
            if (fs::FileExists(path)) return path;
            Problem("picture \"" + files[i] + "\" does not exist");
            return {};
        };
        key.normalPicture = resolve(0);
        key.highlightedPicture = resolve(1);
        key.hasPictures = !key.normalPicture.empty();
    }

    bool SystemTable() {
        if (!systemAsked_) {
            systemAsked_ = true;
            haveSystem_ = LayoutSystem().KeyTable(system_);
        }
        return haveSystem_;
    }

    std::string Plain(int from, int to) {
        std::string out;
        for (int s = from; s <= to; ++s)
            if (char c = system_[static_cast<size_t>(s)].plain) out += c;
        return out;
    }

    std::string DynamicMaterialBase() {
        const std::string top = ToLower(Plain(16, 21));
        const std::string five = top.substr(0, 5);
        if (five == "',.py") return "dvorak";
        if (five == ";qbyu") return "dvorakl";
        if (five == "56q.o") return "dvorakr";
        return top;
    }

    std::string DynamicHomeRow() { return Plain(30, 33) + Plain(36, 39); }

    TKeyDataExt& k_;
    const TLayoutLoadOptions& options_;
    int line_ = 0;
    bool systemAsked_ = false;
    bool haveSystem_ = false;
    TSystemKeyTable system_{};
};

TKeyDataExt::TKeyDataExt() = default;
TKeyDataExt::~TKeyDataExt() = default;

int TKeyDataExt::Load(const std::string& name) {
    return Load(name, TLayoutLoadOptions{});
}

int TKeyDataExt::Load(const std::string& name, const TLayoutLoadOptions& options) {
    fileName = name;
    TStreamFile file;
    const int status = file.Open(name, 1);
    if (status < 0) {
        if (options.problems) options.problems->push_back({0, "cannot open " + name});
        return status;
    }
    Reader reader(*this, options);
    if (TrimBlanks(file.version) != "6") {
        if (options.problems)
            options.problems->push_back(
                {0, "version \"" + file.version + "\": a layout file must be version 6"});
        else
            ReportError(-89, name);
        file.Close();
        return status;
    }

    // Line numbers for the problem list: the header lines come first.
    int lineNumber = 0;
    if (options.problems) {
        std::vector<std::string> raw;
        TStreamFile::LoadLines(raw, name);
        for (size_t i = 0; i < raw.size() && i < 8; ++i) {
            std::string t = TrimBlanks(raw[i]);
            if (t.empty() || t[0] != '$' || StartsWithNoCase(t, "$end")) break;
            ++lineNumber;
        }
    }
    std::string line;
    for (;;) {
        const int rc = file.ReadLongLine(line);
        if (rc != kFileOk && rc != kFileEnd) break;
        reader.Line(line, ++lineNumber);
        if (rc != kFileOk) break;
    }
    file.Close();

    charSet.clear();
    for (const auto& key : keys)
        for (const std::string& t : key->texts) charSet += t;
    semicolonReplacement = homeRow.size() >= 8 ? homeRow[7] : ';';
    return status;
}

bool TKeyDataExt::ActivateSystemLayout(bool checkInstalled) {
    if (layoutCode.empty()) return false;
    TLayoutSystem& system = LayoutSystem();
    if (checkInstalled) {
        bool installed = false;
        for (const std::string& id : system.InstalledLayoutIds())
            installed = installed || EqualsNoCase(id, layoutCode);
        if (!installed) return false;
    }
    return system.ActivateLayout(ToUpper(layoutCode));
}

// ---------------------------------------------------------------------------------------
// Lookups

const TKeyInfoExt* TKeyDataExt::Control(int number, bool rightHand) const {
    if (number < 0 || number >= kControls) return nullptr;
    return (rightHand ? rightControls : leftControls)[static_cast<size_t>(number)];
}

// The entry of one hand, else the other hand's.
TKeyInfoExt* TKeyDataExt::ControlFor(int number, bool rightHand) const {
    if (number < 0 || number >= kControls) return nullptr;
    const size_t n = static_cast<size_t>(number);
    TKeyInfoExt* key = (rightHand ? rightControls : leftControls)[n];
    return key ? key : (rightHand ? leftControls : rightControls)[n];
}

TKeyLookup TKeyDataExt::FindDirect(std::string_view text) {
    TKeyLookup r;
    if (text.empty()) return r;
    for (const auto& key : keys) {
        const std::string& plain = key->texts[0];
        bool hit = plain == text;
        if (!hit && HasAlternatives(plain)) {
            for (const std::string& alternative : SplitWords(plain, "|"))
                hit = hit || alternative == text;
        }
        if (hit) {
            r.key = key.get();
            r.slot = 0;
            return r;
        }
        if (key->texts[kShift] == text) {
            r.key = key.get();
            r.slot = kShift;
            // Shift of the other hand.
            r.modifier = ControlFor(kShift, key->finger < 5 && notBowl);
            return r;
        }
    }
    for (const auto& key : keys) {
        for (int slot = 2; slot < TKeyInfoExt::kSlots; ++slot) {
            if (key->texts[static_cast<size_t>(slot)] != text) continue;
            r.key = key.get();
            r.slot = slot;
            int k = slot;
            if (!notBowl && k > 9) {
                r.secondary = ControlFor(kBowlSecondary, false);
                k -= 9;
            }
            if (k == kShiftAltGrSlot) {
                r.modifier = ControlFor(kAltGr, true);
                r.secondary = ControlFor(kShift, false);
            } else {
                r.modifier = ControlFor(k, key->finger < 5 && notBowl);
            }
            return r;
        }
    }
    return r;
}

TKeyLookup TKeyDataExt::FindKey(std::string_view text) {
    TKeyLookup r = FindDirect(text);
    char base = 0, accent = 0;
    if (!r && text.size() == 1 && DecomposeAccented(text[0], base, accent, false)) {
        r = FindDirect(std::string_view(&accent, 1));
        if (r) r.baseLetter = base;
    }
    lastSecondary = r.secondary;
    return r;
}

int TKeyDataExt::FingerOf(char c) {
    TKeyLookup r = FindKey(c);
    return r && r.key->HasFinger() ? r.key->finger : 0;
}

int TKeyDataExt::ModifierFingerOf(char c) {
    TKeyLookup r = FindKey(c);
    return r.modifier && r.modifier->HasFinger() ? r.modifier->finger : 0;
}

uint32_t TKeyDataExt::FingersOf(std::string_view text) {
    uint32_t bits = 0;
    auto add = [&](const TKeyInfoExt* key) {
        if (key && key->HasFinger()) bits |= 1u << key->finger;
    };
    for (char c : text) {
        TKeyLookup r = FindKey(c);
        add(r.key);
        add(r.modifier);
        add(r.secondary);
        if (r.baseLetter) add(FindDirect(std::string_view(&r.baseLetter, 1)).key);
    }
    return bits;
}

std::string TKeyDataExt::CaptionOf(char c) {
    TKeyLookup r = FindKey(c);
    return r ? r.key->texts[0] : std::string();
}

std::string TKeyDataExt::FingerName(int finger) const {
    if (!notBowl) return {};
    switch (finger) {
        case 1:
            return Str(154);
        case 2:
            return Str(155);
        case 3:
            return Str(156);
        case 4:
            return Str(157);
        case 5:
            return Str(158);
        case 6:
            return Str(159);
        case 7:
            return Str(160);
        case 8:
            return Str(161);
        case 9:
        case 10:
            return Str(162);
        default:
            return "-";
    }
}

bool TKeyDataExt::HasFingers() const {
    if (!notBowl) return false;
    for (const auto& key : keys)
        if (key->HasFinger()) return true;
    return false;
}

bool TKeyDataExt::IsHomeKey(char c) const {
    if (c == 0) return false;
    return ToUpper(homeRow).find(UpperCase(c)) != std::string::npos;
}

char TKeyDataExt::HomeKeyFor(char c) {
    if (IsHomeKey(c)) return c;
    const int finger = FingerOf(c);
    if (finger == 0) return 0;
    for (char h : homeRow)
        if (FingerOf(h) == finger) return h;
    return 0;
}

// The caption of a key's slot when it is one character other than `c`, 0 and the
// no-break space.
std::string TKeyDataExt::Single(const TKeyInfoExt* key, int slot, char c) const {
    if (!key) return {};
    const std::string caption = KeyCaption(*key, slot);
    if (caption.size() != 1 || caption[0] == c || caption[0] == '\0' || caption[0] == kNoBreakSpace)
        return {};
    return caption;
}

std::string TKeyDataExt::KeysOfFinger(char c, int finger) {
    TKeyLookup r = FindKey(c);
    if (!r || finger < 1 || finger > 10) return {};
    const int slot = r.key->texts[kShift] == std::string(1, c) ? kShift : 0;
    std::string out;
    for (const auto& key : keys)
        if (key->finger == finger) out += Single(key.get(), slot, c);
    return out;
}

std::string TKeyDataExt::SameFingerKeys(char c) {
    TKeyLookup r = FindKey(c);
    return r ? KeysOfFinger(c, r.key->finger) : std::string();
}

std::string TKeyDataExt::MirrorFingerKeys(char c) {
    TKeyLookup r = FindKey(c);
    return r ? KeysOfFinger(c, MirrorFinger(r.key->finger)) : std::string();
}

std::string TKeyDataExt::NeighbourKeys(char c) {
    TKeyLookup r = FindKey(c);
    if (!r) return {};
    const int slot = r.key->texts[kShift] == std::string(1, c) ? kShift : 0;
    return Single(r.key->leftNeighbour, slot, c) + Single(r.key->rightNeighbour, slot, c);
}

std::string TKeyDataExt::KeyCaption(const TKeyInfoExt& key, int slot) const {
    if (slot < 0 || slot >= TKeyInfoExt::kSlots) return {};
    const std::string& text = key.texts[static_cast<size_t>(slot)];
    if (text == "\t") return Str(163);
    if (text == "\r") return Str(164);
    if (text == "\b") return Str(165);
    if (text == " ") return Str(166);
    if (HasAlternatives(text)) return text.substr(0, text.find('|'));
    return text;
}

std::string TKeyDataExt::CommaDotKey(std::string_view text) {
    if (commaDotMode == 1 && (text == "." || text == ",")) {
        TKeyLookup r = FindKey(text);
        if (r && !r.key->texts[0].empty()) return r.key->texts[0].substr(0, 1);
    }
    return std::string(text);
}

std::string TKeyDataExt::CannotProduce(std::string_view text) const {
    std::string missing;
    auto has = [&](char c) { return charSet.find(c) != std::string::npos; };
    for (char c : text) {
        if (has(c) || missing.find(c) != std::string::npos) continue;
        // Enter types the whole line end.
        if (c == '\n' && has('\r')) continue;
        char base = 0, accent = 0;
        if (DecomposeAccented(c, base, accent, true) && has(base) && has(accent)) continue;
        missing += c;
    }
    return missing;
}

// ---------------------------------------------------------------------------------------
// The process's layout and the user's choice

TKeyDataExt* CurrentLayout() {
    return Current().get();
}
void SetCurrentLayout(std::unique_ptr<TKeyDataExt> layout) {
    Current() = std::move(layout);
}

std::unique_ptr<TKeyDataExt> ReloadLayout(const TKeyDataExt& layout) {
    auto fresh = std::make_unique<TKeyDataExt>();
    if (fresh->Load(layout.fileName) < 0) return nullptr;
    fresh->semicolonReplacement = layout.semicolonReplacement;
    return fresh;
}

std::string ChooseLayoutFile(const std::vector<std::string>& layoutLines,
                             const std::string& systemId, TUser* user, const std::string& fallback,
                             bool wantName) {
    bool autoDetect = true;
    if (user) {
        autoDetect = user->LBool("KeyboardAutoDetect", 1);
        if (!user->IsLocked("KeyboardAutoDetect") && user->IsLocked("KeyboardLayout"))
            autoDetect = false;
    }
    struct Line {
        std::string name, file, language, variant;
        size_t words = 0;
    };
    auto parse = [](const std::string& text) {
        Line l;
        std::vector<std::string> w = SplitWords(text, "=;");
        for (std::string& s : w) s = TrimBlanks(s);
        l.words = w.size();
        if (w.size() > 0) l.name = w[0];
        if (w.size() > 1) l.file = w[1];
        if (w.size() > 2) l.language = ToUpper(w[2]);
        if (w.size() > 3) l.variant = ToUpper(w[3]);
        return l;
    };

    bool found = false;
    std::string file, name;
    if (autoDetect || wantName) {
        const std::string id = ToUpper(TrimBlanks(systemId));
        if (id.size() == 8) {
            const std::string language = id.substr(6, 2);
            std::string variant = id.substr(3, 3);
            if (variant == "000") variant.clear();
            for (const std::string& text : layoutLines) {
                Line l = parse(text);
                if (l.words < 3 || l.language != language) continue;
                if (l.variant.compare(0, 2, "XX") == 0) {
                    found = true;
                    file = l.file;
                    name = l.name;
                } else if (l.variant == variant) {
                    found = true;
                    file = l.file;
                    name = l.name;
                    break;
                }
            }
        }
    } else {
        const std::string wanted = ToUpper(user->LText("KeyboardLayout", 1));
        for (const std::string& text : layoutLines) {
            Line l = parse(text);
            if (l.words >= 2 && ToUpper(l.name) == wanted) {
                found = true;
                file = l.file;
                name = l.name;
                break;
            }
        }
    }
    if (wantName) return found ? name : Str(1107);
    return found ? file : fallback;
}

std::string ChooseLayoutFile(const std::string& fallback, bool wantName) {
    static const std::vector<std::string> kNone;
    TProgramSettings* ps = ProgramSettings();
    return ChooseLayoutFile(ps ? ps->layoutLines : kNone, LayoutSystem().CurrentLayoutId(),
                            CurrentUser(), fallback, wantName);
}

int LoadUserLayout(TUser& user) {
    static const std::vector<std::string> kNone;
    TProgramSettings* ps = ProgramSettings();
    const std::string file = ChooseLayoutFile(
        ps ? ps->layoutLines : kNone, LayoutSystem().CurrentLayoutId(), &user, "qwerty.kbd", false);
    auto layout = std::make_unique<TKeyDataExt>();
    const int status = layout->Load((ps ? ps->keyboardsFolder : std::string()) + file);
    if (status < 0) {
        ReportError(-500, file + " not found!");
        return status;
    }
    SetCurrentLayout(std::move(layout));
    TDynamicSettings* policy = CorvSettings::Policy();
    if (!(policy && policy->GetBool("DisableWindowsLayouts")))
        CurrentLayout()->ActivateSystemLayout(true);
    return status;
}

void InstallKeyboardLayoutSources() {
    TProgramSettings::SetLayoutIdSource([] { return LayoutSystem().CurrentLayoutId(); });
    TUser::SetSemicolonSource([] {
        TKeyDataExt* layout = CurrentLayout();
        return layout && layout->semicolonReplacement ? layout->semicolonReplacement : ';';
    });
}

}  // namespace corv
