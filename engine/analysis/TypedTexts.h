#pragma once
// The record of what the user typed in an exam, word by word, beside the words of the
// text; the report of the exam prints it. Kept in the ".TT" file of the result.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corv {

struct TWordItem {
    std::string Expected;
    std::string Typed;
};

class TTypedTexts {
  public:
    static constexpr size_t kMaxWord = 255;
    // The typed word of an item typed exactly as expected.
    static constexpr char kCorrectMark = 0x0B;
    static constexpr int kFormat = 4;

    // Words are cut to 255 characters. A typed word equal to the expected one is stored
    // as the correct mark; CR/CR marks a line break, an empty typed word a skipped word
    // and an empty expected word an extra (repeated) word.
    void Add(std::string_view expected, std::string_view typed);
    void AddLineBreak() { Add("\r", "\r"); }
    // Null past the end.
    const TWordItem* Get(size_t index) const;
    size_t Count() const { return items_.size(); }
    void Clear() { items_.clear(); }

    // 1 on success. A damaged or short file keeps the items read before the damage and
    // reports the error; a file of an older format is not read (-3).
    int Load(const std::string& fileName);
    // Written to a temporary file and renamed over the old one; 1 on success.
    int Save(const std::string& fileName) const;

    // The file's bytes, and their reader (the items read until the first damage; false
    // when the bytes are damaged or short).
    std::string ToBytes() const;
    bool FromBytes(std::string_view bytes, bool& countRead);

  private:
    std::vector<TWordItem> items_;
};

}  // namespace corv
