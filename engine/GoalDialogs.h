#pragma once
// The goal controls of the events' storage form: the goal dialog with its level list, the
// goal status dialog and the goal bar of the console. The events decide what they show
// (engine/Goals.cpp); this file only designs them.

#include <QPixmap>

namespace corv {

// The "exercise completed" picture of the goal status dialog.
QPixmap ExerciseCompletedPicture();
// The picture of an exercise that ends early when its goal is reached.
QPixmap OptimizedPicture();

}  // namespace corv
