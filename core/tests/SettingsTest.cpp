#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>

#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Settings.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(SettingsFile, ValuesNamesAndTypedReads) {
    TempDir dir;
    WriteFile(dir / "a.dyn",
              "a=b=c\r\nYes=yes\r\nTrue=True\r\nOne=1\r\nNo=no\r\nEmpty=\r\nZero=0\r\n"
              "Bad=12abc\r\nNeg=-42\r\nBig=9000000000\r\nReal=46000.25\r\n sp = x \r\n");
    TDynamicSettings s;
    ASSERT_EQ(s.Open(dir / "a.dyn", -3), 1);
    EXPECT_EQ(s.GetText("A"), "b=c");
    for (const char* t : {"yes", "TRUE", "one"}) EXPECT_TRUE(s.GetBool(t)) << t;
    for (const char* f : {"no", "empty", "zero", "absent"}) EXPECT_FALSE(s.GetBool(f)) << f;
    EXPECT_EQ(s.GetInteger("bad"), 0);
    EXPECT_EQ(s.GetInteger("neg"), -42);
    EXPECT_EQ(s.GetInteger("big"), 0);  // does not fit 32 bits
    EXPECT_EQ(s.GetInt64("big"), 9000000000LL);
    EXPECT_DOUBLE_EQ(s.GetReal("real"), 46000.25);
    EXPECT_EQ(s.GetText(" SP "), " x ");  // nothing is trimmed
    EXPECT_EQ(s.GetText("sp"), "");

    std::string v = "x";
    EXPECT_EQ(s.File().GetText("absent", v), 0);
    EXPECT_EQ(v, "");
}

TEST(SettingsFile, SetKeepsOrderAndLinesWithoutEquals) {
    TempDir dir;
    WriteFile(dir / "u.usr", "A=1\r\nfree text\r\na=2\r\nB=x\r\n");
    {
        TDynamicSettings s;
        ASSERT_EQ(s.Open(dir / "u.usr", 2), 1);
        EXPECT_EQ(s.GetInteger("a"), 1);  // the first of two equal names
        EXPECT_EQ(s.SetInteger("a", 5), 1);
        EXPECT_EQ(s.SetText("New", "n"), 1);
        EXPECT_EQ(s.SetText("B", ""), 1);  // empty removes the line
        EXPECT_EQ(s.GetText("b"), "");
        std::string gone;
        EXPECT_EQ(s.File().GetText("b", gone), 0);
        std::vector<std::string> names;
        s.File().Names(names);
        EXPECT_EQ(names, (std::vector<std::string>{"A", "a", "New"}));
    }  // destruction saves
    EXPECT_EQ(ReadFile(dir / "u.usr"), "A=5\r\nfree text\r\na=2\r\nNew=n\r\n");
}

TEST(SettingsFile, RemovingTheFirstOfTwoEqualNamesUncoversTheSecond) {
    TempDir dir;
    WriteFile(dir / "d.dyn", "K=1\r\nk=2\r\n");
    TDynamicSettings s;
    s.Open(dir / "d.dyn", 2);
    s.SetText("K", "");
    EXPECT_EQ(s.GetText("K"), "2");
    s.SetText("K", "3");
    s.Save();
    EXPECT_EQ(ReadFile(dir / "d.dyn"), "k=3\r\n");
}

TEST(SettingsFile, LineEndsAndOddBytesSurviveARoundTrip) {
    TempDir dir;
    std::string big(100000, 'v');
    std::string nul("n=a\0b", 5);
    WriteFile(dir / "odd.dyn", "x=1\ry=2\nz=3\r\n" + nul + "\r\nbig=" + big + "\r\n\x80\xFF=\xE9");
    {
        TDynamicSettings s;
        ASSERT_EQ(s.Open(dir / "odd.dyn", 2), 1);
        EXPECT_EQ(s.GetText("y"), "2");
        EXPECT_EQ(s.GetText("n"), std::string("a\0b", 3));
        EXPECT_EQ(s.GetText("BIG"), big);
        EXPECT_EQ(s.GetText("\x80\xFF"), "\xE9");
        s.SetText("w", "4");
    }
    EXPECT_EQ(ReadFile(dir / "odd.dyn"),
              "x=1\r\ny=2\r\nz=3\r\n" + nul + "\r\nbig=" + big + "\r\n\x80\xFF=\xE9\r\nw=4\r\n");
}

TEST(SettingsFile, SettersRefuseTextsThatWouldBreakTheLineFormat) {
    TempDir dir;
    TDynamicSettings s;
    ASSERT_EQ(s.Open(dir / "v.dyn", 2), 1);
    EXPECT_EQ(s.SetText("Name", "evil\r\nPolicy=1"), -1);
    EXPECT_EQ(s.SetText("Name", std::string("a\0b", 3)), -1);
    EXPECT_EQ(s.SetText("a=b", "1"), -1);
    EXPECT_EQ(s.SetText("", "1"), -1);
    EXPECT_EQ(s.SetText("Name", "ok=fine"), 1);
    s.Save();
    EXPECT_EQ(ReadFile(dir / "v.dyn"), "Name=ok=fine\r\n");
}

