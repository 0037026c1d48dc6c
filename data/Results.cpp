#include "data/Results.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <unordered_set>
#include <utility>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Settings.h"
#include "core/TextUtil.h"

namespace corv {

namespace {

constexpr size_t kShortText = 255;
// "Re" keys with more digits cannot be the key of a 32-bit index.
constexpr size_t kMaxIndexDigits = 10;

bool AllDashes(std::string_view s) {
    return s.find_first_not_of('-') == std::string_view::npos;
}

// Ends in "%" followed by zero or more "-" (minDashes or more).
bool EndsInPercentDashes(std::string_view s, size_t minDashes) {
    size_t end = s.find_last_not_of('-');
    if (end == std::string_view::npos) return false;
    return s[end] == '%' && s.size() - 1 - end >= minDashes;
}

// A text field as the line holds it. The line is split at ";" by the word splitter, which
// drops empty words and reads "%;" as ";". So: ";" is written "%;"; a field made only of
// dashes (the empty one too) gets one dash more, so "" is "-"; a field ending in "%" and
// any dashes gets one dash more, so no field ends in "%" and swallows the separator.
std::string EncodeField(std::string_view raw) {
    raw = raw.substr(0, kShortText);
    std::string out;
    out.reserve(raw.size() + 2);
    for (char c : raw) {
        if (c == ';') {
            out += "%;";
        } else if (c == '\r' || c == '\n' || c == '\0') {
            out += ' ';  // a settings line cannot hold them
        } else {
            out += c;
        }
    }
    if (AllDashes(raw) || EndsInPercentDashes(raw, 0)) out += '-';
    return out;
}

std::string DecodeField(std::string word) {
    if (AllDashes(word) || EndsInPercentDashes(word, 1)) word.pop_back();
    return word;
}

bool ReadInt(const std::vector<std::string>& w, size_t at, int& value) {
    if (at >= w.size()) return false;
    auto v = settings_format::ParseInt32(w[at]);
    if (!v) return false;
    value = *v;
    return true;
}

// TotalHits, ErrorHits, CharsPerWord: missing gives -1, present must be a number.
bool ReadOptionalInt(const std::vector<std::string>& w, size_t at, int& value) {
    value = -1;
    return at >= w.size() || ReadInt(w, at, value);
}

void AppendInt(std::string& line, int value) {
    line += ';';
    line += std::to_string(value);
}

void AppendText(std::string& line, std::string_view text) {
    line += ';';
    line += EncodeField(text);
}

bool IsTextOrTest(std::string_view kind) {
    return kind == "TEXT" || kind == "TEST";
}

// Exchange sort: every earlier entry is swapped with a later one that should come first.
// Its order of equal entries is part of what callers see, so when keys repeat it runs as
// such; with no equal keys any sort gives the same order.
template <typename Before, typename Same>
void ExchangeSort(std::vector<TResultItem*>& list, Before before, Same same) {
    const size_t n = list.size();
    bool sorted = true;
    for (size_t i = 1; i < n && sorted; ++i) sorted = !before(list[i], list[i - 1]);
    if (sorted) return;  // no later entry ever comes before an earlier one
    std::vector<TResultItem*> probe = list;
    std::sort(probe.begin(), probe.end(), before);
    bool repeats = false;
    for (size_t i = 1; i < n && !repeats; ++i) repeats = same(probe[i - 1], probe[i]);
    if (!repeats) {
        list = std::move(probe);
        return;
    }
    for (size_t i = 0; i + 1 < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (before(list[j], list[i])) std::swap(list[i], list[j]);
}

}  // namespace

TResults::TResults() = default;
TResults::~TResults() = default;

void TResults::Clear() {
    items_.clear();
    unreadable_.clear();
    highestIndex_ = -1;
}

void TResults::SetCompanionFiles(std::string databaseFolder, std::string userBase) {
    databaseFolder_ = std::move(databaseFolder);
    userBase_ = std::move(userBase);
}

// ---------------------------------------------------------------------------------------
// Stored form

std::string TResults::FormatLine(const TResultItem& r) {
    std::string line = EncodeField(r.Source);
    if (r.Source == "BKM") {
        AppendText(line, r.CourseId);
        AppendInt(line, r.Chapter);
        AppendInt(line, r.Exercise);
        AppendInt(line, r.EventNumber);
        line += ";0";
    } else if (r.Source == "NAME") {
        AppendText(line, r.Identifier);
        line += ";0;0";
    }
    line += r.Checked ? ";1" : ";0";
    line += ';';
    line += settings_format::FormatReal(std::isfinite(r.StartTime) ? r.StartTime : 0.0);
    AppendInt(line, r.ElapsedSeconds);
    AppendText(line, r.Mode);
    line += ";0";
    AppendInt(line, r.CumulativeSeconds);
    AppendText(line, r.Kind);
    if (r.Kind.empty() || r.Kind == "STD") return line;

    int flags = r.Completed ? (r.Passed ? 4 : 2) : (r.Passed ? 3 : 0);
    AppendInt(line, flags);
    AppendInt(line, r.TypingSeconds);
    AppendInt(line, r.TimeLimit);
    line += ";0;0";
    if (r.Kind == "GAME") {
        AppendInt(line, r.GameScore);
        line += ";0;0";
    } else if (IsTextOrTest(r.Kind)) {
        AppendInt(line, r.GrossSpeed);
        AppendInt(line, r.NetSpeed);
        AppendInt(line, r.Accuracy);
        AppendInt(line, r.Rhythm);
        AppendInt(line, r.Efficiency);
        AppendInt(line, r.DifficultKeyScore);
        if (r.Kind == "TEST") {
            AppendText(line, r.Name);
        } else {
            line += ";0";
        }
        AppendInt(line, r.TotalHits);
        AppendInt(line, r.ErrorHits);
        AppendInt(line, r.CharsPerWord);
    }
    return line;
}

bool TResults::ParseLine(std::string_view line, TResultItem& out) {
    const std::vector<std::string> w = SplitWords(line, ";");
    if (w.empty()) return false;
    TResultItem r;
    r.Source = DecodeField(w[0]);
    size_t k = 1;
    if (r.Source == "BKM") {
        if (w.size() < 6) return false;
        r.CourseId = DecodeField(w[1]);
        if (!ReadInt(w, 2, r.Chapter) || !ReadInt(w, 3, r.Exercise) ||
            !ReadInt(w, 4, r.EventNumber))
            return false;
        k = 6;
    } else if (r.Source == "NAME") {
        if (w.size() < 4) return false;
        r.Identifier = DecodeField(w[1]);
        k = 4;
    }
    if (w.size() < k + 7) return false;
    r.Checked = settings_format::ReadBool(w[k]);
    double start = settings_format::ParseReal(w[k + 1]).value_or(0.0);
    r.StartTime = std::isfinite(start) ? start : 0.0;
    if (!ReadInt(w, k + 2, r.ElapsedSeconds)) return false;
    r.Mode = DecodeField(w[k + 3]);
    if (!ReadInt(w, k + 5, r.CumulativeSeconds)) return false;
    r.Kind = DecodeField(w[k + 6]);

    if (!r.Kind.empty() && r.Kind != "STD") {
        int flags = 0;
        if (!ReadInt(w, k + 7, flags) || !ReadInt(w, k + 8, r.TypingSeconds) ||
            !ReadInt(w, k + 9, r.TimeLimit))
            return false;
        r.Completed = flags == 1 || flags == 2 || flags == 4;
        r.Passed = flags == 1 || flags == 3 || flags == 4;
        const size_t m = k + 12;
        if (r.Kind == "GAME") {
            if (!ReadInt(w, m, r.GameScore)) return false;
        } else if (IsTextOrTest(r.Kind)) {
            if (!ReadInt(w, m, r.GrossSpeed) || !ReadInt(w, m + 1, r.NetSpeed) ||
                !ReadInt(w, m + 2, r.Accuracy) || !ReadInt(w, m + 3, r.Rhythm) ||
                !ReadInt(w, m + 4, r.Efficiency))
                return false;
            if (m + 5 >= w.size()) return false;
            if (w[m + 5] == "-") {
                r.DifficultKeyScore = 0;
            } else if (!ReadInt(w, m + 5, r.DifficultKeyScore)) {
                return false;
            }
            if (r.Kind == "TEST" && m + 6 < w.size()) r.Name = DecodeField(w[m + 6]);
            if (!ReadOptionalInt(w, m + 7, r.TotalHits) ||
                !ReadOptionalInt(w, m + 8, r.ErrorHits) ||
                !ReadOptionalInt(w, m + 9, r.CharsPerWord))
                return false;
        }
    }
    out = std::move(r);
    return true;
}

int TResults::Load(TDynamicSettings& settings) {
    Clear();
    std::vector<std::string> entries;
    if (settings.File().Entries(entries) != 1) return 0;

    struct Found {
        int index;
        std::string_view value;
    };
    std::vector<Found> found;
    std::unordered_set<int> seen;  // the first of two equal names is the one that counts
    for (const std::string& e : entries) {
        size_t eq = e.find('=');
        if (eq < 3 || (e[0] != 'R' && e[0] != 'r') || (e[1] != 'E' && e[1] != 'e')) continue;
        std::string_view digits(e.data() + 2, eq - 2);
        if (digits.size() > kMaxIndexDigits ||
            digits.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        if (digits.size() > 1 && digits[0] == '0') continue;  // "Re07" is not the key of 7
        int64_t wide = 0;
        for (char c : digits) wide = wide * 10 + (c - '0');
        if (wide > INT32_MAX) continue;
        const int n = static_cast<int>(wide);
        if (!seen.insert(n).second) continue;
        if (n > highestIndex_) highestIndex_ = n;
        found.push_back({n, std::string_view(e).substr(eq + 1)});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.index < b.index; });

    items_.reserve(found.size());
    for (const Found& f : found) {
        auto item = std::make_unique<TResultItem>();
        if (!ParseLine(f.value, *item)) {
            unreadable_.push_back("Re" + std::to_string(f.index));
            continue;
        }
        item->Index = f.index;
        items_.push_back(std::move(item));
    }
    return Count();
}

int TResults::Save(TDynamicSettings& settings) const {
    int rc = settings.SetInteger("ReCnt", highestIndex_ < 0 ? 0 : highestIndex_) == 1 ? 1 : -1;
    std::string key;
    for (const auto& item : items_) {
        key = "Re" + std::to_string(item->Index);
        if (settings.SetText(key, FormatLine(*item)) != 1) rc = -1;
    }
    return rc;
}

// ---------------------------------------------------------------------------------------
// Ranking and merging

int TResults::Rank(const TResultItem& r) {
    if (r.Mode == "REV") return 4;
    if (r.Kind == "TEXT") {
        if (r.Mode == "CT") return 8;
        if (r.Mode == "C2") return 7;
        return 5;
    }
    if (r.Kind == "TIME") {
        if (r.Mode == "KB") return 5;
        if (r.Mode == "NK") return 2;
        return 3;
    }
    if (r.Kind == "GAME") return 4;
    if (r.Kind == "STD") return 1;
    if (r.Kind == "TEST") return 10;
    return 0;
}

int TResults::FindMatch(const TResultItem& r) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        const TResultItem& s = *items_[i];
        if (s.Source != r.Source) continue;
        if (r.Source == "NAME" && s.Identifier == r.Identifier) return static_cast<int>(i);
        if (r.Source == "BKM" && s.CourseId == r.CourseId && s.Chapter == r.Chapter &&
            s.Exercise == r.Exercise)
            return static_cast<int>(i);
    }
    return -1;
}

