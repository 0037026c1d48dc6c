#pragma once
// Per-character keystroke and error counts of one user, blending recent typing with the
// past, and the ranking of characters by difficulty built from them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace corv {

class TRecFile;

struct TRgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const TRgb&) const = default;
};

enum class TDifficultyBand { kLow, kMedium, kHigh };

class TDifficultKeys {
  public:
    static constexpr int kFirstChar = 33;
    static constexpr int kCharCount = 223;  // characters 33 to 255
    static constexpr int kWindow = 8;
    static constexpr int kLowThreshold = 33;
    static constexpr int kHighThreshold = 66;
    static constexpr size_t kStoredSize = 3 * kCharCount * 2;  // bytes of one table

    enum class Case { kAny, kLower, kUpper };

    // Starts with every counter 0 and the default filter.
    TDifficultKeys();

    void RecordKeystroke(char expected, bool isError);
    // Merges the pending counts into the history.
    void Update();

    // The characters that may be ranked; an empty text lets every character in.
    void SetFilter(std::string_view filter);
    void SetDefaultFilter();
    // Digits, letters and the accented letters of the code page.
    static const std::string& DefaultFilter();
    const std::string& Filter() const { return filterText_; }

    // 0 .. 100 (4 x the error percent, less when the character was seldom typed).
    double Difficulty(unsigned char c) const;

    // Rank k = 1 .. 223; character 0 (and difficulty 0) outside that and beyond the
    // characters the last ranking took. The ranking is rebuilt when stale.
    unsigned char KthDifficultChar(int k);
    double DifficultyOfRank(int k);
    int LastPendingCountOfRank(int k);
    // Up to n characters in rank order, stopping at the first of difficulty 0.
    std::string DifficultChars(int n, Case letterCase);
    // 4 for no difficulty down to 0 for the hardest character at 100.
    double OverallRating();

    void Clear();
    // The stored table at the file's position: total counts, blended counts, blended
    // errors, 223 signed 16-bit little-endian values each. Load leaves the table as it
    // was when the file falls short. Both return the file's status.
    int Load(TRecFile& file);
    int Save(TRecFile& file);
    // The bytes Save writes, without running the update first.
    std::string ToBytes() const;
    bool FromBytes(std::string_view bytes);

    static TDifficultyBand Band(double difficulty);
    static TRgb BandColour(TDifficultyBand band);

    // Counters of one character, for the statistics views and tests.
    struct Counts {
        int pendingCount = 0;
        int pendingErrors = 0;
        int lastPendingCount = 0;
        int blendedCount = 0;
        int blendedErrors = 0;
        int totalCount = 0;
        int historyCount = 0;
        int historyErrors = 0;
        int historyTotal = 0;
    };
    const Counts& CountsOf(unsigned char c) const { return counts_[c]; }

  private:
    bool PassesFilter(unsigned char c) const;
    void Rank();

    std::array<Counts, 256> counts_{};
    std::string filterText_;
    std::array<bool, 256> inFilter_{};
    bool filterSet_ = false;
    std::array<unsigned char, kCharCount> ranking_{};
    int rankedCount_ = 0;
    bool rankingCurrent_ = false;
};

}  // namespace corv
