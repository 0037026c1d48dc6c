#include "shell/StartupSteps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <filesystem>

#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "platform/qt/QtText.h"
#include "views/BookForm.h"

namespace corv {
namespace {

std::function<TAppFrame::ScreenFacts()>& ScreenFactsSource() {
    static std::function<TAppFrame::ScreenFacts()> source;
    return source;
}

}  // namespace

TAppFrame::ScreenFacts CurrentScreenFacts(QWidget& window) {
    if (ScreenFactsSource()) return ScreenFactsSource()();
    TAppFrame::ScreenFacts facts;
    if (QScreen* screen = window.screen()) {
        facts.width = screen->geometry().width();
        facts.availableHeight = screen->availableGeometry().height();
        facts.depth = screen->depth();
    }
    return facts;
}

namespace {

int& SplashMs() {
    static int ms = 2500;
    return ms;
}

std::function<void(QWidget&)>& SplashShownHook() {
    static std::function<void(QWidget&)> hook;
    return hook;
}

std::string& DocumentsFolder() {
    static std::string folder;
    return folder;
}

}  // namespace

// Lets the window's own events run while the program waits (the meter saves meanwhile),
// until `done` says so.
void WaitProcessingEvents(int ms, const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !(done && done())) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void TAppFrame::SetScreenFactsSource(std::function<ScreenFacts()> source) {
    ScreenFactsSource() = std::move(source);
}

void TAppFrame::SetSplashMs(int ms) {
    SplashMs() = ms;
}

void TAppFrame::SetSplashShownHook(std::function<void(QWidget&)> hook) {
    SplashShownHook() = std::move(hook);
}

void TAppFrame::SetDocumentsFolder(std::string folder) {
    DocumentsFolder() = std::move(folder);
}

void ShowSplash(TBookFormEx& window) {
    TProgramSettings* ps = ProgramSettings();
    const std::string file = fs::ResolveCase(ps->rootFolder + "splashcorv.bmp");
    if (!fs::FileExists(file)) return;
    QPixmap picture;
    if (!picture.load(QString::fromLocal8Bit(file.c_str()))) return;
    // TSplash: the picture alone, over the middle of the main window.
    QLabel splash(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash.setObjectName(QStringLiteral("TSplash"));
    splash.setPixmap(picture);
    splash.setFixedSize(picture.size());
    const QRect frame = window.frameGeometry();
    splash.move(frame.center() - QPoint(picture.width() / 2, picture.height() / 2));
    splash.show();
    splash.repaint();
    if (SplashShownHook()) SplashShownHook()(splash);
    WaitProcessingEvents(SplashMs());
    splash.close();
}

void CheckDisplay(TBookFormEx& window) {
    TDynamicSettings* policy = CorvSettings::Policy();
    TDynamicSettings* ws = CorvSettings::Workstation();
    const TAppFrame::ScreenFacts facts = CurrentScreenFacts(window);
    const bool asked = policy && policy->GetBool("256Colors");
    if (asked || facts.depth <= 8) {
        // Told once per workstation, and never when the administrator chose it.
        if (!asked && !ws->GetBool("256Warned")) {
            ui::Message(Str(1389), Str(1), ui::Icon::kInformation, ui::Buttons::kOk, {1389, 1});
            ws->SetBool("256Warned", true);
        }
        window.SetDecorative(false);
        window.SetLowColour(true);
    }
    if (facts.width > 0 && facts.width <= 640) {
        if (ui::Message(Compose({168, 169, 170}), Str(1), ui::Icon::kQuestion, ui::Buttons::kYesNo,
                        {168, 169, 170}) == ui::kAnswerYes)
            ui::Message(Compose({171, 172, 173, 174, 175, 176, 177, 178}), Str(1),
                        ui::Icon::kInformation, ui::Buttons::kOk,
                        {171, 172, 173, 174, 175, 176, 177, 178});
    }
}

void ImportEarlierUsers(const std::string& workstation) {
    namespace stdfs = std::filesystem;
    std::string documents = DocumentsFolder();
    if (documents.empty())
        documents = FromQt(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (documents.empty() || workstation.empty()) return;
    const std::string earlier = fs::ResolveCase(documents + "/Corvella7");
    if (!fs::FileExists(fs::ResolveCase(earlier + "/" + workstation + ".wks"))) return;
    if (ui::Message(Str(1950), Str(1), ui::Icon::kQuestion, ui::Buttons::kYesNo, {1950, 1}) !=
        ui::kAnswerYes)
        return;
    // The earlier users join the database folder this version reads; a file already there
    // is this version's own and is never replaced.
    TProgramSettings* ps = ProgramSettings();
    std::error_code error;
    const stdfs::path target = ps->databaseFolder;
    for (auto it = stdfs::recursive_directory_iterator(earlier, error);
         !error && it != stdfs::recursive_directory_iterator(); it.increment(error)) {
        const stdfs::path to = target / stdfs::relative(it->path(), earlier, error);
        if (error) break;
        if (it->is_directory()) {
            stdfs::create_directories(to, error);
        } else if (it->is_regular_file() && !fs::FileExists(fs::ResolveCase(to.string()))) {
            std::error_code copyError;
            stdfs::copy_file(it->path(), to, copyError);
            if (copyError) ReportError(-1, to.string() + ": " + copyError.message());
        }
    }
    if (error) ReportError(-1, earlier + ": " + error.message());
    TUser::RebuildIndexes();
}

}  // namespace corv
