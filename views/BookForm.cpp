#include "views/BookForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Utility.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/FormView.h"

namespace corv {

namespace {

TBookFormEx*& Instance() {
    static TBookFormEx* window = nullptr;
    return window;
}

// The book paints itself; the views' controls lie on it.
class TBookPanel : public QWidget {
  public:
    TBookPanel(TBookFormEx* owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        art::PaintBook(p, rect(), owner_->Decorative(), owner_->LowColour());
    }

  private:
    TBookFormEx* owner_;
};

class TMenuPanel : public QWidget {
  public:
    TMenuPanel(TBookFormEx* owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        art::PaintMenuPanel(p, rect(), owner_->LowColour());
    }

  private:
    TBookFormEx* owner_;
};

// A label that reports clicks (menu picture, menu logo).
class TClickPic : public QLabel {
  public:
    TClickPic(std::function<void()> onClick, QWidget* parent)
        : QLabel(parent), onClick_(std::move(onClick)) {}

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (rect().contains(event->position().toPoint()) && onClick_) onClick_();
    }

  private:
    std::function<void()> onClick_;
};

QPixmap LoadPicture(const std::string& file) {
    const std::string path = fs::ResolveCase(fs::NormalizeSeparators(file));
    QImageReader reader(ToQt(path));
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

}  // namespace

// A section button: flat, white text on the menu, underlined under the mouse; the current
// section's button is disabled and drawn on its tab.
class TMenuButton : public QAbstractButton {
  public:
    TMenuButton(TBookFormEx* owner, bool bold, QWidget* parent)
        : QAbstractButton(parent), owner_(owner) {
        setFixedSize(TBookFormEx::kMenuWidth, TBookFormEx::kMenuButtonHeight);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setFont(art::MenuFont(bold));
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, true);
        const bool current = !isEnabled();
        const bool hover = underMouse() && !current;
        if (hover && !owner_->LowColour()) {
            QLinearGradient g(QPointF(0, 0), QPointF(width(), 0));
            g.setColorAt(0.0, art::OnMenu(46));
            g.setColorAt(1.0, art::OnMenu(6));
            p.fillRect(rect().adjusted(0, 2, 0, -2), g);
        }
        // Glyph: a small ring, filled for the current section. Text margin 16, spacing 8.
        const int margin = 16, glyph = 8, spacing = 8;
        const QRectF ring(margin, height() / 2.0 - glyph / 2.0, glyph, glyph);
        if (current) {
            p.setPen(Qt::NoPen);
            p.setBrush(art::Accent());
        } else {
            p.setPen(QPen(art::OnMenu(hover ? 255 : 170), 1.6));
            p.setBrush(hover ? QBrush(art::Amber()) : Qt::NoBrush);
        }
        p.drawEllipse(ring);
        QFont f = font();
        f.setUnderline(hover);
        if (current) f.setBold(true);
        p.setFont(f);
        p.setPen(current ? art::AccentDark() : art::OnMenu());
        const QRect textRect(margin + glyph + spacing, 0, width() - margin - glyph - spacing - 4,
                             height());
        p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextHideMnemonic, text());
    }
    void enterEvent(QEnterEvent* event) override {
        QAbstractButton::enterEvent(event);
        update();
    }
    void leaveEvent(QEvent* event) override {
        QAbstractButton::leaveEvent(event);
        update();
    }

  private:
    TBookFormEx* owner_;
};

class TTabMarker : public QWidget {
  public:
    explicit TTabMarker(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        art::PaintTab(p, rect());
    }
};

TBookFormEx* MainWindow() {
    return Instance();
}

