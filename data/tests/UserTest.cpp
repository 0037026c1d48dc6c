#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/TextFiles.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "platform/Autostart.h"
#include "platform/Identity.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// An installation in a temporary folder: root with policy and groups, a database folder.
class Installation : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path() + "/";
        ::mkdir((root + "Database").c_str(), 0777);
        WriteFile(root + "Policy.dyn", "Sounds=1\r\n");
        WriteFile(root + "0.grp", "Name=Everybody\r\n");
        Localization().Reset();
        Localization().SetString(12, "abcdefghijklmnopqrstuvwxyz");
        for (int n : {1107, 1162, 1376, 1377, 1390, 1391, 528, 272, 273, 208, 209, 1887, 1888})
            Localization().SetString(n, "<" + std::to_string(n) + ">");
        Reload();
    }
    void TearDown() override {
        SetCurrentUser(nullptr);
        SetProgramSettings(nullptr);
        CorvSettings::CloseAll();
        Localization().Reset();
    }
    void Reload() {
        CorvSettings::CloseAll();
        SetProgramSettings(TProgramSettings::Create(root));
        ASSERT_TRUE(ProgramSettings());
        ASSERT_TRUE(CorvSettings::OpenPolicy(root));
    }
    std::string db() const { return root + "Database/"; }

    TempDir dir;
    std::string root;
    testsupport::RecordingUi ui;
};

