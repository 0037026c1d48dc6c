#include <gtest/gtest.h>

#include <string>

#include "core/TextFiles.h"
#include "data/DifficultKeys.h"
#include "testsupport/TempDir.h"

using namespace corv;
using test::TempDir;

namespace {

void Type(TDifficultKeys& t, char c, int keystrokes, int errors) {
    for (int i = 0; i < keystrokes; ++i) t.RecordKeystroke(c, i < errors);
}

// A stored table with the given values for some characters, all others 0.
struct StoredValue {
    unsigned char c;
    int16_t total, count, errors;
};
std::string StoredTable(std::initializer_list<StoredValue> values) {
    std::string bytes(1338, '\0');
    auto put = [&](size_t at, int16_t v) {
        bytes[at] = static_cast<char>(static_cast<uint16_t>(v) & 0xFF);
        bytes[at + 1] = static_cast<char>(static_cast<uint16_t>(v) >> 8);
    };
    for (const auto& v : values) {
        size_t i = static_cast<size_t>(v.c - 33) * 2;
        put(i, v.total);
        put(446 + i, v.count);
        put(892 + i, v.errors);
    }
    return bytes;
}

}  // namespace

TEST(DifficultKeys, FourErrorsInTwentyKeystrokesGiveEighty) {
    TDifficultKeys t;
    Type(t, 'k', 20, 4);
    EXPECT_EQ(t.Difficulty('k'), 0);  // nothing counts before the update
    t.Update();
    const auto& k = t.CountsOf('k');
    EXPECT_EQ(k.blendedCount, 20);
    EXPECT_EQ(k.blendedErrors, 4);
    EXPECT_EQ(k.totalCount, 20);
    EXPECT_DOUBLE_EQ(t.Difficulty('k'), 80);
    // More than the window: committed to the history.
    EXPECT_EQ(k.pendingCount, 0);
    EXPECT_EQ(k.pendingErrors, 0);
    EXPECT_EQ(k.lastPendingCount, 20);
    EXPECT_EQ(k.historyCount, 20);
    EXPECT_EQ(k.historyErrors, 4);
    EXPECT_EQ(k.historyTotal, 20);
    EXPECT_EQ(TDifficultKeys::Band(t.Difficulty('k')), TDifficultyBand::kHigh);
}

TEST(DifficultKeys, LittleEvidenceCountsLess) {
    TDifficultKeys t;
    Type(t, 'f', 5, 1);
    t.Update();
    EXPECT_DOUBLE_EQ(t.Difficulty('f'), 40);  // 20 % halved for 5 keystrokes of 10
    EXPECT_EQ(TDifficultKeys::Band(40), TDifficultyBand::kMedium);
    // Within the window nothing is committed, and a second update does not count the
    // same keystrokes twice.
    EXPECT_EQ(t.CountsOf('f').pendingCount, 5);
    t.Update();
    EXPECT_EQ(t.CountsOf('f').blendedCount, 5);
    EXPECT_EQ(t.CountsOf('f').historyCount, 0);
    Type(t, 'f', 5, 0);
    t.Update();
    EXPECT_EQ(t.CountsOf('f').blendedCount, 10);
    EXPECT_EQ(t.CountsOf('f').blendedErrors, 1);
    EXPECT_EQ(t.CountsOf('f').pendingCount, 0);
    EXPECT_DOUBLE_EQ(t.Difficulty('f'), 40);
}

TEST(DifficultKeys, BlendingWeighsTheHistoryByThePendingWindow) {
    TDifficultKeys t;
    ASSERT_TRUE(t.FromBytes(StoredTable({{'g', 100, 9, 5}})));
    Type(t, 'g', 4, 0);  // weight (8 - 4) / 8 = 0.5
    t.Update();
    // 9 x 0.5 = 4.5 and 5 x 0.5 = 2.5 round to the even neighbours 4 and 2.
    EXPECT_EQ(t.CountsOf('g').blendedCount, 8);
    EXPECT_EQ(t.CountsOf('g').blendedErrors, 2);
    EXPECT_EQ(t.CountsOf('g').totalCount, 104);
    EXPECT_DOUBLE_EQ(t.Difficulty('g'), 100);
}

