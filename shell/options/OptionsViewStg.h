#pragma once
// The controls of the options page: language, keyboard layout, theme tune, sounds, speed
// unit and screen size, each with its "Locked" label, and the keyboard picture's place.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "views/StorageForm.h"

namespace corv {

class TOptioStg : public TStorageForm {
  public:
    TOptioStg();
    // The texts of the current language; the lists keep their chosen items.
    void ApplyCaptions(const std::string& detectedName, int screenItems);

    QWidget* Panel1;  // everything the view borrows
    QLabel* LanguageC;
    QComboBox* LangList;
    QLabel* LanguageLocked;
    QLabel* KeyboardTitle;
    QRadioButton* AutoDetect;
    QRadioButton* UserLayout;
    QComboBox* Layout;
    QLabel* KeyboardLocked;
    QCheckBox* GeneralTheme;
    QLabel* ThemeLocked;
    QLabel* SoundsTitle;
    QComboBox* SoundsCombo;
    QLabel* SoundsLocked;
    QLabel* SpeedUnit;
    QComboBox* SpeedUnitCombo;
    QLabel* UnitLocked;
    QLabel* FontsTitle;
    QLabel* FontSizeHlp;
    QComboBox* FontSizeCombo;
    QWidget* ShadingPic;  // decoration under the title line

    // Where the keyboard picture stands on the book.
    static constexpr int kKeyboardLeft = 225, kKeyboardTop = 320;
    static constexpr int kKeyboardWidth = 502, kKeyboardHeight = 180;
};

}  // namespace corv
