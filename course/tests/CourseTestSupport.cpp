#include "course/tests/CourseTestSupport.h"

#include <sys/stat.h>

#include "core/Localize.h"
#include "core/Settings.h"
#include "course/Contents.h"
#include "course/EventLoader.h"
#include "course/Exercise.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"

namespace corv::coursetest {

namespace {

class FakeEvent : public TEventRun {
  public:
    FakeEvent(CourseInstallation* owner, const TEventLoader& loader,
              std::deque<FakeOutcome>& outcomes, const FakeOutcome& fallback,
              std::vector<FakeRunRecord>& runs)
        : loader_(loader), runs_(runs) {
        if (!outcomes.empty()) {
            outcome_ = outcomes.front();
            outcomes.pop_front();
        } else {
            outcome_ = fallback;
        }
    }
    int Execute(const TEventPrep& prep, TResultItem& record) override {
        runs_.push_back({loader_.EventType, loader_.Line, prep, loader_.ChapterNumber(),
                         loader_.ExerciseNumber(), loader_.Index});
        record.Kind = outcome_.kind;
        record.Mode = outcome_.kind == "TEXT" ? "CT" : "0";
        record.Valid = outcome_.valid;
        record.Completed = outcome_.completed;
        record.Passed = outcome_.passed;
        record.TypingSeconds = outcome_.typingSeconds;
        record.ElapsedSeconds = outcome_.elapsedSeconds;
        record.GrossSpeed = 150;
        return outcome_.closeResult;
    }

  private:
    const TEventLoader& loader_;
    FakeOutcome outcome_;
    std::vector<FakeRunRecord>& runs_;
};

}  // namespace

std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void CourseInstallation::SetUp() {
    root = dir.path() + "/";
    lessons = root + "lessons/";
    ::mkdir((root + "Database").c_str(), 0777);
    ::mkdir(lessons.c_str(), 0777);
    ::mkdir((root + "keyboards").c_str(), 0777);
    const std::string shipped = std::string(CORV_SOURCE_DIR) + "/install/";
    for (const char* kbd : {"qwerty.kbd", "dvorak.kbd", "german.kbd"})
        test::WriteFile(root + "keyboards/" + kbd, test::ReadFile(shipped + "keyboards/" + kbd));
    test::WriteFile(root + "CorvKeyb.ini", test::ReadFile(shipped + "CorvKeyb.ini"));
    test::WriteFile(root + "0.grp", "Name=Everybody\r\n");
    Localization().Reset();
    for (int n : {1, 12, 17, 111, 112, 124, 218, 330, 331, 332, 333, 334, 335, 336, 712, 1691, 1107,
                  1162, 1390})
        Localization().SetString(n, "<" + std::to_string(n) + ">");
    Localization().SetString(12, "abcdefghijklmnopqrstuvwxyz");
    SetPolicy("DisableWindowsLayouts=1\r\n");
    SetCurrentUser(TUser::Create("Anna"));
    auto layout = std::make_unique<TKeyDataExt>();
    ASSERT_GE(layout->Load(root + "keyboards/qwerty.kbd"), 0);
    SetCurrentLayout(std::move(layout));
    Hooks() = CourseHooks();
    Hooks().lessonPage = [this](LessonPageRequest& request) {
        pagesShown.push_back(request);
        if (pages.empty()) {
            ADD_FAILURE() << "a lesson page came that the test did not expect";
            return LessonPageAnswer::kClosed;
        }
        auto [answer, exercise] = pages.front();
        pages.pop_front();
        if (exercise >= 0) request.selected = exercise;
        return static_cast<LessonPageAnswer>(answer);
    };
    Hooks().lessonDone = [this](const LessonDoneRequest& request) {
        donesShown.push_back(request);
        if (doneAnswers.empty()) {
            ADD_FAILURE() << "a lesson-done page came that the test did not expect";
            return LessonDoneAnswer::kClosed;
        }
        int answer = doneAnswers.front();
        doneAnswers.pop_front();
        return static_cast<LessonDoneAnswer>(answer);
    };
    SetTestCompleted(false);
}

void CourseInstallation::TearDown() {
    EXPECT_TRUE(pages.empty()) << pages.size() << " lesson page answers left";
    EXPECT_TRUE(doneAnswers.empty()) << doneAnswers.size() << " lesson-done answers left";
    Hooks() = CourseHooks();
    ClearEventClasses();
    SetCurrentUser(nullptr);
    SetCurrentLayout(nullptr);
    SetProgramSettings(nullptr);
    CorvSettings::CloseAll();
    Localization().Reset();
}

void CourseInstallation::SetPolicy(const std::string& lines) {
    test::WriteFile(root + "Policy.dyn", lines);
    CorvSettings::CloseAll();
    SetProgramSettings(TProgramSettings::Create(root));
    ASSERT_TRUE(ProgramSettings());
    ASSERT_TRUE(CorvSettings::OpenPolicy(root));
}

void CourseInstallation::WriteLesson(const std::string& name, const std::string& text) {
    test::WriteFile(lessons + name, Crlf(text));
}

void CourseInstallation::UseFakeEvents(const std::vector<std::string>& types) {
    for (const std::string& type : types)
        RegisterEventClass(type, [this](const TEventLoader& loader) -> std::unique_ptr<TEventRun> {
            return std::make_unique<FakeEvent>(this, loader, outcomes, defaultOutcome, runs);
        });
}

}  // namespace corv::coursetest
