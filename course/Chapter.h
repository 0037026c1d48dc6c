#pragma once
// A chapter of a course, shown to the user as a lesson: its exercises, the keys it
// introduces, how the user's study time is divided among its exercises, and the run of
// the lesson from its lesson page.
//
// Codes of Run: 0 stop (closed from outside), 2 end the lesson, 3 previous lesson, 4 next
// lesson, 5 course contents, 6 statistics, 7 review, 8 change course, 17 another lesson
// chosen, 1 the course is done; negative: an error.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "course/Exercise.h"

namespace corv {

class TBookMark;
class TContents;
class TCourseStream;

class TChapter {
  public:
    static constexpr int kMaxExercises = 200;
    static constexpr int kWarnExercises = 199;

    // Reads the section after the contents read its "begin chapter" line, up to
    // "end chapter". An index-only chapter is for display: it leaves the user's key
    // progression alone.
    TChapter(TCourseStream& stream, TContents& contents, int number, bool indexOnly);
    ~TChapter();
    TChapter(const TChapter&) = delete;
    TChapter& operator=(const TChapter&) = delete;

    bool IndexOnly = false;
    std::string Title;
    std::string ExtraDescription;
    int32_t LessonDuration = 0;  // minutes
    bool StaticDurations = false;
    bool HideExercises = false;
    bool NoOffset = false;
    int32_t StudyTime = 0;
    std::vector<std::unique_ptr<TExercise>> Exercises;
    std::string Picture;
    std::string NewKeysText;
    TBookMark* Bookmark = nullptr;
    TContents* Contents = nullptr;
    std::string Caption;
    int32_t Number = 0;
    std::vector<std::string> KeyLines;
    int32_t KeyLevel = 0;
    int32_t SourceLine = 0;  // the "begin chapter" line

    int Run(bool& pastEnd);

    int ExerciseCount() const { return static_cast<int>(Exercises.size()); }
    TExercise* ExerciseAt(int number) const;  // 1-based; null outside
    // Minutes of the whole lesson (static: recomputed without the offset).
    int TotalMinutes();
    // The lesson is locked by the policy's chapter lock (shows no warning).
    bool Locked() const;
    // Checks the lock; a locked lesson shows its warning.
    bool CheckLock() const;

  private:
    void ReadSection(TCourseStream& stream);
    void AddNewKeys(const std::string& value);
    void DivideTime();
    int RunLessonDone();

    int32_t totalWeight_ = 0;
    std::vector<int32_t> weights_;
};

// The user's exemption from the chapter lock.
bool BypassesChapterLock();

}  // namespace corv
