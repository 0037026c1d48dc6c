#include "views/testkit/ViewHarness.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/qt/QtText.h"
#include "views/BookForm.h"
#include "views/FormView.h"

namespace corv::viewtest {

namespace {

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::string TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

// The text a key sends, as a keyboard would deliver it.
QString KeyText(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return QStringLiteral("\r");
        case Qt::Key_Escape:
            return QString(QChar(27));
        case Qt::Key_Space:
            return QStringLiteral(" ");
        case Qt::Key_Backspace:
            return QString(QChar(8));
        case Qt::Key_Tab:
            return QStringLiteral("\t");
        default:
            return {};
    }
}

}  // namespace

// --- ScriptedMessages ---

ScriptedMessages::ScriptedMessages() {
    ui::SetMessageUi(this);
}

ScriptedMessages::~ScriptedMessages() {
    Verify();
    ui::SetMessageUi(nullptr);
}

void ScriptedMessages::Expect(int answer, int stringId) {
    script_.push_back({answer, stringId, {}});
}

void ScriptedMessages::ExpectText(int answer, std::string textPart) {
    script_.push_back({answer, 0, std::move(textPart)});
}

void ScriptedMessages::Verify() {
    for (const Expected& e : script_)
        ADD_FAILURE() << "an expected message box was never shown (answer " << e.answer
                      << (e.stringId ? ", string " + std::to_string(e.stringId) : "")
                      << (e.textPart.empty() ? "" : ", text \"" + e.textPart + "\"") << ")";
    script_.clear();
}

int ScriptedMessages::Show(const ui::MessageRequest& request) {
    shown.push_back(request);
    if (script_.empty()) {
        if (!lenient)
            ADD_FAILURE() << "unexpected message box: \"" << OneLine(request.caption)
                          << "\": " << OneLine(request.text);
        return request.defaultAnswer != ui::kAnswerNone ? request.defaultAnswer
                                                        : ui::SafeAnswer(request.buttons);
    }
    Expected e = script_.front();
    script_.pop_front();
    if (e.stringId != 0 && std::find(request.stringIds.begin(), request.stringIds.end(),
                                     e.stringId) == request.stringIds.end())
        ADD_FAILURE() << "message box without string " << e.stringId << ": "
                      << OneLine(request.text);
    if (!e.textPart.empty() && request.text.find(e.textPart) == std::string::npos)
        ADD_FAILURE() << "message box without \"" << e.textPart << "\": " << OneLine(request.text);
    return e.answer;
}

// --- ViewHarness ---

ViewHarness::ViewHarness() : context_(std::make_unique<QObject>()) {
    window_ = MainWindow();
    if (!window_) {
        window_ = new TBookFormEx();
        ownsWindow_ = true;
    }
    window_->show();
    window_->activateWindow();
    window_->setFocus();
    QCoreApplication::processEvents();
    SetViewShownHook([this](TFormView& view) { pendingShots_.push_back(&view); });
}

ViewHarness::~ViewHarness() {
    SetViewShownHook(nullptr);
    if (!actions_.empty())
        ADD_FAILURE() << actions_.size()
                      << " queued action(s) never ran, first: " << actions_.front().what;
    if (ownsWindow_) delete window_;
    SetCurrentSection({});
    SetExitRequested(false);
}

TBookFormEx& ViewHarness::Window() {
    return *window_;
}

ViewHarness& ViewHarness::Do(std::function<void()> action, std::string what) {
    actions_.push_back({std::move(action), std::move(what)});
    return *this;
}

ViewHarness& ViewHarness::Click(const std::string& name) {
    return Do(
        [this, name] {
            QWidget* w = Find(name);
            if (!w || !w->isVisible()) {
                ADD_FAILURE() << "no visible control \"" << name << "\" to click";
                return;
            }
            QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
        },
        "click " + name);
}

ViewHarness& ViewHarness::Type(const std::string& text) {
    return Do(
        [this, text] {
            for (char c : text) {
                const QString s = ToQt(std::string(1, c));
                const int key = c == ' ' ? int(Qt::Key_Space) : int(s.at(0).toUpper().unicode());
                QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, s);
                QCoreApplication::sendEvent(window_->KeyReceiver(), &press);
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, s);
                QCoreApplication::sendEvent(window_->KeyReceiver(), &release);
                QCoreApplication::processEvents();
            }
        },
        "type \"" + text + "\"");
}

ViewHarness& ViewHarness::Key(int qtKey, Qt::KeyboardModifiers modifiers) {
    return Do(
        [this, qtKey, modifiers] {
            QKeyEvent press(QEvent::KeyPress, qtKey, modifiers, KeyText(qtKey));
            QCoreApplication::sendEvent(window_->KeyReceiver(), &press);
            QKeyEvent release(QEvent::KeyRelease, qtKey, modifiers, KeyText(qtKey));
            QCoreApplication::sendEvent(window_->KeyReceiver(), &release);
        },
        "key " + std::to_string(qtKey));
}