void TResults::TakeFields(size_t at, const TResultItem& r) {
    std::unique_ptr<TResultItem> item = std::move(items_[at]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(at));
    const int own = item->Index;
    *item = r;
    item->Index = own;
    if (!std::isfinite(item->StartTime)) item->StartTime = 0;
    items_.push_back(std::move(item));
    // The new result's typed-text record follows it to the index it now lives under; an
    // index already in use belongs to another result and is never taken from it.
    if (r.Kind == "TEST" && r.Index != own && r.Index > highestIndex_)
        RenameCompanion(r.Index, own);
}

TResultItem* TResults::Add(const TResultItem& result) {
    TResultItem* holder = nullptr;
    int at = FindMatch(result);
    if (at < 0) {
        if (highestIndex_ == INT32_MAX) return nullptr;  // no number left (a damaged file)
        // One above the highest index in use, so a gap left by a missing line never gives
        // two results (and their companion files) the same number.
        auto item = std::make_unique<TResultItem>(result);
        item->Index = NextIndex();
        if (!std::isfinite(item->StartTime)) item->StartTime = 0;
        highestIndex_ = item->Index;
        holder = item.get();
        items_.push_back(std::move(item));
    } else {
        const TResultItem& stored = *items_[static_cast<size_t>(at)];
        const int newRank = Rank(result), storedRank = Rank(stored);
        bool take = newRank > storedRank;
        if (newRank == storedRank) {
            take = (!IsTextOrTest(result.Kind) || result.GrossSpeed != 0) &&
                   (result.Checked || !stored.Checked) && result.EventNumber >= stored.EventNumber;
        }
        if (take) {
            TakeFields(static_cast<size_t>(at), result);
            holder = items_.back().get();
        }
    }
    if (highestIndex_ < Count() - 1) highestIndex_ = Count() - 1;
    return holder;
}

