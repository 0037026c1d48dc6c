#include "course/Chapter.h"

#include <cmath>

#include "core/Cp1252.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextUtil.h"
#include "core/UserInterface.h"
#include "course/Contents.h"
#include "course/CourseServices.h"
#include "course/CourseStream.h"
#include "data/DifficultKeys.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "engine/analysis/Round.h"
#include "engine/analysis/Scores.h"

namespace corv {

namespace {

bool IsTrue(const std::string& value) {
    return value == "1" || EqualsNoCase(value, "true");
}

// A code of the lesson page that runs an exercise.
bool RunsExercise(int code) {
    switch (code) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 15:
        case 17:
            return false;
        default:
            return true;
    }
}

void TakeIndices(int (&figures)[4]) {
    figures[0] = OverallDifficulty();
    figures[1] = KeyScore8();
    figures[2] = KeyScore6();
    figures[3] = WordScore();
}

}  // namespace

bool BypassesChapterLock() {
    TUser* user = CurrentUser();
    return user && (user->LBool("bypass_chapter_lock", 2) || user->GetBool("bypass_chapter_lock"));
}

TChapter::TChapter(TCourseStream& stream, TContents& contents, int number, bool indexOnly)
    : IndexOnly(indexOnly),
      StaticDurations(contents.StaticDurations),
      Bookmark(&contents.Bookmark),
      Contents(&contents),
      Number(number),
      SourceLine(stream.LineNumber()) {
    // The user's study time for this course, before the section is read.
    TUser* user = CurrentUser();
    const std::string& id = contents.CourseId;
    if (!id.empty()) {
        const std::string key = id + ".StudyingTime";
        const bool missing = !user || user->LText(key, 1).empty();
        StudyTime = missing || Bookmark->Mode == TBookMark::kReview || contents.ForCheckLoad
                        ? Bookmark->Duration
                        : user->LInteger(key, 1);
    } else {
        StudyTime = user ? user->LInteger("StudyingTime", 1) : Bookmark->Duration;
    }
    // The course default (-2) or no choice gives the lesson no time of its own.
    LessonDuration = StudyTime > 0 ? StudyTime : 0;
    ReadSection(stream);
    DivideTime();
}

TChapter::~TChapter() = default;

TExercise* TChapter::ExerciseAt(int number) const {
    if (number < 1 || number > ExerciseCount()) return nullptr;
    return Exercises[static_cast<size_t>(number - 1)].get();
}

void TChapter::AddNewKeys(const std::string& value) {
    const std::string keys = TrimBlanks(value);
    NewKeysText += keys == "SEMICOLON" ? std::string(";") : keys;
    if (NewKeysText.size() > 255) NewKeysText.resize(255);
    TUser* user = CurrentUser();
    if (!IndexOnly && user)
        KeyLevel = user->AddKeys(keys);
    else
        KeyLevel = ++Contents->indexKeyCount;
}

