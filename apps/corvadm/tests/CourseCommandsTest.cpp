// Runs the real corvadm's course check on the shipped course and on a broken one.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "apps/corvadm/tests/RunCorvadm.h"
#include "testsupport/ReadOnlyFolder.h"
#include "testsupport/TempDir.h"

namespace {

using corv::test::TempDir;
using corv::test::WriteFile;

using Result = corv::test::Outcome;

Result RunCorvadm(const std::string& args) {
    return corv::test::Corvadm(args);
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class CourseCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path();
        ::mkdir((root + "/Database").c_str(), 0777);
        ::mkdir((root + "/lessons").c_str(), 0777);
        ::mkdir((root + "/keyboards").c_str(), 0777);
        WriteFile(root + "/Policy.dyn", "wpm_length=5\r\n");
        const std::string shipped = std::string(CORV_SOURCE_DIR) + "/install/keyboards/";
        for (const char* kbd : {"qwerty.kbd", "german.kbd"})
            std::filesystem::copy_file(shipped + kbd, root + "/keyboards/" + kbd);
    }
    Result Course(const std::string& args) {
        return RunCorvadm("--root '" + root + "' course " + args);
    }
    void Lesson(const std::string& name, const std::string& text) {
        WriteFile(root + "/lessons/" + name, Crlf(text));
    }
    TempDir dir;
    std::string root;
};

TEST_F(CourseCommands, ShippedCourseChecksClean) {
    // A copy of the shipped lessons, so nothing is written into the source tree.
    const std::string shipped = std::string(CORV_SOURCE_DIR) + "/install/lessons";
    std::filesystem::copy(shipped, root + "/lessons", std::filesystem::copy_options::recursive);
    Result r = Course("check speedbuilding.cnt");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("no problems"), std::string::npos) << r.out;
}

TEST_F(CourseCommands, BeginnersCourseChecksCleanButForTheDrillClasses) {
    const std::string shipped = std::string(CORV_SOURCE_DIR) + "/install/lessons";
    std::filesystem::copy(shipped, root + "/lessons", std::filesystem::copy_options::recursive);
    Result r = Course("check beginners.cnt");
    // Until the keyboard drills are built in, their events are all it reports.
    std::istringstream lines(r.out);
    std::string line;
    int drills = 0;
    while (std::getline(lines, line)) {
        const std::string summary = " problems";
        if (line.size() > summary.size() &&
            line.compare(line.size() - summary.size(), summary.size(), summary) == 0)
            continue;
        bool drill = false;
        for (const char* type : {"KEYINTRO", "KEY2", "WORD2", "SENTENCE2"})
            drill = drill || line.find(std::string("event type ") + type +
                                       " is not available in this build") != std::string::npos;
        EXPECT_TRUE(drill) << line;
        drills += drill;
    }
    EXPECT_GT(drills, 50) << r.out;
}

TEST(CourseCheck, ReadingTheInstallationWritesNothingIntoIt) {
    // A whole copy of the shipped installation, checked as it is and read-only.
    TempDir dir;
    const std::string root = dir.path() + "/install";
    std::filesystem::copy(std::string(CORV_SOURCE_DIR) + "/install", root,
                          std::filesystem::copy_options::recursive);
    const std::vector<std::string> before = corv::test::TreeOf(root);
    auto check = [&] {
        Result r = RunCorvadm("--root '" + root + "' course check speedbuilding.cnt");
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_NE(r.out.find("no problems"), std::string::npos) << r.out;
        return r.status == 0 && r.out.find("no problems") != std::string::npos;
    };
    EXPECT_TRUE(check());
    EXPECT_EQ(corv::test::TreeOf(root), before);
    // A relative root and file, as an administrator types them beside the installation.
    char cwd[4096];
    ASSERT_TRUE(::getcwd(cwd, sizeof cwd));
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    for (const char* file : {"speedbuilding.cnt", "install/lessons/speedbuilding.cnt"}) {
        Result r = RunCorvadm(std::string("--root install course check ") + file);
        EXPECT_EQ(r.status, 0) << file << "\n" << r.out;
        EXPECT_NE(r.out.find("no problems"), std::string::npos) << file << "\n" << r.out;
    }
    ASSERT_EQ(::chdir(cwd), 0);
    EXPECT_EQ(corv::test::TreeOf(root), before);
    const int answer = corv::test::InReadOnlyFolder(root, [&] { return check() ? 0 : 1; });
    if (answer == corv::test::kNoReadOnlyFolder) GTEST_SKIP() << "no read-only folder here";
    EXPECT_EQ(answer, 0) << "the check of a read-only installation failed";
    EXPECT_EQ(corv::test::TreeOf(root), before);
}

