#include "platform/qt/QtUi.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMediaDevices>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "core/Cp1252.h"
#include "platform/qt/QtText.h"

namespace corv::qtui {

QString ToQt(std::string_view text) {
    return corv::ToQt(ui::NormalizeLineEnds(text));
}

std::string FromQt(const QString& text) {
    return corv::FromQt(text);
}

bool CanAskUser() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

int AnswerOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return ui::kAnswerOk;
        case QMessageBox::Cancel:
            return ui::kAnswerCancel;
        case QMessageBox::Abort:
            return ui::kAnswerAbort;
        case QMessageBox::Retry:
            return ui::kAnswerRetry;
        case QMessageBox::Ignore:
            return ui::kAnswerIgnore;
        case QMessageBox::Yes:
            return ui::kAnswerYes;
        case QMessageBox::No:
            return ui::kAnswerNo;
        default:
            return ui::kAnswerNone;
    }
}

namespace {

QMessageBox::StandardButton ButtonOf(int answer) {
    switch (answer) {
        case ui::kAnswerOk:
            return QMessageBox::Ok;
        case ui::kAnswerCancel:
            return QMessageBox::Cancel;
        case ui::kAnswerAbort:
            return QMessageBox::Abort;
        case ui::kAnswerRetry:
            return QMessageBox::Retry;
        case ui::kAnswerIgnore:
            return QMessageBox::Ignore;
        case ui::kAnswerYes:
            return QMessageBox::Yes;
        case ui::kAnswerNo:
            return QMessageBox::No;
        default:
            return QMessageBox::NoButton;
    }
}

QMessageBox::StandardButtons ButtonsOf(ui::Buttons buttons) {
    switch (buttons) {
        case ui::Buttons::kOk:
            return QMessageBox::Ok;
        case ui::Buttons::kOkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case ui::Buttons::kYesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case ui::Buttons::kYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case ui::Buttons::kRetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        case ui::Buttons::kAbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(ui::Icon icon) {
    switch (icon) {
        case ui::Icon::kInformation:
            return QMessageBox::Information;
        case ui::Icon::kWarning:
            return QMessageBox::Warning;
        case ui::Icon::kError:
            return QMessageBox::Critical;
        case ui::Icon::kQuestion:
            return QMessageBox::Question;
        case ui::Icon::kNone:
            break;
    }
    return QMessageBox::NoIcon;
}

class QtMessageUi : public ui::MessageUi {
  public:
    int Show(const ui::MessageRequest& request) override {
        // Offscreen or without an application nobody could answer: never wait.
        if (!CanAskUser()) return headless_.Show(request);
        auto box = BuildMessageBox(request, QApplication::activeWindow());
        return RunMessageBox(*box, request);
    }

  private:
    ui::HeadlessMessageUi headless_;
};

class QtProgressView : public ui::ProgressView {
  public:
    QtProgressView() {
        dialog_.show();
        dialog_.raise();
        Refresh();
    }
    void SetCaption(const std::string& caption) override {
        dialog_.setWindowTitle(ToQt(caption));
        Refresh();
    }
    void SetMessage(const std::string& message) override {
        dialog_.SetMessage(ToQt(message));
        Refresh();
    }
    void SetRange(int min, int max) override { dialog_.SetRange(min, max); }
    void SetPosition(int position) override {
        dialog_.SetPosition(position);
        Refresh();
    }

  private:
    // The long operation holds the event loop; paint now so the box keeps up.
    void Refresh() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
    TMyMsgFormDialog dialog_;  // no parent: it must not outlive this view
};

class QtProgressUi : public ui::ProgressUi {
  public:
    std::unique_ptr<ui::ProgressView> Open() override {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
        return std::make_unique<QtProgressView>();
    }
};

class QtSoundUi : public ui::SoundUi {
  public:
    ui::SoundResult Play(const std::string& path) override {
        if (failed_ || QMediaDevices::audioOutputs().isEmpty()) return ui::SoundResult::kFailed;
        for (const auto& [file, effect] : effects_)
            if (effect->isPlaying()) return ui::SoundResult::kBusy;
        auto& effect = effects_[path];
        if (!effect) {
            effect = std::make_unique<QSoundEffect>();
            QSoundEffect* raw = effect.get();
            QObject::connect(raw, &QSoundEffect::statusChanged, raw, [this, raw] {
                if (raw->status() == QSoundEffect::Error) failed_ = true;
            });
            raw->setSource(
                QUrl::fromLocalFile(QFileInfo(QString::fromStdString(path)).absoluteFilePath()));
        }
        effect->play();
        return ui::SoundResult::kPlayed;
    }

  private:
    bool failed_ = false;
    std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
};

class QtShellUi : public ui::ShellUi {
  public:
    bool OpenAddress(const std::string& address) override {
        if (address.empty()) return false;
        QUrl url = QUrl::fromUserInput(ToQt(address), QDir::currentPath(), QUrl::AssumeLocalFile);
        return url.isValid() && QDesktopServices::openUrl(url);
    }
    bool Run(const std::string& program, const std::string& parameters,
             const std::string& folder) override {
        const QString name = ToQt(program);
        QFileInfo info(folder.empty() ? name : QDir(ToQt(folder)).filePath(name));
        // A document is opened with its handler, as the shell does.
        if (info.isFile() && !info.isExecutable())
            return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
        QStringList args;
        for (const auto& a : ui::SplitCommandLine(parameters)) args << ToQt(a);
        return QProcess::startDetached(name, args, ToQt(folder));
    }
    void EndProgram(int exitCode) override {
        std::fflush(nullptr);
        std::exit(exitCode);
    }
};

class QtWindowUi : public ui::WindowUi {
  public:
    bool BringToFront(ui::WindowRef window) override {
        auto* w = static_cast<QWidget*>(window);
        if (!w) return false;
        if (w->isMinimized() || !w->isVisible())
            w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        w->show();
        if (!w->isActiveWindow()) Activate(w);
        if (!w->isActiveWindow()) {
            // Last resort against focus-stealing rules: map the window anew.
            w->hide();
            w->showMinimized();
            w->showNormal();
            Activate(w);
        }
        return w->isActiveWindow();
    }
    bool CloseProgramWindow(const std::string& windowClass, const std::string& title) override {
        const QString wanted = ToQt(title);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->windowTitle() != wanted) continue;
            if (!windowClass.empty() && windowClass != w->metaObject()->className() &&
                ToQt(windowClass) != w->objectName())
                continue;
            QMetaObject::invokeMethod(w, "close", Qt::QueuedConnection);
            return true;
        }
        return false;
    }
    void AllowMessage(unsigned) override {}  // no message filtering between programs here

  private:
    static void Activate(QWidget* w) {
        w->raise();
        w->activateWindow();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
};

struct QtServices {
    QtMessageUi messages;
    QtProgressUi progress;
    QtSoundUi sounds;
    QtShellUi shell;
    QtWindowUi windows;
};

// Lives from registration until the application object goes (its post routine).
std::unique_ptr<QtServices>& Services() {
    static std::unique_ptr<QtServices> services;
    return services;
}

}  // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const ui::MessageRequest& request, QWidget* parent) {
    auto box =
        std::make_unique<QMessageBox>(IconOf(request.icon), ToQt(request.caption),
                                      ToQt(request.text), ButtonsOf(request.buttons), parent);
    box->setTextFormat(Qt::PlainText);
    const int fallback = request.defaultAnswer != ui::kAnswerNone ? request.defaultAnswer
                                                                  : ui::SafeAnswer(request.buttons);
    if (QAbstractButton* escape = box->button(ButtonOf(fallback))) box->setEscapeButton(escape);
    if (request.defaultAnswer != ui::kAnswerNone)
        box->setDefaultButton(ButtonOf(request.defaultAnswer));
    return box;
}