void TChapter::ReadSection(TCourseStream& stream) {
    if (stream.Status() != kFileOk) {
        CourseMessage("Chapter object: File error #" + std::to_string(stream.Status()),
                      stream.Path(), stream.LineNumber());
        return;
    }
    TKeyDataExt* layout = CurrentLayout();
    const std::string materialBase = layout ? ToLower(layout->materialBase) : std::string();
    TCourseStream::Parsed p;
    while (stream.NextEntry(p, "Chapter", "chapter")) {
        const bool given = p.words.size() > 1;
        const std::string value = given ? p.words[1] : std::string();
        const std::string& key = p.key;
        if (key == "end chapter") break;
        if (key == "chapter name") {
            if (p.words.size() > 2)
                Title = p.words[2].substr(0, 255);
            else
                CourseNote("\"chapter name\" needs a number and a title (chapter name=1;Title)",
                           stream.Path(), stream.LineNumber());
        } else if (key == "extradesc") {
            ExtraDescription = value.substr(0, 255);
        } else if (key == "picture") {
            if (given) Picture = value.substr(0, 255);
        } else if (key == "hideexercises") {
            HideExercises = IsTrue(value);
        } else if (key.rfind("new keys", 0) == 0) {
            KeyLines.push_back(p.words[0] + "=" + value);
            const bool mine =
                key == "new keys" || (!materialBase.empty() && key == "new keys_" + materialBase);
            if (mine) {
                if (given)
                    AddNewKeys(value);
                else
                    CourseMessage("Contents/Chapter: missing new keys entry", stream.Path(),
                                  stream.LineNumber());
            }
        } else if (key == "durationpercent") {
            const int percent = settings_format::ParseInt32(value).value_or(0);
            const int64_t minutes =
                static_cast<int64_t>(percent) * (StudyTime > 0 ? StudyTime : 0) / 100;
            LessonDuration = minutes > 0 ? static_cast<int32_t>(minutes) : 0;
        } else if (key == "begin exercise") {
            auto exercise = std::make_unique<TExercise>(stream, StaticDurations, Bookmark);
            if (ExerciseCount() >= kMaxExercises) {
                CourseNote("exercise beyond the 200th of a chapter is ignored", stream.Path(),
                           stream.LineNumber());
                continue;
            }
            exercise->Chapter = this;
            exercise->KeyLines = KeyLines;
            Exercises.push_back(std::move(exercise));
            TExercise& e = *Exercises.back();
            e.Number = ExerciseCount();
            if (e.Number == kWarnExercises)
                CourseMessage("Chapter object: overflow max 200 Exercises", stream.Path(),
                              stream.LineNumber());
            if (KeyLevel == 0 && e.KeyLevel == 0) {
                TUser* user = CurrentUser();
                KeyLevel = !IndexOnly && user ? static_cast<int>(user->keyProgression.size())
                                              : Contents->indexKeyCount;
            }
            if (KeyLevel >= e.KeyLevel) e.SetKeyLevel(KeyLevel);
            totalWeight_ += e.Weight;
            weights_.push_back(e.Weight);
            ++Bookmark->TotalExercises;
        } else {
            CourseNote("unknown key \"" + p.words[0] + "\" in a chapter", stream.Path(),
                       stream.LineNumber());
        }
    }
}

void TChapter::DivideTime() {
    const int total = totalWeight_ == 0 ? 1 : totalWeight_;
    if (StaticDurations) {
        int offset = StudyTime - 1;
        if (offset < 0) {
            offset = 0;
            NoOffset = true;
        }
        int sum = 0;
        for (auto& e : Exercises) {
            e->NoOffset = NoOffset;
            e->SetDurations(offset);
            sum += e->TotalMinutes;
        }
        LessonDuration = sum;
        return;
    }
    TDynamicSettings* policy = CorvSettings::Policy();
    for (size_t i = 0; i < Exercises.size(); ++i) {
        TExercise& e = *Exercises[i];
        const double share = static_cast<double>(weights_[i]) / total;
        int base = e.MessageOnly() && LessonDuration != 0 ? Contents->DefaultTime : LessonDuration;
        if (base < 0) base = 0;  // no default time given
        double minutes = base * share;
        const std::string first = e.EventTypeAt(1), second = e.EventTypeAt(2);
        if (first.rfind("EXAM", 0) == 0 || second.rfind("EXAM", 0) == 0) {
            const int exam =
                policy ? policy->GetInteger(Contents->CourseId + ".chapter_exam_duration") : 0;
            if (exam > 0) {
                LessonDuration = exam;
                minutes = exam;
            }
        }
        e.SetDurations(static_cast<int>(analysis::RoundEven(minutes)));
    }
}

int TChapter::TotalMinutes() {
    if (!StaticDurations) return LessonDuration;
    // Without the offset; the exercises keep the limits they were given.
    int sum = 0;
    for (auto& e : Exercises)
        for (auto& ev : e->Events) sum += ev->Minutes;
    return sum;
}

bool TChapter::Locked() const {
    TDynamicSettings* policy = CorvSettings::Policy();
    if (!policy || !policy->GetBool(Contents->CourseId + ".chapter_lock")) return false;
    if (IndexOnly || !Bookmark->Active) return false;
    if (BypassesChapterLock()) return false;
    TUser* user = CurrentUser();
    if (!user) return false;
    for (const auto& e : Exercises)
        if (!user->Results().IsExerciseDone(Contents->CourseId, Number, e->Number)) return true;
    return false;
}