TBookFormEx::TBookFormEx() {
    setObjectName(QStringLiteral("BookFormEx"));
    setWindowTitle(QStringLiteral("Corvella"));
    setStyleSheet(art::StyleSheet());
    setFocusPolicy(Qt::StrongFocus);

    book_ = new TBookPanel(this, this);
    book_->setObjectName(QStringLiteral("Book"));
    book_->setFixedSize(kBookWidth, kBookHeight);

    snapshot_ = new QLabel(this);
    snapshot_->setObjectName(QStringLiteral("SnapshotPanel"));
    snapshot_->setFixedSize(kBookWidth, kBookHeight);
    snapshot_->hide();

    titleShading_ = new art::TShadePic(art::TShadePic::kTitle, book_);
    titleShading_->setObjectName(QStringLiteral("TitleShadingPic"));
    titleShading_->setGeometry(kMenuWidth, 0, kBookWidth - kMenuWidth, 58);
    titleShading_->hide();

    title_ = new QLabel(book_);
    title_->setObjectName(QStringLiteral("TitleLbl"));
    title_->setGeometry(kMenuWidth + 22, 8, kBookWidth - kMenuWidth - 130, 44);
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);
    title_->setStyleSheet(art::TitleStyle());
    title_->setFont(art::UiFont(20, true));

    logo_ = new QLabel(book_);
    logo_->setObjectName(QStringLiteral("LogoPic"));
    logo_->setPixmap(art::ProductMark(28, false));
    logo_->setAttribute(Qt::WA_TransparentForMouseEvents);
    logo_->adjustSize();
    logo_->move(kMenuWidth + 22, kBookHeight - 20 - logo_->height());
    logo_->hide();

    auto makeButton = [this](const char* name, art::ButtonRole role, QWidget* parent) {
        auto* b = new QPushButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        art::SetButtonRole(b, role);
        return b;
    };
    nextBtn_ = makeButton("NextBtn", art::ButtonRole::kPrimary, book_);
    okBtn_ = makeButton("OKBtn", art::ButtonRole::kPrimary, book_);
    cancelBtn_ = makeButton("CancelBtn", art::ButtonRole::kSecondary, book_);
    // Wide enough for the longest caption the views give them ("Start exercise").
    const int bw = 140, bh = 34, by = kBookHeight - 18 - bh;
    nextBtn_->setGeometry(kBookWidth - 22 - bw, by, bw, bh);
    okBtn_->setGeometry(kBookWidth - 22 - bw, by, bw, bh);
    cancelBtn_->setGeometry(kBookWidth - 22 - 2 * bw - 12, by, bw, bh);
    for (QPushButton* b : {nextBtn_, okBtn_, cancelBtn_}) {
        b->hide();
        connect(b, &QPushButton::clicked, this, [this, b] {
            if (buttonTarget_) buttonTarget_->ButtonClick(b);
        });
    }

    closeBtn2_ = makeButton("CloseBtn2", art::ButtonRole::kTitleExit, book_);
    closeBtn2_->setGeometry(kBookWidth - 88, 16, 72, 24);
    closeBtn2_->hide();
    connect(closeBtn2_, &QPushButton::clicked, this, [this] { ExitClick(); });

    menu_ = new TMenuPanel(this, book_);
    menu_->setObjectName(QStringLiteral("MenuPanel"));
    menu_->setGeometry(0, 0, kMenuWidth, kBookHeight);

    tabMarker_ = new TTabMarker(menu_);
    tabMarker_->setObjectName(QStringLiteral("TabMarker"));
    tabMarker_->hide();

    menuLogo_ = new TClickPic([this] { DomainPicClick(); }, menu_);
    menuLogo_->setObjectName(QStringLiteral("MenuLogoPic"));
    menuLogo_->setPixmap(art::ProductMark(30, true));
    menuLogo_->setGeometry(14, 10, kMenuWidth - 20, 32);

    menuPic_ = new TClickPic([this] { MenuBackPicClick(); }, menu_);
    menuPic_->setObjectName(QStringLiteral("MenuPic"));
    menuPic_->setAlignment(Qt::AlignCenter);
    menuPic_->hide();

    closeBtn_ = makeButton("CloseBtn", art::ButtonRole::kMenuExit, menu_);
    closeBtn_->setGeometry(12, kBookHeight - 50, kMenuWidth - 24, 34);
    closeBtn_->hide();
    connect(closeBtn_, &QPushButton::clicked, this, [this] { ExitClick(); });

    nextBtn_->setText(QStringLiteral("Next"));
    okBtn_->setText(QStringLiteral("OK"));
    cancelBtn_->setText(QStringLiteral("Cancel"));
    closeBtn_->setText(QStringLiteral("Exit"));
    closeBtn2_->setText(QStringLiteral("Exit"));

    const QScreen* s = screen();
    resize(AdjustedClientSize(QSize(0, 0), s ? s->geometry().width() : 1024));
    PlaceBook();
    qApp->installEventFilter(this);
    Instance() = this;
}

