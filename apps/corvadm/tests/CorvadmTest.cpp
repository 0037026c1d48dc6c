// Runs the real corvadm on a small installation.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>

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

}  // namespace