TEST_F(CourseCommands, ReportsEveryProblemOfABrokenCourse) {
    Lesson("fine.txt", "plain words\n");
    Lesson("german.txt",
           "Stra\xDF"
           "e und Gr\xFC\xDF"
           "e\n");
    Lesson("page.htm", "<html><body><img src=\"pics/gone.png\"></body></html>\n");
    std::string many;
    for (int i = 0; i < 20; ++i) many += "event=TEXT;1;words\n";
    Lesson("broken.cnt",
           "$description=Broken\n"
           "colour=blue\n"    // 2: unknown course key
           "begin chapter\n"  // 3
           "chapter name=1;First\n"
           "new keys=fj\x80\n"  // the euro sign is not on qwerty
           "picture=nothere.gif\n"
           "begin exercise\n"  // 7
           "type=One\n"
           "duration=1\n"
           "event=TEXXT;5;oops\n"              // 10: unknown type
           "event=TEXT;5;FILE:missing.txt\n"   // 11: missing text
           "event=HTMLMESSAGE;0;absent.htm\n"  // 12: missing page
           "event=HTMLMESSAGE;0;page.htm\n"    // 13: missing picture on the page
           "event=TEXT;5;FILE:german.txt\n"    // 14: characters qwerty lacks
           "event=WORDTRIS;5;x\n"              // 15: not in this build
           "shade=1\n"                         // 16: unknown exercise key
           "end exercise\n"
           "begin exercise\n"  // 18
           "type=Many\n"
           "duration=1\n" +
               many +  // 21..40: the 19th and 20th warned
               "end exercise\n"
               "begin exercise\n"
               "type=Tiny\n"
               "duration=0\n"
               "event=TEXT;1;FILE:fine.txt\n"  // weight 0: divides to nothing
               "end exercise\n"
               "end chapter\n"
               "begin chapter\n"
               "chapter name=2;Second\n"
               "begin exercise\n"
               "event=TEXT;1;words\n");  // no type, file ends in the section
    Result r = Course("check broken.cnt");
    EXPECT_EQ(r.status, 1) << r.out;
    const char* expected[] = {
        "broken.cnt:2: unknown key \"colour\"",
        "lesson 1: new keys \"fj\xE2\x82\xAC\" has characters the layout \"qwerty.kbd\" cannot "
        "type: \"\xE2\x82\xAC\"",
        "lesson 1: picture \"nothere.gif\" is missing",
        "broken.cnt:10: lesson 1, exercise 1: unknown event type \"TEXXT\"",
        "broken.cnt:11: lesson 1, exercise 1: text file \"missing.txt\" is missing",
        "broken.cnt:12: lesson 1, exercise 1: page \"absent.htm\" is missing",
        "broken.cnt:13: lesson 1, exercise 1: page \"page.htm\" shows \"pics/gone.png\", which is "
        "missing",
        "broken.cnt:14: lesson 1, exercise 1: text file \"german.txt\" has characters the layout "
        "\"qwerty.kbd\" cannot type: \"\xC3\x9F\xC3\xBC\"",
        "broken.cnt:15: lesson 1, exercise 1: event type WORDTRIS is not available in this build",
        "broken.cnt:16: unknown key \"shade\" in an exercise",
        "Exercise object: overflow max 20 events",
        "a timed event gets no time (its share divides to 0 minutes) with 25 minutes, 35 minutes, "
        "45 minutes",
        "Exercise object: eof in middle of exercise",
        "Chapter object: eof in middle of chapter",
        "lesson 2, exercise 1: no \"type\"",
    };
    for (const char* e : expected)
        EXPECT_NE(r.out.find(e), std::string::npos) << e << "\n" << r.out;
    EXPECT_NE(r.out.find("broken.cnt:39: Exercise object: overflow max 20 events"),
              std::string::npos)
        << r.out;
}

