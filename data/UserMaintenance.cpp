#include "data/UserMaintenance.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/AtomicFile.h"
#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Settings.h"
#include "core/TextUtil.h"
#include "core/Utility.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "platform/FileShare.h"

namespace corv {

namespace {

constexpr size_t kMaxNameLength = 50;

// A user that is not taken into use leaves its file as it was.
void Release(std::unique_ptr<TUser>& user) {
    if (!user) return;
    user->File().DiscardChanges();
    user.reset();
}

bool IsLowerCaseLetter(char c) {
    return UpperCase(c) != c;
}

}  // namespace

std::string NormaliseLoginName(const std::string& entered) {
    std::string name;
    for (const std::string& word : SplitWords(entered, " \t")) {
        if (!name.empty()) name += ' ';
        name += word;
    }
    if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
    bool hasLetter = false;
    for (char c : name) hasLetter = hasLetter || UpperCase(c) != LowerCase(c);
    const bool allCapitals = hasLetter && ToUpper(name) == name;
    if (!name.empty() && (IsLowerCaseLetter(name[0]) || allCapitals)) {
        std::string capitalised;
        for (const std::string& word : SplitWords(name, " ")) {
            if (!capitalised.empty()) capitalised += ' ';
            capitalised += CapitaliseName(word, CapitalisableLetters());
        }
        name = capitalised;
    }
    return TrimBlanks(name);
}

// ---------------------------------------------------------------------------------------
// Deleting

bool DeleteUserFiles(std::unique_ptr<TUser> user) {
    namespace stdfs = std::filesystem;
    if (!user || user->IsVisitor()) return false;
    TProgramSettings* settings = ProgramSettings();
    if (!settings || settings->databaseFolder.empty()) return false;
    std::error_code ec;
    const stdfs::path database = stdfs::canonical(settings->databaseFolder, ec);
    if (ec) return false;

    std::vector<std::string> paths = {
        user->UsrPath(), user->StatisticsPath(),
        fs::ResolveCase(settings->databaseFolder + user->FileBase() + ".SET")};
    // Typed-text records of the user's results: the statistics base + ".TT" + number.
    const std::string statsBase = fs::BaseName(user->StatisticsPath());
    const std::string ttPrefix = statsBase.substr(0, statsBase.size() - 4) + ".TT";
    for (const std::string& file : fs::ListMatching(settings->databaseFolder + ttPrefix + "*")) {
        const std::string number = file.substr(ttPrefix.size());
        if (!number.empty() &&
            std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            paths.push_back(settings->databaseFolder + file);
    }

    bool ok = true;
    for (const std::string& path : paths) {
        const stdfs::path p(path);
        // Only plain entries directly inside the database folder, never the visitor's.
        const std::string file = p.filename().string();
        if (file.empty() || EqualsNoCase(file, std::string(TUser::kVisitorFile) + ".usr") ||
            EqualsNoCase(file, std::string(TUser::kVisitorFile) + ".DTA") ||
            EqualsNoCase(file, std::string(TUser::kVisitorFile) + ".SET")) {
            ok = false;
            continue;
        }
        const stdfs::path folder = stdfs::canonical(p.parent_path(), ec);
        if (ec || folder != database) {
            ok = false;
            continue;
        }
        const stdfs::file_status status = stdfs::symlink_status(p, ec);
        if (ec || status.type() == stdfs::file_type::not_found) continue;
        if (status.type() == stdfs::file_type::directory) {
            ok = false;
            continue;
        }
        // A link goes, never what it points to.
        if (!stdfs::remove(p, ec) || ec) {
            ReportError(-5, path);
            ok = false;
        }
    }
    // The files are gone: closing must not write the user back.
    Release(user);
    TUser::RebuildIndexes();
    return ok;
}

// ---------------------------------------------------------------------------------------
// Damage and restoring

std::string UserFileDamage(const std::string& content) {
    std::string damage = settings_format::FindDamage(content);
    if (!damage.empty()) return damage;
    TDynamicSettings settings;
    settings.Open("", -7);
    for (size_t pos = 0, end; pos < content.size(); pos = end + 1) {
        end = content.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = content.size();
        const std::string line = content.substr(pos, end - pos);
        size_t eq = line.find('=');
        std::string ignored;
        // The first of two equal names is the one read.
        if (eq != std::string::npos && eq > 0 &&
            settings.File().GetText(line.substr(0, eq), ignored) == 0)
            settings.SetText(line.substr(0, eq), line.substr(eq + 1));
    }
    TResults results;
    results.Load(settings);
    if (!results.Unreadable().empty())
        return "the result line " + results.Unreadable().front() + " does not read";
    return {};
}

std::string StatisticsDamage(const std::string& content) {
    constexpr size_t kHead = 28, kTable = 1338;
    if (content.size() < kHead) return "the file is cut off before its key tables";
    const auto* p = reinterpret_cast<const unsigned char*>(content.data());
    const bool twoTables = p[24] == 6 && p[25] == 0 && p[26] == 0 && p[27] == 0;
    if (content.size() < kHead + kTable * (twoTables ? 2 : 1)) return "the key tables are cut off";
    return {};
}

bool RestoreUserFiles(const std::string& name, std::vector<std::string>& done, std::string& error) {
    TProgramSettings* ps = ProgramSettings();
    const std::string db = ps ? ps->databaseFolder : std::string();
    const std::string base = TUser::FileBaseFor(name, -1);
    if (base.empty()) {
        error = "no such user: " + name;
        return false;
    }
    const std::string usr = fs::ResolveCase(db + base + ".usr");
    if (!fs::FileExists(usr)) {
        error = "no such user: " + name;
        return false;
    }
    // Never under a program that has the user open: its next save would undo this.
    std::unique_ptr<platform::ShareLock> lock;
    if (platform::ShareLock::Acquire(usr, platform::kShareReadWrite, platform::kShareNone, lock) ==
        platform::ShareLock::Result::kConflict) {
        error = fs::BaseName(usr) + " is in use by another program; close it first";
        return false;
    }
    struct Part {
        std::string path;
        std::string (*damage)(const std::string&);
    };
    std::string content;
    std::string userName = name;
    if (ReadWholeFile(usr, content) && UserFileDamage(content).empty()) {
        TDynamicSettings s;
        if (s.Open(usr, -3) == 1 && !s.GetText("UserName").empty())
            userName = s.GetText("UserName");
    }
    const Part parts[] = {
        {usr, &UserFileDamage},
        {fs::ResolveCase(db + TUser::NormalizeName(userName) + ".DTA"), &StatisticsDamage},
    };
    std::vector<std::pair<std::string, std::string>> plan;  // path, backup bytes
    for (const Part& part : parts) {
        if (!fs::FileExists(part.path)) continue;
        if (!ReadWholeFile(part.path, content)) {
            error = fs::BaseName(part.path) + " cannot be read";
            return false;
        }
        if (part.damage(content).empty()) continue;
        std::string backup;
        if (!ReadWholeFile(part.path + ".bak", backup)) {
            error = fs::BaseName(part.path) + " is damaged and has no backup " +
                    fs::BaseName(part.path) + ".bak";
            return false;
        }
        const std::string bad = part.damage(backup);
        if (!bad.empty()) {
            error = "the backup " + fs::BaseName(part.path) + ".bak is damaged too: " + bad;
            return false;
        }
        plan.emplace_back(part.path, std::move(backup));
    }
    if (plan.empty()) {
        error = "nothing to restore: the files of " + name + " read cleanly";
        return false;
    }
    for (const auto& [path, backup] : plan) {
        const std::string copy = KeepDamagedCopy(path);
        if (copy.empty() || !WriteFileAtomic(path, backup)) {
            error = fs::BaseName(path) + " could not be restored";
            return false;
        }
        LogError(kDamagedFileError, path + " restored from " + fs::BaseName(path) +
                                        ".bak; the damaged file is kept as " + copy);
        done.push_back(fs::BaseName(path) + " from " + fs::BaseName(path) +
                       ".bak (damaged file kept as " + fs::BaseName(copy) + ")");
    }
    return true;
}

}  // namespace corv