bool TChapter::CheckLock() const {
    if (!Locked()) return false;
    ui::Message(Str(111), Str(112), ui::Icon::kWarning, ui::Buttons::kOk, {111, 112});
    return true;
}

int TChapter::RunLessonDone() {
    if (Locked()) return 0;
    LessonDoneRequest request;
    request.chapter = this;
    request.bookmark = Bookmark;
    request.lastLesson = Number >= Contents->ChapterCount();
    if (!request.lastLesson) {
        std::vector<std::string> titles = Contents->LessonTitles(false, false);
        if (static_cast<size_t>(Number) < titles.size())
            request.nextLessonTitle = titles[static_cast<size_t>(Number)];
    }
    return Hooks().lessonDone ? static_cast<int>(Hooks().lessonDone(request)) : 1;
}

int TChapter::Run(bool& pastEnd) {
    pastEnd = false;
    if (Bookmark->Exercise <= 0) Bookmark->Exercise = 1;
    Bookmark->CurrentLessonTitle = Title;
    const bool review = Bookmark->Mode == TBookMark::kReview;
    int before[4] = {0, 0, 0, 0};
    if (review) TakeIndices(before);
    const int count = ExerciseCount();
    if (Bookmark->Exercise > count + 1) {
        Bookmark->Exercise = count + 1;
        return -1202;
    }
    bool firstRound = true;
    while (true) {
        int code;
        int chosen = Bookmark->Exercise;
        if (HideExercises) {
            code = firstRound ? 1 : 4;
            if (firstRound) chosen = 1;
        } else {
            LessonPageRequest page;
            page.chapter = this;
            page.bookmark = Bookmark;
            page.selected = Bookmark->Exercise;
            page.review = review;
            page.caption = Caption;
            if (review) {
                page.headingString = 567;  // Str(567)
                page.textString = 328;     // Str(328)
                for (int i = 0; i < 4; ++i) page.before[i] = before[i];
                TakeIndices(page.now);
            } else {
                page.previousAllowed = Number > 1;
                page.nextAllowed = Number < Contents->ChapterCount();
            }
            code = Hooks().lessonPage ? static_cast<int>(Hooks().lessonPage(page)) : 0;
            chosen = page.selected;
        }
        firstRound = false;
        // Closed from outside (a menu section, Exit): the lesson ends, nothing runs.
        if (code == 0) return 0;
        if (chosen == 0) {
            if (RunsExercise(code)) code = 3;
        } else {
            Bookmark->Exercise = chosen;
        }

        bool runExercise = false;
        if (code == 15) {
            if (review) return 1;
            if (!CheckLock()) {
                Bookmark->Exercise = count;
                const int answer = RunLessonDone();
                return answer == 1 ? 4 : answer;
            }
            runExercise = true;
        } else if (code == 2 || code == 3 || code == 5 || code == 6 || code == 7 || code == 8 ||
                   code == 17) {
            return code;
        } else if (code == 4) {
            return CheckLock() ? 0 : 4;
        } else {
            runExercise = true;
        }
        if (!runExercise) continue;

        if (Bookmark->Exercise > count) {
            pastEnd = true;
            code = review ? 2 : 4;
            if (!CheckLock()) return code;
            pastEnd = false;
            continue;
        }
        Bookmark->Event = 1;
        TExercise& exercise = *ExerciseAt(Bookmark->Exercise);
        bool completed = false;
        code = exercise.Run(completed);
        // Closed from outside while the exercise ran: leave the lesson at once.
        if (code == 0) return 0;
        TUser* user = CurrentUser();
        if (review) ++Bookmark->Exercise;
        if (completed && !review && user) {
            user->RaiseKeyLevel(exercise.KeyLevel);
            ActiveDifficultKeys().SetFilter(user->KeysUpToLevel(user->keyLevel));
        }
        if (completed && !review) {
            if (Bookmark->Exercise < count) {
                ++Bookmark->Exercise;
            } else if (code < 7) {
                const int answer = RunLessonDone();
                if (answer == 0) return 0;
                if (answer == 1) return 4;
            }
        }
        if (code > 4) return code;
    }
}

}  // namespace corv
