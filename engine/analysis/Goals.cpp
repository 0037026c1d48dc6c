#include "engine/analysis/Goals.h"

#include <algorithm>
#include <cmath>

#include "core/Settings.h"
#include "core/TextUtil.h"

namespace corv {

namespace {

constexpr size_t kFirstGoalField = 10;
constexpr size_t kLastGoalField = 14;
constexpr size_t kObjectiveField = 15;

std::optional<int32_t> Number(const std::string& text) {
    return settings_format::ParseInt32(TrimBlanks(text));
}

// The leading digits of a text (with a sign) as a number; 0 without any.
int LeadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    const size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return Number(std::string(text.substr(start, i - start))).value_or(0);
}

const char* const kGoalNames[] = {"accuracy offset", "minimum speed", "final speed",
                                  "start speed",     "mid speed",     "objective"};

double Clamp100(double v) {
    return std::clamp(v, 0.0, 100.0);
}

}  // namespace

GoalFields ReadGoalFields(std::vector<std::string> fields, const ExerciseFieldsLookup& lookup,
                          std::vector<std::string>* problems) {
    GoalFields goals;
    if (fields.size() < kObjectiveField) return goals;
    goals.present = true;
    bool unresolved[kLastGoalField + 1] = {};
    for (size_t i = kFirstGoalField; i <= kLastGoalField; ++i) {
        const std::string reference = fields[i];
        const size_t dot = reference.find('.');
        if (dot == std::string::npos) continue;
        const int chapter = LeadingInteger(std::string_view(reference).substr(0, dot));
        const int exercise = LeadingInteger(std::string_view(reference).substr(dot + 1, 5));
        std::optional<std::vector<std::vector<std::string>>> lines;
        if (lookup && chapter > 0 && exercise > 0) lines = lookup(chapter, exercise);
        if (!lines) {
            unresolved[i] = true;
            if (problems)
                problems->push_back("goal field " + std::to_string(i) + " (" +
                                    kGoalNames[i - kFirstGoalField] + ") refers to exercise \"" +
                                    reference + "\", which the course does not have");
            continue;
        }
        for (const std::vector<std::string>& line : *lines)
            if (line.size() > 11 && line.size() > i && line[11] != "0") fields[i] = line[i];
    }
    int32_t* targets[] = {&goals.accuracyOffset, &goals.minSpeed, &goals.finalSpeed,
                          &goals.startSpeed, &goals.midSpeed};
    for (size_t i = kFirstGoalField; i <= kLastGoalField; ++i) {
        const std::optional<int32_t> n = Number(fields[i]);
        *targets[i - kFirstGoalField] = n.value_or(0);
        if (!n && !unresolved[i] && problems)
            problems->push_back("goal field " + std::to_string(i) + " (" +
                                kGoalNames[i - kFirstGoalField] + ") \"" + fields[i] +
                                "\" is not a number; it counts as 0");
    }
    if (fields.size() > kObjectiveField) {
        const std::optional<int32_t> n = Number(fields[kObjectiveField]);
        goals.objectiveTextId = n.value_or(0);
        if (!n && problems)
            problems->push_back("goal field 15 (objective) \"" + fields[kObjectiveField] +
                                "\" is not a number; it counts as 0");
    }
    return goals;
}

std::vector<int> AccuracyGoalLevels(const std::vector<std::string>& entries,
                                    std::vector<std::string>* problems) {
    std::vector<int> levels;
    for (const std::string& entry : entries) {
        const std::optional<int32_t> n = Number(entry);
        levels.push_back(n.value_or(0));
        if ((!n || *n < 0 || *n > 100) && problems)
            problems->push_back("\"accuracygoals\" entry \"" + entry +
                                "\" is not a percentage; it counts as 0");
    }
    return levels;
}

GoalAccuracy GoalAccuracyOf(const std::vector<int>& levels, int level, int offset) {
    GoalAccuracy a;
    if (level < 1 || level > static_cast<int>(levels.size())) return a;
    a.valid = true;
    a.levelAccuracy = levels[static_cast<size_t>(level - 1)];
    a.accuracyGoal = std::min(100, a.levelAccuracy + offset);
    a.nextLevelAccuracy =
        level < static_cast<int>(levels.size()) ? levels[static_cast<size_t>(level)] : 100;
    return a;
}

double SpeedTarget(double t, int timeLimit, int baseTimeLimit, int margin,
                   const SpeedGoals& goals) {
    double w = 0;
    if (timeLimit == baseTimeLimit) {
        w = goals.finalSpeed;
    } else if (goals.startSpeed < 1 || goals.finalSpeed < 1 || goals.midSpeed < 1 ||
               goals.minSpeed < 1) {
        w = 1;
    } else {
        const double base = baseTimeLimit;
        const double mid = std::round(base + (timeLimit - base) / 2.0);
        const double end = timeLimit - margin;
        if (t < base) {
            w = goals.startSpeed;
        } else if (t < mid) {
            w = goals.startSpeed + (goals.midSpeed - goals.startSpeed) * (t - base) / (mid - base);
        } else if (t <= end && end > mid) {
            w = goals.midSpeed + (goals.finalSpeed - goals.midSpeed) * (t - mid) / (end - mid);
        } else {
            // After the ramp, or a ramp that ends before it starts: the final goal.
            w = goals.finalSpeed;
        }
    }
    return w == 0 ? 1 : w;
}

double AccuracyFloor(int accuracyGoal) {
    if (accuracyGoal <= 0) return 0;
    const double floor = accuracyGoal < 75 ? accuracyGoal - 30 : 50;
    return std::max(0.0, floor);
}

int GoalProgressOf(const GoalInputs& in) {
    const double t = in.typedSeconds;
    double pt = 100;
    if (in.timeLimit != in.baseTimeLimit) {
        if (t < in.baseTimeLimit) pt = 100 * t / in.baseTimeLimit;
    } else if (in.timeLimit > 0) {
        pt = 100 * t / in.timeLimit;
    }
    double pa = 100;
    if (in.accuracyGoal > 0) {
        const double f = AccuracyFloor(in.accuracyGoal);
        pa = Clamp100((in.accuracy - f) * 100 / (in.accuracyGoal - f));
    }
    const double w = SpeedTarget(t, in.timeLimit, in.baseTimeLimit, in.margin, in.speeds);
    const double ps = Clamp100(100 * in.grossSpeed / w);
    const double combined = std::min((pa + ps) / 2, pa);
    return static_cast<int>(Clamp100(std::trunc(combined * pt / 100)));
}

}  // namespace corv
