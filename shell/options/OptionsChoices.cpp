#include "shell/options/OptionsChoices.h"

#include <algorithm>
#include <memory>

#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "data/keyboard/KeySystem.h"

namespace corv {
namespace {

// Writes the user's own value only when the layered value the page showed differs.
void StoreText(TUser& user, const std::string& key, const std::string& value) {
    if (user.LText(key, 1) != value) user.SetText(key, value);
}
void StoreBool(TUser& user, const std::string& key, bool value) {
    if (user.LBool(key, 1) != value) user.SetBool(key, value);
}

}  // namespace

TOptionsState TOptionsChoices::Read() {
    TOptionsState s;
    TLocalize& loc = Localization();
    s.languageNames = loc.LanguageNames();
    s.languageIndex = loc.EntryOfCode(TLocalize::CurrentCode());
    TDynamicSettings* policy = CorvSettings::Policy();
    TDynamicSettings* ws = CorvSettings::Workstation();
    TProgramSettings* ps = ProgramSettings();

    if (ps) {
        s.layoutNames = ps->layoutNames;
        std::sort(s.layoutNames.begin(), s.layoutNames.end());
        const std::string detected =
            ChooseLayoutFile(ps->layoutLines, LayoutSystem().CurrentLayoutId(), nullptr, "", true);
        if (detected != Str(1107)) s.detectedName = detected;
    }
    s.screenItems = policy && policy->GetBool("NoFullScreen") ? 2 : 3;
    const int screen = ws ? ws->GetInteger("FullScreen") : 0;
    s.screenIndex = screen >= 0 && screen < s.screenItems ? screen : -1;

    TUser* user = CurrentUser();
    if (!user) {
        s.autoDetect = !s.detectedName.empty();
        s.autoDetectEnabled = s.autoDetect;
        return s;
    }
    s.languageLocked = user->IsLocked("languagecode");

    // The choice that is in force: ChooseLayoutFile decides the same way.
    s.autoDetectLocked = user->IsLocked("KeyboardAutoDetect");
    s.layoutLocked = user->IsLocked("KeyboardLayout");
    s.autoDetect = user->LBool("KeyboardAutoDetect", 1);
    if (!s.autoDetectLocked && s.layoutLocked) s.autoDetect = false;
    if (s.detectedName.empty()) {
        s.autoDetectEnabled = false;
        s.autoDetect = false;
    }
    if (s.autoDetectLocked) s.autoDetectEnabled = false;
    const std::string layout = user->LText("KeyboardLayout", 1);
    auto it = std::lower_bound(s.layoutNames.begin(), s.layoutNames.end(), layout);
    if (it != s.layoutNames.end() && *it == layout) s.layoutIndex = int(it - s.layoutNames.begin());

    s.theme = user->LBool("ThemeSound", 1);
    s.themeLocked = user->IsLocked("ThemeSound");
    s.unitIndex = user->LBool("cpm", 1) ? 0 : 1;
    s.unitLocked = user->IsLocked("cpm");
    s.sounds = user->LBool("Sounds", 1) ? 1 : 0;
    s.soundsLocked = user->IsLocked("Sounds");
    return s;
}

std::string TOptionsChoices::DetectedLabel(const TOptionsState& state) {
    return state.detectedName.empty() ? Str(205) : state.detectedName;
}

bool TOptionsChoices::StoreLanguage(TOptionsState& state, int index) {
    TUser* user = CurrentUser();
    if (state.languageLocked || index < 0 || index >= int(state.languageNames.size())) return false;
    TLocalize& loc = Localization();
    const std::string code = ToUpper(loc.CodeOfEntry(index));
    const std::string previous = TLocalize::CurrentCode();
    if (code.empty() || code == previous) return false;
    try {
        loc.SetLanguage(code);
    } catch (const LocalizeError& e) {
        // A damaged file: the previous language comes back and the choice is not kept.
        ReportError(-1, e.what());
        try {
            loc.SetLanguage(previous);
        } catch (const LocalizeError&) {
        }
    }
    // A missing file falls back to the list's first language; only what loaded is kept.
    const std::string now = TLocalize::CurrentCode();
    state.languageIndex = loc.EntryOfCode(now);
    if (now == code && user && !EqualsNoCase(user->LText("LanguageCode", 1), code))
        user->SetText("LanguageCode", code);
    return now != previous || code != now;
}

bool TOptionsChoices::StoreLayout(TOptionsState& state, bool autoDetect, int layoutIndex) {
    TUser* user = CurrentUser();
    TProgramSettings* ps = ProgramSettings();
    if (!user || !ps) return false;
    if (autoDetect && !state.autoDetectEnabled) return false;
    if (state.layoutLocked && !autoDetect) layoutIndex = state.layoutIndex;
    if (layoutIndex < 0 || layoutIndex >= int(state.layoutNames.size())) {
        if (!autoDetect) return false;  // nothing named to switch to
        layoutIndex = state.layoutIndex;
    }

    // Tried with the new values; put back when the layout does not load.
    const std::string oldLayout = user->GetText("KeyboardLayout");
    const std::string oldAuto = user->GetText("KeyboardAutoDetect");
    if (layoutIndex >= 0 && !state.layoutLocked)
        StoreText(*user, "KeyboardLayout", state.layoutNames[layoutIndex]);
    if (!state.autoDetectLocked) StoreBool(*user, "KeyboardAutoDetect", autoDetect);

    const std::string file = ChooseLayoutFile(ps->layoutLines, LayoutSystem().CurrentLayoutId(),
                                              user, "qwerty.kbd", false);
    auto layout = std::make_unique<TKeyDataExt>();
    if (layout->Load(ps->keyboardsFolder + file) < 0) {
        user->SetText("KeyboardLayout", oldLayout);
        user->SetText("KeyboardAutoDetect", oldAuto);
        ReportError(-500, file + " not found!");
        return false;
    }
    SetCurrentLayout(std::move(layout));
    state.autoDetect = autoDetect;
    if (layoutIndex >= 0) state.layoutIndex = layoutIndex;
    return true;
}

void TOptionsChoices::StoreTheme(TOptionsState& state, bool on) {
    TUser* user = CurrentUser();
    if (!user || state.themeLocked) return;
    state.theme = on;
    StoreBool(*user, "ThemeSound", on);
    SetSound(kSoundIntro, on ? "Intro.wav" : "");
}

void TOptionsChoices::StoreSounds(TOptionsState& state, int index) {
    TUser* user = CurrentUser();
    if (!user || state.soundsLocked || index < 0 || index > 1) return;
    state.sounds = index;
    if ((user->LBool("Sounds", 1) ? 1 : 0) != index) user->SetInteger("Sounds", index);
    SetSoundsOn(user->LBool("Sounds", 1));
}

void TOptionsChoices::StoreUnit(TOptionsState& state, int index) {
    TUser* user = CurrentUser();
    if (!user || state.unitLocked || index < 0 || index > 1) return;
    state.unitIndex = index;
    StoreBool(*user, "cpm", index == 0);
}

void TOptionsChoices::StoreScreen(TOptionsState& state, int index) {
    TDynamicSettings* ws = CorvSettings::Workstation();
    // No item chosen keeps the stored value.
    if (!ws || index < 0 || index >= state.screenItems) return;
    state.screenIndex = index;
    if (ws->GetInteger("FullScreen") != index) ws->SetInteger("FullScreen", index);
}

}  // namespace corv
