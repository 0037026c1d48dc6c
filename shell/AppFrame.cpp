#include "shell/AppFrame.h"

#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <exception>

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "core/Utility.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "engine/analysis/Analyzer.h"
#include "engine/analysis/Scores.h"
#include "meter/ipc/Ipc.h"
#include "meter/ipc/Protocol.h"
#include "platform/Identity.h"
#include "platform/KeyboardToggles.h"
#include "platform/qt/QtText.h"
#include "shell/StartupSteps.h"
#include "shell/login/LoginView.h"
#include "version/BuildVersion.h"
#include "views/BookForm.h"
#include "views/FormView.h"

namespace corv {
namespace {

std::map<std::string, Section>& Sections() {
    static std::map<std::string, Section> sections;
    return sections;
}

ProductInfo& MutableProduct() {
    static ProductInfo info{"", build_version::kVersion, build_version::kBuild,
                            build_version::kDate, build_version::kYear};
    return info;
}

// The longest wait for the meter's answer to DISABLE (10 x 10^-5 day, as the protocol's
// other time-outs).
int& MeterPauseMs() {
    static int ms = 8640;
    return ms;
}

// The window's captions in the current language; in screenshot mode the caption says so.
void ApplyCaptions(TBookFormEx& window, const CommandLine& cmd) {
    window.ApplyCaptions();
    if (cmd.screenshotMode) window.setWindowTitle("SCREENSHOTMODE");
}

void Say(const std::string& text, const std::string& caption, ui::Icon icon,
         std::vector<int> ids = {}) {
    ui::Message(text, caption, icon, ui::Buttons::kOk, std::move(ids));
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine c;
    c.none = args.empty();
    auto is = [](const std::string& a, const char* b) { return EqualsNoCase(a, b); };
    if (args.size() == 1) {
        const std::string& a = args[0];
        if (is(a, "/TYPETEST"))
            c.typeTest = true;
        else if (is(a, "/TYPETEST2"))
            c.typeTest2 = true;
        else if (is(a, "/UNINSTALL"))
            c.uninstall = true;
        else if (is(a, "/VANTOR"))
            c.firstSection = "Vantor";
        else if (is(a, "/STATISTICS"))
            c.firstSection = "VantorStatistics";
        else if (is(a, "/SCREENSHOTMODE"))
            c.screenshotMode = true;
    } else if (args.size() == 2 && is(args[0], "/NOMUTEX")) {
        c.noMutex = true;
        c.workstationName = args[1];
    }
    return c;
}

void RegisterSection(const std::string& name, Section section) {
    Sections()[name] = std::move(section);
}

void UnregisterSection(const std::string& name) {
    Sections().erase(name);
}

const Section* FindSection(const std::string& name) {
    auto it = Sections().find(name);
    return it == Sections().end() ? nullptr : &it->second;
}

const ProductInfo& Product() {
    return MutableProduct();
}

namespace {
std::function<void()>& LanguageChangedHook() {
    static std::function<void()> hook;
    return hook;
}
}  // namespace

void SetLanguageChangedHook(std::function<void()> hook) {
    LanguageChangedHook() = std::move(hook);
}

void AnnounceLanguageChange() {
    if (LanguageChangedHook()) LanguageChangedHook()();
}

void ApplyWindowSize(TBookFormEx& window) {
    TDynamicSettings* ws = CorvSettings::Workstation();
    QScreen* screen = window.screen();
    // Without a screen to fill (offscreen tests) the window keeps its size.
    if (!ws || !screen || QApplication::platformName() == "offscreen") return;
    if (screen->availableGeometry().height() > 720 && ws->GetInteger("FullScreen") != 1)
        window.showMaximized();
    else if (window.isMaximized())
        window.showNormal();
}

void TAppFrame::SetMeterPauseMs(int ms) {
    MeterPauseMs() = ms;
}

// ---------------------------------------------------------------------------------------

struct TAppFrame::State {
    State(TBookFormEx& w, TLoginViewStg* login, CommandLine c)
        : window(w), loginStorage(login), cmd(std::move(c)) {}
    TBookFormEx& window;
    TLoginViewStg* loginStorage;
    CommandLine cmd;
    std::unique_ptr<ipc::NamedMutex> mutex;
    std::unique_ptr<ipc::MessageWindow> messageWindow;
    std::unique_ptr<QSocketNotifier> notifier;
    bool languageLoaded = false;
    bool analysisCreated = false;
    unsigned bringFront = 0;
    std::string caption;
    std::string workstation;
};

TAppFrame::TAppFrame(TBookFormEx& window, TLoginViewStg* loginStorage, CommandLine commandLine)
    : s_(std::make_unique<State>(window, loginStorage, std::move(commandLine))) {}

TAppFrame::~TAppFrame() = default;

int TAppFrame::Run() {
    int rc = -1;
    try {
        rc = Initialize();
    } catch (const std::exception& e) {
        ReportError(-4000, std::string("System Error occured: ") + e.what());
    }
    try {
        Finalize(rc);
    } catch (const std::exception& e) {
        ReportError(-4001, std::string("System Error occured: ") + e.what());
    }
    return rc;
}

void TAppFrame::HandleMessage(unsigned message, long long wParam) {
    if (message != s_->bringFront) return;
    std::fprintf(stderr, "%s\n",
                 wParam == 2 ? "WM_BringFront received from hollin"
                             : "WM_BringFront received from other Corv2001 instance");
    QWidget& w = s_->window;
    if (w.isMinimized()) w.showNormal();
    w.raise();
    w.activateWindow();
}

void TAppFrame::Uninstall() {
    QApplication::setApplicationName("Uninstalling Corvella");
    s_->window.setWindowTitle(ToQt(Str(1867)));
    s_->window.showMinimized();
    for (auto [cls, title] : {std::pair<std::string, std::string>{"", protocol::kMeterWindow},
                              {protocol::kTutorClass, Str(1)}}) {
        // Asked to end as at log-off, so both programs save what they hold.
        ipc::PostMessage(cls, title, ipc::kWmQueryEndSession, 0, 0);
        ipc::PostMessage(cls, title, ipc::kWmEndSession, 1, 0);
        ipc::PostMessage(cls, title, ipc::kWmClose, 0, 0);
    }
}

int TAppFrame::Initialize() {
    State& s = *s_;
    // 1. The program's own folder first: the language files lie beside the program.
    const std::string programFolder = TProgramSettings::ProgramFolder();
    if (::chdir(programFolder.c_str()) != 0) return -1;

    // 2. Language.
    int loaded = -1;
    try {
        loaded = Localization().Load(CorvSettings::LanguageFileBase());
    } catch (const LocalizeError&) {
        loaded = -1;
    }
    if (loaded != 0) {
        Say("Required resource Language.Eng not found", CorvSettings::LanguageFileBase(),
            ui::Icon::kError);
        return -1;
    }
    s.languageLoaded = true;

    // 3. Titles and captions.
    MutableProduct().title = s.cmd.typeTest ? "Corvella Typing Test" : Str(2);
    if (s.cmd.typeTest) {
        Localization().SetString(1, "Corvella Typing Test");
        Localization().SetString(2, "Corvella Typing Test");
    }
    MutableProduct().typeTest = s.cmd.typeTest;
    QApplication::setApplicationName(ToQt(Product().title));
    ApplyCaptions(s.window, s.cmd);
    s.caption = Str(1);

    // 4. Messages the tutor accepts.
    s.bringFront = ipc::RegisterMessage(protocol::kBringFront);
    ui::Windows().AllowMessage(s.bringFront);
    ui::Windows().AllowMessage(ipc::RegisterMessage(protocol::kDisable));

    // 5. Uninstall mode.
    if (s.cmd.uninstall) {
        Uninstall();
        return -1;
    }

    // 6. One tutor at a time.
    if (!s.cmd.noMutex) {
        bool exists = false;
        s.mutex = ipc::NamedMutex::Create(protocol::kTutorMutex, exists);
        if (exists) {
            s.window.setWindowTitle(ToQt(s.caption + "2nd"));
            ipc::PostMessage(protocol::kTutorClass, s.caption, s.bringFront, 1, 0);
            return 123;
        }
    }
    s.messageWindow = ipc::MessageWindow::Create(protocol::kTutorClass, s.caption);
    if (s.messageWindow) {
        s.notifier =
            std::make_unique<QSocketNotifier>(s.messageWindow->Fd(), QSocketNotifier::Read);
        QObject::connect(s.notifier.get(), &QSocketNotifier::activated, [this] {
            s_->messageWindow->ReceivePending(
                [this](const ipc::Message& m) { HandleMessage(m.message, m.wParam); });
        });
    }

    // 7. Folders.
    InstallKeyboardLayoutSources();
    SetErrorReportVersion(Product().version, Product().build, Product().year, Product().buildDate);
    SetProgramSettings(TProgramSettings::Create(""));
    TProgramSettings* ps = ProgramSettings();
    if (!ps) return -1;
    SetErrorLogFolder(ps->databaseFolder);
    if (::chdir(ps->rootFolder.c_str()) != 0) return -1;

    // 8. The meter pauses while the tutor runs; its user's files are opened only once it
    // says they are saved and released.
    if (ipc::FindWindow("", protocol::kMeterWindow)) {
        auto reply =
            ipc::MessageWindow::Create(ipc::kReplyClass, ipc::ReplyWindowTitle(::getpid()));
        ipc::PostMessage("", protocol::kMeterWindow, ipc::RegisterMessage(protocol::kDisable), 0,
                         0);
        const unsigned disabled = ipc::RegisterMessage(meterprotocol::kDisabled);
        bool answered = false;
        WaitProcessingEvents(MeterPauseMs(), [&] {
            if (reply)
                reply->ReceivePending([&](const ipc::Message& m) {
                    if (m.message == disabled) answered = true;
                });
            return answered || !ipc::FindWindow("", protocol::kMeterWindow);
        });
    }

    // 9. Policy.
    if (!fs::FileExists(ps->rootFolder + "Policy.dyn")) return -1;
    if (!CorvSettings::OpenPolicy(ps->rootFolder))
        Say("Unable to connect the server for loading course policy ERR#2101", Str(1),
            ui::Icon::kError);
    TDynamicSettings* policy = CorvSettings::Policy();
    if (policy) {
        try {
            Localization().SetLanguage(policy->GetText("languagecode"));
        } catch (const LocalizeError& e) {
            ReportError(-1, e.what());
        }
    }

    // 10. Workstation settings.
    std::string workstation = s.cmd.noMutex ? s.cmd.workstationName : TUser::WorkstationName();
    s.workstation = workstation;
    bool opened;
    if (workstation.empty()) {
        Say(Str(376), Str(1), ui::Icon::kWarning, {376, 1});
        opened = CorvSettings::OpenWorkstation("noname.wks", "", 2);
    } else {
        int mode = policy && policy->GetBool("WKSLegacyMode") ? 1 : 2;
        opened = CorvSettings::OpenWorkstation(workstation + ".wk10", ps->databaseFolder, mode);
    }
    if (!opened) {
        ShowWorkstationStopAndExit();
        return -1;
    }
    TDynamicSettings* ws = CorvSettings::Workstation();

    // 11.
    const double now = NowDateTime();
    if (ws->GetReal("InstallDateTime") == 0) ws->SetReal("InstallDateTime", now);
    ws->SetReal("AccessDateTime", now);
    ws->SetText("Version", Product().version + "." + Product().build);
    ws->SetText("RootPath", ps->rootFolder);
    ps->SetTextsFolder();
    SelectDifficultKeys(0);

    // 12. Named word databases and courses must exist.
    if (policy) {
        std::string wizard = policy->GetText("DefaultWizard");
        if (!wizard.empty() && !fs::FileExists(ps->lessonsFolder + wizard + ".wzd"))
            ReportError(-1, "Default Wizard: " + wizard + ".WZD");
        std::string contents = policy->GetText("DefaultContents");
        if (!contents.empty() && !fs::FileExists(ps->lessonsFolder + contents) &&
            !fs::FileExists(ps->lessonsFolder + contents + ".cnt"))
            ReportError(-1, "Default contents: " + contents);
        // 13.
        std::string logo = policy->GetText("MenuLogoFile");
        if (!logo.empty()) s.window.SetMenuLogo(logo);
    }

    // 14. The menu.
    if (OnInitialized) OnInitialized();

    // 15. The window.
    s.window.SetTitle(Str(393));
    s.window.show();
    ApplyWindowSize(s.window);
    if (ws->GetInteger("FullScreen") == 2 && !(policy && policy->GetBool("NoFullScreen")) &&
        !ws->GetBool("DirectXDisable") && CurrentScreenFacts(s.window).width > 800)
        ws->SetInteger("FullScreen", 0);

    // 16. The splash, only when started without parameters.
    if (s.cmd.none) ShowSplash(s.window);

    // 17. Caps Lock off (does nothing without a display).
    if (platform::CapsLockOn()) platform::SetToggle(3, false);

    // 18-19. Few colours, a small screen.
    CheckDisplay(s.window);

    // 20. Sounds and sections.
    ResetSounds();
    SetExitRequested(false);
    SetCurrentSection("");
    if (!s.cmd.firstSection.empty()) SetCurrentSection(s.cmd.firstSection);

    // 21-22. Login.
    if (!Login()) return -1;
    TUser* user = CurrentUser();
    if (!user) {
        Say(Str(394), Str(1), ui::Icon::kError, {394, 1});
        return -1;
    }

    // 23. Bookkeeping.
    if (user->GetInteger("TimesUsed") == 0) user->SetText("NextView", "Vantor");
    user->SetInteger("TimesUsed", user->GetInteger("TimesUsed") + 1);
    user->SetText("Date.LastAccess", ShortDateText(now));
    user->SetReal("Time.LastAccess", now);
    const std::string code = user->GetText("LanguageCode");
    try {
        if (Localization().SetLanguage(code) == 1 && OnInitialized) OnInitialized();
    } catch (const LocalizeError& e) {
        ReportError(-1, e.what());
    }
    CreateAnalysis(TAnalysisProgram::kTutor);
    s.analysisCreated = true;
    Analyzer_SetSource(2);

    // 24. Keyboard layout.
    if (LoadUserLayout(*user) < 0) return -1;

    // 25.
    SetSoundsOn(user->LBool("Sounds", 1));
    if (user->IsVisitor()) {
        Say(Str(179) + "\r\n\r\n" + Str(180) + "\r\n\r\n" + Str(181), Str(1),
            ui::Icon::kInformation, {179, 180, 181, 1});
    } else {
        ws->SetText("LastUser." + platform::LogonName(), user->DisplayName());
    }
    ws->SetText("LastStudent", user->DisplayName());

    // 26.
    if (user->LBool("ThemeSound", 1)) {
        SetSound(kSoundIntro, "Intro.wav");
        PlaySound(kSoundIntro);
    }

    // 27.
    ApplyCaptions(s.window, s.cmd);
    ShowPendingMessages();
    CheckAssignedTest();

    // 28.
    if (OnRun) OnRun();
    return 0;
}

bool TAppFrame::Login() {
    TDynamicSettings* ws = CorvSettings::Workstation();
    TDynamicSettings* policy = CorvSettings::Policy();
    const bool passwords = policy && policy->GetBool("RequirePasswords");
    std::string preselect = ws->GetText("LastUser." + platform::LogonName());

    // Opens an existing user, or creates one only when no file exists: a locked or foreign
    // file must not be replaced by a new user.
    auto openOrCreate = [&](const std::string& name) -> bool {
        try {
            auto user = TUser::OpenExisting(name, false, -1, TUser::kShared);
            if (!user) {
                user = TUser::Create(name);
                user->SaveUser();
                TUser::RebuildIndexes();
            }
            SetCurrentUser(std::move(user));
            return true;
        } catch (const UserError& e) {
            Say(Str(417) + " " + name + " " + Str(418) + "\r\n" + e.what(), Str(1),
                ui::Icon::kError, {417, 418, 1});
            return false;
        }
    };

    // The meter names the log-in the user is for; the plain key of older meters is taken too.
    const std::string ownKey = std::string(meterprotocol::kHandOverKey) + platform::LogonName();
    std::string handedOver = ws->GetText(ownKey);
    if (handedOver.empty()) handedOver = ws->GetText("HollinLogon");
    if (!handedOver.empty()) {
        ws->SetText(ownKey, "");
        ws->SetText("HollinLogon", "");
        // Without passwords the meter's user is taken as it is; with them the name is only
        // offered, so nobody gets in by starting the meter.
        if (!passwords) {
            if (openOrCreate(handedOver)) return true;
        } else {
            preselect = handedOver;
        }
    } else if (policy &&
               (!policy->GetText("AutoLogon").empty() || policy->GetBool("WindowsAutoLogon"))) {
        std::string name = ExpandEnvironment(policy->GetText("AutoLogon")).substr(0, 99);
        if (EqualsNoCase(policy->GetText("AutoLogon"), "%USERNAME%") ||
            policy->GetBool("WindowsAutoLogon"))
            name = UserDisplayName();
        if (!name.empty() && openOrCreate(name)) return true;
    }
    if (preselect.empty()) ImportEarlierUsers(s_->workstation);
    if (!s_->loginStorage) return false;
    s_->window.SetTitle(Str(2));
    return RunLoginView(*s_->loginStorage, preselect) == LoginAnswer::kLoggedOn;
}

void TAppFrame::ShowPendingMessages() {
    TUser* user = CurrentUser();
    if (!user) return;
    if (TDynamicSettings* group = user->Group()) {
        std::string message = group->GetText("Message");
        std::string id = group->GetText("MessageID");
        if (!message.empty() && id != user->GetText("LastGrpMessageID")) {
            Say(Str(542) + "\r\n" + Str(543) + "\r\n" + Str(544) + "\r\n\r\n" + message, Str(1),
                ui::Icon::kInformation, {542, 543, 544, 1});
            user->SetText("LastGrpMessageID", id);
        }
    }
    std::string own = user->GetText("Message");
    if (!own.empty()) {
        Say(Str(542) + "\r\n" + Str(543) + " " + user->DisplayName() + "\r\n\r\n" + own, Str(1),
            ui::Icon::kInformation, {542, 543, 1});
        user->SetText("Message", "");
    }
}

void TAppFrame::CheckAssignedTest() {
    TUser* user = CurrentUser();
    if (!user) return;
    if (user->GetBool("Test.Enabled")) {
        SetCurrentSection("Test");
    } else if (TDynamicSettings* group = user->Group()) {
        if (group->GetBool("Test.Enabled") &&
            group->GetText("Test.ID") != user->GetText("Test.LastGrpTestID"))
            SetCurrentSection("Test");
    }
}

void TAppFrame::Finalize(int initResult) {
    State& s = *s_;
    // Only what start-up got as far as creating is touched.
    if (TDynamicSettings* ws = CorvSettings::Workstation()) ws->SetBool("DirectXDisable", false);
    ResetSounds();
    s.notifier.reset();
    s.messageWindow.reset();

    // The user is saved before the single-instance mutex goes, so a new tutor never reads
    // a half-saved user.
    TProgramSettings* ps = ProgramSettings();
    if (ps && fs::DirectoryExists(ps->databaseFolder)) {
        if (TUser* user = CurrentUser()) user->SaveUser();
        SetCurrentUser(nullptr);
        CorvSettings::CloseAll();
    } else if (ps) {
        if (TDynamicSettings* ws = CorvSettings::Workstation()) ws->File().DiscardChanges();
        if (TUser* user = CurrentUser()) user->File().DiscardChanges();
        SetCurrentUser(nullptr);
        CorvSettings::CloseAll();
        ReportError(-4001, Str(1391));
    }
    if (s.mutex) s.mutex->Release();

    // Waking the meter is the last step, once the user's files are free.
    if (initResult != 123 && ipc::FindWindow("", protocol::kMeterWindow))
        ipc::PostMessage("", protocol::kMeterWindow, ipc::RegisterMessage(protocol::kEnable), 0, 0);

    SetCurrentLayout(nullptr);
    if (s.analysisCreated) FreeAnalysis();
    SetProgramSettings(nullptr);
    SetErrorLogFolder("");
}

// ---------------------------------------------------------------------------------------

TMain::TMain(TBookFormEx& window, TLoginViewStg* loginStorage)
    : window_(window), loginStorage_(loginStorage) {}

int TMain::Run(const std::vector<std::string>& args) {
    commandLine_ = ParseCommandLine(args);
    // Screenshots show the same figures every time.
    SetScreenshotMode(commandLine_.screenshotMode);
    if (commandLine_.screenshotMode) window_.setWindowTitle("SCREENSHOTMODE");
    TAppFrame frame(window_, loginStorage_, commandLine_);
    frame.OnInitialized = [this] { BuildMenu(); };
    frame.OnRun = [this] { MainLoop(); };
    SetLanguageChangedHook([this] {
        BuildMenu();
        ApplyCaptions(window_, commandLine_);
        if (runningTitle_) window_.SetTitle(Localization().String(runningTitle_));
    });
    const int rc = frame.Run();
    SetLanguageChangedHook(nullptr);
    return rc;
}

void TMain::BuildMenu() {
    // Existing buttons keep their place; a rebuild only changes captions.
    struct Entry {
        const char* name;
        int caption;
    };
    // Str(258) Str(555) Str(556) Str(557) Str(558) Str(559) Str(560) Str(561)
    static const Entry kEntries[] = {{"Studying", 258}, {"Vantor", 558}, {"Review", 555},
                                     {"Test", 556},     {"Games", 557},  {"Statistics", 559}};
    static const Entry kAfterGap[] = {{"Settings", 560}, {"Info", 561}};
    TDynamicSettings* policy = CorvSettings::Policy();
    auto hidden = [&](const std::string& name) {
        if (!FindSection(name)) return true;
        if (!policy) return false;
        if (name == "Test") return policy->GetBool("hidetypetestmenu");
        if (name == "Games") return policy->GetBool("Games.Hide");
        if (name == "Vantor") return policy->GetBool("Quillon.Hide");
        return false;
    };
    for (const Entry& e : kEntries)
        if (!hidden(e.name)) window_.AddMenuButton(e.name, Localization().String(e.caption));
    if (!menuBuilt_) window_.AddMenuGap();
    for (const Entry& e : kAfterGap)
        if (!hidden(e.name)) window_.AddMenuButton(e.name, Localization().String(e.caption));
    menuBuilt_ = true;
}

void TMain::MainLoop() {
    // The default is studying; a build without it starts with its first section.
    std::string fallback = commandLine_.typeTest || commandLine_.typeTest2 ? "Test" : "Studying";
    if (!FindSection(fallback)) {
        for (const char* name : {"Studying", "Courses", "Test", "Statistics", "Settings", "Info"})
            if (FindSection(name)) {
                fallback = name;
                break;
            }
    }
    while (!ExitRequested()) {
        std::string name = CurrentSection();
        if (name.empty()) name = fallback;
        if (name == "VantorStatistics") name = "Vantor";
        window_.HighlightSection(name);
        const Section* section = FindSection(name);
        SetCurrentSection("");
        if (!section) {
            // A section this build lacks runs nothing; when even the default is missing
            // there is nothing to run at all.
            if (name == fallback) break;
            continue;
        }
        window_.SetTitle(Localization().String(section->titleString));
        runningTitle_ = section->titleString;
        const std::string code = TLocalize::CurrentCode();
        const SectionResult next = section->run ? section->run() : SectionResult::kStay;
        runningTitle_ = 0;
        // A section that changed the language without saying so still gets its menu.
        if (TLocalize::CurrentCode() != code) {
            BuildMenu();
            ApplyCaptions(window_, commandLine_);
        }
        if (next == SectionResult::kMeter)
            SetCurrentSection("Vantor");
        else if (next == SectionResult::kSettings)
            SetCurrentSection("Settings");
        else if (next == SectionResult::kStatistics)
            SetCurrentSection("Statistics");
        window_.ShowBook();
    }
}

}  // namespace corv
