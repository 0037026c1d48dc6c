#include "core/FileNames.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "core/Cp1252.h"

namespace corv::fs {
namespace {

bool Exists(const std::string& p) {
    struct stat st;
    return ::lstat(p.c_str(), &st) == 0;
}

std::vector<std::string> DirEntries(const std::string& dir) {
    std::vector<std::string> out;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return out;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") out.push_back(std::move(n));
    }
    ::closedir(d);
    return out;
}

}  // namespace

std::string NormalizeSeparators(std::string_view path) {
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string ResolveCase(std::string_view rawPath) {
    std::string path = NormalizeSeparators(rawPath);
    if (path.empty() || Exists(path)) return path;

    std::string done;  // resolved prefix, ends with '/' unless empty
    size_t pos = 0;
    if (path[0] == '/') {
        done = "/";
        pos = 1;
    }
    while (pos <= path.size()) {
        size_t slash = path.find('/', pos);
        std::string part =
            path.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        std::string rest = slash == std::string::npos ? "" : path.substr(slash);
        if (!part.empty() && part != "." && part != "..") {
            std::string candidate = done + part;
            if (!Exists(candidate)) {
                std::string match;
                int count = 0;
                for (const auto& e : DirEntries(done)) {
                    if (EqualsNoCase(e, part)) {
                        match = e;
                        ++count;
                    }
                }
                if (count != 1) return done + part + rest;
                candidate = done + match;
            }
            done = candidate;
        } else {
            done += part;
        }
        if (slash == std::string::npos) break;
        done += '/';
        pos = slash + 1;
    }
    return done;
}

std::string FileUrlToPath(std::string_view url) {
    std::string_view rest = url;
    if (rest.size() >= 7 && EqualsNoCase(rest.substr(0, 7), "file://")) rest.remove_prefix(7);
    // "/C:/..." is a Windows drive; keep the slash otherwise, it roots a Linux path.
    if (rest.size() >= 3 && rest[0] == '/' && rest[2] == ':' &&
        ((rest[1] >= 'A' && rest[1] <= 'Z') || (rest[1] >= 'a' && rest[1] <= 'z')))
        rest.remove_prefix(1);
    return NormalizeSeparators(rest);
}

bool MatchMask(std::string_view name, std::string_view mask) {
    // "*.*" means every file, as it did on Windows, extension or not.
    if (mask == "*.*" || mask == "*") return true;
    size_t n = 0, m = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || LowerCase(mask[m]) == LowerCase(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

std::vector<std::string> ListMatching(std::string_view pathWithMask) {
    std::string p = NormalizeSeparators(pathWithMask);
    std::string dir = DirName(p);
    std::string mask = BaseName(p);
    std::string realDir = dir.empty() ? "" : ResolveCase(dir);
    if (!realDir.empty() && realDir.back() != '/') realDir += '/';
    std::vector<std::string> out;
    for (auto& e : DirEntries(realDir)) {
        struct stat st;
        std::string full = realDir + e;
        if (::stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (e == ".corvshare") continue;  // the share-lock file is not data
        if (MatchMask(e, mask)) out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(),
              [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    return out;
}

bool FileExists(std::string_view path) {
    struct stat st;
    std::string p = ResolveCase(path);
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
    struct stat st;
    std::string p = ResolveCase(path);
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string DirName(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string BaseName(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Join(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::string out(folder);
    if (out.back() != '/' && out.back() != '\\') out += '/';
    out += name;
    return out;
}

}  // namespace corv::fs
