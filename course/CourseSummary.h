#pragma once
// What the course choice and the course contents show of a course without running it:
// the header (title, description, language, format version), the lesson count, the
// progress and the estimated time. Also the small rules for course file names the
// studying views share. Plain C++; the views turn these into text on the book.

#include <string>
#include <utility>
#include <vector>

namespace corv {

class TContents;

struct CourseSummary {
    std::string file;  // with ".cnt"
    std::string id;
    std::string title;
    std::string description;
    std::string language;
    std::string version;
    int lessons = 0;
    int percent = 0;
    bool workDone = false;
    std::string durationText;  // "5 h - 7 h 30 min estimated"
    std::string icon;          // "crs_icon"
    bool loaded = false;
};
// A course file's header only (title, language, version).
CourseSummary ReadCourseHeader(const std::string& file);
// The whole summary, from a load for display.
CourseSummary SummariseCourse(const std::string& file);
// The estimated time of a course: static time options scale the course's own estimate,
// others take 25 to 45 minutes per lesson. Minutes, low and high.
std::pair<int, int> CourseEstimate(TContents& course);
// The course's static time options ("LessonDurations") as numbers.
std::vector<int> DurationOptions(const TContents& course);
// The same options as the comma list the user's settings keep.
std::string DurationOptionsText(const TContents& course);

// The file name without folder and extension: "speed" for "lessons/Speed.cnt".
std::string CourseBaseName(const std::string& file);
// The name with ".cnt" added unless it has it; empty stays empty.
std::string WithCntExtension(const std::string& name);
// True when the course file is in the lessons folder.
bool CourseFileExists(const std::string& file);
// Header versions of the old course format, which the course list marks.
bool IsOldCourseVersion(const std::string& version);
// Minutes as hours and minutes; below 0 counts as 0.
std::string HoursMinutes(int minutes);

}  // namespace corv
