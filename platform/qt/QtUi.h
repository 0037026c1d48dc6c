#pragma once
// Qt implementations of the user-interface services of core/UserInterface.h. A program
// calls RegisterQtUi() once its QApplication exists. In Qt programs a ui::WindowRef is a
// QWidget*.

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <memory>
#include <string>
#include <string_view>

#include "core/UserInterface.h"

class QLabel;
class QProgressBar;

namespace corv::qtui {

// Registers all five services; they are let go again when the QApplication is destroyed
// (or by UnregisterQtUi).
void RegisterQtUi();
void UnregisterQtUi();

// Windows-1252 to Qt text; CR LF, LF CR and a lone CR each become one "\n".
QString ToQt(std::string_view text);
std::string FromQt(const QString& text);

// The box a request asks for, not yet shown.
std::unique_ptr<QMessageBox> BuildMessageBox(const ui::MessageRequest& request,
                                             QWidget* parent = nullptr);
// Runs the box modally and turns the button pressed into a ui::Answer.
int RunMessageBox(QMessageBox& box, const ui::MessageRequest& request);
int AnswerOf(QMessageBox::StandardButton button);

// True when modal boxes can reach a user: a QApplication on a real display.
bool CanAskUser();

// The progress box: caption, message and a bar.
class TMyMsgFormDialog : public QDialog {
  public:
    explicit TMyMsgFormDialog(QWidget* parent = nullptr);
    void SetMessage(const QString& message);
    void SetRange(int min, int max);
    void SetPosition(int position);
    QLabel* MessageLabel() const { return label_; }
    QProgressBar* Bar() const { return bar_; }

  private:
    QLabel* label_;
    QProgressBar* bar_;
};

}  // namespace corv::qtui
