#pragma once
// The user's place and progress in one course, kept in the user's settings file under
// "Crs." + course id + "." + name.

#include <cstdint>
#include <string>

namespace corv {

class TUser;

class TBookMark {
  public:
    enum ModeValue { kNormal = 0, kReview = 2 };

    std::string CourseId;
    int32_t Chapter = 0;             // "Chapter", 1-based
    int32_t Exercise = 0;            // "Exercise", 1-based
    int32_t Event = 0;               // "Event"
    int32_t CompletedExercises = 0;  // "CompExc"
    int32_t TotalExercises = 0;      // "TotalExc"
    int32_t TotalDuration = 0;       // seconds, computed at load
    int32_t TimeStudied = 0;         // "Time", seconds
    // "Duration": minutes per lesson (dynamic), or a 1-based index into the lesson
    // durations (static); kCourseDefault: the course's default.
    int32_t Duration = kCourseDefault;
    bool DurationSet = false;  // "DurationSet"
    int32_t Mode = kNormal;
    int32_t ResultShowMode = 0;
    // Results are stored, the chapter lock applies and the bookmark is saved.
    bool Active = true;
    int32_t WordLoop = 0;
    int32_t WordMaxLoop = 0;
    std::string Description;
    std::string CurrentLessonTitle;
    std::string PositionText;
    int32_t KeyLevel = 0;  // "KeyLevel"

    static constexpr int32_t kCourseDefault = -2;

    // The full settings key of a bookmark value.
    std::string Key(const char* name) const;

    // Reads the values from the user's own file. With applyKeyLevel the user's stored key
    // level becomes the bookmark's and the key level starts again from it; loads for
    // display leave the user alone. Nothing in review mode; without a course id an
    // error is reported and nothing is read.
    void Load(TUser& user, bool applyKeyLevel = true);
    // Writes the values, the percent complete and the user's key level.
    void Save(TUser& user);

    // round(completed x 100 / total), halves to even; 0 without exercises.
    int PercentComplete() const;
    // Seconds still to go: from the total duration while at most half is done, else
    // extrapolated from the time studied; never below 0.
    int RemainingSeconds() const;
};

}  // namespace corv
