#include "course/CourseSummary.h"

#include <algorithm>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/TextFiles.h"
#include "core/Utility.h"
#include "course/Contents.h"
#include "engine/analysis/Round.h"

namespace corv {

std::string CourseBaseName(const std::string& file) {
    std::string base = fs::BaseName(fs::NormalizeSeparators(file));
    const size_t dot = base.find('.');
    return dot == std::string::npos ? base : base.substr(0, dot);
}

std::string WithCntExtension(const std::string& name) {
    if (name.empty()) return name;
    const std::string base = fs::BaseName(fs::NormalizeSeparators(name));
    return base.size() > 4 && EqualsNoCase(base.substr(base.size() - 4), ".cnt") ? name
                                                                                 : name + ".cnt";
}

bool CourseFileExists(const std::string& file) {
    return !file.empty() && fs::FileExists(TContents::PathOf(file));
}

bool IsOldCourseVersion(const std::string& version) {
    return version == "1.0" || version == "1.00" || version == "1.10" || version.rfind('4', 0) == 0;
}

std::string HoursMinutes(int minutes) {
    return MinutesText(minutes < 0 ? 0 : minutes);
}

std::string DurationOptionsText(const TContents& course) {
    std::string list;
    for (const std::string& d : course.LessonDurations) list += (list.empty() ? "" : ",") + d;
    return list;
}

std::vector<int> DurationOptions(const TContents& course) {
    return ParseDurationList(DurationOptionsText(course));
}

CourseSummary ReadCourseHeader(const std::string& file) {
    CourseSummary s;
    s.file = file;
    s.id = TContents::CourseIdOf(file);
    TStreamFile f;
    if (f.Open(TContents::PathOf(file), 1) != kFileOk) return s;
    s.title = f.description.empty() ? CourseBaseName(file) : f.description;
    s.description = f.longDescription;
    s.language = f.language;
    s.version = f.version;
    return s;
}

std::pair<int, int> CourseEstimate(TContents& course) {
    const int lessons = course.ChapterCount();
    const std::vector<int> options = DurationOptions(course);
    if (course.StaticDurations && !options.empty() && lessons > 0) {
        const int estimate = course.TotalMinutes();
        const int first = options.front();
        const int third = options.size() >= 3 ? options[2] : options.back();
        if (first > 0 && third > 0) {
            const double perLesson = double(first) * lessons / third;
            const int high = static_cast<int>(analysis::RoundEven(estimate / perLesson * lessons));
            return {estimate, std::max(estimate, high)};
        }
        return {estimate, estimate};
    }
    return {lessons * 25, lessons * 45};
}

CourseSummary SummariseCourse(const std::string& file) {
    CourseSummary s = ReadCourseHeader(file);
    auto course = TContents::IndexOnly(file);
    if (course->Status() != 0) return s;
    s.loaded = true;
    s.lessons = course->ChapterCount();
    s.percent = course->Bookmark.PercentComplete();
    s.workDone = course->Bookmark.CompletedExercises > 0 || course->Bookmark.Chapter > 1 ||
                 course->Bookmark.TimeStudied > 0;
    const auto [low, high] = CourseEstimate(*course);
    s.durationText = HoursMinutes(low) + " - " + HoursMinutes(high) + " " + Str(1875);
    s.icon = course->CourseIcon;
    return s;
}

}  // namespace corv