TEST(DifficultKeys, DifficultyInTheFilterNeverPassesAHundred) {
    TDifficultKeys t;
    Type(t, 'q', 10, 5);  // 50 % would be 200
    t.Update();
    EXPECT_EQ(t.CountsOf('q').blendedErrors, 2);  // round(5 x 100 / 200) = round(2.5)
    EXPECT_LE(t.Difficulty('q'), 100);
    // The cap follows the difficulty as filtered: outside the filter it is 0, so nothing
    // is scaled, and letting the character in later shows its errors as typed.
    Type(t, ';', 10, 10);
    t.Update();
    EXPECT_EQ(t.CountsOf(';').blendedErrors, 10);
    t.SetFilter("");
    EXPECT_DOUBLE_EQ(t.Difficulty(';'), 400);
}

TEST(DifficultKeys, FilterDecidesWhatIsRanked) {
    TDifficultKeys t;
    Type(t, 'a', 20, 2);   // 40
    Type(t, ';', 20, 5);   // 100, but not a letter
    Type(t, ',', 20, 4);   // 80: "," and "." always count
    Type(t, ' ', 20, 20);  // spaces are never tracked
    t.Update();
    EXPECT_EQ(t.Difficulty(';'), 0);
    EXPECT_EQ(t.Difficulty(' '), 0);
    EXPECT_EQ(t.CountsOf(' ').pendingCount, 0);
    EXPECT_EQ(t.KthDifficultChar(1), ',');
    EXPECT_EQ(t.KthDifficultChar(2), 'a');
    for (int k = 1; k <= 223; ++k) EXPECT_NE(t.KthDifficultChar(k), ';');
    EXPECT_EQ(t.DifficultChars(10, TDifficultKeys::Case::kAny), ",a");

    // With every character let in, ";" leads; the ranking follows the new filter.
    t.SetFilter("");
    EXPECT_EQ(t.KthDifficultChar(1), ';');
    EXPECT_DOUBLE_EQ(t.DifficultyOfRank(1), 100);
    t.SetFilter("a;");
    EXPECT_EQ(t.DifficultChars(10, TDifficultKeys::Case::kAny), ";,a");
    t.SetDefaultFilter();
    EXPECT_EQ(t.KthDifficultChar(1), ',');
}

TEST(DifficultKeys, DefaultFilterHoldsDigitsAndLetters) {
    const std::string& f = TDifficultKeys::DefaultFilter();
    EXPECT_EQ(f.size(), 10u + 26 + 26 + 1 + 1 + 1 + 1 + 1 + 2 + 23 + 4 + 23 + 4 + 1);
    for (char c :
         std::string("09AZaz\x8A\x8C\x8E\x9A\x9C\x9E\x9F\xC0\xD6\xDA\xDD\xE0\xF6\xFA\xFD\xFF"))
        EXPECT_NE(f.find(c), std::string::npos) << int(static_cast<unsigned char>(c));
    for (char c : std::string("/:@[`{\x8B\x9D\xD7\xD8\xDE\xDF\xF7\xF8\xFE ,."))
        EXPECT_EQ(f.find(c), std::string::npos) << int(static_cast<unsigned char>(c));
}

TEST(DifficultKeys, EqualDifficultiesKeepTheExchangeSortOrder) {
    TDifficultKeys t;
    t.SetFilter("abc");
    Type(t, 'a', 20, 2);  // 40
    Type(t, 'b', 20, 2);  // 40
    Type(t, 'c', 20, 4);  // 80
    t.Update();
    // Candidates ",", ".", a, b, c; the exchange sort leaves b before a and "." before ",".
    const std::string expected = "cba.,";
    for (int k = 1; k <= 5; ++k)
        EXPECT_EQ(t.KthDifficultChar(k), static_cast<unsigned char>(expected[k - 1])) << k;
    // Beyond what the ranking took, and outside 1 .. 223.
    EXPECT_EQ(t.KthDifficultChar(6), 0);
    EXPECT_EQ(t.KthDifficultChar(0), 0);
    EXPECT_EQ(t.KthDifficultChar(224), 0);
    EXPECT_EQ(t.DifficultyOfRank(0), 0);
    EXPECT_EQ(t.DifficultyOfRank(224), 0);
    EXPECT_DOUBLE_EQ(t.DifficultyOfRank(2), 40);
    EXPECT_EQ(t.LastPendingCountOfRank(1), 20);
    EXPECT_EQ(t.LastPendingCountOfRank(4), 0);
}

