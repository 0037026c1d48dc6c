#include "engine/analysis/TypedTexts.h"

#include <cstdint>

#include "core/AtomicFile.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"

namespace corv {

namespace {

void PutU32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutWord(std::string& out, const std::string& word) {
    const auto n = static_cast<uint16_t>(word.size());
    out.push_back(static_cast<char>(n & 0xFF));
    out.push_back(static_cast<char>(n >> 8));
    out.push_back(static_cast<char>(n));  // the short text's own length byte
    out += word;
}

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool U32(uint32_t& v) {
        if (bytes_.size() - pos_ < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
        pos_ += 4;
        return true;
    }
    // A 16-bit length, the length byte and the characters; no word is longer than 255.
    bool Word(std::string& word) {
        if (bytes_.size() - pos_ < 3) return false;
        const size_t n = static_cast<unsigned char>(bytes_[pos_]) |
                         (static_cast<size_t>(static_cast<unsigned char>(bytes_[pos_ + 1])) << 8);
        const size_t own = static_cast<unsigned char>(bytes_[pos_ + 2]);
        if (n > TTypedTexts::kMaxWord) return false;
        if (bytes_.size() - pos_ - 3 < n) return false;
        word.assign(bytes_.substr(pos_ + 3, std::min(n, own)));
        pos_ += 3 + n;
        return true;
    }

  private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

}  // namespace

void TTypedTexts::Add(std::string_view expected, std::string_view typed) {
    TWordItem item;
    item.Expected = std::string(expected.substr(0, kMaxWord));
    item.Typed = std::string(typed.substr(0, kMaxWord));
    if (item.Expected == item.Typed && !item.Expected.empty() && item.Expected != "\r")
        item.Typed = std::string(1, kCorrectMark);
    items_.push_back(std::move(item));
}

const TWordItem* TTypedTexts::Get(size_t index) const {
    return index < items_.size() ? &items_[index] : nullptr;
}

std::string TTypedTexts::ToBytes() const {
    std::string out;
    out.reserve(24 + items_.size() * 16);
    for (int i = 0; i < 5; ++i) PutU32(out, kFormat);
    PutU32(out, static_cast<uint32_t>(items_.size()));
    for (const TWordItem& item : items_) {
        PutWord(out, item.Expected);
        PutWord(out, item.Typed);
    }
    return out;
}

bool TTypedTexts::FromBytes(std::string_view bytes, bool& countRead) {
    items_.clear();
    countRead = false;
    Reader in(bytes);
    uint32_t format = 0, count = 0;
    for (int i = 0; i < 5; ++i)
        if (!in.U32(format)) return false;
    if (!in.U32(count)) return false;
    countRead = true;
    // The count is not trusted for reserving: a damaged file may claim anything.
    for (uint32_t i = 0; i < count; ++i) {
        TWordItem item;
        if (!in.Word(item.Expected) || !in.Word(item.Typed)) return false;
        items_.push_back(std::move(item));
    }
    return true;
}

int TTypedTexts::Load(const std::string& fileName) {
    items_.clear();
    std::string bytes;
    if (!ReadWholeFile(fs::ResolveCase(fileName), bytes)) {
        ReportError(-1, "Data Reading error or EOF in TypedText.Load, file=" + fileName);
        return -1;
    }
    // Older records start with a 3 and have another layout.
    if (bytes.size() >= 4 && static_cast<unsigned char>(bytes[0]) == 3 && bytes[1] == 0 &&
        bytes[2] == 0 && bytes[3] == 0)
        return -3;
    bool countRead = false;
    if (FromBytes(bytes, countRead)) return 1;
    if (!countRead) {
        ReportError(0, "Data Reading error or EOF in TypedText.Load, file=" + fileName);
        return 0;
    }
    ReportError(-2, "Data Read error in TypedText.Load, file=" + fileName);
    return -2;
}

int TTypedTexts::Save(const std::string& fileName) const {
    if (!WriteFileAtomic(fileName, ToBytes())) {
        ReportError(-2, "Data Write error in TypedText.Save, file=" + fileName);
        return -2;
    }
    return 1;
}

}  // namespace corv
