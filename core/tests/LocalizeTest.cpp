#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <initializer_list>

#include "core/Localize.h"
#include "core/TextUtil.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::TempDir;
using test::WriteFile;

std::string Lines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) out += std::string(l) + "\r\n";
    return out;
}

// Each test works in its own folder, since language resources are found by bare names.
class LocalizeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char buffer[PATH_MAX];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        saved_ = buffer;
        ASSERT_EQ(chdir(dir_.path().c_str()), 0);
        TLocalize::SetCurrentCode("");
    }
    void TearDown() override {
        ASSERT_EQ(chdir(saved_.c_str()), 0);
        TLocalize::SetCurrentCode("");
        SetCapitalisableLetters("abcdefghijklmnopqrstuvwxyz");
    }
    void Write(const std::string& name, const std::string& content) {
        WriteFile(dir_ / name, content);
    }

    TempDir dir_;
    std::string saved_;
    testsupport::RecordingUi ui_;
    TLocalize loc_;
};

TEST_F(LocalizeTest, LastLineSizesTableAndAbsentEntriesReadEmpty) {
    Write("language.tst", Lines({"0=language.tst", "5=Five", "1200=Done"}));
    EXPECT_EQ(loc_.LoadFile("language.tst", TLocalize::kBase), 0);
    EXPECT_EQ(loc_.TableSize(), 1201);
    EXPECT_EQ(loc_.String(1200), "Done");
    EXPECT_EQ(loc_.String(5), "Five");
    EXPECT_EQ(loc_.String(700), "");
    EXPECT_FALSE(loc_.IsGiven(700));
    EXPECT_TRUE(loc_.IsGiven(5));
    EXPECT_EQ(loc_.String(1201), "(Localization error - string missing)");
    EXPECT_EQ(loc_.String(-1), "(Localization error - string missing)");
    EXPECT_STREQ(loc_.CString(99999), "(Localization error - string missing)");
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(LocalizeTest, EmptyLastLineDefersToTheLineBefore) {
    Write("a.tst", "0=a.tst\r\n3=Three\r\n\r\n");
    EXPECT_EQ(loc_.LoadFile("a.tst", TLocalize::kBase), 0);
    EXPECT_EQ(loc_.TableSize(), 4);
}

TEST_F(LocalizeTest, InvalidLastLineFailsWithoutHugeTable) {
    const char* lastLines[] = {
        "/ a comment",
        "x=not a number",
        "0=only string zero",
        "-5=negative",
        "65536=one past the cap",
        "99999999999999999999999=damaged",
        "",  // after an empty line too: the file ends in two empty lines
    };
    for (const char* last : lastLines) {
        Write("bad.tst",
              std::string("0=bad.tst\r\n1=One\r\n") + last + "\r\n" + (*last ? "" : "\r\n"));
        try {
            loc_.LoadFile("bad.tst", TLocalize::kBase);
            ADD_FAILURE() << "no error for last line '" << last << "'";
        } catch (const LocalizeError& e) {
            EXPECT_STREQ(e.what(),
                         "The last rows of the string resource file not valid in bad.tst");
        }
        EXPECT_LE(loc_.TableSize(), TLocalize::kMaxTableSize);
    }
    Write("max.tst", "0=max.tst\r\n65535=Last allowed\r\n");
    EXPECT_EQ(loc_.LoadFile("max.tst", TLocalize::kBase), 0);
    EXPECT_EQ(loc_.TableSize(), 65536);
}

TEST_F(LocalizeTest, TextsEscapesAndIgnoredLines) {
    std::string longText(12000, 'x');
    Write("e.tst", Lines({"0=e.tst", "", "/ 2=commented out", "x3=not a number", "-4=negative",
                          "15=First line\\nSecond line", "16=A\\+B", "17=a=b", "18=back\\slash",
                          "19=trailing\\", "20=", "30=end"}) +
                       "21=" + longText + "\r\n" + "40=last\r\n");
    ASSERT_EQ(loc_.LoadFile("e.tst", TLocalize::kBase), 0);
    EXPECT_EQ(loc_.String(15), "First line\rSecond line");
    EXPECT_EQ(loc_.String(16), "A B");
    EXPECT_EQ(loc_.String(17), "a=b");
    EXPECT_EQ(loc_.String(18), "back\\slash");
    EXPECT_EQ(loc_.String(19), "trailing\\");
    EXPECT_TRUE(loc_.IsGiven(20));  // given empty, unlike an absent entry
    EXPECT_EQ(loc_.String(20), "");
    EXPECT_EQ(loc_.String(21).size(), 10000u);
    EXPECT_FALSE(loc_.IsGiven(2));
    EXPECT_FALSE(loc_.IsGiven(3));
    EXPECT_FALSE(loc_.IsGiven(4));
}

TEST_F(LocalizeTest, StringZeroMustNameTheFile) {
    struct Case {
        const char* zero;
        int result;
    } cases[] = {{"0=language.tst", 0},  {"0=LANGUAGE", 0}, {"0=tst", 0},
                 {"0=language.fin", -1}, {"0=", -1},        {"1=no zero", -1}};
    for (const auto& c : cases) {
        Write("language.tst", Lines({c.zero, "9=nine"}));
        EXPECT_EQ(loc_.LoadFile("language.tst", TLocalize::kBase), c.result) << c.zero;
    }
}

TEST_F(LocalizeTest, DuplicateInBaseFailsButOverlayMayRepeat) {
    Write("dup.tst", Lines({"0=dup.tst", "5=a", "5=a", "9=end"}));
    try {
        loc_.LoadFile("dup.tst", TLocalize::kBase);
        ADD_FAILURE() << "duplicate accepted";
    } catch (const LocalizeError& e) {
        EXPECT_STREQ(e.what(), "Duplicate string resource with id #5 in dup.tst");
    }

    Write("base.tst", Lines({"0=base.tst", "5=base", "9=end"}));
    Write("over.icr", Lines({"5=first", "5=second", "7=new", "50=beyond the table"}));
    ASSERT_EQ(loc_.LoadFile("base.tst", TLocalize::kBase), 0);
    // String 0 is still the base file's, which does not name the overlay.
    EXPECT_EQ(loc_.LoadFile("over.icr", TLocalize::kOverlay), -1);
    EXPECT_EQ(loc_.String(5), "second");
    EXPECT_EQ(loc_.String(7), "new");
    EXPECT_EQ(loc_.String(9), "end");
    EXPECT_EQ(loc_.TableSize(), 10);  // an overlay never sizes the table
}

TEST_F(LocalizeTest, FallbackFillsOnlyWhatTheLanguageLacks) {
    Write("language.fin", Lines({"0=language.fin", "15=", "16=Suomi", "19=Viimeinen", "20=x"}));
    Write("language.eng",
          Lines({"0=language.eng", "15=English 15", "16=English 16", "17=English 17", "30=Last"}));
    ASSERT_EQ(loc_.LoadFile("language.fin", TLocalize::kBase), 0);
    loc_.LoadFile("language.eng", TLocalize::kFallback);
    EXPECT_EQ(loc_.String(0), "language.fin");
    EXPECT_EQ(loc_.String(15), "");  // given empty by Finnish: stays empty
    EXPECT_EQ(loc_.String(16), "Suomi");
    EXPECT_EQ(loc_.String(17), "English 17");
    EXPECT_EQ(loc_.String(30), "Last");
    EXPECT_EQ(loc_.TableSize(), 31);
    EXPECT_EQ(loc_.SizeBeforeFallback(), 21);
}

TEST_F(LocalizeTest, FallbackNeverShrinksTheTable) {
    Write("language.fin", Lines({"0=language.fin", "19=Viimeinen", "20=x"}));
    Write("language.eng", Lines({"0=language.eng", "3=Three", "10=Ten"}));
    ASSERT_EQ(loc_.LoadFile("language.fin", TLocalize::kBase), 0);
    loc_.LoadFile("language.eng", TLocalize::kFallback);
    EXPECT_EQ(loc_.TableSize(), 21);
    EXPECT_EQ(loc_.String(19), "Viimeinen");
    EXPECT_EQ(loc_.String(3), "Three");
}

TEST_F(LocalizeTest, UnreadableFileShowsMessageExceptForOverlays) {
    ui::SetProgramFileName("corvella");
    EXPECT_EQ(loc_.LoadFile("missing.tst", TLocalize::kBase), -1);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "missing.tst not found");
    EXPECT_EQ(ui_.messages[0].caption, "corvella");

    EXPECT_EQ(loc_.LoadFile("course.ICR", TLocalize::kOverlay), -1);
    EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(LocalizeTest, LoadTakesListDefaultThenOverlayThenEnglish) {
    Write("CorvLangs.ini",
          Lines({"[Languages]", "language=fin", "English=ENG", "Suomi=FIN", "language=SWE"}));
    Write("language.fin", Lines({"0=language.fin", "1=Kirjoitus", "13=abc\xE4", "20=x"}));
    Write("language.icr", Lines({"1=Overlay title", "18=Overlay only"}));
    Write("language.eng",
          Lines({"0=language.eng", "1=English title", "18=English 18", "19=English 19", "25=e"}));

    EXPECT_EQ(loc_.Load("language"), 0);
    EXPECT_EQ(TLocalize::CurrentCode(), "FIN");
    EXPECT_EQ(loc_.String(1), "Overlay title");
    EXPECT_EQ(loc_.String(18), "Overlay only");  // the overlay came before the fallback
    EXPECT_EQ(loc_.String(19), "English 19");
    EXPECT_EQ(loc_.TableSize(), 26);
    EXPECT_EQ(CapitalisableLetters(), "abc\xE4");
    EXPECT_TRUE(ui_.messages.empty());

    // The first two lines are no languages even without "="; "language" is no language.
    EXPECT_EQ(loc_.LanguageList(), (std::vector<std::string>{"English=ENG", "Suomi=FIN"}));
    EXPECT_EQ(loc_.LanguageNames(), (std::vector<std::string>{"English", "Suomi"}));
    EXPECT_EQ(loc_.CodeOfEntry(1), "FIN");
    EXPECT_EQ(loc_.CodeOfEntry(2), "");
    EXPECT_EQ(loc_.EntryOfCode("fin"), 1);
    EXPECT_EQ(loc_.EntryOfCode("XYZ"), 0);
}

TEST_F(LocalizeTest, EntryOfCodeFindsTheLastOfEqualCodes) {
    Write("CorvLangs.ini", Lines({"a=1", "language=ENG", "English=ENG", "British=eng", "X=Y"}));
    EXPECT_EQ(loc_.EntryOfCode("ENG"), 1);
}

TEST_F(LocalizeTest, MissingLanguageFallsBackToFirstListed) {
    ui::SetProgramFileName("corvella");
    Write("CorvLangs.ini", Lines({"x=y", "language=SWE", "English=ENG", "Svenska=SWE"}));
    Write("language.eng", Lines({"0=language.eng", "1=Corvella", "5=e"}));
    EXPECT_EQ(loc_.Load("language"), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "language.SWE not found");
    EXPECT_EQ(ui_.messages[0].caption, "corvella");
    EXPECT_EQ(TLocalize::CurrentCode(), "ENG");
    EXPECT_EQ(loc_.String(1), "Corvella");
}

TEST_F(LocalizeTest, WithoutLanguageListEnglishIsTheOnlyLanguage) {
    Write("language.eng", Lines({"0=language.eng", "1=Corvella", "5=e"}));
    EXPECT_EQ(loc_.Load("language"), 0);
    EXPECT_EQ(loc_.LanguageList(), std::vector<std::string>{"English=ENG"});
    EXPECT_EQ(loc_.DefaultCode(), "ENG");
    EXPECT_EQ(TLocalize::CurrentCode(), "ENG");
}

TEST_F(LocalizeTest, NoLanguageFileAtAllFails) {
    EXPECT_EQ(loc_.Load("language"), -1);
    EXPECT_EQ(loc_.String(1), "(Localization error - string missing)");
    EXPECT_FALSE(ui_.messages.empty());
}

TEST_F(LocalizeTest, SetLanguageReloadsOnlyOnChange) {
    Write("CorvLangs.ini", Lines({"x=y", "language=ENG", "English=ENG", "Suomi=FIN"}));
    Write("language.eng", Lines({"0=language.eng", "1=Typing", "5=e"}));
    Write("language.fin", Lines({"0=language.fin", "1=Kirjoitus", "5=f"}));
    ASSERT_EQ(loc_.Load("language"), 0);
    loc_.SetString(1, "changed in memory");

    EXPECT_EQ(loc_.SetLanguage("eng"), 0);
    EXPECT_EQ(loc_.SetLanguage(""), 0);
    EXPECT_EQ(loc_.String(1), "changed in memory");  // nothing reloaded

    EXPECT_EQ(loc_.SetLanguage("fin"), 1);
    EXPECT_EQ(TLocalize::CurrentCode(), "FIN");
    EXPECT_EQ(loc_.String(1), "Kirjoitus");
}

TEST_F(LocalizeTest, ComposeJoinsWithLineBreaksAndSkipsMinusOne) {
    loc_.SetString(1, "one");
    loc_.SetString(2, "two");
    EXPECT_EQ(loc_.Compose({1, -1, 2}), "one\r\ntwo");
    EXPECT_EQ(loc_.Compose({-1, 1}), "one");
    EXPECT_EQ(loc_.Compose({}), "");
}

TEST_F(LocalizeTest, FreeFunctionsAskTheProcessTable) {
    Localization().Reset();
    Write("language.eng", Lines({"0=language.eng", "1=Corvella", "2=Two"}));
    ASSERT_EQ(Localization().Load("language"), 0);
    EXPECT_EQ(Str(2), "Two");
    EXPECT_EQ(Compose({1, 2}), "Corvella\r\nTwo");
    Localization().Reset();
    EXPECT_EQ(Str(2), "(Localization error - string missing)");
}

}  // namespace
}  // namespace corv
