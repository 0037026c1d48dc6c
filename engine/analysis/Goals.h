#pragma once
// Exercise goals as plain figures: the goal fields of an event line (with references to
// another exercise's line), the accuracy goal of the user's level, and the goal progress a
// timed event draws in its goal bar. The events and the course check share these.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corv {

// The goal fields of an event line (fields 10 to 15).
struct GoalFields {
    bool present = false;  // the line has at least 15 fields
    int32_t accuracyOffset = 0;
    int32_t minSpeed = 0;
    int32_t finalSpeed = 0;
    int32_t startSpeed = 0;
    int32_t midSpeed = 0;
    int32_t objectiveTextId = 0;  // 0: none
};

// The split lines of exercise e of chapter c (both 1-based); none when the course has no
// such exercise.
using ExerciseFieldsLookup =
    std::function<std::optional<std::vector<std::vector<std::string>>>(int chapter, int exercise)>;

// Reads the goal fields of a split event line. A field "c.e" takes that field from the
// lines of exercise e of chapter c whose field 11 is not "0" (the last such line counts).
// Problems (a field that is not a number, a reference to nothing) are added to problems
// when given; such fields count as 0 or stay as written.
GoalFields ReadGoalFields(std::vector<std::string> fields, const ExerciseFieldsLookup& lookup,
                          std::vector<std::string>* problems = nullptr);

// The accuracy goal of a level; invalid when the level is not in the course's list.
struct GoalAccuracy {
    bool valid = false;
    int32_t levelAccuracy = 0;
    int32_t accuracyGoal = 0;       // the level's accuracy plus the offset, at most 100
    int32_t nextLevelAccuracy = 0;  // 100 at the top level
};
GoalAccuracy GoalAccuracyOf(const std::vector<int>& levels, int level, int offset);

// The accuracy level percentages of a course's "accuracygoals" entries; a malformed entry
// counts as 0 and is named in problems when given.
std::vector<int> AccuracyGoalLevels(const std::vector<std::string>& entries,
                                    std::vector<std::string>* problems = nullptr);

struct SpeedGoals {
    int32_t minSpeed = 0;
    int32_t finalSpeed = 0;
    int32_t startSpeed = 0;
    int32_t midSpeed = 0;
};

// The speed the user should have reached after typed seconds t of a limit T (with time
// extension, T is above the base limit B): the start goal until B, then rising to the mid
// goal halfway through the extension and to the final goal margin seconds before T.
double SpeedTarget(double t, int timeLimit, int baseTimeLimit, int margin, const SpeedGoals& goals);

// The lowest accuracy that still counts towards the goal G.
double AccuracyFloor(int accuracyGoal);

struct GoalInputs {
    double accuracy = 0;    // percent
    double grossSpeed = 0;  // gross-speed unit
    double typedSeconds = 0;
    int timeLimit = 0;      // T
    int baseTimeLimit = 0;  // B
    int margin = 10;        // seconds
    int accuracyGoal = 0;   // G
    SpeedGoals speeds;
};

// The goal progress, 0 to 100.
int GoalProgressOf(const GoalInputs& in);

// Width of the goal bar in pixels for a progress.
inline int GoalBarWidth(int progress) {
    return progress / 10 * 15;
}

}  // namespace corv
