#include "shell/login/LoginView.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/TextUtil.h"
#include "core/UserInterface.h"
#include "core/Utility.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/UserMaintenance.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

void Warn(const std::string& text, std::vector<int> ids) {
    ui::Message(text, Str(1), ui::Icon::kWarning, ui::Buttons::kOk, std::move(ids));
}

// The open error as the user sees it: who could not be opened, and why.
void ShowOpenError(const std::string& name, const std::string& error) {
    ui::Message(Str(417) + name + Str(418) + "\r\n" + error, Str(1), ui::Icon::kError,
                ui::Buttons::kOk, {417, 418});
}

bool YesNo(const std::string& text, std::vector<int> ids) {
    ui::MessageRequest request;
    request.text = text;
    request.caption = Str(1);
    request.icon = ui::Icon::kQuestion;
    request.buttons = ui::Buttons::kYesNo;
    request.defaultAnswer = ui::kAnswerNo;
    request.stringIds = std::move(ids);
    return ui::Message(request) == ui::kAnswerYes;
}

// A user that is not taken into use leaves its file as it was.
void Release(std::unique_ptr<TUser>& user) {
    if (!user) return;
    user->File().DiscardChanges();
    user.reset();
}

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TLoginView::TLoginView(TLoginViewStg& storage, std::string lastUserName)
    : stg_(storage), lastUserName_(std::move(lastUserName)) {}

TLoginView::~TLoginView() {
    CloseBeforeDestroy();
}

void TLoginView::ReadPolicy() {
    passwordRequired_ = CorvSettings::PolicyBool("RequirePasswords");
    selfGrouping_ = !CorvSettings::PolicyBool("DisableSelfGrouping");
    userListDisabled_ = CorvSettings::PolicyBool("DisableUserList");
    newUsersPrevented_ = CorvSettings::PolicyBool("PreventNewUsers");
    groupListShown_ = !CorvSettings::PolicyBool("DisableGroupList");
}

void TLoginView::Setup() {
    ShowLogo = false;
    ShowMenu = false;
    TCustomBookView::Setup();
    SetButtonSet(0);
    if (auto* window = MainWindow()) window->SetMenuVisible(false);
    OnCloseQuery = [this](TFormView&, bool& refuse) { CloseQuery(refuse); };

    {
        WaitCursor wait;
        ReadPolicy();
        stg_.ApplyCaptions();
        FillGroups();
        stg_.NameEdit->setText(userListDisabled_ ? QString() : ToQt(lastUserName_));
        FillNames();
        stg_.PasswordEdit->clear();
        stg_.NewNameEdit->clear();
        stg_.NewPasswordEdit->clear();
        stg_.NewPasswordEdit2->clear();
        if (userListDisabled_) stg_.NameList->hide();
        stg_.PasswordPanel->setVisible(passwordRequired_);
        stg_.NewPasswordPanel->setVisible(passwordRequired_);
        stg_.NewUserBtn->setVisible(!newUsersPrevented_);
        LoadLogo();
    }

    context_ = std::make_unique<QObject>();
    QObject* c = context_.get();
    for (QPushButton* b :
         {stg_.DeleteUsrBtn, stg_.EnterBtn, stg_.EnterBtn2, stg_.NewUserBtn, stg_.BackBtn})
        QObject::connect(b, &QPushButton::clicked, c, [this, b] { ButtonHandler(b); });
    QObject::connect(stg_.NameList, &QListWidget::itemDoubleClicked, c,
                     [this] { ButtonHandler(stg_.NameList); });
    QObject::connect(stg_.NameList, &QListWidget::currentRowChanged, c, [this] { NamePicked(); });
    QObject::connect(stg_.NameEdit, &QLineEdit::textEdited, c, [this] { NameTyped(); });
    QObject::connect(stg_.GroupList, &QComboBox::currentIndexChanged, c, [this] { FillNames(); });
    QObject::connect(stg_.NewGroupCombo, &QComboBox::currentIndexChanged, c, [this](int index) {
        chosenGroup_ = index <= 0 || index >= static_cast<int>(groupIds_.size())
                           ? 0
                           : settings_format::ParseInt32(groupIds_[index]).value_or(0);
    });

    if (auto* window = MainWindow()) window->BorrowChildren(&stg_);

    // The first user of an installation starts on the new-user page, with nowhere to go back.
    noReturn_ = !userListDisabled_ && stg_.GroupList->count() < 4 && TUser::UserNames(-1).empty();
    SetPageMode(noReturn_ ? kNewUserPage : kLoginPage);
}

