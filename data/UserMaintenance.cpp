#include "data/UserMaintenance.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/TextUtil.h"
#include "core/Utility.h"
#include "data/ProgramSettings.h"
#include "data/User.h"

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

}  // namespace corv
