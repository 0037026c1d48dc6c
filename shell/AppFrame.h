#pragma once
// The tutor's life: start-up (language, single instance, folders, the meter's pause,
// policy and workstation settings, login, layout), the section loop, and shut-down.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace corv {

class TBookFormEx;
class TLoginViewStg;

struct CommandLine {
    bool typeTest = false;
    bool typeTest2 = false;
    bool uninstall = false;
    bool noMutex = false;
    std::string workstationName;  // with "/NOMUTEX"
    std::string firstSection;     // "Vantor", "VantorStatistics"
    bool screenshotMode = false;
    bool none = true;  // no parameters at all
};
// Exact, case-insensitive parameters; anything else is ignored.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// What a section answers the main loop: the section to run next (guided studying names
// one; the others stay).
enum class SectionResult {
    kStay = 0,  // the default section next, which continues studying
    kSettings = 3,
    kStatistics = 4,
    kChooseCourse = 8,  // the course choice next time, through the default section
    kMeter = 55,
};

// The sections a build of the tutor has. Each later part of the program registers its
// own; the menu shows only the registered ones.
struct Section {
    int titleString = 0;  // the window title while it runs
    std::function<SectionResult()> run;
};
void RegisterSection(const std::string& name, Section section);
void UnregisterSection(const std::string& name);
const Section* FindSection(const std::string& name);

// The product title and version fields shown by the about view and written to the log;
// the version fields come from the build.
struct ProductInfo {
    std::string title;
    std::string version;
    std::string build;
    std::string buildDate;
    std::string year;
    bool typeTest = false;  // "/TYPETEST": the help links lead to the vendor's pages
};
const ProductInfo& Product();

// A language change while the program runs (the options page): the hook rebuilds the
// menu and the captions in the new language; TMain installs it.
void SetLanguageChangedHook(std::function<void()> hook);
void AnnounceLanguageChange();

// The main window's size as the workstation's "FullScreen" says: 1 keeps the normal
// size, otherwise the window is maximized on screens whose work area is taller than 720.
void ApplyWindowSize(TBookFormEx& window);

// The messages of the inter-program protocol the tutor sends or accepts.
namespace protocol {
constexpr const char* kMeterWindow = "Wendro 10";
constexpr const char* kTutorClass = "TBookFormEx";
constexpr const char* kTutorMutex = "Corv2004Mutex";
constexpr const char* kDisable = "CorvVantor1999.DISABLE";
constexpr const char* kEnable = "CorvVantor1999.ENABLE";
constexpr const char* kBringFront = "Corv2001.BRINGFRONT";
}  // namespace protocol

class TAppFrame {
  public:
    TAppFrame(TBookFormEx& window, TLoginViewStg* loginStorage, CommandLine commandLine);
    ~TAppFrame();

    std::function<void()> OnInitialized;
    std::function<void()> OnRun;

    // Initialize, then Finalize with its result; errors become reports -4000 / -4001.
    int Run();
    // 0 after the main loop ended, -1 when start-up stopped, 123 for a second instance.
    int Initialize();
    void Finalize(int initResult);

    // The milliseconds the tutor waits after pausing the meter; tests shorten it.
    static void SetMeterPauseMs(int ms);

    // What start-up asks of the screen; tests give their own.
    struct ScreenFacts {
        int width = 0;            // the whole screen, pixels
        int availableHeight = 0;  // the work area
        int depth = 24;           // bits per pixel
    };
    static void SetScreenFactsSource(std::function<ScreenFacts()> source);
    // How long the splash stays (2.5 s), and a look at it while it is shown (tests).
    static void SetSplashMs(int ms);
    static void SetSplashShownHook(std::function<void(QWidget& splash)> hook);
    // "My Documents", where an earlier version kept its users in "Corvella7".
    static void SetDocumentsFolder(std::string folder);

  private:
    bool Login();
    void ShowPendingMessages();
    void CheckAssignedTest();
    void Uninstall();
    void HandleMessage(unsigned message, long long wParam);

    struct State;
    std::unique_ptr<State> s_;
};

class TMain {
  public:
    TMain(TBookFormEx& window, TLoginViewStg* loginStorage);
    // Reads the command line, starts up, runs the sections, shuts down; the exit code.
    int Run(const std::vector<std::string>& args);
    void BuildMenu();
    void MainLoop();

  private:
    TBookFormEx& window_;
    TLoginViewStg* loginStorage_;
    CommandLine commandLine_;
    bool menuBuilt_ = false;
    int runningTitle_ = 0;  // the title string of the section that runs
};

}  // namespace corv