TEST_F(CourseCommands, ReportsDrillWordsWithKeysNotLearntYet) {
    Lesson("later.txt", "fjdk; kdjf\nfj dk x\nfine\n");
    std::string many;
    for (int i = 0; i < 12; ++i) many += "fj sad\n";
    Lesson("many.txt", many);
    Lesson("keys.cnt",
           "$description=Keys\n"
           "begin chapter\n"
           "chapter name=1;F and J\n"
           "new keys=fj\n"
           "begin exercise\n"  // 5
           "type=First\n"
           "event=WORD2;0;fj jf fad\n"                   // 7
           "event=KEYINTRO;0;Words to read;fjq;PRESS\n"  // 8
           "event=KEYINTRO;0;Any words at all;newkeys;PRESS\n"
           "event=KEY2;0;TOUCHING:fjk\n"                    // 10
           "event=HTMLMESSAGE;0;http://example.org/quiz\n"  // pages are read, not typed
           "end exercise\n"
           "end chapter\n"
           "begin chapter\n"
           "chapter name=2;D and K\n"
           "new keys=dk\n"
           "new keys_dvorak=xyz\n"
           "new keys_qwerty=SEMICOLON\n"
           "begin exercise\n"
           "type=Second\n"
           "event=SENTENCE2;0;FILE:later.txt\n"  // 21
           "event=WORD2;0;FILE:many.txt\n"       // 22
           "end exercise\n"
           "end chapter\n"
           "begin chapter\n"
           "chapter name=3;Review\n"
           "begin exercise\n"
           "type=Review\n"
           "event=WORD2;0;fjdk%; kdjf fads\n"  // 29: a review knows every key so far
           "end exercise\n"
           "end chapter\n");
    Result r = Course("check keys.cnt");
    EXPECT_EQ(r.status, 1) << r.out;
    const char* expected[] = {
        "keys.cnt:7: lesson 1, exercise 1: the text: \"fad\" uses keys not learnt by this lesson: "
        "\"ad\"",
        "keys.cnt:8: lesson 1, exercise 1: the keys to introduce: \"fjq\" uses keys not learnt by "
        "this lesson: \"q\"",
        "keys.cnt:10: lesson 1, exercise 1: the keys \"fjk\": \"fjk\" uses keys not learnt by "
        "this lesson: \"k\"",
        "keys.cnt:21: lesson 2, exercise 1: text file \"later.txt\" line 2: \"x\" uses keys not "
        "learnt by this lesson: \"x\"",
        "keys.cnt:21: lesson 2, exercise 1: text file \"later.txt\" line 3: \"fine\" uses keys not "
        "learnt by this lesson: \"ine\"",
        "keys.cnt:22: lesson 2, exercise 1: text file \"many.txt\" line 10: \"sad\" uses keys not "
        "learnt by this lesson: \"sa\"",
        "keys.cnt:22: lesson 2, exercise 1: text file \"many.txt\": 2 more lines use keys not "
        "learnt "
        "by this lesson",
        "keys.cnt:29: lesson 3, exercise 1: the text: \"fads\" uses keys not learnt by this "
        "lesson: "
        "\"as\"",
    };
    for (const char* e : expected)
        EXPECT_NE(r.out.find(e), std::string::npos) << e << "\n" << r.out;
    // Those and nothing else: the semicolon, the introduced "newkeys" and the first line
    // of later.txt are all learnt; ten lines of many.txt are named, the rest counted.
    int count = 0;
    for (size_t at = r.out.find("not learnt"); at != std::string::npos;
         at = r.out.find("not learnt", at + 1))
        ++count;
    EXPECT_EQ(count, 17) << r.out;
}

TEST_F(CourseCommands, StaticDurationMistakes) {
    Lesson("s.cnt",
           "$description=S\ndurationsystem=static\nlessondurations=10,x,0\ndefaultduration=5\n"
           "begin chapter\nchapter name=1;A\nbegin exercise\ntype=T\nevent=TEXT;1;asdf\nend "
           "exercise\nend chapter\n");
    Result r = Course("check s.cnt");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("lesson duration \"x\" is not a number of minutes above 0"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("lesson duration \"0\" is not a number of minutes above 0"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"defaultduration\" 5 points past the 3 lesson durations"),
              std::string::npos)
        << r.out;
}

TEST_F(CourseCommands, MissingLayoutAndUsage) {
    Lesson("k.cnt",
           "$description=K\nkeyboard=nosuch.kbd\nbegin chapter\nchapter name=1;A\nbegin "
           "exercise\ntype=T\n"
           "event=TEXT;1;asdf\nend exercise\nend chapter\n");
    Result r = Course("check k.cnt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("the course's layout \"nosuch.kbd\" is not in the keyboards folder"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(Course("check nothing.cnt").status, 2);
    EXPECT_EQ(Course("frob k.cnt").status, 2);
    EXPECT_NE(RunCorvadm("--help").out.find("course check FILE"), std::string::npos);
}

}  // namespace

TEST_F(CourseCommands, NamesMalformedGoals) {
    Lesson("goals.cnt",
           "$description=Goals\n"
           "accuracygoals=90,high,97\n"
           "begin chapter\n"  // 3
           "chapter name=1;First\n"
           "begin exercise\n"
           "type=One\n"
           "duration=1\n"
           "event=TEXT;2;words;-;-;-;-;-;-;0;40;80;50;60\n"    // 8: sound
           "event=TEXT;2;words;-;-;-;-;-;-;0;fast;80;50;60\n"  // 9: not a number
           "end exercise\n"
           "begin exercise\n"
           "type=Two\n"
           "duration=1\n"
           "event=TEXT;2;words;-;-;-;-;-;-;0;40;3.1;1.1;1.9\n"  // 14: two missing references
           "end exercise\n"
           "end chapter\n");
    Result r = Course("check goals.cnt");
    EXPECT_EQ(r.status, 1) << r.out;
    const char* expected[] = {
        "goals.cnt: \"accuracygoals\" entry \"high\" is not a percentage; it counts as 0",
        "goals.cnt:9: lesson 1, exercise 1: goal field 11 (minimum speed) \"fast\" is not a "
        "number; it counts as 0",
        "goals.cnt:14: lesson 1, exercise 2: goal field 12 (final speed) refers to exercise "
        "\"3.1\", which the course does not have",
        "goals.cnt:14: lesson 1, exercise 2: goal field 14 (mid speed) refers to exercise "
        "\"1.9\", which the course does not have",
    };
    for (const char* e : expected)
        EXPECT_NE(r.out.find(e), std::string::npos) << e << "\n" << r.out;
    EXPECT_EQ(r.out.find("goals.cnt:8:"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("field 13"), std::string::npos) << "1.1 is there: " << r.out;
}
