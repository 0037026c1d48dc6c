#pragma once
// What events take from the rest of the program: the tick count, the loaded course, and
// the services of the course folders, keyboard layout and revision builder. Each has a plain
// default so events run (and are tested) before those parts are in place; the program installs the
// real ones. The typing time is the typing analysis' own timer (engine/analysis/Analyzer.h).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/analysis/Goals.h"

namespace corv {

// Millisecond tick count of the typing analysis' clock (tests set it with SetTickClock).
double TickCount();

// What events need of the loaded course.
struct CourseFacts {
    std::string identifier;          // contents file name without extension, upper-cased
    int dynamicDurationMargin = 0;   // minutes of time extension
    std::vector<int> accuracyGoals;  // percent per goal level 1, 2, 3
    // The split event lines of an exercise, for goal fields that refer to it.
    ExerciseFieldsLookup exerciseFields;
};

// Null: no course loaded. Not owned.
void SetLoadedCourse(const CourseFacts* course);
const CourseFacts* LoadedCourse();

struct EventServices {
    // The lessons folder; relative course files are found there.
    std::function<std::string()> lessonsFolder;
    // The keys of the home row of the user's layout ("HOMEROW").
    std::function<std::string()> homeRowKeys;
    // Key drill lines from keys (the user's key level, repetition 8); none when it cannot.
    std::function<std::vector<std::string>(const std::string& keys)> buildKeyDrill;
    // Words from keys (the user's key level, at most 6 per index entry).
    std::function<std::vector<std::string>(const std::string& keys)> buildWordList;
    // The character of the keypad's decimal key when the layout is a keypad layout, else 0.
    std::function<char()> keypadDecimalSeparator;
};

// The installed services; members left empty take their defaults (current folder, the
// home row "asdfjkl;", no builder, no keypad layout).
EventServices& Services();
std::string LessonsFolder();
std::string HomeRowKeys();

}  // namespace corv
