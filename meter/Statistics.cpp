// The statistics half of the controller: the user's day, week and month figures and the
// lifetime counters, and the roll-over from one day to the next.

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

#include "core/DateTime.h"
#include "core/Utility.h"
#include "data/DifficultKeys.h"
#include "data/User.h"
#include "engine/analysis/Analyzer.h"
#include "engine/analysis/Round.h"
#include "engine/analysis/Scores.h"
#include "meter/TrayMain.h"

namespace corv::meter {
namespace {

constexpr int kSecondsPerDay = 86400;

std::string Key(const char* name, int n) {
    return std::string(name) + std::to_string(n);
}

// A stored count read back: never negative, never beyond what a day can hold.
int32_t Count(TUser& user, const std::string& key, int32_t max = INT32_MAX) {
    return std::clamp(user.GetInteger(key), 0, max);
}
uint64_t Counter(TUser& user, const char* key) {
    return static_cast<uint64_t>(std::max<int64_t>(user.GetInt64(key), 0));
}

}  // namespace

void TTrayMain::ClearDaily(int weekday) {
    TUser* user = CurrentUser();
    if (!user) return;
    for (const char* name :
         {"TotalHits.day", "TypedWords.day", "TypingSeconds.day", "ProblemIndex.day"})
        user->SetInteger(Key(name, weekday), 0);
}

void TTrayMain::RestoreDay() {
    TUser& user = *CurrentUser();
    TEfficiencyInfo& fig = Analysis().Efficiency();
    fig.NetKeys = Count(user, Key("TotalHits.day", currentDay_));
    fig.WordsTyped = Count(user, Key("TypedWords.day", currentDay_));
    Analysis().Timer().SetSeconds(
        Count(user, Key("TypingSeconds.day", currentDay_), kSecondsPerDay));
}

void TTrayMain::DailyLoad() {
    TUser& user = *CurrentUser();
    TEfficiencyInfo& fig = Analysis().Efficiency();
    fig.NetKeys = 0;
    fig.WordsTyped = 0;
    Analysis().Timer().Reset();
    Analysis().Timer2().Reset();
    const int today = Today();
    const double last = std::floor(user.GetReal("Lastdate"));
    currentDate_ = today;
    currentDay_ = Weekday(today);
    if (last != today) {
        // The weekdays between the last stored day and today saw no typing.
        const double gap = today - last;
        const int n = gap > 6 ? 8 : static_cast<int>(gap);
        int day = currentDay_;
        for (int i = 1; i < n; ++i) {
            day = day == 1 ? 7 : day - 1;
            ClearDaily(day);
        }
    } else {
        RestoreDay();
    }
    wordsAtLastCancel_ = fig.WordsTyped;
}

void TTrayMain::WeeklyStore(int date) {
    TUser& user = *CurrentUser();
    int y = 0, m = 0, d = 0;
    DecodeDate(date, y, m, d);
    const int week = WeekNumber(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
    const int32_t hits = user.GetInteger(Key("TotalHits.day", currentDay_));
    const int32_t seconds = user.GetInteger(Key("TypingSeconds.day", currentDay_));
    user.SetInteger(Key("SaSp", week), hits);
    user.SetInteger(Key("SaTi", week), seconds);
    user.SetInteger(Key("SaWSp", d), hits);
    user.SetInteger(Key("SaWTi", d), seconds);
}

void TTrayMain::DailyStore(int mode) {
    TUser* userPtr = CurrentUser();
    if (!userPtr) return;
    TUser& user = *userPtr;
    const int today = Today();
    // Dates, not weekdays: a week away lands on the same weekday.
    if (today == currentDate_ && mode != 2) return;

    TEfficiencyInfo& fig = Analysis().Efficiency();
    const int32_t hits = std::max(fig.NetKeys, 0);
    const int32_t words = std::max(fig.WordsTyped, 0);
    const int seconds = Analysis().Timer().Seconds();
    const int problem = OverallDifficulty(ActiveDifficultKeys());
    user.SetInteger(Key("TotalHits.day", currentDay_), hits);
    user.SetInteger(Key("TypedWords.day", currentDay_), words);
    user.SetInteger(Key("TypingSeconds.day", currentDay_), seconds);
    user.SetInteger(Key("ProblemIndex.day", currentDay_), problem);

    // Records; a few seconds of typing say nothing about the day's speed.
    const double now = options_.now();
    auto record = [&](const char* key, int value) {
        if (user.GetInteger(key) < value) {
            user.SetInteger(key, value);
            user.SetReal(std::string(key) + ".Date", now);
        }
    };
    if (seconds >= kMinRecordSeconds)
        record("Speed.TopTen",
               static_cast<int>(analysis::DivRoundEven(int64_t{hits} * 60, seconds)));
    record("TypingSeconds.TopTen", seconds);
    record("TypedWords.TopTen", words);
    record("ProblemIndex.TopTen", problem);
    WeeklyStore(currentDate_);

    if (today != currentDate_) {
        // Every day in the gap, and the new day itself, start empty.
        for (int date = currentDate_ + 1, n = 0; date < today && n < 7; ++date, ++n)
            ClearDaily(Weekday(date));
        currentDate_ = today;
        currentDay_ = Weekday(today);
        ClearDaily(currentDay_);
        user.SetInteger(Key("ProblemIndex.day", currentDay_), problem);
    }
    fig.NetKeys = 0;
    fig.WordsTyped = 0;
    Analysis().Timer().SetSeconds(0);
    if (std::floor(user.GetReal("Lastdate")) != today)
        user.SetInteger("VantorDays.counter", user.GetInteger("VantorDays.counter") + 1);
    user.SetInteger("CurrentDay", currentDay_);
    user.SetReal("Lastdate", today);
}

void TTrayMain::LoadStatistics(const std::string& name, bool open) {
    if (open) {
        std::unique_ptr<TUser> user = TUser::Open(name, -1, TUser::kExclusive, false);
        if (!user) throw std::runtime_error("Userfile not opened!");
        SetCurrentUser(std::move(user));
    }
    TUser* user = CurrentUser();
    if (!user) throw std::runtime_error("Userfile not opened!");
    DailyLoad();
    counters_.totalHits = Counter(*user, "totalHits");
    counters_.monitoredHits = Counter(*user, "monitoredHits");
    counters_.arrowHits = Counter(*user, "ArrowHits");
    counters_.backSpaces = Counter(*user, "BackSpaces");
    counters_.mouseClicks = Counter(*user, "MouseClicks");
    infoTop_ = user->GetInteger("InfoWinTop");
    infoLeft_ = user->GetInteger("InfoWinLeft");
    infoWidth_ = user->GetInteger("InfoWinWidth");
    infoHeight_ = user->GetInteger("InfoWinHeight");
    infoVisible_ = user->GetInteger("InfoWinVisible");
    notifyWhenDifficulties_ = user->GetBool("NotifyWhenDifficulties");
    pagesSetting_ = user->GetInteger("PagesTrackBar.position");
    breakSetting_ =
        user->GetBool("NotifyWhenBreak") ? user->GetInteger("BreakTrackBar.position") : 0;
}

void TTrayMain::WriteCounters(TUser& user) {
    user.SetInt64("totalHits", static_cast<int64_t>(counters_.totalHits));
    user.SetInt64("monitoredHits", static_cast<int64_t>(counters_.monitoredHits));
    user.SetInt64("ArrowHits", static_cast<int64_t>(counters_.arrowHits));
    user.SetInt64("BackSpaces", static_cast<int64_t>(counters_.backSpaces));
    user.SetInt64("MouseClicks", static_cast<int64_t>(counters_.mouseClicks));
}

void TTrayMain::SaveStatistics() {
    TUser* user = CurrentUser();
    if (!user) return;
    DailyStore(2);
    WriteCounters(*user);
    user->SetInteger("InfoWinTop", infoTop_);
    user->SetInteger("InfoWinLeft", infoLeft_);
    user->SetInteger("InfoWinWidth", infoWidth_);
    user->SetInteger("InfoWinHeight", infoHeight_);
    user->SetInteger("InfoWinVisible", infoVisible_);
    user->SaveUser();  // settings, key tables and words, monitored applications
    SetCurrentUser(nullptr);
}

void TTrayMain::Checkpoint() {
    TUser* user = CurrentUser();
    if (!enabled_ || !user) return;
    const bool running = Analysis().Timer().Running();
    DailyStore(2);
    RestoreDay();
    if (running) Analysis().Timer().Start();
    WriteCounters(*user);
    user->SaveUser();
}

}  // namespace corv::meter
