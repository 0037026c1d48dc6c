#include "data/SpyedApps.h"

#include <algorithm>
#include <map>

#include "core/AtomicFile.h"
#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/UserInterface.h"

namespace corv {
namespace {

// A process-local stand-in for the system's atom table: names and numbers only.
struct AtomTable {
    std::map<std::string, uint16_t> byName;
    uint16_t next = 0xC000;
};
AtomTable& Atoms() {
    static AtomTable t;
    return t;
}
void DeleteAtom(uint16_t atom) {
    auto& names = Atoms().byName;
    for (auto it = names.begin(); it != names.end(); ++it)
        if (it->second == atom) {
            names.erase(it);
            return;
        }
}

struct DefaultApp {
    const char* executable;
    const char* displayName;
};

// Excluded and hidden: programs whose typing is no prose.
constexpr DefaultApp kSystemApps[] = {
    {"KERNEL32.DLL", "Windows Kernel"},
    {"HOLLIN.EXE", "Corvella Vantor"},
    {"CALC.EXE", "Microsoft Calc"},
    {"PAINT.EXE", "Microsoft Paint"},
    {"CLOCK.EXE", "Microsoft Clock"},
    {"EXPLORER.EXE", "Microsoft Explorer"},
    {"TASKMGR.EXE", "Windows Task Manager"},
    {"RASMON.EXE", "Windows RAS Monitor"},
    {"RUNDLL.EXE", "Windows Component"},
    {"RUNDLL32.EXE", "Windows Component"},
    {"INTERNAT.EXE", "Windows Component"},
    {"SETUP.EXE", "Setup"},
    {"CDPLAYER.EXE", "Microsoft CD Player"},
    {"WMSCHED.EXE", "Novell Netware Scheduler"},
    {"AUTORUN.EXE", "Setup Autorun"},
    {"ACRORD32.EXE", "Acrobat Reader"},
    {"WORDVIEW.EXE", "Microsoft Word Viewer"},
    {"REGEDT32.EXE", "Microsoft RegEdit32"},
    {"REGEDIT.EXE", "Microsoft RegEdit"},
    {"QUIKVIEW.EXE", "Microsoft QuickView"},
    {"MSTASK.EXE", "Microsoft Task Scheduler"},
    {"CPQALERT.EXE", "Compaq Alert Service"},
    {"DRWATSON.EXE", "Microsoft DRWatson"},
    {"WINHLP32.EXE", "Microsoft Help"},
    {"FSM32.EXE", "F-secure"},
    {"SNDVOL32.EXE", "Volume Control"},
    {"HOLLIN", "Corvella Wendro"},
};

// Excluded and shown: whatever is typed into these is a secret.
constexpr DefaultApp kPrivacyApps[] = {
    {"PINENTRY*", "Passphrase prompt (pinentry)"},
    {"SSH-ASKPASS*", "SSH passphrase prompt"},
    {"KSSHASKPASS", "SSH passphrase prompt (KDE)"},
    {"LXQT-OPENSSH-ASKPASS", "SSH passphrase prompt (LXQt)"},
    {"POLKIT-*", "Administrator password prompt (polkit)"},
    {"LXPOLKIT", "Administrator password prompt (LXDE)"},
    {"LXQT-POLICYKIT-AGENT", "Administrator password prompt (LXQt)"},
    {"XFCE-POLKIT", "Administrator password prompt (Xfce)"},
    {"GCR-PROMPTER", "Keyring prompt (GNOME)"},
    {"GNOME-KEYRING*", "Keyring (GNOME)"},
    {"KWALLETD*", "Wallet prompt (KDE)"},
    {"SEAHORSE", "Passwords and Keys"},
    {"KEEPASSXC", "KeePassXC"},
    {"KEEPASS*", "KeePass"},
    {"BITWARDEN", "Bitwarden"},
    {"1PASSWORD", "1Password"},
    {"ENPASS", "Enpass"},
    {"PWSAFE", "Password Safe"},
    {"PASSWORDSAFE", "Password Safe"},
    {"GORILLA", "Password Gorilla"},
    {"QTPASS", "QtPass"},
};

// Screen lockers: also excluded and shown.
constexpr DefaultApp kLockers[] = {
    {"XSCREENSAVER*", "XScreenSaver"},
    {"LIGHT-LOCKER", "Light Locker"},
    {"I3LOCK", "i3lock"},
    {"SLOCK", "slock"},
    {"XSECURELOCK", "XSecureLock"},
    {"XLOCK*", "XLock"},
    {"XTRLOCK", "xtrlock"},
    {"XFCE4-SCREENSAVER*", "Xfce screensaver"},
    {"MATE-SCREENSAVER*", "MATE screensaver"},
    {"CINNAMON-SCREENSAVER*", "Cinnamon screensaver"},
    {"GNOME-SCREENSAVER*", "GNOME screensaver"},
    {"KSCREENLOCKER*", "KDE screen locker"},
};

// Names that replace the given display name.
constexpr DefaultApp kBuiltInNames[] = {
    {"SCHDPL32.EXE", "Schedule+"},     {"CORVELLA4.EXE", "Corvella 98/99"},
    {"WINWORD.EXE", "Microsoft Word"}, {"EXCEL.EXE", "Microsoft Excel"},
    {"EUDORA.EXE", "Eudora"},
};

bool NameMatches(std::string_view pattern, std::string_view program) {
    if (!pattern.empty() && pattern.back() == '*') {
        pattern.remove_suffix(1);
        return program.size() >= pattern.size() && program.substr(0, pattern.size()) == pattern;
    }
    return pattern == program;
}

void PutShortText(std::string& out, std::string_view text) {
    const size_t len = std::min<size_t>(text.size(), 255);
    out += static_cast<char>(len);
    out.append(text.data(), len);
    out.append(255 - len, '\0');
}
std::string GetShortText(std::string_view record, size_t at) {
    const auto len = static_cast<unsigned char>(record[at]);
    return std::string(record.substr(at + 1, len));
}
uint16_t GetU16(std::string_view record, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(record[at]) |
                                 (static_cast<unsigned char>(record[at + 1]) << 8));
}

std::unique_ptr<TSpyedApps>& Current() {
    static std::unique_ptr<TSpyedApps> apps;
    return apps;
}

}  // namespace