TEST_F(Installation, NamesNormalizeToFileNames) {
    struct Case {
        const char* name;
        const char* base;
    } cases[] = {
        {"anna-liisa k.", "Anna-liisa K"},
        {"  John   SMITH ", "John Smith"},
        {"o'neil, mary", "Oneil Mary"},
        {"\xE4iti", "\xE4iti"},  // kept, but not capitalised: not in the capitalisable set
        {"../../etc/passwd", "Etcpasswd"},
        {"%%%", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TUser::NormalizeName(c.name), c.base) << c.name;
}

TEST_F(Installation, CreateOpenAndSave) {
    {
        auto user = TUser::Create("anna-liisa k.");
        EXPECT_EQ(user->GetText("UserName"), "anna-liisa k.");
        EXPECT_EQ(user->GetInteger("FileVersion"), 600);
        EXPECT_TRUE(user->GetBool("Sounds"));
        EXPECT_EQ(user->GetInteger("InfoWinWidth"), 295);
        EXPECT_FALSE(user->GetText("DateStarted").empty());
        EXPECT_EQ(user->GroupName(), "Everybody");
        EXPECT_EQ(user->SaveUser(), 1);
    }
    EXPECT_TRUE(fs::FileExists(db() + "Anna-liisa K.usr"));
    EXPECT_TRUE(fs::FileExists(db() + "Anna-liisa K.DTA"));
    // The same name in other letter case is the same user.
    EXPECT_NO_THROW(TUser::Open("ANNA-LIISA K.", -1, TUser::kShared, true));
    // Another name that normalizes to the same file belongs to somebody else.
    try {
        TUser::Open("anna-liisa k", -1, TUser::kShared, true);
        FAIL() << "another user's file was opened";
    } catch (const UserError& e) {
        EXPECT_EQ(std::string(e.what()), "<1376> ANNA-LIISA K.");
    }
    EXPECT_THROW(TUser::Open("...", -1, TUser::kShared, true), UserError);
    EXPECT_THROW(TUser::Open("x", -1, 1, true), UserError);
}

TEST_F(Installation, LockModesBetweenProcesses) {
    auto held = TUser::Create("Tutor User");
    held->SaveUser();
    auto openInChild = [&](int lockMode) {
        pid_t pid = ::fork();
        if (pid == 0) {
            try {
                TUser::Open("Tutor User", -1, lockMode, true)->File().DiscardChanges();
                ::_exit(0);
            } catch (...) {
                ::_exit(1);
            }
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    // The tutor holds mode 2: the meter may read, but not write nor take it exclusively.
    EXPECT_TRUE(openInChild(TUser::kReadOnly));
    EXPECT_FALSE(openInChild(TUser::kShared));
    EXPECT_FALSE(openInChild(TUser::kExclusive));
    held.reset();
    EXPECT_TRUE(openInChild(TUser::kExclusive));
}

TEST_F(Installation, VisitorIsNeverSavedAndNeverCollidesWithAUserCalledVisitor) {
    {
        auto visitor = TUser::Open("", -1, TUser::kShared, false);
        visitor->SetText("Colour", "red");
        EXPECT_EQ(visitor->SaveUser(), 1);
    }
    EXPECT_EQ(ReadFile(db() + "visitor%%.usr"), "");
    auto real = TUser::Create("Visitor");
    real->SaveUser();
    EXPECT_TRUE(fs::FileExists(db() + "Visitor.usr"));
    EXPECT_EQ(ReadFile(db() + "visitor%%.usr"), "");
}

TEST_F(Installation, PasswordsAreRipemd160Prefixes) {
    EXPECT_EQ(TUser::PasswordDigest(""), "9C1185A5C5E9FC");
    EXPECT_EQ(TUser::PasswordDigest("abc"), "8EB208F7E05D98");
    EXPECT_EQ(TUser::PasswordDigest("message digest"), "5D0689EF49D2FA");
    auto user = TUser::Create("P");
    EXPECT_TRUE(user->CheckPassword(""));  // no password stored
    user->SetPassword("secret");
    EXPECT_TRUE(user->CheckPassword("secret"));
    EXPECT_FALSE(user->CheckPassword("Secret"));
    EXPECT_FALSE(user->CheckPassword(""));
    user->SetPassword("");
    EXPECT_TRUE(user->CheckPassword(""));
}

TEST_F(Installation, LayeredLookups) {
    WriteFile(root + "Policy.dyn", "Volume=9\r\nVolume.locked=1\r\nSpeed=p\r\n");
    WriteFile(root + "0.grp",
              "Colour=g\r\nColour.locked=Yes\r\nSpeed=g\r\nSize=gs\r\nList=a,b\r\n");
    Reload();
    auto user = TUser::Create("L");
    user->SetText("Volume", "1");
    user->SetText("Colour", "u");
    user->SetText("Size", "us");
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(user->LText("Volume", mode), "9") << mode;  // locked by the policy
        EXPECT_EQ(user->LText("Colour", mode), "g") << mode;  // locked by the group ("Yes")
    }
    EXPECT_EQ(user->LText("Speed", 0), "");
    EXPECT_EQ(user->LText("Speed", 1), "p");
    EXPECT_EQ(user->LText("Speed", 2), "g");
    EXPECT_EQ(user->LText("Size", 1), "us");
    EXPECT_EQ(user->LInteger("Volume"), 9);
    EXPECT_EQ(user->LInteger("Nothing"), 0);
    EXPECT_TRUE(user->IsLocked("Colour"));
    EXPECT_FALSE(user->IsLocked("Size"));
    user->SetText("Flag", "True");
    EXPECT_TRUE(user->LBool("Flag"));
    EXPECT_EQ(user->LList("List", 1), (std::vector<std::string>{"a", "b"}));
    user->SetText("List", "x");
    EXPECT_EQ(user->LList("List", 1), (std::vector<std::string>{"x"}));
}

TEST_F(Installation, GroupWithoutFileFallsBackToZero) {
    {
        auto user = TUser::Create("G");
        user->SetGroupId(7);
        user->SaveUser();
    }
    auto again = TUser::Open("G", -1, TUser::kShared, true);
    EXPECT_EQ(again->GetInteger("UserGroupID"), 0);
    EXPECT_EQ(again->GroupId(), 0);
}

TEST_F(Installation, GroupIdsAndNames) {
    WriteFile(root + "2.GRP", "Name=Class B\r\n");
    WriteFile(root + "1.grp", "");
    EXPECT_EQ(TUserGroup::GroupIds(), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(TUserGroup::HighestGroupId(), 2);
    EXPECT_EQ(TUserGroup::GroupNames({"0", "1", "2"}, -4),
              (std::vector<std::string>{"Everybody", "<1162>", "Class B"}));
    ::unlink((root + "0.grp").c_str());
    EXPECT_EQ(TUserGroup::GroupIds().front(), "0");
    EXPECT_FALSE(fs::FileExists(root + "0.grp"));  // listing names creates nothing
    auto g = TUserGroup::Open(5, -4);              // missing: created in mode 1
    EXPECT_TRUE(fs::FileExists(root + "5.Grp"));
    EXPECT_GT(g->GetReal("Date"), 40000);
}

TEST_F(Installation, IndexesLoopOverExistingGroupsAndKeepUsersSorted) {
    WriteFile(root + "3.grp", "Name=Three\r\n");
    for (auto [name, group] : {std::pair{"Carl", 3}, {"anna", 0}, {"Bert", 3}, {"Dora", 2}}) {
        auto u = TUser::Create(name);
        u->SetGroupId(group);
        u->SaveUser();
    }
    TUser::RebuildIndexes();
    EXPECT_EQ(ReadFile(db() + "3.idx"), "Bert.usr=Bert\r\nCarl.usr=Carl\r\n");
    // Group 2 has no group file: its user is in group 0; no index is written for 1 or 2.
    EXPECT_EQ(ReadFile(db() + "0.idx"), "Anna.usr=anna\r\nDora.usr=Dora\r\n");
    EXPECT_FALSE(fs::FileExists(db() + "1.idx"));
    EXPECT_FALSE(fs::FileExists(db() + "2.idx"));
    EXPECT_EQ(TUser::UserNames(-1), (std::vector<std::string>{"anna", "Bert", "Carl", "Dora"}));
    EXPECT_EQ(TUser::UserNames(3), (std::vector<std::string>{"Bert", "Carl"}));
    // A new user is unindexed until the next rebuild, but listed with group 0.
    TUser::Create("Eve")->SaveUser();
    EXPECT_EQ(TUser::UserNames(0).back(), "Eve");
    EXPECT_EQ(TUser::FileBaseFor("eve", 3), "Eve");
}

TEST_F(Installation, IndexedFileBaseWinsOverTheName) {
    WriteFile(db() + "0.idx", "Old File.usr=New Name\r\n");
    WriteFile(db() + "Old File.usr", "UserName=New Name\r\n");
    auto u = TUser::Open("new name", -1, TUser::kShared, true);
    EXPECT_EQ(u->FileBase(), "Old File");
}

TEST_F(Installation, KeyProgressionAndUnits) {
    auto user = TUser::Create("K");
    EXPECT_EQ(user->KeysUpToLevel(3), "abcdefghijklmnopqrstuvwxyz");  // empty progression
    TUser::SetSemicolonSource([] { return '\xF6'; });
    EXPECT_EQ(user->AddKeys("fj"), 1);
    EXPECT_EQ(user->AddKeys("dkSEMICOLON"), 2);
    TUser::SetSemicolonSource([] { return ';'; });
    EXPECT_EQ(user->KeysUpToLevel(0), "");
    EXPECT_EQ(user->KeysUpToLevel(1), "fj");
    EXPECT_EQ(user->KeysUpToLevel(9), "fjdk\xF6");
    EXPECT_EQ(user->KeysOfLevel(2), "dk\xF6");
    user->RaiseKeyLevel(3);
    user->RaiseKeyLevel(2);
    EXPECT_EQ(user->keyLevel, 3);

    EXPECT_EQ(user->SpeedUnitLabel(), "<208>");
    EXPECT_EQ(user->SpeedInUnit(249), 49);
    user->SetBool("cpm", true);
    EXPECT_EQ(user->SpeedUnitLabel(), "<209>");
    EXPECT_EQ(user->SpeedInUnit(249), 249);

    struct Case {
        int seconds;
        const char* text;
        const char* clock;
    } cases[] = {{90, "2<272>", "00:02"},   // 1.5 minutes round to the even 2
                 {150, "2<272>", "00:02"},  // 2.5 -> 2
                 {8130, "2<273>16<272>", "02:16"}};
    for (auto c : cases) {
        user->SetInteger("TimeStudied", c.seconds);
        EXPECT_EQ(user->TimeStudiedText(), c.text) << c.seconds;
        EXPECT_EQ(user->TimeStudiedClock(), c.clock);
    }
}

TEST_F(Installation, StatisticsFileKeepsTheWordsBlockByteExact) {
    {
        auto u = TUser::Create("S");
        DifficultKeysA().RecordKeystroke('k', true);
        u->SaveUser();
    }
    std::string stored = ReadFile(db() + "S.DTA");
    ASSERT_EQ(stored.size(), 28u + 2 * 1338);
    EXPECT_EQ(stored.substr(24, 4), std::string("\x06\0\0\0", 4));
    // The meter appends its words; the tutor must carry them through its own save.
    std::string words(282 * 3, '\0');
    for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<char>(i * 7);
    WriteFile(db() + "S.DTA", stored + words);
    {
        auto u = TUser::Open("S", -1, TUser::kShared, false);
        u->SaveUser();
    }
    EXPECT_EQ(ReadFile(db() + "S.DTA"), stored + words);
}

TEST_F(Installation, TruncatedStatisticsFileLoadsWithoutCrash) {
    TUser::Create("T")->SaveUser();
    std::string stored = ReadFile(db() + "T.DTA");
    WriteFile(db() + "T.DTA", stored.substr(0, 100));
    EXPECT_NO_THROW(TUser::Open("T", -1, TUser::kShared, false));
    WriteFile(db() + "T.DTA", "garbage");
    EXPECT_NO_THROW(TUser::Open("T", -1, TUser::kShared, false));
}

TEST_F(Installation, DamagedUserFileIsReadWithoutLosingLines) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 131) % 256);
    std::string content =
        "UserName=D\r\nRe0=BKM;x\r\n" + std::string(1 << 20, 'L') + "\r\n" + garbage;
    WriteFile(db() + "D.usr", content);
    {
        auto u = TUser::Open("D", -1, TUser::kShared, true);
        u->SaveUser();
    }
    std::string after = ReadFile(db() + "D.usr");
    EXPECT_NE(after.find(std::string(1 << 20, 'L')), std::string::npos);
    EXPECT_NE(after.find("Re0=BKM;x"), std::string::npos);
}