TBookFormEx::~TBookFormEx() {
    qApp->removeEventFilter(this);
    GiveBackAll();
    if (Instance() == this) Instance() = nullptr;
}

void TBookFormEx::ApplyCaptions() {
    setWindowTitle(ToQt(Str(1)));
    closeBtn_->setText(ToQt(Str(600)));
    closeBtn2_->setText(ToQt(Str(600)));
    cancelBtn_->setText(ToQt(Str(602)));
    nextBtn_->setText(ToQt(Str(603)));
    okBtn_->setText(QStringLiteral("OK"));
}

// --- Title ---

void TBookFormEx::SetTitle(const std::string& title, int widthLimit) {
    titleLimit_ = widthLimit;
    const QString text = ToQt(title);
    titlePoints_ = 20;
    if (widthLimit > 0 && QFontMetrics(art::UiFont(20, true)).horizontalAdvance(text) > widthLimit)
        titlePoints_ = 14;
    title_->setFont(art::UiFont(titlePoints_, true));
    title_->setText(text);
    if (!lowColour_) titleShading_->setVisible(!text.isEmpty());
}

std::string TBookFormEx::Title() const {
    return FromQt(title_->text());
}

bool TBookFormEx::TitleShadingVisible() const {
    return !titleShading_->isHidden();
}

// --- Menu ---

void TBookFormEx::AddMenuButton(const std::string& name, const std::string& caption) {
    if (QAbstractButton* existing = MenuButton(name)) {
        existing->setText(ToQt(caption));
        return;
    }
    auto* button = new TMenuButton(this, !gapAdded_, menu_);
    button->setObjectName(ToQt(name));
    button->setText(ToQt(caption));
    button->setProperty("afterGap", gapAdded_);
    connect(button, &QAbstractButton::clicked, this, [this, name] { MenuButtonClick(name); });
    menuButtons_.push_back(button);
    LayoutMenu();
    button->show();
}

void TBookFormEx::AddMenuGap() {
    gapAdded_ = true;
}

void TBookFormEx::LayoutMenu() {
    int top = kFirstMenuButtonTop;
    bool gapSeen = false;
    for (TMenuButton* b : menuButtons_) {
        if (b->property("afterGap").toBool() && !gapSeen) {
            top += kMenuGap;
            gapSeen = true;
        }
        b->move(0, top);
        top += kMenuButtonHeight + 1;
    }
}

void TBookFormEx::HighlightSection(const std::string& name) {
    const QString qname = ToQt(name);
    tabMarker_->hide();
    for (TMenuButton* b : menuButtons_) {
        const bool current = b->objectName().compare(qname, Qt::CaseInsensitive) == 0;
        b->setEnabled(!current);
        if (current) {
            tabMarker_->setGeometry(0, b->y() - 8, kMenuWidth, kMenuButtonHeight + 16);
            tabMarker_->show();
            tabMarker_->lower();
        }
        b->update();
    }
}

QAbstractButton* TBookFormEx::MenuButton(const std::string& name) const {
    const QString qname = ToQt(name);
    for (TMenuButton* b : menuButtons_)
        if (b->objectName().compare(qname, Qt::CaseInsensitive) == 0) return b;
    return nullptr;
}

std::vector<QAbstractButton*> TBookFormEx::MenuButtons() const {
    return {menuButtons_.begin(), menuButtons_.end()};
}

int TBookFormEx::TabMarkerTop() const {
    return tabMarker_->isHidden() ? -1 : tabMarker_->y();
}

