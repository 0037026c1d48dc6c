// The layouts the installation ships: each one is sound and types what its language needs.

#include <gtest/gtest.h>

#include <set>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "data/keyboard/KeyCheck.h"
#include "data/keyboard/KeyData.h"
#include "testsupport/RecordingUi.h"

namespace corv {
namespace {

const std::string kInstall = std::string(CORV_SOURCE_DIR) + "/install/";
const std::string kKeyboards = kInstall + "keyboards/";

std::vector<std::string> ShippedFiles() {
    return fs::ListMatching(kKeyboards + "*.kbd");
}

// "CorvKeyb.ini" without its heading line.
std::vector<std::string> IniLines() {
    std::vector<std::string> lines;
    EXPECT_EQ(TStreamFile::LoadLines(lines, kInstall + "CorvKeyb.ini"), 1);
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
}

class ShippedLayouts : public ::testing::Test {
  protected:
    void SetUp() override {
        Localization().Reset();
        Localization().SetString(167, "Shift");
    }
    void TearDown() override { Localization().Reset(); }
    // Read as on a machine that cannot tell the system's characters.
    std::unique_ptr<TKeyDataExt> Load(const std::string& file) {
        auto layout = std::make_unique<TKeyDataExt>();
        TLayoutLoadOptions options;
        options.useSystem = false;
        EXPECT_EQ(layout->Load(kKeyboards + file, options), 1) << file;
        return layout;
    }
    testsupport::RecordingUi ui;
};

TEST_F(ShippedLayouts, EveryFilePassesTheCheck) {
    const std::vector<std::string> files = ShippedFiles();
    ASSERT_GE(files.size(), 8u);
    for (const std::string& file : files) {
        std::string found;
        for (const TLayoutProblem& p : CheckLayoutFile(kKeyboards + file))
            found += "  " + std::to_string(p.line) + ": " + p.text + "\n";
        EXPECT_EQ(found, "") << file;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ShippedLayouts, TypeTheirLettersAndPrintableAscii) {
    for (const std::string& file : ShippedFiles()) {
        auto layout = Load(file);
        ASSERT_FALSE(layout->keys.empty()) << file;
        std::string missing;
        for (int c = 32; c < 127; ++c)
            if (!layout->FindKey(static_cast<char>(c))) missing += static_cast<char>(c);
        const std::string language = layout->layoutCode.empty() ? "" : layout->layoutLanguage;
        for (char c : LanguageLetters(language))
            if (!layout->FindKey(c)) missing += c;
        EXPECT_EQ(missing, "") << file;
        EXPECT_EQ(layout->CannotProduce(LanguageLetters(language)), "") << file;
        for (const auto& key : layout->keys)
            EXPECT_TRUE(key->HasFinger()) << file << " line " << key->line;
        EXPECT_EQ(layout->homeRow.size(), 8u) << file;
        for (size_t i = 0; i < layout->homeRow.size(); ++i)
            EXPECT_EQ(layout->FingerOf(layout->homeRow[i]), static_cast<int>(i) + 1)
                << file << " " << i;
        // Both Shift keys, and a key for Tab, Enter, Space and Backspace.
        EXPECT_TRUE(layout->Control(1, false) && layout->Control(1, true)) << file;
        for (const char* special : {"\t", "\r", " ", "\b"})
            EXPECT_TRUE(layout->FindKey(special)) << file;
        EXPECT_FALSE(layout->materialBase.empty()) << file;
    }
}

TEST_F(ShippedLayouts, CorvKeybPointsAtTheShippedFiles) {
    const std::vector<std::string> lines = IniLines();
    std::set<std::string> listed, names;
    for (const std::string& line : lines) {
        std::vector<std::string> words = SplitWords(line, "=;");
        ASSERT_EQ(words.size(), 4u) << line;
        EXPECT_TRUE(names.insert(ToUpper(words[0])).second) << "name twice: " << line;
        ASSERT_TRUE(fs::FileExists(kKeyboards + words[1])) << line;
        listed.insert(words[1]);
        auto layout = Load(words[1]);
        if (!layout->layoutCode.empty()) {
            EXPECT_EQ(ToUpper(layout->layoutLanguage), ToUpper(words[2])) << line;
            EXPECT_EQ(ToUpper(layout->layoutCode).substr(3, 3) == ToUpper(words[3]),
                      words[3].compare(0, 2, "XX") != 0)
                << line;
        }
    }
    for (const std::string& file : ShippedFiles())
        EXPECT_TRUE(listed.count(file)) << file << " is not listed";
    EXPECT_TRUE(listed.count("qwerty.kbd"));
}

TEST_F(ShippedLayouts, ChosenForTheSystemLayouts) {
    const std::vector<std::string> lines = IniLines();
    struct Case {
        const char* id;
        const char* file;
    } cases[] = {
        {"00000409", "qwerty.kbd"},    {"00020409", "usint2.kbd"},  {"00010409", "dvorak.kbd"},
        {"00000809", "ukenglish.kbd"}, {"00000407", "german.kbd"},  {"0000040C", "french.kbd"},
        {"0000040B", "finnish.kbd"},   {"0000041D", "swedish.kbd"}, {"00000411", "qwerty.kbd"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseLayoutFile(lines, c.id, nullptr, "qwerty.kbd", false), c.file) << c.id;
    // The name the settings page stores for US International.
    EXPECT_EQ(ChooseLayoutFile(lines, "00020409", nullptr, "", true), "English US International");
}

TEST_F(ShippedLayouts, NationalKeys) {
    struct Case {
        const char* file;
        const char* text;
        const char* key;  // slot 0 of the key that types it
        int slot;
        int modifier;     // control number of the modifier, 0 none
        char baseLetter;  // after a dead key
    } cases[] = {
        {"qwerty.kbd", "@", "2", 1, 1, 0},          {"qwerty.kbd", ":", ";", 1, 1, 0},
        {"german.kbd", "@", "q", 4, 4, 0},          {"german.kbd", "\xDF", "\xDF", 0, 0, 0},
        {"german.kbd", "z", "z", 0, 0, 0},          {"german.kbd", "\xE9", "\xB4", 0, 0, 'e'},
        {"german.kbd", "\xE8", "\xB4", 1, 1, 'e'},  {"german.kbd", "\xEA", "^", 0, 0, 'e'},
        {"german.kbd", ";", ",", 1, 1, 0},          {"french.kbd", "\xE9", "\xE9", 0, 0, 0},
        {"french.kbd", "1", "&", 1, 1, 0},          {"french.kbd", "\xEA", "^", 0, 0, 'e'},
        {"french.kbd", "\xEB", "^", 1, 1, 'e'},     {"french.kbd", "\xC0", "\xE8", 4, 4, 'A'},
        {"usint2.kbd", "'", "'|\xB4", 0, 0, 0},     {"usint2.kbd", "\xE9", "e", 4, 4, 0},
        {"usint2.kbd", "\xE8", "`", 0, 0, 'e'},     {"usint2.kbd", "\xF5", "`", 1, 1, 'o'},
        {"usint2.kbd", "\xC9", "e", 20, 4, 0},      {"ukenglish.kbd", "\xA3", "3", 1, 1, 0},
        {"ukenglish.kbd", "\x80", "4", 4, 4, 0},    {"ukenglish.kbd", "~", "#", 1, 1, 0},
        {"finnish.kbd", "\xE5", "\xE5", 0, 0, 0},   {"finnish.kbd", "~", "\xA8", 4, 4, 0},
        {"finnish.kbd", "\xF5", "\xA8", 4, 4, 'o'}, {"swedish.kbd", "\xC4", "\xE4", 1, 1, 0},
        {"dvorak.kbd", "s", "s", 0, 0, 0},          {"dvorak.kbd", "\"", "'", 1, 1, 0},
    };
    for (const Case& c : cases) {
        auto layout = Load(c.file);
        TKeyLookup r = layout->FindKey(c.text);
        ASSERT_TRUE(r) << c.file << " " << c.text;
        EXPECT_EQ(r.key->texts[0], c.key) << c.file << " " << c.text;
        EXPECT_EQ(r.slot, c.slot) << c.file << " " << c.text;
        EXPECT_EQ(r.modifier ? r.modifier->controlNumber : 0, c.modifier)
            << c.file << " " << c.text;
        EXPECT_EQ(r.baseLetter, c.baseLetter) << c.file << " " << c.text;
    }
    struct Home {
        const char* file;
        const char* row;
        char semicolon;
        const char* material;
    } homes[] = {
        {"qwerty.kbd", "asdfjkl;", ';', "qwerty"},
        {"german.kbd", "asdfjkl\xF6", '\xF6', "qwertz"},
        {"french.kbd", "qsdfjklm", 'm', "azerty"},
        {"dvorak.kbd", "aoeuhtns", 's', "dvorak"},
        {"finnish.kbd", "asdfjkl\xF6", '\xF6', "qwerty"},
        {"dynamic.kbd", "asdfjkl;", ';', "qwerty"},
    };
    for (const Home& h : homes) {
        auto layout = Load(h.file);
        EXPECT_EQ(layout->homeRow, h.row) << h.file;
        EXPECT_EQ(layout->semicolonReplacement, h.semicolon) << h.file;
        EXPECT_EQ(layout->materialBase, h.material) << h.file;
    }
}

}  // namespace
}  // namespace corv
