#pragma once
// The exercise list of a lesson page: one row per exercise with a picture (new or done),
// the number, the name as a link and the duration; a click on a row starts it.

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace corv {

class TChapter;

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
    // The list's own drawing of a row picture, until the view gives the storage form's.
    static QPixmap DefaultPicture(Picture kind);
    static constexpr int kPictureSize = 24;

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

}  // namespace corv
