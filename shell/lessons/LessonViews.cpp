#include "shell/lessons/LessonViews.h"

#include <memory>

#include "course/CourseServices.h"
#include "shell/lessons/ChpContentsView.h"
#include "shell/lessons/LessonDone.h"
#include "shell/lessons/ReviewContentsView.h"

namespace corv {

void InstallLessonViews() {
    Hooks().lessonPage = [](LessonPageRequest& request) {
        std::unique_ptr<TCustomContentsView> view;
        if (request.review) {
            auto review = std::make_unique<TReviewContentsView>();
            review->OverallBefore = request.before[0];
            review->KeysBefore = request.before[1];
            review->CapitalsBefore = request.before[2];
            review->WordsBefore = request.before[3];
            review->OverallNow = request.now[0];
            review->KeysNow = request.now[1];
            review->CapitalsNow = request.now[2];
            review->WordsNow = request.now[3];
            if (request.headingString) review->HeadingString = request.headingString;
            if (request.textString) review->TextString = request.textString;
            view = std::move(review);
        } else {
            auto page = std::make_unique<TChpContentsView>();
            page->NextLessonAllowed = request.nextAllowed;
            page->PreviousLessonAllowed = request.previousAllowed;
            view = std::move(page);
        }
        view->Lesson = request.chapter;
        view->Bookmark = request.bookmark;
        view->SelectedExercise = request.selected;
        view->LessonCaption = request.caption;
        const auto answer = view->ShowModalAs<LessonPageAnswer>();
        request.selected = view->SelectedExercise;
        return answer;
    };
    Hooks().lessonDone = [](const LessonDoneRequest& request) {
        TLessonDone view;
        view.LastLesson = request.lastLesson;
        view.NextLessonTitle = request.nextLessonTitle;
        view.Bookmark = request.bookmark;
        return view.ShowModalAs<LessonDoneAnswer>();
    };
}

}  // namespace corv
