#include "views/StorageForm.h"

#include "platform/qt/QtText.h"
#include "views/BookForm.h"

namespace corv {

QRect PlaceOnBook(int x, int y, int w, int h) {
    return QRect(x - TBookFormEx::kBorrowShift, y - TBookFormEx::kBorrowShift, w, h);
}

TStorageForm::TStorageForm() {
    setAttribute(Qt::WA_DontShowOnScreen);
    resize(TBookFormEx::kBookWidth, TBookFormEx::kBookHeight);
}

TStorageForm::~TStorageForm() {
    if (auto* window = MainWindow()) window->ForgetStorage(this);
}

void TStorageForm::Register(QWidget* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    controls_.emplace_back(control);
}

QWidget* TStorageForm::Control(const std::string& name) const {
    const QString qname = ToQt(name);
    for (const QPointer<QWidget>& w : controls_)
        if (w && w->objectName() == qname) return w;
    return findChild<QWidget*>(qname);
}

}  // namespace corv
