#pragma once
// What the options page shows and stores, without widgets: the values and locks read from
// the user's, the group's and the policy's settings and from the workstation, and the
// stores that make a choice take effect at once. The view (OptionsView.h) only mirrors
// these; tests drive them directly too.
//
// Reading changes nothing, and a store writes only a value that differs from the one the
// page showed, so opening and leaving the page leaves every file as it was.

#include <string>
#include <vector>

namespace corv {

class TUser;
class TDynamicSettings;

struct TOptionsState {
    // Language list entry of the current language code.
    std::vector<std::string> languageNames;
    int languageIndex = 0;
    bool languageLocked = false;

    // The layout the system's layout maps to; empty when none of the list fits.
    std::string detectedName;
    bool autoDetect = true;  // AutoDetect checked, else UserLayout
    bool autoDetectEnabled = true;
    bool autoDetectLocked = false;
    std::vector<std::string> layoutNames;  // sorted
    int layoutIndex = -1;                  // -1: the user's layout is not in the list
    bool layoutLocked = false;

    bool theme = false;
    bool themeLocked = false;
    int sounds = 0;  // 0 off, 1 on
    bool soundsLocked = false;
    int unitIndex = 0;  // 0 characters per minute, 1 words per minute
    bool unitLocked = false;
    int screenItems = 3;   // 2 when the policy forbids full screen
    int screenIndex = -1;  // -1: the stored value has no item
};

class TOptionsChoices {
  public:
    // Reads the current user's page; no user gives the defaults.
    static TOptionsState Read();
    // The name AutoDetect shows: the detected layout, else string 205.
    static std::string DetectedLabel(const TOptionsState& state);

    // Each stores its choice in the user's own file (the screen size in the workstation
    // settings) when it differs from the shown value, and applies it.
    // The language: true when the language changed (the texts must be built again).
    static bool StoreLanguage(TOptionsState& state, int index);
    // The layout: loads it first; only a layout that loaded is stored. A failed load is
    // reported (-500) and leaves layout, settings and state as they were; false then.
    static bool StoreLayout(TOptionsState& state, bool autoDetect, int layoutIndex);
    static void StoreTheme(TOptionsState& state, bool on);
    static void StoreSounds(TOptionsState& state, int index);
    static void StoreUnit(TOptionsState& state, int index);
    static void StoreScreen(TOptionsState& state, int index);
};

}  // namespace corv
