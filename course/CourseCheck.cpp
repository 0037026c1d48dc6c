#include "course/CourseCheck.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Settings.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "course/Contents.h"
#include "course/CourseStream.h"
#include "data/ProgramSettings.h"
#include "data/keyboard/KeyData.h"
#include "engine/analysis/Goals.h"

namespace corv {

namespace {

std::string LessonsFolder() {
    TProgramSettings* ps = ProgramSettings();
    return ps ? ps->lessonsFolder : std::string();
}

// A file named by a script: as written when it names a drive or a root, else in the
// lessons folder, in any letter case.
std::string ScriptFilePath(const std::string& name) {
    const bool absolute = (name.size() > 1 && (name[1] == ':' || name[1] == '\\')) ||
                          (!name.empty() && (name[0] == '/' || name[0] == '\\'));
    return fs::ResolveCase(
        fs::NormalizeSeparators(absolute ? name : fs::Join(LessonsFolder(), name)));
}

// The fields as the event itself reads its line: split at ";" only, the type led by "=".
std::vector<std::string> EventFields(const std::string& line) {
    std::string text = line;
    const size_t eq = text.find('='), semi = text.find(';');
    if (eq == std::string::npos)
        text = ";" + text;
    else if (semi == std::string::npos || eq < semi)
        text = text.substr(0, eq) + ";" + text.substr(eq);
    return SplitWords(text, ";");
}

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

// Characters worth reporting: the layout never types line breaks and tabs for a text.
std::string Visible(const std::string& chars) {
    std::string out;
    for (char c : chars)
        if (c != '\r' && c != '\n' && c != '\t') out += c;
    return out;
}

// The characters of a text a lesson has not taught: blanks and line breaks need no key
// of their own.
std::string Unlearnt(std::string_view text, const std::string& learnt) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' &&
            learnt.find(c) == std::string::npos && out.find(c) == std::string::npos)
            out += c;
    return out;
}

class Checker {
  public:
    explicit Checker(std::string path) : path_(std::move(path)) {}