// ---------------------------------------------------------------------------------------

void TAppSettings::SetIncluded(bool value) {
    if (!extraText.empty()) {
        if (!value && included_) {
            const std::string name = "CorvSAD" + (extraText + executable).substr(0, 250);
            AtomTable& t = Atoms();
            if (!t.byName.count(name)) {
                atom_ = t.next++;
                t.byName[name] = atom_;
            }
        } else if (value && !included_ && atom_ != 0) {
            DeleteAtom(atom_);
            atom_ = 0;
        }
    }
    included_ = value;
}

bool TAppSettings::Matches(std::string_view program) const {
    return NameMatches(executable, program);
}

std::string TAppSettings::ToBytes() const {
    std::string out;
    out.reserve(kRecordSize);
    PutShortText(out, executable);
    out += static_cast<char>(included_ ? 1 : 0);
    out += '\0';
    out += static_cast<char>(hidden ? 1 : 0);
    out += '\0';
    PutShortText(out, displayName);
    PutShortText(out, extraText);
    return out;
}

void TAppSettings::FromBytes(std::string_view record) {
    executable = GetShortText(record, 0);
    const bool included = GetU16(record, 256) != 0;
    hidden = GetU16(record, 258) != 0;
    displayName = GetShortText(record, 260);
    extraText = GetShortText(record, 516);
    SetIncluded(included);
}

// ---------------------------------------------------------------------------------------

TSpyedApps::~TSpyedApps() {
    for (const auto& e : entries_)
        if (e->Atom() != 0) DeleteAtom(e->Atom());
}

bool TSpyedApps::LoadApps(const std::string& path) {
    std::string content;
    if (!ReadWholeFile(path, content)) return false;
    if (content.size() % TAppSettings::kRecordSize != 0) {
        // Only whole records are taken and the next save drops the rest: keep it first.
        LogError(kDamagedFileError, path + ": not whole records; kept as " + KeepDamagedCopy(path));
        ui::Message("Fatal Error: SpyApps file size invalid", "Corv Vantor", ui::Icon::kError);
    }
    for (size_t at = 0; at + TAppSettings::kRecordSize <= content.size();
         at += TAppSettings::kRecordSize) {
        auto entry = std::make_unique<TAppSettings>();
        entry->FromBytes(std::string_view(content).substr(at, TAppSettings::kRecordSize));
        entries_.push_back(std::move(entry));
    }
    changed = false;
    return true;
}

int TSpyedApps::SaveApps(const std::string& path) {
    std::string content;
    content.reserve(entries_.size() * TAppSettings::kRecordSize);
    for (const auto& e : entries_) content += e->ToBytes();
    if (!WriteFileAtomic(path, content)) {
        ReportError(-5, path);
        return -1;
    }
    changed = false;
    return 1;
}

void TSpyedApps::Add(std::string_view executable, bool included, std::string_view displayName,
                     bool hidden, std::string_view extraText) {
    auto entry = std::make_unique<TAppSettings>();
    entry->executable = ToUpper(executable.substr(0, 255));
    entry->hidden = hidden;
    entry->extraText = std::string(extraText.substr(0, 255));
    entry->displayName = std::string(displayName.substr(0, 255));
    for (const DefaultApp& b : kBuiltInNames)
        if (entry->executable == b.executable) entry->displayName = b.displayName;
    if (entry->displayName.empty()) entry->displayName = entry->executable;
    entry->SetIncluded(included);
    entries_.push_back(std::move(entry));
    changed = true;
}

void TSpyedApps::AddDefaults() {
    for (const DefaultApp& a : kSystemApps) Add(a.executable, false, a.displayName, true, "");
    AddMissingPrivacyEntries();
}

bool TSpyedApps::AddMissingPrivacyEntries() {
    bool added = false;
    auto addMissing = [&](const DefaultApp& a) {
        for (const auto& e : entries_)
            if (e->executable == a.executable) return;
        Add(a.executable, false, a.displayName, false, "");
        added = true;
    };
    for (const DefaultApp& a : kPrivacyApps) addMissing(a);
    for (const DefaultApp& a : kLockers) addMissing(a);
    return added;
}

const TAppSettings* TSpyedApps::Find(std::string_view program) const {
    for (const auto& e : entries_)
        if (e->Matches(program)) return e.get();
    return nullptr;
}

bool TSpyedApps::Excludes(std::string_view program) const {
    const TAppSettings* e = Find(program);
    return e && !e->Included();
}

bool IsScreenLocker(std::string_view program) {
    for (const DefaultApp& a : kLockers)
        if (NameMatches(a.executable, program)) return true;
    return false;
}

TSpyedApps* MonitoredApps() {
    return Current().get();
}

void SetMonitoredApps(std::unique_ptr<TSpyedApps> apps) {
    Current() = std::move(apps);
}

}  // namespace corv
