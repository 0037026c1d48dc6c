#pragma once
// What the login view does to users besides opening them: the typed name as users are
// known, and deleting a user with all of that user's files.

#include <memory>
#include <string>

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

}  // namespace corv