    std::vector<CourseProblem> Run() {
        if (!fs::FileExists(path_)) {
            Add(0, "the course file does not exist");
            return problems_;
        }
        std::unique_ptr<TContents> course;
        {
            CourseProblemCollector collector;
            course = TContents::ForCheck(path_, TBookMark::kCourseDefault);
            for (CourseProblem& p : collector.problems) problems_.push_back(p);
        }
        if (course->Status() != 0) {
            Add(0,
                "the course file cannot be read (status " + std::to_string(course->Status()) + ")");
            return problems_;
        }
        if (course->Description.empty())
            Add(0, "the header has no $description (the course list shows it)");
        if (course->Chapters.empty()) Add(0, "the course has no chapters");
        LoadLayout(*course);
        CheckDurationKeys(*course);
        course_ = course.get();
        std::vector<std::string> goalProblems;
        AccuracyGoalLevels(course->AccuracyGoals, &goalProblems);
        for (const std::string& p : goalProblems) Add(0, p);
        if (!course->CourseIcon.empty()) CheckFile(0, course->CourseIcon, "course icon");
        for (auto& chapter : course->Chapters)
            if (!NewKeys(chapter->KeyLines).empty()) teachesKeys_ = true;
        for (auto& chapter : course->Chapters) CheckChapter(*course, *chapter);
        CheckDivisions(*course);
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const CourseProblem& a, const CourseProblem& b) {
                             if (a.file != b.file) return a.file < b.file;
                             return a.line < b.line;
                         });
        return problems_;
    }

  private:
    void Add(int line, const std::string& text, const std::string& file = {}) {
        problems_.push_back({file.empty() ? path_ : file, line, text});
    }

    bool CheckFile(int line, const std::string& name, const std::string& what) {
        if (fs::FileExists(ScriptFilePath(name))) return true;
        Add(line, what + " " + Quote(name) + " is missing");
        return false;
    }

    void LoadLayout(const TContents& course) {
        TDynamicSettings* policy = CorvSettings::Policy();
        std::string file = course.Keyboard;
        if (EqualsNoCase(file, "ALL") || course.AlternateKeyboards) {
            file = "qwerty.kbd";
        } else if (EqualsNoCase(file, "POLICY")) {
            file = policy ? policy->GetText("keyboardlayout") : std::string();
            if (file.empty()) file = "qwerty.kbd";
        }
        layoutFile_ = file;
        TProgramSettings* ps = ProgramSettings();
        const std::string path = fs::ResolveCase((ps ? ps->keyboardsFolder : std::string()) + file);
        auto layout = std::make_unique<TKeyDataExt>();
        std::vector<TLayoutProblem> ignored;
        TLayoutLoadOptions options;
        options.useSystem = false;
        options.problems = &ignored;
        if (!fs::FileExists(path) || layout->Load(path, options) < 0) {
            Add(0, "the course's layout " + Quote(file) + " is not in the keyboards folder");
            return;
        }
        if (course.NoSemicolonReplacement) layout->semicolonReplacement = 0;
        layout_ = std::move(layout);
    }

    void CheckDurationKeys(const TContents& course) {
        if (!course.StaticDurations) return;
        if (course.LessonDurations.empty()) Add(0, "static durations without \"lessondurations\"");
        for (size_t i = 0; i < course.LessonDurations.size(); ++i) {
            auto n = settings_format::ParseInt32(course.LessonDurations[i]);
            if (!n || *n <= 0)
                Add(0, "lesson duration " + Quote(course.LessonDurations[i]) +
                           " is not a number of minutes above 0");
        }
        const int d = course.DefaultDurationIndex;
        if (d > static_cast<int>(course.LessonDurations.size()))
            Add(0, "\"defaultduration\" " + std::to_string(d) + " points past the " +
                       std::to_string(course.LessonDurations.size()) + " lesson durations");
    }

    std::string Where(const TChapter& chapter, const TExercise* exercise) const {
        std::string where = "lesson " + std::to_string(chapter.Number);
        if (exercise) where += ", exercise " + std::to_string(exercise->Number);
        return where + ": ";
    }

    void CheckTyping(int line, const std::string& where, const std::string& what,
                     const std::string& text) {
        if (!layout_) return;
        const std::string missing = Visible(layout_->CannotProduce(text));
        if (!missing.empty())
            Add(line, where + what + " has characters the layout " + Quote(layoutFile_) +
                          " cannot type: " + Quote(missing));
    }

    void CheckChapter(const TContents& course, const TChapter& chapter) {
        if (chapter.Title.empty())
            Add(chapter.SourceLine, Where(chapter, nullptr) + "no \"chapter name\"");
        if (!chapter.Picture.empty())
            CheckFile(chapter.SourceLine, chapter.Picture, Where(chapter, nullptr) + "picture");
        if (chapter.Exercises.empty())
            Add(chapter.SourceLine, Where(chapter, nullptr) + "no exercises");
        // The new keys of this layout's letter family, as the tutor would take them.
        const std::string base = layout_ ? ToLower(layout_->materialBase) : std::string();
        for (const std::string& line : chapter.KeyLines) {
            const size_t eq = line.find('=');
            const std::string key = ToLower(line.substr(0, eq));
            const std::string value = TrimBlanks(line.substr(eq + 1));
            if (key != "new keys" && key != "new keys_" + base) continue;
            if (value == "SEMICOLON" || value.empty()) continue;
            CheckTyping(chapter.SourceLine, Where(chapter, nullptr), "new keys " + Quote(value),
                        value);
        }
        for (const auto& exercise : chapter.Exercises) {
            learnt_ = learntBefore_ + NewKeys(exercise->KeyLines);
            if (exercise->Name.empty())
                Add(exercise->SourceLine,
                    Where(chapter, exercise.get()) + "no \"type\" (the results have no name)");
            if (exercise->Events.empty())
                Add(exercise->SourceLine, Where(chapter, exercise.get()) + "no events");
            for (const auto& event : exercise->Events) CheckEvent(chapter, *exercise, *event, true);
            for (const auto& event : exercise->OtherLayoutEvents)
                CheckEvent(chapter, *exercise, *event, false);
        }
        learntBefore_ += NewKeys(chapter.KeyLines);
    }

    // The keys the accepted "new keys" lines of a lesson add, as the tutor takes them:
    // the plain lines and those of this layout's letter family.
    std::string NewKeys(const std::vector<std::string>& keyLines) const {
        const std::string base = layout_ ? ToLower(layout_->materialBase) : std::string();
        std::string keys;
        for (const std::string& line : keyLines) {
            const size_t eq = line.find('=');
            const std::string key = ToLower(line.substr(0, eq));
            const std::string value = TrimBlanks(line.substr(eq + 1));
            if (key != "new keys" && key != "new keys_" + base) continue;
            if (value == "SEMICOLON") {
                keys += ';';
                if (layout_ && layout_->semicolonReplacement) keys += layout_->semicolonReplacement;
            } else {
                keys += value;
            }
        }
        return keys;
    }

    // Every word of a drill text that needs a key its lesson has not taught yet, one
    // problem per line of the text. Only for courses that teach keys, from the first
    // lesson that declares some.
    void CheckLearnt(int line, const std::string& where, const std::string& what,
                     const std::string& text) {
        if (!teachesKeys_ || learnt_.empty()) return;
        constexpr int kMaxLines = 10;  // a text written for another lesson says enough by then
        const bool lines = text.find('\n') != std::string::npos;
        int reported = 0, more = 0, number = 0;
        for (size_t start = 0; start <= text.size();) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            const std::string_view row = std::string_view(text).substr(start, end - start);
            ++number;
            start = end + 1;
            std::string words, keys;
            int count = 0;
            for (const std::string& word : SplitWords(row, " \t\r")) {
                const std::string missing = Unlearnt(word, learnt_);
                if (missing.empty() || words.find(Quote(word)) != std::string::npos) continue;
                words += (count++ ? ", " : "") + Quote(word);
                for (char c : missing)
                    if (keys.find(c) == std::string::npos) keys += c;
            }
            if (!count) continue;
            if (reported == kMaxLines) {
                ++more;
                continue;
            }
            ++reported;
            const std::string at = lines ? " line " + std::to_string(number) : std::string();
            Add(line, where + what + at + ": " + words + (count == 1 ? " uses" : " use") +
                          " keys not learnt by this lesson: " + Quote(keys));
        }
        if (more)
            Add(line, where + what + ": " + std::to_string(more) +
                          " more lines use keys not learnt by this lesson");
    }

    void CheckEvent(const TChapter& chapter, const TExercise& exercise, const TEventLoader& event,
                    bool forLayout) {
        const int line = event.SourceLine;
        const std::string where = Where(chapter, &exercise);
        const EventTypeInfo* info = FindEventType(event.EventType);
        if (!info) {
            Add(line, where + "unknown event type " + Quote(event.EventType));
            return;
        }
        if (!info->builtHere && *info->resultKind)
            Add(line, where + "event type " + event.EventType +
                          " is not available in this build; the event is skipped");
        const std::vector<std::string> fields = EventFields(event.Line);
        CheckGoals(line, where, fields);
        auto field = [&](size_t i) { return i < fields.size() ? fields[i] : std::string(); };
        const std::string directive = field(3);
        if (event.EventType == "HTMLMESSAGE") {
            if (directive.empty()) {
                Add(line, where + "a message page without a page file");
            } else if (ToLower(directive).rfind("http", 0) != 0 &&
                       CheckFile(line, directive, where + "page")) {
                CheckPagePictures(line, where, directive);
            }
            return;
        }
        if (event.EventType == "MESSAGE") {
            const std::string picture = field(5);
            if (!picture.empty() && !fs::FileExists(ScriptFilePath(picture)) &&
                !fs::FileExists(ScriptFilePath("..\\images\\" + picture)))
                Add(line, where + "picture " + Quote(picture) + " is missing");
            return;
        }
        // A key introduction shows its text and drills the keys of field 4.
        const bool intro = event.EventType == "KEYINTRO";
        if (intro && forLayout && !EqualsNoCase(field(4), "newkeys"))
            CheckLearnt(line, where, "the keys to introduce", field(4));
        const bool drilled = forLayout && !intro && event.EventType != "BUILDER";
        const std::string upper = ToUpper(directive);
        for (const std::string keyed : {"KEYBUILDER:", "TOUCHING:"}) {
            if (upper.rfind(keyed, 0) != 0) continue;
            const std::string keys = TrimBlanks(directive.substr(keyed.size()));
            if (drilled && !EqualsNoCase(keys, "HOMEROW"))
                CheckLearnt(line, where, "the keys " + Quote(keys), keys);
            return;
        }
        if (directive.empty() || upper == "NIL" || upper.rfind("WORDBUILDER:", 0) == 0) return;
        if (upper.rfind("FILE:", 0) == 0) {
            const std::string name = directive.substr(5);
            if (!CheckFile(line, name, where + "text file")) return;
            TTextFile file;
            std::string text;
            if (file.Open(ScriptFilePath(name), 1) != kFileOk || file.ReadRest(text) < 0) {
                Add(line, where + "text file " + Quote(name) + " cannot be read");
                return;
            }
            if (TrimBlanks(text).empty())
                Add(line, where + "text file " + Quote(name) + " is empty");
            if (forLayout) CheckTyping(line, where, "text file " + Quote(name), text);
            if (drilled) CheckLearnt(line, where, "text file " + Quote(name), text);
            return;
        }
        if (forLayout) CheckTyping(line, where, "the text", directive);
        if (drilled) CheckLearnt(line, where, "the text", directive);
    }

    // Goal fields that are not numbers, and references to exercises the course lacks.
    void CheckGoals(int line, const std::string& where, const std::vector<std::string>& fields) {
        std::vector<std::string> problems;
        ReadGoalFields(
            fields,
            [this](int c, int e) -> std::optional<std::vector<std::vector<std::string>>> {
                const TChapter* chapter = course_ ? course_->ChapterAt(c) : nullptr;
                const TExercise* exercise = chapter ? chapter->ExerciseAt(e) : nullptr;
                if (!exercise) return std::nullopt;
                std::vector<std::vector<std::string>> lines;
                for (const auto& event : exercise->Events)
                    lines.push_back(EventFields(event->Line));
                return lines;
            },
            &problems);
        for (const std::string& p : problems) Add(line, where + p);
    }

    // Pictures a page shows: every src="..." of the page, relative to the page.
    void CheckPagePictures(int line, const std::string& where, const std::string& page) {
        const std::string path = ScriptFilePath(page);
        TStreamFile file;
        std::string html;
        if (file.Open(path, 1, true) != kFileOk) return;
        file.ReadRest(html);
        const std::string lower = ToLower(html);
        for (size_t at = lower.find("src="); at != std::string::npos;
             at = lower.find("src=", at + 4)) {
            size_t start = at + 4;
            if (start >= html.size()) break;
            char quote = html[start];
            std::string name;
            if (quote == '"' || quote == '\'') {
                size_t end = html.find(quote, start + 1);
                if (end == std::string::npos) break;
                name = html.substr(start + 1, end - start - 1);
            } else {
                size_t end = html.find_first_of(" >", start);
                name =
                    html.substr(start, end == std::string::npos ? std::string::npos : end - start);
            }
            if (name.empty() || ToLower(name).rfind("http", 0) == 0 ||
                name.find(':') != std::string::npos)
                continue;
            const std::string picture =
                fs::ResolveCase(fs::Join(fs::DirName(path), fs::NormalizeSeparators(name)));
            if (!fs::FileExists(picture))
                Add(line,
                    where + "page " + Quote(page) + " shows " + Quote(name) + ", which is missing");
        }
    }

    // Every duration the user can choose: a timed event must keep some time.
    void CheckDivisions(const TContents& course) {
        std::vector<std::pair<int, std::string>> choices;
        if (course.StaticDurations) {
            choices.push_back({TBookMark::kCourseDefault, "the course default"});
            for (size_t i = 1; i <= course.LessonDurations.size(); ++i)
                choices.push_back(
                    {static_cast<int>(i), course.LessonDurations[i - 1] + " minutes"});
        } else {
            for (int minutes : {25, 35, 45})
                choices.push_back({minutes, std::to_string(minutes) + " minutes"});
        }
        std::map<int, std::vector<std::string>>
            zero;  // event line -> the choices that leave it no time
        std::map<int, std::string> whereOf;
        for (auto& [duration, text] : choices) {
            CourseProblemCollector quiet;  // the reading problems were listed once already
            auto divided = TContents::ForCheck(path_, duration);
            for (auto& chapter : divided->Chapters)
                for (auto& exercise : chapter->Exercises)
                    for (auto& event : exercise->Events) {
                        if (event->Minutes <= 0 || event->Seconds > 0) continue;
                        if (!FindEventType(event->EventType)) continue;
                        zero[event->SourceLine].push_back(text);
                        whereOf[event->SourceLine] = Where(*chapter, exercise.get());
                    }
        }
        for (auto& [line, texts] : zero) {
            std::string list;
            for (const std::string& t : texts) list += (list.empty() ? "" : ", ") + t;
            Add(line, whereOf[line] +
                          "a timed event gets no time (its share divides to 0 minutes) with " +
                          list);
        }
    }

    std::string path_;
    const TContents* course_ = nullptr;
    std::string layoutFile_;
    bool teachesKeys_ = false;  // some lesson declares new keys
    std::string learntBefore_;  // the keys of the lessons before the one being checked
    std::string learnt_;        // the keys learnt by the exercise being checked
    std::unique_ptr<TKeyDataExt> layout_;
    std::vector<CourseProblem> problems_;
};

}  // namespace

std::vector<CourseProblem> CheckCourse(const std::string& path) {
    return Checker(path).Run();
}

}  // namespace corv
