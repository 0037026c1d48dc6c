#include "apps/corvadm/Installation.h"

#include <unistd.h>

#include <exception>
#include <filesystem>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "data/ProgramSettings.h"

namespace corv::admin {
namespace {

// Takes the folder rules' own messages while corvadm opens the installation.
class QuietMessages : public ui::MessageUi {
  public:
    int Show(const ui::MessageRequest& request) override { return request.defaultAnswer; }
};

}  // namespace

std::string InstallationOf(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    for (int level = 0; level < 4 && !folder.empty(); ++level) {
        if (fs::FileExists(fs::ResolveCase(folder.string() + "/Policy.dyn")))
            return folder.string();
        if (folder == folder.root_path()) break;
        folder = folder.parent_path();
    }
    return {};
}

std::string WhyNoInstallation(const std::string& base) {
    const TFolderPlan plan = TProgramSettings::Locate(base);
    const bool rootThere = fs::DirectoryExists(plan.rootFolder);
    if (rootThere && fs::FileExists(fs::ResolveCase(plan.rootFolder + "Policy.dyn"))) return {};
    std::string why;
    if (!fs::DirectoryExists(plan.baseFolder)) {
        why = plan.baseFolder + " does not exist";
    } else if (plan.iniPath.empty()) {
        why = plan.baseFolder + " has neither CorvNPath.ini nor Policy.dyn";
    } else {
        why = plan.rootFolder + ", named by " + plan.iniPath + ", " +
              (rootThere ? "has no Policy.dyn" : "does not exist");
    }
    return why;
}

bool OpenInstallation(const std::string& base) {
    QuietMessages quiet;
    ui::SetMessageUi(&quiet);
    std::unique_ptr<TProgramSettings> ps = TProgramSettings::Create(base);
    ui::SetMessageUi(nullptr);
    if (!ps) return false;
    // The language files live in the root folder, as for the programs after start-up.
    if (::chdir(ps->rootFolder.c_str()) == 0 &&
        fs::FileExists(fs::ResolveCase(CorvSettings::LanguageFileBase() + ".eng"))) {
        try {
            Localization().Load(CorvSettings::LanguageFileBase());
        } catch (const std::exception&) {
        }
    }
    CorvSettings::OpenPolicy(ps->rootFolder);
    SetProgramSettings(std::move(ps));
    return true;
}

void CloseInstallation() {
    CorvSettings::CloseAll();
    SetProgramSettings(nullptr);
}

}  // namespace corv::admin
