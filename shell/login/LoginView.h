#pragma once
// The login view: pick or type a user name, choose a group, enter a password, create a
// new user or delete one. Start-up runs it when nobody is logged on automatically.
//
// Three page modes share the storage form: 1 the login page (names, group list, password),
// 2 the new-user page, 3 the new-user page reduced to setting the password of an existing
// user who has none while the policy requires passwords. Enter (or a double click on a
// name) ends the view with 1, which is checked before the view may close; a refused check
// keeps the view open, possibly on another page.

#include <memory>
#include <string>
#include <vector>

#include "shell/login/LoginViewStg.h"
#include "views/FormView.h"

namespace corv {

class TUser;

enum class LoginAnswer {
    kClosed = 0,     // from outside
    kLoggedOn = 1,   // CurrentUser() is the user
    kCancelled = 2,  // Escape
};

class TLoginView : public TCustomBookView {
  public:
    enum PageMode { kLoginPage = 1, kNewUserPage = 2, kSetPasswordPage = 3 };

    TLoginView(TLoginViewStg& storage, std::string lastUserName);
    ~TLoginView() override;

    void Setup() override;
    void Teardown() override;

    // DeleteUsrBtn, EnterBtn, EnterBtn2, NameList (double click), NewUserBtn, BackBtn.
    void ButtonHandler(QObject* sender);

    int PageMode() const { return mode_; }
    const std::vector<std::string>& GroupIds() const { return groupIds_; }
    int ChosenGroup() const { return chosenGroup_; }

  private:
    void ReadPolicy();
    void FillGroups();
    void FillNames();
    void LoadLogo();
    void SetPageMode(int mode);
    void CloseQuery(bool& refuse);
    // True when the entries log a user on (the current user is then set).
    bool Validate();
    bool ValidateNewUser(const std::string& name);
    bool ValidateLogin(const std::string& name, std::unique_ptr<TUser>& user);
    bool ValidateSetPassword(std::unique_ptr<TUser>& user);
    // False (after a message) when both password fields must be typed again.
    bool PasswordsAcceptable();
    void DeleteUser();
    void NameTyped();
    void NamePicked();

    TLoginViewStg& stg_;
    std::unique_ptr<QObject> context_;  // owns this run's connections to the storage form
    std::vector<std::string> groupIds_;
    int mode_ = kLoginPage;
    bool passwordRequired_ = false;
    bool selfGrouping_ = true;
    bool userListDisabled_ = false;
    bool groupListShown_ = false;
    bool newUsersPrevented_ = false;
    int chosenGroup_ = 0;
    std::string lastUserName_;
    bool noReturn_ = false;    // first user of an installation: no way back to the list
    std::string passwordFor_;  // mode 3: the user whose password is being set
    bool pickingName_ = false;
};

// Start-up's entry: runs the login view on the storage form, the name field pre-filled
// with the workstation's last user name.
LoginAnswer RunLoginView(TLoginViewStg& storage, const std::string& lastUserName);

}  // namespace corv
