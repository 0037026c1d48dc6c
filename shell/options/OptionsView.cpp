#include "shell/options/OptionsView.h"

#include <QSignalBlocker>

#include "core/Settings.h"
#include "data/keyboard/KeyData.h"
#include "platform/Identity.h"
#include "platform/qt/QtText.h"
#include "shell/AppFrame.h"
#include "shell/options/LayoutPreview.h"
#include "views/BookForm.h"

namespace corv {

TOptionsView::TOptionsView() = default;

TOptionsView::~TOptionsView() {
    CloseBeforeDestroy();
}

void TOptionsView::Setup() {
    TCustomBookView::Setup();
    stg_ = std::make_unique<TOptioStg>();
    TOptioStg& s = *stg_;
    const bool remote = !platform::RemoteClientName().empty();
    if (MainWindow()->LowColour() || remote) s.ShadingPic->hide();
    SetShowCancel(false);
    SetButtonSet(0);

    // Reading changes nothing: the layout in force is already loaded.
    state_ = TOptionsChoices::Read();
    preview_ = MakeLayoutPreview(s.Panel1);
    preview_->Widget()->hide();
    preview_->Widget()->setGeometry(PlaceOnBook(TOptioStg::kKeyboardLeft, TOptioStg::kKeyboardTop,
                                                TOptioStg::kKeyboardWidth,
                                                TOptioStg::kKeyboardHeight));
    Relabel();

    QObject::connect(s.LangList, &QComboBox::activated, [this](int index) {
        if (TOptionsChoices::StoreLanguage(state_, index)) {
            AnnounceLanguageChange();
            Relabel();
        }
    });
    QObject::connect(s.SoundsCombo, &QComboBox::activated, [this](int) { SoundsChange(); });
    QObject::connect(s.GeneralTheme, &QCheckBox::clicked,
                     [this](bool on) { TOptionsChoices::StoreTheme(state_, on); });
    QObject::connect(s.SpeedUnitCombo, &QComboBox::activated,
                     [this](int index) { TOptionsChoices::StoreUnit(state_, index); });
    QObject::connect(s.FontSizeCombo, &QComboBox::activated, [this](int index) {
        TOptionsChoices::StoreScreen(state_, index);
        ApplyWindowSize(*MainWindow());
    });
    QObject::connect(s.AutoDetect, &QRadioButton::clicked,
                     [this] { LayoutChoice(stg_->AutoDetect); });
    QObject::connect(s.UserLayout, &QRadioButton::clicked,
                     [this] { LayoutChoice(stg_->UserLayout); });
    QObject::connect(s.Layout, &QComboBox::activated, [this](int) { LayoutChoice(stg_->Layout); });

    MainWindow()->BorrowChildren(s.Panel1);
    preview_->Redraw(CurrentLayout());
    preview_->Widget()->show();
}

void TOptionsView::Relabel() {
    TOptioStg& s = *stg_;
    {
        const QSignalBlocker quiet(s.LangList);
        s.LangList->clear();
        for (const std::string& name : state_.languageNames) s.LangList->addItem(ToQt(name));
    }
    {
        const QSignalBlocker quiet(s.Layout);
        s.Layout->clear();
        for (const std::string& name : state_.layoutNames) s.Layout->addItem(ToQt(name));
    }
    s.ApplyCaptions(TOptionsChoices::DetectedLabel(state_), state_.screenItems);
    ShowState();
}

void TOptionsView::ShowState() {
    TOptioStg& s = *stg_;
    const TOptionsState& st = state_;
    auto set = [](QComboBox* combo, int index) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(index < combo->count() ? index : -1);
    };
    set(s.LangList, st.languageIndex);
    s.LangList->setEnabled(!st.languageLocked);
    s.LanguageLocked->setVisible(st.languageLocked);

    s.AutoDetect->setChecked(st.autoDetect);
    s.UserLayout->setChecked(!st.autoDetect);
    s.AutoDetect->setEnabled(st.autoDetectEnabled);
    // Both buttons answer to the same lock: with automatic detection locked neither moves.
    s.UserLayout->setEnabled(!st.autoDetectLocked);
    set(s.Layout, st.layoutIndex);
    s.Layout->setEnabled(!st.layoutLocked);
    s.KeyboardLocked->setVisible(st.layoutLocked || st.autoDetectLocked);

    s.GeneralTheme->setChecked(st.theme);
    s.GeneralTheme->setEnabled(!st.themeLocked);
    s.ThemeLocked->setVisible(st.themeLocked);
    set(s.SoundsCombo, st.sounds);
    s.SoundsCombo->setEnabled(!st.soundsLocked);
    s.SoundsLocked->setVisible(st.soundsLocked);
    set(s.SpeedUnitCombo, st.unitIndex);
    s.SpeedUnitCombo->setEnabled(!st.unitLocked);
    s.UnitLocked->setVisible(st.unitLocked);
    set(s.FontSizeCombo, st.screenIndex);
}

void TOptionsView::LayoutChoice(QObject* sender) {
    TOptioStg& s = *stg_;
    bool autoDetect = s.AutoDetect->isChecked();
    if (sender == s.Layout) {
        autoDetect = false;
        s.Layout->setFocus();
    }
    int index = s.Layout->currentIndex();
    // "My layout" with nothing chosen yet takes the list's first layout.
    if (!autoDetect && index < 0 && s.Layout->count() > 0) index = 0;
    if (TOptionsChoices::StoreLayout(state_, autoDetect, index)) {
        layoutLoaded_ = true;
        preview_->Redraw(CurrentLayout());
    }
    // A failed load leaves the previous choice; the page shows it again.
    ShowState();
}

void TOptionsView::SoundsChange() {
    TOptionsChoices::StoreTheme(state_, stg_->GeneralTheme->isChecked());
    TOptionsChoices::StoreSounds(state_, stg_->SoundsCombo->currentIndex());
}

void TOptionsView::Teardown() {
    // Every choice was stored when it was made; the system's layout follows a new one.
    TDynamicSettings* policy = CorvSettings::Policy();
    if (layoutLoaded_ && CurrentLayout() && !(policy && policy->GetBool("DisableWindowsLayouts")))
        CurrentLayout()->ActivateSystemLayout(true);
    TCustomBookView::Teardown();
    preview_.reset();
    stg_.reset();
}

int RunOptionsView() {
    TOptionsView view;
    return view.ShowModal();
}

}  // namespace corv
