#include "course/EventLoader.h"

#include "core/Cp1252.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextUtil.h"
#include "course/Bookmark.h"
#include "course/Chapter.h"
#include "course/CourseServices.h"
#include "course/Exercise.h"
#include "data/Results.h"
#include "data/User.h"

namespace corv {

namespace {

std::string Field(const std::vector<std::string>& fields, size_t i) {
    return i < fields.size() ? fields[i] : std::string();
}

// Characters 7 to 546 of a line that starts with a five-letter key and "=".
std::string LoaderLine(const std::string& line) {
    if (line.size() >= 6 && line[5] == '=') return line.substr(0, 5) + ";" + line.substr(6, 540);
    return line;
}

std::string PlayerName(TUser& user) {
    TDynamicSettings* policy = CorvSettings::Policy();
    std::string name = user.DisplayName();
    if ((policy && policy->GetBool("hide_topten_names")) || ToUpper(name) == "VISITOR%%")
        return Str(17);
    return name;
}

}  // namespace

std::vector<std::string> TEventLoader::SplitLine(const std::string& line) {
    return SplitWords(LoaderLine(line), "=;");
}

TEventLoader::TEventLoader(const std::string& line) : Line(line) {
    Params = SplitLine(line);
    Key = ToUpper(Field(Params, 0));
    EventType = ToUpper(Field(Params, 1));
    int minutes = settings_format::ParseInt32(Field(Params, 2)).value_or(0);
    // A negative duration would end up as a negative time limit.
    Minutes = minutes < 0 ? 0 : minutes;
}

int TEventLoader::ChapterNumber() const {
    return Exercise ? Exercise->ChapterNumber() : 0;
}
int TEventLoader::ExerciseNumber() const {
    return Exercise ? Exercise->Number : 0;
}

int TEventLoader::LimitCode(int code) {
    if (code >= 600) return code;
    if (code < 0 || code > 7) return 0;
    return code;
}

int TEventLoader::MapViewAnswer(int answer) {
    switch (answer) {
        case 0:
            return 0;
        case 1:
            return 1;
        case 98:
            return 5;
        case 97:
            return 7;
        default:
            return answer >= 600 ? answer : 4;
    }
}

int TEventLoader::Execute() {
    int code = 0;
    StoredChecked = false;
    Completed = false;
    TUser* user = CurrentUser();

    std::string keySet;
    if (KeyLevel > 0 && user) keySet = user->KeysUpToLevel(KeyLevel);
    if (user) {
        user->ResetKeyLevel();
        user->RaiseKeyLevel(KeyLevel);
    }

    const EventTypeInfo* info = FindEventType(EventType);
    std::unique_ptr<TEventRun> run = info && *info->resultKind ? CreateEventRun(*this) : nullptr;
    if (!run) return 1;
    const std::string recordedType = info->resultKind;  // "EXAMINTERNAL" records "EXAM"
    const bool builder = recordedType == "BUILDER";

    TResultItem record;
    record.Index = user ? user->Results().Count() : 0;
    record.Source = Source;
    record.Name = Name;
    record.CharsPerWord = info->textCharsPerWord ? CorvSettings::CharsPerWord() : 1;
    if (Source != "BKM") {
        record.Identifier = Identifier;
    } else {
        record.CourseId = CourseId;
        record.Chapter = ChapterNumber();
        record.Exercise = ExerciseNumber();
        record.EventNumber = Index;
    }

    TEventPrep prep;
    prep.resultKind = recordedType;
    prep.courseId = CourseId;
    if (Exercise && Exercise->Bookmark) {
        prep.hasPages = true;
        prep.pageNumber = Exercise->Bookmark->Event;
        for (const auto& e : Exercise->Events) {
            if (e->EventType != "HTMLMESSAGE") break;
            ++prep.pageCount;
        }
    }
    prep.dynamicDuration = DynamicDuration;
    prep.showCancel = ShowCancel;
    prep.showMenu = ShowMenu;
    prep.timeLimit = Seconds > 0 ? Seconds : 0;
    prep.keySet = keySet;
    prep.keyLevel = KeyLevel;
    prep.wordList = WordList.empty() ? nullptr : &WordList;

    const int closeResult = run->Execute(prep, record);
    LastCloseResult = closeResult;
    code = closeResult;

    if (record.Kind == "TEST" && ChapterNumber() > 0)
        record.Name +=
            " (" + std::to_string(ChapterNumber()) + "." + std::to_string(ExerciseNumber()) + ")";

    if (!user) return LimitCode(code);

    ElapsedSeconds = record.ElapsedSeconds;
    user->SetInteger("TimeStudied", user->GetInteger("TimeStudied") + ElapsedSeconds);
    record.CumulativeSeconds = ElapsedSeconds + AccumulatedSeconds;
    AccumulatedSeconds = record.CumulativeSeconds;

    TResultViewRequest request;
    request.record = &record;
    request.keyLevel = KeyLevel;
    request.keySet = keySet;
    request.goals = run->Goals();
    request.goalsShown = request.goals.active;
    run.reset();

    if (closeResult == 0) {
        record.Checked = record.Completed;
        Completed = record.Completed;
    }
    if (ResultShowMode != 1 && (closeResult == 1 || closeResult == 3)) {
        record.Checked = true;
        Completed = true;
        const std::function<int(const TResultViewRequest&)>* view = nullptr;
        if (builder && ResultShowMode == 0) {
            if (record.Kind != "GAME") view = &Hooks().reviewResult;
        } else if (record.Kind != "GAME") {
            if (ResultShowMode == 0 && record.Kind != "STD" && record.Kind != "TIME")
                view = &Hooks().exerciseResult;
        } else {
            request.playerName = PlayerName(*user);
            request.gameName = info->gameName ? info->gameName : "";
            view = &Hooks().topTen;
        }
        if (view && *view) code = MapViewAnswer((*view)(request));
    }

    if (StoreResult) {
        bool keep = true;
        if (!record.Valid && record.TypingSeconds < 10) record.Checked = false;
        if ((recordedType == "EXAM" || recordedType == "EXAM2") && record.TypingSeconds < 11)
            keep = false;
        if (record.Kind == "TEST" && !record.Passed) record.Checked = false;
        if (record.Kind != "TEST") {
            SetTestCompleted(true);
        } else if (record.TypingSeconds > 10) {
            SetTestCompleted(true);
        } else {
            Completed = false;
            keep = false;
        }
        if (keep) {
            StoredChecked = record.Checked;
            user->Results().Add(record);
            user->SaveUser();
        }
    }
    if (!Completed) user->Results().UncheckSuperseded(record);
    return LimitCode(code);
}

}  // namespace corv
