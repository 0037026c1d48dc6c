#include "data/keyboard/KeyCheck.h"

#include "core/Cp1252.h"

namespace corv {
namespace {

constexpr std::string_view kEnglish = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

std::string Quoted(char c) {
    return std::string("\"") + c + "\"";
}

std::string Where(const TKeyInfoExt& key) {
    return "line " + std::to_string(key.line);
}

}  // namespace

std::string LanguageLetters(std::string_view language) {
    const std::string code = ToUpper(language);
    std::string letters(kEnglish);
    if (code == "07") letters += "\xE4\xF6\xFC\xC4\xD6\xDC\xDF";
    if (code == "0C")
        letters +=
            "\xE0\xE2\xE7\xE9\xE8\xEA\xEB\xEE\xEF\xF4\xF9\xFB\xFC\xFF"
            "\xC0\xC2\xC8\xCA\xCB\xCE\xCF\xD4\xD9\xDB\xDC";
    if (code == "0B" || code == "1D") letters += "\xE5\xE4\xF6\xC5\xC4\xD6";
    return letters;
}

std::vector<TLayoutProblem> CheckLayoutFile(const std::string& path) {
    std::vector<TLayoutProblem> problems;
    TKeyDataExt layout;
    TLayoutLoadOptions options;
    options.useSystem = false;
    options.problems = &problems;
    if (layout.Load(path, options) < 0) return problems;
    for (const TLayoutProblem& p : problems)
        if (p.line == 0) return problems;  // not read at all
    if (layout.keys.empty()) {
        problems.push_back({0, "the layout has no keys"});
        return problems;
    }

    const auto& keys = layout.keys;
    for (size_t i = 0; i < keys.size(); ++i) {
        const TKeyInfoExt& a = *keys[i];
        if (a.hidden || a.width <= 0 || a.height <= 0) continue;
        for (size_t j = i + 1; j < keys.size(); ++j) {
            const TKeyInfoExt& b = *keys[j];
            if (b.hidden || b.width <= 0 || b.height <= 0) continue;
            if (a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
                b.y < a.y + a.height)
                problems.push_back({b.line, "key overlaps the key of " + Where(a)});
        }
    }

    if (!layout.IsBowl()) {
        const std::string& home = layout.homeRow;
        for (size_t i = 0; i < home.size() && i < 8; ++i) {
            const int wanted = static_cast<int>(i) + 1;
            TKeyLookup r = layout.FindKey(home[i]);
            if (!r)
                problems.push_back({0, "no key types the home-row character " + Quoted(home[i])});
            else if (r.key->finger != wanted)
                problems.push_back({r.key->line, "home-row character " + Quoted(home[i]) +
                                                     " is typed with finger " +
                                                     std::to_string(r.key->finger) + ", not " +
                                                     std::to_string(wanted)});
        }
        const std::string language =
            layout.layoutCode.empty() ? std::string() : layout.layoutLanguage;
        for (char c : LanguageLetters(language))
            if (!layout.FindKey(c))
                problems.push_back(
                    {0, "no key types " + Quoted(c) + ", a letter of the layout's language"});
    }
    return problems;
}

}  // namespace corv
