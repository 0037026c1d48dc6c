// Runs the real corvadm on a small installation.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

#include "apps/corvadm/tests/RunCorvadm.h"
#include "testsupport/TempDir.h"

namespace {

using corv::test::ReadFile;
using corv::test::TempDir;
using corv::test::WriteFile;

using corv::test::Corvadm;
using corv::test::Outcome;

class CorvadmTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path();
        ::mkdir((root + "/Database").c_str(), 0777);
        WriteFile(root + "/Policy.dyn", "wpm_length=5\r\nfree line\r\n");
        WriteFile(root + "/0.grp", "Name=All\r\n");
        WriteFile(root + "/Database/Anna.usr",
                  "UserName=Anna\r\nUserGroupID=0\r\nReCnt=0\r\n"
                  "Re0=BKM;SPEED;1;2;1;0;1;46000.5;95;CT;0;95;TEXT;4;90;600;0;0;180;160;96;70;85;"
                  "12;0;450;3;5\r\n");
    }
    std::string R(const std::string& args) { return "--root '" + root + "' " + args; }
    TempDir dir;
    std::string root;
};

TEST_F(CorvadmTest, SettingsGetSetListKeepTheFileFormat) {
    EXPECT_EQ(Corvadm(R("settings get Policy.dyn WPM_LENGTH")).out, "5\n");
    EXPECT_EQ(Corvadm(R("settings get Policy.dyn nothing")).status, 1);
    EXPECT_EQ(Corvadm(R("settings set Policy.dyn Games.Hide 1")).status, 0);
    EXPECT_EQ(ReadFile(root + "/Policy.dyn"), "wpm_length=5\r\nfree line\r\nGames.Hide=1\r\n");
    EXPECT_EQ(Corvadm(R("settings list Anna.usr")).out.substr(0, 14), "UserName=Anna\n");
    // Non-ASCII arrives as UTF-8 and is stored as Windows-1252.
    EXPECT_EQ(Corvadm(R("settings set Anna.usr City 'K\xC3\xB6ln'")).status, 0);
    EXPECT_NE(ReadFile(root + "/Database/Anna.usr").find("City=K\xF6ln\r\n"), std::string::npos);
    EXPECT_NE(Corvadm(R("settings set Policy.dyn 'a=b' 1")).status, 0);
    EXPECT_NE(Corvadm(R("settings get nosuch.dyn x")).status, 0);
}

TEST_F(CorvadmTest, UsersListShowAndRebuild) {
    Outcome list = Corvadm(R("users list"));
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("Anna.usr"), std::string::npos);
    Outcome show = Corvadm(R("users show anna"));
    EXPECT_EQ(show.status, 0) << show.out;
    EXPECT_NE(show.out.find("[results]"), std::string::npos);
    EXPECT_NE(show.out.find("SPEED"), std::string::npos);
    EXPECT_NE(show.out.find("180"), std::string::npos);
    EXPECT_NE(Corvadm(R("users show Nobody")).status, 0);
    EXPECT_EQ(Corvadm(R("users rebuild-index")).status, 0);
    EXPECT_EQ(ReadFile(root + "/Database/0.idx"), "Anna.usr=Anna\r\n");
    // Showing a user changes nothing in its file.
    EXPECT_EQ(ReadFile(root + "/Database/Anna.usr").find("DateStarted"), std::string::npos);
}

TEST_F(CorvadmTest, ClearErrors) {
    EXPECT_EQ(Corvadm("").status, 2);
    EXPECT_NE(Corvadm(R("frobnicate")).status, 0);
    Outcome missing = Corvadm("--root /nonexistent/corv users list");
    EXPECT_NE(missing.status, 0);
}

