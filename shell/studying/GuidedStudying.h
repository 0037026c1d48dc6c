#pragma once
// Guided studying: the "Studying" and "Courses" sections. Walks the user through choosing
// a course, its lessons and lesson duration, the lessons themselves and, at the end, the
// course-completed page; remembers in the user's "NextView" where the user is.
//
// Run answers the main loop: 0 stay in studying, 3 settings, 4 statistics, 8 course choice
// next time, 55 the typing meter.

#include <string>

namespace corv {

class TGuidedStudying {
  public:
    // 1: start at the course choice; 0: go on where the user left off.
    int Run(int argument);

    std::string State;
    std::string Previous;
    bool RepeatLastLesson = false;
    int ResultCode = 0;

  private:
    // Each step; false ends the run with ResultCode.
    bool ChooseCourse();
    bool CourseContents();
    bool Studying();
    bool Completed();
    // The course file the user studies ("ContentsFile", else the policy's default).
    static std::string CourseFile();
    // The characters the course needs that the layout cannot type; the view's answer
    // when the user was asked (-1: nothing missing).
    int CheckLayout();
};

// Registers the "Studying" and "Courses" sections with the main loop, the lesson views
// and the event classes.
void RegisterStudyingSections();

}  // namespace corv
