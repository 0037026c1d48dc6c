#pragma once
// The print preview: the pages of one report, page by page, at a chosen zoom; prints
// them through the system's print dialog and saves them as PDF or as a bitmap of the
// first page. Without a printer the pages are still shown and saved; the status bar says
// so once, calmly, and Print explains why it cannot print.
//
// The zoom and the page counter are decided by TPreviewZoom, which tests drive without
// a window.

#include <QDialog>
#include <QRect>
#include <QSize>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QScrollArea;
class QStatusBar;
class QToolButton;

namespace corv {

class TReportPages;

class TPreviewZoom {
  public:
    enum class Mode { kPageWidth, kWholePage, kPercent };
    Mode mode = Mode::kPageWidth;
    int percent = 100;

    // An entry of the zoom list or a typed value: the two fit texts, or a whole number
    // read up to its "%"; false (and nothing changes) for anything else.
    bool Choose(const std::string& text);
    // The page's rectangle in the client area, its left and top at 40 pixels.
    QRect PageRect(QSize client, QSize page, int windowPixelsPerInch,
                   int devicePixelsPerInch) const;
    // Localized 1092, the page number, " / " and the count.
    static std::string Counter(int index, int count);
};

class TPreviewForm : public QDialog {
    Q_OBJECT
  public:
    explicit TPreviewForm(TReportPages& pages, QWidget* parent = nullptr);
    ~TPreviewForm() override;

    // Shows the report modally (maximized) and returns when the user closes it.
    static void ShowModal(TReportPages& pages);

    // Where Save asks for the file name; by default the save dialog. An empty answer
    // cancels. Null brings the dialog back.
    using FileChooser = std::function<std::string()>;
    static void SetFileChooser(FileChooser chooser);

    void ShowPage(int index);
    int CurrentPage() const { return current_; }
    // The toolbar's actions, as the buttons run them.
    void NextPageBtn1Click();
    void PrevPageBtn1Click();
    void PrintBtn1Click();
    void SpeedButtonClick();  // save as PDF or bitmap
    void ScaleCombo1Change();
    std::string StatusText() const;
    std::string NoticeText() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Fit();
    void Notice(const std::string& text);

    TReportPages& pages_;
    TPreviewZoom zoom_;
    int current_ = 0;
    bool ready_ = false;
    bool printerNoticeGiven_ = false;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* Panel1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* notice_ = nullptr;
    QLabel* counter_ = nullptr;
    QToolButton* PrevPageBtn = nullptr;
    QToolButton* NextPageBtn = nullptr;
    QToolButton* PrintBtn = nullptr;
    QToolButton* PDFButton = nullptr;
    QToolButton* CloseBtn = nullptr;
    QComboBox* ScaleCombo = nullptr;
};

}  // namespace corv
