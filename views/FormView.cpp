#include "views/FormView.h"

#include <cxxabi.h>

#include <QAbstractButton>
#include <QEventLoop>
#include <QObject>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "core/UserInterface.h"
#include "core/Utility.h"
#include "views/BookForm.h"

namespace corv {

namespace {

std::vector<TFormView*>& Stack() {
    static std::vector<TFormView*> stack;
    return stack;
}

std::function<void(TFormView&)>& ShownHook() {
    static std::function<void(TFormView&)> hook;
    return hook;
}

std::string& Section() {
    static std::string section;
    return section;
}

bool& ExitFlag() {
    static bool flag = false;
    return flag;
}

// Set while CloseCurrentView closes the outer views one after another: they are about to
// close too, so they do not take the book back in between.
bool unwinding = false;

}  // namespace

struct ViewStackAccess {
    static void Push(TFormView* view) {
        auto& stack = Stack();
        if (!stack.empty())
            if (auto* window = MainWindow()) window->SuspendOwner(stack.back());
        stack.push_back(view);
    }

    static void Remove(TFormView* view) {
        auto& stack = Stack();
        auto it = std::find(stack.begin(), stack.end(), view);
        if (it == stack.end()) return;
        const bool wasInnermost = (it + 1 == stack.end());
        stack.erase(it);
        if (wasInnermost && !stack.empty() && !unwinding) ResumeInnermost();
    }

    static void ResumeInnermost() {
        TFormView* outer = Stack().back();
        if (auto* window = MainWindow()) window->ResumeOwner(outer);
        if (outer->visible_) outer->Resume();
    }

    static void RunLoop(TFormView& view) {
        QEventLoop loop;
        view.loop_ = &loop;
        view.running_ = true;
        while (!view.done_) {
            view.exitingLoop_ = false;
            loop.exec();
            // Only Done exits this loop; anything else is the application terminating.
            if (!view.exitingLoop_) view.done_ = true;
        }
        view.running_ = false;
        view.loop_ = nullptr;
    }

    static void ForceResult(TFormView& view, int result) { view.modalResult_ = result; }
};

// --- TFormView ---

TFormView::TFormView() = default;

TFormView::~TFormView() {
    CloseBeforeDestroy();
    ViewStackAccess::Remove(this);
    if (auto* window = MainWindow()) window->ForgetView(this);
}

void TFormView::SetModalResult(int result) {
    modalResult_ = result;
    if (result != 0) SetDone(true);
}

void TFormView::SetDone(bool done) {
    done_ = done;
    if (done && loop_) {
        exitingLoop_ = true;
        loop_->exit();
    }
}

bool TFormView::IsRefused() {
    return false;
}
void TFormView::Setup() {}
void TFormView::Activate() {
    active_ = true;
}
void TFormView::FormKeyPress(QObject*, char&) {}
void TFormView::KeyDown(int&, Qt::KeyboardModifiers) {}

void TFormView::Show() {
    if (visible_ || IsRefused()) return;
    ViewStackAccess::Push(this);
    modalResult_ = 0;
    Setup();
    Activate();
    // Visible before the book swap handles pending events, so a close that arrives there
    // finds a view it can close.
    visible_ = true;
    if (auto* window = MainWindow()) {
        window->Freeze();
        window->ShowBook();
    }
    if (visible_ && ShownHook()) ShownHook()(*this);
}

int TFormView::ShowModal() {
    modal_ = true;
    Show();
    if (!visible_) {
        modal_ = false;
        return modalResult_;
    }
    bool refuse = false;
    do {
        modalResult_ = 0;
        done_ = false;
        if (visible_) ViewStackAccess::RunLoop(*this);
        refuse = false;
        Close(refuse);
    } while (refuse);
    modal_ = false;
    return modalResult_;
}

void TFormView::Close(bool& refuse) {
    refuse = false;
    if (!visible_) return;
    if (OnCloseQuery) {
        OnCloseQuery(*this, refuse);
        if (refuse) return;
    }
    // Always given back: a view closed after an inner one must not keep its controls.
    Teardown();
    if (modal_) SetDone(true);
    visible_ = false;
    ViewStackAccess::Remove(this);
    if (OnClose) OnClose(*this);
}

void TFormView::Teardown() {
    auto* window = MainWindow();
    if (window) window->GiveBack(this);
    active_ = false;
    if (window) window->ShowSnapshot();
}

std::string TFormView::ViewName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    const size_t colons = name.rfind("::");
    return colons == std::string::npos ? name : name.substr(colons + 2);
}

void TFormView::CloseBeforeDestroy() {
    if (!visible_) return;
    ui::Message("Destroying an active view!", ui::ProgramFileName(), ui::Icon::kWarning);
    // Its owner is destroying it anyway: a refusal would leave a shown view behind, and
    // the derived parts a close query might use are already gone.
    OnCloseQuery = nullptr;
    bool refuse = false;
    Close(refuse);
}

// --- TCustomBookView ---

TCustomBookView::TCustomBookView() = default;

