// The typed-text record and its ".TT" file: what the items mean, the exact bytes, and what
// a damaged file or a failed save leaves behind.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/TypedTexts.h"
#include "testsupport/RecordingUi.h"
#include "testsupport/TempDir.h"

namespace corv {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string U32(uint32_t v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

std::string Word(const std::string& w) {
    const auto n = static_cast<uint16_t>(w.size());
    return std::string{static_cast<char>(n & 0xFF), static_cast<char>(n >> 8),
                       static_cast<char>(n & 0xFF)} +
           w;
}

std::string Header(uint32_t count) {
    std::string h;
    for (int i = 0; i < 5; ++i) h += U32(4);
    return h + U32(count);
}

class TypedTextsFile : public ::testing::Test {
  protected:
    TempDir dir;
    testsupport::RecordingUi ui;
};

TEST(TypedTexts, ItemsMarkCorrectSkippedExtraAndLineBreaks) {
    TTypedTexts t;
    t.Add("brown", "");
    t.Add("fox", "fox");
    t.Add("", "the");
    t.AddLineBreak();
    t.Add("jumps", "jumsp");
    t.Add(std::string(300, 'a'), std::string(300, 'b'));
    ASSERT_EQ(t.Count(), 6u);
    EXPECT_EQ(t.Get(0)->Typed, "") << "a skipped word";
    EXPECT_EQ(t.Get(1)->Typed, std::string(1, TTypedTexts::kCorrectMark));
    EXPECT_EQ(t.Get(2)->Expected, "") << "an extra word";
    EXPECT_EQ(t.Get(3)->Expected, "\r");
    EXPECT_EQ(t.Get(3)->Typed, "\r") << "a line break is not a correct word";
    EXPECT_EQ(t.Get(4)->Typed, "jumsp");
    EXPECT_EQ(t.Get(5)->Expected.size(), 255u);
    EXPECT_EQ(t.Get(5)->Typed.size(), 255u);
    EXPECT_EQ(t.Get(6), nullptr);
    t.Clear();
    EXPECT_EQ(t.Count(), 0u);
}

TEST_F(TypedTextsFile, SavesTheFormatBytesAndReadsThemBack) {
    TTypedTexts t;
    t.Add("brown", "");
    t.Add("fox", "fox");
    t.AddLineBreak();
    const std::string path = dir / "Anna.TT3";
    ASSERT_EQ(t.Save(path), 1);
    const std::string expected = Header(3) + Word("brown") + Word("") + Word("fox") +
                                 Word(std::string(1, '\x0B')) + Word("\r") + Word("\r");
    EXPECT_EQ(ReadFile(path), expected);

    TTypedTexts back;
    ASSERT_EQ(back.Load(path), 1);
    ASSERT_EQ(back.Count(), 3u);
    EXPECT_EQ(back.Get(0)->Expected, "brown");
    EXPECT_EQ(back.Get(1)->Typed, "\x0B");
    EXPECT_EQ(back.Get(2)->Typed, "\r");
    EXPECT_TRUE(ui.messages.empty());
    // Nothing but the record in the folder: the temporary file went by rename.
    const auto files = std::distance(std::filesystem::directory_iterator(dir.path()),
                                     std::filesystem::directory_iterator());
    EXPECT_EQ(files, 1);
}

TEST_F(TypedTextsFile, ASaveThatFailsIsReported) {
    // The database folder went away (a network share, for instance).
    const std::string path = dir / "gone/Anna.TT1";
    TTypedTexts t;
    t.Add("a", "a");
    EXPECT_LT(t.Save(path), 0);
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.LastText().find("Data Write error in TypedText.Save, file=" + path),
              std::string::npos);
}

TEST_F(TypedTextsFile, DamagedFilesKeepWhatWasReadAndReport) {
    struct Case {
        const char* what;
        std::string bytes;
        int status;
        size_t items;
        const char* message;  // part of the report; null: no report
    };
    const std::string two = Word("one") + Word("1") + Word("two") + Word("2");
    const Case cases[] = {
        {"whole", Header(2) + two, 1, 2, nullptr},
        {"count cut short", Header(2).substr(0, 22), 0, 0,
         "Data Reading error or EOF in TypedText.Load"},
        {"item cut short", Header(3) + two + Word("three").substr(0, 5), -2, 2,
         "Data Read error in TypedText.Load"},
        {"count larger than the file", Header(0x7FFFFFFF) + two, -2, 2,
         "Data Read error in TypedText.Load"},
        // A word length above 255 cannot be a short text: the reading stops there.
        {"word length above 255",
         Header(2) + Word("one") + std::string("\x00\x01\x00", 3) + std::string(256, 'x'), -2, 0,
         "Data Read error in TypedText.Load"},
        {"older format",
         U32(3) + U32(3) + U32(3) + U32(3) + U32(3) + U32(1) + Word("a") + Word("a"), -3, 0,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.messages.clear();
        const std::string path = dir / "x.TT1";
        WriteFile(path, c.bytes);
        TTypedTexts t;
        t.Add("stale", "stale");
        EXPECT_EQ(t.Load(path), c.status);
        EXPECT_EQ(t.Count(), c.items);
        if (c.message) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_NE(ui.LastText().find(std::string(c.message) + ", file=" + path),
                      std::string::npos)
                << ui.LastText();
        } else {
            EXPECT_TRUE(ui.messages.empty());
        }
    }
}

TEST_F(TypedTextsFile, AMissingFileIsReported) {
    TTypedTexts t;
    EXPECT_LT(t.Load(dir / "none.TT5"), 1);
    EXPECT_EQ(t.Count(), 0u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.LastText().find("TypedText.Load"), std::string::npos);
}

}  // namespace
}  // namespace corv
