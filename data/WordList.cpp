#include "data/WordList.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/Cp1252.h"

namespace corv {
namespace {

constexpr int kHistory = 10;
constexpr int16_t kMaxRepeats = INT16_MAX;
constexpr int kMaxEviction = INT16_MAX + 1;  // above every repeat count

// round(100 * sum / 84) with halves to the even neighbour
int ScoreOf(int weighted) {
    const int num = 100 * weighted;
    int q = num / 84;
    const int r = num % 84;
    if (2 * r > 84 || (2 * r == 84 && (q & 1))) ++q;
    return std::min(q, 100);
}

void PutU16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void PutI32(std::string& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}
uint16_t GetU16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
int32_t GetI32(const unsigned char* p) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(p[i]) << (8 * i);
    return static_cast<int32_t>(u);
}

}  // namespace

TWordList::TWordList() : records_(kSlots) {}

void TWordList::Clear() {
    records_.assign(kSlots, TWordRecord{});
    nextSlot_ = 0;
    evictionLevel_ = 0;
    changed_ = false;
}

int TWordList::UsedCount() const {
    int n = 0;
    while (n < kSlots && !records_[static_cast<size_t>(n)].word.empty()) ++n;
    return n;
}

int TWordList::FindOrAdd(std::string_view word, int value, bool keepIgnored, uint16_t flags) {
    changed_ = true;
    for (int slot = 1; slot <= kSlots && !At(slot).word.empty(); ++slot) {
        TWordRecord& r = At(slot);
        if (r.word != word) continue;
        r.flags |= flags;
        if (flags != kIgnored) {
            if (r.repeats < kMaxRepeats) ++r.repeats;
            r.position = static_cast<int16_t>(r.position >= kHistory ? 1 : r.position + 1);
            r.history[static_cast<size_t>(r.position - 1)] = static_cast<int16_t>(value);
        }
        if (keepIgnored && (r.flags & kIgnored)) r.flags &= static_cast<uint16_t>(~kIgnored);
        return slot;
    }
    return Add(word, value, flags);
}

int TWordList::Add(std::string_view word, int value, uint16_t flags) {
    changed_ = true;
    if (++nextSlot_ > kSlots) {
        nextSlot_ = 1;
        evictionLevel_ = std::min(evictionLevel_ + 1, kMaxEviction);
    }
    if (evictionLevel_ > 0) {
        // Overwrite the next rarely repeated word in ring order; when every word from here
        // on is repeated more often, the level rises and the search starts over at slot 1.
        auto firstFrom = [&](int start) {
            for (int s = start; s <= kSlots; ++s)
                if (At(s).repeats < evictionLevel_) return s;
            return 0;
        };
        int slot = firstFrom(nextSlot_);
        if (slot == 0) {
            // Raising the level one step at a time ends at the smallest repeat count + 1:
            // taken in one go, so a table of often repeated words costs one more scan.
            int least = kMaxRepeats;
            for (const TWordRecord& r : records_) least = std::min<int>(least, r.repeats);
            evictionLevel_ = std::max(evictionLevel_ + 1, least + 1);
            slot = firstFrom(1);
        }
        nextSlot_ = slot;
    }
    TWordRecord& r = At(nextSlot_);
    r = TWordRecord{};
    r.flags = flags;
    r.word = std::string(word.substr(0, 255));
    r.position = 1;
    r.history[0] = static_cast<int16_t>(value);
    return nextSlot_;
}

int TWordList::Score(int slot) const {
    if (slot < 1 || slot > kSlots) return 0;
    const TWordRecord& r = Record(slot);
    int pos = std::clamp<int>(r.position, 1, kHistory);
    int sum = 0;
    for (int weight = 7; weight >= 1; --weight) {
        sum += weight * r.history[static_cast<size_t>(pos - 1)];
        pos = pos == 1 ? kHistory : pos - 1;
    }
    return ScoreOf(sum);
}

