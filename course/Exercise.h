#pragma once
// An exercise: a short script of event lines inside a lesson, its share of the lesson's
// time, and the run of its events from the user's place in the course.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "course/EventLoader.h"

namespace corv {

class TBookMark;
class TChapter;
class TCourseStream;

class TExercise {
  public:
    static constexpr int kWarnEvents = 18;  // from the 19th on, each event is warned about

    // Reads the section after its "begin exercise" line, up to "end exercise".
    TExercise(TCourseStream& stream, bool staticDurations, TBookMark* bookmark);
    ~TExercise();
    TExercise(const TExercise&) = delete;
    TExercise& operator=(const TExercise&) = delete;

    int32_t Number = 0;
    std::string Name;  // "type"
    int32_t TotalMinutes = 0;
    int32_t Weight = 0;  // "duration"
    int32_t KeyLevel = 0;
    std::vector<std::unique_ptr<TEventLoader>> Events;
    // Events for other layouts, kept only while the course check reads the course.
    std::vector<std::unique_ptr<TEventLoader>> OtherLayoutEvents;
    int32_t MinutesSum = 0;
    bool StaticDurations = false;
    bool NoOffset = false;
    TChapter* Chapter = nullptr;
    TBookMark* Bookmark = nullptr;
    std::string Notes;
    std::vector<std::string> KeyLines;
    int32_t SourceLine = 0;  // the "begin exercise" line

    void SetKeyLevel(int level);
    // Static durations: every timed event gets its own minutes plus the offset; dynamic:
    // the exercise's minutes (the offset) are shared out by the events' minutes.
    void SetDurations(int offset);
    // Runs the events from the bookmark's event number; completed tells whether the last
    // event's result was stored as done.
    int Run(bool& completed);

    int EventCount() const { return static_cast<int>(Events.size()); }
    int ChapterNumber() const;
    // Every event is an HTML message page.
    bool MessageOnly() const;
    // The event types of its first events, for the exam rule.
    std::string EventTypeAt(int index) const;
};

}  // namespace corv
