#include "data/DifficultKeys.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include "core/Cp1252.h"
#include "core/TextFiles.h"

namespace corv {

namespace {

constexpr int kTotalLimit = 29000;  // above this a count starts over from kTotalRestart
constexpr int kTotalRestart = 25000;

// Halves to the even neighbour (the default rounding mode).
int64_t Round(double v) {
    return static_cast<int64_t>(std::nearbyint(v));
}

double RawDifficulty(const TDifficultKeys::Counts& k) {
    double x = 0;
    if (k.blendedCount > 0) x = static_cast<double>(k.blendedErrors) / k.blendedCount * 100.0;
    if (x > 0 && k.totalCount < 10) x = x * k.totalCount / 10.0;
    return 4.0 * x;
}

int16_t ReadLe16(const unsigned char* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

void WriteLe16(std::string& out, size_t at, int value) {
    // The counters are kept below 29000; the clamp only guards the 16-bit form.
    const uint16_t v = static_cast<uint16_t>(std::clamp(value, 0, 32767));
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>(v >> 8);
}

}  // namespace

TDifficultKeys::TDifficultKeys() {
    SetDefaultFilter();
}

const std::string& TDifficultKeys::DefaultFilter() {
    static const std::string filter = [] {
        const std::pair<int, int> ranges[] = {
            {48, 57},   {65, 90},   {97, 122},  {138, 138}, {140, 140}, {142, 142}, {154, 154},
            {156, 156}, {158, 159}, {192, 214}, {218, 221}, {224, 246}, {250, 253}, {255, 255},
        };
        std::string s;
        for (auto [from, to] : ranges)
            for (int c = from; c <= to; ++c) s += static_cast<char>(c);
        return s;
    }();
    return filter;
}

void TDifficultKeys::SetFilter(std::string_view filter) {
    filterText_ = std::string(filter.substr(0, 255));
    inFilter_.fill(false);
    for (char c : filterText_) inFilter_[static_cast<unsigned char>(c)] = true;
    filterSet_ = !filterText_.empty();
    rankingCurrent_ = false;
}

void TDifficultKeys::SetDefaultFilter() {
    SetFilter(DefaultFilter());
}

void TDifficultKeys::RecordKeystroke(char expected, bool isError) {
    const unsigned char c = static_cast<unsigned char>(expected);
    if (c < kFirstChar) return;
    Counts& k = counts_[c];
    if (k.pendingCount < INT_MAX / 2) {
        ++k.pendingCount;
        if (isError) ++k.pendingErrors;
    }
}

void TDifficultKeys::Update() {
    for (int c = kFirstChar; c <= 255; ++c) {
        Counts& k = counts_[static_cast<size_t>(c)];
        const int a = k.pendingCount;
        if (a <= 0) continue;
        int64_t total = static_cast<int64_t>(a) + k.historyTotal;
        if (total > kTotalLimit) total = kTotalRestart;
        k.totalCount = static_cast<int>(total);

        const double weight = std::max(0.0, static_cast<double>(kWindow - a) / kWindow);
        int64_t count = Round(k.historyCount * weight) + a;
        int64_t errors = Round(k.historyErrors * weight) + k.pendingErrors;
        // The blended figures go to the same 16-bit form as the total: scale them down
        // together (keeping their ratio, so the difficulty) instead of letting them wrap.
        const int64_t top = std::max(count, errors);
        if (top > kTotalLimit) {
            count = Round(static_cast<double>(count) * kTotalRestart / top);
            errors = Round(static_cast<double>(errors) * kTotalRestart / top);
        }
        k.blendedCount = static_cast<int>(count);
        k.blendedErrors = static_cast<int>(errors);

        // Capped as the difficulty reads through the filter (0 outside it).
        const double d = Difficulty(static_cast<unsigned char>(c));
        if (d > 100) k.blendedErrors = static_cast<int>(Round(k.blendedErrors * 100.0 / d));

        k.lastPendingCount = a;
        if (a > kWindow) {
            k.historyTotal = k.totalCount;
            k.historyCount = k.blendedCount;
            k.historyErrors = k.blendedErrors;
            k.pendingCount = 0;
            k.pendingErrors = 0;
        }
    }
    rankingCurrent_ = false;
}

bool TDifficultKeys::PassesFilter(unsigned char c) const {
    return !filterSet_ || inFilter_[c] || c == ',' || c == '.';
}

double TDifficultKeys::Difficulty(unsigned char c) const {
    if (c < kFirstChar || !PassesFilter(c)) return 0;
    return RawDifficulty(counts_[c]);
}

void TDifficultKeys::Rank() {
    std::array<unsigned char, kCharCount> chars{};
    std::array<double, kCharCount> diff{};
    int n = 0;
    for (int c = kFirstChar; c <= 255; ++c) {
        const auto uc = static_cast<unsigned char>(c);
        if (!PassesFilter(uc)) continue;
        chars[static_cast<size_t>(n)] = uc;
        diff[static_cast<size_t>(n)] = Difficulty(uc);
        ++n;
    }
    // Exchange sort, descending; its order of equal difficulties is the one users see.
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (diff[static_cast<size_t>(j)] > diff[static_cast<size_t>(i)]) {
                std::swap(diff[static_cast<size_t>(i)], diff[static_cast<size_t>(j)]);
                std::swap(chars[static_cast<size_t>(i)], chars[static_cast<size_t>(j)]);
            }
    ranking_ = chars;  // positions beyond n hold 0
    rankedCount_ = n;
    rankingCurrent_ = true;
}

unsigned char TDifficultKeys::KthDifficultChar(int k) {
    if (k < 1 || k > kCharCount) return 0;
    if (!rankingCurrent_) Rank();
    return ranking_[static_cast<size_t>(k - 1)];
}

double TDifficultKeys::DifficultyOfRank(int k) {
    const unsigned char c = KthDifficultChar(k);
    return c ? Difficulty(c) : 0.0;
}

int TDifficultKeys::LastPendingCountOfRank(int k) {
    const unsigned char c = KthDifficultChar(k);
    return c ? counts_[c].lastPendingCount : 0;
}

std::string TDifficultKeys::DifficultChars(int n, Case letterCase) {
    std::string out;
    if (!rankingCurrent_) Rank();
    for (int i = 0; i < rankedCount_ && static_cast<int>(out.size()) < n; ++i) {
        const unsigned char c = ranking_[static_cast<size_t>(i)];
        if (Difficulty(c) == 0) break;
        const char ch = static_cast<char>(c);
        if (letterCase == Case::kLower && LowerCase(ch) != ch) continue;
        if (letterCase == Case::kUpper && UpperCase(ch) != ch) continue;
        out += ch;
    }
    return out;
}

double TDifficultKeys::OverallRating() {
    return std::clamp(4.0 - DifficultyOfRank(1) / 25.0, 0.0, 4.0);
}

void TDifficultKeys::Clear() {
    counts_.fill(Counts{});
    rankingCurrent_ = false;
}

std::string TDifficultKeys::ToBytes() const {
    std::string out(kStoredSize, '\0');
    for (int i = 0; i < kCharCount; ++i) {
        const Counts& k = counts_[static_cast<size_t>(kFirstChar + i)];
        const size_t at = static_cast<size_t>(i) * 2;
        WriteLe16(out, at, k.totalCount);
        WriteLe16(out, at + kCharCount * 2, k.blendedCount);
        WriteLe16(out, at + kCharCount * 4, k.blendedErrors);
    }
    return out;
}

bool TDifficultKeys::FromBytes(std::string_view bytes) {
    if (bytes.size() < kStoredSize) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (int i = 0; i < kCharCount; ++i) {
        Counts& k = counts_[static_cast<size_t>(kFirstChar + i)];
        const size_t at = static_cast<size_t>(i) * 2;
        // A negative value can only come from a damaged file; it counts as nothing.
        const int total = std::max<int>(0, ReadLe16(p + at));
        const int count = std::max<int>(0, ReadLe16(p + at + kCharCount * 2));
        const int errors = std::max<int>(0, ReadLe16(p + at + kCharCount * 4));
        k = Counts{};
        k.historyTotal = k.totalCount = total;
        k.historyCount = k.blendedCount = count;
        k.historyErrors = k.blendedErrors = errors;
    }
    rankingCurrent_ = false;
    return true;
}

int TDifficultKeys::Load(TRecFile& file) {
    std::string bytes(kStoredSize, '\0');
    const int rc = file.ReadBytes(bytes.data(), bytes.size());
    if (rc == kFileOk) FromBytes(bytes);
    return rc;
}

int TDifficultKeys::Save(TRecFile& file) {
    Update();
    const std::string bytes = ToBytes();
    return file.WriteBytes(bytes.data(), bytes.size());
}

TDifficultyBand TDifficultKeys::Band(double difficulty) {
    if (difficulty < kLowThreshold) return TDifficultyBand::kLow;
    if (difficulty >= kHighThreshold) return TDifficultyBand::kHigh;
    return TDifficultyBand::kMedium;
}

TRgb TDifficultKeys::BandColour(TDifficultyBand band) {
    switch (band) {
        case TDifficultyBand::kLow:
            return {167, 180, 247};
        case TDifficultyBand::kMedium:
            return {255, 210, 29};
        case TDifficultyBand::kHigh:
            return {255, 0, 79};
    }
    return {};
}

}  // namespace corv
