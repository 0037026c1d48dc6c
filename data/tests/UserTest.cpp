#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/TextFiles.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/UserMaintenance.h"
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
    // The layered boolean is true only for exactly "1".
    for (const char* no : {"True", "yes", "10", "0"}) {
        user->SetText("Flag", no);
        EXPECT_FALSE(user->LBool("Flag")) << no;
    }
    user->SetText("Flag", "1");
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

TEST_F(Installation, IndexesCoverEveryGroupIdAndKeepUsersSorted) {
    WriteFile(root + "3.grp", "Name=Three\r\n");
    for (auto [name, group] : {std::pair{"Carl", 3}, {"anna", 0}, {"Bert", 3}, {"Dora", 2}}) {
        auto u = TUser::Create(name);
        u->SetGroupId(group);
        u->SaveUser();
    }
    TUser::RebuildIndexes();
    EXPECT_EQ(ReadFile(db() + "3.idx"), "Bert.usr=Bert\r\nCarl.usr=Carl\r\n");
    // Every id up to the highest gets its index, empty or not. Group 2 has no group file,
    // so its index does not count: Dora is listed among the unindexed users of group 0.
    EXPECT_EQ(ReadFile(db() + "0.idx"), "Anna.usr=anna\r\n");
    EXPECT_EQ(ReadFile(db() + "1.idx"), "");
    EXPECT_EQ(ReadFile(db() + "2.idx"), "Dora.usr=Dora\r\n");
    EXPECT_EQ(TUser::UserNames(0), (std::vector<std::string>{"anna", "Dora"}));
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

// The copies KeepDamagedCopy made of a file.
std::vector<std::string> DamagedCopies(const std::string& path) {
    return fs::ListMatching(path + ".damaged-*");
}

TEST_F(Installation, DamagedUserFilesAreRefusedKeptAndLogged) {
    std::string garbage;
    for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((i * 131 + i / 7) % 256);
    const std::string good = "UserName=D\r\nDateStarted=1.1.2026\r\nTimeStudied=600\r\n";
    const std::string result =
        "Re0=BKM;ENGLISH;3;2;1;0;1;39000.5;95;CT;0;95;TEXT;4;90;600;0;0;180;160;96;70;85;12;0;"
        "450;3;5\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        const char* damage;
    } cases[] = {
        {"cut off in a line", good + result.substr(0, 40), "line 4 is cut off"},
        {"NUL bytes", good + "Time" + std::string(3, '\0') + "=1\r\n", "line 4 holds NUL"},
        {"random bytes", garbage, "line 1 holds"},
        {"a result that does not read", good + "Re0=BKM;x\r\n", "Re0 does not read"},
        {"a number far out of range",
         good + result.substr(0, 18) + "99999999999" + result.substr(19), "Re0 does not read"},
        {"no name=value lines", "Dear diary,\r\ntoday I typed.\r\n", "no name=value line"},
        {"an overlong line", good + "Notes=" + std::string(1 << 20, 'L') + "\r\n", "longer than"},
    };
    SetErrorLogFolder(db());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(db());
        ::mkdir(db().c_str(), 0777);
        WriteFile(db() + "D.usr", c.bytes);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                TUser::Open("D", -1, TUser::kShared, false);
                ADD_FAILURE() << "opened";
            } catch (const DamagedUserFile& e) {
                EXPECT_NE(e.damage.find(c.damage), std::string::npos) << e.damage;
                const std::string message = e.what();
                EXPECT_NE(message.find("D.usr is damaged"), std::string::npos) << message;
                EXPECT_NE(message.find(fs::BaseName(e.copy)), std::string::npos) << message;
                EXPECT_NE(message.find("corvadm users restore \"D\""), std::string::npos);
            }
        }
        // Never written over, copied once however often it is seen, and logged.
        EXPECT_EQ(ReadFile(db() + "D.usr"), c.bytes);
        auto copies = DamagedCopies(db() + "D.usr");
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(ReadFile(db() + copies[0]), c.bytes);
        const std::string log = ReadFile(db() + "Errors.log");
        EXPECT_NE(log.find("#-1518"), std::string::npos);
        EXPECT_NE(log.find(copies[0]), std::string::npos);
    }
    SetErrorLogFolder("");
}

TEST_F(Installation, DamagedStatisticsFileIsRefusedAndKept) {
    TUser::Create("T")->SaveUser();
    const std::string stored = ReadFile(db() + "T.DTA");
    for (const std::string& damaged :
         {stored.substr(0, 100), std::string("garbage"), stored.substr(0, stored.size() - 1)}) {
        WriteFile(db() + "T.DTA", damaged);
        EXPECT_THROW(TUser::Open("T", -1, TUser::kShared, false), DamagedUserFile);
        EXPECT_EQ(ReadFile(db() + "T.DTA"), damaged);
        // Settings alone do not touch the statistics file, so the user can still be read.
        EXPECT_NO_THROW(TUser::Open("T", -1, TUser::kReadOnly, true));
    }
    EXPECT_EQ(DamagedCopies(db() + "T.DTA").size(), 3u);
}

TEST_F(Installation, ACutOffApplicationListIsKeptBeforeItIsRewritten) {
    TUser::Create("S")->SaveUser();
    const std::string whole = ReadFile(db() + "S.SET");
    ASSERT_GT(whole.size(), 1000u);
    const std::string cut = whole.substr(0, whole.size() - 100);
    WriteFile(db() + "S.SET", cut);
    TUser::Open("S", -1, TUser::kShared, false)->SaveUser();
    const auto copies = DamagedCopies(db() + "S.SET");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadFile(db() + copies[0]), cut);
}

