#include "shell/lessons/ChpContentsView.h"

#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "course/Chapter.h"
#include "course/Contents.h"
#include "course/CourseServices.h"
#include "course/Exercise.h"
#include "data/ProgramSettings.h"
#include "data/Results.h"
#include "data/User.h"
#include "engine/analysis/Round.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

std::string LessonsPath(const std::string& name) {
    TProgramSettings* ps = ProgramSettings();
    return fs::ResolveCase(
        fs::NormalizeSeparators((ps ? ps->lessonsFolder : std::string()) + name));
}

}  // namespace

void TChpContentsView::Setup() {
    TCustomContentsView::Setup();
    TBookFormEx* window = MainWindow();
    TLessonViewStg& s = *stg_;
    SetButtonSet(0);
    if (window->LowColour()) {
        s.ShadingLeftPic->hide();
        s.ShadingRightPic->hide();
    }

    // The course progress.
    TContents* contents = Lesson ? Lesson->Contents : nullptr;
    TUser* user = CurrentUser();
    if (contents && Bookmark) {
        int all = 0, done = 0, leftMinutes = 0;
        for (const auto& chapter : contents->Chapters)
            for (const auto& e : chapter->Exercises) {
                ++all;
                const bool isDone = (user && user->Results().IsExerciseDone(
                                                 contents->CourseId, chapter->Number, e->Number)) ||
                                    chapter->Number < Bookmark->Chapter;
                if (isDone) {
                    ++done;
                } else if (chapter->Number >= Bookmark->Chapter) {
                    leftMinutes += e->TotalMinutes;
                    if (e->StaticDurations && e->NoOffset)
                        leftMinutes += contents->DynamicDurationMargin;
                }
            }
        const int percent = all > 0 ? done * 100 / all : 0;
        s.CourseProgressBar->setValue(percent);
        s.CoursePercentLbl->setText(QStringLiteral("%1 %").arg(percent));
        const int studied = static_cast<int>(analysis::RoundEven(Bookmark->TimeStudied / 60.0));
        s.CourseDone->setText(ToQt(ClockText(studied, " h")));
        s.CourseLeft->setText(ToQt(ClockText(leftMinutes, " h")));
        const bool timed = Bookmark->Duration != 0;
        for (QWidget* w :
             {static_cast<QWidget*>(s.CourseDone), static_cast<QWidget*>(s.CourseLeft),
              static_cast<QWidget*>(s.CourseDoneLbl), static_cast<QWidget*>(s.CourseLeftLbl)})
            w->setVisible(timed);
    }

    const int number = Lesson ? Lesson->Number : 0;
    s.PrevLessonBtn->setVisible(PreviousLessonAllowed);
    s.PrevLessonBtn->setText(ToQt("\xAB " + Str(396) + std::to_string(number - 1)));
    s.NextLessonBtn->setVisible(NextLessonAllowed);
    s.NextLessonBtn->setText(ToQt(Str(396) + std::to_string(number + 1) + " \xBB"));
    s.CompletedBtn->setVisible(!NextLessonAllowed);

    TDynamicSettings* policy = CorvSettings::Policy();
    const std::string regImage = policy ? policy->GetText("LessonRegImage") : std::string();
    QPixmap lessonPicture;
    if (!regImage.empty() && lessonPicture.load(ToQt(LessonsPath(regImage)))) {
        s.lessonregimage->setPixmap(lessonPicture);
        s.lessonregimage->show();
        s.LessonPic->hide();
    } else if (Lesson && !Lesson->Picture.empty() &&
               lessonPicture.load(ToQt(LessonsPath(Lesson->Picture)))) {
        s.LessonPic->setPixmap(lessonPicture.scaled(TLessonViewStg::kSideWidth, 160,
                                                    Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    if (Lesson) s.ExtraDescLbl->setText(ToQt(Lesson->ExtraDescription));

    for (QPushButton* b :
         {s.NextLessonBtn, s.PrevLessonBtn, s.DurationBtn, s.ContentsBtn, s.ChangeCourseBtn})
        QObject::connect(b, &QPushButton::clicked, [this, b] { ButtonClick(b); });

    const QString name =
        ToQt(Str(396) + std::to_string(number) + ": " + (Lesson ? Lesson->Title : ""));
    // A long lesson name takes a smaller font rather than running under the picture.
    if (QFontMetrics(s.LessonNameLbl->font()).horizontalAdvance(name) > s.LessonNameLbl->width())
        s.LessonNameLbl->setFont(art::UiFont(12, true));
    s.LessonNameLbl->setText(name);
    s.LessonNameLbl->setToolTip(name);
    window->SetTitle(contents ? contents->Description : std::string(),
                     TBookFormEx::kTitleLimitOfLessons);
}

void TChpContentsView::ButtonClick(QObject* sender) {
    TCustomContentsView::ButtonClick(sender);
    if (!sender) return;
    const QString name = sender->objectName();
    if (name == QLatin1String("NextLessonBtn"))
        SetModalResult(LessonPageAnswer::kNextLesson);
    else if (name == QLatin1String("PrevLessonBtn"))
        SetModalResult(LessonPageAnswer::kPreviousLesson);
    else if (name == QLatin1String("DurationBtn") || name == QLatin1String("ContentsBtn"))
        SetModalResult(LessonPageAnswer::kCourseContents);
    else if (name == QLatin1String("ChangeCourseBtn"))
        SetModalResult(LessonPageAnswer::kChangeCourse);
}

}  // namespace corv
