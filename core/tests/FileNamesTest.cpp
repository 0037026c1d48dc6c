#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/FileNames.h"
#include "testsupport/TempDir.h"

namespace corv::fs {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(FileNames, ResolveCaseFindsEachPartWithoutRegardToCase) {
    TempDir dir;
    ::mkdir((dir / "Lessons").c_str(), 0777);
    WriteFile(dir / "Lessons/Basic.CNT", "x");
    EXPECT_EQ(ResolveCase(dir / "lessons\\basic.cnt"), dir / "Lessons/Basic.CNT");
    EXPECT_EQ(ResolveCase(dir / "LESSONS/BASIC.cnt"), dir / "Lessons/Basic.CNT");
    // A missing file keeps its name as written in the folder that was found.
    EXPECT_EQ(ResolveCase(dir / "LESSONS/New.txt"), dir / "Lessons/New.txt");
    EXPECT_EQ(ResolveCase(dir / "nothere/a.txt"), dir / "nothere/a.txt");
}

TEST(FileNames, ExactNameWinsAndSeveralMatchesResolveToNothing) {
    TempDir dir;
    WriteFile(dir / "user.usr", "a");
    WriteFile(dir / "USER.usr", "b");
    EXPECT_EQ(ResolveCase(dir / "USER.usr"), dir / "USER.usr");
    EXPECT_EQ(ResolveCase(dir / "user.usr"), dir / "user.usr");
    // Two candidates, neither exact: no guess.
    EXPECT_EQ(ResolveCase(dir / "User.usr"), dir / "User.usr");
    EXPECT_FALSE(FileExists(dir / "User.usr"));
}

TEST(FileNames, MasksMatchAnyCase) {
    struct Case {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"0.grp", "*.grp", true}, {"TEACHERS.GRP", "*.grp", true},    {"a.grp.bak", "*.grp", false},
        {"noext", "*.*", true},   {"ab.txt", "a?.TXT", true},         {"abc.txt", "a?.txt", false},
        {"x.cnt", "*", true},     {"Policy.dyn", "policy.dyn", true},
    };
    for (auto c : cases) EXPECT_EQ(MatchMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
}

TEST(FileNames, ListingsAreSortedAndSkipFolders) {
    TempDir dir;
    WriteFile(dir / "b.GRP", "");
    WriteFile(dir / "A.grp", "");
    WriteFile(dir / "c.usr", "");
    ::mkdir((dir / "d.grp").c_str(), 0777);
    WriteFile(dir / ".corvshare", "");
    std::vector<std::string> expected = {"A.grp", "b.GRP"};
    EXPECT_EQ(ListMatching(dir / "*.grp"), expected);
    EXPECT_EQ(ListMatching(dir / "*.*"), (std::vector<std::string>{"A.grp", "b.GRP", "c.usr"}));
}

TEST(FileNames, FileUrlsBecomeLocalPaths) {
    EXPECT_EQ(FileUrlToPath("file:///home/u/a.dyn"), "/home/u/a.dyn");
    EXPECT_EQ(FileUrlToPath("file:///C:/Corv/a.dyn"), "C:/Corv/a.dyn");
    EXPECT_EQ(FileUrlToPath("FILE:///tmp/x"), "/tmp/x");
}

}  // namespace
}  // namespace corv::fs