ViewHarness& ViewHarness::PickSection(const std::string& name) {
    return Do(
        [this, name] {
            QAbstractButton* b = window_->MenuButton(name);
            if (!b || !b->isVisible()) {
                ADD_FAILURE() << "no visible menu button \"" << name << "\"";
                return;
            }
            QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
        },
        "section " + name);
}

ViewHarness& ViewHarness::Screenshot(const std::string& label) {
    return Do(
        [this, label] {
            TFormView* view = CurrentView();
            SaveScreenshot((view ? view->ViewName() : std::string("window")) + "-" + label);
        },
        "screenshot " + label);
}

std::string ViewHarness::SaveScreenshot(const std::string& name) {
    const char* dir = std::getenv("CORV_SCREENSHOTS");
    if (!dir || !*dir) return {};
    QDir().mkpath(QString::fromLocal8Bit(dir));
    std::string base = TestName() + "-" + name;
    std::string unique = base;
    for (int n = 2; std::find(names_.begin(), names_.end(), unique) != names_.end(); ++n)
        unique = base + "-" + std::to_string(n);
    names_.push_back(unique);
    const std::string path = std::string(dir) + "/" + unique + ".png";
    QCoreApplication::processEvents();
    if (!window_->grab().save(QString::fromLocal8Bit(path.c_str()), "PNG")) {
        ADD_FAILURE() << "screenshot not written: " << path;
        return {};
    }
    screenshots.push_back(path);
    return path;
}

void ViewHarness::CheckForeignDialogs() {
    // Dialogs that bypass the message service would block a real user's test run.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "unexpected dialog: " << FromQt(modal->windowTitle());
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

void ViewHarness::Pump() {
    CheckForeignDialogs();
    TFormView* view = CurrentView();
    // A view that has its answer is on its way out: the next action belongs to whatever
    // comes after it.
    if (!view || !view->Running() || view->Done()) return;
    // The action now running started in this view: wait until it returns.
    if (!actionViews_.empty() && actionViews_.back() == view) return;
    auto shot = std::find(pendingShots_.begin(), pendingShots_.end(), view);
    if (shot != pendingShots_.end()) {
        pendingShots_.erase(shot);
        SaveScreenshot(view->ViewName());
        return;
    }
    if (actions_.empty()) return;
    auto action = std::make_shared<Action>(std::move(actions_.front()));
    actions_.pop_front();
    actionViews_.push_back(view);
    // Run from its own timer: an action that opens a view inside this one must not block
    // the pump, which then serves the inner view.
    QTimer::singleShot(0, context_.get(), [this, action] {
        action->run();
        actionViews_.pop_back();
    });
}

void ViewHarness::ForceCloseViews() {
    messages.lenient = true;
    for (int guard = 0; CurrentView() && guard < 32; ++guard) {
        for (TFormView* v : ShownViews()) v->OnCloseQuery = nullptr;
        CloseCurrentView();
    }
}

int ViewHarness::Run(const std::function<int()>& run, int timeoutMs) {
    timedOut_ = false;
    running_ = true;
    QTimer pump;
    pump.setInterval(2);
    QObject::connect(&pump, &QTimer::timeout, [this] { Pump(); });
    pump.start();
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [this, timeoutMs] {
        timedOut_ = true;
        ADD_FAILURE() << "the view did not end within " << timeoutMs << " ms"
                      << (actions_.empty() ? "" : "; next action: " + actions_.front().what);
        actions_.clear();
        ForceCloseViews();
    });
    watchdog.start(timeoutMs);
    const int result = run();
    watchdog.stop();
    pump.stop();
    running_ = false;
    messages.lenient = false;
    pendingShots_.clear();
    if (!actions_.empty()) {
        ADD_FAILURE() << actions_.size()
                      << " action(s) left after the run, first: " << actions_.front().what;
        actions_.clear();
    }
    messages.Verify();
    return result;
}

int ViewHarness::RunModal(TFormView& view, int timeoutMs) {
    return Run([&view] { return view.ShowModal(); }, timeoutMs);
}

QWidget* ViewHarness::Find(const std::string& name) const {
    const QString qname = ToQt(name);
    const QList<QWidget*> all = window_->findChildren<QWidget*>(qname);
    for (QWidget* w : all)
        if (w->isVisible()) return w;
    return all.isEmpty() ? nullptr : all.front();
}

std::string ViewHarness::TextOf(const std::string& name) const {
    QWidget* w = Find(name);
    if (auto* label = qobject_cast<QLabel*>(w)) return FromQt(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return FromQt(button->text());
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return FromQt(edit->text());
    if (auto* browser = qobject_cast<QTextBrowser*>(w)) return FromQt(browser->toPlainText());
    return {};
}

bool ViewHarness::IsShown(const std::string& name) const {
    QWidget* w = Find(name);
    return w && w->isVisible();
}

}  // namespace corv::viewtest