void TBookFormEx::SetMenuVisible(bool visible) {
    menu_->setVisible(visible);
    if (visible) menu_->raise();
    // The product mark sits in the page's bottom left corner, beside the menu when shown.
    logo_->move((visible ? kMenuWidth : 0) + 22, logo_->y());
    // Without the menu the title line spans the whole page.
    const int left = visible ? kMenuWidth : 0;
    titleShading_->setGeometry(left, 0, kBookWidth - left, titleShading_->height());
    title_->setGeometry(left + 22, title_->y(), kBookWidth - left - 130, title_->height());
}

bool TBookFormEx::MenuVisible() const {
    return !menu_->isHidden();
}

bool TBookFormEx::SetMenuPicture(const std::string& file, const std::string& linkText) {
    menuLink_ = linkText;
    QPixmap pm = LoadPicture(file);
    if (pm.isNull()) {
        menuPic_->clear();
        menuPic_->hide();
        return false;
    }
    if (pm.width() > kMenuWidth - 8)
        pm = pm.scaledToWidth(kMenuWidth - 8, Qt::SmoothTransformation);
    menuPic_->setPixmap(pm);
    menuPic_->setGeometry(4, closeBtn_->y() - 10 - pm.height(), kMenuWidth - 8, pm.height());
    menuPic_->setCursor(linkText.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    menuPic_->show();
    return true;
}

bool TBookFormEx::SetMenuLogo(const std::string& file) {
    QPixmap pm = LoadPicture(file);
    if (pm.isNull()) return false;
    if (pm.height() > kFirstMenuButtonTop - 8)
        pm = pm.scaledToHeight(kFirstMenuButtonTop - 8, Qt::SmoothTransformation);
    menuLogo_->setPixmap(pm);
    menuLogo_->setGeometry(4, 4, kMenuWidth - 8, kFirstMenuButtonTop - 8);
    return true;
}

void TBookFormEx::MenuButtonClick(const std::string& name) {
    PlaySound(kSoundClick);
    // The next section is chosen only when the view let itself be closed.
    if (CloseCurrentView()) SetCurrentSection(name);
}

void TBookFormEx::ExitClick() {
    PlaySound(kSoundClick);
    if (CloseCurrentView()) SetExitRequested(true);
}

void TBookFormEx::MenuBackPicClick() {
    if (menuLink_.empty()) return;
    PlaySound(kSoundClick);
    OpenAddress(menuLink_);
}

void TBookFormEx::DomainPicClick() {
    MenuBackPicClick();
}

// --- Buttons and look ---

void TBookFormEx::SetBottomButtons(int bits) {
    nextBtn_->setVisible(bits & 1);
    cancelBtn_->setVisible(bits & 2);
    okBtn_->setVisible(bits & 4);
    RaiseChrome();
}

void TBookFormEx::SetExitButtonsVisible(bool visible) {
    closeBtn_->setVisible(visible);
    closeBtn2_->setVisible(visible);
}

void TBookFormEx::SetLogoVisible(bool visible) {
    logo_->setVisible(visible);
}

bool TBookFormEx::LogoVisible() const {
    return !logo_->isHidden();
}

void TBookFormEx::SetDecorative(bool decorative) {
    if (decorative_ == decorative) return;
    decorative_ = decorative;
    book_->update();
}

void TBookFormEx::SetLowColour(bool lowColour) {
    lowColour_ = lowColour;
    if (lowColour) titleShading_->hide();
    update();
    book_->update();
    menu_->update();
}

void TBookFormEx::RepaintBook() {
    book_->update();
}

void TBookFormEx::RaiseChrome() {
    if (!menu_->isHidden()) menu_->raise();
    for (QWidget* w : {static_cast<QWidget*>(nextBtn_), static_cast<QWidget*>(okBtn_),
                       static_cast<QWidget*>(cancelBtn_), static_cast<QWidget*>(closeBtn2_)})
        if (!w->isHidden()) w->raise();
}

// --- Borrowed controls ---

void TBookFormEx::BorrowControl(QWidget* control) {
    if (!control) return;
    QWidget* parent = control->parentWidget();
    if (!parent || parent == book_) return;
    auto known = std::find_if(orders_.begin(), orders_.end(),
                              [parent](const SiblingOrder& o) { return o.parent == parent; });
    if (known == orders_.end()) {
        SiblingOrder order;
        order.parent = parent;
        for (QObject* child : parent->children())
            if (auto* w = qobject_cast<QWidget*>(child)) order.order.emplace_back(w);
        orders_.push_back(std::move(order));
    }
    Borrowed b;
    b.control = control;
    b.parent = parent;
    b.pos = control->pos();
    b.hidden = control->isHidden();
    b.owner = CurrentView();
    borrowed_.push_back(b);
    control->setParent(book_);
    control->move(b.pos + QPoint(kBorrowShift, kBorrowShift));
    control->setVisible(!b.hidden);
    RaiseChrome();
}

void TBookFormEx::BorrowChildren(QWidget* panel) {
    if (!panel || panel == book_) return;
    for (;;) {
        QWidget* first = nullptr;
        for (QObject* child : panel->children())
            if ((first = qobject_cast<QWidget*>(child))) break;
        if (!first) return;
        BorrowControl(first);
        if (first->parentWidget() == panel) return;  // could not be moved
    }
}

void TBookFormEx::RestoreOrder(QWidget* parent) {
    auto it = std::find_if(orders_.begin(), orders_.end(),
                           [parent](const SiblingOrder& o) { return o.parent == parent; });
    if (it == orders_.end()) return;
    for (const QPointer<QWidget>& w : it->order)
        if (w && w->parentWidget() == parent) w->raise();
    const bool stillBorrowed =
        std::any_of(borrowed_.begin(), borrowed_.end(),
                    [parent](const Borrowed& b) { return b.parent == parent; });
    if (!stillBorrowed) orders_.erase(it);
}

void TBookFormEx::GiveBack(const TFormView* owner) {
    std::vector<QWidget*> parents;
    std::vector<Borrowed> giving;
    auto keep = std::stable_partition(borrowed_.begin(), borrowed_.end(),
                                      [owner](const Borrowed& b) { return b.owner != owner; });
    giving.assign(keep, borrowed_.end());
    borrowed_.erase(keep, borrowed_.end());
    for (const Borrowed& b : giving) {
        if (!b.control) continue;
        if (!b.parent) {
            // Its storage form is gone; nothing would ever take it back.
            b.control->hide();
            b.control->deleteLater();
            continue;
        }
        // The original position, not the shifted one minus 6: a view may have moved it.
        b.control->setParent(b.parent);
        b.control->move(b.pos);
        b.control->setHidden(b.hidden);
        if (std::find(parents.begin(), parents.end(), b.parent.data()) == parents.end())
            parents.push_back(b.parent);
    }
    for (QWidget* parent : parents) RestoreOrder(parent);
    // Keys keep coming to the window when the focused control went back to its storage.
    QWidget* focus = QApplication::focusWidget();
    if ((!focus || focus->window() != this) && isVisible()) setFocus(Qt::OtherFocusReason);
}

void TBookFormEx::GiveBackAll() {
    while (!borrowed_.empty()) GiveBack(borrowed_.front().owner);
    orders_.clear();
}

void TBookFormEx::ForgetStorage(QWidget* storage) {
    std::vector<const TFormView*> owners;
    for (const Borrowed& b : borrowed_)
        if (b.parent && (b.parent == storage || storage->isAncestorOf(b.parent)))
            owners.push_back(b.owner);
    for (const TFormView* owner : owners) GiveBack(owner);
}

void TBookFormEx::SuspendOwner(const TFormView* owner) {
    for (Borrowed& b : borrowed_) {
        if (b.owner != owner || b.suspended || !b.control) continue;
        b.hiddenBeforeSuspend = b.control->isHidden();
        b.control->hide();
        b.suspended = true;
    }
}

void TBookFormEx::ResumeOwner(const TFormView* owner) {
    for (Borrowed& b : borrowed_) {
        if (b.owner != owner || !b.suspended) continue;
        if (b.control) b.control->setHidden(b.hiddenBeforeSuspend);
        b.suspended = false;
    }
}

// --- Transitions ---

void TBookFormEx::Freeze() {
    if (!FreezeTransitions) return;
    snapshot_->setPixmap(book_->grab(QRect(0, 0, kBookWidth, kBookHeight)));
}

void TBookFormEx::ShowSnapshot() {
    if (!FreezeTransitions || snapshot_->pixmap().isNull()) return;
    snapshot_->show();
    snapshot_->raise();
}

void TBookFormEx::ShowBook() {
    snapshot_->hide();
    QCoreApplication::processEvents();
}

bool TBookFormEx::SnapshotShown() const {
    return !snapshot_->isHidden();
}

// --- Routing ---

void TBookFormEx::ForgetView(const TFormView* view) {
    if (buttonTarget_ == view) buttonTarget_ = nullptr;
    if (keyTarget_ == view) keyTarget_ = nullptr;
    if (formKeyTarget_ == view) formKeyTarget_ = nullptr;
    for (Borrowed& b : borrowed_)
        if (b.owner == view) b.owner = nullptr;
}

QWidget* TBookFormEx::KeyReceiver() {
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() == this) return focus;
    return this;
}

