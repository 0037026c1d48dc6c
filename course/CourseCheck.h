#pragma once
// Checking a course the way an administrator needs it: the course is read as the tutor
// reads it, and every problem is listed with its file and line: unknown keys and event
// types, event types this build cannot run, missing text, page and picture files,
// exercises over the limits, keys and text characters the course's layout cannot type,
// durations that leave a timed event without time, and, in a course that teaches keys
// ("new keys"), every drill word that needs a key its lesson has not taught yet.

#include <string>
#include <vector>

#include "course/CourseServices.h"

namespace corv {

// `path` is a contents file; its text, page and layout files are looked up in the
// installation's lessons and keyboards folders. Empty when the course is sound.
std::vector<CourseProblem> CheckCourse(const std::string& path);

}  // namespace corv
