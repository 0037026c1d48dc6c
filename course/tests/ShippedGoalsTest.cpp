// The shipped courses carry goals: accuracy levels, goal fields on every timed drill,
// and in the beginners' course an exam at the end of every lesson whose criteria the
// installation's policy holds.

#include <filesystem>

#include "core/Settings.h"
#include "core/TextUtil.h"
#include "course/Contents.h"
#include "course/tests/CourseTestSupport.h"
#include "engine/analysis/Goals.h"

namespace corv::coursetest {
namespace {

using ShippedGoals = CourseInstallation;

std::vector<std::string> Fields(std::string line) {
    const size_t eq = line.find('='), semi = line.find(';');
    if (eq != std::string::npos && (semi == std::string::npos || eq < semi))
        line = line.substr(0, eq) + ";" + line.substr(eq);
    return SplitWords(line, ";");
}

TEST_F(ShippedGoals, TimedDrillsHaveGoalsAndBeginnersLessonsEndWithAnExam) {
    std::filesystem::copy(CORV_SOURCE_DIR "/install/lessons", lessons,
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    for (const char* file : {"beginners.cnt", "speedbuilding.cnt"}) {
        SCOPED_TRACE(file);
        auto course = TContents::IndexOnly(file);
        ASSERT_EQ(course->Status(), 0);
        EXPECT_EQ(course->AccuracyGoalValues(), (std::vector<int>{90, 94, 97}));
        int timed = 0;
        for (const auto& chapter : course->Chapters) {
            for (const auto& exercise : chapter->Exercises)
                for (const auto& event : exercise->Events) {
                    const std::string& type = event->EventType;
                    if (type != "TEXT" && type != "TEXT2" && type != "WORD2" && type != "SENTENCE2")
                        continue;
                    ++timed;
                    std::vector<std::string> problems;
                    const GoalFields g = ReadGoalFields(Fields(event->Line), {}, &problems);
                    EXPECT_TRUE(g.present) << event->Line;
                    EXPECT_TRUE(problems.empty()) << event->Line;
                    EXPECT_TRUE(g.minSpeed > 0 && g.minSpeed < g.startSpeed &&
                                g.startSpeed < g.midSpeed && g.midSpeed < g.finalSpeed)
                        << event->Line;
                    EXPECT_GE(g.objectiveTextId, 1) << event->Line;
                }
            if (std::string(file) == "beginners.cnt") {
                EXPECT_EQ(chapter->Exercises.back()->Events.at(0)->EventType, "EASYEXAM")
                    << "lesson " << chapter->Number;
            }
        }
        EXPECT_GT(timed, 20);
    }
    // The exams are judged by the course's criteria in the shipped policy.
    SetPolicy("");
    CorvSettings::CloseAll();
    ASSERT_TRUE(CorvSettings::OpenPolicy(CORV_SOURCE_DIR "/install/"));
    TDynamicSettings* policy = CorvSettings::Policy();
    ASSERT_TRUE(policy);
    EXPECT_GT(policy->GetInteger("BEGINNERS.chapter_min_speed"), 0);
    EXPECT_GT(policy->GetInteger("BEGINNERS.chapter_min_accuracy"), 80);
}

}  // namespace
}  // namespace corv::coursetest
