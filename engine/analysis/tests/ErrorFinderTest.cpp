#include <algorithm>

#include "AnalysisTestSupport.h"
#include "engine/analysis/ErrorFinder.h"

namespace corv {
namespace {

// Gaps in the expected tables are written "~" and turned into the padding character.
std::string Gaps(std::string s) {
    for (char& c : s)
        if (c == '~') c = static_cast<char>(TErrorFinder::kPadding);
    return s;
}

struct Comparison {
    const char* what;
    std::string expected, typed;
    int share;
    std::string alignedExpected, alignedTyped;  // "~" = gap
};

TEST(ErrorFinder, Comparisons) {
    const Comparison cases[] = {
        {"same word", "test", "test", 0, "test", "test"},
        {"swap", "test", "tset", 25, "test", "tset"},
        {"extra character: gap in expected", "test", "tesst", 25, "tes~t", "tesst"},
        {"left out: gap in typed", "test", "tst", 25, "test", "t~st"},
        {"case only: 0.5 error, 12.5 rounds to 12", "test", "Test", 12, "test", "Test"},
        {"three case errors: 37.5 rounds to 38", "abcd", "ABCd", 38, "abcd", "ABCd"},
        {"more than 40 %", "test", "xyz", 100, "test", "xyz~"},
        {"typed empty", "test", "", 100, "test", ""},
        {"expected empty", "", "abc", 100, "", "abc"},
        {"wrong character", "test", "tezt", 25, "test", "tezt"},
        {"exactly the limit stays", "abcde", "axcye", 40, "abcde", "axcye"},
        {"extra character mid-word", "abcdefgh", "abxcdefgh", 12, "ab~cdefgh", "abxcdefgh"},
        {"two extra characters", "abcdef", "abxycdef", 25, "ab~~cdef", "abxycdef"},
        {"two left out", "abcdefgh", "abefgh", 19, "abcdefgh", "ab~~efgh"},
        // Past the end nothing matches, not even the end of the other word: the two
        // extra characters at the end are two plain errors plus the misplaced "j".
        {"nothing matches past the end", "abcdefghij", "abcdefghiXYj", 30, "abcdefghij~~",
         "abcdefghiXYj"},
        {"an extra first character", "abcd", "xabcd", 25, "~abcd", "xabcd"},
    };
    TErrorFinder finder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(finder.Share(c.expected, c.typed), c.share);
        if (!c.expected.empty() && !c.typed.empty() && c.expected != c.typed) {
            EXPECT_EQ(finder.AlignedExpected(), Gaps(c.alignedExpected));
            EXPECT_EQ(finder.AlignedTyped(), Gaps(c.alignedTyped));
        }
    }
}

TEST(ErrorFinder, ErrorLimitIsAdjustable) {
    TErrorFinder finder;
    finder.ErrorLimit = 20;
    EXPECT_EQ(finder.Share("test", "tset"), 100);
    EXPECT_EQ(finder.Share("abcdefgh", "abxcdefgh"), 12);
}

TEST(ErrorFinder, WorkCopiesGrowPastShortTextLength) {
    std::string expected;
    for (int k = 0; k < 255; ++k) expected += static_cast<char>('a' + k % 26);
    // An extra first character and the last one missing: the gap at the front and the
    // one at the end make both work copies 256 long.
    const std::string typed = "#" + expected.substr(0, 254);
    TErrorFinder finder;
    EXPECT_EQ(finder.Share(expected, typed), 1);  // 2 errors in 255
    EXPECT_EQ(finder.Errors(), 2.0);
    EXPECT_EQ(finder.AlignedExpected().size(), 256u);
    EXPECT_EQ(finder.AlignedTyped().size(), 256u);
}

TEST(ErrorFinder, WordsAreCutToShortTexts) {
    std::string expected;
    for (int k = 0; k < 300; ++k) expected += static_cast<char>('a' + k % 26);
    std::string typed = expected;
    typed[280] = '#';  // beyond the 255 characters a short text holds
    TErrorFinder finder;
    EXPECT_EQ(finder.Share(expected, typed), 0);
    typed[100] = '#';
    EXPECT_EQ(finder.Share(expected, typed), 0);  // 1 error in 255: 0.39 % rounds to 0
    EXPECT_EQ(finder.Errors(), 1.0);
}

// Per-key registration: which keys count as clean and which as errors.
struct Registration {
    const char* what;
    std::string expected, typed;
    std::string clean;   // one entry per clean keystroke
    std::string errors;  // one entry per error
};

TEST(ErrorFinder, RegistersKeys) {
    const Registration cases[] = {
        {"all clean", "test", "test", "test", ""},
        {"swap: both swapped keys are errors", "test", "tset", "tt", "es"},
        {"doubled key is an error of that key", "test", "tesst", "test", "s"},
        {"doubled first letter", "test", "ttest", "test", "t"},
        {"wrong key: the expected key is the error", "test", "tezt", "tet", "s"},
        {"case only counts as a match", "Test", "test", "Test", ""},
        {"nothing before the first character to double", "abcd", "xabcd", "abcd", ""},
        {"an extra key that repeats nothing", "abcdefgh", "abxcdefgh", "abcdefgh", ""},
        {"left out: the missing key is an error", "test", "tst", "tst", "e"},
        {"over the limit: nothing registered", "test", "xyz", "", ""},
        {"typed empty: nothing registered", "test", "", "", ""},
        // The currency sign is a character of the text, not a gap.
        {"a currency sign in the text",
         "ab\xA4"
         "d",
         "abxd", "abd", "\xA4"},
    };
    TErrorFinder finder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TDifficultKeys keys;
        finder.ShareAndRegister(c.expected, c.typed, keys);
        for (int ch = 33; ch < 256; ++ch) {
            const auto& k = keys.CountsOf(static_cast<unsigned char>(ch));
            const int clean =
                static_cast<int>(std::count(c.clean.begin(), c.clean.end(), static_cast<char>(ch)));
            const int errors = static_cast<int>(
                std::count(c.errors.begin(), c.errors.end(), static_cast<char>(ch)));
            EXPECT_EQ(k.pendingCount, clean + errors) << "key " << ch;
            EXPECT_EQ(k.pendingErrors, errors) << "key " << ch;
        }
    }
}

}  // namespace
}  // namespace corv
