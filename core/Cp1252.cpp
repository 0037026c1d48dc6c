#include "core/Cp1252.h"

#include <array>

namespace corv {
namespace {

// 0x80..0x9F; the undefined bytes keep their own value (C1 controls).
constexpr char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct CaseTables {
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
    constexpr CaseTables() {
        for (int i = 0; i < 256; ++i) {
            upper[i] = static_cast<unsigned char>(i);
            lower[i] = static_cast<unsigned char>(i);
        }
        auto pair = [this](int lo, int up) {
            upper[lo] = static_cast<unsigned char>(up);
            lower[up] = static_cast<unsigned char>(lo);
        };
        for (int c = 'a'; c <= 'z'; ++c) pair(c, c - 32);
        for (int c = 0xE0; c <= 0xFE; ++c)
            if (c != 0xF7) pair(c, c - 32);
        pair(0x9A, 0x8A);  // s caron
        pair(0x9C, 0x8C);  // oe
        pair(0x9E, 0x8E);  // z caron
        pair(0xFF, 0x9F);  // y diaeresis
    }
};
constexpr CaseTables kCase;

}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    return -1;
}

std::u32string Cp1252ToUtf32(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (char c : text) out.push_back(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf32ToCp1252(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : text) {
        int b = UnicodeToCp1252(cp);
        if (b >= 0) out.push_back(static_cast<char>(b));
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) {
        char32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(c));
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::u32string cps;
    cps.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= text.size()) {
            ++i;  // broken or cut sequence: skip the byte
            continue;
        }
        char32_t cp = extra == 0 ? b : (b & (0x3F >> extra));
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            ++i;
            continue;
        }
        cps.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return Utf32ToCp1252(cps);
}

char UpperCase(char c) {
    return static_cast<char>(kCase.upper[static_cast<unsigned char>(c)]);
}
char LowerCase(char c) {
    return static_cast<char>(kCase.lower[static_cast<unsigned char>(c)]);
}
bool IsUpperCase(char c) {
    auto b = static_cast<unsigned char>(c);
    return kCase.lower[b] != b;
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperCase(c);
    return out;
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerCase(c);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerCase(a[i]) != LowerCase(b[i])) return false;
    return true;
}

bool LessNoCase(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(LowerCase(a[i]));
        auto y = static_cast<unsigned char>(LowerCase(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace corv
