#pragma once
// The user's results: one record per measured piece of work, kept in the user's settings
// file as "Re" + index lines, merged by a fixed ranking so each exercise keeps its best.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corv {

class TDynamicSettings;

struct TResultItem {
    int Index = 0;             // n of its key "Re" + n
    std::string Source;        // "BKM" course exercise, "NAME" named item, or other
    std::string Kind = "STD";  // "STD", "TIME", "TEXT", "TEST", "GAME"
    std::string Mode = "0";    // "CT", "C2", "NK", "KB", "KT", "KR", "KS", "PG", "REV", ...
    std::string Identifier;    // "NAME" results
    std::string CourseId;      // "BKM" results
    int Chapter = 0;
    int Exercise = 0;
    int EventNumber = 0;
    bool Checked = false;
    double StartTime = 0;  // day count
    int ElapsedSeconds = 0;
    int TypingSeconds = 0;
    bool Completed = false;
    int TimeLimit = 0;
    int CumulativeSeconds = 0;
    int GrossSpeed = 0;
    int Accuracy = 0;
    int NetSpeed = 0;
    int Rhythm = 0;
    int Efficiency = 0;
    int DifficultKeyScore = 0;
    int TotalHits = -1;  // -1: not stored
    int ErrorHits = -1;
    int CharsPerWord = -1;
    std::string StudyingTip;  // not stored
    bool Valid = false;       // not stored
    bool Passed = false;
    std::string Name;
    int GameScore = 0;
};

// What a query asks for; an empty text matches anything.
struct TResultFilter {
    std::string Source;
    std::string Kind;
    std::string CourseId;
    int MinTypingSeconds = 0;
};

class TResults {
  public:
    TResults();
    ~TResults();
    TResults(const TResults&) = delete;
    TResults& operator=(const TResults&) = delete;

    // Reads every "Re" + n line of the settings; unreadable lines are skipped but their
    // numbers stay taken (Unreadable() names them). Returns the number of results read.
    int Load(TDynamicSettings& settings);
    // The keys ("Re12") of the lines the last load could not read.
    const std::vector<std::string>& Unreadable() const { return unreadable_; }
    // Writes "ReCnt" and every result's line; 1, or -1 when a line could not be set.
    int Save(TDynamicSettings& settings) const;
    void Clear();

    // Companion ".TT" files: database folder and the user's normalized name. Without
    // them merging renames nothing.
    void SetCompanionFiles(std::string databaseFolder, std::string userBase);

    // The index a new result will get; events that write a companion file ask for it
    // before the result is added.
    int NextIndex() const { return highestIndex_ < INT32_MAX ? highestIndex_ + 1 : INT32_MAX; }
    int HighestIndex() const { return highestIndex_; }

    // Merges a result. Returns the item that now holds it, or nullptr when the stored
    // result of the same exercise stays (or, in a damaged file, no index is left).
    TResultItem* Add(const TResultItem& result);

    bool IsExerciseDone(std::string_view courseId, int chapter, int exercise) const;
    void UncheckSuperseded(const TResultItem& result);
    int CheckedCount(std::string_view courseId) const;

    // The items (not owned) that match, sorted by start time ascending when asked; else by
    // (chapter, exercise) when the filter names a course or byPosition; else by start time
    // descending.
    std::vector<TResultItem*> Query(const TResultFilter& filter, bool byDateAscending,
                                    bool byPosition) const;
    std::vector<TResultItem*> Tests(bool ascending) const;
    TResultItem* LatestTest() const;
    // "BKM" results of the course by position, or by start time ascending when asked.
    std::vector<TResultItem*> CourseResults(std::string_view courseId, bool byDateAscending) const;
    // The figure ("NETSPEED", "GROSSSPEED", "ACCURACY", "RHYTHM", "EFFICIENCY",
    // "DIFFINDEX") of the course's text and test results, zeros left out. With labels,
    // one "chapter.exercise" label per value (only the first of each chapter when the
    // course has 26 or more results).
    std::vector<std::string> FigureSeries(std::string_view figure, std::string_view courseId,
                                          std::vector<std::string>* labels) const;

    static int Rank(const TResultItem& result);

    // The stored line of one result, and its reader (false for an unreadable line).
    static std::string FormatLine(const TResultItem& item);
    static bool ParseLine(std::string_view line, TResultItem& item);

    int Count() const { return static_cast<int>(items_.size()); }
    TResultItem& operator[](int i) { return *items_[static_cast<size_t>(i)]; }
    const TResultItem& operator[](int i) const { return *items_[static_cast<size_t>(i)]; }

  private:
    int FindMatch(const TResultItem& result) const;
    void TakeFields(size_t at, const TResultItem& result);
    bool RenameCompanion(int from, int to) const;

    std::vector<std::unique_ptr<TResultItem>> items_;
    std::vector<std::string> unreadable_;
    int highestIndex_ = -1;
    std::string databaseFolder_;
    std::string userBase_;
};

}  // namespace corv
