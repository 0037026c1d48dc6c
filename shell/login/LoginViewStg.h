#pragma once
// The login view's controls: the logo and the greeting beside a card with two pages, the
// login page (groups, names, password) and the new-user page.

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <vector>

#include "views/StorageForm.h"

namespace corv {

// The login view's controls, created at program start and kept for the whole run.
class TLoginViewStg : public TStorageForm {
  public:
    TLoginViewStg();

    // Where the logo may stand on the book.
    static constexpr int kLogoWidth = 250;
    static constexpr int kLogoHeight = 150;

    QWidget* IntroPanel;  // the logo and the greeting, left of the card
    QLabel* LogoImage;
    QLabel* GreetingLbl;   // heading of the page mode
    QLabel* GreetingText;  // the explanation under it
    QFrame* LoginCard;     // the framed sheet the pages stand on
    QStackedWidget* Pages;

    // "LoginPage"
    QWidget* LoginPage;
    QWidget* GroupPanel;
    QComboBox* GroupList;
    QLabel* NameLbl;
    QLineEdit* NameEdit;  // the typed name; a click in NameList fills it
    QListWidget* NameList;
    QWidget* PasswordPanel;
    QLineEdit* PasswordEdit;
    QPushButton* EnterBtn2;
    QPushButton* DeleteUsrBtn;
    QPushButton* NewUserBtn;

    // "NewUserPage"
    QWidget* NewUserPage;
    QWidget* NewNamePanel;
    QLineEdit* NewNameEdit;
    QWidget* NewPasswordPanel;
    QLineEdit* NewPasswordEdit;
    QLineEdit* NewPasswordEdit2;
    QWidget* NewGroupPanel;
    QComboBox* NewGroupCombo;
    QPushButton* EnterBtn;
    QPushButton* BackBtn;

    // Captions of the current language.
    void ApplyCaptions();

  private:
    std::vector<QLabel*> captionLabels_;
    QLabel* groupLbl_;
    QLabel* passwordLbl_;
    QLabel* newNameLbl_;
    QLabel* newPasswordLbl_;
    QLabel* newPasswordLbl2_;
    QLabel* newGroupLbl_;
};

}  // namespace corv
