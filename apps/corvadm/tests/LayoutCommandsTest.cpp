// Runs the real corvadm's layout commands on an installation with layout files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "apps/corvadm/tests/RunCorvadm.h"
#include "testsupport/TempDir.h"

namespace {

using corv::test::TempDir;
using corv::test::WriteFile;

using Result = corv::test::Outcome;

Result RunCorvadm(const std::string& args) {
    return corv::test::Corvadm(args);
}

class LayoutCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path();
        ::mkdir((root + "/Database").c_str(), 0777);
        ::mkdir((root + "/keyboards").c_str(), 0777);
        WriteFile(root + "/Policy.dyn", "wpm_length=5\r\n");
    }
    Result Layout(const std::string& args) {
        return RunCorvadm("--root '" + root + "' layout " + args);
    }
    TempDir dir;
    std::string root;
};

const std::string kShipped = std::string(CORV_SOURCE_DIR) + "/install/keyboards/";

TEST_F(LayoutCommands, ShippedLayoutsCheckClean) {
    for (const char* file : {"qwerty.kbd", "german.kbd", "dynamic.kbd"}) {
        Result r = Layout("check '" + kShipped + file + "'");
        EXPECT_EQ(r.status, 0) << file << "\n" << r.out;
        EXPECT_NE(r.out.find("no problems"), std::string::npos) << r.out;
    }
}

TEST_F(LayoutCommands, CheckListsEveryProblemWithItsLine) {
    WriteFile(root + "/keyboards/Bad.kbd",
              "$version=6\r\n"
              "layoutcode;00000409\r\n"
              "homerow;asdfjkl%;\r\n"
              "key;1;4;4;40;40;-;a;A\r\n"
              "key;12;+4;0;40;40;-;s;S\r\n"
              "key;3;20;4;40;40;-;d;D\r\n"
              "vkey;4;100;4;40;40;-;f;F;f\r\n"
              "controlkey;1;4;100;40;40;-;30;Ctrl\r\n");
    Result r = Layout("check bad.kbd");  // found in the keyboards folder, any case
    EXPECT_EQ(r.status, 1) << r.out;
    const char* expected[] = {
        "line 5: finger 12 is not 1 to 10",
        "line 7: vkey scan code \"f\" (word 9) is not a number from 0 to 127",
        "line 8: control number 30 is not 0 to 20",
        "line 6: key overlaps the key of line 4",
        "layout: no key types \"g\", a letter of the layout's language",
        "home-row character \"s\" is typed with finger 12, not 2",
    };
    for (const char* e : expected)
        EXPECT_NE(r.out.find(e), std::string::npos) << e << "\n" << r.out;

    WriteFile(root + "/keyboards/old.kbd", "$version=5\r\nkey;1;4;4;40;40;-;a\r\n");
    Result old = Layout("check old.kbd");
    EXPECT_EQ(old.status, 1);
    EXPECT_NE(old.out.find("must be version 6"), std::string::npos) << old.out;
}

TEST_F(LayoutCommands, ShowListsKeysFingersAndHomeRow) {
    Result r = Layout("show '" + kShipped + "german.kbd'");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("layout code:   00000407"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("home row:      asdfjkl\xC3\xB6"), std::string::npos) << r.out;  // UTF-8
    EXPECT_NE(r.out.find("  \xC3\xB6  finger 8 (right little)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0:q  1:Q  4:@"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("0:SPACE"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("control 4"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("4 left index"), std::string::npos) << r.out;
}

TEST_F(LayoutCommands, UsageErrors) {
    EXPECT_EQ(Layout("check nothing.kbd").status, 2);
    EXPECT_EQ(Layout("show").status, 2);
    EXPECT_EQ(Layout("frob '" + kShipped + "qwerty.kbd'").status, 2);
    EXPECT_NE(RunCorvadm("--help").out.find("layout check FILE"), std::string::npos);
}

}  // namespace