TEST(SettingsFile, ReadOnlyModesNeverWrite) {
    TempDir dir;
    WriteFile(dir / "p.dyn", "a=1\r\n");
    for (int mode : {-2, -3, -4, -6}) {
        TDynamicSettings s;
        std::string name = mode == -6 ? "file://" + (dir / "p.dyn") : dir / "p.dyn";
        ASSERT_EQ(s.Open(name, mode), 1) << mode;
        EXPECT_EQ(s.SetText("a", "2"), 1);
        EXPECT_EQ(s.GetText("a"), "2");
        EXPECT_FALSE(s.File().IsChanged());
        EXPECT_EQ(s.Save(), 1);
    }
    EXPECT_EQ(ReadFile(dir / "p.dyn"), "a=1\r\n");
}

TEST(SettingsFile, MissingFiles) {
    TempDir dir;
    for (int mode : {-2, -3, -4, -6}) {
        TDynamicFile f;
        EXPECT_EQ(f.Open(dir / "none.dyn", mode), -1) << mode;
        EXPECT_EQ(f.State(), 2);
    }
    for (int mode : {-1, 1, 2}) {
        TDynamicFile f;
        std::string name = "m" + std::to_string(mode + 5) + ".dyn";
        EXPECT_EQ(f.Open(dir / name, mode), 1) << mode;
        struct stat st;
        EXPECT_EQ(::stat((dir / name).c_str(), &st), 0) << "created empty";
    }
    TDynamicFile notOpen;
    std::string v;
    EXPECT_EQ(notOpen.GetText("a", v), -1);
    EXPECT_EQ(notOpen.SetText("a", "1"), -1);
}

TEST(SettingsFile, MemoryModeAndReopen) {
    TempDir dir;
    TDynamicSettings m;
    ASSERT_EQ(m.Open("", -7), 1);
    m.SetInteger("x", 3);
    EXPECT_EQ(m.GetInteger("x"), 3);
    EXPECT_EQ(m.Save(), 1);

    // Opening an open object saves what it had first.
    TDynamicSettings s;
    s.Open(dir / "one.dyn", 2);
    s.SetText("k", "v");
    s.Open(dir / "two.dyn", 2);
    EXPECT_EQ(ReadFile(dir / "one.dyn"), "k=v\r\n");
}

TEST(SettingsFile, FailedSaveKeepsChangesAndTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    ::mkdir((dir / "ro").c_str(), 0777);
    WriteFile(dir / "ro/u.usr", "a=1\r\n");
    TDynamicSettings s;
    ASSERT_EQ(s.Open(dir / "ro/u.usr", 2), 1);
    s.SetText("a", "2");
    ::chmod((dir / "ro").c_str(), 0555);
    EXPECT_EQ(s.Save(), -1);
    EXPECT_TRUE(s.File().IsChanged());
    EXPECT_EQ(ReadFile(dir / "ro/u.usr"), "a=1\r\n");
    ::chmod((dir / "ro").c_str(), 0777);
    EXPECT_EQ(s.Save(), 1);
    EXPECT_EQ(ReadFile(dir / "ro/u.usr"), "a=2\r\n");
}

TEST(SettingsFile, FailedSaveOnAVanishedFolder) {
    // Works as root too: the folder is gone, so no temporary file can be made.
    TempDir dir;
    ::mkdir((dir / "gone").c_str(), 0777);
    TDynamicSettings s;
    ASSERT_EQ(s.Open(dir / "gone/u.usr", 2), 1);
    s.SetText("a", "1");
    ::unlink((dir / "gone/u.usr").c_str());
    ::unlink((dir / "gone/.corvshare").c_str());
    ::rmdir((dir / "gone").c_str());
    EXPECT_EQ(s.Save(), -1);
    EXPECT_TRUE(s.File().IsChanged());
}