TEST(DifficultKeys, DifficultCharactersByCase) {
    TDifficultKeys t;
    Type(t, 'a', 20, 5);  // 100
    Type(t, 'B', 20, 4);  // 80
    Type(t, 'c', 20, 3);  // 60
    Type(t, 'D', 20, 2);  // 40
    Type(t, 'e', 20, 1);  // 20
    Type(t, 'F', 20, 0);  // 0: the list stops here
    Type(t, '7', 20, 0);
    t.Update();
    EXPECT_EQ(t.DifficultChars(3, TDifficultKeys::Case::kUpper), "BD");
    EXPECT_EQ(t.DifficultChars(3, TDifficultKeys::Case::kLower), "ace");
    EXPECT_EQ(t.DifficultChars(2, TDifficultKeys::Case::kLower), "ac");
    EXPECT_EQ(t.DifficultChars(3, TDifficultKeys::Case::kAny), "aBc");
    EXPECT_EQ(t.DifficultChars(0, TDifficultKeys::Case::kAny), "");
    // Accented letters use the code page's cases.
    Type(t, '\xC9', 20, 5);  // E acute, upper case
    t.Update();
    EXPECT_EQ(t.DifficultChars(2, TDifficultKeys::Case::kUpper),
              "\xC9"
              "B");
}

TEST(DifficultKeys, OverallRatingAndBands) {
    TDifficultKeys t;
    EXPECT_DOUBLE_EQ(t.OverallRating(), 4);
    Type(t, 'k', 20, 4);
    t.Update();
    EXPECT_DOUBLE_EQ(t.OverallRating(), 4 - 80.0 / 25);
    Type(t, 'm', 20, 5);
    t.Update();
    EXPECT_DOUBLE_EQ(t.OverallRating(), 0);

    struct Case {
        double difficulty;
        TDifficultyBand band;
    } cases[] = {{0, TDifficultyBand::kLow},     {32.99, TDifficultyBand::kLow},
                 {33, TDifficultyBand::kMedium}, {65.99, TDifficultyBand::kMedium},
                 {66, TDifficultyBand::kHigh},   {100, TDifficultyBand::kHigh}};
    for (const auto& c : cases)
        EXPECT_EQ(TDifficultKeys::Band(c.difficulty), c.band) << c.difficulty;
    EXPECT_EQ(TDifficultKeys::BandColour(TDifficultyBand::kLow), (TRgb{167, 180, 247}));
    EXPECT_EQ(TDifficultKeys::BandColour(TDifficultyBand::kMedium), (TRgb{255, 210, 29}));
    EXPECT_EQ(TDifficultKeys::BandColour(TDifficultyBand::kHigh), (TRgb{255, 0, 79}));
}

TEST(DifficultKeys, CountsStayWithinSixteenBits) {
    TDifficultKeys t;
    // A total that passes 29000 starts over from 25000.
    ASSERT_TRUE(t.FromBytes(StoredTable({{'t', 28995, 20, 2}})));
    Type(t, 't', 10, 0);
    t.Update();
    EXPECT_EQ(t.CountsOf('t').totalCount, 25000);
    Type(t, 't', 9, 0);
    t.Update();
    EXPECT_EQ(t.CountsOf('t').totalCount, 25009);

    // The blended figures of a long stretch of typing are scaled down with it, keeping
    // their ratio, instead of wrapping in the stored form.
    Type(t, 'w', 40000, 2000);  // 5 %: 20
    t.Update();
    EXPECT_EQ(t.CountsOf('w').totalCount, 25000);
    EXPECT_EQ(t.CountsOf('w').blendedCount, 25000);
    EXPECT_EQ(t.CountsOf('w').blendedErrors, 1250);
    EXPECT_DOUBLE_EQ(t.Difficulty('w'), 20);
    TDifficultKeys back;
    ASSERT_TRUE(back.FromBytes(t.ToBytes()));
    EXPECT_EQ(back.CountsOf('w').blendedCount, 25000);
    EXPECT_DOUBLE_EQ(back.Difficulty('w'), 20);

    // Negative stored values (a damaged file) read as 0.
    ASSERT_TRUE(t.FromBytes(StoredTable({{'n', -1, -32768, -5}, {'o', 30, 20, -2}})));
    EXPECT_EQ(t.CountsOf('n').totalCount, 0);
    EXPECT_EQ(t.CountsOf('n').blendedCount, 0);
    EXPECT_EQ(t.CountsOf('n').blendedErrors, 0);
    EXPECT_EQ(t.CountsOf('o').blendedErrors, 0);
    EXPECT_EQ(t.Difficulty('n'), 0);
}

