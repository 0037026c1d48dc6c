#pragma once
// A course: its contents file (".cnt" in the lessons folder) with the course settings,
// lesson durations and goals, and its chapters; the user's bookmark in it; and the run
// that walks the user from lesson to lesson.
//
// Codes of Study: 0 stop, 1 the course ran past its last lesson (or could not be read),
// 5 to 8 the user leaves for another section (5 course contents, 6 statistics, 7 review,
// 8 change course).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "course/Bookmark.h"
#include "course/Chapter.h"

namespace corv {

// What a run of the course (Study) answers guided studying.
enum class StudyAnswer {
    kStopped = 0,  // closed from outside, or the lesson was left
    kGoOn = 1,     // past the last lesson when Study says so
    kCourseContents = 5,
    kStatistics = 6,
    kReview = 7,
    kChangeCourse = 8,
};

class TContents {
  public:
    // A course to study (mode 0 normal, 2 review); requestedStudyTime -1 keeps the
    // bookmark's duration. Status() is 0 or the failing stream status.
    static std::unique_ptr<TContents> ForStudy(const std::string& file, int mode,
                                               int requestedStudyTime);
    // For lists and previews: the layout, the wizard and the user's key progression stay
    // as they are, and the bookmark is never saved.
    static std::unique_ptr<TContents> IndexOnly(const std::string& file);
    // As IndexOnly, with the time divided for the given duration value (the course check).
    static std::unique_ptr<TContents> ForCheck(const std::string& file, int duration);
    ~TContents();
    TContents(const TContents&) = delete;
    TContents& operator=(const TContents&) = delete;

    int Status() const { return status_; }

    bool NoSemicolonReplacement = false;
    std::string CourseId;
    std::string Keyboard = "ALL";
    std::string KeyboardBase;
    std::string WizardName;
    std::vector<std::unique_ptr<TChapter>> Chapters;
    TBookMark Bookmark;
    bool CustomCourse = false;
    std::string CourseIcon;
    bool AlternateKeyboards = false;
    std::string GoalInfo;
    std::string CourseResourceFile;
    int32_t SpeedBarMaximum = 0;
    int32_t AccuracyBarMinimum = 0;
    int32_t DefaultDurationIndex = 0;
    bool DefaultDurationUsed = false;
    std::vector<std::string> LessonDurations;
    std::vector<std::string> AccuracyGoals;
    int32_t EventDurationMargin = 0;
    int32_t DynamicDurationMargin = 0;
    std::string Language;
    bool IndexOnlyLoad = false;
    int32_t NewKeysLoops = 0;
    int32_t WordLoop = 0;
    int32_t WordMaxLoop = 0;
    int32_t RequestedStudyTime = -1;
    int32_t DefaultTime = -1;  // minutes
    std::string FileName;      // without folder
    std::string ShortName;
    std::string Description;
    std::string LongDescription;
    bool StaticDurations = false;
    std::string Version;  // "$version"

    // One line per chapter: numbered "<string 124> n: title", plain "title", else "n. title".
    std::vector<std::string> LessonTitles(bool numbered, bool plain) const;
    int TotalMinutes();
    int ChapterCount() const { return static_cast<int>(Chapters.size()); }
    TChapter* ChapterAt(int number) const;  // 1-based; null outside

    // Lesson duration n (1-based) in minutes; 0 outside the list or not a number.
    int LessonDurationAt(int n) const;
    // The accuracy goals as numbers, in list order.
    std::vector<int> AccuracyGoalValues() const;

    // Runs the course's lessons from the bookmark on; a StudyAnswer.
    int Study(bool& pastEnd);

    // The full path of a course file name: as given when it has a folder, else in the
    // lessons folder; the existing file in any letter case.
    static std::string PathOf(const std::string& file);
    // "ENGLISH" for "english.cnt".
    static std::string CourseIdOf(const std::string& file);

    // Key levels handed out while an index-only load reads its chapters.
    int32_t indexKeyCount = 0;
    // Loaded by the course check: the time is divided for the duration it gave.
    bool ForCheckLoad = false;

  private:
    TContents() = default;
    void Load(const std::string& file, int mode, int requestedStudyTime, bool indexOnly, bool check,
              int checkDuration);
    void ApplyKeyboard(const std::string& value);
    void ComputeDurations();

    int status_ = 0;
};

// The course being studied now (null when none). Only study loads become it.
TContents* CurrentContents();

// The lesson durations in minutes as the static system offers them.
std::vector<int> ParseDurationList(const std::string& text);

}  // namespace corv
