#pragma once
// One event line of an exercise script: which event it makes, its minutes and time limit,
// and the run of that event with its result record, result view and stored result.
//
// Codes of Execute: the event's close result (0 closed from outside, 1 go on,
// 2 interrupted, 3 done, 4 cancelled after finishing), or the mapped answer of the result
// view that followed (98 -> 5, 97 -> 7, 0 -> 0, 1 -> 1, others -> 4); 600 and above pass
// through for callers with codes of their own.

#include <cstdint>
#include <string>
#include <vector>

namespace corv {

class TExercise;

class TEventLoader {
  public:
    static constexpr size_t kMaxLine = 546;

    explicit TEventLoader(const std::string& line);

    int32_t Seconds = 0;  // time limit after the exercise divided its time
    int32_t Minutes = 0;  // field 2
    bool StoredChecked = false;
    std::string EventType;  // field 1, upper-case
    bool DynamicDuration = false;
    std::string Key;  // field 0, upper-case
    std::vector<std::string> Params;
    std::string Line;
    int32_t Index = 0;  // number in the exercise
    TExercise* Exercise = nullptr;
    int32_t ResultShowMode = 0;  // 0 result view after the event, 1 none
    bool StoreResult = false;
    std::string CourseId;
    std::string Source = "BKM";
    std::string Identifier;
    std::string Name;
    bool Completed = false;
    bool ShowCancel = true;
    bool ShowMenu = false;
    int32_t KeyLevel = 0;
    std::vector<std::string> WordList;  // games; empty: none
    int32_t LastCloseResult = 0;
    int32_t ElapsedSeconds = 0;
    int32_t AccumulatedSeconds = 0;
    // Where the line stands in its file (for the course check).
    int32_t SourceLine = 0;

    int Execute();

    int ChapterNumber() const;
    int ExerciseNumber() const;

    // The script fields of a line as the loader reads them.
    static std::vector<std::string> SplitLine(const std::string& line);
    // Keeps a code inside what callers understand.
    static int LimitCode(int code);
    // A result view's answer as an exercise code.
    static int MapViewAnswer(int answer);
};

}  // namespace corv
