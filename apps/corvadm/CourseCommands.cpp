#include "apps/corvadm/CourseCommands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "course/CourseCheck.h"
#include "data/ProgramSettings.h"

using namespace corv;

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "corvadm: %s\n", message.c_str());
    return 2;
}

void Print(const std::string& text) {
    std::printf("%s\n", Cp1252ToUtf8(text).c_str());
}

std::string FindCourse(const std::string& name) {
    // Paths go on as absolute ones: a relative name would be read from the lessons folder.
    if (fs::FileExists(name)) return std::filesystem::absolute(fs::ResolveCase(name)).string();
    // corvadm works from the root folder; a relative name is meant from where it was run.
    const char* start = std::getenv("PWD");
    if (start && *start && !name.empty() && name[0] != '/') {
        const std::string path = fs::ResolveCase(fs::Join(start, name));
        if (fs::FileExists(path)) return path;
    }
    if (TProgramSettings* ps = ProgramSettings()) {
        const std::string path = fs::ResolveCase(ps->lessonsFolder + name);
        if (fs::FileExists(path)) return path;
    }
    return {};
}

int Check(const std::string& path) {
    const std::vector<CourseProblem> problems = CheckCourse(path);
    for (const CourseProblem& p : problems) {
        std::string where = p.file == path ? fs::BaseName(path) : p.file;
        if (p.line > 0) where += ":" + std::to_string(p.line);
        Print(where + ": " + p.text);
    }
    if (problems.empty()) {
        Print(path + ": no problems");
        return 0;
    }
    Print(path + ": " + std::to_string(problems.size()) +
          (problems.size() == 1 ? " problem" : " problems"));
    return 1;
}

}  // namespace

int CourseCommand(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0] != "check") return Fail("course needs check and a file");
    const std::string path = FindCourse(Utf8ToCp1252(args[1]));
    if (path.empty()) return Fail("no such course file: " + args[1]);
    return Check(path);
}