TEST_F(Installation, MissingDatabaseFolderWarnsOnSave) {
    auto u = TUser::Create("M");
    std::filesystem::remove_all(db());
    EXPECT_EQ(u->SaveUser(), 0);
    EXPECT_TRUE(ui.ShowedString(1391));
}

TEST_F(Installation, LaunchAtStartupFollowsTheWorkstationSetting) {
    ::setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
    auto user = TUser::Create("A");
    user->LaunchAtStartup("/opt/hollin");  // no workstation settings yet: nothing happens
    EXPECT_FALSE(platform::HasAutostart("TypingVantor"));
    ASSERT_TRUE(CorvSettings::OpenWorkstation("PC.wk10", db(), 2));
    CorvSettings::Workstation()->SetBool("LaunchAtStartup." + platform::LogonName(), true);
    user->LaunchAtStartup("/opt/hollin");
    EXPECT_TRUE(platform::HasAutostart("TypingVantor"));
    CorvSettings::Workstation()->SetBool("LaunchAtStartup." + platform::LogonName(), false);
    user->LaunchAtStartup("/opt/hollin");
    EXPECT_FALSE(platform::HasAutostart("TypingVantor"));
    platform::SetAutostart("TypingVantor", "/opt/hollin");
    TUser::RemoveLaunchAtStartup();
    EXPECT_FALSE(platform::HasAutostart("TypingVantor"));
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(ProgramSettings, FoldersFromTheIniFile) {
    TempDir dir;
    testsupport::RecordingUi ui;
    const std::string base = dir.path() + "/";
    ::mkdir((base + "inst").c_str(), 0777);
    ::mkdir((base + "inst/Database").c_str(), 0777);
    WriteFile(base + "inst/Policy.dyn", "CustomStoryPath=" + base + "stories\r\n");
    WriteFile(base + "inst/CorvKeyb.ini",
              "heading\r\nEnglish=qwerty.kbd;09;XX\r\nGerman=de.kbd;07;000\r\n");
    ::setenv("CORV_TEST_ROOT", (base + "inst").c_str(), 1);
    WriteFile(base + "CorvNPath.ini",
              "[Path]\r\nDataPath=%CORV_TEST_ROOT%\r\nDataBase=" + base + "net/db\r\n");
    auto ps = TProgramSettings::Create(base);
    ASSERT_TRUE(ps);
    EXPECT_EQ(ps->rootFolder, base + "inst/");
    EXPECT_EQ(ps->databaseFolder, base + "net/db/");
    EXPECT_TRUE(fs::DirectoryExists(base + "net/db"));  // created when missing
    EXPECT_EQ(ps->lessonsFolder, base + "inst/lessons/");
    EXPECT_EQ(ps->layoutNames, (std::vector<std::string>{"English", "German"}));
    EXPECT_EQ(ps->layoutLanguage, "09");
    EXPECT_EQ(ps->layoutPrefix, "000004");
    CorvSettings::OpenPolicy(ps->rootFolder);
    ps->SetTextsFolder();
    EXPECT_EQ(ps->textsFolder, base + "stories/");
    CorvSettings::CloseAll();

    // "AppData=1" wins over "DataBase".
    ::setenv("XDG_DATA_HOME", (base + "xdg").c_str(), 1);
    WriteFile(base + "CorvNPath.ini",
              "[path]\r\ndatapath=inst\r\nDataBase=/nowhere\r\nAppData=1\r\n");
    ps = TProgramSettings::Create(base);
    ASSERT_TRUE(ps);
    EXPECT_EQ(ps->rootFolder, base + "inst/");
    EXPECT_EQ(ps->databaseFolder, base + "xdg/Corvella10/");
    ::unsetenv("XDG_DATA_HOME");
}

TEST(ProgramSettings, UnusableInstallationsStop) {
    TempDir dir;
    testsupport::RecordingUi ui;
    EXPECT_FALSE(TProgramSettings::Create(dir.path() + "/missing"));
    EXPECT_TRUE(ui.ShowedString(358));
    EXPECT_EQ(ui.endProgramCalls.size(), 1u);
    EXPECT_FALSE(TProgramSettings::Create(dir.path()));  // no Policy.dyn
    EXPECT_EQ(ui.endProgramCalls.size(), 2u);
    WriteFile(dir / "Policy.dyn", "");
    auto ps = TProgramSettings::Create(dir.path());
    ASSERT_TRUE(ps);  // a missing database folder is reported, not fatal
    EXPECT_TRUE(ps->layoutNames.empty());
}

TEST(ProgramSettings, EnvironmentExpansion) {
    ::setenv("CORV_X", "value", 1);
    EXPECT_EQ(ExpandEnvironment("a%CORV_X%b"), "avalueb");
    EXPECT_EQ(ExpandEnvironment("%CORV_UNSET_VAR%/x"), "%CORV_UNSET_VAR%/x");
    EXPECT_EQ(ExpandEnvironment("100%"), "100%");
    EXPECT_EQ(ExpandEnvironment("%%CORV_X%"), "%value");
}

}  // namespace
}  // namespace corv
