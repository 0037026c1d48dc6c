#include "course/CourseServices.h"

#include <map>

#include "core/Localize.h"
#include "core/UserInterface.h"
#include "course/EventLoader.h"

namespace corv {

namespace {

CourseProblemCollector* collector = nullptr;

std::map<std::string, EventFactory, std::less<>>& Factories() {
    static std::map<std::string, EventFactory, std::less<>> factories;
    return factories;
}

bool testCompleted = false;
int newKeysLoops = 0;

}  // namespace

void CourseMessage(const std::string& text, const std::string& file, int line) {
    if (collector) {
        collector->problems.push_back({file, line, text});
        return;
    }
    ui::Message(text, Str(1), ui::Icon::kError, ui::Buttons::kOk, {1});
}

void CourseNote(const std::string& text, const std::string& file, int line) {
    if (collector) collector->problems.push_back({file, line, text});
}

bool CollectingCourseProblems() {
    return collector != nullptr;
}

CourseProblemCollector::CourseProblemCollector() : outer_(collector) {
    collector = this;
}
CourseProblemCollector::~CourseProblemCollector() {
    collector = outer_;
}

const std::vector<EventTypeInfo>& EventTypes() {
    // builtHere names the classes this build has; the event classes library checks in its
    // tests that it registers exactly these.
    static const std::vector<EventTypeInfo> kTypes = {
        {"HTMLMESSAGE", "HTMLMESSAGE", false, nullptr, true},
        {"MESSAGE", "MESSAGE", false, nullptr, true},
        {"BUILDER", "BUILDER", false, nullptr, false},
        {"KEYBOARD", "KEYBOARD", false, nullptr, false},
        {"KEYBROW", "KEYBROW", false, nullptr, false},
        {"KEYBSENTENCE", "KEYBSENTENCE", false, nullptr, false},
        {"KEYBPARAGRAPH", "KEYBPARAGRAPH", true, nullptr, false},
        {"WORD", "WORD", false, nullptr, false},
        {"TEXT", "TEXT", true, nullptr, true},
        {"EXAM", "EXAM", true, nullptr, true},
        {"EXAMINTERNAL", "EXAM", true, nullptr, true},
        {"EXAM2", "EXAM2", true, nullptr, true},
        {"EASYEXAM", "EASYEXAM", true, nullptr, true},
        {"FINALTEST", "", false, nullptr, false},
        {"TEST", "TEST", true, nullptr, false},
        {"SENTENCE", "SENTENCE", true, nullptr, true},
        {"PARAGRAPH", "PARAGRAPH", true, nullptr, true},
        {"WORDTRIS", "WORDTRIS", true, "Wordtris", false},
        {"CLOUDS", "CLOUDS", true, "Clouds", false},
        {"BUBBLES", "BUBBLES", false, "Bubbles", false},
        {"ABC", "ABC", false, "ABCGame", false},
        {"KEY2", "KEY2", false, nullptr, false},
        {"WORD2", "WORD2", false, nullptr, false},
        {"SENTENCE2", "SENTENCE2", false, nullptr, false},
        {"PARAGRAPH2", "PARAGRAPH2", true, nullptr, false},
        {"KEYINTRO", "KEYINTRO", false, nullptr, false},
        {"TEXT2", "TEXT2", true, nullptr, true},
        {"NEWKEYS", "NEWKEYS", false, nullptr, false},
    };
    return kTypes;
}

const EventTypeInfo* FindEventType(std::string_view typeUpper) {
    for (const EventTypeInfo& t : EventTypes())
        if (typeUpper == t.type) return &t;
    return nullptr;
}

void RegisterEventClass(const std::string& typeUpper, EventFactory factory) {
    Factories()[typeUpper] = std::move(factory);
}

void ClearEventClasses() {
    Factories().clear();
}

bool EventClassRegistered(std::string_view typeUpper) {
    return Factories().find(typeUpper) != Factories().end();
}

std::unique_ptr<TEventRun> CreateEventRun(const TEventLoader& loader) {
    auto it = Factories().find(loader.EventType);
    if (it == Factories().end() || !it->second) return nullptr;
    return it->second(loader);
}

CourseHooks& Hooks() {
    static CourseHooks hooks;
    return hooks;
}

bool TestCompleted() {
    return testCompleted;
}
void SetTestCompleted(bool completed) {
    testCompleted = completed;
}
int NewKeysLoops() {
    return newKeysLoops;
}
void SetNewKeysLoops(int loops) {
    newKeysLoops = loops;
}

}  // namespace corv
