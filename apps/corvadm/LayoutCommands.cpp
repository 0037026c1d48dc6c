#include "apps/corvadm/LayoutCommands.h"

#include <cstdio>
#include <cstdlib>

#include "apps/corvadm/CommandSupport.h"
#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "data/ProgramSettings.h"
#include "data/keyboard/KeyCheck.h"
#include "data/keyboard/KeyData.h"

using namespace corv;
using admin::Fail;
using admin::Print;

namespace {

std::string FindLayout(const std::string& name) {
    TProgramSettings* ps = ProgramSettings();
    return admin::FindFile(
        name, ps ? std::vector<std::string>{ps->keyboardsFolder} : std::vector<std::string>{});
}

// The tool speaks English whatever the installation's language is.
const char* FingerText(int finger) {
    static const char* const kNames[] = {
        "left little",  "left ring",  "left middle",  "left index", "right index",
        "right middle", "right ring", "right little", "left thumb", "right thumb"};
    return finger >= 1 && finger <= 10 ? kNames[finger - 1] : "no finger";
}

// Texts that do not show themselves.
std::string Visible(const std::string& text) {
    if (text == "\t") return "TAB";
    if (text == "\r") return "ENTER";
    if (text == "\b") return "BACKSPACE";
    if (text == " ") return "SPACE";
    return text;
}

std::string Pad(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string Flags(const TKeyInfoExt& k) {
    std::string f;
    if (k.hidden) f += 'h';
    if (k.homeBump) f += 'n';
    if (k.alwaysColoured) f += 'a';
    if (k.secondFont) f += 's';
    if (k.errorPicture) f += 'z';
    if (k.storedOnly) f += 'd';
    return f.empty() ? "-" : f;
}

int Check(const std::string& path) {
    const std::vector<TLayoutProblem> problems = CheckLayoutFile(path);
    for (const TLayoutProblem& p : problems)
        Print((p.line > 0 ? "line " + std::to_string(p.line) : std::string("layout")) + ": " +
              p.text);
    if (problems.empty()) {
        Print(path + ": no problems");
        return 0;
    }
    Print(path + ": " + std::to_string(problems.size()) +
          (problems.size() == 1 ? " problem" : " problems"));
    return 1;
}

int Show(const std::string& path) {
    TKeyDataExt layout;
    std::vector<TLayoutProblem> problems;
    TLayoutLoadOptions options;
    options.problems = &problems;
    if (layout.Load(path, options) < 0) return Fail("cannot read " + path);
    for (const TLayoutProblem& p : problems)
        if (p.line == 0) return Fail(p.text + " (" + path + ")");

    Print("file:          " + path);
    Print("layout code:   " +
          (layout.layoutCode.empty() ? std::string("none") : layout.layoutCode));
    Print("material base: " + layout.materialBase);
    Print(std::string("dynamic:       ") +
          (layout.dynamic ? "yes (characters from the system's layout)" : "no"));
    if (layout.IsBowl()) Print("bowl layout:   yes");
    Print("home row:      " + layout.homeRow);
    for (char c : layout.homeRow) {
        const int finger = layout.FingerOf(c);
        Print(std::string("  ") + c + "  finger " + std::to_string(finger) + " (" +
              FingerText(finger) + ")");
    }
    Print("");
    Print("line  kind             finger             x    y    w    h  flags  texts");
    for (const auto& key : layout.keys) {
        const TKeyInfoExt& k = *key;
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, "%4d %4d %4d %4d", k.x, k.y, k.width, k.height);
        std::string texts;
        for (int slot = 0; slot < TKeyInfoExt::kSlots; ++slot) {
            const std::string& t = k.texts[static_cast<size_t>(slot)];
            if (!t.empty())
                texts += (texts.empty() ? "" : "  ") + std::to_string(slot) + ":" + Visible(t);
        }
        if (k.controlNumber != 0) texts += "  control " + std::to_string(k.controlNumber);
        if (k.scanCode != 0) texts += "  scan " + std::to_string(k.scanCode);
        Print(Pad(std::to_string(k.line), 6) + Pad(k.kind, 17) +
              Pad(std::to_string(k.finger) + " " + FingerText(k.finger), 16) + numbers + "  " +
              Pad(Flags(k), 7) + texts);
    }
    Print("");
    Print(std::to_string(layout.keys.size()) + " keys");
    return 0;
}

}  // namespace

int LayoutCommand(const std::vector<std::string>& args) {
    if (args.size() != 2 || (args[0] != "check" && args[0] != "show"))
        return Fail("layout needs check or show and a file");
    const std::string path = FindLayout(Utf8ToCp1252(args[1]));
    if (path.empty()) return Fail("no such layout file: " + args[1]);
    return args[0] == "check" ? Check(path) : Show(path);
}
