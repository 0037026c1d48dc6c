#pragma once
// What the login view does to users besides opening them: the typed name as users are
// known, and deleting a user with all of that user's files.

#include <memory>
#include <string>
#include <vector>

namespace corv {

class TUser;

// The entered name as users are known: words joined by single spaces, at most 50
// characters, every word capitalised when the name starts with a small letter or is all
// capitals, blanks trimmed.
std::string NormaliseLoginName(const std::string& entered);

// Deletes the user's files (".usr", ".DTA", ".SET" and the typed-text records) from the
// database folder and rebuilds the indexes. The user must be open (exclusively); it is
// closed without saving. False when a file could not be removed or lay outside the
// database folder (nothing outside it is ever touched).
bool DeleteUserFiles(std::unique_ptr<TUser> user);

// Why a user file's bytes do not read cleanly ("" when they do): the settings format's
// damage, or a result line that does not read.
std::string UserFileDamage(const std::string& content);
// Why a statistics file is damaged ("" when it is whole): cut off before its key tables end.
std::string StatisticsDamage(const std::string& content);

// Puts back the last good save (".bak") of a user's damaged ".usr" and ".DTA" files. The
// damaged file is kept as a copy first; a file that reads cleanly is left alone. Fails
// with a text for the administrator when there is no backup, the backup is damaged too,
// or another program has the user open. `done` lists what was restored.
bool RestoreUserFiles(const std::string& name, std::vector<std::string>& done, std::string& error);

}  // namespace corv