TEST(DifficultKeys, StoredFormIsThreeBlocksOfLittleEndianValues) {
    TempDir dir;
    const std::string path = dir / "Anna.DTA";
    TDifficultKeys a, b;
    Type(a, '!', 1, 1);  // first character
    Type(a, 'k', 20, 4);
    Type(a, '\xFF', 300, 0);  // last character
    Type(b, 'A', 3, 0);
    {
        TRecFile file;
        ASSERT_EQ(file.Open(path, 5, -1), 1);
        ASSERT_EQ(file.WriteBytes("HEAD", 4), 1);
        ASSERT_EQ(a.Save(file), 1);  // the update runs first
        ASSERT_EQ(b.Save(file), 1);
        ASSERT_EQ(file.WriteBytes("TAIL", 4), 1);
        file.Close();
    }
    const std::string expected =
        "HEAD" + StoredTable({{'!', 1, 1, 1}, {'k', 20, 20, 4}, {0xFF, 300, 300, 0}}) +
        StoredTable({{'A', 3, 3, 0}}) + "TAIL";
    const std::string bytes = test::ReadFile(path);
    ASSERT_EQ(bytes.size(), 4u + 2 * 1338 + 4);
    EXPECT_TRUE(bytes == expected);
    // Spot checks that do not depend on the helper: 'k' is character 107, entry 74.
    EXPECT_EQ(static_cast<unsigned char>(bytes[4 + 74 * 2]), 20);
    EXPECT_EQ(static_cast<unsigned char>(bytes[4 + 446 + 74 * 2]), 20);
    EXPECT_EQ(static_cast<unsigned char>(bytes[4 + 892 + 74 * 2]), 4);
    EXPECT_EQ(static_cast<unsigned char>(bytes[4 + 222 * 2]), 300 & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[4 + 222 * 2 + 1]), 300 >> 8);

    // Read back at the file's position: table A then table B.
    TRecFile file;
    ASSERT_EQ(file.Open(path, 1, -1), 1);
    ASSERT_EQ(file.Seek(4), 1);
    TDifficultKeys a2, b2;
    ASSERT_EQ(a2.Load(file), 1);
    ASSERT_EQ(b2.Load(file), 1);
    EXPECT_DOUBLE_EQ(a2.Difficulty('k'), 80);
    EXPECT_EQ(a2.CountsOf('k').historyCount, 20);
    EXPECT_EQ(a2.CountsOf('k').pendingCount, 0);
    EXPECT_EQ(b2.CountsOf('A').totalCount, 3);
    EXPECT_EQ(b2.CountsOf('k').totalCount, 0);
    // The file ends before a third table: the status says so and the table is unchanged.
    EXPECT_EQ(a2.Load(file), 0);
    EXPECT_EQ(a2.CountsOf('k').blendedCount, 20);
}

TEST(DifficultKeys, ClearEmptiesEveryCounter) {
    TDifficultKeys t;
    Type(t, 'k', 20, 4);
    t.Update();
    Type(t, 'k', 3, 1);
    ASSERT_EQ(t.KthDifficultChar(1), 'k');
    t.Clear();
    EXPECT_EQ(t.Difficulty('k'), 0);
    EXPECT_EQ(t.CountsOf('k').pendingCount, 0);
    EXPECT_EQ(t.CountsOf('k').historyTotal, 0);
    EXPECT_EQ(t.DifficultChars(5, TDifficultKeys::Case::kAny), "");
    EXPECT_EQ(t.ToBytes(), std::string(1338, '\0'));
}