int RunMessageBox(QMessageBox& box, const ui::MessageRequest& request) {
    box.exec();
    int answer = AnswerOf(box.standardButton(box.clickedButton()));
    if (answer != ui::kAnswerNone) return answer;
    return request.defaultAnswer != ui::kAnswerNone ? request.defaultAnswer
                                                    : ui::SafeAnswer(request.buttons);
}

TMyMsgFormDialog::TMyMsgFormDialog(QWidget* parent)
    : QDialog(parent), label_(new QLabel(this)), bar_(new QProgressBar(this)) {
    setObjectName(QStringLiteral("TMyMsgForm"));
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    bar_->setMinimumWidth(320);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
}

void TMyMsgFormDialog::SetMessage(const QString& message) {
    label_->setText(message);
}

void TMyMsgFormDialog::SetRange(int min, int max) {
    bar_->setRange(min, max < min ? min : max);
}

void TMyMsgFormDialog::SetPosition(int position) {
    // The bar ignores values outside its range; keep them at the nearer end instead.
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
}

void RegisterQtUi() {
    auto& s = Services();
    if (!s) {
        s = std::make_unique<QtServices>();
        // Sound effects and dialogs must go before the application object does.
        qAddPostRoutine(UnregisterQtUi);
    }
    ui::SetMessageUi(&s->messages);
    ui::SetProgressUi(&s->progress);
    ui::SetSoundUi(&s->sounds);
    ui::SetShellUi(&s->shell);
    ui::SetWindowUi(&s->windows);
}

void UnregisterQtUi() {
    ui::SetMessageUi(nullptr);
    ui::SetProgressUi(nullptr);
    ui::SetSoundUi(nullptr);
    ui::SetShellUi(nullptr);
    ui::SetWindowUi(nullptr);
    Services().reset();
}

}  // namespace corv::qtui
