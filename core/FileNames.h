#pragma once
// File names as the data files write them: Windows separators and any letter case.
// Linux is case-sensitive, so every open by name goes through ResolveCase.

#include <string>
#include <string_view>
#include <vector>

namespace corv::fs {

// Backslashes become slashes.
std::string NormalizeSeparators(std::string_view path);

// The existing path that the name means: each part is taken as written when it exists,
// otherwise the single entry of its folder that matches it without regard to case.
// A part with no match (or several) ends the search; the rest is kept as written, so
// a new file is created under the name given.
std::string ResolveCase(std::string_view path);

// "file:///C:/x" and "file:///home/x" to local paths ("C:/x", "/home/x").
std::string FileUrlToPath(std::string_view url);

// Windows wildcard match ("*" and "?"), without regard to case.
bool MatchMask(std::string_view name, std::string_view mask);

// Names (with extension, without folder) of the plain files that match a path with
// wildcards in its last part, sorted without regard to case.
std::vector<std::string> ListMatching(std::string_view pathWithMask);

bool FileExists(std::string_view path);
bool DirectoryExists(std::string_view path);

// Folder part with its trailing slash ("" for a bare name), and the last part.
std::string DirName(std::string_view path);
std::string BaseName(std::string_view path);
// Joins a folder and a name, adding a slash only where one is missing.
std::string Join(std::string_view folder, std::string_view name);

}  // namespace corv::fs
