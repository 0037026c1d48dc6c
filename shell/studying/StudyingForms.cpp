#include "shell/studying/StudyingForms.h"

namespace corv::studying {

QLabel* Label(QWidget* parent, int points, bool bold, const char* colour, const char* name) {
    auto* label = new QLabel(parent);
    label->setFont(art::UiFont(points, bold));
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
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

const char kCard[] = "background: #fffdf8; border: 1px solid #ddd3bf; border-radius: 10px;";

const char kComboStyle[] =
    "QComboBox::drop-down { subcontrol-origin: padding; subcontrol-position: center right; width: "
    "24px;"
    " border: none; }"
    "QComboBox::down-arrow { image: none; width: 0; height: 0; }";

}  // namespace corv::studying
