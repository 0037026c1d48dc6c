#pragma once
// The lesson pages and the lesson-completed page, as the course model shows them for its
// lessons (the lesson's run reads their answers and the chosen exercise).

namespace corv {

// Makes the course model show these views for its lessons.
void InstallLessonViews();

}  // namespace corv