bool TResults::RenameCompanion(int from, int to) const {
    if (databaseFolder_.empty() || userBase_.empty()) return false;
    const std::string base = fs::Join(databaseFolder_, userBase_ + ".TT");
    const std::string source = fs::ResolveCase(base + std::to_string(from));
    if (!fs::FileExists(source)) return false;
    // Replace an existing record of the target in whatever case it was written.
    const std::string target = fs::ResolveCase(base + std::to_string(to));
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool TResults::IsExerciseDone(std::string_view courseId, int chapter, int exercise) const {
    for (const auto& item : items_)
        if (item->Source == "BKM" && item->CourseId == courseId && item->Chapter == chapter &&
            item->Exercise == exercise)
            return item->Checked;
    return false;
}

void TResults::UncheckSuperseded(const TResultItem& result) {
    int at = FindMatch(result);
    if (at < 0) return;
    TResultItem& stored = *items_[static_cast<size_t>(at)];
    if (stored.EventNumber < result.EventNumber && Rank(result) >= Rank(stored))
        stored.Checked = false;
}

int TResults::CheckedCount(std::string_view courseId) const {
    int n = 0;
    for (const auto& item : items_)
        if (item->Source == "BKM" && item->CourseId == courseId && item->Checked) ++n;
    return n;
}

// ---------------------------------------------------------------------------------------
// Queries

std::vector<TResultItem*> TResults::Query(const TResultFilter& f, bool byDateAscending,
                                          bool byPosition) const {
    std::vector<TResultItem*> list;
    for (size_t i = items_.size(); i-- > 0;) {
        TResultItem* r = items_[i].get();
        if (!f.Source.empty() && r->Source != f.Source) continue;
        if (!f.Kind.empty() && r->Kind != f.Kind) continue;
        if (!f.CourseId.empty() && r->CourseId != f.CourseId) continue;
        if (r->TypingSeconds < f.MinTypingSeconds) continue;
        list.push_back(r);
    }
    auto sameTime = [](const TResultItem* a, const TResultItem* b) {
        return a->StartTime == b->StartTime;
    };
    if (byDateAscending) {
        ExchangeSort(
            list,
            [](const TResultItem* a, const TResultItem* b) { return a->StartTime < b->StartTime; },
            sameTime);
    } else if (!f.CourseId.empty() || byPosition) {
        ExchangeSort(
            list,
            [](const TResultItem* a, const TResultItem* b) {
                return a->Chapter != b->Chapter ? a->Chapter < b->Chapter
                                                : a->Exercise < b->Exercise;
            },
            [](const TResultItem* a, const TResultItem* b) {
                return a->Chapter == b->Chapter && a->Exercise == b->Exercise;
            });
    } else {
        ExchangeSort(
            list,
            [](const TResultItem* a, const TResultItem* b) { return a->StartTime > b->StartTime; },
            sameTime);
    }
    return list;
}

std::vector<TResultItem*> TResults::Tests(bool ascending) const {
    TResultFilter f;
    f.Kind = "TEST";
    f.MinTypingSeconds = 10;
    return Query(f, ascending, false);
}

TResultItem* TResults::LatestTest() const {
    std::vector<TResultItem*> list = Tests(false);
    return list.empty() ? nullptr : list.front();
}

std::vector<TResultItem*> TResults::CourseResults(std::string_view courseId,
                                                  bool byDateAscending) const {
    TResultFilter f;
    f.Source = "BKM";
    f.CourseId = std::string(courseId);
    return Query(f, byDateAscending, true);
}

std::vector<std::string> TResults::FigureSeries(std::string_view figure, std::string_view courseId,
                                                std::vector<std::string>* labels) const {
    const std::string name = ToUpper(figure);
    int TResultItem::*field = nullptr;
    if (name == "NETSPEED")
        field = &TResultItem::NetSpeed;
    else if (name == "GROSSSPEED")
        field = &TResultItem::GrossSpeed;
    else if (name == "ACCURACY")
        field = &TResultItem::Accuracy;
    else if (name == "RHYTHM")
        field = &TResultItem::Rhythm;
    else if (name == "EFFICIENCY")
        field = &TResultItem::Efficiency;
    else if (name == "DIFFINDEX")
        field = &TResultItem::DifficultKeyScore;

    std::vector<std::string> values;
    if (labels) labels->clear();
    if (!field) return values;
    const std::vector<TResultItem*> list = CourseResults(courseId, false);
    const bool sparseLabels = list.size() >= 26;
    bool anyLabelled = false;
    int lastChapter = 0;
    for (const TResultItem* r : list) {
        if (!IsTextOrTest(r->Kind) || r->Mode == "REV") continue;
        const int value = r->*field;
        if (value == 0) continue;
        values.push_back(std::to_string(value));
        if (!labels) continue;
        if (sparseLabels && anyLabelled && r->Chapter == lastChapter) {
            labels->emplace_back();
        } else {
            labels->push_back(std::to_string(r->Chapter) + "." + std::to_string(r->Exercise));
            anyLabelled = true;
            lastChapter = r->Chapter;
        }
    }
    return values;
}

}  // namespace corv