namespace {

// The character a key produces, as the views see it: CR for Enter, 27 for Escape.
char CharOf(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return '\r';
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
            return '\t';
        default:
            break;
    }
    const std::string text = FromQt(event->text());
    return text.size() == 1 ? text[0] : 0;
}

bool resending = false;

}  // namespace

bool TBookFormEx::HandleKey(QObject* receiver, QKeyEvent* event) {
    if (keyTarget_) {
        int key = event->key();
        keyTarget_->KeyDown(key, event->modifiers());
        if (key == 0) return true;
    }
    const char original = CharOf(event);
    if (original == 0) return false;
    char key = original;
    if (formKeyTarget_) {
        formKeyTarget_->FormKeyPress(receiver, key);
        if (key == 0) return true;
    }
    if (keyTarget_) {
        bool handled = false;
        keyTarget_->KeyPress(key, handled);
        if (handled) return true;
    }
    if (key != original) {
        // A view changed the character: the control gets the changed one.
        QKeyEvent changed(QEvent::KeyPress, event->key(), event->modifiers(),
                          ToQt(std::string(1, key)), event->isAutoRepeat());
        resending = true;
        QCoreApplication::sendEvent(receiver, &changed);
        resending = false;
        return true;
    }
    return false;
}

bool TBookFormEx::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || resending) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only the first delivery: a key that a control ignores travels on to its parents.
    if (!widget || widget->window() != this || widget != KeyReceiver()) return false;
    return HandleKey(watched, static_cast<QKeyEvent*>(event));
}

