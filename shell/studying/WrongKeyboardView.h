#pragma once
// The layout mismatch: the course needs characters the keyboard layout cannot type.
//
// Answers: 1 or 3 go to settings, 2 continue anyway, 4 switch to the US International
// layout, 8 change course, 0 closed.

#include <QWidget>
#include <memory>
#include <string>

#include "views/FormView.h"
#include "views/StorageForm.h"

class QLabel;
class QPushButton;

namespace corv {

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
