#pragma once
// Guided studying: the "Studying" and "Courses" sections. Walks the user through choosing
// a course, its lessons and lesson duration, the lessons themselves and, at the end, the
// course-completed page; remembers in the user's "NextView" where the user is. Its
// answer names the section the main loop runs next.

#include <optional>
#include <string>

#include "shell/AppFrame.h"
#include "shell/studying/WrongKeyboardView.h"

namespace corv {

enum class StudyingStart {
    kContinue = 0,      // where the user left off ("Studying")
    kCourseChoice = 1,  // "Courses"
};

class TGuidedStudying {
  public:
    SectionResult Run(StudyingStart start);

    std::string State;
    std::string Previous;
    bool RepeatLastLesson = false;
    SectionResult ResultCode = SectionResult::kStay;

  private:
    // Each step; false ends the run with ResultCode.
    bool ChooseCourse();
    bool CourseContents();
    bool Studying();
    bool Completed();
    // The course file the user studies ("ContentsFile", else the policy's default).
    static std::string CourseFile();
    // The characters the course needs that the layout cannot type; the view's answer
    // when the user was asked, none when nothing is missing.
    std::optional<WrongKeyboardAnswer> CheckLayout();
};

// Registers the "Studying" and "Courses" sections with the main loop, the lesson views
// and the event classes.
void RegisterStudyingSections();

}  // namespace corv