// What an administrator types in the source tree, as the README shows it: no installation
// lies beside the build tree's corvadm, so each file is read on its own or in the
// installation it lies in. (On a copy: the share locks would write into the source tree.)
TEST(Corvadm, FileCommandsNeedNoRoot) {
    TempDir tree;
    const std::string source = tree.path();
    std::filesystem::copy(CORV_SOURCE_DIR "/install", source + "/install",
                          std::filesystem::copy_options::recursive);
    struct Case {
        std::string args;
        std::string output;  // a part of it
    } cases[] = {
        {"layout check install/keyboards/dvorak.kbd", "dvorak.kbd: no problems"},
        {"layout show install/keyboards/german.kbd", "home row:"},
        {"course check install/lessons/speedbuilding.cnt", "speedbuilding.cnt: no problems"},
        {"settings get install/Policy.dyn languagecode", "ENG\n"},
        {"settings list install/0.grp", "="},
    };
    for (const Case& c : cases) {
        Outcome r = Corvadm(c.args, source);
        EXPECT_EQ(r.status, 0) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find(c.output), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_EQ(r.out.find("Localization error"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Database"), std::string::npos) << r.out;
    }
    // A file outside any installation is read and changed all the same.
    TempDir dir;
    WriteFile(dir / "Loose.dyn", "a=1\r\n");
    EXPECT_EQ(Corvadm("settings set Loose.dyn b 2", dir.path()).status, 0);
    EXPECT_EQ(Corvadm("settings get loose.dyn B", dir.path()).out, "2\n");
    EXPECT_EQ(ReadFile(dir / "Loose.dyn"), "a=1\r\nb=2\r\n");
}

TEST_F(CorvadmTest, RelativeRootAndFilesStartInTheCurrentFolder) {
    const std::string parent = root.substr(0, root.rfind('/'));
    const std::string name = root.substr(root.rfind('/') + 1);
    EXPECT_EQ(Corvadm("--root " + name + " settings get Policy.dyn wpm_length", parent).out, "5\n");
    Outcome list = Corvadm("--root=" + name + " users list", parent);
    EXPECT_EQ(list.status, 0) << list.out;
    EXPECT_NE(list.out.find("Anna.usr"), std::string::npos);
    // A relative FILE is the one in the current folder, though commands run in the root.
    WriteFile(parent + "/Other.dyn", "wpm_length=7\r\n");
    EXPECT_EQ(Corvadm("--root " + name + " settings get Other.dyn wpm_length", parent).out, "7\n");
    EXPECT_EQ(Corvadm("--root ./" + name + " settings get Policy.dyn wpm_length", parent).out,
              "5\n");
}

// One line that says what was looked for and how to name an installation; never a
// localization placeholder, since without an installation there is no language file.
TEST(Corvadm, NoInstallationIsOneLineSayingWhereItLooked) {
    for (const char* args : {"users list", "users show Anna", "layout check dvorak.kbd",
                             "course check speedbuilding.cnt", "settings get Policy.dyn x"}) {
        Outcome r = Corvadm(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
        EXPECT_NE(r.out.find("apps/corvadm/"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("CorvNPath.ini"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("--root DIR"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Localization"), std::string::npos) << r.out;
    }
    TempDir dir;
    Outcome given = Corvadm("--root '" + dir.path() + "' users list");
    EXPECT_EQ(given.status, 2);
    EXPECT_NE(given.out.find(dir.path() + "/ has neither CorvNPath.ini nor Policy.dyn"),
              std::string::npos)
        << given.out;
    // A folder configuration that names a missing root says so.
    WriteFile(dir / "CorvNPath.ini", "[Path]\r\nDataPath=gone\r\n");
    Outcome named = Corvadm("--root '" + dir.path() + "' users list");
    EXPECT_NE(named.out.find(dir.path() + "/gone/, named by " + dir.path() +
                             "/CorvNPath.ini, does not exist"),
              std::string::npos)
        << named.out;
}

TEST_F(CorvadmTest, MissingDatabaseFolderIsReportedOnceWhereItMatters) {
    std::filesystem::remove_all(root + "/Database");
    for (const char* args : {"users list", "users show Anna", "users rebuild-index"}) {
        Outcome r = Corvadm(R(args));
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "corvadm: the database folder " + root +
                             "/Database/ does not exist (no user has been saved yet?)\n");
    }
    Outcome policy = Corvadm(R("settings get Policy.dyn wpm_length"));
    EXPECT_EQ(policy.out, "5\n");
    EXPECT_EQ(policy.status, 0);
}

TEST_F(CorvadmTest, ExitCodes) {
    WriteFile(root + "/Bad.kbd", "$version=6\r\nkey;1;4;4;40;40;-;a;A\r\n");
    const struct {
        std::string args;
        int status;
    } cases[] = {
        {"", 2},
        {"--help", 0},
        {"-h", 0},
        {"--version", 0},
        {"--bogus", 2},
        {"--root", 2},
        {R("frobnicate"), 2},
        {R("users frobnicate"), 2},
        {R("users show"), 2},
        {R("settings get Policy.dyn"), 2},
        {R("settings get Policy.dyn wpm_length extra"), 2},
        {R("settings get Policy.dyn wpm_length"), 0},
        {R("settings get Policy.dyn nothing"), 1},
        {R("settings get nosuch.dyn x"), 2},
        {R("layout check '" + root + "/Bad.kbd'"), 1},
        {R("layout check nosuch.kbd"), 2},
        {R("course check nosuch.cnt"), 2},
        {R("users show Nobody"), 2},
    };
    for (const auto& c : cases) EXPECT_EQ(Corvadm(c.args).status, c.status) << c.args;
}

// The help, the commands that run and the README's list are one and the same.
TEST(Corvadm, HelpReadmeAndCommandsAgree) {
    Outcome help = Corvadm("--help");
    ASSERT_EQ(help.status, 0);
    std::set<std::string> listed;
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string group, verb;
        if (line.rfind("  ", 0) == 0 && line.size() > 2 && line[2] != ' ' && words >> group >> verb)
            listed.insert(group + " " + verb);
    }
    std::set<std::string> documented;
    std::istringstream readme(ReadFile(CORV_SOURCE_DIR "/README.md"));
    for (std::string line; std::getline(readme, line);) {
        std::istringstream words(line);
        std::string program, option, dir, group, verb;
        if (words >> program >> option >> dir >> group >> verb && program == "corvadm" &&
            option == "[--root")
            documented.insert(group + " " + verb);
    }
    EXPECT_EQ(listed, documented);
    EXPECT_GE(listed.size(), 9u);
    for (const std::string& command : listed) {
        // Each one runs: without its arguments it answers with its own usage line.
        Outcome r = Corvadm(command + " a b c d e f");
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_NE(r.out.find("usage: corvadm [--root DIR] " + command), std::string::npos) << r.out;
    }
}

}  // namespace

TEST_F(CorvadmTest, UsersRestorePutsBackTheBackupOfADamagedUser) {
    const std::string usr = root + "/Database/Anna.usr";
    const std::string good = ReadFile(usr);
    WriteFile(usr + ".bak", good);
    WriteFile(usr, good.substr(0, 25));
    Outcome restored = Corvadm(R("users restore anna"));
    EXPECT_EQ(restored.status, 0) << restored.out;
    EXPECT_NE(restored.out.find("restored Anna.usr from Anna.usr.bak"), std::string::npos);
    EXPECT_EQ(ReadFile(usr), good);
    EXPECT_NE(ReadFile(root + "/Database/Errors.log").find("restored from Anna.usr.bak"),
              std::string::npos);
    size_t copies = 0;
    for (const auto& e : std::filesystem::directory_iterator(root + "/Database"))
        if (e.path().filename().string().rfind("Anna.usr.damaged-", 0) == 0) {
            ++copies;
            EXPECT_EQ(ReadFile(e.path().string()), good.substr(0, 25));
        }
    EXPECT_EQ(copies, 1u);

    Outcome clean = Corvadm(R("users restore anna"));
    EXPECT_NE(clean.status, 0);
    EXPECT_NE(clean.out.find("read cleanly"), std::string::npos) << clean.out;
    EXPECT_NE(Corvadm(R("users restore nobody")).status, 0);
}
