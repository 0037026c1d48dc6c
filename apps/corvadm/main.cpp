// corvadm: the administrator's command line for an installation's settings and users.
// It works through the same classes as the programs, so it honours their file locks and
// keeps each file's encoding and line ends.

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "apps/corvadm/CommandSupport.h"
#include "apps/corvadm/CourseCommands.h"
#include "apps/corvadm/Installation.h"
#include "apps/corvadm/LayoutCommands.h"
#include "apps/corvadm/ReportCommands.h"
#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "data/UserMaintenance.h"
#include "version/BuildVersion.h"

using namespace corv;
using admin::Fail;
using admin::Print;

namespace {

// Every command there is: the help is made from this table, and only what it lists runs.
enum class Needs {
    kFile,      // works on the file it is given; an installation only to look a name up
    kDatabase,  // works on the installation's users
};

struct Command {
    const char* group;
    const char* verb;
    const char* args;  // words in brackets are optional
    const char* help;
    Needs needs;
};

constexpr Command kCommands[] = {
    {"settings", "list", "FILE", "every name=value entry", Needs::kFile},
    {"settings", "get", "FILE KEY", "one value (exit 1 when absent)", Needs::kFile},
    {"settings", "set", "FILE KEY VALUE", "change or add a value (an empty VALUE removes it)",
     Needs::kFile},
    {"users", "list", "[GROUP]", "index lines of a group (all users without GROUP)",
     Needs::kDatabase},
    {"users", "show", "NAME", "settings, results and difficult keys of a user", Needs::kDatabase},
    {"users", "rebuild-index", "", "rebuild the user indexes from the user files",
     Needs::kDatabase},
    {"users", "restore", "NAME", "put back the last good save of a damaged user (.bak)",
     Needs::kDatabase},
    {"layout", "check", "FILE", "every problem of a keyboard layout (exit 1 if any)", Needs::kFile},
    {"layout", "show", "FILE", "keys, fingers and home row of a keyboard layout", Needs::kFile},
    {"course", "check", "FILE", "every problem of a course (exit 1 if any)", Needs::kFile},
    {"report", "progress", "NAME --pdf FILE", "a user's progress report as PDF", Needs::kDatabase},
    {"report", "test", "NAME RESULT --pdf FILE", "the report of a user's test result as PDF",
     Needs::kDatabase},
    {"report", "diploma", "NAME RESULT --pdf FILE", "the diploma of a user's test result as PDF",
     Needs::kDatabase},
    {"report", "class", "[GROUP] --csv FILE", "one CSV row per user of a group (all without)",
     Needs::kDatabase},
};

std::string Usage() {
    std::string text =
        "usage: corvadm [--root DIR] COMMAND ...\n       corvadm --help | --version\n";
    for (const Command& c : kCommands) {
        std::string line = std::string("  ") + c.group + " " + c.verb;
        if (*c.args) line += std::string(" ") + c.args;
        line.resize(std::max<size_t>(line.size() + 1, 32), ' ');
        text += line + c.help + "\n";
    }
    text +=
        "FILE is a path, or a name found in the root folder (Policy.dyn, 0.grp) or the\n"
        "database folder (Name.usr); for layout, in the keyboards folder; for course, in\n"
        "the lessons folder. A command given the path of a file needs no root.\n"
        "The root is DIR, else the installation the FILE lies in, else the one that\n"
        "CorvNPath.ini beside this program names.\n"
        "Exit status: 0 done, 1 problems found or value absent, 2 usage or environment error.\n";
    return text;
}

// How many words `args` asks for: (required, at most).
std::pair<size_t, size_t> ArgCount(const char* args) {
    size_t required = 0, total = 0;
    bool inWord = false;
    for (const char* p = args;; ++p) {
        const bool blank = *p == ' ' || *p == '\0';
        if (!blank && !inWord) {
            ++total;
            if (*p != '[') ++required;
        }
        inWord = !blank;
        if (*p == '\0') break;
    }
    return {required, total};
}

std::string FindFile(const std::string& name) {
    TProgramSettings* ps = ProgramSettings();
    return admin::FindFile(name, ps ? std::vector<std::string>{ps->rootFolder, ps->databaseFolder}
                                    : std::vector<std::string>{});
}

int Settings(const std::vector<std::string>& args) {
    if (args.size() < 2) return Fail("settings needs a subcommand and a file");
    const std::string& verb = args[0];
    std::string path = FindFile(Utf8ToCp1252(args[1]));
    if (path.empty()) {
        const TProgramSettings* ps = ProgramSettings();
        return Fail("no such file: " + args[1] +
                    (ps ? " (nor in " + Cp1252ToUtf8(ps->rootFolder) + " or " +
                              Cp1252ToUtf8(ps->databaseFolder) + ")"
                        : std::string()));
    }
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
    if (args[0] == "restore" && args.size() == 2) {
        std::vector<std::string> done;
        std::string error;
        if (!RestoreUserFiles(Utf8ToCp1252(args[1]), done, error)) return Fail(Cp1252ToUtf8(error));
        for (const std::string& line : done) Print("restored " + Cp1252ToUtf8(line));
        return 0;
    }
    return Fail("unknown users command");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    std::string root;
    bool rootGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (args.empty() && a == "--root") {
            if (i + 1 == argc) return Fail("--root needs a folder");
            root = argv[++i];
            rootGiven = true;
        } else if (args.empty() && a.rfind("--root=", 0) == 0) {
            root = a.substr(7);
            rootGiven = true;
        } else if (args.empty() && (a == "--help" || a == "-h" || a == "help")) {
            std::fputs(Usage().c_str(), stdout);
            return admin::kExitOk;
        } else if (args.empty() && a == "--version") {
            std::printf("corvadm %s.%s (%s)\n", build_version::kVersion, build_version::kBuild,
                        build_version::kDate);
            return admin::kExitOk;
        } else if (args.empty() && a.size() > 1 && a[0] == '-') {
            return Fail("unknown option " + a + "\n" + Usage());
        } else {
            args.push_back(a);
        }
    }
    if (args.empty()) {
        std::fputs(Usage().c_str(), stderr);
        return admin::kExitFailed;
    }
    if (rootGiven && root.empty()) return Fail("--root needs a folder");

    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (args[0] == c.group && args.size() >= 2 && args[1] == c.verb) command = &c;
    if (!command) {
        bool group = false;
        for (const Command& c : kCommands) group = group || args[0] == c.group;
        return Fail((group ? "unknown " + args[0] + " command" : "unknown command " + args[0]) +
                    "; see corvadm --help");
    }
    const auto [required, most] = ArgCount(command->args);
    if (args.size() - 2 < required || args.size() - 2 > most)
        return Fail(std::string("usage: corvadm [--root DIR] ") + command->group + " " +
                    command->verb + (*command->args ? " " : "") + command->args);

