#include "shell/lessons/CustomContentsView.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVariant>
#include <cstdlib>

#include "core/Cp1252.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "course/Chapter.h"
#include "course/Contents.h"
#include "course/CourseServices.h"
#include "data/Results.h"
#include "data/User.h"
#include "platform/qt/QtText.h"
#include "shell/lessons/ExerciseList.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

TCustomContentsView::TCustomContentsView() = default;

TCustomContentsView::~TCustomContentsView() {
    CloseBeforeDestroy();
}

void TCustomContentsView::Setup() {
    TCustomBookView::Setup();
    TBookFormEx* window = MainWindow();
    stg_ = std::make_unique<TLessonViewStg>();
    TLessonViewStg& s = *stg_;
    SavedNextCaption = FromQt(window->NextBtn()->text());
    window->NextBtn()->setText(ToQt(Str(413)));
    SetShowCancel(ShowCancelValue);
    s.InfoPanel->setCurrentIndex(0);
    s.CompletedBtn->move(s.CompletedBtn->x(), s.NextLessonBtn->y());
    QObject::connect(s.CompletedBtn, &QPushButton::clicked,
                     [this, b = s.CompletedBtn] { ButtonClick(b); });

    // Static captions.
    s.ChangeCourseBtn->setText(ToQt(Str(1793)));
    s.CompletedBtn->setText(ToQt(Str(1801)));
    s.Courselbl->setText(ToQt(Str(1798)));
    s.ContentsBtn->setText(ToQt(Str(1799)));
    s.DurationBtn->setText(ToQt(Str(1800)));
    s.CourseDoneLbl->setText(ToQt(Str(1804)));
    s.CourseLeftLbl->setText(ToQt(Str(1805)));
    s.traininglbl->setText(ToQt(Str(1412)));
    s.beforelbl->setText(ToQt(Str(1418)));
    s.nowlbl->setText(ToQt(Str(1419)));
    s.Label8->setText(ToQt(Str(1414)));
    s.Label12->setText(ToQt(Str(1415)));
    s.Label15->setText(ToQt(Str(1416)));

    s.PositionLbl->setText(ToQt(Bookmark ? Bookmark->PositionText : std::string()));
    s.LessonNameLbl->setText(ToQt(Bookmark ? Bookmark->PositionText : std::string()));
    s.LessonDonePanel->hide();
    window->BorrowChildren(s.LessonPanel);

    // The exercise list.
    List = new TExerciseList(s.LessonPanel);
    List->setObjectName(QStringLiteral("ExerciseList"));
    for (int i = 0; i < TExerciseList::kPictures; ++i) {
        QLabel* pictures[] = {s.NewPic,  s.NewSelPic,  s.DonePic,   s.DoneSelPic,
                              s.NextPic, s.NextSelPic, s.LockedPic, s.LockedSelPic};
        List->Pictures[static_cast<size_t>(i)] = pictures[i]->pixmap();
    }
    QPalette palette = List->palette();
    palette.setColor(QPalette::Window, art::ExerciseListPaper());
    List->setPalette(palette);
    List->LinkColour = art::ExerciseLink();
    List->setGeometry(PlaceOnBook(TLessonViewStg::kListLeft, 138, 350, 0));
    List->SetColumns(35, 75, 270);
    List->SetRowHeight(TLessonViewStg::kPictureSize + 2);
    List->SetMaxRows(12);
    List->SetLesson(Lesson);
    List->SelectRow(SelectedExercise);
    TUser* user = CurrentUser();
    if (user && Bookmark && Lesson)
        for (int r = 1; r <= List->RowCount(); ++r)
            List->MarkDone(
                r, user->Results().IsExerciseDone(Bookmark->CourseId, Bookmark->Chapter, r));
    List->setCursor(Qt::PointingHandCursor);
    List->OnRowClick = [] {
        if (TBookFormEx* w = MainWindow()) w->NextBtn()->click();
    };
    window->BorrowControl(List);

    // The lesson navigation.
    std::vector<std::string> titles;
    int lessons = 0;
    if (Lesson && Lesson->Contents) {
        titles = Lesson->Contents->LessonTitles(false, true);
        lessons = Lesson->Contents->ChapterCount();
    }
    for (QPushButton* b : s.LessonNavi) {
        const std::string name = ToUpper(FromQt(b->objectName()));
        if (name.rfind("LESSONNAVI", 0) != 0) continue;
        const int n = std::atoi(name.substr(10, 2).c_str());
        if (n >= 1 && n <= lessons) {
            b->setToolTip(ToQt(titles[static_cast<size_t>(n - 1)]));
            b->setProperty("tag", n - 1);
            QObject::connect(b, &QPushButton::clicked, [this, b] { NavigationClick(b); });
            const bool current = Bookmark && n == Bookmark->Chapter;
            b->setEnabled(!current);
            b->show();
        } else {
            b->hide();
        }
    }
}

void TCustomContentsView::NavigationClick(QPushButton* button) {
    const int tag = button->property("tag").toInt();
    if (!Bookmark) return;
    TDynamicSettings* policy = CorvSettings::Policy();
    const bool locked =
        policy && policy->GetBool(Bookmark->CourseId + ".chapter_lock") && !BypassesChapterLock();
    if (locked && tag > Bookmark->Chapter - 1) return;
    Bookmark->Chapter = tag + 1;
    Bookmark->Exercise = 1;
    if (List) List->SelectRow(1);
    SetModalResult(LessonPageAnswer::kOtherLesson);
}

void TCustomContentsView::Teardown() {
    TCustomBookView::Teardown();
    if (TBookFormEx* window = MainWindow()) window->NextBtn()->setText(ToQt(SavedNextCaption));
    if (List) SelectedExercise = List->SelectedRow();
    List = nullptr;
    stg_.reset();
}

void TCustomContentsView::ButtonClick(QObject* sender) {
    TCustomBookView::ButtonClick(sender);
    if (sender && sender->objectName() == QLatin1String("CompletedBtn"))
        SetModalResult(LessonPageAnswer::kLessonCompleted);
}

void TCustomContentsView::KeyDown(int& key, Qt::KeyboardModifiers shift) {
    if (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) return;
    if (!List) return;
    switch (key) {
        case Qt::Key_Up:
            List->SelectRow(List->SelectedRow() - 1);
            break;
        case Qt::Key_Down:
            List->SelectRow(List->SelectedRow() + 1);
            break;
        case Qt::Key_Home:
        case Qt::Key_PageUp:
            List->SelectRow(1);
            break;
        case Qt::Key_End:
        case Qt::Key_PageDown:
            List->SelectRow(List->RowCount());
            break;
        default:
            return;
    }
    key = 0;
}

}  // namespace corv
