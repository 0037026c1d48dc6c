#include "shell/studying/StudyingForms.h"

namespace corv::studying {

QLabel* Label(QWidget* parent, int points, bool bold, const QColor& colour, const char* name) {
    QLabel* label = art::NewLabel(parent, points, bold, colour);
    if (name) label->setObjectName(QString::fromLatin1(name));
    return label;
}

QPushButton* Button(QWidget* parent, art::ButtonRole role) {
    auto* b = new QPushButton(parent);
    art::SetButtonRole(b, role);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QProgressBar* Bar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->setFixedHeight(10);
    return bar;
}

}  // namespace corv::studying