TCustomBookView::~TCustomBookView() {
    CloseBeforeDestroy();
}

void TCustomBookView::SetShowCancel(bool show) {
    showCancel_ = show;
    buttons_ = show ? (buttons_ | kCancelBit) : (buttons_ & ~kCancelBit);
}

void TCustomBookView::SetUseOK(bool useOK) {
    useOK_ = useOK;
    buttons_ = useOK ? ((buttons_ | kOkBit) & ~kNextBit) : ((buttons_ & ~kOkBit) | kNextBit);
}

void TCustomBookView::Setup() {
    TFormView::Setup();
    SetShowCancel(showCancel_);
    SetUseOK(useOK_);
    auto* window = MainWindow();
    if (!window) return;
    window->SetDecorative(true);
    window->SetLogoVisible(ShowLogo);
    window->SetExitButtonsVisible(true);
    window->RouteButtons(this);
    window->RouteKeys(this);
}

void TCustomBookView::Activate() {
    TFormView::Activate();
    ShowChrome();
    if (auto* window = MainWindow()) window->RepaintBook();
}

void TCustomBookView::ShowChrome() {
    auto* window = MainWindow();
    if (!window) return;
    window->SetMenuVisible(ShowMenu);
    window->SetBottomButtons(buttons_);
}

void TCustomBookView::Resume() {
    auto* window = MainWindow();
    if (!window) return;
    window->SetLogoVisible(ShowLogo);
    window->SetExitButtonsVisible(true);
    window->RouteButtons(this);
    window->RouteKeys(this);
    ShowChrome();
    window->RepaintBook();
}

void TCustomBookView::Teardown() {
    auto* window = MainWindow();
    if (window) {
        window->SetLogoVisible(false);
        window->SetBottomButtons(0);
        if (window->KeyTarget() == this) window->RouteKeys(nullptr);
        if (window->ButtonTarget() == this) window->RouteButtons(nullptr);
    }
    TFormView::Teardown();
    if (window) window->RepaintBook();
}

void TCustomBookView::ButtonClick(QObject* sender) {
    PlaySound(kSoundClick);
    if (!sender) return;
    const QString name = sender->objectName();
    if (name == QLatin1String("NextBtn") || name == QLatin1String("OKBtn"))
        SetModalResult(1);
    else if (name == QLatin1String("CancelBtn"))
        SetModalResult(2);
}

void TCustomBookView::StorageButtonClick(QObject* sender) {
    PlaySound(kSoundClick);
    if (!sender) return;
    const QString name = sender->objectName();
    if (name == QLatin1String("NextBtn") || name == QLatin1String("StartBtn") ||
        name == QLatin1String("OKBtn"))
        SetModalResult(1);
    else if (name == QLatin1String("CancelBtn"))
        SetModalResult(2);
}

void TCustomBookView::KeyPress(char& key, bool& handled) {
    if (handled) return;
    switch (key) {
        case ' ': {
            // Space clicks only in views that ask for it; elsewhere it is a plain character.
            if (!SpaceClicks) return;
            auto* window = MainWindow();
            if (!window) return;
            QAbstractButton* target = nullptr;
            if (!window->OKBtn()->isHidden())
                target = window->OKBtn();
            else if (!window->NextBtn()->isHidden())
                target = window->NextBtn();
            if (!target) return;
            target->click();
            handled = true;
            return;
        }
        case '\r':
            if (!EnterAccepts) return;
            SetModalResult(1);
            handled = true;
            return;
        case 27:
            SetModalResult(2);
            handled = true;
            return;
        default:
            return;
    }
}

// --- Process-wide state ---

TFormView* CurrentView() {
    return Stack().empty() ? nullptr : Stack().back();
}

const std::vector<TFormView*>& ShownViews() {
    return Stack();
}

bool CloseCurrentView() {
    auto& stack = Stack();
    if (stack.empty()) return true;
    TFormView* inner = stack.back();
    bool refuse = false;
    inner->Close(refuse);
    if (refuse || inner->Visible()) return false;
    // The code that ran the inner view gets 0 and returns into the outer views' runs;
    // each of them must end with 0 as well, or the section change would be lost there.
    unwinding = true;
    std::vector<TFormView*> outer(stack.rbegin(), stack.rend());
    for (TFormView* view : outer) {
        ViewStackAccess::ForceResult(*view, 0);
        bool outerRefuse = false;
        view->Close(outerRefuse);
        if (outerRefuse || view->Visible()) break;
    }
    unwinding = false;
    if (!stack.empty()) ViewStackAccess::ResumeInnermost();
    return true;
}

void SetViewShownHook(std::function<void(TFormView&)> hook) {
    ShownHook() = std::move(hook);
}

const std::string& CurrentSection() {
    return Section();
}
void SetCurrentSection(std::string section) {
    Section() = std::move(section);
}
bool ExitRequested() {
    return ExitFlag();
}
void SetExitRequested(bool requested) {
    ExitFlag() = requested;
}

}  // namespace corv
