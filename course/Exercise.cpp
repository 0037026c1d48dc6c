#include "course/Exercise.h"

#include "core/Cp1252.h"
#include "core/Settings.h"
#include "course/Bookmark.h"
#include "course/Chapter.h"
#include "course/CourseServices.h"
#include "course/CourseStream.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"

namespace corv {

namespace {

// "event_" + qualifier: the current layout's material set or code, or the user's layout role.
bool QualifierMatches(const std::string& qualifier) {
    const std::string q = ToLower(qualifier);
    if (q.empty()) return false;
    if (TKeyDataExt* layout = CurrentLayout()) {
        if (q == ToLower(layout->materialBase) || q == ToLower(layout->layoutCode)) return true;
    }
    if (TUser* user = CurrentUser()) {
        if (!user->layoutRole.empty() && q == ToLower(user->layoutRole)) return true;
    }
    return false;
}

}  // namespace

TExercise::TExercise(TCourseStream& stream, bool staticDurations, TBookMark* bookmark)
    : StaticDurations(staticDurations), Bookmark(bookmark), SourceLine(stream.LineNumber()) {
    if (stream.Status() != kFileOk) {
        CourseMessage("Exercise object: File error", stream.Path(), stream.LineNumber());
        return;
    }
    TCourseStream::Parsed p;
    while (stream.NextEntry(p, "Exercise", "exercise")) {
        const bool given = p.words.size() > 1;
        const std::string& key = p.key;
        if (key == "end exercise") break;
        if (key == "notes") {
            if (given) Notes = p.words[1].substr(0, 255);
        } else if (key == "type") {
            if (given)
                Name = p.words[1].substr(0, 255);
            else
                CourseMessage("Contents/Exercise: missing type entry", stream.Path(),
                              stream.LineNumber());
        } else if (key == "duration") {
            if (given) Weight = settings_format::ParseInt32(p.words[1]).value_or(0);
        } else if (key == "event" ||
                   (key.rfind("event_", 0) == 0 && QualifierMatches(key.substr(6)))) {
            auto loader = std::make_unique<TEventLoader>(p.trimmed);
            loader->Exercise = this;
            loader->Name = Name;
            loader->SourceLine = stream.LineNumber();
            TotalMinutes += loader->Minutes;
            Events.push_back(std::move(loader));
            Events.back()->Index = EventCount();
            if (EventCount() > kWarnEvents)
                CourseMessage("Exercise object: overflow max 20 events", stream.Path(),
                              stream.LineNumber());
        } else if (key.rfind("event_", 0) == 0) {
            // An event for another layout: not part of this run, still read by the check.
            if (CollectingCourseProblems()) {
                OtherLayoutEvents.push_back(std::make_unique<TEventLoader>(p.trimmed));
                OtherLayoutEvents.back()->SourceLine = stream.LineNumber();
            }
        } else {
            CourseNote("unknown key \"" + p.words[0] + "\" in an exercise", stream.Path(),
                       stream.LineNumber());
        }
    }
}

TExercise::~TExercise() = default;

int TExercise::ChapterNumber() const {
    return Chapter ? Chapter->Number : 0;
}

bool TExercise::MessageOnly() const {
    for (const auto& e : Events)
        if (e->EventType != "HTMLMESSAGE") return false;
    return true;
}

std::string TExercise::EventTypeAt(int index) const {
    if (index < 1 || index > EventCount()) return {};
    return Events[static_cast<size_t>(index - 1)]->EventType;
}

void TExercise::SetKeyLevel(int level) {
    KeyLevel = level;
    for (auto& e : Events) e->KeyLevel = level;
}

void TExercise::SetDurations(int offset) {
    if (offset < 0) offset = 0;
    // The totals start afresh: the chapter divides the time more than once.
    TotalMinutes = 0;
    if (StaticDurations) {
        int totalOffset = offset;
        if (MessageOnly()) {
            NoOffset = false;
            totalOffset = 0;
        }
        for (auto& e : Events) {
            e->DynamicDuration = NoOffset;
            // The line's own minutes make the event timed; the offset only lengthens it.
            if (e->Minutes > 0) {
                e->Seconds = (offset + e->Minutes) * 60;
                TotalMinutes += totalOffset + e->Minutes;
            } else {
                e->Seconds = 0;
            }
        }
        return;
    }
    TotalMinutes = offset;
    MinutesSum = 0;
    for (auto& e : Events) MinutesSum += e->Minutes;
    if (MinutesSum == 0) MinutesSum = 1;
    for (auto& e : Events) {
        const double seconds = offset * (static_cast<double>(e->Minutes) / MinutesSum) * 60;
        e->Seconds = seconds > 0 ? static_cast<int32_t>(seconds) : 0;
    }
}

int TExercise::Run(bool& completed) {
    int code = 99;
    int accumulated = 0;
    completed = false;
    if (!Bookmark) return -1301;
    if (Bookmark->Event <= 0) Bookmark->Event = 1;
    if (Bookmark->Event > EventCount()) return -1301;
    if (Hooks().freezeTransitions) Hooks().freezeTransitions(true);
    while (true) {
        TEventLoader& loader = *Events[static_cast<size_t>(Bookmark->Event - 1)];
        loader.AccumulatedSeconds = accumulated;
        loader.Source = "BKM";
        loader.CourseId = Bookmark->CourseId;
        loader.ResultShowMode = Bookmark->ResultShowMode;
        loader.StoreResult = Bookmark->Active;
        code = loader.Execute();
        accumulated = loader.AccumulatedSeconds;
        Bookmark->TimeStudied += loader.ElapsedSeconds;
        TUser* user = CurrentUser();
        if (user) Bookmark->CompletedExercises = user->Results().CheckedCount(Bookmark->CourseId);
        if (code == 0) {
            ++Bookmark->Event;
            break;
        }
        if (code == 2) break;
        if (user && user->storedKeyLevel < user->keyLevel) user->storedKeyLevel = user->keyLevel;
        if (code == 4) break;
        ++Bookmark->Event;
        if (code > 4 || Bookmark->Event > EventCount()) break;
    }
    if (Hooks().freezeTransitions) Hooks().freezeTransitions(false);
    if (Bookmark->Event > EventCount()) {
        completed = Events.back()->StoredChecked;
        if (code >= 1 && code <= 4) code = 1;
    }
    return code;
}

}  // namespace corv
