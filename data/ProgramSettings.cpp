#include "data/ProgramSettings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "core/UserInterface.h"
#include "core/Utility.h"

namespace corv {
namespace {

std::unique_ptr<TProgramSettings>& Instance() {
    static std::unique_ptr<TProgramSettings> instance;
    return instance;
}

std::function<std::string()>& LayoutIdSource() {
    static std::function<std::string()> source = [] { return std::string("00000409"); };
    return source;
}

std::string WithSlash(std::string folder) {
    folder = fs::NormalizeSeparators(folder);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool IsDirectory(const std::string& path) {
    return fs::DirectoryExists(path);
}

void MakeFolders(const std::string& path) {
    std::string p = fs::NormalizeSeparators(path);
    for (size_t i = 1; i <= p.size(); ++i)
        if (i == p.size() || p[i] == '/') ::mkdir(p.substr(0, i).c_str(), 0777);
}

void Stop(const std::string& text, const std::string& caption, std::vector<int> ids) {
    ui::Message(text, caption, ui::Icon::kError, ui::Buttons::kOk, std::move(ids));
    ui::Shell().EndProgram(1);
}

}  // namespace

// ---------------------------------------------------------------------------------------

bool IniFile::Load(const std::string& path) {
    items_.clear();
    std::vector<std::string> lines;
    if (TStreamFile::LoadLines(lines, path) != 1) return false;
    std::string section;
    for (const std::string& raw : lines) {
        std::string line = TrimBlanks(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            section = TrimBlanks(
                line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        items_.push_back(
            {section, TrimBlanks(line.substr(0, eq)), TrimBlanks(line.substr(eq + 1))});
    }
    return true;
}

std::string IniFile::Get(const std::string& section, const std::string& key) const {
    for (const Item& item : items_)
        if (EqualsNoCase(item.section, section) && EqualsNoCase(item.key, key)) {
            std::string v = item.value;
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
            return v;
        }
    return {};
}

std::string ExpandEnvironment(const std::string& text) {
    std::string out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t open = text.find('%', pos);
        if (open == std::string::npos) break;
        size_t close = text.find('%', open + 1);
        if (close == std::string::npos) break;
        out.append(text, pos, open - pos);
        std::string name = text.substr(open + 1, close - open - 1);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            out += value;
            pos = close + 1;
        } else {
            out += '%';  // unknown: keep as written, the closing "%" may open the next
            pos = open + 1;
        }
    }
    out.append(text, pos, std::string::npos);
    return out;
}

// ---------------------------------------------------------------------------------------

void TProgramSettings::SetLayoutIdSource(std::function<std::string()> source) {
    LayoutIdSource() = std::move(source);
}

namespace {
std::string& ProgramFolderOverride() {
    static std::string folder;
    return folder;
}
}  // namespace

void TProgramSettings::SetProgramFolder(std::string folder) {
    ProgramFolderOverride() = std::move(folder);
}

std::string TProgramSettings::ProgramFolder() {
    if (!ProgramFolderOverride().empty()) return WithSlash(ProgramFolderOverride());
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "./";
    return fs::DirName(std::string(buf, static_cast<size_t>(n)));
}

TFolderPlan TProgramSettings::Locate(const std::string& givenBase) {
    TFolderPlan plan;
    const std::string programFolder = ProgramFolder();
    plan.baseFolder = WithSlash(givenBase.empty() ? programFolder : givenBase);

    const std::string iniPath = fs::ResolveCase(plan.baseFolder + "CorvNPath.ini");
    IniFile ini;
    if (fs::FileExists(iniPath) && ini.Load(iniPath)) {
        plan.iniPath = iniPath;
        std::string dataPath = ExpandEnvironment(ini.Get("Path", "DataPath")).substr(0, 250);
        if (dataPath.empty()) {
            plan.rootFolder = programFolder;
        } else {
            dataPath = fs::NormalizeSeparators(dataPath);
            // A relative path is taken from the folder the file lies in; "../" is resolved
            // as the system does, so that messages name the folder plainly.
            plan.rootFolder = dataPath[0] == '/' ? dataPath : plan.baseFolder + dataPath;
            std::error_code error;
            if (dataPath[0] != '/' && dataPath.find("..") != std::string::npos) {
                const auto plain = std::filesystem::weakly_canonical(plan.rootFolder, error);
                if (!error) plan.rootFolder = plain.string();
            }
        }
        std::string customDatabase = ExpandEnvironment(ini.Get("Path", "DataBase"));
        if (ini.Get("Path", "AppData") == "1") customDatabase = UserAppDataFolder() + "/Corvella10";
        if (!customDatabase.empty()) plan.customDatabase = WithSlash(customDatabase);
    } else {
        plan.rootFolder = givenBase.empty() ? programFolder : givenBase;
    }
    plan.rootFolder = WithSlash(fs::ResolveCase(plan.rootFolder));
    return plan;
}

std::unique_ptr<TProgramSettings> TProgramSettings::Create(const std::string& givenBase) {
    auto ps = std::make_unique<TProgramSettings>();

    std::string id = ToUpper(LayoutIdSource()());
    if (id.size() >= 8) {
        ps->layoutLanguage = id.substr(id.size() - 2);
        ps->layoutPrefix = id.substr(0, 6);
        ps->layoutVariant = id.substr(3, 3);
    }

    const TFolderPlan plan = Locate(givenBase);
    ps->baseFolder = plan.baseFolder;
    ps->rootFolder = plan.rootFolder;
    if (!plan.customDatabase.empty()) {
        if (!IsDirectory(plan.customDatabase)) MakeFolders(plan.customDatabase);
        ps->databaseFolder = WithSlash(fs::ResolveCase(plan.customDatabase));
    } else {
        ps->databaseFolder = WithSlash(fs::ResolveCase(ps->rootFolder + "Database"));
    }
    ps->lessonsFolder = WithSlash(fs::ResolveCase(ps->rootFolder + "lessons"));
    ps->keyboardsFolder = WithSlash(fs::ResolveCase(ps->rootFolder + "keyboards"));

    if (!IsDirectory(ps->rootFolder)) {
        Stop(Str(358) + "\r\n" + Str(359), Str(360), {358, 359, 360});
        return nullptr;
    }
    if (!fs::FileExists(ps->rootFolder + "Policy.dyn")) {
        Stop(Str(361) + "\r\n" + Str(362) + ToUpper(ps->rootFolder) + Str(363) + "\r\n\r\n" +
                 Str(364),
             Str(1), {361, 362, 363, 364, 1});
        return nullptr;
    }
    if (!IsDirectory(ps->databaseFolder)) ReportError(0, "Database directory not found");

    // The first line of the list is its heading, not a layout.
    std::vector<std::string> lines;
    if (TStreamFile::LoadLines(lines, ps->rootFolder + "CorvKeyb.ini") == 1 && !lines.empty()) {
        for (size_t i = 1; i < lines.size(); ++i) {
            size_t eq = lines[i].find('=');
            if (eq == std::string::npos) continue;
            ps->layoutNames.push_back(lines[i].substr(0, eq));
            ps->layoutLines.push_back(lines[i]);
        }
    }
    return ps;
}

void TProgramSettings::SetTextsFolder() {
    std::string custom;
    if (TDynamicSettings* policy = CorvSettings::Policy())
        custom = policy->GetText("CustomStoryPath");
    textsFolder = custom.empty() ? WithSlash(fs::ResolveCase(rootFolder + "Texts"))
                                 : WithSlash(fs::ResolveCase(custom));
    if (layoutNames.empty()) ReportError(0, "No keyboard layouts defined in INI");
}

TProgramSettings* ProgramSettings() {
    return Instance().get();
}
void SetProgramSettings(std::unique_ptr<TProgramSettings> settings) {
    Instance() = std::move(settings);
}

}  // namespace corv
