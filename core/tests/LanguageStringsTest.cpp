// Every language string the code asks for (written Str(N) or Compose({N, ...}), see
// core/Localize.h) must have an English text in the shipped install/language.eng.

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "core/Cp1252.h"
#include "core/Localize.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

namespace fsys = std::filesystem;
using test::ReadFile;

const std::string kSourceDir = CORV_SOURCE_DIR;

// The string numbers a source text asks for.
std::set<int> RequestedStrings(const std::string& source) {
    static const std::regex single(R"(\bStr\(\s*(\d+)\s*\))");
    static const std::regex list(R"(\bCompose\(\s*\{([^}]*)\}\s*\))");
    static const std::regex number(R"(\s*(-?\d+)\s*)");
    std::set<int> found;
    for (std::sregex_iterator it(source.begin(), source.end(), single), end; it != end; ++it)
        found.insert(std::stoi((*it)[1]));
    for (std::sregex_iterator it(source.begin(), source.end(), list), end; it != end; ++it) {
        // Only items that are whole literals: "Compose({N1, N2})" in a comment asks nothing.
        std::string items = std::string((*it)[1]) + ",";
        for (size_t start = 0, comma; (comma = items.find(',', start)) != std::string::npos;
             start = comma + 1) {
            std::smatch m;
            std::string item = items.substr(start, comma - start);
            if (std::regex_match(item, m, number) && std::stoi(m[1]) >= 0)
                found.insert(std::stoi(m[1]));
        }
    }
    return found;
}

// Source folders only: no build trees, no tests, nothing hidden.
bool SkippedFolder(const fsys::path& dir) {
    std::string name = dir.filename().string();
    return name.empty() || name[0] == '.' || name == "tests" || name.rfind("build", 0) == 0 ||
           fsys::exists(dir / "CMakeCache.txt");
}

// number -> the first file that asks for it
std::map<int, std::string> RequestedInSources(const fsys::path& root) {
    std::map<int, std::string> found;
    std::vector<fsys::path> folders{root};
    while (!folders.empty()) {
        fsys::path dir = folders.back();
        folders.pop_back();
        for (const auto& entry : fsys::directory_iterator(dir)) {
            if (entry.is_directory()) {
                if (!SkippedFolder(entry.path())) folders.push_back(entry.path());
                continue;
            }
            std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            for (int n : RequestedStrings(ReadFile(entry.path().string())))
                found.emplace(n, fsys::relative(entry.path(), root).string());
        }
    }
    return found;
}

// The numbers without a non-empty text in the table.
std::vector<int> Missing(const std::map<int, std::string>& requested, const TLocalize& table) {
    std::vector<int> missing;
    for (const auto& [n, file] : requested)
        if (!table.IsGiven(n) || table.String(n).empty()) missing.push_back(n);
    return missing;
}

TEST(LanguageStrings, ScannerFindsBothFormsOnly) {
    std::string source =
        "a = Str(12); b = corv::Str( 5 ); c = Compose({1, -1, 374});\n"
        "Str(n); MyStr(99); Compose({}); Compose({N1, N2, ...}); Compose({ids});\n"
        "// Str(7) in a comment beside a table counts too\n";
    EXPECT_EQ(RequestedStrings(source), (std::set<int>{1, 5, 7, 12, 374}));
}

TEST(LanguageStrings, CheckReportsAMissingOrEmptyText) {
    testsupport::RecordingUi ui;
    TLocalize table;
    table.SetString(0, "language.eng");
    table.SetString(1, "Corvella");
    table.SetString(3, "");
    std::map<int, std::string> requested{{1, "a.cpp"}, {2, "b.cpp"}, {3, "c.cpp"}, {9, "d.cpp"}};
    EXPECT_EQ(Missing(requested, table), (std::vector<int>{2, 3, 9}));
}

TEST(LanguageStrings, EveryRequestedStringHasEnglishText) {
    testsupport::RecordingUi ui;
    TLocalize english;
    ASSERT_EQ(english.LoadFile(kSourceDir + "/install/language.eng", TLocalize::kBase), 0);
    auto requested = RequestedInSources(kSourceDir);
    ASSERT_FALSE(requested.empty()) << "the scan found no requests at all";
    for (int n : {1, 126, 372, 374, 1889, 1890, 1891})
        EXPECT_TRUE(requested.count(n)) << "the scan missed " << n;
    for (int n : Missing(requested, english))
        ADD_FAILURE() << "install/language.eng has no text for string " << n << " (asked for in "
                      << requested[n] << ")";
}

