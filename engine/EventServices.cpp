#include "engine/EventServices.h"

#include "engine/analysis/AnalysisClock.h"

namespace corv {

namespace {

const CourseFacts* course = nullptr;

}  // namespace

double TickCount() {
    return static_cast<double>(NowTicks());
}

void SetLoadedCourse(const CourseFacts* c) {
    course = c;
}
const CourseFacts* LoadedCourse() {
    return course;
}

EventServices& Services() {
    static EventServices services;
    return services;
}

std::string LessonsFolder() {
    return Services().lessonsFolder ? Services().lessonsFolder() : std::string(".");
}

std::string HomeRowKeys() {
    return Services().homeRowKeys ? Services().homeRowKeys() : std::string("asdfjkl;");
}

}  // namespace corv
