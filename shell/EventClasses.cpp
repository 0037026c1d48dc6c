#include "shell/EventClasses.h"

#include <memory>

#include "course/Chapter.h"
#include "course/Contents.h"
#include "course/CourseServices.h"
#include "course/EventLoader.h"
#include "course/Exercise.h"
#include "data/ProgramSettings.h"
#include "data/keyboard/KeyData.h"
#include "engine/BlockEvents.h"
#include "engine/Event.h"
#include "engine/EventServices.h"
#include "engine/MessageEvents.h"
#include "engine/TextEvents.h"
#include "platform/KeyboardToggles.h"
#include "views/BookForm.h"

namespace corv {

namespace {

CourseFacts FactsOf(const TContents* contents) {
    CourseFacts facts;
    if (!contents) return facts;
    facts.identifier = contents->CourseId;
    facts.dynamicDurationMargin = contents->DynamicDurationMargin;
    facts.accuracyGoals = contents->AccuracyGoalValues();
    facts.exerciseFields =
        [contents](int chapter,
                   int exercise) -> std::optional<std::vector<std::vector<std::string>>> {
        const TChapter* c = contents->ChapterAt(chapter);
        const TExercise* e = c ? c->ExerciseAt(exercise) : nullptr;
        if (!e) return std::nullopt;
        std::vector<std::vector<std::string>> lines;
        for (const auto& event : e->Events) lines.push_back(SplitEventLine(event->Line));
        return lines;
    };
    return facts;
}

// The course being studied, as the events read it.
CourseFacts& StudiedCourse() {
    static CourseFacts facts;
    return facts;
}

const TContents* ContentsOf(const TEventLoader& loader) {
    if (loader.Exercise && loader.Exercise->Chapter) return loader.Exercise->Chapter->Contents;
    return CurrentContents();
}

// One engine event for one run. The course the event belongs to is the loaded course from
// its creation (goals are read then) until it has run.
class EngineEventRun : public TEventRun {
  public:
    template <class Make>
    EngineEventRun(const TEventLoader& loader, Make make)
        : facts_(FactsOf(ContentsOf(loader))), previous_(LoadedCourse()) {
        SetLoadedCourse(ContentsOf(loader) ? &facts_ : previous_);
        event_ = make(loader.Line);
    }
    ~EngineEventRun() override {
        event_.reset();
        SetLoadedCourse(previous_);
    }

    int Execute(const TEventPrep& prep, TResultItem& record) override {
        TEvent& e = *event_;
        e.ResultItem = &record;
        e.ResultKind = prep.resultKind;
        e.CourseId = prep.courseId;
        if (prep.hasPages) {
            e.PageNumber = prep.pageNumber;
            e.PageCount = prep.pageCount;
        }
        e.DynamicDuration = prep.dynamicDuration;
        e.SetShowCancel(prep.showCancel);
        e.ShowMenu = prep.showMenu;
        auto* timed = dynamic_cast<TTimedEvent*>(&e);
        if (timed) timed->TimeLimit = prep.timeLimit;
        e.KeySet = prep.keySet;
        const int result = e.Execute();
        goals_.active = e.GoalsActive;
        goals_.accuracyGoal = e.AccuracyGoal;
        goals_.nextLevelAccuracy = e.NextLevelAccuracy;
        goals_.minSpeed = e.MinSpeedGoal;
        goals_.finalSpeed = e.FinalSpeedGoal;
        goals_.midSpeed = e.MidSpeedGoal;
        goals_.startSpeed = e.StartSpeedGoal;
        goals_.dynamicDuration = e.DynamicDuration;
        goals_.baseTimeLimit = timed ? timed->BaseTimeLimit : 0;
        return result;
    }
    TEventGoals Goals() const override { return goals_; }

  private:
    CourseFacts facts_;
    const CourseFacts* previous_;
    std::unique_ptr<TEvent> event_;
    TEventGoals goals_;
};

template <class E>
void Register(const char* type) {
    RegisterEventClass(type, [](const TEventLoader& loader) -> std::unique_ptr<TEventRun> {
        return std::make_unique<EngineEventRun>(
            loader, [](const std::string& line) { return std::make_unique<E>(line); });
    });
}

}  // namespace

void RegisterEventClasses() {
    Register<THTMLMessageEvent>("HTMLMESSAGE");
    Register<TMessageEvent>("MESSAGE");
    Register<TTextEvent>("TEXT");
    Register<TTextEvent2>("TEXT2");
    Register<TExamEvent2>("EXAM2");
    Register<TSentenceEvent>("SENTENCE");
    Register<TParagraphEvent>("PARAGRAPH");
    Register<TEasyExamEvent>("EASYEXAM");
    // Exams of the first kind take their line as a short text.
    for (const char* type : {"EXAM", "EXAMINTERNAL"}) {
        const bool internal = std::string(type) == "EXAMINTERNAL";
        RegisterEventClass(
            type, [internal](const TEventLoader& loader) -> std::unique_ptr<TEventRun> {
                return std::make_unique<EngineEventRun>(
                    loader, [internal](const std::string& line) {
                        return std::make_unique<TExamEvent>(line.substr(0, 255), internal);
                    });
            });
    }

    CourseHooks& hooks = Hooks();
    hooks.freezeTransitions = [](bool on) {
        if (TBookFormEx* window = MainWindow()) window->FreezeTransitions = on;
    };
    hooks.numLockOn = [] { platform::SetToggle(platform::kNumLock, true); };
    hooks.currentCourseChanged = [](TContents* contents) {
        StudiedCourse() = FactsOf(contents);
        SetLoadedCourse(contents ? &StudiedCourse() : nullptr);
    };

    EventServices& services = Services();
    if (!services.lessonsFolder)
        services.lessonsFolder = [] {
            TProgramSettings* ps = ProgramSettings();
            return ps ? ps->lessonsFolder : std::string(".");
        };
    if (!services.homeRowKeys)
        services.homeRowKeys = [] {
            TKeyDataExt* layout = CurrentLayout();
            return layout && !layout->homeRow.empty() ? layout->homeRow : std::string("asdfjkl;");
        };
}

}  // namespace corv
