#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/Settings.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> ReadAllLines(TTextFile& f) {
    std::vector<std::string> lines;
    std::string line;
    while (f.Status() == kFileOk) {
        int rc = f.ReadLine(line);
        if (rc == kFileOk || !line.empty()) lines.push_back(line);
    }
    return lines;
}

TEST(TextFileHeader, ReadsKnownKeysAndLeavesBodyAtFirstOtherLine) {
    TempDir dir;
    WriteFile(dir / "c.cnt",
              "$version=2.0\r\n  $Description=Basic%;course  \r\n$durationlist=10,20\r\n"
              "$author=Me;ignored\r\n$unknown=1\r\nbody 1\r\n$not header\r\n");
    TTextFile f;
    ASSERT_EQ(f.Open(dir / "C.CNT", 1), kFileOk);
    EXPECT_EQ(f.version, "2.0");
    EXPECT_TRUE(f.hasVersion);
    EXPECT_EQ(f.description, "Basic;course");
    EXPECT_EQ(f.durationList, "10,20");
    EXPECT_EQ(f.author, "Me");
    EXPECT_FALSE(f.scrambled);
    EXPECT_EQ(ReadAllLines(f), (std::vector<std::string>{"body 1", "$not header"}));
}

TEST(TextFileHeader, EdgeCases) {
    TempDir dir;
    // No header: the first line is body.
    WriteFile(dir / "a.txt", "first\r\n$version=1\r\n");
    TTextFile a;
    a.Open(dir / "a.txt", 1);
    EXPECT_EQ(a.version, "");
    EXPECT_EQ(ReadAllLines(a).front(), "first");

    // Spaces around "=": the key is "$version " and is not recognised.
    WriteFile(dir / "b.txt", "$Version = 1.0\r\nx\r\n");
    TTextFile b;
    b.Open(dir / "b.txt", 1);
    EXPECT_EQ(b.version, "");
    EXPECT_FALSE(b.hasVersion);
    EXPECT_EQ(ReadAllLines(b), std::vector<std::string>{"x"});

    // "$end" ends the header and stays in the body.
    WriteFile(dir / "c.txt", "$version=3\r\n$end\r\nx\r\n");
    TTextFile c;
    c.Open(dir / "c.txt", 1);
    EXPECT_EQ(c.version, "3");
    EXPECT_EQ(ReadAllLines(c), (std::vector<std::string>{"$end", "x"}));
}

TEST(TextFileHeader, TextFileReadsFifteenLinesStreamFileEight) {
    TempDir dir;
    std::string content;
    for (int i = 1; i <= 20; ++i) content += "$author=a" + std::to_string(i) + "\r\n";
    WriteFile(dir / "h.txt", content);

    TTextFile t;
    t.Open(dir / "h.txt", 1);
    EXPECT_EQ(t.author, "a15");
    std::string line;
    t.ReadLine(line);
    EXPECT_EQ(line, "$author=a16");

    TStreamFile s;
    s.Open(dir / "h.txt", 1);
    EXPECT_EQ(s.author, "a8");
    s.ReadLine(line);
    EXPECT_EQ(line, "$author=a9");
}

TEST(TextFileHeader, LanguageOnlyForStreamFiles) {
    TempDir dir;
    WriteFile(dir / "l.txt", "$language=fin\r\n$language\r\nbody\r\n");
    TTextFile t;
    t.Open(dir / "l.txt", 1);
    EXPECT_EQ(t.language, "");
    TStreamFile s;
    s.Open(dir / "l.txt", 1);
    EXPECT_EQ(s.language, "FIN");  // "$language" with no value is ignored
}

