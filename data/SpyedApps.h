#pragma once
// The monitored applications of a user: which programs the meter keeps words from. One
// ".SET" file per user (raw 772-byte records), read with the user and written when the
// user is saved. Measuring counts every key whatever the list says; an excluded
// application only keeps its words out of the collection. The defaults exclude the
// password, passphrase and unlock prompts and the screen lockers besides the usual
// system programs.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corv {

class TAppSettings {
  public:
    static constexpr size_t kRecordSize = 772;

    // Excluding an application with an extra text adds a process atom named after it;
    // including it again deletes the atom. Nothing reads the atoms; they are kept for
    // what the file says.
    void SetIncluded(bool value);
    bool Included() const { return included_; }
    uint16_t Atom() const { return atom_; }

    std::string executable;  // upper case; a trailing "*" matches every name it begins
    bool hidden = false;
    std::string displayName;
    std::string extraText;

    // Whether this entry names the program (upper-cased executable file name).
    bool Matches(std::string_view program) const;

    std::string ToBytes() const;
    // One record; the included value goes through SetIncluded.
    void FromBytes(std::string_view record);

  private:
    bool included_ = true;
    uint16_t atom_ = 0;
};

class TSpyedApps {
  public:
    TSpyedApps() = default;
    ~TSpyedApps();  // deletes every atom
    TSpyedApps(const TSpyedApps&) = delete;
    TSpyedApps& operator=(const TSpyedApps&) = delete;

    // False when the file cannot be read (the caller then adds the defaults and saves).
    // A size that is not whole records is reported and the whole records are taken.
    bool LoadApps(const std::string& path);
    // Written to a temporary file renamed over the old one; 1, or -1 when that failed.
    int SaveApps(const std::string& path);

    void Add(std::string_view executable, bool included, std::string_view displayName, bool hidden,
             std::string_view extraText);
    // The built-in list: system programs, prompts that ask for secrets, screen lockers.
    void AddDefaults();
    // Adds the secret prompts and lockers of the defaults that the list does not name.
    // True when something was added.
    bool AddMissingPrivacyEntries();

    // The first entry for the program, or null.
    const TAppSettings* Find(std::string_view program) const;
    // True when the program's words must not be collected.
    bool Excludes(std::string_view program) const;

    const std::vector<std::unique_ptr<TAppSettings>>& Entries() const { return entries_; }
    bool changed = false;

  private:
    std::vector<std::unique_ptr<TAppSettings>> entries_;
};

// Programs that lock the screen: while one of them is active nothing is measured.
bool IsScreenLocker(std::string_view program);

// The process's list, loaded with the user (null while no user with statistics is open).
TSpyedApps* MonitoredApps();
void SetMonitoredApps(std::unique_ptr<TSpyedApps> apps);

}  // namespace corv
