#pragma once
// Saves that never leave a half-written file: the content goes to a temporary file in
// the same folder, is flushed, and is renamed over the target.

#include <string>
#include <string_view>

namespace corv {

// False when any step fails; the target is then as it was and no temporary file is left.
bool WriteFileAtomic(const std::string& path, std::string_view content);

// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);
// Everything from an open descriptor's position to its end; false on a read error.
bool ReadAll(int fd, std::string& content);

// Copies a file whole through a temporary file; false when either step fails.
bool CopyFileAtomic(const std::string& from, const std::string& to);

// Keeps a damaged file's bytes beside it as "<name>.damaged-<YYYYMMDD-HHMMSS>" before
// anything reads past the damage or writes over it. Returns the copy's path, or an
// existing copy with the same bytes; "" when no copy could be made.
std::string KeepDamagedCopy(const std::string& path);

}  // namespace corv
