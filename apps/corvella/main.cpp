// corvella: the touch-typing tutor.

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/qt/QtUi.h"
#include "shell/AboutView.h"
#include "shell/AppFrame.h"
#include "shell/login/LoginView.h"
#include "shell/options/OptionsView.h"
#include "shell/studying/GuidedStudying.h"
#include "views/BookForm.h"
#include "views/FormView.h"

using namespace corv;

namespace {

// CORV_SCREENSHOT=path: after CORV_SCREENSHOT_DELAY ms (default 3000) the window is saved
// there and the program closes as if the user had pressed Exit. For runs without a person.
void ArmScreenshot(TBookFormEx& window) {
    const char* path = std::getenv("CORV_SCREENSHOT");
    if (!path || !*path) return;
    const char* delay = std::getenv("CORV_SCREENSHOT_DELAY");
    int ms = delay && *delay ? std::atoi(delay) : 3000;
    std::string target = path;
    QTimer::singleShot(ms, &window, [&window, target] {
        window.grab().save(QString::fromLocal8Bit(target.c_str()));
        if (CloseCurrentView()) SetExitRequested(true);
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Corvella");
    qtui::RegisterQtUi();

    RegisterSection("Info", {569, [] {
                                 RunAboutView();
                                 return SectionResult::kStay;
                             }});  // Str(569)
    RegisterSection("Settings", {568, [] {
                                     RunOptionsView();
                                     return SectionResult::kStay;
                                 }});  // Str(568)
    RegisterStudyingSections();

    TBookFormEx window;
    TLoginViewStg loginStorage;
    window.setWindowTitle("Loading..");
    window.show();
    window.repaint();
    ArmScreenshot(window);

    std::vector<std::string> args(argv + 1, argv + argc);
    TMain tutor(window, &loginStorage);
    int rc = tutor.Run(args);
    return rc == 123 ? 123 : 0;
}