TEST(TextFileScrambling, BodyIsUnscrambledHeaderIsNot) {
    TempDir dir;
    std::string body = "Hello\r\nWorld";
    Unscramble(body);  // scrambles: the operation is its own inverse
    WriteFile(dir / "s.txt", "$fileformat=CRYPTED\r\n" + body);
    TTextFile t;
    t.Open(dir / "s.txt", 1);
    EXPECT_TRUE(t.scrambled);
    EXPECT_EQ(ReadAllLines(t), (std::vector<std::string>{"Hello", "World"}));

    TStreamFile s;
    s.Open(dir / "s.txt", 1);
    std::string rest;
    s.ReadRest(rest);
    EXPECT_EQ(rest, "Hello\r\nWorld");

    // The line loader neither reads the header nor unscrambles.
    std::vector<std::string> raw;
    ASSERT_EQ(TStreamFile::LoadLines(raw, dir / "s.txt"), 1);
    EXPECT_EQ(raw.front(), "$fileformat=CRYPTED");
    EXPECT_NE(raw[1], "Hello");
}

TEST(TextFileRead, LineEndsAndTheLastLine) {
    TempDir dir;
    WriteFile(dir / "e.txt", "a\r\nb\nc\rd");
    TTextFile f;
    ASSERT_EQ(f.Open(dir / "e.txt", 1), kFileOk);
    std::string line;
    EXPECT_EQ(f.ReadLine(line), kFileOk);
    EXPECT_EQ(line, "a");
    EXPECT_EQ(f.ReadLine(line), kFileOk);
    EXPECT_EQ(line, "b");
    EXPECT_EQ(f.ReadLine(line), kFileOk);
    EXPECT_EQ(line, "c");
    // The last line without CR LF comes with status 0: use it before testing the status.
    EXPECT_EQ(f.ReadLine(line), kFileEnd);
    EXPECT_EQ(line, "d");
    // Further reads do nothing and keep the status.
    EXPECT_EQ(f.ReadLine(line), kFileEnd);
    EXPECT_EQ(line, "");

    WriteFile(dir / "f.txt", "x\r\n");
    TTextFile g;
    g.Open(dir / "f.txt", 1);
    EXPECT_EQ(g.ReadLine(line), kFileOk);
    EXPECT_EQ(g.ReadLine(line), kFileEnd);
    EXPECT_EQ(line, "");
}

TEST(TextFileRead, LongLinesAndNulBytesAreReadWhole) {
    TempDir dir;
    std::string longLine(100000, 'x');
    std::string withNul("a\0b", 3);
    WriteFile(dir / "l.txt", longLine + "\r\n" + withNul + "\r\nend\r\n");
    TTextFile f;
    f.Open(dir / "l.txt", 1);
    EXPECT_EQ(ReadAllLines(f), (std::vector<std::string>{longLine, withNul, "end"}));
}

TEST(TextFileWrite, CreateAppendAndTheWriteLimit) {
    TempDir dir;
    TTextFile w;
    ASSERT_EQ(w.Open(dir / "log.txt", 2), kFileOk);
    EXPECT_EQ(w.WriteLine("one"), kFileOk);
    EXPECT_EQ(w.WriteLine(std::string(300, 'y')), kFileOk);
    EXPECT_EQ(w.Close(), kFileClosed);
    EXPECT_EQ(w.Close(), kFileClosed);  // twice is harmless
    // A write after close writes nowhere.
    EXPECT_EQ(w.WriteLine("lost"), kFileClosed);
    EXPECT_EQ(ReadFile(dir / "log.txt"), "one\r\n" + std::string(250, 'y') + "\r\n");

    TTextFile a;
    ASSERT_EQ(a.Open(dir / "LOG.txt", 3), kFileOk);
    a.WriteLine("two");
    a.Close();
    EXPECT_EQ(ReadFile(dir / "log.txt"), "one\r\n" + std::string(250, 'y') + "\r\ntwo\r\n");

    TTextFile missing;
    EXPECT_EQ(missing.Open(dir / "none.txt", 3), kFileRefused);
    EXPECT_EQ(missing.size, -1);
}

TEST(TextFileStatus, OpenErrors) {
    TempDir dir;
    TTextFile f;
    EXPECT_EQ(f.Open("", 1), kFileNotFound);
    EXPECT_EQ(f.Open(dir / "missing.txt", 1), kFileNotFound);
    std::string line;
    EXPECT_EQ(f.ReadLine(line), kFileNotFound);  // the first error is kept
    WriteFile(dir / "x.txt", "x\r\n");
    TTextFile g;
    ASSERT_EQ(g.Open(dir / "x.txt", 1), kFileOk);
    EXPECT_EQ(g.Open(dir / "x.txt", 1), kFileAlreadyOpen);
    EXPECT_EQ(g.ReadLine(line), kFileOk);  // still usable
    EXPECT_EQ(line, "x");

    TTextFile h;
    EXPECT_EQ(h.Open(dir / "no/such/folder.txt", 2), kFileRefused);
}

