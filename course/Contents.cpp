#include "course/Contents.h"

#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextUtil.h"
#include "core/UserInterface.h"
#include "course/CourseServices.h"
#include "course/CourseStream.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "engine/analysis/Goals.h"

namespace corv {

namespace {

TContents* current = nullptr;

int ToInt(const std::string& text) {
    return settings_format::ParseInt32(text).value_or(0);
}

void SetCurrent(TContents* contents) {
    current = contents;
    if (Hooks().currentCourseChanged) Hooks().currentCourseChanged(contents);
}

}  // namespace

TContents* CurrentContents() {
    return current;
}

std::vector<int> ParseDurationList(const std::string& text) {
    std::vector<int> minutes;
    for (const std::string& item : SplitWords(text, ","))
        minutes.push_back(ToInt(TrimBlanks(item)));
    return minutes;
}

std::string TContents::PathOf(const std::string& file) {
    // A name that starts at a root or a drive stands as written; others are in the
    // lessons folder, sub-folders included ("speed\\lesson01.png").
    const bool absolute = (!file.empty() && (file[0] == '/' || file[0] == '\\')) ||
                          (file.size() > 1 && file[1] == ':');
    TProgramSettings* ps = ProgramSettings();
    const std::string path = absolute ? file : (ps ? ps->lessonsFolder : std::string()) + file;
    return fs::ResolveCase(fs::NormalizeSeparators(path));
}

std::string TContents::CourseIdOf(const std::string& file) {
    std::string base = fs::BaseName(fs::NormalizeSeparators(file));
    base = base.size() > 4 ? base.substr(0, base.size() - 4) : std::string();
    return ToUpper(base);
}

std::unique_ptr<TContents> TContents::ForStudy(const std::string& file, int mode,
                                               int requestedStudyTime) {
    std::unique_ptr<TContents> c(new TContents());
    c->Load(file, mode, requestedStudyTime, false, false, 0);
    return c;
}

std::unique_ptr<TContents> TContents::IndexOnly(const std::string& file) {
    std::unique_ptr<TContents> c(new TContents());
    c->Load(file, TBookMark::kNormal, -1, true, false, 0);
    return c;
}

std::unique_ptr<TContents> TContents::ForCheck(const std::string& file, int duration) {
    std::unique_ptr<TContents> c(new TContents());
    c->Load(file, TBookMark::kNormal, -1, true, true, duration);
    return c;
}

TContents::~TContents() {
    TUser* user = CurrentUser();
    if (!IndexOnlyLoad && Bookmark.Active && user) Bookmark.Save(*user);
    Chapters.clear();
    // Only the course being studied is forgotten; a list or review load leaves it be.
    if (current == this) SetCurrent(nullptr);
}

void TContents::Load(const std::string& file, int mode, int requestedStudyTime, bool indexOnly,
                     bool check, int checkDuration) {
    FileName = fs::BaseName(fs::NormalizeSeparators(file));
    CourseId = CourseIdOf(file);
    IndexOnlyLoad = indexOnly;
    ForCheckLoad = check;
    RequestedStudyTime = requestedStudyTime;
    Bookmark.CourseId = CourseId;
    Bookmark.Mode = mode;
    Bookmark.Active = !indexOnly;
    TUser* user = CurrentUser();
    // Loads for display read the place in the course without touching the user.
    if (user && !check) Bookmark.Load(*user, !indexOnly);
    if (check) Bookmark.Duration = checkDuration;
    if (!indexOnly && requestedStudyTime != -1) Bookmark.Duration = requestedStudyTime;
    // Every load counts the course's exercises afresh.
    Bookmark.TotalExercises = 0;

    TCourseStream stream;
    const int status = stream.Open(PathOf(file));
    if (status != kFileOk) {
        status_ = status;
        if (!indexOnly && mode == TBookMark::kNormal) SetCurrent(this);
        return;
    }
    TStreamFile& f = stream.File();
    Description = f.description;
    Version = f.version;
    if (f.version == "1.0" || f.version == "1.10" || f.version == "1.00") Description += Str(1691);
    LongDescription = f.longDescription;
    Language = f.language;
    Bookmark.Description = Description;

    std::string raw;
    int n = 0;
    while (stream.Status() == kFileOk) {
        stream.ReadLine(raw);
        TCourseStream::Parsed p;
        if (!TCourseStream::Parse(raw, p)) continue;
        const bool given = p.words.size() > 1;
        const std::string value = given ? p.words[1] : std::string();
        const std::string& key = p.key;
        if (key == "nosemicolonreplacement") {
            NoSemicolonReplacement = value == "1";
        } else if (key == "alternatekeyboards") {
            AlternateKeyboards = value == "1";
        } else if (key == "custom_course") {
            CustomCourse = value == "1";
        } else if (key == "crs_icon") {
            CourseIcon = value;
        } else if (key == "default time") {
            DefaultTime = ToInt(value);
        } else if (key == "keyboardbase") {
            KeyboardBase = ToUpper(value);
        } else if (key == "keyboard") {
            ApplyKeyboard(value);
        } else if (key == "wizardname") {
            WizardName = value;
            if (!IndexOnlyLoad && user) user->SetText("DefaultWizard", WizardName);
        } else if (key == "short name") {
            ShortName = value;
        } else if (key == "newkeysloops") {
            NewKeysLoops = ToInt(value);
            if (!IndexOnlyLoad) SetNewKeysLoops(NewKeysLoops);
        } else if (key == "wordloop") {
            WordLoop = ToInt(value);
            Bookmark.WordLoop = WordLoop;
        } else if (key == "wordmaxloop") {
            WordMaxLoop = ToInt(value);
            Bookmark.WordMaxLoop = WordMaxLoop;
        } else if (key == "durationsystem") {
            StaticDurations = ToLower(value) == "static";
        } else if (key == "load icr") {
            CourseResourceFile = value;
            if (!IndexOnlyLoad && !value.empty()) {
                try {
                    Localization().LoadFile(PathOf(value), TLocalize::kOverlay);
                } catch (const std::exception& e) {
                    ReportError(-1, std::string("load icr: ") + e.what());
                }
            }
        } else if (key == "defaultduration") {
            DefaultDurationIndex = ToInt(value);
        } else if (key == "lessondurations") {
            LessonDurations = SplitWords(value, ",");
            for (std::string& d : LessonDurations) d = TrimBlanks(d);
        } else if (key == "accuracygoals") {
            AccuracyGoals = SplitWords(value, ",;");
            for (std::string& g : AccuracyGoals) g = TrimBlanks(g);
        } else if (key == "goalinfo") {
            GoalInfo = value;
        } else if (key == "eventdurationmargin") {
            EventDurationMargin = ToInt(value);
        } else if (key == "dynamicdurationmargin") {
            DynamicDurationMargin = ToInt(value);
        } else if (key == "speedbar_maxdefault") {
            SpeedBarMaximum = ToInt(value);
        } else if (key == "accuracybar_mindefault") {
            AccuracyBarMinimum = ToInt(value);
        } else if (key == "begin chapter") {
            ++n;
            auto chapter = std::make_unique<TChapter>(stream, *this, n, IndexOnlyLoad);
            if (n == 1 && !chapter->Exercises.empty() && !IndexOnlyLoad && user)
                user->RaiseKeyLevel(chapter->Exercises.front()->KeyLevel);
            Chapters.push_back(std::move(chapter));
        } else {
            CourseNote("unknown key \"" + p.words[0] + "\"", stream.Path(), stream.LineNumber());
        }
    }
    f.Close();
    ComputeDurations();
    if (!indexOnly && mode == TBookMark::kNormal) SetCurrent(this);
}

void TContents::ApplyKeyboard(const std::string& value) {
    Keyboard = value.empty() ? std::string("all") : value;
    if (IndexOnlyLoad) return;
    TUser* user = CurrentUser();
    TDynamicSettings* policy = CorvSettings::Policy();
    const bool all = EqualsNoCase(Keyboard, "ALL");
    std::string layoutFile;
    if (all || AlternateKeyboards) {
        layoutFile = ChooseLayoutFile("qwerty.kbd", false);
    } else if (EqualsNoCase(Keyboard, "POLICY")) {
        layoutFile = policy ? policy->GetText("keyboardlayout") : std::string();
        if (layoutFile.empty()) layoutFile = ChooseLayoutFile("qwerty.kbd", false);
    } else {
        layoutFile = Keyboard;
    }
    if (user) {
        if (EqualsNoCase(layoutFile, Keyboard) || all)
            user->layoutRole = "pri";
        else if (AlternateKeyboards)
            user->layoutRole = "alt";
    }
    TProgramSettings* ps = ProgramSettings();
    auto layout = std::make_unique<TKeyDataExt>();
    if (layout->Load(fs::ResolveCase((ps ? ps->keyboardsFolder : std::string()) + layoutFile)) <
        0) {
        ReportError(-1, layoutFile + " not found!");
        ui::Shell().EndProgram(1);
        return;  // only where ending the program returns (tests): the old layout stays
    }
    if (NoSemicolonReplacement) layout->semicolonReplacement = 0;
    SetCurrentLayout(std::move(layout));
    if (!(policy && policy->GetBool("DisableWindowsLayouts")))
        CurrentLayout()->ActivateSystemLayout(true);
}

int TContents::LessonDurationAt(int n) const {
    if (n < 1 || n > static_cast<int>(LessonDurations.size())) return 0;
    const int minutes = ToInt(LessonDurations[static_cast<size_t>(n - 1)]);
    return minutes < 0 ? 0 : minutes;
}

std::vector<int> TContents::AccuracyGoalValues() const {
    return AccuracyGoalLevels(AccuracyGoals);  // a malformed entry counts as 0
}

void TContents::ComputeDurations() {
    const int64_t chapters = static_cast<int64_t>(Chapters.size());
    const int d = Bookmark.Duration;
    auto clampSeconds = [](int64_t s) {
        return static_cast<int32_t>(s > INT32_MAX ? INT32_MAX : s);
    };
    if (StaticDurations) {
        if (d > 0 && static_cast<int>(LessonDurations.size()) >= d)
            Bookmark.TotalDuration = clampSeconds(chapters * LessonDurationAt(d) * 60);
        DefaultTime = DefaultDurationIndex < 1 ? DefaultDurationIndex
                                               : LessonDurationAt(DefaultDurationIndex);
        if (DefaultTime > 0) RequestedStudyTime = DefaultTime;
        if (d == TBookMark::kCourseDefault) {
            DefaultDurationUsed = true;
            Bookmark.TotalDuration =
                clampSeconds(chapters * LessonDurationAt(DefaultDurationIndex) * 60);
        }
    } else if (d > 0) {
        Bookmark.TotalDuration = clampSeconds(static_cast<int64_t>(d) * 60 * chapters);
    }
}

std::vector<std::string> TContents::LessonTitles(bool numbered, bool plain) const {
    std::vector<std::string> titles;
    for (const auto& c : Chapters) {
        const std::string n = std::to_string(c->Number);
        if (numbered)
            titles.push_back(Str(124) + n + ": " + c->Title);
        else if (plain)
            titles.push_back(c->Title);
        else
            titles.push_back(n + ". " + c->Title);
    }
    return titles;
}

int TContents::TotalMinutes() {
    int total = 0;
    for (auto& c : Chapters) total += c->TotalMinutes();
    return total;
}

TChapter* TContents::ChapterAt(int number) const {
    if (number < 1 || number > static_cast<int>(Chapters.size())) return nullptr;
    return Chapters[static_cast<size_t>(number - 1)].get();
}

int TContents::Study(bool& pastEnd) {
    pastEnd = false;
    if (ToLower(Keyboard).find("numpad") != std::string::npos && Hooks().numLockOn)
        Hooks().numLockOn();
    TKeyDataExt* layout = CurrentLayout();
    if (!KeyboardBase.empty() && layout) {
        const std::string base = ToUpper(layout->materialBase);
        if (KeyboardBase.find(base) == std::string::npos) {
            ui::MessageRequest warning;
            warning.text =
                Str(330) + " " + base + Str(331) + " " + Description + Str(332) + "\r\n" + Str(333);
            warning.caption = Str(1);
            warning.icon = ui::Icon::kWarning;
            warning.stringIds = {330, 331, 332, 333, 1};
            ui::Message(warning);
        }
    }
    const int count = ChapterCount();
    if (Bookmark.Chapter <= 0) Bookmark.Chapter = 1;
    if (Bookmark.Chapter > count) {
        Bookmark.Chapter = 1;
        return 1;
    }
    int result = 0;
    const bool review = Bookmark.Mode == TBookMark::kReview;
    auto within = [&] { return Bookmark.Chapter >= 1 && Bookmark.Chapter <= count; };
    bool goOn = true;
    while (goOn) {
        TChapter* chapter = ChapterAt(Bookmark.Chapter);
        const bool last = Bookmark.Chapter == count;
        if (!review)
            Bookmark.PositionText =
                Str(334) + std::to_string(Bookmark.Chapter) + Str(712) + std::to_string(count);
        else
            Bookmark.PositionText = Str(218);
        chapter->Caption = last ? Str(335) : Str(336);
        bool chapterPastEnd = false;
        int code = chapter->Run(chapterPastEnd);
        if (review) {
            result = code;
            break;
        }
        if (code == 2) code = 0;
        switch (code) {
            case 0:
                result = 0;
                goOn = false;
                break;
            case 3:
                Bookmark.Chapter = Bookmark.Chapter > 1 ? Bookmark.Chapter - 1 : 1;
                Bookmark.Exercise = 1;
                Bookmark.Event = 1;
                goOn = within();
                break;
            case 4:
                ++Bookmark.Chapter;
                Bookmark.Exercise = 1;
                Bookmark.Event = 1;
                goOn = within();
                break;
            case 5:
            case 6:
            case 7:
            case 8:
                return code;
            default:
                result = code;
                goOn = within();
                break;
        }
    }
    if (Bookmark.Chapter > count) {
        pastEnd = true;
        result = 1;
    }
    if (result < 0) ReportErrorPair(-1052, result);
    return result;
}

}  // namespace corv