// The codes CorvLangs.ini lists, read as the program reads it.
std::vector<std::string> ShippedCodes() {
    test::TempDir dir;
    fsys::copy_file(kSourceDir + "/install/CorvLangs.ini", dir / "CorvLangs.ini");
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd) || chdir(dir.path().c_str()) != 0) return {};
    testsupport::RecordingUi ui;
    TLocalize loc;
    std::vector<std::string> codes;
    for (size_t i = 0; i < loc.LanguageList().size(); ++i) codes.push_back(loc.CodeOfEntry(int(i)));
    if (chdir(cwd) != 0) return {};
    return codes;
}

TEST(LanguageStrings, ShippedTranslationsHaveEveryEnglishString) {
    testsupport::RecordingUi ui;
    TLocalize english;
    ASSERT_EQ(english.LoadFile(kSourceDir + "/install/language.eng", TLocalize::kBase), 0);
    const std::vector<std::string> codes = ShippedCodes();
    ASSERT_GE(codes.size(), 3u) << "CorvLangs.ini lists English, German and French";
    for (const std::string& code : codes) {
        if (code == "ENG") continue;
        const std::string file = "language." + ToLower(code);
        SCOPED_TRACE(file);
        TLocalize other;
        ASSERT_EQ(other.LoadFile(kSourceDir + "/install/" + file, TLocalize::kBase), 0);
        EXPECT_EQ(other.TableSize(), english.TableSize());
        for (int n = 0; n < english.TableSize(); ++n) {
            if (english.IsGiven(n) && !other.IsGiven(n))
                ADD_FAILURE() << "install/" << file << " has no string " << n << " (English: \""
                              << english.String(n) << "\")";
            else if (!english.IsGiven(n) && other.IsGiven(n))
                ADD_FAILURE() << "install/" << file << " has string " << n
                              << ", which English does not have";
            else if (english.IsGiven(n) && english.String(n).empty() != other.String(n).empty())
                ADD_FAILURE() << "install/" << file << " string " << n << " is empty in one file";
        }
    }
}

TEST(LanguageStrings, ShippedFilesFollowTheFormat) {
    for (const std::string& code : ShippedCodes()) {
        const std::string name = "language." + ToLower(code);
        SCOPED_TRACE(name);
        std::string bytes = ReadFile(kSourceDir + "/install/" + name);
        ASSERT_FALSE(bytes.empty());
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
            }
            if (bytes[i] == '\r') {
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
            }
        }
        ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

        // Loaded the way a program starts: bare names in the installation folder.
        test::TempDir dir;
        fsys::copy_file(kSourceDir + "/install/" + name, dir / name);
        if (code != "ENG")
            fsys::copy_file(kSourceDir + "/install/language.eng", dir / "language.eng");
        fsys::copy_file(kSourceDir + "/install/CorvLangs.ini", dir / "CorvLangs.ini");
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        testsupport::RecordingUi ui;
        TLocalize loc;
        TLocalize::SetCurrentCode(code);
        int result = loc.Load("language");
        ASSERT_EQ(chdir(cwd), 0);

        EXPECT_EQ(result, 0);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(TLocalize::CurrentCode(), code);
        EXPECT_EQ(loc.LanguageList(), (std::vector<std::string>{"English=ENG", "Deutsch=DEU",
                                                                "Fran\xe7"
                                                                "ais=FRA"}));
        EXPECT_EQ(loc.DefaultCode(), "ENG");
        EXPECT_EQ(loc.String(0), name);
        // The last line carries the highest number: nothing given lies beyond the table.
        int highest = 0;
        for (int n = 0; n < loc.TableSize(); ++n)
            if (loc.IsGiven(n)) highest = n;
        EXPECT_EQ(highest, loc.TableSize() - 1);

        const std::string letters = loc.String(12), capitalisable = loc.String(13),
                          capitals = loc.String(14);
        EXPECT_EQ(letters.substr(0, 26), "abcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(capitals, ToUpper(capitalisable));
        for (char c : capitalisable) EXPECT_NE(letters.find(c), std::string::npos) << c;
        TLocalize::SetCurrentCode("");
    }
}

}  // namespace
}  // namespace corv