TEST(StreamFile, LinesWithLimitAndFixedReads) {
    TempDir dir;
    WriteFile(dir / "s.bin", std::string("abcdef\r\nxy\n") + std::string("\x01\x80\xFF", 3));
    TStreamFile s;
    ASSERT_EQ(s.Open(dir / "S.BIN", 1, true), kFileOk);
    std::string line;
    EXPECT_EQ(s.ReadLine(line, 3), kFileOk);
    EXPECT_EQ(line, "abc");
    EXPECT_EQ(s.ReadLongLine(line), kFileOk);
    EXPECT_EQ(line, "xy");
    int16_t v = 0;
    EXPECT_EQ(s.ReadInt16(v), kFileOk);
    EXPECT_EQ(v, static_cast<int16_t>(0x8001));
    char buf[4];
    EXPECT_EQ(s.ReadBytes(buf, 4), kFileEnd);  // short read
    EXPECT_EQ(s.SeekRecord(1, 2), kFileOk);
    EXPECT_EQ(s.ReadBytes(buf, 2), kFileOk);
    EXPECT_EQ(std::string(buf, 2), "cd");
    EXPECT_EQ(s.Close(), kFileClosed);

    TStreamFile last;
    WriteFile(dir / "t.txt", "a\r\nb\r\n");
    last.Open(dir / "t.txt", 1);
    EXPECT_EQ(last.ReadLine(line), kFileOk);
    EXPECT_EQ(last.ReadLine(line), kFileEnd);  // the last line says so itself
    EXPECT_EQ(line, "b");
}

TEST(StreamFile, LoadLines) {
    TempDir dir;
    WriteFile(dir / "lines.txt", "1=a\r\n\r\n2=b\rlast");
    std::vector<std::string> lines;
    ASSERT_EQ(TStreamFile::LoadLines(lines, dir / "lines.txt"), 1);
    EXPECT_EQ(lines, (std::vector<std::string>{"1=a", "", "2=b", "last"}));
    ASSERT_EQ(TStreamFile::LoadLines(lines, "file://" + (dir / "LINES.TXT")), 1);
    EXPECT_EQ(lines.size(), 4u);
    EXPECT_EQ(TStreamFile::LoadLines(lines, dir / "none.txt"), -1);
    TStreamFile s;
    EXPECT_EQ(s.Open("", 1), kFileNotFound);
    EXPECT_EQ(s.Open(dir / "none.txt", 1), kFileNotFound);
}

TEST(RecFile, RecordsRoundTripLittleEndian) {
    TempDir dir;
    TRecFile w;
    ASSERT_EQ(w.Open(dir / "k.dta", 5, 0), kFileOk);
    w.WriteInt32(-2);
    w.WriteInt16(-3);
    w.WriteShortText("hi");
    w.WriteShortText256(std::string(300, 'z'));
    w.Close();
    std::string bytes = ReadFile(dir / "k.dta");
    ASSERT_EQ(bytes.size(), 4u + 2 + 3 + 256);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\xFE\xFF\xFF\xFF\xFD\xFF", 6));
    EXPECT_EQ(bytes.substr(6, 3), std::string("\x02hi", 3));
    EXPECT_EQ(static_cast<unsigned char>(bytes[9]), 255);

    TRecFile r;
    ASSERT_EQ(r.Open(dir / "K.DTA", 1, -2), kFileOk);
    EXPECT_EQ(r.RecordCount(4), 66);
    EXPECT_FALSE(r.WholeRecords(4));
    EXPECT_TRUE(r.WholeRecords(1));
    int32_t i32 = 0;
    int16_t i16 = 0;
    EXPECT_EQ(r.ReadInt32(i32), kFileOk);
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(r.ReadInt16(i16), kFileOk);
    EXPECT_EQ(i16, -3);
    std::string text;
    r.Seek(10);
    EXPECT_EQ(r.ReadText(text, 300), kFileEnd);  // only 255 bytes remain
    EXPECT_EQ(text, std::string(255, 'z'));
    EXPECT_EQ(r.ReadInt32(i32), kFileEnd);  // reads stop after the short one
    r.Seek(0);
    EXPECT_EQ(r.ReadInt32(i32), kFileOk);
    // Writes are refused on a read-only open.
    EXPECT_EQ(r.WriteInt32(1), kFileShortWrite);
}

