#pragma once
// A storage form holds one view's controls, designed in code, on a hidden window. The view
// borrows them onto the main window's book while it runs; their object names are the
// names the views and tests use ("NextEventBtn", "MessagePanel", ...).

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <string>
#include <vector>

namespace corv {

// Where a control stands while it is borrowed: x and y are its place on the book, which
// the borrowing shifts by the main window's borrow offset.
QRect PlaceOnBook(int x, int y, int w, int h);

class TStorageForm : public QWidget {
  public:
    TStorageForm();
    // Controls still on the book come back first, so they die with their form.
    ~TStorageForm() override;

    // The control of that name anywhere on the form (also while borrowed by the view that
    // owns the form); null when there is none.
    QWidget* Control(const std::string& name) const;
    template <class T>
    T* ControlAs(const std::string& name) const {
        return qobject_cast<T*>(Control(name));
    }

  protected:
    // Remembers every control created for the form, so lookups work while it is borrowed.
    template <class T>
    T* Make(QWidget* parent, const char* name) {
        T* control = new T(parent);
        Register(control, name);
        return control;
    }
    void Register(QWidget* control, const char* name);

  private:
    std::vector<QPointer<QWidget>> controls_;
};

}  // namespace corv
