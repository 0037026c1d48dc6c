#pragma once
// Users and groups: one settings file per user in the database folder, layered over the
// user's group file and the installation policy; indexes per group; the statistics file.

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Settings.h"

namespace corv {

class TResults;
class TDifficultKeys;

// A refusal with a text for the user (already localized).
class UserError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A user's file that did not read cleanly. Its bytes were kept as a copy beside it and
// the error log says so; the file itself is left as it is, never written over.
class DamagedUserFile : public UserError {
  public:
    DamagedUserFile(const std::string& path, const std::string& damage, const std::string& copy,
                    const std::string& userName);
    std::string path, damage, copy;
};

class TUserGroup : public TDynamicSettings {
  public:
    // Root folder + id + ".Grp" in `mode`, else created in mode 1. Throws UserError.
    static std::unique_ptr<TUserGroup> Open(int id, int mode);
    // "0" first when no "0.grp" exists, then the base names of the "*.grp" files.
    static std::vector<std::string> GroupIds();
    static int HighestGroupId();
    static std::vector<std::string> GroupNames(const std::vector<std::string>& ids, int mode);
    // "Name", or the "unnamed group" text when empty.
    std::string Name();
};

class TUser : public TDynamicSettings {
  public:
    enum LockMode { kExclusive = 0, kShared = 2, kReadOnly = 4 };
    static constexpr const char* kVisitorName = "Visitor%%";
    static constexpr const char* kVisitorFile = "visitor%%";

    ~TUser() override;

    // An empty name is the visitor. Throws UserError.
    static std::unique_ptr<TUser> Open(const std::string& name, int indexGroup, int lockMode,
                                       bool settingsOnly);
    // Null when the user's ".usr" file does not exist.
    static std::unique_ptr<TUser> OpenExisting(const std::string& name, bool settingsOnly,
                                               int indexGroup, int lockMode);
    // Opens (creating) in lock mode 2 and writes the new-user keys. Rebuild indexes after.
    static std::unique_ptr<TUser> Create(const std::string& name);

    // The file base name a user name gives ("" when nothing is left of it).
    static std::string NormalizeName(const std::string& name);
    // The ".usr" base name the indexes give for the name, else its normalized form.
    static std::string FileBaseFor(const std::string& name, int indexGroup);

    // Index lines "file.usr=UserName" of a group (-1 all; 0 and below -1 group 0 and the
    // unindexed users), sorted and without repeats.
    static std::vector<std::string> UserList(int group);
    static std::vector<std::string> UserNames(int group);
    static void RebuildIndexes();

    // Saves results, settings and (unless settings only) the statistics file. 1 on
    // success, 0 when the database folder is missing, -1 when a write failed.
    virtual int SaveUser();

    bool CheckPassword(const std::string& password);
    void SetPassword(const std::string& password);
    static std::string PasswordDigest(const std::string& password);

    // Layered lookups: mode 0 the user's value, 1 the user's else the policy's else the
    // group's, 2 the group's; a key locked by the policy or the group always answers
    // from there.
    virtual std::string LText(const std::string& key, int mode = 0);
    virtual int32_t LInteger(const std::string& key, int mode = 0);
    virtual bool LBool(const std::string& key, int mode = 0);
    virtual double LReal(const std::string& key, int mode = 0);
    virtual std::vector<std::string> LList(const std::string& key, int mode = 0);
    bool IsLocked(const std::string& key);

    std::string DisplayName();
    static std::string WorkstationName();
    int GroupId();
    void SetGroupId(int id);
    std::string GroupName();

    // Key progression: one entry per chapter of the course.
    int AddKeys(const std::string& keys);
    std::string KeysUpToLevel(int n) const;
    std::string KeysOfLevel(int n) const;
    void ResetKeyLevel() { keyLevel = 1; }
    void RaiseKeyLevel(int n) {
        if (n > keyLevel) keyLevel = n;
    }

    std::string SpeedUnitLabel();
    int SpeedInUnit(int charsPerMinute);
    std::string TimeStudiedText();
    std::string TimeStudiedClock();

    // The meter's start at log-on, as the workstation settings say.
    void LaunchAtStartup(const std::string& programPath);
    static void LaunchAtStartupFor(const std::string& programPath);
    static void RemoveLaunchAtStartup();

    TResults& Results() { return *results_; }
    TDynamicSettings* Group() { return group_.get(); }
    const std::string& FileBase() const { return fileBase_; }
    std::string UsrPath() const;
    std::string StatisticsPath();
    // The monitored applications, file base + ".SET".
    std::string AppsPath() const;
    bool IsVisitor() const;

    bool settingsOnly = false;
    std::string layoutRole;
    int storedKeyLevel = 0;
    std::vector<std::string> keyProgression;
    int keyLevel = 1;

    // The statistics file: both key tables and the collected words (CollectedWords(),
    // written back byte for byte while the meter has not changed them).
    void LoadStatistics();
    int SaveStatistics();

    // What the layout says ";" is typed as in key lists ("SEMICOLON" entries).
    static void SetSemicolonSource(std::function<char()> source);

  private:
    TUser();
    std::string LayeredValue(const std::string& key, int mode);
    void OpenGroup();

    std::string name_;
    std::string fileBase_;
    std::unique_ptr<TUserGroup> group_;
    std::unique_ptr<TResults> results_;
    void LoadApps();
    void SaveApps();

    std::string wordsBlock_;   // the collected words as stored
    bool appsLoaded_ = false;  // this user's list is MonitoredApps()
};

// Process-wide: the current user and the two difficult-key tables.
TUser* CurrentUser();
void SetCurrentUser(std::unique_ptr<TUser> user);
TDifficultKeys& DifficultKeysA();
TDifficultKeys& DifficultKeysB();
TDifficultKeys& ActiveDifficultKeys();
// 1 = B, anything else A.
void SelectDifficultKeys(int table);

}  // namespace corv
