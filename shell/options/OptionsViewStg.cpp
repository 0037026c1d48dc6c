#include "shell/options/OptionsViewStg.h"

#include "core/Localize.h"
#include "core/Utility.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"

namespace corv {
namespace {

constexpr int kLeft = 200, kRight = 500;  // the two columns

QLabel* Heading(QLabel* label) {
    label->setFont(art::UiFont(10, true));
    label->setStyleSheet(art::TextStyle(art::AccentDark()));
    return label;
}

QLabel* LockedLabel(QLabel* label) {
    label->setFont(art::UiFont(9, true));
    label->setStyleSheet(art::TextStyle(art::Faded()));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->hide();
    return label;
}

// Replaces a list's texts, keeping its chosen item.
void SetItems(QComboBox* combo, const std::vector<std::string>& texts) {
    const int index = combo->currentIndex();
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const std::string& text : texts) combo->addItem(ToQt(text));
    combo->setCurrentIndex(index < combo->count() ? index : -1);
}

}  // namespace

TOptioStg::TOptioStg() {
    Panel1 = Make<QWidget>(this, "Panel1");
    Panel1->setGeometry(0, 0, width(), height());

    ShadingPic = new art::TShadePic(art::TShadePic::kTop, Panel1);
    Register(ShadingPic, "ShadingPic");
    ShadingPic->setGeometry(PlaceOnBook(175, 58, 625, 12));

    LanguageC = Heading(Make<QLabel>(Panel1, "LanguageC"));
    LanguageC->setGeometry(PlaceOnBook(kLeft, 78, 270, 20));
    LangList = Make<art::TChevronCombo>(Panel1, "LangList");
    LangList->setGeometry(PlaceOnBook(kLeft, 100, 250, 28));
    LanguageLocked = LockedLabel(Make<QLabel>(Panel1, "LanguageLocked"));
    LanguageLocked->setGeometry(PlaceOnBook(kLeft + 130, 78, 120, 20));

    KeyboardTitle = Heading(Make<QLabel>(Panel1, "KeyboardTitle"));
    KeyboardTitle->setGeometry(PlaceOnBook(kLeft, 144, 200, 20));
    KeyboardLocked = LockedLabel(Make<QLabel>(Panel1, "KeyboardLocked"));
    KeyboardLocked->setGeometry(PlaceOnBook(kLeft + 150, 144, 122, 20));
    AutoDetect = Make<QRadioButton>(Panel1, "AutoDetect");
    AutoDetect->setGeometry(PlaceOnBook(kLeft, 168, 290, 24));
    UserLayout = Make<QRadioButton>(Panel1, "UserLayout");
    UserLayout->setGeometry(PlaceOnBook(kLeft, 194, 290, 24));
    Layout = Make<art::TChevronCombo>(Panel1, "Layout");
    Layout->setGeometry(PlaceOnBook(kLeft + 22, 222, 250, 28));

    SoundsTitle = Heading(Make<QLabel>(Panel1, "SoundsTitle"));
    SoundsTitle->setGeometry(PlaceOnBook(kRight, 78, 200, 20));
    SoundsCombo = Make<art::TChevronCombo>(Panel1, "SoundsCombo");
    SoundsCombo->setGeometry(PlaceOnBook(kRight, 100, 250, 28));
    SoundsLocked = LockedLabel(Make<QLabel>(Panel1, "SoundsLocked"));
    SoundsLocked->setGeometry(PlaceOnBook(kRight + 130, 78, 120, 20));
    GeneralTheme = Make<QCheckBox>(Panel1, "GeneralTheme");
    GeneralTheme->setGeometry(PlaceOnBook(kRight, 134, 280, 24));
    ThemeLocked = LockedLabel(Make<QLabel>(Panel1, "ThemeLocked"));
    ThemeLocked->setGeometry(PlaceOnBook(kRight + 130, 156, 120, 18));

    SpeedUnit = Heading(Make<QLabel>(Panel1, "SpeedUnit"));
    SpeedUnit->setGeometry(PlaceOnBook(kRight, 178, 200, 20));
    SpeedUnitCombo = Make<art::TChevronCombo>(Panel1, "SpeedUnitCombo");
    SpeedUnitCombo->setGeometry(PlaceOnBook(kRight, 200, 250, 28));
    UnitLocked = LockedLabel(Make<QLabel>(Panel1, "UnitLocked"));
    UnitLocked->setGeometry(PlaceOnBook(kRight + 130, 178, 120, 20));

    FontsTitle = Heading(Make<QLabel>(Panel1, "FontsTitle"));
    FontsTitle->setGeometry(PlaceOnBook(kRight, 240, 200, 20));
    FontSizeCombo = Make<art::TChevronCombo>(Panel1, "FontSizeCombo");
    FontSizeCombo->setGeometry(PlaceOnBook(kRight, 262, 250, 28));
    FontSizeHlp = Make<QLabel>(Panel1, "FontSizeHlp");
    FontSizeHlp->setGeometry(PlaceOnBook(kRight, 291, 270, 28));
    FontSizeHlp->setWordWrap(true);
    FontSizeHlp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FontSizeHlp->setFont(art::UiFont(8));
    FontSizeHlp->setStyleSheet(art::TextStyle(art::InkMuted()));
}

void TOptioStg::ApplyCaptions(const std::string& detectedName, int screenItems) {
    // Str(1435) Str(196) Str(198) Str(574) Str(598) Str(200) Str(182) Str(183) Str(184)
    // Str(571) Str(202) Str(203) Str(191) Str(573) Str(1685) Str(1686) Str(1687)
    LanguageC->setText(ToQt(Str(1435)));
    KeyboardTitle->setText(ToQt(Str(196)));
    AutoDetect->setText(ToQt(Str(198) + " (" + detectedName + ")"));
    UserLayout->setText(ToQt(Str(574)));
    for (QLabel* locked : {LanguageLocked, KeyboardLocked, ThemeLocked, SoundsLocked, UnitLocked})
        locked->setText(ToQt(Str(598)));
    GeneralTheme->setText(ToQt(Str(200)));
    SoundsTitle->setText(ToQt(Str(182)));
    SetItems(SoundsCombo, {DropAmpersands(Str(184)), DropAmpersands(Str(183))});
    SpeedUnit->setText(ToQt(Str(571)));
    SetItems(SpeedUnitCombo, {DropAmpersands(Str(203)), DropAmpersands(Str(202))});
    FontsTitle->setText(ToQt(Str(191)));
    FontSizeHlp->setText(ToQt(Str(573)));
    std::vector<std::string> sizes{Str(1686), Str(1687)};
    if (screenItems > 2) sizes.push_back(Str(1685));
    SetItems(FontSizeCombo, sizes);
}

}  // namespace corv
