#pragma once
// The layout mismatch: the course needs characters the keyboard layout cannot type.

#include <QWidget>
#include <memory>
#include <string>

#include "views/FormView.h"
#include "views/StorageForm.h"

class QLabel;
class QPushButton;

namespace corv {

enum class WrongKeyboardAnswer {
    kClosed = 0,
    kAccepted = 1,  // Next or Enter: to the settings, as kSettings
    kContinue = 2,  // study anyway
    kSettings = 3,
    kSwitchLayout = 4,  // to the US International layout
    kChangeCourse = 8,
};

class TWrongKeyboardViewStg : public TStorageForm {
  public:
    TWrongKeyboardViewStg();
    QWidget* KeyboardPanel;
    QLabel* InstructionsLbl;
    QLabel* MissingLbl;
    QLabel* LayoutLbl;
    QPushButton* Settings;
    QPushButton* SwitchLayout;
    QPushButton* continuebtn;
    QPushButton* changecrs;
};

class TWrongKeyboardView : public TCustomBookView {
  public:
    explicit TWrongKeyboardView(std::string missing);
    ~TWrongKeyboardView() override;
    void Setup() override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;
    TWrongKeyboardViewStg* Storage() const { return stg_.get(); }

  private:
    std::string missing_;
    std::unique_ptr<TWrongKeyboardViewStg> stg_;
};

}  // namespace corv