TEST_F(Installation, ADamagedGroupFileIsKeptAndNeverWritten) {
    const std::string bytes = "Name=Class 1\r\nVolume=3\r\nVolume.locked=1\r\nDat";
    WriteFile(root + "1.grp", bytes);
    SetErrorLogFolder(db());
    {
        auto user = TUser::Create("G");
        user->SetGroupId(1);
        user->SaveUser();
    }
    // The user's group is read only: used as it reads, its bytes kept and logged.
    auto user = TUser::Open("G", -1, TUser::kShared, false);
    EXPECT_EQ(user->LInteger("Volume"), 3);
    const auto copies = DamagedCopies(root + "1.grp");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NE(ReadFile(db() + "Errors.log").find(copies[0]), std::string::npos);
    // Opened for writing, it is refused rather than written back.
    EXPECT_THROW(TUserGroup::Open(1, 2), DamagedUserFile);
    EXPECT_EQ(ReadFile(root + "1.grp"), bytes);
    EXPECT_EQ(DamagedCopies(root + "1.grp").size(), 1u);
    SetErrorLogFolder("");
}

TEST_F(Installation, EverySaveKeepsTheLastGoodFileAsBackup) {
    auto user = TUser::Create("B");
    user->SaveUser();
    const std::string first = ReadFile(db() + "B.usr");
    const std::string firstDta = ReadFile(db() + "B.DTA");
    EXPECT_FALSE(fs::FileExists(db() + "B.usr.bak"));  // an empty new file is no save
    user->SetInteger("TimeStudied", 60);
    DifficultKeysA().RecordKeystroke('k', true);
    user->SaveUser();
    EXPECT_EQ(ReadFile(db() + "B.usr.bak"), first);
    EXPECT_EQ(ReadFile(db() + "B.DTA.bak"), firstDta);
    const std::string second = ReadFile(db() + "B.usr");

    // Damaged behind the program's back: the save keeps the damage as a copy and the
    // backup stays the last good file.
    WriteFile(db() + "B.usr", second.substr(0, second.size() - 5));
    user->SetInteger("TimeStudied", 120);
    user->SaveUser();
    EXPECT_EQ(ReadFile(db() + "B.usr.bak"), first);
    EXPECT_EQ(DamagedCopies(db() + "B.usr").size(), 1u);
    EXPECT_EQ(TUser::UserNames(-1), std::vector<std::string>{"B"});  // copies are no users
}

TEST_F(Installation, RestorePutsBackTheLastGoodSave) {
    {
        auto user = TUser::Create("R");
        user->SaveUser();
        user->SetInteger("TimeStudied", 60);
        user->SaveUser();
        user->SetInteger("TimeStudied", 120);
        user->SaveUser();
    }
    const std::string good = ReadFile(db() + "R.usr.bak");
    const std::string current = ReadFile(db() + "R.usr");
    std::vector<std::string> done;
    std::string error;
    EXPECT_FALSE(RestoreUserFiles("R", done, error));  // nothing is damaged
    EXPECT_NE(error.find("read cleanly"), std::string::npos);

    WriteFile(db() + "R.usr", current.substr(0, current.size() / 2));
    EXPECT_THROW(TUser::Open("R", -1, TUser::kShared, false), DamagedUserFile);
    ASSERT_TRUE(RestoreUserFiles("R", done, error)) << error;
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(ReadFile(db() + "R.usr"), good);
    EXPECT_EQ(TUser::Open("R", -1, TUser::kShared, false)->GetInteger("TimeStudied"), 60);

    // The statistics file has its own backup.
    {
        auto user = TUser::Open("R", -1, TUser::kShared, false);
        DifficultKeysA().RecordKeystroke('q', true);
        user->SaveUser();
    }
    const std::string goodDta = ReadFile(db() + "R.DTA.bak");
    WriteFile(db() + "R.DTA", goodDta.substr(0, 50));
    done.clear();
    ASSERT_TRUE(RestoreUserFiles("R", done, error)) << error;
    ASSERT_EQ(done.size(), 1u);
    EXPECT_NE(done[0].find("R.DTA from R.DTA.bak"), std::string::npos) << done[0];
    EXPECT_EQ(ReadFile(db() + "R.DTA"), goodDta);

    // Without a backup there is nothing to put back, and the file stays.
    WriteFile(db() + "R.usr", "\x01\x02");
    std::filesystem::remove(db() + "R.usr.bak");
    EXPECT_FALSE(RestoreUserFiles("R", done, error));
    EXPECT_NE(error.find("no backup"), std::string::npos);
    EXPECT_EQ(ReadFile(db() + "R.usr"), "\x01\x02");
}

TEST_F(Installation, RestoreWaitsForTheProgramThatHasTheUserOpen) {
    auto user = TUser::Create("O");
    user->SaveUser();
    user->SetInteger("TimeStudied", 60);
    user->SaveUser();
    WriteFile(db() + "O.usr", "cut");
    std::vector<std::string> done;
    std::string error;
    EXPECT_FALSE(RestoreUserFiles("O", done, error));
    EXPECT_NE(error.find("in use"), std::string::npos);
    user->File().DiscardChanges();
    user.reset();
    EXPECT_TRUE(RestoreUserFiles("O", done, error)) << error;
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
