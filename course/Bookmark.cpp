#include "course/Bookmark.h"

#include "core/ErrorReport.h"
#include "data/User.h"
#include "engine/analysis/Round.h"

namespace corv {

namespace {

constexpr const char* kNoCourseId = "Course data cannot be saved without course id.";

}  // namespace

std::string TBookMark::Key(const char* name) const {
    return "Crs." + CourseId + "." + name;
}

void TBookMark::Load(TUser& user, bool applyKeyLevel) {
    if (Mode == kReview) return;
    if (CourseId.empty()) {
        ReportError(-4000, kNoCourseId);
        return;
    }
    Chapter = user.GetInteger(Key("Chapter"));
    Exercise = user.GetInteger(Key("Exercise"));
    Event = user.GetInteger(Key("Event"));
    CompletedExercises = user.GetInteger(Key("CompExc"));
    TotalExercises = user.GetInteger(Key("TotalExc"));
    TimeStudied = user.GetInteger(Key("Time"));
    // A user who never chose a duration gets the course's default.
    Duration =
        user.GetText(Key("Duration")).empty() ? kCourseDefault : user.GetInteger(Key("Duration"));
    DurationSet = user.GetBool(Key("DurationSet"));
    KeyLevel = user.GetInteger(Key("KeyLevel"));
    if (!applyKeyLevel) return;
    user.storedKeyLevel = KeyLevel;
    user.ResetKeyLevel();
    user.RaiseKeyLevel(KeyLevel);
}

void TBookMark::Save(TUser& user) {
    if (Mode == kReview) return;
    if (CourseId.empty()) {
        ReportError(-4000, kNoCourseId);
        return;
    }
    user.SetInteger(Key("Chapter"), Chapter);
    user.SetInteger(Key("Exercise"), Exercise);
    user.SetInteger(Key("Event"), Event);
    user.SetInteger(Key("CompExc"), CompletedExercises);
    user.SetInteger(Key("TotalExc"), TotalExercises);
    user.SetInteger(Key("Time"), TimeStudied);
    user.SetInteger(Key("Duration"), Duration);
    user.SetInteger(Key("CompPrc"), PercentComplete());
    user.SetBool(Key("DurationSet"), DurationSet);
    KeyLevel = user.keyLevel;
    user.storedKeyLevel = user.keyLevel;
    user.SetInteger(Key("KeyLevel"), KeyLevel);
    Duration = user.GetInteger(Key("Duration"));
}

int TBookMark::PercentComplete() const {
    if (TotalExercises <= 0) return 0;
    return static_cast<int>(
        analysis::DivRoundEven(static_cast<int64_t>(CompletedExercises) * 100, TotalExercises));
}

int TBookMark::RemainingSeconds() const {
    const int percent = PercentComplete();
    int64_t remaining;
    if (percent <= 50)
        remaining = static_cast<int64_t>(TotalDuration) - TimeStudied;
    else
        remaining =
            analysis::DivRoundEven(static_cast<int64_t>(100 - percent) * TimeStudied, percent);
    return remaining < 0 ? 0 : static_cast<int>(remaining);
}

}  // namespace corv
