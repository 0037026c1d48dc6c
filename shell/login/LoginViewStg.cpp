#include "shell/login/LoginViewStg.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/Localize.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"

namespace corv {

namespace {

QLabel* FieldLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(art::UiFont(9, true));
    label->setStyleSheet(art::TextStyle(art::InkMuted()));
    return label;
}

// A panel with a vertical layout without margins, so a hidden panel takes no room.
QVBoxLayout* Column(QWidget* panel, int spacing) {
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

using art::TChevronCombo;

}  // namespace

TLoginViewStg::TLoginViewStg() {
    // Left of the card: the logo, then what the page is for.
    IntroPanel = Make<QWidget>(this, "IntroPanel");
    IntroPanel->setGeometry(PlaceOnBook(28, 104, 272, 460));
    QVBoxLayout* intro = Column(IntroPanel, 0);
    LogoImage = Make<QLabel>(IntroPanel, "LogoImage");
    LogoImage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LogoImage->setMaximumSize(kLogoWidth, kLogoHeight);
    LogoImage->setStyleSheet(art::TransparentStyle());
    intro->addWidget(LogoImage);
    intro->addSpacing(34);

    GreetingLbl = Make<QLabel>(IntroPanel, "GreetingLbl");
    GreetingLbl->setWordWrap(true);
    GreetingLbl->setFont(art::UiFont(16, true));
    GreetingLbl->setStyleSheet(art::TextStyle(art::AccentDark()));
    intro->addWidget(GreetingLbl);
    intro->addSpacing(6);
    auto* rule = new art::TShadePic(art::TShadePic::kDivider, IntroPanel);
    Register(rule, "GreetingRule");
    rule->setFixedSize(250, 8);
    intro->addWidget(rule);
    intro->addSpacing(10);

    GreetingText = Make<QLabel>(IntroPanel, "GreetingText");
    GreetingText->setWordWrap(true);
    GreetingText->setTextFormat(Qt::PlainText);
    GreetingText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    GreetingText->setFont(art::UiFont(10));
    GreetingText->setStyleSheet(art::TextStyle(art::InkMuted()));
    intro->addWidget(GreetingText);
    intro->addStretch(1);

    LoginCard = Make<QFrame>(this, "LoginCard");
    LoginCard->setGeometry(PlaceOnBook(328, 100, 432, 472));
    LoginCard->setStyleSheet(art::LoginCardStyle(QStringLiteral("QFrame#LoginCard")));
    auto* cardLayout = new QVBoxLayout(LoginCard);
    cardLayout->setContentsMargins(26, 22, 26, 22);
    Pages = Make<QStackedWidget>(LoginCard, "Pages");
    Pages->setStyleSheet(art::TransparentStyle(QStringLiteral("QStackedWidget#Pages")));
    cardLayout->addWidget(Pages);

    // --- Login page ---
    LoginPage = Make<QWidget>(Pages, "LoginPage");
    Pages->addWidget(LoginPage);
    QVBoxLayout* login = Column(LoginPage, 6);

    GroupPanel = Make<QWidget>(LoginPage, "GroupPanel");
    QVBoxLayout* group = Column(GroupPanel, 5);
    groupLbl_ = FieldLabel(GroupPanel);
    GroupList = Make<TChevronCombo>(GroupPanel, "GroupList");
    GroupList->setMinimumHeight(30);
    group->addWidget(groupLbl_);
    group->addWidget(GroupList);
    group->addSpacing(8);
    login->addWidget(GroupPanel);

    NameLbl = FieldLabel(LoginPage);
    NameLbl->setObjectName(QStringLiteral("NameLbl"));
    login->addWidget(NameLbl);
    NameEdit = Make<QLineEdit>(LoginPage, "NameEdit");
    NameEdit->setMinimumHeight(30);
    NameEdit->setMaxLength(80);
    login->addWidget(NameEdit);
    NameList = Make<QListWidget>(LoginPage, "NameList");
    NameList->setSelectionMode(QAbstractItemView::SingleSelection);
    NameList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    NameList->setFocusPolicy(Qt::StrongFocus);
    login->addWidget(NameList, 1);

    PasswordPanel = Make<QWidget>(LoginPage, "PasswordPanel");
    QVBoxLayout* password = Column(PasswordPanel, 5);
    password->addSpacing(8);
    passwordLbl_ = FieldLabel(PasswordPanel);
    PasswordEdit = Make<QLineEdit>(PasswordPanel, "PasswordEdit");
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setMinimumHeight(30);
    password->addWidget(passwordLbl_);
    password->addWidget(PasswordEdit);
    login->addWidget(PasswordPanel);
    login->addStretch(0);

    login->addSpacing(14);
    auto* loginButtons = new QHBoxLayout();
    loginButtons->setSpacing(10);
    NewUserBtn = Make<QPushButton>(LoginPage, "NewUserBtn");
    art::SetButtonRole(NewUserBtn, art::ButtonRole::kSecondary);
    DeleteUsrBtn = Make<QPushButton>(LoginPage, "DeleteUsrBtn");
    art::SetButtonRole(DeleteUsrBtn, art::ButtonRole::kLink);
    EnterBtn2 = Make<QPushButton>(LoginPage, "EnterBtn2");
    art::SetButtonRole(EnterBtn2, art::ButtonRole::kPrimary);
    for (QPushButton* b : {NewUserBtn, DeleteUsrBtn, EnterBtn2}) {
        b->setMinimumHeight(34);
        b->setCursor(Qt::PointingHandCursor);
    }
    EnterBtn2->setMinimumWidth(118);
    loginButtons->addWidget(DeleteUsrBtn);
    loginButtons->addStretch(1);
    loginButtons->addWidget(NewUserBtn);
    loginButtons->addWidget(EnterBtn2);
    login->addLayout(loginButtons);

    // --- New-user page ---
    NewUserPage = Make<QWidget>(Pages, "NewUserPage");
    Pages->addWidget(NewUserPage);
    QVBoxLayout* newUser = Column(NewUserPage, 6);

    NewNamePanel = Make<QWidget>(NewUserPage, "NewNamePanel");
    QVBoxLayout* newName = Column(NewNamePanel, 5);
    newNameLbl_ = FieldLabel(NewNamePanel);
    NewNameEdit = Make<QLineEdit>(NewNamePanel, "NewNameEdit");
    NewNameEdit->setMinimumHeight(30);
    NewNameEdit->setMaxLength(80);
    newName->addWidget(newNameLbl_);
    newName->addWidget(NewNameEdit);
    newName->addSpacing(12);
    newUser->addWidget(NewNamePanel);

    NewPasswordPanel = Make<QWidget>(NewUserPage, "NewPasswordPanel");
    QVBoxLayout* newPassword = Column(NewPasswordPanel, 5);
    newPasswordLbl_ = FieldLabel(NewPasswordPanel);
    NewPasswordEdit = Make<QLineEdit>(NewPasswordPanel, "NewPasswordEdit");
    newPasswordLbl2_ = FieldLabel(NewPasswordPanel);
    NewPasswordEdit2 = Make<QLineEdit>(NewPasswordPanel, "NewPasswordEdit2");
    for (QLineEdit* e : {NewPasswordEdit, NewPasswordEdit2}) {
        e->setEchoMode(QLineEdit::Password);
        e->setMinimumHeight(30);
    }
    newPassword->addWidget(newPasswordLbl_);
    newPassword->addWidget(NewPasswordEdit);
    newPassword->addSpacing(6);
    newPassword->addWidget(newPasswordLbl2_);
    newPassword->addWidget(NewPasswordEdit2);
    newPassword->addSpacing(12);
    newUser->addWidget(NewPasswordPanel);

    NewGroupPanel = Make<QWidget>(NewUserPage, "NewGroupPanel");
    QVBoxLayout* newGroup = Column(NewGroupPanel, 5);
    newGroupLbl_ = FieldLabel(NewGroupPanel);
    NewGroupCombo = Make<TChevronCombo>(NewGroupPanel, "NewGroupCombo");
    NewGroupCombo->setMinimumHeight(30);
    newGroup->addWidget(newGroupLbl_);
    newGroup->addWidget(NewGroupCombo);
    newUser->addWidget(NewGroupPanel);
    newUser->addStretch(1);

    auto* newButtons = new QHBoxLayout();
    newButtons->setSpacing(10);
    BackBtn = Make<QPushButton>(NewUserPage, "BackBtn");
    art::SetButtonRole(BackBtn, art::ButtonRole::kSecondary);
    EnterBtn = Make<QPushButton>(NewUserPage, "EnterBtn");
    art::SetButtonRole(EnterBtn, art::ButtonRole::kPrimary);
    for (QPushButton* b : {BackBtn, EnterBtn}) {
        b->setMinimumHeight(34);
        b->setCursor(Qt::PointingHandCursor);
    }
    EnterBtn->setMinimumWidth(118);
    newButtons->addWidget(BackBtn);
    newButtons->addStretch(1);
    newButtons->addWidget(EnterBtn);
    newUser->addLayout(newButtons);

    ApplyCaptions();
}

void TLoginViewStg::ApplyCaptions() {
    groupLbl_->setText(ToQt(Str(730)));
    NameLbl->setText(ToQt(Str(731)));
    passwordLbl_->setText(ToQt(Str(732)));
    EnterBtn2->setText(ToQt(Str(733)));
    NewUserBtn->setText(ToQt(Str(734)));
    newNameLbl_->setText(ToQt(Str(735)));
    newPasswordLbl_->setText(ToQt(Str(736)));
    newPasswordLbl2_->setText(ToQt(Str(737)));
    EnterBtn->setText(ToQt(Str(738)));
    DeleteUsrBtn->setText(ToQt(Str(1688)));
    newGroupLbl_->setText(ToQt(Str(1690)));
    BackBtn->setText(ToQt(Str(1213)));
}

}  // namespace corv