void TLoginView::Teardown() {
    context_.reset();
    OnCloseQuery = nullptr;
    TCustomBookView::Teardown();
}

void TLoginView::FillGroups() {
    groupIds_ = TUserGroup::GroupIds();
    const std::vector<std::string> names = TUserGroup::GroupNames(groupIds_, -3);
    QSignalBlocker blockGroups(stg_.GroupList);
    QSignalBlocker blockNew(stg_.NewGroupCombo);
    stg_.GroupList->clear();
    stg_.GroupList->addItem(ToQt(Str(726)));
    for (const std::string& name : names) stg_.GroupList->addItem(ToQt(name));
    stg_.GroupList->addItem(ToQt(Str(1909)));
    groupListShown_ = groupListShown_ && !userListDisabled_ && groupIds_.size() > 1;
    stg_.GroupPanel->setVisible(groupListShown_);
    stg_.GroupList->setCurrentIndex(groupListShown_ ? stg_.GroupList->count() - 1 : 0);

    stg_.NewGroupCombo->clear();
    for (const std::string& name : names) stg_.NewGroupCombo->addItem(ToQt(name));
    stg_.NewGroupCombo->setCurrentIndex(0);
    chosenGroup_ = 0;
}

void TLoginView::FillNames() {
    QSignalBlocker block(stg_.NameList);
    stg_.NameList->clear();
    if (userListDisabled_) return;
    const int entry = stg_.GroupList->currentIndex();
    const int last = stg_.GroupList->count() - 1;
    // The last group entry means "type the name": no list then.
    stg_.NameList->setVisible(entry != last);
    std::vector<std::string> names;
    if (entry <= 0)
        names = TUser::UserNames(-1);
    else if (entry < last && entry - 1 < static_cast<int>(groupIds_.size()))
        names = TUser::UserNames(settings_format::ParseInt32(groupIds_[entry - 1]).value_or(0));
    for (const std::string& name : names)
        if (!name.empty()) stg_.NameList->addItem(ToQt(name));
    NameTyped();
}

