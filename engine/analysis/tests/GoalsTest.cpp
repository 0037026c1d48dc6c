// Goal figures: the speed target over a time extension, the accuracy floor, the combined
// progress, the accuracy of a level and the goal fields of a line with their references.

#include <gtest/gtest.h>

#include <map>

#include "core/TextUtil.h"
#include "engine/analysis/Goals.h"

namespace corv {
namespace {

const SpeedGoals kRamp{80, 180, 100, 140};  // minimum, final, start, mid

TEST(Goals, SpeedTargetRisesOverTheExtension) {
    // A limit of 300 s extended by 2 minutes to 420 s, margin 10.
    struct Case {
        double t, target;
    };
    for (const Case& c :
         {Case{0, 100}, Case{299, 100}, Case{300, 100}, Case{330, 120}, Case{360, 140},
          Case{385, 160}, Case{410, 180}, Case{415, 180}, Case{500, 180}}) {
        SCOPED_TRACE(c.t);
        EXPECT_DOUBLE_EQ(SpeedTarget(c.t, 420, 300, 10, kRamp), c.target);
    }
    // Without extension the final goal counts all through.
    EXPECT_DOUBLE_EQ(SpeedTarget(10, 300, 300, 10, kRamp), 180);
    // A ramp that would end before its middle (extension shorter than twice the margin)
    // gives the final goal from the middle on.
    EXPECT_DOUBLE_EQ(SpeedTarget(306, 310, 300, 10, kRamp), 180);
    EXPECT_DOUBLE_EQ(SpeedTarget(302, 310, 300, 10, kRamp), 100 + 40 * 2.0 / 5);
    // A missing goal with extension, or a final goal of 0 without, stands for 1.
    EXPECT_DOUBLE_EQ(SpeedTarget(350, 420, 300, 10, {0, 180, 100, 140}), 1);
    EXPECT_DOUBLE_EQ(SpeedTarget(10, 300, 300, 10, {80, 0, 100, 140}), 1);
}

TEST(Goals, AccuracyFloorLiesThirtyBelowLowGoalsAndAtFiftyAbove) {
    struct Case {
        int goal;
        double floor;
    };
    for (const Case& c : {Case{94, 50}, Case{75, 50}, Case{74, 44}, Case{70, 40}, Case{20, 0},
                          Case{0, 0}, Case{-5, 0}}) {
        SCOPED_TRACE(c.goal);
        EXPECT_DOUBLE_EQ(AccuracyFloor(c.goal), c.floor);
    }
}

GoalInputs Inputs(double accuracy, double speed, double t, int limit, int base, int goal) {
    GoalInputs in;
    in.accuracy = accuracy;
    in.grossSpeed = speed;
    in.typedSeconds = t;
    in.timeLimit = limit;
    in.baseTimeLimit = base;
    in.margin = 10;
    in.accuracyGoal = goal;
    in.speeds = kRamp;
    return in;
}

TEST(Goals, ProgressCombinesAccuracySpeedAndTime) {
    struct Case {
        const char* what;
        GoalInputs in;
        int progress;
    };
    const Case cases[] = {
        {"goal reached at the end", Inputs(96, 200, 300, 300, 300, 94), 100},
        {"half the time typed", Inputs(96, 200, 150, 300, 300, 94), 50},
        // Accuracy 72 against goal 94: (72 - 50) / 44 = 50 %; speed 100 % caps at 50.
        {"accuracy share 50 caps the speed", Inputs(72, 200, 300, 300, 300, 94), 50},
        // Goal 70 has floor 40: accuracy 55 gives 50 %; speed 90 / 180 = 50 %.
        {"low goal floor 40", Inputs(55, 90, 300, 300, 300, 70), 50},
        {"accuracy below the floor", Inputs(30, 200, 300, 300, 300, 94), 0},
        // Speed 60 of 180: 33.3 %; accuracy 100 %: (100 + 33.3) / 2 = 66.
        {"slow but exact", Inputs(98, 60, 300, 300, 300, 94), 66},
        // With extension the time share is full from the base limit on.
        {"extension, at the base limit", Inputs(96, 100, 300, 420, 300, 94), 100},
        {"extension, before the base limit", Inputs(96, 100, 150, 420, 300, 94), 50},
        {"extension, behind the rising target", Inputs(96, 100, 360, 420, 300, 94), 85},
        // No limit at all: the time share is 100, never a division by zero.
        {"no time limit", Inputs(96, 200, 40, 0, 0, 94), 100},
        // A goal of 0 or less: the accuracy share is 100.
        {"no accuracy goal", Inputs(10, 90, 300, 300, 300, 0), 75},
        {"negative accuracy goal", Inputs(10, 90, 300, 300, 300, -4), 75},
    };
    for (const Case& c : cases) EXPECT_EQ(GoalProgressOf(c.in), c.progress) << c.what;
    EXPECT_EQ(GoalBarWidth(100), 150);
    EXPECT_EQ(GoalBarWidth(59), 75);
}

TEST(Goals, AccuracyOfTheChosenLevel) {
    const std::vector<int> levels{90, 94, 97};
    struct Case {
        int level, offset;
        bool valid;
        int levelAccuracy, goal, next;
    };
    for (const Case& c :
         {Case{1, 0, true, 90, 90, 94}, Case{2, 2, true, 94, 96, 97},
          Case{3, 5, true, 97, 100, 100}, Case{3, -7, true, 97, 90, 100},
          Case{0, 0, false, 0, 0, 0}, Case{4, 0, false, 0, 0, 0}, Case{-1, 0, false, 0, 0, 0}}) {
        SCOPED_TRACE(c.level);
        const GoalAccuracy a = GoalAccuracyOf(levels, c.level, c.offset);
        EXPECT_EQ(a.valid, c.valid);
        EXPECT_EQ(a.levelAccuracy, c.levelAccuracy);
        EXPECT_EQ(a.accuracyGoal, c.goal);
        EXPECT_EQ(a.nextLevelAccuracy, c.next);
    }
    EXPECT_FALSE(GoalAccuracyOf({}, 1, 0).valid) << "a course without levels";
}

TEST(Goals, MalformedAccuracyLevelsCountAsZeroAndAreNamed) {
    std::vector<std::string> problems;
    EXPECT_EQ(AccuracyGoalLevels({"90", " 94", "high", "140"}, &problems),
              (std::vector<int>{90, 94, 0, 140}));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("\"high\""), std::string::npos);
    EXPECT_NE(problems[1].find("\"140\""), std::string::npos);
}

std::vector<std::string> Fields(const std::string& text) {
    return SplitWords(text, ";");
}

TEST(Goals, FieldsOfALineWithReferencesToAnotherExercise) {
    // Chapter 2, exercise 3 has two lines with goals; the later one counts, a line whose
    // field 11 is "0" or that is too short does not.
    std::map<std::pair<int, int>, std::vector<std::vector<std::string>>> course;
    course[{2, 3}] = {Fields("Event;=TEXT;2;x;-;-;-;-;-;-;1;60;100;70;85"),
                      Fields("Event;=TEXT;2;x;-;-;-;-;-;-;3;65;110;75;90"),
                      Fields("Event;=TEXT;2;x;-;-;-;-;-;-;9;0;999;999;999"),
                      Fields("Event;=TEXT;2;x;-;-;-;-;-;-;9;70")};
    const ExerciseFieldsLookup lookup =
        [&](int c, int e) -> std::optional<std::vector<std::vector<std::string>>> {
        auto it = course.find({c, e});
        if (it == course.end()) return std::nullopt;
        return it->second;
    };
    struct Case {
        const char* line;
        bool present;
        int offset, min, final, start, mid, objective;
        size_t problems;
    };
    const Case cases[] = {
        {"Event;=TEXT;2;x;-;-;-;-;-;-;0;40;80", false, 0, 0, 0, 0, 0, 0, 0},  // 14 fields
        {"Event;=TEXT;2;x;-;-;-;-;-;-;2;40;80;50;60", true, 2, 40, 80, 50, 60, 0, 0},
        {"Event;=TEXT;2;x;-;-;-;-;-;-;2;40;80;50;60;3", true, 2, 40, 80, 50, 60, 3, 0},
        // The last line with goals wins; the "0" line is skipped; the short line lacks
        // fields 12 to 14 but gives field 11.
        {"Event;=TEXT;2;x;-;-;-;-;-;-;2.3;2.3;2.3;2.3;2.3", true, 9, 70, 110, 75, 90, 0, 0},
        // Up to 5 characters after the dot make the exercise number.
        {"Event;=TEXT;2;x;-;-;-;-;-;-;0;2.00003x;80;50;60", true, 0, 70, 80, 50, 60, 0, 0},
        // References to nothing stay as written and count as 0.
        {"Event;=TEXT;2;x;-;-;-;-;-;-;0;40;7.1;2.9;60", true, 0, 40, 0, 0, 60, 0, 2},
        {"Event;=TEXT;2;x;-;-;-;-;-;-;fast;40;80;50;60;x", true, 0, 40, 80, 50, 60, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> problems;
        const GoalFields g = ReadGoalFields(Fields(c.line), lookup, &problems);
        EXPECT_EQ(g.present, c.present);
        EXPECT_EQ(g.accuracyOffset, c.offset);
        EXPECT_EQ(g.minSpeed, c.min);
        EXPECT_EQ(g.finalSpeed, c.final);
        EXPECT_EQ(g.startSpeed, c.start);
        EXPECT_EQ(g.midSpeed, c.mid);
        EXPECT_EQ(g.objectiveTextId, c.objective);
        EXPECT_EQ(problems.size(), c.problems);
    }
}

}  // namespace
}  // namespace corv