TEST(RecFile, MissingFileAndModes) {
    TempDir dir;
    TRecFile r;
    EXPECT_EQ(r.Open(dir / "none.dta", 1, 0), kFileNotFound);
    EXPECT_EQ(r.size, -1);
    EXPECT_EQ(r.RecordCount(4), 0);
    TRecFile e;
    ASSERT_EQ(e.Open(dir / "empty.dta", 5, -1), kFileOk);
    EXPECT_EQ(e.RecordCount(4), 0);
    EXPECT_TRUE(e.WholeRecords(4));
    // An exclusive open keeps a second one out, in this process too.
    TRecFile second;
    EXPECT_EQ(second.Open(dir / "empty.dta", 1, 0), kFileRefused);
    e.Close();
    EXPECT_EQ(second.Open(dir / "empty.dta", 1, 0), kFileOk);
}

TEST(RecFile, ByteRangeLocksConflictBetweenOpens) {
    TempDir dir;
    TRecFile a, b;
    ASSERT_EQ(a.Open(dir / "r.dta", 5, 0), kFileOk);
    ASSERT_EQ(b.Open(dir / "r.dta", 1, 0), kFileOk);
    EXPECT_TRUE(a.Lock(0, 10));
    EXPECT_FALSE(b.Lock(5, 10));
    EXPECT_TRUE(b.Lock(10, 10));
    EXPECT_TRUE(a.Unlock(0, 10));
    EXPECT_TRUE(b.Lock(5, 5));
}

TEST(FolderOps, ListNamesCapitalisesAndPolicyListsReplaceListings) {
    TempDir dir;
    WriteFile(dir / "BASIC COURSE.cnt", "");
    WriteFile(dir / "speed.v2.cnt", "");
    WriteFile(dir / "other.txt", "");
    EXPECT_EQ(TFile::ListFiles(dir / "*.CNT"),
              (std::vector<std::string>{"BASIC COURSE.cnt", "speed.v2.cnt"}));
    EXPECT_EQ(TFile::ListNames(dir / "*.cnt"), (std::vector<std::string>{"Basic Course", "Speed"}));
    EXPECT_EQ(TFile::ListNamesOrPolicy("*.cnt", dir.path() + "/"),
              (std::vector<std::string>{"Basic Course", "Speed"}));

    WriteFile(dir / "Policy.dyn", "*.cnt=One,Two\r\n");
    ASSERT_TRUE(CorvSettings::OpenPolicy(dir.path()));
    EXPECT_EQ(TFile::ListNamesOrPolicy("*.cnt", dir.path() + "/"),
              (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(TFile::ListNamesWithFirst("All", "*.cnt"),
              (std::vector<std::string>{"All", "One", "Two"}));
    CorvSettings::CloseAll();
}

TEST(FolderOps, CopyFolderCopiesFilesOnly) {
    TempDir dir;
    ::mkdir((dir / "from").c_str(), 0777);
    ::mkdir((dir / "from/sub").c_str(), 0777);
    ::mkdir((dir / "to").c_str(), 0777);
    WriteFile(dir / "from/a.usr", "A");
    WriteFile(dir / "to/a.usr", "old");
    EXPECT_TRUE(TFile::CopyFolder(dir / "from", dir / "to"));
    EXPECT_EQ(ReadFile(dir / "to/a.usr"), "A");
    struct stat st;
    EXPECT_NE(::stat((dir / "to/sub").c_str(), &st), 0);
    EXPECT_FALSE(TFile::CopyFolder(dir / "nothere", dir / "to"));
}

}  // namespace
}  // namespace corv