    ui::SetProgramFileName("corvadm");
    char start[4096];
    if (!::getcwd(start, sizeof start)) return Fail("cannot tell the current folder");
    admin::SetStartFolder(start);

    // The installation: the one asked for, the one the file lies in, or the programs' own.
    std::string base;
    std::string file;
    if (command->needs == Needs::kFile) file = admin::ExistingPath(Utf8ToCp1252(args[2]));
    if (rootGiven)
        base = std::filesystem::absolute(std::filesystem::path(start) / root).string();
    else if (!file.empty())
        base = admin::InstallationOf(file);
    const std::string why = admin::WhyNoInstallation(base);
    if (!why.empty()) {
        // A file given by its path is read or checked on its own.
        if (rootGiven || command->needs == Needs::kDatabase)
            return Fail("no installation found (" + why +
                        "); give its root folder with --root DIR");
        if (file.empty())
            return Fail("no file " + args[2] + " here and no installation to look it up in (" +
                        why + "); give its root folder with --root DIR");
    }

    try {
        if (why.empty() && !admin::OpenInstallation(base))
            return Fail("cannot open the installation at " + base);
        if (command->needs == Needs::kDatabase) {
            const TProgramSettings* ps = ProgramSettings();
            if (!fs::DirectoryExists(ps->databaseFolder))
                return Fail("the database folder " + Cp1252ToUtf8(ps->databaseFolder) +
                            " does not exist (no user has been saved yet?)");
            // What is done to damaged files is logged where the programs log it.
            SetErrorLogFolder(ps->databaseFolder);
        }
        std::vector<std::string> rest(args.begin() + 1, args.end());
        int rc = admin::kExitFailed;
        if (args[0] == "settings")
            rc = Settings(rest);
        else if (args[0] == "users")
            rc = Users(rest);
        else if (args[0] == "layout")
            rc = LayoutCommand(rest);
        else if (args[0] == "course")
            rc = CourseCommand(rest);
        else if (args[0] == "report")
            rc = ReportCommand(rest);
        admin::CloseInstallation();
        return rc;
    } catch (const UserError& e) {
        return Fail(Cp1252ToUtf8(e.what()));
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