void TLoginView::LoadLogo() {
    QPixmap logo;
    TDynamicSettings* policy = CorvSettings::Policy();
    const std::string file = policy ? policy->GetText("LoginLogoFile") : std::string();
    if (!file.empty()) {
        std::string path = fs::NormalizeSeparators(file);
        TProgramSettings* settings = ProgramSettings();
        if (path[0] != '/' && settings) path = settings->rootFolder + path;
        logo.load(ToQt(fs::ResolveCase(path)));
        if (!logo.isNull() && (logo.width() > TLoginViewStg::kLogoWidth ||
                               logo.height() > TLoginViewStg::kLogoHeight))
            logo = logo.scaled(TLoginViewStg::kLogoWidth, TLoginViewStg::kLogoHeight,
                               Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (logo.isNull()) logo = art::ProductMark(64, false);
    stg_.LogoImage->setPixmap(logo);
}

void TLoginView::SetPageMode(int mode) {
    mode_ = mode;
    switch (mode) {
        case kLoginPage:
            stg_.GreetingLbl->setText(ToQt(Str(727)));
            stg_.GreetingText->setText(ToQt(Str(729)));
            stg_.Pages->setCurrentWidget(stg_.LoginPage);
            stg_.NameEdit->setFocus();
            break;
        case kNewUserPage: {
            std::string text = Str(392);
            const size_t at = text.find("%s");
            if (at != std::string::npos) text.replace(at, 2, Str(2));
            stg_.GreetingLbl->setText(ToQt(Str(728)));
            stg_.GreetingText->setText(ToQt(text));
            stg_.Pages->setCurrentWidget(stg_.NewUserPage);
            stg_.NewNamePanel->show();
            stg_.BackBtn->setVisible(!noReturn_);
            stg_.NewGroupPanel->setVisible(selfGrouping_ && groupIds_.size() > 1);
            stg_.NewNameEdit->setText(stg_.NameEdit->text());
            stg_.NewNameEdit->selectAll();
            stg_.NewNameEdit->setFocus();
            break;
        }
        case kSetPasswordPage:
            stg_.GreetingLbl->setText(ToQt(Str(1476)));
            stg_.GreetingText->setText(ToQt(Str(1477)));
            stg_.Pages->setCurrentWidget(stg_.NewUserPage);
            stg_.NewNamePanel->hide();
            stg_.BackBtn->hide();
            stg_.NewGroupPanel->hide();
            stg_.NewPasswordPanel->show();
            stg_.NewPasswordEdit->clear();
            stg_.NewPasswordEdit2->clear();
            stg_.NewPasswordEdit->setFocus();
            break;
    }
}

void TLoginView::ButtonHandler(QObject* sender) {
    if (!sender) return;
    const QString name = sender->objectName();
    PlaySound(kSoundClick);
    if (name == QLatin1String("DeleteUsrBtn")) {
        DeleteUser();
    } else if (name == QLatin1String("NewUserBtn")) {
        SetPageMode(kNewUserPage);
    } else if (name == QLatin1String("BackBtn")) {
        SetPageMode(kLoginPage);
    } else if (name == QLatin1String("EnterBtn") || name == QLatin1String("EnterBtn2")) {
        SetModalResult(LoginAnswer::kLoggedOn);
    } else if (name == QLatin1String("NameList")) {
        NamePicked();
        SetModalResult(LoginAnswer::kLoggedOn);
    }
}

void TLoginView::NamePicked() {
    if (pickingName_) return;
    QListWidgetItem* item = stg_.NameList->currentItem();
    if (!item) return;
    stg_.NameEdit->setText(item->text());
}

void TLoginView::NameTyped() {
    // The list follows the typing: the first name that begins with what was typed.
    const QString typed = stg_.NameEdit->text().trimmed();
    int found = -1;
    if (!typed.isEmpty())
        for (int i = 0; i < stg_.NameList->count() && found < 0; ++i)
            if (stg_.NameList->item(i)->text().startsWith(typed, Qt::CaseInsensitive)) found = i;
    pickingName_ = true;
    stg_.NameList->setCurrentRow(found);
    if (found >= 0) stg_.NameList->scrollToItem(stg_.NameList->item(found));
    pickingName_ = false;
}

void TLoginView::CloseQuery(bool& refuse) {
    if (ModalResult() != static_cast<int>(LoginAnswer::kLoggedOn)) return;
    refuse = !Validate();
}

bool TLoginView::PasswordsAcceptable() {
    const QString first = stg_.NewPasswordEdit->text();
    if (first.isEmpty()) {
        Warn(Str(416), {416});
        stg_.NewPasswordEdit->setFocus();
        return false;
    }
    if (first != stg_.NewPasswordEdit2->text()) {
        Warn(Str(423), {423});
        stg_.NewPasswordEdit->clear();
        stg_.NewPasswordEdit2->clear();
        stg_.NewPasswordEdit->setFocus();
        return false;
    }
    return true;
}

bool TLoginView::Validate() {
    SetCurrentUser(nullptr);
    if (mode_ == kSetPasswordPage) {
        std::unique_ptr<TUser> user;
        try {
            user = TUser::OpenExisting(passwordFor_, false, -1, TUser::kShared);
        } catch (const UserError& e) {
            ShowOpenError(passwordFor_, e.what());
            return false;
        }
        if (!user) {  // deleted meanwhile: start over
            SetPageMode(kLoginPage);
            return false;
        }
        return ValidateSetPassword(user);
    }

    const std::string name = NormaliseLoginName(
        FromQt((mode_ == kNewUserPage ? stg_.NewNameEdit : stg_.NameEdit)->text()));
    if (name.empty()) {
        Warn(Str(415), {415});
        (mode_ == kNewUserPage ? stg_.NewNameEdit : stg_.NameEdit)->setFocus();
        return false;
    }
    if (mode_ == kNewUserPage) return ValidateNewUser(name);

    std::unique_ptr<TUser> user;
    try {
        // Only an existing file is opened; a file held elsewhere or owned by another name
        // is reported, never replaced by a new user.
        user = TUser::OpenExisting(name, false, -1, TUser::kShared);
    } catch (const UserError& e) {
        ShowOpenError(name, e.what());
        return false;
    }
    return ValidateLogin(name, user);
}

bool TLoginView::ValidateLogin(const std::string& name, std::unique_ptr<TUser>& user) {
    if (!user) {
        if (newUsersPrevented_) {
            Warn(Str(420), {420});
            return false;
        }
        if (!YesNo(Str(421) + name + Str(422), {421, 422})) return false;
        if (passwordRequired_ || selfGrouping_) {
            stg_.NameEdit->setText(ToQt(name));
            SetPageMode(kNewUserPage);
            if (passwordRequired_)
                stg_.NewPasswordEdit->setFocus();
            else if (stg_.NewGroupPanel->isVisibleTo(stg_.NewUserPage))
                stg_.NewGroupCombo->setFocus();
            return false;
        }
        try {
            user = TUser::Create(name);
        } catch (const UserError& e) {
            ShowOpenError(name, e.what());
            return false;
        }
        user->SaveUser();
        TUser::RebuildIndexes();
        SetCurrentUser(std::move(user));
        return true;
    }
    if (passwordRequired_) {
        if (user->GetText("Password").empty()) {
            passwordFor_ = name;
            Release(user);
            SetPageMode(kSetPasswordPage);
            return false;
        }
        if (!user->CheckPassword(FromQt(stg_.PasswordEdit->text()))) {
            Release(user);
            Warn(Str(419), {419});
            stg_.PasswordEdit->clear();
            stg_.PasswordEdit->setFocus();
            return false;
        }
    }
    SetCurrentUser(std::move(user));
    return true;
}

bool TLoginView::ValidateSetPassword(std::unique_ptr<TUser>& user) {
    if (!PasswordsAcceptable()) {
        Release(user);
        return false;
    }
    user->SetPassword(FromQt(stg_.NewPasswordEdit->text()));
    if (chosenGroup_ != 0) user->SetGroupId(chosenGroup_);
    user->SaveUser();
    if (chosenGroup_ != 0) TUser::RebuildIndexes();
    SetCurrentUser(std::move(user));
    return true;
}

bool TLoginView::ValidateNewUser(const std::string& name) {
    const std::string base = TUser::FileBaseFor(name, -1);
    TProgramSettings* settings = ProgramSettings();
    const std::string database = settings ? settings->databaseFolder : std::string();
    if (base.empty()) {
        ShowOpenError(name, Str(1377));
        return false;
    }
    if (fs::FileExists(database + base + ".usr")) {
        Warn(Str(424) + name + Str(425), {424, 425});
        stg_.NewNameEdit->selectAll();
        stg_.NewNameEdit->setFocus();
        return false;
    }
    if (passwordRequired_ && !PasswordsAcceptable()) return false;

    std::unique_ptr<TUser> user;
    try {
        user = TUser::Create(name);
    } catch (const UserError& e) {
        ShowOpenError(name, e.what());
        return false;
    }
    user->SetGroupId(chosenGroup_);
    const std::string password = FromQt(stg_.NewPasswordEdit->text());
    if (passwordRequired_ && !password.empty()) user->SetPassword(password);
    user->SaveUser();
    // The new user goes into its group's index.
    TUser::RebuildIndexes();
    if (chosenGroup_ != 0) {
        // Opened again, so its settings are read over the chosen group's from now on.
        user.reset();
        try {
            user = TUser::OpenExisting(name, false, -1, TUser::kShared);
        } catch (const UserError& e) {
            ShowOpenError(name, e.what());
            return false;
        }
        if (!user) return false;
    }
    SetCurrentUser(std::move(user));
    return true;
}

void TLoginView::DeleteUser() {
    const std::string name = NormaliseLoginName(FromQt(stg_.NameEdit->text()));
    if (name.empty()) {
        Warn(Str(415), {415});
        stg_.NameEdit->setFocus();
        return;
    }
    // The visitor has no files of its own to delete.
    if (EqualsNoCase(name, TUser::kVisitorName)) return;
    std::unique_ptr<TUser> user;
    try {
        // Exclusively: a user that another program or workstation has open stays.
        user = TUser::OpenExisting(name, true, -1, TUser::kExclusive);
    } catch (const UserError& e) {
        ShowOpenError(name, e.what());
        return;
    }
    if (!user) {
        FillNames();
        return;
    }
    if (passwordRequired_) {
        const std::string password = FromQt(stg_.PasswordEdit->text());
        if (!user->GetText("Password").empty() && password.empty()) {
            Release(user);
            Warn(Str(416), {416});
            stg_.PasswordEdit->setFocus();
            return;
        }
        if (!user->CheckPassword(password)) {
            Release(user);
            Warn(Str(419), {419});
            stg_.PasswordEdit->clear();
            stg_.PasswordEdit->setFocus();
            return;
        }
    }
    if (!YesNo(Str(1021) + "\r\n\r\n" + name, {1021})) {
        Release(user);
        return;
    }
    DeleteUserFiles(std::move(user));
    stg_.NameEdit->clear();
    stg_.PasswordEdit->clear();
    FillNames();
    stg_.NameEdit->setFocus();
}

LoginAnswer RunLoginView(TLoginViewStg& storage, const std::string& lastUserName) {
    TLoginView view(storage, lastUserName);
    const auto result = view.ShowModalAs<LoginAnswer>();
    if (result != LoginAnswer::kLoggedOn) SetCurrentUser(nullptr);
    return result;
}

}  // namespace corv
