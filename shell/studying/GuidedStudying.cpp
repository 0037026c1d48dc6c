#include "shell/studying/GuidedStudying.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "course/Contents.h"
#include "course/CourseServices.h"
#include "course/CourseSummary.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "shell/AppFrame.h"
#include "shell/EventClasses.h"
#include "shell/lessons/LessonViews.h"
#include "shell/studying/CourseContentsView.h"
#include "shell/studying/CourseListView.h"
#include "shell/studying/GoodbyeView.h"
#include "shell/studying/WrongKeyboardView.h"
#include "views/BookForm.h"

namespace corv {

std::string TGuidedStudying::CourseFile() {
    TUser* user = CurrentUser();
    std::string file = user ? user->GetText("ContentsFile") : std::string();
    if (file.empty()) file = WithCntExtension(CorvSettings::PolicyText("DefaultContents"));
    return file;
}

SectionResult TGuidedStudying::Run(StudyingStart start) {
    ResultCode = SectionResult::kStay;
    TUser* user = CurrentUser();
    if (!user) return SectionResult::kStay;
    State = user->GetText("NextView");
    if (State.empty()) State = "Studying";
    if (start == StudyingStart::kCourseChoice) State = "ChooseCourse";
    while (!State.empty()) {
        if (State == "Studying" && user->GetText("ContentsFile").empty()) State = "Welcome";
        if (State == "Welcome") {
            MainWindow()->HighlightSection("Studying");
            State = "ChooseCourse";
        }
        bool goOn = true;
        if (State == "ChooseCourse") {
            goOn = ChooseCourse();
        } else if (State == "CourseContents") {
            goOn = CourseContents();
        } else if (State == "ChooseCourseSettings") {
            State.clear();
        } else if (State == "Vantor") {
            // The meter's views are not part of this build: the course choice instead.
            user->SetText("NextView", "ChooseCourse");
            Previous = "Vantor";
            State = "ChooseCourse";
        } else if (State == "Review") {
            Previous = "Review";
            State = "Studying";
        } else if (State == "Studying") {
            goOn = Studying();
        } else if (State == "Completed") {
            goOn = Completed();
        } else {
            State = "Studying";
        }
        if (!goOn) break;
    }
    return ResultCode;
}

bool TGuidedStudying::ChooseCourse() {
    TUser& user = *CurrentUser();
    Previous = "ChooseCourse";
    user.SetText("NextView", "ChooseCourse");
    TCourseListView view;
    const auto result = view.ShowModalAs<CourseListAnswer>();
    user.keyProgression.clear();
    State = "CourseContents";
    if (result == CourseListAnswer::kMeter) {
        ResultCode = SectionResult::kMeter;
        return false;
    }
    if (result == CourseListAnswer::kClosed) {
        ResultCode = SectionResult::kStay;
        return false;
    }
    return true;
}

std::optional<WrongKeyboardAnswer> TGuidedStudying::CheckLayout() {
    TUser* user = CurrentUser();
    TKeyDataExt* layout = CurrentLayout();
    if (!user || !layout || layout->layoutCode == "456+") return std::nullopt;
    std::string needed;
    for (const std::string& keys : user->keyProgression) needed += keys;
    std::string missing;
    for (char c : layout->CannotProduce(needed))
        if (c != ' ' && missing.find(c) == std::string::npos) missing += c;
    if (missing.empty()) return std::nullopt;
    TWrongKeyboardView view(missing);
    return view.ShowModalAs<WrongKeyboardAnswer>();
}

bool TGuidedStudying::CourseContents() {
    TUser& user = *CurrentUser();
    auto course = TContents::ForStudy(CourseFile(), TBookMark::kNormal, -1);
    if (course->Status() != 0) {
        ui::Message(
            "The previous course is no more available. \r\nPlease choose another course from a "
            "list.",
            Str(1), ui::Icon::kWarning, ui::Buttons::kOk, {1});
        user.SetText("ContentsFile", "");
        State = "ChooseCourse";
        return true;
    }
    const std::optional<WrongKeyboardAnswer> check = CheckLayout();
    if (check == WrongKeyboardAnswer::kSwitchLayout) {
        ui::MessageRequest ask;
        ask.text =
            "Do you want to switch your Windows keyboard setting to US International layout? \r"
            "In future to type ' and \" you need to press space after the key.\r"
            "Please change your layout back to US English from Settings page when returning to the "
            "English "
            "courses.\r\rInternational Layout is installed by choosing yes.";
        ask.caption = Str(196);
        ask.icon = ui::Icon::kQuestion;
        ask.buttons = ui::Buttons::kYesNo;
        ask.stringIds = {196};
        if (ui::Message(ask) == ui::kAnswerYes) {
            TProgramSettings* ps = ProgramSettings();
            auto layout = std::make_unique<TKeyDataExt>();
            if (layout->Load(fs::ResolveCase((ps ? ps->keyboardsFolder : std::string()) +
                                             "usint2.kbd")) >= 0) {
                SetCurrentLayout(std::move(layout));
                if (!CorvSettings::PolicyBool("DisableWindowsLayouts"))
                    CurrentLayout()->ActivateSystemLayout(false);
                user.SetText("KeyboardLayout", "English US International");
                user.SetBool("KeyboardAutoDetect", false);
            }
        }
    } else if (check == WrongKeyboardAnswer::kAccepted || check == WrongKeyboardAnswer::kSettings) {
        ResultCode = SectionResult::kSettings;
        return false;
    } else if (check == WrongKeyboardAnswer::kChangeCourse) {
        if (user.GetInteger("NextStep") == 1) user.SetInteger("NextStep", 3);
        user.SetText("NextView", "ChooseCourse");
        ResultCode = SectionResult::kChooseCourse;
        return false;
    } else if (check == WrongKeyboardAnswer::kClosed) {
        ResultCode = SectionResult::kStay;
        return false;
    }
    user.SetText("NextView", "CourseContents");
    TCourseContentsView view(course.get());
    const auto result = view.ShowModalAs<CourseContentsAnswer>();
    State = "Studying";
    if (Previous.empty()) Previous = "ChooseCourse";
    switch (result) {
        case CourseContentsAnswer::kClosed:
            Previous = "CourseContents";
            ResultCode = SectionResult::kStay;
            return false;
        case CourseContentsAnswer::kBack:
            State = Previous;
            break;
        case CourseContentsAnswer::kShowAgain:
            State = "ChooseCourseSettings";
            break;
        case CourseContentsAnswer::kChangeCourse:
            State = "ChooseCourse";
            break;
        default:
            break;
    }
    Previous = "CourseContents";
    return true;
}

bool TGuidedStudying::Studying() {
    TUser& user = *CurrentUser();
    user.SetText("NextView", "Studying");
    MainWindow()->HighlightSection("Studying");
    Previous = "Studying";
    user.keyProgression.clear();
    user.keyLevel = 1;
    auto course = TContents::ForStudy(CourseFile(), TBookMark::kNormal, -1);
    if (course->Status() != 0) {
        course.reset();
        ui::Message(
            "The previous course is no more available. \r\nPlease choose another course from a "
            "list.",
            Str(1), ui::Icon::kWarning, ui::Buttons::kOk, {1});
        user.SetText("ContentsFile", "");
        State = "ChooseCourse";
        return true;
    }
    const std::string filter = user.KeysUpToLevel(user.keyLevel);
    ActiveDifficultKeys().SetFilter(filter);
    user.SetText(course->CourseId + ".LimitedChars", filter);
    if (RepeatLastLesson) {
        course->Bookmark.Chapter = std::max(1, course->Bookmark.Chapter - 1);
        course->Bookmark.Exercise = 1;
        course->Bookmark.Event = 1;
        RepeatLastLesson = false;
    }
    bool pastEnd = false;
    const auto code = static_cast<StudyAnswer>(course->Study(pastEnd));
    course.reset();
    user.SaveUser();
    State.clear();
    switch (code) {
        case StudyAnswer::kCourseContents:
            State = "CourseContents";
            break;
        case StudyAnswer::kReview:
            State = "Review";
            break;
        case StudyAnswer::kStatistics:
            ResultCode = SectionResult::kStatistics;
            break;
        case StudyAnswer::kChangeCourse:
            State = "ChooseCourse";
            break;
        case StudyAnswer::kGoOn:
            // The last lesson is behind the user: the course-completed page, also next time.
            if (pastEnd) {
                user.SetText("NextView", "Completed");
                State = "Completed";
            }
            break;
        default:
            break;
    }
    return true;
}

bool TGuidedStudying::Completed() {
    TUser& user = *CurrentUser();
    Previous = "Completed";
    auto course = TContents::ForStudy(CourseFile(), TBookMark::kNormal, -1);
    TGoodbyeView view(course.get());
    const auto result = view.ShowModalAs<GoodbyeAnswer>();
    State.clear();
    if (result == GoodbyeAnswer::kBack) {
        State = "Studying";
        RepeatLastLesson = true;
    } else if (result == GoodbyeAnswer::kNewCourse) {
        TBookMark& b = course->Bookmark;
        b.Chapter = 0;
        b.Exercise = 0;
        b.Event = 0;
        b.TimeStudied = 0;
        b.CompletedExercises = 0;
        State = "ChooseCourse";
    }
    course.reset();
    user.SaveUser();
    return true;
}

void RegisterStudyingSections() {
    RegisterEventClasses();
    InstallLessonViews();
    static TGuidedStudying studying;
    RegisterSection("Studying",
                    {601, [] { return studying.Run(StudyingStart::kContinue); }});  // Str(601)
    RegisterSection("Courses", {601, [] { return studying.Run(StudyingStart::kCourseChoice); }});
}

}  // namespace corv
