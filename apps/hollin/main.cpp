// hollin: the typing meter. Watches the typing of the X11 session and keeps the day's
// figures and difficult words of the user it measures for.

#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "meter/MeterShell.h"
#include "meter/TrayMain.h"
#include "meter/hooks/X11Desktop.h"
#include "meter/hooks/XRecordHook.h"

using namespace corv;
using namespace corv::meter;

namespace {

constexpr int kIdleMs = 6000;                 // the word in progress ends after 6 s
constexpr int kCheckpointMs = 5 * 60 * 1000;  // nothing measured waits longer for a save

int g_signalPipe[2] = {-1, -1};
TTrayMain* g_tray = nullptr;

void OnSignal(int sig) {
    const char c = static_cast<char>(sig);
    (void)!::write(g_signalPipe[1], &c, 1);
}

// A display library that ends the process on its own still lets the figures be saved.
void SaveAtExit() {
    if (g_tray) g_tray->BeforeDestruction();
}

class TLoopShell : public TConsoleShell {
  public:
    void TypingSeen() override {
        TConsoleShell::TypingSeen();
        idle.start(kIdleMs);
    }
    void Quit() override {
        TConsoleShell::Quit();
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    }
    QTimer idle;
};

bool WaylandOnly() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (type && std::strcmp(type, "wayland") == 0) return true;
    return (!display || !*display) && wayland && *wayland;
}

void SayX11Only(const char* why) {
    std::fprintf(stderr,
                 "hollin: %s. The meter can measure typing only in an X11 session; it ends "
                 "without measuring.\n",
                 why);
}

}  // namespace

int main(int argc, char** argv) {
    if (WaylandOnly()) {
        // Under Wayland no program may watch the keys of the others, which is as it should be.
        SayX11Only("this is a Wayland session");
        return 0;
    }
    std::unique_ptr<TX11Desktop> desktop = TX11Desktop::Connect();
    if (!desktop) {
        SayX11Only("no X server can be reached");
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Wendro 10");
    QApplication::setQuitOnLastWindowClosed(false);

    TXRecordHook hook;
    TLoopShell shell;
    shell.idle.setSingleShot(true);
    TMeterOptions options;
    options.args.assign(argv + 1, argv + argc);
    TTrayMain tray(hook, *desktop, shell, options);
    if (!tray.Start()) return 0;

    g_tray = &tray;
    std::atexit(SaveAtExit);
    if (::pipe(g_signalPipe) == 0) {
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::signal(sig, OnSignal);
    }
    auto end = [&] {
        tray.BeforeDestruction();
        QCoreApplication::quit();
    };
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, [&] {
        char c = 0;
        (void)!::read(g_signalPipe[0], &c, 1);
        end();
    });

    std::unique_ptr<QSocketNotifier> messages;
    if (ipc::MessageWindow* window = tray.Window()) {
        messages = std::make_unique<QSocketNotifier>(window->Fd(), QSocketNotifier::Read);
        QObject::connect(messages.get(), &QSocketNotifier::activated, [&] {
            if (ipc::MessageWindow* w = tray.Window())
                w->ReceivePending([&](const ipc::Message& m) { tray.HandleMessage(m); });
            if (tray.Ending()) QCoreApplication::quit();
        });
    }
    QSocketNotifier input(tray.Queue().Fd(), QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        tray.ProcessInput();
        if (hook.Lost()) {
            std::fprintf(stderr, "hollin: the X server went away; the figures are saved.\n");
            end();
        }
    });
    QSocketNotifier desk(desktop->Fd(), QSocketNotifier::Read);
    QObject::connect(&desk, &QSocketNotifier::activated, [&] {
        desktop->Dispatch();
        if (!desktop->Connected()) {
            std::fprintf(stderr, "hollin: the X server went away; the figures are saved.\n");
            desk.setEnabled(false);
            end();
        }
    });
    QObject::connect(&shell.idle, &QTimer::timeout, [&] { tray.TypingStopped(); });
    QTimer checkpoint;
    QObject::connect(&checkpoint, &QTimer::timeout, [&] { tray.Checkpoint(); });
    checkpoint.start(kCheckpointMs);

    const int rc = tray.Ending() ? 0 : QApplication::exec();
    tray.BeforeDestruction();
    g_tray = nullptr;
    return rc;
}