// --- Window ---

QSize TBookFormEx::AdjustedClientSize(QSize client, int screenWidth) {
    QSize size = client;
    if (size.height() < kMinClientHeight) size.setHeight(kMinClientHeight);
    if (size.width() < kMinClientWidth) size.setWidth(screenWidth < 1295 ? 970 : 1110);
    return size;
}

QPoint TBookFormEx::BookOrigin(QSize client) {
    QPoint origin((client.width() - kBookWidth) / 2, (client.height() - kBookHeight) / 2);
    if (client == QSize(kMinClientWidth, kMinClientHeight)) origin += QPoint(1, 1);
    return origin;
}

void TBookFormEx::PlaceBook() {
    const QPoint origin = BookOrigin(size());
    book_->move(origin);
    snapshot_->move(origin);
    update();
}

void TBookFormEx::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (lowColour_) {
        p.fillRect(rect(), art::AccentDark());
        return;
    }
    art::PaintBackground(p, rect(), book_->geometry());
}

void TBookFormEx::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QScreen* s = screen();
    const QSize wanted = AdjustedClientSize(size(), s ? s->geometry().width() : 1024);
    if (wanted != size() && !adjusting_) {
        adjusting_ = true;
        resize(wanted);
        adjusting_ = false;
    }
    PlaceBook();
}

void TBookFormEx::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceBook();
}

void TBookFormEx::closeEvent(QCloseEvent* event) {
    // The window never closes by itself: the views decide, and the main loop ends.
    event->ignore();
    if (CloseCurrentView()) SetExitRequested(true);
}

}  // namespace corv