std::vector<std::string> TWordList::List(int mask, int minRepeats, int kind) const {
    std::vector<std::string> lines;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const TWordRecord& r = Record(slot);
        if (r.word.empty()) break;
        if (r.word == "-" || r.repeats < minRepeats || (r.flags & kIgnored) ||
            (r.flags & mask) == 0)
            continue;
        const int score = Score(slot);
        if (score == 0) continue;
        char key[16];
        std::snprintf(key, sizeof key, "%5.5d", score);
        const std::string s = std::to_string(score);
        lines.push_back(kind == 1   ? std::string(key) + ";" + r.word + ";" + s
                        : kind == 2 ? std::string(key) + ";" + s
                                    : std::string(key) + ";" + r.word);
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    std::reverse(lines.begin(), lines.end());
    for (std::string& l : lines) l.erase(0, 6);
    return lines;
}

void TWordList::Ignore(std::string_view word) {
    FindOrAdd(word, 0, false, kIgnored);
}

void TWordList::Merge(std::string_view oldWord, std::string_view newWord, uint16_t flags) {
    const std::string from(oldWord);
    for (int slot = 1; slot <= kSlots; ++slot) {
        if (At(slot).word != from) continue;
        const int target = FindOrAdd(newWord, 0, false, flags);
        if (target == slot) continue;
        TWordRecord& t = At(target);
        TWordRecord& o = At(slot);
        t.flags = static_cast<uint16_t>((t.flags | o.flags) & ~kIgnored);
        t.repeats = static_cast<int16_t>(std::min<int>(t.repeats + o.repeats, kMaxRepeats));
        t.position = std::max(t.position, o.position);
        for (int i = 0; i < t.position && i < kHistory; ++i)
            t.history[static_cast<size_t>(i)] = static_cast<int16_t>(
                t.history[static_cast<size_t>(i)] + o.history[static_cast<size_t>(i)]);
        o.word = "-";
        o.repeats = 0;
    }
}

std::string TWordList::ToBytes() const {
    const int count = evictionLevel_ > 0 ? kSlots : std::clamp(nextSlot_, 0, kSlots);
    std::string out;
    out.reserve(static_cast<size_t>(count) * kRecordSize + 8);
    for (int slot = 1; slot <= count; ++slot) {
        const TWordRecord& r = Record(slot);
        PutU16(out, r.flags);
        const size_t len = std::min<size_t>(r.word.size(), 255);
        out += static_cast<char>(len);
        out.append(r.word, 0, len);
        out.append(255 - len, '\0');
        PutU16(out, static_cast<uint16_t>(r.position));
        PutU16(out, static_cast<uint16_t>(r.repeats));
        for (int16_t h : r.history) PutU16(out, static_cast<uint16_t>(h));
    }
    if (evictionLevel_ > 0) {
        PutI32(out, nextSlot_);
        PutI32(out, evictionLevel_);
    }
    return out;
}

void TWordList::FromBytes(std::string_view bytes) {
    Clear();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t left = bytes.size();
    int count = 0;
    while (count < kSlots && left >= kRecordSize) {
        TWordRecord& r = records_[static_cast<size_t>(count)];
        r.flags = GetU16(p);
        r.word.assign(reinterpret_cast<const char*>(p + 3), p[2]);
        const auto position = static_cast<int16_t>(GetU16(p + 258));
        r.position = static_cast<int16_t>(std::clamp<int>(position, 1, kHistory));
        r.repeats = std::max<int16_t>(static_cast<int16_t>(GetU16(p + 260)), 0);
        for (int i = 0; i < kHistory; ++i) {
            const auto h = static_cast<int16_t>(GetU16(p + 262 + 2 * i));
            r.history[static_cast<size_t>(i)] =
                static_cast<int16_t>(std::clamp<int>(h, 0, kMaxValue));
        }
        p += kRecordSize;
        left -= kRecordSize;
        ++count;
    }
    if (count < kSlots) {
        nextSlot_ = count;
        evictionLevel_ = 0;
    } else {
        nextSlot_ = left >= 4 ? std::clamp(GetI32(p), 1, kSlots) : kSlots;
        evictionLevel_ = left >= 8 ? std::clamp(GetI32(p + 4), 0, kMaxEviction) : 0;
    }
    changed_ = false;
}

TWordList& CollectedWords() {
    static TWordList list;
    return list;
}

}  // namespace corv
