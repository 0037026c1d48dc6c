#pragma once
// The lesson pages: the exercise list of a lesson with its done marks, the way to the
// neighbouring lessons and the course progress (or, in review mode, the difficulty figures
// before and during the review), and the lesson-completed page with the keys learnt so far.
//
// Answers of the lesson pages: 1 run the selected exercise, 2 end the lesson, 3 previous
// lesson, 4 next lesson, 5 course contents, 8 change course, 15 lesson completed,
// 17 another lesson (the bookmark points there), 0 closed from outside.
// Answers of the lesson-completed page: 1 next lesson, 2 stay, 0 closed from outside.

#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "views/FormView.h"
#include "views/StorageForm.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace corv {

class TBookMark;
class TChapter;
class TKeyDataExt;

// The exercises of a lesson, one row each: a picture (new or done), the number, the name
// as a link and the duration.
class TExerciseList : public QWidget {
  public:
    enum Picture {
        kNew,
        kNewSel,
        kDone,
        kDoneSel,
        kNext,
        kNextSel,
        kLocked,
        kLockedSel,
        kPictures
    };

    explicit TExerciseList(QWidget* parent = nullptr);

    TChapter* Lesson = nullptr;
    int NumberX = 0;
    int NameX = 0;
    int DurationX = 0;
    int RowHeight = 24;
    int MaxRows = 10;
    std::vector<std::string> Numbers;
    std::vector<std::string> Names;
    std::vector<std::string> Durations;
    std::vector<std::string> DoneMarks;  // "T" done, empty not done
    std::array<QPixmap, kPictures> Pictures;
    QColor LinkColour;

    // Fills the rows from the lesson's exercises (at most MaxRows); all start not done.
    void SetLesson(TChapter* lesson);
    void SetColumns(int numberX, int nameX, int durationX);
    void SetRowHeight(int height);
    void SetMaxRows(int rows);
    // Clamped to 1 .. row count (0 without rows).
    void SelectRow(int row);
    int SelectedRow() const { return selected_; }
    int RowCount() const { return rowCount_; }
    void MarkDone(int row, bool done);
    bool IsDone(int row) const;
    // The duration text of an exercise row.
    static std::string DurationText(int minutes, bool withOffset, int offset);

    // A click on a row: selected, then the view answers 1.
    std::function<void()> OnRowClick;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void Resize();
    int rowCount_ = 0;
    int selected_ = 0;
    bool pressed_ = false;
};

// The keyboard of the current layout with some keys lit.
class TKeyboardPicture : public QWidget {
  public:
    explicit TKeyboardPicture(QWidget* parent = nullptr);
    // The keys that type these characters are lit.
    void MarkKeys(TKeyDataExt* layout, const std::string& keys);
    int LitCount() const { return static_cast<int>(lit_.size()); }
    QColor Background;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TKeyDataExt* layout_ = nullptr;
    std::vector<const void*> lit_;
};

class TLessonViewStg : public TStorageForm {
  public:
    TLessonViewStg();

    // Lesson page.
    QWidget* LessonPanel;
    QLabel* PositionLbl;
    QLabel* LessonNameLbl;
    QLabel* ExtraDescLbl;
    QLabel* LessonPic;
    QPushButton* ChangeCourseBtn;
    QPushButton* NextLessonBtn;
    QPushButton* PrevLessonBtn;
    QPushButton* CompletedBtn;
    QLabel* lessonregimage;
    QWidget* ShadingLeftPic;
    QWidget* ShadingRightPic;
    QFrame* NaviPanel;
    QLabel* NaviLbl;
    std::vector<QPushButton*> LessonNavi;  // LessonNavi1 .. LessonNavi18
    QStackedWidget* InfoPanel;
    // Page 0: the course progress.
    QLabel* Courselbl;
    QProgressBar* CourseProgressBar;
    QLabel* CoursePercentLbl;
    QLabel* CourseDoneLbl;
    QLabel* CourseDone;
    QLabel* CourseLeftLbl;
    QLabel* CourseLeft;
    QPushButton* ContentsBtn;
    QPushButton* DurationBtn;
    // Page 1: the review figures.
    QLabel* traininglbl;
    QLabel* beforelbl;
    QLabel* nowlbl;
    QLabel* Label8;
    QLabel* Label12;
    QLabel* Label15;
    QProgressBar* KeyIndexGraph;
    QProgressBar* KeyIndexGraph2;
    QProgressBar* CapitalIndexGraph;
    QProgressBar* CapitalIndexGraph2;
    QProgressBar* WordIndexGraph;
    QProgressBar* WordIndexGraph2;
    // The exercise list's pictures.
    QLabel* NewPic;
    QLabel* NewSelPic;
    QLabel* DonePic;
    QLabel* DoneSelPic;
    QLabel* NextPic;
    QLabel* NextSelPic;
    QLabel* LockedPic;
    QLabel* LockedSelPic;

    // Lesson completed.
    QWidget* LessonDonePanel;
    QLabel* MessageTitleLbl;
    QLabel* MessageText;
    QLabel* NextLes;
    QLabel* NextLessonNameLbl;
    QPushButton* StartBtn;
    QPushButton* CancelBtn;
};

class TCustomContentsView : public TCustomBookView {
  public:
    TCustomContentsView();
    ~TCustomContentsView() override;

    TChapter* Lesson = nullptr;
    int SelectedExercise = 1;
    std::string SavedNextCaption;
    TBookMark* Bookmark = nullptr;
    TExerciseList* List = nullptr;  // on the storage form
    bool ShowCancelValue = false;
    std::string LessonCaption;

    void Setup() override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;

    TLessonViewStg* Storage() const { return stg_.get(); }

  protected:
    void NavigationClick(QPushButton* button);
    std::unique_ptr<TLessonViewStg> stg_;
};

class TChpContentsView : public TCustomContentsView {
  public:
    bool NextLessonAllowed = true;
    bool PreviousLessonAllowed = true;

    void Setup() override;
    void ButtonClick(QObject* sender) override;
};

class TReviewContentsView : public TCustomContentsView {
  public:
    TReviewContentsView();
    // Overall, key, capital-letter and word figures, before the review and now.
    int OverallBefore = 0, OverallNow = 0;
    int KeysBefore = 0, KeysNow = 0;
    int CapitalsBefore = 0, CapitalsNow = 0;
    int WordsBefore = 0, WordsNow = 0;
    int HeadingString = 567;
    int TextString = 328;

    void Setup() override;
};

class TLessonDone : public TCustomBookView {
  public:
    TLessonDone();
    ~TLessonDone() override;

    TKeyboardPicture* Keyboard = nullptr;  // on the storage form
    bool LastLesson = false;
    std::string NextLessonTitle;
    TBookMark* Bookmark = nullptr;

    void Setup() override;
    void Teardown() override;

    TLessonViewStg* Storage() const { return stg_.get(); }

  private:
    std::unique_ptr<TLessonViewStg> stg_;
};

// Makes the course model show these views for its lessons.
void InstallLessonViews();

}  // namespace corv
