#pragma once
// The collected words: a fixed table of 2000 word records with a short history of how
// hard each word was, stored as raw records behind the difficult-key tables of the user's
// ".DTA" file. The meter fills it from what the user types elsewhere; the tutor trains on
// it. One table per process (CollectedWords()), loaded and saved with the user.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corv {

struct TWordRecord {
    uint16_t flags = 0;                 // the sources that saw the word, plus kIgnored
    std::string word;                   // up to 255 characters, case kept; empty ends the used part
    int16_t position = 0;               // history slot written last, 1..10
    int16_t repeats = 0;                // times seen again after it was added
    std::array<int16_t, 10> history{};  // difficulty values 0..10, round-robin
};

class TWordList {
  public:
    static constexpr int kSlots = 2000;
    static constexpr size_t kRecordSize = 282;
    static constexpr uint16_t kIgnored = 8;
    static constexpr int kMaxValue = 10;

    TWordList();

    // The word's slot after counting this sighting with the difficulty `value`; a new
    // record when the word is not there yet. Flags kIgnored alone only marks the word.
    int FindOrAdd(std::string_view word, int value, bool keepIgnored, uint16_t flags);
    int Add(std::string_view word, int value, uint16_t flags);
    // 0..100 from the last 7 difficulties, newest weighted most.
    int Score(int slot) const;
    // Highest score first: kind 1 "word;score", kind 2 "score", otherwise "word".
    std::vector<std::string> List(int mask, int minRepeats, int kind) const;
    void Ignore(std::string_view word);
    void Merge(std::string_view oldWord, std::string_view newWord, uint16_t flags);

    // The words block as stored: the used records, and after a full table the next slot
    // and the eviction level as two 32-bit integers.
    std::string ToBytes() const;
    // Reads a words block; every index and count is brought into its range, so a damaged
    // block cannot reach outside the table. The list is unchanged afterwards.
    void FromBytes(std::string_view bytes);
    void Clear();

    const TWordRecord& Record(int slot) const { return records_[static_cast<size_t>(slot - 1)]; }
    int NextSlot() const { return nextSlot_; }
    int EvictionLevel() const { return evictionLevel_; }
    bool Changed() const { return changed_; }
    void SetChanged(bool changed) { changed_ = changed; }
    // Slots in use (up to the first empty word).
    int UsedCount() const;

  private:
    TWordRecord& At(int slot) { return records_[static_cast<size_t>(slot - 1)]; }

    std::vector<TWordRecord> records_;
    int nextSlot_ = 0;
    int evictionLevel_ = 0;
    bool changed_ = false;
};

// The process's table (the word collector's list).
TWordList& CollectedWords();

}  // namespace corv
