// corvadm: the administrator's command line for an installation's settings and users.
// It works through the same classes as the programs, so it honours their file locks and
// keeps each file's encoding and line ends.

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "apps/corvadm/CommandSupport.h"
#include "apps/corvadm/CourseCommands.h"
#include "apps/corvadm/LayoutCommands.h"
#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"

using namespace corv;
using admin::Fail;
using admin::Print;

namespace {

const char kUsage[] =
    "usage: corvadm [--root DIR] COMMAND ...\n"
    "  settings list FILE            every name=value entry\n"
    "  settings get FILE KEY         one value (exit 1 when absent)\n"
    "  settings set FILE KEY VALUE   change or add a value (an empty VALUE removes it)\n"
    "  users list [GROUP]            index lines of a group (all users without GROUP)\n"
    "  users show NAME               settings, results and difficult keys of a user\n"
    "  users rebuild-index           rebuild the user indexes from the user files\n"
    "  layout check FILE             every problem of a keyboard layout (exit 1 if any)\n"
    "  layout show FILE              keys, fingers and home row of a keyboard layout\n"
    "  course check FILE             every problem of a course (exit 1 if any)\n"
    "FILE is a path, or a name found in the root folder (Policy.dyn, 0.grp) or the\n"
    "database folder (Name.usr); for layout, in the keyboards folder; for course, in\n"
    "the lessons folder. The root comes from --root or CorvNPath.ini beside this program.\n";

std::string FindFile(const std::string& name) {
    TProgramSettings* ps = ProgramSettings();
    return admin::FindFile(name, ps ? std::vector<std::string>{ps->rootFolder, ps->databaseFolder}
                                    : std::vector<std::string>{});
}

int Settings(const std::vector<std::string>& args) {
    if (args.size() < 2) return Fail("settings needs a subcommand and a file");
    const std::string& verb = args[0];
    std::string path = FindFile(Utf8ToCp1252(args[1]));
    if (path.empty()) return Fail("no such file: " + args[1]);
    TDynamicSettings s;
    // Writing takes the same lock a program does; reading lets others write meanwhile.
    if (s.Open(path, verb == "set" ? 2 : -3) != 1 || s.LoadNow() != 1)
        return Fail("cannot open " + path + " (in use by a program?)");
    if (verb == "list" && args.size() == 2) {
        std::vector<std::string> entries;
        s.File().Entries(entries);
        for (const std::string& e : entries) Print(e);
        return 0;
    }
    if (verb == "get" && args.size() == 3) {
        std::string value;
        if (s.File().GetText(Utf8ToCp1252(args[2]), value) != 1) return 1;
        Print(value);
        return 0;
    }
    if (verb == "set" && args.size() == 4) {
        if (s.SetText(Utf8ToCp1252(args[2]), Utf8ToCp1252(args[3])) != 1)
            return Fail("refused: a name may not hold '=', and no line breaks anywhere");
        if (s.Save() != 1) return Fail("could not save " + path + "; the file is unchanged");
        return 0;
    }
    return Fail("unknown settings command");
}

std::string Pad(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

int ShowUser(const std::string& name) {
    std::unique_ptr<TUser> user = TUser::OpenExisting(name, false, -1, TUser::kReadOnly);
    if (!user) return Fail("no such user: " + Cp1252ToUtf8(name));
    Print("[settings]");
    std::vector<std::string> entries;
    user->File().Entries(entries);
    for (const std::string& e : entries)
        if (!(e.size() > 2 && (e[0] == 'R' || e[0] == 'r') && (e[1] == 'e' || e[1] == 'E') &&
              std::isdigit(static_cast<unsigned char>(e[2]))))
            Print(e);
    Print("");
    Print("[results]");
    Print("index source kind mode course   ch  ex  ev  done gross net  acc  typing name");
    TResults& results = user->Results();
    for (int i = 0; i < results.Count(); ++i) {
        const TResultItem& r = results[i];
        char line[256];
        std::snprintf(line, sizeof line,
                      "%-5d %-6s %-4s %-4s %-8s %3d %3d %3d %-4s %5d %4d %4d %6d ", r.Index,
                      r.Source.c_str(), r.Kind.c_str(), r.Mode.c_str(),
                      (r.Source == "NAME" ? r.Identifier : r.CourseId).c_str(), r.Chapter,
                      r.Exercise, r.EventNumber, r.Checked ? "yes" : "no", r.GrossSpeed, r.NetSpeed,
                      r.Accuracy, r.TypingSeconds);
        Print(line + r.Name);
    }
    Print("");
    Print("[difficult keys]");
    TDifficultKeys& keys = DifficultKeysA();
    for (int k = 1; k <= 20; ++k) {
        double d = keys.DifficultyOfRank(k);
        if (d <= 0) break;
        char line[64];
        std::snprintf(line, sizeof line, "%2d. %c  %5.1f", k,
                      static_cast<char>(keys.KthDifficultChar(k)), d);
        Print(line);
    }
    user->File().DiscardChanges();
    return 0;
}

int Users(const std::vector<std::string>& args) {
    if (args.empty()) return Fail("users needs a subcommand");
    if (args[0] == "list" && args.size() <= 2) {
        int group = -1;
        if (args.size() == 2) {
            auto n = settings_format::ParseInt32(args[1]);
            if (!n) return Fail("GROUP is a number");
            group = *n;
        }
        for (const std::string& line : TUser::UserList(group)) {
            size_t eq = line.find('=');
            Print(Pad(line.substr(0, eq), 32) + line.substr(eq + 1));
        }
        return 0;
    }
    if (args[0] == "show" && args.size() == 2) return ShowUser(Utf8ToCp1252(args[1]));
    if (args[0] == "rebuild-index" && args.size() == 1) {
        TUser::RebuildIndexes();
        return 0;
    }
    return Fail("unknown users command");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string root;
    if (args.size() >= 2 && args[0] == "--root") {
        root = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    ui::SetProgramFileName("corvadm");
    try {
        std::unique_ptr<TProgramSettings> ps = TProgramSettings::Create(root);
        if (!ps) return 2;
        // The language files live in the root folder, as for the programs after start-up.
        if (::chdir(ps->rootFolder.c_str()) == 0 &&
            fs::FileExists(CorvSettings::LanguageFileBase() + ".eng")) {
            try {
                Localization().Load(CorvSettings::LanguageFileBase());
            } catch (const std::exception&) {
            }
        }
        CorvSettings::OpenPolicy(ps->rootFolder);
        SetProgramSettings(std::move(ps));
        const std::string command = args[0];
        args.erase(args.begin());
        int rc;
        if (command == "settings")
            rc = Settings(args);
        else if (command == "users")
            rc = Users(args);
        else if (command == "layout")
            rc = LayoutCommand(args);
        else if (command == "course")
            rc = CourseCommand(args);
        else
            rc = Fail("unknown command " + command + "\n" + kUsage);
        CorvSettings::CloseAll();
        return rc;
    } catch (const UserError& e) {
        return Fail(Cp1252ToUtf8(e.what()));
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
