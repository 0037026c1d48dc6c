#include "shell/studying/WrongKeyboardView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Cp1252.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "data/ProgramSettings.h"
#include "data/keyboard/KeyData.h"
#include "platform/qt/QtText.h"
#include "shell/studying/StudyingForms.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

using namespace studying;

TWrongKeyboardViewStg::TWrongKeyboardViewStg() {
    KeyboardPanel = Make<QWidget>(this, "KeyboardPanel");
    KeyboardPanel->setGeometry(0, 0, 800, 600);
    auto* card = Make<QFrame>(KeyboardPanel, "KeyboardCard");
    card->setGeometry(PlaceOnBook(110, 120, 580, 270));
    card->setStyleSheet(art::CardStyle(QStringLiteral("QFrame#KeyboardCard")));
    auto* v = new QVBoxLayout(card);
    v->setContentsMargins(28, 24, 28, 24);
    v->setSpacing(10);
    InstructionsLbl = Label(card, 10, false, art::Ink());
    Register(InstructionsLbl, "InstructionsLbl");
    InstructionsLbl->setWordWrap(true);
    v->addWidget(InstructionsLbl);
    MissingLbl = Label(card, 12, true, art::ErrorRed());
    Register(MissingLbl, "MissingLbl");
    v->addWidget(MissingLbl);
    LayoutLbl = Label(card, 10, false, art::InkMuted());
    Register(LayoutLbl, "LayoutLbl");
    v->addWidget(LayoutLbl);
    v->addStretch(1);
    auto* row = new QHBoxLayout();
    changecrs = Button(card, art::ButtonRole::kSecondary);
    Register(changecrs, "changecrs");
    Settings = Button(card, art::ButtonRole::kSecondary);
    Register(Settings, "Settings");
    SwitchLayout = Button(card, art::ButtonRole::kSecondary);
    Register(SwitchLayout, "SwitchLayout");
    continuebtn = Button(card, art::ButtonRole::kPrimary);
    Register(continuebtn, "continuebtn");
    for (QPushButton* b : {changecrs, Settings, SwitchLayout, continuebtn}) {
        b->setMinimumHeight(34);
        row->addWidget(b);
    }
    v->addLayout(row);
}

TWrongKeyboardView::TWrongKeyboardView(std::string missing) : missing_(std::move(missing)) {
    SetShowCancel(false);
    ShowMenu = false;
}

TWrongKeyboardView::~TWrongKeyboardView() {
    CloseBeforeDestroy();
}

void TWrongKeyboardView::Setup() {
    TCustomBookView::Setup();
    SetButtonSet(0);
    stg_ = std::make_unique<TWrongKeyboardViewStg>();
    TWrongKeyboardViewStg& s = *stg_;
    MainWindow()->SetTitle(Str(196));
    s.InstructionsLbl->setText(ToQt(Str(1444)));
    s.MissingLbl->setText(ToQt(Str(1443) + ": " + missing_.substr(0, 10)));
    std::string layout = ChooseLayoutFile("qwerty.kbd", true);
    if (layout == Str(1107) && CurrentLayout()) layout = fs::BaseName(CurrentLayout()->fileName);
    s.LayoutLbl->setText(ToQt(Str(196) + ": " + layout));
    s.Settings->setText(ToQt(Str(631)));
    s.SwitchLayout->setText(ToQt(Str(1445)));
    s.SwitchLayout->setVisible(EqualsNoCase(
        CorvSettings::LanguageFileBase() + "." + TLocalize::CurrentCode(), "language.eng"));
    s.continuebtn->setText(ToQt(Str(1806)));
    s.changecrs->setText(ToQt(Str(1793)));
    for (QPushButton* b : {s.Settings, s.SwitchLayout, s.continuebtn, s.changecrs})
        QObject::connect(b, &QPushButton::clicked, [this, b] { ButtonClick(b); });
    MainWindow()->BorrowChildren(s.KeyboardPanel);
}

void TWrongKeyboardView::ButtonClick(QObject* sender) {
    TCustomBookView::ButtonClick(sender);
    if (!sender) return;
    const QString name = sender->objectName();
    if (name == QLatin1String("Settings"))
        SetModalResult(WrongKeyboardAnswer::kSettings);
    else if (name == QLatin1String("SwitchLayout"))
        SetModalResult(WrongKeyboardAnswer::kSwitchLayout);
    else if (name == QLatin1String("continuebtn"))
        SetModalResult(WrongKeyboardAnswer::kContinue);
    else if (name == QLatin1String("changecrs"))
        SetModalResult(WrongKeyboardAnswer::kChangeCourse);
}

void TWrongKeyboardView::Teardown() {
    TCustomBookView::Teardown();
    stg_.reset();
}

}  // namespace corv
