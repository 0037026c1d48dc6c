#pragma once
// Where the installation and the users' data are: worked out once per process.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace corv {

// "CorvNPath.ini": sections in brackets, key=value lines; names match without regard to
// case and %VAR% references are expanded from the environment (never through a shell).
class IniFile {
  public:
    bool Load(const std::string& path);
    // "" when absent.
    std::string Get(const std::string& section, const std::string& key) const;

  private:
    struct Item {
        std::string section, key, value;
    };
    std::vector<Item> items_;
};

// %NAME% replaced by the environment's value; unknown names are left as written.
std::string ExpandEnvironment(const std::string& text);

// The folders the rules give for a base folder, before anything is checked or created.
struct TFolderPlan {
    std::string baseFolder;      // ends in "/"
    std::string iniPath;         // "CorvNPath.ini" that was read; "" when there is none
    std::string rootFolder;      // ends in "/"
    std::string customDatabase;  // the configured database folder, "" when none; ends in "/"
};

class TProgramSettings {
  public:
    // Where `baseFolder` (the program's folder when empty) sends the installation. Reads
    // "CorvNPath.ini" and nothing else: a tool can say what it looked for before it starts.
    static TFolderPlan Locate(const std::string& baseFolder);

    // Works the folders out from `baseFolder` (the program's folder when empty). When the
    // installation is unusable it shows the stop message and ends the program; where the
    // registered shell does not end it (tests) it returns null.
    static std::unique_ptr<TProgramSettings> Create(const std::string& baseFolder);

    // The texts folder, once the policy is open; reports an empty layout list.
    void SetTextsFolder();

    // From the current operating-system layout identifier (eight hex digits).
    std::string layoutLanguage;  // last 2 characters
    std::string layoutPrefix;    // first 6
    std::string layoutVariant;   // 4th to 6th
    // "CorvKeyb.ini" without its first line: names, and name=value lines.
    std::vector<std::string> layoutNames;
    std::vector<std::string> layoutLines;

    // Folders, each ending in "/".
    std::string baseFolder;
    std::string databaseFolder;
    std::string rootFolder;
    std::string lessonsFolder;
    std::string keyboardsFolder;
    std::string textsFolder;

    // The source of the current layout identifier; the keyboard layer installs its own.
    static void SetLayoutIdSource(std::function<std::string()> source);
    // The folder of the running program, with "/" (tests may set another).
    static std::string ProgramFolder();
    static void SetProgramFolder(std::string folder);
};

// The process's settings (none before start-up made them).
TProgramSettings* ProgramSettings();
void SetProgramSettings(std::unique_ptr<TProgramSettings> settings);

}  // namespace corv
