#include "shell/tests/StudyingFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <filesystem>

#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "course/CourseServices.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "engine/EventServices.h"
#include "platform/qt/QtText.h"
#include "shell/EventClasses.h"
#include "shell/lessons/LessonViews.h"
#include "views/BookForm.h"
#include "views/FormView.h"

namespace corv::studytest {

Studying::Studying() {
    root = dir.path() + "/";
    namespace fs = std::filesystem;
    const std::string shipped = std::string(CORV_SOURCE_DIR) + "/install/";
    fs::create_directories(root + "Database");
    fs::copy(shipped + "lessons", root + "lessons", fs::copy_options::recursive);
    fs::copy(shipped + "keyboards", root + "keyboards", fs::copy_options::recursive);
    fs::copy_file(shipped + "CorvKeyb.ini", root + "CorvKeyb.ini");
    test::WriteFile(root + "0.grp", "Name=Everybody\r\n");
    Localization().Reset();
    Localization().LoadFile(shipped + "language.eng", TLocalize::kBase);
    SetPolicy({});
    SetCurrentUser(TUser::Create("Anna Berg"));
    auto layout = std::make_unique<TKeyDataExt>();
    layout->Load(root + "keyboards/qwerty.kbd");
    SetCurrentLayout(std::move(layout));
    SetTickClock(&clock);
    ResetSounds();
    SetSoundsOn(false);
    Services() = EventServices();
    ClearEventClasses();
    Hooks() = CourseHooks();
    RegisterEventClasses();
    InstallLessonViews();
    TBookFormEx& w = h.Window();
    w.ApplyCaptions();
    w.AddMenuButton("Studying", Str(258));
    w.AddMenuButton("Statistics", Str(559));
    w.AddMenuGap();
    w.AddMenuButton("Settings", Str(560));
    w.AddMenuButton("Info", Str(561));
    w.HighlightSection("Studying");
    w.SetTitle(Str(601));
    SetCurrentSection("");
    SetExitRequested(false);
}

Studying::~Studying() {
    ClearEventClasses();
    Hooks() = CourseHooks();
    Services() = EventServices();
    SetLoadedCourse(nullptr);
    SetTickClock(nullptr);
    SetCurrentUser(nullptr);
    SetCurrentLayout(nullptr);
    SetProgramSettings(nullptr);
    CorvSettings::CloseAll();
    SetCurrentSection("");
    ActiveDifficultKeys().SetDefaultFilter();
    Localization().Reset();
}

void Studying::SetPolicy(const std::vector<std::string>& lines) {
    std::string text = "DisableWindowsLayouts=1\r\nDefaultContents=speedbuilding.cnt\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    test::WriteFile(root + "Policy.dyn", text);
    CorvSettings::CloseAll();
    SetProgramSettings(TProgramSettings::Create(root));
    ASSERT_TRUE(ProgramSettings());
    ASSERT_TRUE(CorvSettings::OpenPolicy(root));
}

void Studying::Lesson(const std::string& name, const std::string& text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    test::WriteFile(root + "lessons/" + name, crlf);
}

void Studying::Type(const std::string& text, int msPerKey) {
    h.Do(
        [this, text, msPerKey] {
            for (char c : text) {
                clock.tick += msPerKey;
                const QString s = ToQt(std::string(1, c));
                const int key = c == ' '    ? int(Qt::Key_Space)
                                : c == '\r' ? int(Qt::Key_Return)
                                            : int(s.at(0).toUpper().unicode());
                QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, s);
                QCoreApplication::sendEvent(h.Window().KeyReceiver(), &press);
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, s);
                QCoreApplication::sendEvent(h.Window().KeyReceiver(), &release);
            }
            QApplication::processEvents();
        },
        "type");
}

std::string Studying::UserFile() const {
    return test::ReadFile(root + "Database/Anna Berg.usr");
}

}  // namespace corv::studytest
