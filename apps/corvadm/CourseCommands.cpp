#include "apps/corvadm/CourseCommands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "apps/corvadm/CommandSupport.h"
#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "course/CourseCheck.h"
#include "data/ProgramSettings.h"

using namespace corv;
using admin::Fail;
using admin::Print;

namespace {

std::string FindCourse(const std::string& name) {
    // Paths go on as absolute ones: a relative name would be read from the lessons folder.
    TProgramSettings* ps = ProgramSettings();
    return admin::FindFile(
        name, ps ? std::vector<std::string>{ps->lessonsFolder} : std::vector<std::string>{});
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
