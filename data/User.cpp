#include "data/User.h"

#include <fcntl.h>
#include <nettle/ripemd160.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "core/AtomicFile.h"
#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/TextFiles.h"
#include "core/TextUtil.h"
#include "core/UserInterface.h"
#include "core/Utility.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/SpyedApps.h"
#include "data/UserMaintenance.h"
#include "data/WordList.h"
#include "platform/Autostart.h"
#include "platform/FileShare.h"
#include "platform/Identity.h"

namespace corv {
namespace {

constexpr int kStatisticsVersion = 6;
constexpr size_t kMaxWordsBlock = 64u << 20;  // far above any real collection
constexpr int kMaxIndexedGroup = 9999;        // far above any real installation
constexpr const char* kAutostartName = "TypingVantor";
// Letters a user name may keep whatever the language.
constexpr const char* kNameLetters = "abcdefghijklmnopqrstuvwxyz0123456789\xF6\xE5\xE4\xD6\xC5\xC4";

std::string Database() {
    TProgramSettings* ps = ProgramSettings();
    return ps ? ps->databaseFolder : std::string();
}

std::string Root() {
    TProgramSettings* ps = ProgramSettings();
    return ps ? ps->rootFolder : std::string();
}

std::function<char()>& SemicolonSource() {
    static std::function<char()> source = [] { return ';'; };
    return source;
}

std::vector<std::string> ReadIndex(int group) {
    std::vector<std::string> lines, out;
    TStreamFile::LoadLines(lines, Database() + std::to_string(group) + ".idx");
    for (auto& l : lines)
        if (l.find('=') != std::string::npos) out.push_back(std::move(l));
    return out;
}

bool IndexExists(int group) {
    return fs::FileExists(Database() + std::to_string(group) + ".idx");
}

void SortUnique(std::vector<std::string>& lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
}

std::string FilePart(const std::string& line) {
    return line.substr(0, line.find('='));
}
std::string NamePart(const std::string& line) {
    size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

bool IsVisitorFile(const std::string& file) {
    return EqualsNoCase(file, "visitor%%.usr");
}

std::vector<int> ExistingGroupIds() {
    std::vector<int> ids;
    for (const std::string& id : TUserGroup::GroupIds()) {
        auto n = settings_format::ParseInt32(id);
        int v = n.value_or(0);
        if (std::find(ids.begin(), ids.end(), v) == ids.end()) ids.push_back(v);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The user name a ".usr" file holds; empty when it cannot be read.
bool ReadUserFile(const std::string& path, std::string& userName, int& groupId) {
    TDynamicSettings s;
    if (s.Open(path, -3) != 1 || s.LoadNow() != 1) return false;
    userName = s.GetText("UserName");
    groupId = s.GetInteger("UserGroupId");
    return true;
}

bool GroupFileExists(int id) {
    return fs::FileExists(fs::ResolveCase(Root() + std::to_string(id) + ".grp"));
}

std::vector<std::string> UnindexedUsers() {
    std::set<std::string> indexed;
    // An index counts only while its group file exists.
    for (int id : ExistingGroupIds()) {
        if (!GroupFileExists(id)) continue;
        for (const std::string& l : ReadIndex(id)) indexed.insert(ToLower(FilePart(l)));
    }
    std::vector<std::string> out;
    for (const std::string& file : fs::ListMatching(Database() + "*.usr")) {
        if (IsVisitorFile(file) || indexed.count(ToLower(file))) continue;
        std::string name;
        int group = 0;
        ReadUserFile(Database() + file, name, group);
        out.push_back(file + "=" + name);
    }
    return out;
}

// Keeps the damaged bytes, logs, and refuses the file: nothing reads past the damage and
// no save replaces what is left of it.
[[noreturn]] void RefuseDamaged(TDynamicSettings* settings, const std::string& path,
                                const std::string& damage, const std::string& userName) {
    if (settings) settings->File().DiscardChanges();
    const std::string copy = KeepDamagedCopy(path);
    LogError(kDamagedFileError, path + ": " + damage + "; " +
                                    (copy.empty() ? "no copy could be made" : "kept as " + copy));
    throw DamagedUserFile(path, damage, copy, userName);
}

double RoundHalfEven(double v) {
    int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    double r = std::nearbyint(v);
    std::fesetround(old);
    return r;
}

}  // namespace

DamagedUserFile::DamagedUserFile(const std::string& filePath, const std::string& what,
                                 const std::string& copyPath, const std::string& userName)
    : UserError("The file " + fs::BaseName(filePath) + " is damaged: " + what +
                ". It was left as it is" +
                (copyPath.empty() ? std::string() : " and copied to " + fs::BaseName(copyPath)) +
                (userName.empty() ? std::string(".")
                                  : ". The last good save can be restored with: corvadm users "
                                    "restore \"" +
                                        userName + "\"")),
      path(filePath),
      damage(what),
      copy(copyPath) {}

// ---------------------------------------------------------------------------------------
// Groups

std::unique_ptr<TUserGroup> TUserGroup::Open(int id, int mode) {
    auto group = std::make_unique<TUserGroup>();
    const std::string path = fs::ResolveCase(Root() + std::to_string(id) + ".Grp");
    if (group->TDynamicSettings::Open(path, mode) != 1 || group->LoadNow() != 1) {
        if (!group->File().Damage().empty())
            RefuseDamaged(group.get(), path, group->File().Damage(), "");
        if (group->TDynamicSettings::Open(path, 1) != 1 || group->LoadNow() != 1)
            throw UserError(Str(1887) + " " + path + "\r\n" + Str(1888));
    }
    // A damaged group is kept and refused rather than written back.
    if (!group->File().Damage().empty())
        RefuseDamaged(group.get(), path, group->File().Damage(), "");
    if (!group->File().IsReadOnly() && group->GetReal("Date") == 0)
        group->SetReal("Date", NowDateTime());
    return group;
}

std::vector<std::string> TUserGroup::GroupIds() {
    std::vector<std::string> ids;
    if (!fs::FileExists(Root() + "0.grp")) ids.push_back("0");
    for (const std::string& f : fs::ListMatching(Root() + "*.grp"))
        ids.push_back(f.substr(0, f.find('.')));
    return ids;
}

int TUserGroup::HighestGroupId() {
    int highest = 0;
    for (const std::string& id : GroupIds())
        highest = std::max(highest, settings_format::ParseInt32(id).value_or(0));
    return highest;
}

std::vector<std::string> TUserGroup::GroupNames(const std::vector<std::string>& ids, int mode) {
    std::vector<std::string> names;
    for (const std::string& id : ids) {
        // A listing must not create group files: a group that cannot be read is unnamed.
        TDynamicSettings g;
        std::string name;
        if (g.Open(fs::ResolveCase(Root() + id + ".Grp"), mode < 0 ? mode : -3) == 1)
            name = g.GetText("Name");
        names.push_back(name.empty() ? Str(1162) : name);
    }
    return names;
}

std::string TUserGroup::Name() {
    std::string name = GetText("Name");
    return name.empty() ? Str(1162) : name;
}

// ---------------------------------------------------------------------------------------
// Names and indexes

std::string TUser::NormalizeName(const std::string& name) {
    std::string joined;
    for (const std::string& w : SplitWords(name, " .,")) {
        if (!joined.empty()) joined += ' ';
        joined += w;
    }
    std::string letters = Localization().IsGiven(12)
                              ? Str(12)
                              : "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    // The capitaliser lowers every letter anyway, so a capital counts as its small form:
    // a language file that lists only small letters must not strip "A" from "Anna".
    auto allowed = [&](char c) {
        return letters.find(c) != std::string::npos ||
               std::string_view(kNameLetters).find(c) != std::string_view::npos;
    };
    std::string kept;
    for (char c : joined)
        if (c == '-' || c == ' ' || allowed(c) || allowed(LowerCase(c))) kept += c;
    return TrimBlanks(CapitaliseName(kept, CapitalisableLetters()));
}

std::string TUser::FileBaseFor(const std::string& name, int indexGroup) {
    std::vector<std::string> lines = UserList(indexGroup);
    if (indexGroup > 0) {
        std::vector<std::string> more = UnindexedUsers();
        lines.insert(lines.end(), more.begin(), more.end());
    }
    for (const std::string& l : lines) {
        if (EqualsNoCase(NamePart(l), name)) {
            std::string file = FilePart(l);
            return NormalizeName(file.substr(0, file.find('.')));
        }
    }
    return NormalizeName(name);
}

std::vector<std::string> TUser::UserList(int group) {
    std::vector<std::string> lines;
    if (group > 0) {
        lines = ReadIndex(group);
        if (lines.empty() && !IndexExists(group)) {
            RebuildIndexes();
            lines = ReadIndex(group);
        }
    } else if (group == -1) {
        std::vector<std::string> unindexed = UnindexedUsers();
        if (unindexed.size() >= 30) {
            RebuildIndexes();
            unindexed = UnindexedUsers();
        }
        std::vector<int> numbers;
        for (const std::string& f : fs::ListMatching(Database() + "*.idx"))
            if (auto n = settings_format::ParseInt32(f.substr(0, f.find('.'))))
                numbers.push_back(*n);
        std::sort(numbers.begin(), numbers.end());
        for (int n : numbers) {
            auto part = ReadIndex(n);
            lines.insert(lines.end(), part.begin(), part.end());
        }
        lines.insert(lines.end(), unindexed.begin(), unindexed.end());
    } else {
        lines = ReadIndex(group);
        auto unindexed = UnindexedUsers();
        lines.insert(lines.end(), unindexed.begin(), unindexed.end());
    }
    SortUnique(lines);
    return lines;
}

std::vector<std::string> TUser::UserNames(int group) {
    std::vector<std::string> names;
    for (const std::string& l : UserList(group)) names.push_back(NamePart(l));
    return names;
}

void TUser::RebuildIndexes() {
    const std::string db = Database();
    // Every group id from 0 to the highest has a list, written even when empty; a group
    // file named by a huge number must not mean millions of index files.
    const int highest = std::min(TUserGroup::HighestGroupId(), kMaxIndexedGroup);
    std::map<int, std::vector<std::string>> lists;
    std::map<std::string, std::pair<int, std::string>> previous;  // lower file -> group, line
    for (int id = 0; id <= highest; ++id) {
        lists[id];
        for (const std::string& l : ReadIndex(id)) previous[ToLower(FilePart(l))] = {id, l};
    }
    const std::vector<std::string> files = fs::ListMatching(db + "*.usr");
    TMyMsgForm progress;
    progress.SetCaption(Str(1));
    progress.SetMessage(Str(546));
    progress.SetMax(static_cast<int>(files.size()));
    progress.Show();
    int count = 0;
    for (const std::string& file : files) {
        if (++count % 20 == 0) progress.SetPosition(count);
        if (IsVisitorFile(file)) continue;
        std::string name;
        int group = 0;
        if (!ReadUserFile(db + file, name, group)) {
            // Held exclusively elsewhere: keep what the index said rather than drop the user.
            auto it = previous.find(ToLower(file));
            if (it != previous.end()) lists[it->second.first].push_back(it->second.second);
            continue;
        }
        if (group < 0 || group > highest) group = 0;
        lists[group].push_back(file + "=" + name);
    }
    progress.Hide();
    for (auto& [id, lines] : lists) {
        SortUnique(lines);
        std::string content;
        for (const std::string& l : lines) content += l + "\r\n";
        std::string path = fs::ResolveCase(db + std::to_string(id) + ".idx");
        if (!WriteFileAtomic(path, content)) ReportError(-5, path);
    }
}

// ---------------------------------------------------------------------------------------
// Opening and saving

TUser::TUser() : results_(std::make_unique<TResults>()) {}

TUser::~TUser() {
    // The visitor leaves nothing behind.
    if (IsVisitor()) File().DiscardChanges();
    if (appsLoaded_ && MonitoredApps()) {
        if (MonitoredApps()->changed && !IsVisitor()) SaveApps();
        SetMonitoredApps(nullptr);
    }
}

bool TUser::IsVisitor() const {
    return EqualsNoCase(fileBase_, kVisitorFile);
}

std::string TUser::UsrPath() const {
    return fs::ResolveCase(Database() + fileBase_ + ".usr");
}

std::string TUser::AppsPath() const {
    return fs::ResolveCase(Database() + fileBase_ + ".SET");
}

void TUser::LoadApps() {
    auto apps = std::make_unique<TSpyedApps>();
    if (IsVisitor()) {
        apps->AddDefaults();
        apps->changed = false;
    } else if (!apps->LoadApps(AppsPath())) {
        apps->AddDefaults();
        apps->SaveApps(AppsPath());
    } else {
        // Lists written before the secret prompts were excluded get them now.
        apps->AddMissingPrivacyEntries();
    }
    SetMonitoredApps(std::move(apps));
    appsLoaded_ = true;
}

void TUser::SaveApps() {
    if (appsLoaded_ && MonitoredApps() && !IsVisitor()) MonitoredApps()->SaveApps(AppsPath());
}

std::string TUser::StatisticsPath() {
    return fs::ResolveCase(Database() + NormalizeName(GetText("Username")) + ".DTA");
}

std::unique_ptr<TUser> TUser::Open(const std::string& givenName, int indexGroup, int lockMode,
                                   bool settingsOnly) {
    int mode;
    switch (lockMode) {
        case kExclusive:
            mode = -1;
            break;
        case kShared:
            mode = 2;
            break;
        case kReadOnly:
            mode = -3;
            break;
        default:
            throw UserError("Internal lockmode error in user class");
    }
    std::unique_ptr<TUser> user(new TUser());
    const bool visitor = givenName.empty() || EqualsNoCase(givenName, kVisitorName);
    user->name_ = visitor ? std::string(kVisitorName) : givenName;
    user->fileBase_ = visitor ? std::string(kVisitorFile) : FileBaseFor(givenName, indexGroup);
    if (user->fileBase_.empty()) throw UserError(Str(1377));
    user->settingsOnly = settingsOnly;

    const std::string path = user->UsrPath();
    if (!fs::FileExists(path)) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd >= 0) ::close(fd);
    }
    if (user->TDynamicSettings::Open(path, mode) != 1) throw UserError(Str(528));
    if (user->LoadNow() != 1) {
        if (user->File().Damage().empty()) throw UserError(Str(528));
        RefuseDamaged(user.get(), path, user->File().Damage(), user->name_);
    }
    if (!user->File().Damage().empty())
        RefuseDamaged(user.get(), path, user->File().Damage(), user->name_);
    user->File().SetKeepBackup(true);

    std::string owner = user->GetText("UserName");
    if (!owner.empty() && !EqualsNoCase(owner, user->name_))
        throw UserError(Str(1376) + " " + owner);
    if (lockMode != kReadOnly) user->SetText("UserName", user->name_);
    user->results_->SetCompanionFiles(Database(), NormalizeName(user->GetText("Username")));
    user->results_->Load(*user);
    if (!user->results_->Unreadable().empty())
        RefuseDamaged(user.get(), path,
                      "the result line " + user->results_->Unreadable().front() + " does not read",
                      user->name_);
    user->keyLevel = 1;
    user->keyProgression.clear();

    if (user->GetText("DateStarted").empty()) {
        const double now = NowDateTime();
        user->SetText("DateStarted", ShortDateText(now));
        user->SetReal("Date.Created", now);
        static const std::pair<const char*, int> kMeterDefaults[] = {
            {"NotifyWhenBreak", 1},  {"BreakTrackBar.position", 8},
            {"InfoWinTop", -1},      {"InfoWinLeft", -1},
            {"InfoWinWidth", 295},   {"InfoWinHeight", 213},
            {"InfoWinVisible", 1},   {"AppListMode", 1},
            {"AutoIncludeMode", 1},  {"NotifyWhenDifficulties", 1},
            {"NotifyAfterPages", 1}, {"PagesTrackBar.position", 2},
        };
        for (const auto& [key, value] : kMeterDefaults) user->SetInteger(key, value);
    }
    if (!settingsOnly) {
        user->LoadStatistics();
        user->LoadApps();
    }
    user->OpenGroup();
    return user;
}

std::unique_ptr<TUser> TUser::OpenExisting(const std::string& name, bool settingsOnly,
                                           int indexGroup, int lockMode) {
    const bool visitor = name.empty() || EqualsNoCase(name, kVisitorName);
    std::string base = visitor ? std::string(kVisitorFile) : FileBaseFor(name, indexGroup);
    if (base.empty() || !fs::FileExists(Database() + base + ".usr")) return nullptr;
    return Open(name, indexGroup, lockMode, settingsOnly);
}

std::unique_ptr<TUser> TUser::Create(const std::string& name) {
    std::unique_ptr<TUser> user = Open(name, -1, kShared, false);
    user->SetInteger("FileVersion", 600);
    user->SetInteger("LargeFonts", 0);
    user->SetText("StoryTime", "10 " + Str(1390));
    TDynamicSettings* policy = CorvSettings::Policy();
    user->SetBool("Sounds", policy && policy->GetBool("Sounds"));
    user->SetBool("ThemeSound", policy && policy->GetBool("ThemeSound"));
    return user;
}

void TUser::OpenGroup() {
    group_.reset();
    int id = GroupId();
    std::string path = fs::ResolveCase(Root() + std::to_string(id) + ".Grp");
    if (!fs::FileExists(path)) {
        if (id != 0) SetInteger("UserGroupID", 0);
        id = 0;
        path = fs::ResolveCase(Root() + "0.Grp");
    }
    auto group = std::make_unique<TUserGroup>();
    if (group->TDynamicSettings::Open(path, -4) == 1 && group->LoadNow() == 1) {
        // Read only, so it is used as it reads; its bytes are kept and the log says so.
        if (!group->File().Damage().empty()) {
            const std::string copy = KeepDamagedCopy(path);
            LogError(kDamagedFileError, path + ": " + group->File().Damage() + "; kept as " + copy);
        }
        group_ = std::move(group);
    }
}

int TUser::SaveUser() {
    if (IsVisitor() || EqualsNoCase(name_, kVisitorName)) return 1;
    if (!fs::DirectoryExists(Database())) {
        ui::Message(Str(1391), Str(1), ui::Icon::kWarning, ui::Buttons::kOk, {1391, 1});
        return 0;
    }
    results_->Save(*this);
    int rc = 1;
    if (Save() != 1) {
        ReportError(-5, UsrPath());
        rc = -1;
    }
    if (!settingsOnly && SaveStatistics() != 1) rc = -1;
    if (!settingsOnly) SaveApps();
    return rc;
}

void TUser::LoadStatistics() {
    wordsBlock_.clear();
    CollectedWords().Clear();
    DifficultKeysA().Clear();
    DifficultKeysB().Clear();
    if (IsVisitor()) return;  // the visitor has no statistics of its own
    const std::string path = StatisticsPath();
    if (!fs::FileExists(path)) return;
    TRecFile file;
    file.Open(path, 1, -1);
    int32_t word = 0, version = 0;
    for (int i = 0; i < 6; ++i) file.ReadInt32(word);
    file.ReadInt32(version);
    if (file.Status() >= 0) DifficultKeysA().Load(file);
    if (version == kStatisticsVersion && file.Status() >= 0) DifficultKeysB().Load(file);
    if (file.Status() == kFileEnd) {  // cut off inside the tables
        file.Close();
        DifficultKeysA().Clear();
        DifficultKeysB().Clear();
        RefuseDamaged(this, path, "the key tables are cut off", name_);
    }
    if (file.Status() == kFileOk) {
        // The meter's words stay exactly as stored until the meter itself rewrites them.
        std::string rest;
        file.ReadText(rest, kMaxWordsBlock);
        wordsBlock_ = std::move(rest);
        CollectedWords().FromBytes(wordsBlock_);
    }
    if (file.Status() < 0) {
        int status = file.Status();
        throw UserError("File error in LoadStatistics: " + std::to_string(status));
    }
}

int TUser::SaveStatistics() {
    const std::string path = StatisticsPath();
    std::unique_ptr<platform::ShareLock> lock;
    if (platform::ShareLock::Acquire(path, platform::kShareReadWrite, platform::kShareNone, lock) ==
        platform::ShareLock::Result::kConflict) {
        ui::Message("File error in SaveStatistics: " + std::to_string(kFileRefused), Str(1),
                    ui::Icon::kError, ui::Buttons::kOk, {1});
        return kFileRefused;
    }
    // Written beside the file and renamed over it: a failure leaves the old file whole.
    std::string tmp = fs::DirName(path) + "." + fs::BaseName(path) + ".new";
    TRecFile file;
    file.Open(tmp, 5, -1);
    for (int i = 0; i < 6; ++i) file.WriteInt32(255);
    file.WriteInt32(kStatisticsVersion);
    DifficultKeysA().Save(file);
    DifficultKeysB().Save(file);
    int status = file.Status();
    const bool wordsChanged = CollectedWords().Changed();
    const std::string words = wordsChanged ? CollectedWords().ToBytes() : wordsBlock_;
    if (status == kFileOk && !words.empty()) status = file.WriteBytes(words.data(), words.size());
    if (status == kFileOk) {
        int fd = file.Handle();
        if (::fsync(fd) != 0) status = kFileCloseError;
    }
    int closed = file.Close();
    if (status == kFileOk && closed != kFileClosed) status = closed;
    if (status == kFileOk) {
        // One generation back, taken only from a whole file.
        std::string old;
        if (ReadWholeFile(path, old) && StatisticsDamage(old).empty())
            WriteFileAtomic(path + ".bak", old);
    }
    if (status == kFileOk && ::rename(tmp.c_str(), path.c_str()) != 0) status = kFileShortWrite;
    if (status != kFileOk) {
        ::unlink(tmp.c_str());
        ui::Message("File error in SaveStatistics: " + std::to_string(status), Str(1),
                    ui::Icon::kError, ui::Buttons::kOk, {1});
        return status;
    }
    if (wordsChanged) {
        wordsBlock_ = words;
        CollectedWords().SetChanged(false);
    }
    return 1;
}

// ---------------------------------------------------------------------------------------
// Passwords

std::string TUser::PasswordDigest(const std::string& password) {
    ripemd160_ctx ctx;
    uint8_t digest[RIPEMD160_DIGEST_SIZE];
    ripemd160_init(&ctx);
    ripemd160_update(&ctx, password.size(), reinterpret_cast<const uint8_t*>(password.data()));
    ripemd160_digest(&ctx, sizeof digest, digest);
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (int i = 0; i < 7; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 15];
    }
    return out;
}

bool TUser::CheckPassword(const std::string& password) {
    std::string stored = GetText("Password");
    if (!password.empty()) return PasswordDigest(password) == stored;
    return stored.empty() || stored == PasswordDigest("");
}

void TUser::SetPassword(const std::string& password) {
    SetText("Password", PasswordDigest(password));
}

// ---------------------------------------------------------------------------------------
// Layered settings

bool TUser::IsLocked(const std::string& key) {
    const std::string locked = key + ".locked";
    TDynamicSettings* policy = CorvSettings::Policy();
    return (policy && policy->GetBool(locked)) || (group_ && group_->GetBool(locked));
}

std::string TUser::LayeredValue(const std::string& key, int mode) {
    std::string value;
    if (!group_) {
        value = GetText(key);
    } else {
        // Without a policy nothing is locked by it; the lookup still answers.
        TDynamicSettings* policy = CorvSettings::Policy();
        const std::string locked = key + ".locked";
        if (policy && policy->GetBool(locked)) {
            value = policy->GetText(key);
        } else if (group_->GetBool(locked)) {
            value = group_->GetText(key);
        } else if (mode == 0) {
            value = GetText(key);
        } else if (mode == 1) {
            value = GetText(key);
            if (value.empty() && policy) value = policy->GetText(key);
            if (value.empty()) value = group_->GetText(key);
        } else if (mode == 2) {
            value = group_->GetText(key);
        }
    }
    if (value.size() > 255) value.resize(255);
    return value;
}

std::string TUser::LText(const std::string& key, int mode) {
    return LayeredValue(key, mode);
}

int32_t TUser::LInteger(const std::string& key, int mode) {
    return settings_format::ParseInt32(LayeredValue(key, mode)).value_or(0);
}

bool TUser::LBool(const std::string& key, int mode) {
    return LayeredValue(key, mode) == "1";
}

double TUser::LReal(const std::string& key, int mode) {
    return settings_format::ParseReal(LayeredValue(key, mode)).value_or(0.0);
}

std::vector<std::string> TUser::LList(const std::string& key, int mode) {
    auto listOf = [&](TDynamicSettings* s) {
        if (!s) return std::vector<std::string>();
        return s->GetList(key).value_or(std::vector<std::string>());
    };
    if (!group_) return listOf(this);
    if (IsLocked(key)) return listOf(group_.get());
    switch (mode) {
        case 0:
            return listOf(this);
        case 1:
            return GetText(key).empty() ? listOf(group_.get()) : listOf(this);
        case 2:
            return listOf(group_.get());
        default:
            return {};
    }
}

// ---------------------------------------------------------------------------------------
// Small accessors

std::string TUser::DisplayName() {
    return GetText("Username");
}

std::string TUser::WorkstationName() {
    std::string client = platform::RemoteClientName();
    if (!client.empty() && client != "%CLIENTNAME%") return client;
    return platform::ComputerName();
}

int TUser::GroupId() {
    int id = GetInteger("UserGroupID");
    return id < 0 ? 0 : id;
}

void TUser::SetGroupId(int id) {
    SetInteger("UserGroupID", id);
}

std::string TUser::GroupName() {
    return group_ ? group_->Name() : Str(1107);
}

int TUser::AddKeys(const std::string& keys) {
    std::string entry = keys;
    const std::string word = "SEMICOLON";
    for (size_t at = entry.find(word); at != std::string::npos; at = entry.find(word, at + 1))
        entry.replace(at, word.size(), 1, SemicolonSource()());
    keyProgression.push_back(entry);
    return static_cast<int>(keyProgression.size());
}

std::string TUser::KeysUpToLevel(int n) const {
    if (keyProgression.empty()) return Str(12);
    if (n <= 0) return {};
    std::string keys;
    for (int i = 0; i < n && i < static_cast<int>(keyProgression.size()); ++i)
        keys += keyProgression[i];
    if (keys.size() > 255) keys.resize(255);
    return keys;
}

std::string TUser::KeysOfLevel(int n) const {
    if (n < 1 || n > static_cast<int>(keyProgression.size())) return {};
    return keyProgression[n - 1];
}

std::string TUser::SpeedUnitLabel() {
    return LBool("cpm") ? Str(209) : Str(208);
}

int TUser::SpeedInUnit(int charsPerMinute) {
    if (LBool("cpm")) return charsPerMinute;
    return charsPerMinute / CorvSettings::CharsPerWord();
}

std::string TUser::TimeStudiedText() {
    int minutes = static_cast<int>(RoundHalfEven(GetInteger("TimeStudied") / 60.0));
    std::string text = std::to_string(minutes % 60) + Str(272);
    if (minutes >= 60) text = std::to_string(minutes / 60) + Str(273) + text;
    return text;
}

std::string TUser::TimeStudiedClock() {
    int minutes = static_cast<int>(RoundHalfEven(GetInteger("TimeStudied") / 60.0));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%2.2d:%2.2d", minutes / 60, minutes % 60);
    return buf;
}

void TUser::LaunchAtStartup(const std::string& programPath) {
    LaunchAtStartupFor(programPath);
}

void TUser::LaunchAtStartupFor(const std::string& programPath) {
    TDynamicSettings* ws = CorvSettings::Workstation();
    if (!ws) return;
    if (ws->GetBool("LaunchAtStartup." + platform::LogonName()))
        platform::SetAutostart(kAutostartName, programPath);
    else
        platform::RemoveAutostart(kAutostartName);
}

void TUser::RemoveLaunchAtStartup() {
    platform::RemoveAutostart(kAutostartName);
}

void TUser::SetSemicolonSource(std::function<char()> source) {
    SemicolonSource() = std::move(source);
}

// ---------------------------------------------------------------------------------------
// Process-wide state

namespace {
struct UserGlobals {
    std::unique_ptr<TUser> current;
    TDifficultKeys a, b;
    TDifficultKeys* active = &a;
};
UserGlobals& UG() {
    static UserGlobals g;
    return g;
}
}  // namespace

TUser* CurrentUser() {
    return UG().current.get();
}
void SetCurrentUser(std::unique_ptr<TUser> user) {
    UG().current = std::move(user);
}
TDifficultKeys& DifficultKeysA() {
    return UG().a;
}
TDifficultKeys& DifficultKeysB() {
    return UG().b;
}
TDifficultKeys& ActiveDifficultKeys() {
    return *UG().active;
}
void SelectDifficultKeys(int table) {
    UG().active = table == 1 ? &UG().b : &UG().a;
}

}  // namespace corv
