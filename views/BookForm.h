#pragma once
// The tutor's one main window: an 800 x 600 "book" where the views appear, the section
// menu on the book's left, the title line, the shared bottom buttons and the Exit buttons.
// Views borrow their controls from hidden storage forms onto the book and give them back
// when they close.

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

class QAbstractButton;
class QLabel;
class QPushButton;

namespace corv {

class TFormView;
class TCustomBookView;
class TMenuButton;
class TTabMarker;

class TBookFormEx : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kBookWidth = 800;
    static constexpr int kBookHeight = 600;
    static constexpr int kMinClientWidth = 960;
    static constexpr int kMinClientHeight = 650;
    static constexpr int kMenuWidth = 175;
    static constexpr int kMenuButtonHeight = 39;
    static constexpr int kFirstMenuButtonTop = 50;
    static constexpr int kMenuGap = 15;
    static constexpr int kBorrowShift = 6;
    static constexpr int kTitleLimitOfLessons = 420;

    // FormCreate: builds the book, the menu and the shared buttons; becomes MainWindow().
    TBookFormEx();
    // FormDestroy: gives every borrowed control back.
    ~TBookFormEx() override;

    QWidget* Book() const { return book_; }
    QWidget* MenuPanel() const { return menu_; }
    QPushButton* NextBtn() const { return nextBtn_; }
    QPushButton* OKBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }
    QPushButton* CloseBtn() const { return closeBtn_; }
    QPushButton* CloseBtn2() const { return closeBtn2_; }
    QLabel* TitleLbl() const { return title_; }

    // Main window captions of the current language (title, Exit, Cancel, Next).
    void ApplyCaptions();

    // --- Title line ---
    // 20 pt, or 14 pt when widthLimit > 0 and the title is wider than it.
    void SetTitle(const std::string& title, int widthLimit = 0);
    std::string Title() const;
    bool TitleShadingVisible() const;
    int TitlePointSize() const { return titlePoints_; }

    // --- Section menu ---
    // A button of that name only changes its caption; otherwise one is appended.
    void AddMenuButton(const std::string& name, const std::string& caption);
    // Buttons added after the gap sit lower and are not bold.
    void AddMenuGap();
    // The named button becomes the current tab (disabled); all others are enabled.
    void HighlightSection(const std::string& name);
    QAbstractButton* MenuButton(const std::string& name) const;
    std::vector<QAbstractButton*> MenuButtons() const;
    int TabMarkerTop() const;
    void SetMenuVisible(bool visible);
    bool MenuVisible() const;
    // Picture at the bottom of the menu; false (and no picture) when it cannot be loaded.
    bool SetMenuPicture(const std::string& file, const std::string& linkText);
    const std::string& MenuLinkText() const { return menuLink_; }
    // The administrator's logo at the top of the menu instead of the product's.
    bool SetMenuLogo(const std::string& file);

    // --- Buttons and book look ---
    // Bit 0 NextBtn, bit 1 CancelBtn, bit 2 OKBtn.
    void SetBottomButtons(int bits);
    void SetExitButtonsVisible(bool visible);
    void SetLogoVisible(bool visible);
    bool LogoVisible() const;
    // The decorative book (ruled paper, title band) or a plain page.
    void SetDecorative(bool decorative);
    bool Decorative() const { return decorative_; }
    // Reduced graphics: no shading pictures, no hover pictures.
    void SetLowColour(bool lowColour);
    bool LowColour() const { return lowColour_; }
    void RepaintBook();

    // --- Borrowed controls ---
    // Moves a control onto the book, 6 pixels right and down, for the current view.
    void BorrowControl(QWidget* control);
    // Borrows each child of the panel until it is empty.
    void BorrowChildren(QWidget* panel);
    // Gives the owner's controls back: former parent, order among its siblings, position
    // and visibility.
    void GiveBack(const TFormView* owner);
    void GiveBackAll();
    // A storage form going away: its borrowed controls are given back first.
    void ForgetStorage(QWidget* storage);
    int BorrowedCount() const { return static_cast<int>(borrowed_.size()); }
    // While a view runs inside another, the outer view's controls are hidden.
    void SuspendOwner(const TFormView* owner);
    void ResumeOwner(const TFormView* owner);

    // --- Transitions ---
    // Copies the book into the snapshot (only while FreezeTransitions).
    void Freeze();
    // Puts the snapshot in front of the book (only while FreezeTransitions).
    void ShowSnapshot();
    // Always: the live book again, then pending events are handled.
    void ShowBook();
    bool SnapshotShown() const;
    bool FreezeTransitions = false;

    // --- Routing to the views ---
    void RouteButtons(TCustomBookView* view) { buttonTarget_ = view; }
    void RouteKeys(TCustomBookView* view) { keyTarget_ = view; }
    void HookFormKeyPress(TFormView* view) { formKeyTarget_ = view; }
    TCustomBookView* ButtonTarget() const { return buttonTarget_; }
    TCustomBookView* KeyTarget() const { return keyTarget_; }
    TFormView* FormKeyTarget() const { return formKeyTarget_; }
    // A view going away must not be called any more.
    void ForgetView(const TFormView* view);
    // The widget a typed key goes to first: the focused control or the window itself.
    QWidget* KeyReceiver();

    // --- Geometry ---
    // The client size the window takes: at least 650 high; narrower than 960 becomes
    // 970 wide (screens narrower than 1295) or 1110.
    static QSize AdjustedClientSize(QSize client, int screenWidth);
    // The book centred in the client area (1 pixel further at exactly the minimum size).
    static QPoint BookOrigin(QSize client);

  public:
    // Handlers of the window's own controls.
    void MenuButtonClick(const std::string& name);
    void ExitClick();
    void MenuBackPicClick();
    void DomainPicClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    struct Borrowed {
        QPointer<QWidget> control;
        QPointer<QWidget> parent;
        QPoint pos;
        bool hidden = false;
        const TFormView* owner = nullptr;
        bool suspended = false;
        bool hiddenBeforeSuspend = false;
    };
    struct SiblingOrder {
        QPointer<QWidget> parent;
        std::vector<QPointer<QWidget>> order;
    };

    void LayoutMenu();
    void PlaceBook();
    void RaiseChrome();
    bool HandleKey(QObject* receiver, class QKeyEvent* event);
    void RestoreOrder(QWidget* parent);

    QWidget* book_ = nullptr;
    QLabel* snapshot_ = nullptr;
    QWidget* menu_ = nullptr;
    TTabMarker* tabMarker_ = nullptr;
    QLabel* menuLogo_ = nullptr;
    QLabel* menuPic_ = nullptr;
    QLabel* title_ = nullptr;
    QWidget* titleShading_ = nullptr;
    QLabel* logo_ = nullptr;
    QPushButton* nextBtn_ = nullptr;
    QPushButton* okBtn_ = nullptr;
    QPushButton* cancelBtn_ = nullptr;
    QPushButton* closeBtn_ = nullptr;
    QPushButton* closeBtn2_ = nullptr;
    std::vector<TMenuButton*> menuButtons_;
    bool gapAdded_ = false;
    std::string menuLink_;
    int titleLimit_ = 0;
    int titlePoints_ = 20;
    bool decorative_ = true;
    bool lowColour_ = false;
    bool adjusting_ = false;

    std::vector<Borrowed> borrowed_;
    std::vector<SiblingOrder> orders_;

    TCustomBookView* buttonTarget_ = nullptr;
    TCustomBookView* keyTarget_ = nullptr;
    TFormView* formKeyTarget_ = nullptr;
};

// The process's main window, or null before it exists.
TBookFormEx* MainWindow();

}  // namespace corv