TEST(SettingsFormat, RealsUseADotWhateverTheLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // may be missing; the test holds either way
    struct Case {
        double value;
        const char* text;
    } cases[] = {{46000.5, "46000.5"}, {0.1, "0.1"},   {-2, "-2"},
                 {1e-5, "1E-5"},       {1e20, "1E20"}, {1.0 / 3, "0.333333333333333"}};
    for (auto c : cases) {
        EXPECT_EQ(settings_format::FormatReal(c.value), c.text);
        EXPECT_NEAR(*settings_format::ParseReal(c.text), c.value, std::fabs(c.value) * 1e-14);
    }
    EXPECT_FALSE(settings_format::ParseReal("1,5"));
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(SettingsFormat, CommaText) {
    using L = std::vector<std::string>;
    struct Case {
        L items;
        const char* text;
    } cases[] = {
        {{"a", "b"}, "a,b"},
        {{"two words", "x"}, "\"two words\",x"},
        {{"say \"hi\"", ""}, "\"say \"\"hi\"\"\",\"\""},
        {{"a,b"}, "\"a,b\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(settings_format::ToCommaText(c.items), c.text);
        EXPECT_EQ(settings_format::FromCommaText(c.text), c.items) << c.text;
    }
    EXPECT_EQ(settings_format::FromCommaText("a b,c,"), (L{"a", "b", "c", ""}));
    // A NUL ends the list (it once made the reader loop forever).
    EXPECT_EQ(settings_format::FromCommaText(std::string("a,b\0c,d", 7)), (L{"a", "b"}));

    TempDir dir;
    TDynamicSettings s;
    s.Open(dir / "l.dyn", 2);
    EXPECT_FALSE(s.GetList("Tests"));
    s.File().SetText("Tests", settings_format::ToCommaText({"Test one", "Two"}));
    EXPECT_EQ(*s.GetList("tests"), (L{"Test one", "Two"}));
}

// --- two processes -------------------------------------------------------------------

// Opens the file in the child process and reports the result as its exit code.
int OpenInChild(const std::string& path, int mode) {
    pid_t pid = ::fork();
    if (pid == 0) {
        TDynamicFile f;
        int rc = f.Open(path, mode);
        ::_exit(rc == 1 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : -1;
}

TEST(SettingsSharing, ModesConflictBetweenProcessesAsOnWindows) {
    TempDir dir;
    const std::string path = dir / "shared.dyn";
    WriteFile(path, "a=1\r\n");
    struct Case {
        int held;
        int other;
        int expected;
    } cases[] = {
        {-1, -1, -1},              // a second exclusive open fails
        {-1, -3, -1}, {2, -3, 1},  // a read-only sharer coexists with a mode-2 writer
        {2, 2, -1},                // a second writer fails
        {2, -2, -1},               // a reader that refuses writers cannot join a writer
        {1, 1, 1},                 // writers that share writing coexist
        {-3, 1, 1},   {-2, -3, 1}, {-2, 2, -1}, {-4, -1, 1},  // -4 lets the file go once loaded
    };
    for (const auto& c : cases) {
        TDynamicFile held;
        ASSERT_EQ(held.Open(path, c.held), 1);
        ASSERT_EQ(held.Load(), 1);
        EXPECT_EQ(OpenInChild(path, c.other), c.expected) << c.held << " then " << c.other;
    }
    // Nothing is left held once the holders are gone.
    EXPECT_EQ(OpenInChild(path, -1), 1);
}

TEST(SettingsSharing, LockSurvivesTheSaveThatReplacesTheFile) {
    TempDir dir;
    const std::string path = dir / "u.usr";
    TDynamicFile held;
    ASSERT_EQ(held.Open(path, -1), 1);
    held.SetText("a", "1");
    ASSERT_EQ(held.Save(), 1);
    EXPECT_EQ(OpenInChild(path, -3), -1);
    EXPECT_EQ(OpenInChild(dir / "U.USR", -3), -1);
}

TEST(CorvSettingsGlobals, PolicyValuesAndWorkstationFallback) {
    TempDir dir;
    struct Case {
        const char* policy;
        int cpw;
        bool colour, backspace;
    } cases[] = {
        {"", 5, false, false},
        {"wpm_length=6\r\ndisable_colorkbd=Yes\r\n", 6, true, false},
        {"wpm_length=0\r\nErrorFactor=4\r\nPrevent_Backspace=1\r\n", 4, false, true},
        {"wpm_length=-3\r\n", 5, false, false},
    };
    for (const auto& c : cases) {
        WriteFile(dir / "Policy.dyn", c.policy);
        ASSERT_TRUE(CorvSettings::OpenPolicy(dir.path()));
        EXPECT_EQ(CorvSettings::CharsPerWord(), c.cpw) << c.policy;
        EXPECT_EQ(CorvSettings::ColorKeyboardDisabled(), c.colour);
        EXPECT_EQ(CorvSettings::BackspacePrevented(), c.backspace);
        CorvSettings::CloseAll();
    }
    TempDir empty;
    EXPECT_FALSE(CorvSettings::OpenPolicy(empty.path()));

    // Held exclusively elsewhere: the ".2nd" file is used.
    TDynamicFile other;
    ASSERT_EQ(other.Open(dir / "PC1.wk10", -1), 1);
    ASSERT_TRUE(CorvSettings::OpenWorkstation("PC1.wk10", dir.path(), 2));
    CorvSettings::Workstation()->SetText("LastStudent", "Ann");
    CorvSettings::CloseAll();
    EXPECT_EQ(ReadFile(dir / "PC1.wk10.2nd"), "LastStudent=Ann\r\n");
}

TEST(SettingsDamage, FindsWhatASaveNeverWrites) {
    struct Case {
        std::string bytes;
        const char* damage;  // "" when clean
    } cases[] = {
        {"", ""},
        {"a=1\r\nb=2\r\n", ""},
        {"a=1\r\n\r\nlone=lf\n", ""},  // empty lines and lone line ends read cleanly
        {"a=1\r\nb=", "line 2 is cut off"},
        {"a=1\r\nb" + std::string(1, '\0') + "=2\r\n", "line 2 holds NUL bytes"},
        {"a=\x01\x02\r\n", "line 1 holds binary bytes"},
        {"a=\tx\r\n", ""},
        {"just text\r\n", "line 1 is no name=value line"},
        {"=value\r\n", "line 1 has no name"},
        {"a=" + std::string(settings_format::kMaxLineBytes, 'x') + "\r\n", "longer than"},
    };
    for (const Case& c : cases) {
        const std::string found = settings_format::FindDamage(c.bytes);
        if (*c.damage == 0)
            EXPECT_EQ(found, "") << c.bytes.substr(0, 20);
        else
            EXPECT_NE(found.find(c.damage), std::string::npos) << found;
    }
}

TEST(SettingsDamage, ATooLargeFileIsRefusedUnparsed) {
    TempDir dir;
    {
        std::FILE* f = std::fopen((dir / "big.dyn").c_str(), "wb");
        ASSERT_TRUE(f);
        ASSERT_EQ(::ftruncate(::fileno(f), settings_format::kMaxFileBytes + 1), 0);
        std::fclose(f);
    }
    TDynamicFile file;
    ASSERT_EQ(file.Open(dir / "big.dyn", -3), 1);
    EXPECT_EQ(file.Load(), -1);
    EXPECT_NE(file.Damage().find("larger than 16 MB"), std::string::npos);
    // So is one of more lines than any settings file has.
    WriteFile(dir / "many.dyn", std::string(settings_format::kMaxLines + 1, '\n'));
    ASSERT_EQ(file.Open(dir / "many.dyn", -3), 1);
    EXPECT_EQ(file.Load(), -1);
    EXPECT_NE(file.Damage().find("more than 250000 lines"), std::string::npos);
}

TEST(SettingsDamage, SavesKeepTheLastCleanFileAsBackup) {
    TempDir dir;
    const std::string path = dir / "u.usr";
    WriteFile(path, "a=1\r\n");
    TDynamicFile file;
    ASSERT_EQ(file.Open(path, 2), 1);
    file.SetKeepBackup(true);
    file.SetText("a", "2");
    ASSERT_EQ(file.Save(), 1);
    EXPECT_EQ(ReadFile(path + ".bak"), "a=1\r\n");
    // Damaged meanwhile: the damage is kept as a copy, the backup stays the clean file.
    WriteFile(path, "a=2\r\nb");
    file.SetText("a", "3");
    ASSERT_EQ(file.Save(), 1);
    EXPECT_EQ(ReadFile(path + ".bak"), "a=1\r\n");
    EXPECT_EQ(ReadFile(path), "a=3\r\n");
    const auto copies = fs::ListMatching(path + ".damaged-*");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadFile(dir / copies[0]), "a=2\r\nb");
}

TEST(SettingsDamage, ADamagedWorkstationFileIsCopiedReportedAndKeepsItsLines) {
    TempDir dir;
    testsupport::RecordingUi ui;
    SetErrorLogFolder(dir.path());
    const std::string bytes = "LastStudent=Ann\r\nFullScreen=2";
    WriteFile(dir / "PC1.wk10", bytes);
    ASSERT_TRUE(CorvSettings::OpenWorkstation("PC1.wk10", dir.path(), 2));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("PC1.wk10 is damaged: line 2 is cut off"),
              std::string::npos);
    const auto copies = fs::ListMatching(dir / "PC1.wk10.damaged-*");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadFile(dir / copies[0]), bytes);
    EXPECT_NE(ReadFile(dir / "Errors.log").find(copies[0]), std::string::npos);
    // What could be read is kept by the next save.
    EXPECT_EQ(CorvSettings::Workstation()->GetInteger("FullScreen"), 2);
    CorvSettings::Workstation()->SetText("LastStudent", "Bo");
    CorvSettings::CloseAll();
    EXPECT_EQ(ReadFile(dir / "PC1.wk10"), "LastStudent=Bo\r\nFullScreen=2\r\n");
    SetErrorLogFolder("");
}

}  // namespace
}  // namespace corv
