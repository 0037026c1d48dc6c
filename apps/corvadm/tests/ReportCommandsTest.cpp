// corvadm's reports: PDF files checked with qpdf and pdfinfo, the class list as CSV.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "apps/corvadm/tests/RunCorvadm.h"
#include "testsupport/TempDir.h"

namespace {

using corv::test::Corvadm;
using corv::test::Outcome;
using corv::test::ReadFile;
using corv::test::TempDir;
using corv::test::WriteFile;

std::string Shell(const std::string& command) {
    std::string out;
    FILE* p = ::popen((command + " 2>&1").c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
    return out;
}

// A field of pdfinfo's output, without the padding.
std::string Field(const std::string& info, const std::string& name) {
    const size_t at = info.find(name + ":");
    if (at == std::string::npos) return "(none)";
    const size_t start = info.find_first_not_of(' ', at + name.size() + 1);
    const size_t end = info.find('\n', at);
    return start >= end ? std::string() : info.substr(start, end - start);
}

class ReportCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.path();
        ::mkdir((root + "/Database").c_str(), 0777);
        ::mkdir((root + "/lessons").c_str(), 0777);
        ::mkdir((root + "/out").c_str(), 0777);
        WriteFile(root + "/Policy.dyn", "Sounds=0\r\n");
        WriteFile(root + "/0.grp", "Name=All\r\n");
        WriteFile(root + "/1.grp", "Name=Class 4b\r\n");
        WriteFile(root + "/language.eng",
                  ReadFile(std::string(CORV_SOURCE_DIR) + "/install/language.eng"));
        WriteFile(root + "/lessons/speed.cnt", "$description=Speed building\r\n$version=2.0\r\n");
        WriteFile(root + "/Database/Anna.usr",
                  "UserName=Anna\r\nUserGroupID=1\r\nTimeStudied=5400\r\nReCnt=2\r\n"
                  "Re0=BKM;SPEED;1;2;1;0;1;46000.5;95;CT;0;95;TEXT;4;90;600;0;0;180;160;96;70;85;"
                  "12;0;450;3;5\r\n"
                  "Re1=NAME;TEST1;0;0;1;46100.4;320;0;0;0;TEST;4;300;300;0;0;200;190;97;0;0;0;"
                  "The fox;1000;3;5\r\n");
        WriteFile(root + "/Database/Bo Jr Lee.usr",
                  "UserName=Bo \"Jr\", Lee\r\nUserGroupID=0\r\nReCnt=0\r\n");
    }
    std::string R(const std::string& args) { return "--root '" + root + "' " + args; }
    void ExpectPdf(const std::string& file, const std::string& title) {
        const std::string check = Shell("qpdf --check '" + file + "'");
        EXPECT_NE(check.find("No syntax or stream encoding errors found"), std::string::npos)
            << check;
        EXPECT_EQ(check.find("WARNING"), std::string::npos) << check;
        const std::string info = Shell("pdfinfo '" + file + "'");
        EXPECT_EQ(Field(info, "Pages"), "1") << info;
        EXPECT_EQ(Field(info, "Title"), title) << info;
    }
    TempDir dir;
    std::string root;
};

TEST_F(ReportCommandsTest, ProgressTestAndDiplomaAreWrittenAsPdf) {
    const std::string out = root + "/out";
    Outcome progress = Corvadm(R("report progress anna --pdf progress.pdf"), out);
    ASSERT_EQ(progress.status, 0) << progress.out;
    ExpectPdf(out + "/progress.pdf", "");
    Outcome test = Corvadm(R("report test Anna 1 --pdf test.pdf"), out);
    ASSERT_EQ(test.status, 0) << test.out;
    ExpectPdf(out + "/test.pdf", "Anna");
    Outcome diploma = Corvadm(R("report diploma Anna 1 --pdf '" + out + "/diploma.pdf'"));
    ASSERT_EQ(diploma.status, 0) << diploma.out;
    ExpectPdf(out + "/diploma.pdf", "Anna");
}

TEST_F(ReportCommandsTest, WrongNamesAndNumbersAreRefusedWithoutAFile) {
    const struct {
        const char* args;
        const char* says;
    } cases[] = {
        {"report test Anna 0 --pdf x.pdf", "has no test result 0"},  // a course result
        {"report test Anna 7 --pdf x.pdf", "has no test result 7"},
        {"report diploma Anna one --pdf x.pdf", "RESULT is the number"},
        {"report progress Nobody --pdf x.pdf", "no such user: Nobody"},
        {"report progress Anna --csv x.pdf", "usage"},
        {"report class x --csv x.csv", "GROUP is a number"},
        {"report progress Anna --pdf no/such/folder/x.pdf", "could not be written"},
    };
    for (const auto& c : cases) {
        Outcome o = Corvadm(R(c.args), root + "/out");
        EXPECT_EQ(o.status, 2) << c.args;
        EXPECT_NE(o.out.find(c.says), std::string::npos) << c.args << ": " << o.out;
    }
    struct stat st {};
    EXPECT_NE(::stat((root + "/out/x.pdf").c_str(), &st), 0);
}

TEST_F(ReportCommandsTest, ClassListIsOneCsvRowPerUser) {
    Outcome all = Corvadm(R("report class --csv all.csv"), root + "/out");
    ASSERT_EQ(all.status, 0) << all.out;
    const std::string header =
        "Name,Group,Exercises completed,Latest net speed,Best net speed,Speed unit,"
        "Latest accuracy,Minutes studied,Tests passed\r\n";
    EXPECT_EQ(ReadFile(root + "/out/all.csv"), header +
                                                   "Anna,Class 4b,1,38,38,wpm,97,90,1\r\n"
                                                   "\"Bo \"\"Jr\"\", Lee\",All,0,,,wpm,,0,0\r\n");
    Outcome group = Corvadm(R("report class 1 --csv one.csv"), root + "/out");
    ASSERT_EQ(group.status, 0) << group.out;
    EXPECT_EQ(ReadFile(root + "/out/one.csv"), header + "Anna,Class 4b,1,38,38,wpm,97,90,1\r\n");
}

}  // namespace
