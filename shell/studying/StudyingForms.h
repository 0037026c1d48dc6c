#pragma once
// The pieces the studying views build their storage forms from: the area right of the
// section menu, labels, buttons and gauges in the book's look.

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "views/Art.h"

namespace corv::studying {

// Right of the section menu, which covers the book's left edge.
constexpr int kLeft = 200;
constexpr int kRight = 784;

QLabel* Label(QWidget* parent, int points, bool bold, const QColor& colour,
              const char* name = nullptr);
QPushButton* Button(QWidget* parent, art::ButtonRole role);
QProgressBar* Bar(QWidget* parent);

}  // namespace corv::studying
