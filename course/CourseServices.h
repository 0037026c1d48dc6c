#pragma once
// What the course model needs from the rest of the tutor, kept behind plain hooks so the
// model reads, divides and runs courses without any window: the lesson pages, the result
// views, the event classes, the main window's transitions. Each hook does nothing until
// the program (or a test) installs it.
//
// Also the readers' fixed messages, which the course check collects instead of showing.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corv {

class TBookMark;
class TChapter;
class TContents;
class TEventLoader;
struct TResultItem;

// --- Messages of the readers ---

struct CourseProblem {
    std::string file;  // the file the line is in; empty for the course as a whole
    int line = 0;      // 0: no particular line
    std::string text;
};

// A reader's fixed English message: an error box for the user, or a problem while a
// collector is active.
void CourseMessage(const std::string& text, const std::string& file = {}, int line = 0);
// Something only the course check reports (an unknown key, an unused line).
void CourseNote(const std::string& text, const std::string& file = {}, int line = 0);
bool CollectingCourseProblems();

// While it lives, course messages and notes are collected here instead of shown.
class CourseProblemCollector {
  public:
    CourseProblemCollector();
    ~CourseProblemCollector();
    CourseProblemCollector(const CourseProblemCollector&) = delete;
    CourseProblemCollector& operator=(const CourseProblemCollector&) = delete;
    std::vector<CourseProblem> problems;

  private:
    CourseProblemCollector* outer_;
};

// --- Event types of the exercise scripts ---

struct EventTypeInfo {
    const char* type;        // as written in field 1, upper-case
    const char* resultKind;  // kind recorded with the event; empty: no event is run
    bool textCharsPerWord;   // the result counts the characters per word of the analysis
    const char* gameName;    // games: the name of their top-ten list
    bool builtHere;          // this build has the event's class
};
// Null for a type the scripts do not know.
const EventTypeInfo* FindEventType(std::string_view typeUpper);
const std::vector<EventTypeInfo>& EventTypes();

// --- One event, created for one run ---

// What the loader gives the event before it runs.
struct TEventPrep {
    std::string resultKind;
    std::string courseId;
    bool hasPages = false;  // the exercise has a bookmark: page number and count apply
    int pageNumber = 0;
    int pageCount = 0;
    bool dynamicDuration = false;
    bool showCancel = true;
    bool showMenu = false;
    int timeLimit = 0;  // seconds, never below 0
    std::string keySet;
    int keyLevel = 0;
    const std::vector<std::string>* wordList = nullptr;  // games
};

// The goals an event followed, for the result view.
struct TEventGoals {
    bool active = false;
    int accuracyGoal = 0;
    int nextLevelAccuracy = 0;
    int minSpeed = 0;
    int finalSpeed = 0;
    int midSpeed = 0;
    int startSpeed = 0;
    bool dynamicDuration = false;
    int baseTimeLimit = 0;
};

class TEventRun {
  public:
    virtual ~TEventRun() = default;
    // Runs the event modally with the prepared values; returns its close result (0 to 4).
    // The record receives what the event measured.
    virtual int Execute(const TEventPrep& prep, TResultItem& record) = 0;
    virtual TEventGoals Goals() const { return {}; }
};

using EventFactory = std::function<std::unique_ptr<TEventRun>(const TEventLoader& loader)>;
// The class behind a script type; a type without one runs nothing (the loader answers 1).
void RegisterEventClass(const std::string& typeUpper, EventFactory factory);
void ClearEventClasses();
std::unique_ptr<TEventRun> CreateEventRun(const TEventLoader& loader);
bool EventClassRegistered(std::string_view typeUpper);

// --- Views the model runs ---

// A lesson page: the exercise list of a lesson, or in review mode the review page.
struct LessonPageRequest {
    TChapter* chapter = nullptr;
    TBookMark* bookmark = nullptr;
    int selected = 1;  // in: the exercise to start on; out: the exercise chosen
    bool review = false;
    bool previousAllowed = true;
    bool nextAllowed = true;
    std::string caption;
    // Review page: heading and text strings, the figures before the review and now
    // (overall, keys, capitals, words).
    int headingString = 0;
    int textString = 0;
    int before[4] = {0, 0, 0, 0};
    int now[4] = {0, 0, 0, 0};
};

struct LessonDoneRequest {
    TChapter* chapter = nullptr;
    TBookMark* bookmark = nullptr;
    bool lastLesson = false;
    std::string nextLessonTitle;  // numbered: "n. title"
};

struct TResultViewRequest {
    TResultItem* record = nullptr;
    int keyLevel = 0;
    std::string keySet;
    TEventGoals goals;
    bool goalsShown = false;
    std::string playerName;  // top-ten lists
    std::string gameName;
};

// Answers of the lesson pages.
enum class LessonPageAnswer {
    kClosed = 0,       // from outside: a menu section, Exit
    kRunExercise = 1,  // the chosen exercise
    kEndLesson = 2,
    kPreviousLesson = 3,
    kNextLesson = 4,
    kCourseContents = 5,
    kChangeCourse = 8,
    kLessonCompleted = 15,
    kOtherLesson = 17,  // the bookmark points to the lesson chosen
};

// Answers of the lesson-completed page.
enum class LessonDoneAnswer { kClosed = 0, kNextLesson = 1, kStay = 2 };

struct CourseHooks {
    std::function<LessonPageAnswer(LessonPageRequest& request)> lessonPage;
    std::function<LessonDoneAnswer(const LessonDoneRequest& request)> lessonDone;
    // The result views shown after an event; their answers.
    std::function<int(const TResultViewRequest& request)> exerciseResult;
    std::function<int(const TResultViewRequest& request)> reviewResult;
    std::function<int(const TResultViewRequest& request)> topTen;
    // The main window's frozen transitions while courses and exercises run.
    std::function<void(bool on)> freezeTransitions;
    // Switches Num Lock on (courses for the numeric keypad).
    std::function<void()> numLockOn;
    // The course being studied changed (null: none).
    std::function<void(TContents* contents)> currentCourseChanged;
};
CourseHooks& Hooks();

// Repetitions of new-key drills the course asks for ("newkeysloops"); 0 when it does not.
int NewKeysLoops();
void SetNewKeysLoops(int loops);

// Set once a result counted as done (typing tests: once more than 10 seconds were typed).
bool TestCompleted();
void SetTestCompleted(bool completed);

}  // namespace corv
