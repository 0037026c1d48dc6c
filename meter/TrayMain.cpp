#include "meter/TrayMain.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "core/Cp1252.h"
#include "core/DateTime.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/UserInterface.h"
#include "data/DifficultKeys.h"
#include "data/ProgramSettings.h"
#include "data/SpyedApps.h"
#include "data/User.h"
#include "engine/analysis/Analyzer.h"
#include "meter/ipc/Protocol.h"
#include "platform/Identity.h"

namespace corv::meter {

TLogOnAnswer TConsoleShell::LogOn(const TLogOnRequest& request) {
    ++logOnAsked;
    std::fprintf(stderr,
                 "hollin: a user must be chosen in the log-on dialog (proposed: \"%s\"), which "
                 "this meter cannot show yet; it waits, disabled.\n",
                 Cp1252ToUtf8(request.defaultName).c_str());
    return {};
}

namespace {

void Say(const std::string& text, const std::string& caption, ui::Icon icon,
         std::vector<int> ids = {}) {
    ui::Message(text, caption, icon, ui::Buttons::kOk, std::move(ids));
}

}  // namespace

TTrayMain::TTrayMain(IInputHook& hook, IDesktop& desktop, IMeterShell& shell, TMeterOptions options)
    : hook_(hook), desktop_(desktop), shell_(shell), options_(std::move(options)) {
    if (!options_.now) options_.now = [] { return NowDateTime(); };
    desktop_.onChanged = [this] { DesktopChanged(); };
}

TTrayMain::~TTrayMain() {
    BeforeDestruction();
    window_.reset();
    desktop_.onChanged = nullptr;
    if (AnalysisCreated()) FreeAnalysis();
}

std::string TTrayMain::ProgramFolder() const {
    return TProgramSettings::ProgramFolder();
}

std::string TTrayMain::LoginKey(const char* key) const {
    return std::string(key) + "." + platform::LogonName();
}

int TTrayMain::Today() const {
    return static_cast<int>(std::floor(options_.now()));
}

int TTrayMain::Weekday(double dateTime) {
    const auto day = static_cast<long long>(std::floor(dateTime));
    return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

void TTrayMain::Terminate() {
    BeforeDestruction();
    shell_.Quit();
}

// ---------------------------------------------------------------------------------------
// Start and end

bool TTrayMain::Start() {
    // One meter per log-in: a second one wakes the first and ends.
    bool exists = false;
    mutex_ = ipc::NamedMutex::Create(meterprotocol::kMeterMutex, exists);
    if (exists) {
        ipc::PostMessage("", meterprotocol::kMeterWindow,
                         ipc::RegisterMessage(meterprotocol::kEnable), 2, 0);
        return false;
    }
    // The language lies beside the program; without it the product has been removed.
    if (::chdir(ProgramFolder().c_str()) != 0) return false;
    int loaded = -1;
    try {
        loaded = Localization().Load(CorvSettings::LanguageFileBase());
    } catch (const LocalizeError&) {
        loaded = -1;
    }
    if (loaded != 0) {
        Say("Wendro uninstallation done.", "Wendro", ui::Icon::kInformation);
        TUser::RemoveLaunchAtStartup();
        return false;
    }
    window_ = ipc::MessageWindow::Create("", meterprotocol::kMeterWindow);
    Initialize();
    return initialized_ && !ending_;
}

void TTrayMain::Initialize() {
    if (initialized_) {
        Say("Init called twice #2222", Str(1287), ui::Icon::kWarning, {1287});
        return;
    }
    lastChar_ = 0;
    repeatCount_ = 0;
    charsSinceWordEnd_ = 0;
    previousUser_.clear();
    deadKeyPending_ = false;
    initialized_ = true;
    SelectDifficultKeys(1);  // the meter keeps its own table

    SetProgramSettings(TProgramSettings::Create(""));
    TProgramSettings* ps = ProgramSettings();
    if (!ps || !fs::DirectoryExists(ps->rootFolder)) {
        ending_ = true;
        return;
    }
    msgDisable_ = ipc::RegisterMessage(meterprotocol::kDisable);
    msgEnable_ = ipc::RegisterMessage(meterprotocol::kEnable);
    msgDisabled_ = ipc::RegisterMessage(meterprotocol::kDisabled);
    for (const char* name :
         {meterprotocol::kNewMonApp, meterprotocol::kDisable, meterprotocol::kEnable,
          meterprotocol::kSendKeyInfo, meterprotocol::kMouseClicked, meterprotocol::kSendWordHdr,
          meterprotocol::kSendWordData, meterprotocol::kBringFront})
        ui::Windows().AllowMessage(ipc::RegisterMessage(name));
    if (::chdir(ProgramFolder().c_str()) != 0) {
        ending_ = true;
        return;
    }
    counters_ = {};
    lastKeyTime_.reset();
    infoTop_ = infoLeft_ = infoWidth_ = infoHeight_ = -1;
    infoVisible_ = 0;

    CreateAnalysis(TAnalysisProgram::kMeter);
    SetWordCollector(&word_);
    Analysis().DeviationCalc().Reset();
    activeWindow_ = desktop_.ActiveWindow();
    locked_ = desktop_.ScreenLocked();

    if (ipc::NamedMutex::IsHeld(meterprotocol::kTutorMutex)) {
        SetEnabledState(false);
        previousUser_.clear();
        std::fprintf(stderr, "hollin: Corvella is running; measuring starts when it ends.\n");
        return;
    }
    EnableNow("");
}

void TTrayMain::BeforeDestruction() {
    if (!initialized_) return;
    initialized_ = false;
    if (enabled_) {
        DisableNow("");
        SetEnabledState(false);
    }
    FreeSettings();
    ShutDown();
    // The window goes with the controller: this may run inside its own message handling.
    if (mutex_) mutex_->Release();
    ending_ = true;
}

void TTrayMain::FreeSettings() {
    CorvSettings::CloseAll();
}

// ---------------------------------------------------------------------------------------
// Messages

void TTrayMain::HandleMessage(const ipc::Message& m) {
    if (!initialized_) return;
    if (m.message == msgDisable_) {
        previousUser_ = DisableNow(previousUser_);
        // The answer comes only now, with the user's files saved and released.
        if (m.sender > 0)
            ipc::PostMessage(ipc::kReplyClass, ipc::ReplyWindowTitle(m.sender), msgDisabled_, 0, 0);
    } else if (m.message == msgEnable_) {
        EnableNow(previousUser_);
    } else if (m.message == ipc::kWmClose || (m.message == ipc::kWmEndSession && m.wParam != 0)) {
        Terminate();
    }
    // The key and click messages of other processes are not taken: keys come from the
    // hook alone, so no program can type into the figures.
}

void TTrayMain::ProcessInput() {
    // A window switch that arrived with these keys must count before them.
    desktop_.Dispatch();
    queue_.TakeAll(batch_);
    for (const TInputEvent& e : batch_) {
        if (e.kind == TInputEvent::Kind::kButtonDown) {
            if (hooked_ && !locked_) CMMouseClicked(e.code);
            continue;
        }
        const TKeyInfo key = desktop_.Decoder().Feed(e);
        if (hooked_ && !locked_ && e.kind == TInputEvent::Kind::kKeyDown) CMKeyInfo(key, e.time);
    }
}

void TTrayMain::TypingStopped() {
    if (enabled_) CancelAnalyseNow(2);
}

// ---------------------------------------------------------------------------------------
// Enabling

void TTrayMain::EnableNow(const std::string& givenName) {
    if (!initialized_ || ending_) return;
    const bool nameGiven = !givenName.empty();
    std::string name = givenName;
    bool forced = false;
    if (name == kChangeUser) {
        name.clear();
        forced = true;
    }
    bool openUser = true;
    if (enabled_) return;

    TProgramSettings* ps = ProgramSettings();
    const std::string login = platform::LogonName();
    const std::string workstation = TUser::WorkstationName();
    bool opened;
    if (workstation.empty()) {
        Say("This workstation does not have a name!", Str(1), ui::Icon::kWarning, {1});
        opened = CorvSettings::OpenWorkstation("noname.wk10", ps->databaseFolder, 1);
    } else {
        opened = CorvSettings::OpenWorkstation(workstation + ".wk10", ps->databaseFolder, 1);
    }
    TDynamicSettings* ws = opened ? CorvSettings::Workstation() : nullptr;
    if (!ws) {
        Say(Str(1379), Str(1), ui::Icon::kWarning, {1379, 1});
        SetEnabledState(false);
        return;
    }
    if (!CorvSettings::OpenPolicy(ps->rootFolder)) {
        FreeSettings();
        Terminate();
        return;
    }
    TDynamicSettings* policy = CorvSettings::Policy();
    if (policy->GetBool("Quillon.Hide")) {
        Say("Vantor has been removed.", "Vantor", ui::Icon::kInformation);
        TUser::RemoveLaunchAtStartup();
        FreeSettings();
        Terminate();
        return;
    }
    logOnMode_ = 0;

    const std::string meterPath = ProgramFolder() + "hollin";
    const bool install = options_.args.size() == 1 && ToUpper(options_.args[0]) == "/INST";
    std::unique_ptr<TUser> user;
    try {
        if (install) {
            ws->SetBool(LoginKey("VantorInit"), true);
            ws->SetText(LoginKey("SelectedUser"), login);
            ws->SetBool(LoginKey("UseSelectedUser"), true);
            ws->SetBool(LoginKey("LaunchAtStartup"), true);
            TUser::LaunchAtStartupFor(meterPath);
            name = login;
            ws->Save();
            user = TUser::OpenExisting(login, false, -1, TUser::kExclusive);
            if (!user) user = TUser::Create(login);
            name = user->GetText("Username");
            user->SaveUser();
            openUser = false;
            ws->SetText(LoginKey("LastUser"), name);
            ws->SetText(LoginKey("SelectedUser"), name);
            ws->SetBool(LoginKey("UseSelectedUser"), true);
        } else if (name.empty()) {
            if (ws->GetBool(LoginKey("UseSelectedUser"))) {
                name = ws->GetText(LoginKey("SelectedUser"));
                ws->SetText(LoginKey("LastUser"), name);
            }
            if (forced) {
                name.clear();
                logOnMode_ = 1;
            }
            if (!options_.args.empty() && ToUpper(options_.args[0]) == "/AUTOLOGON" && !forced)
                name = ws->GetText(LoginKey("LastUser"));
            if (name.empty()) {
                SetEnabledState(false);
                TLogOnRequest request;
                request.nameGiven = nameGiven;
                request.defaultName = ws->GetText(LoginKey("LastUser"));
                if (request.defaultName.empty()) {
                    request.defaultName = login;
                    request.skipNewUserQuestion = true;
                }
                TLogOnAnswer answer = shell_.LogOn(request);
                if (answer.result != TLogOnAnswer::Result::kOk || !answer.user) {
                    // Nobody to measure for: the meter waits, holding no file.
                    const bool cancelled = answer.result == TLogOnAnswer::Result::kCancel;
                    if (cancelled && logOnMode_ != 1 && answer.dontShowAgain) {
                        ws->SetBool(LoginKey("LaunchAtStartup"), false);
                        TUser::LaunchAtStartupFor(meterPath);
                    }
                    FreeSettings();
                    if (cancelled && logOnMode_ != 1) Terminate();
                    return;
                }
                user = std::move(answer.user);
                name = user->GetText("Username");
                user->SaveUser();
                openUser = false;
                ws->SetText(LoginKey("LastUser"), name);
                if (answer.dontShowAgain) {
                    ws->SetText(LoginKey("SelectedUser"), name);
                    ws->SetBool(LoginKey("UseSelectedUser"), true);
                }
            }
        }
        if (user) SetCurrentUser(std::move(user));
        LoadStatistics(name, openUser);
    } catch (const std::exception& e) {
        Say(Str(1286) + " " + name + Str(1285) + "\r\n" + e.what(), Str(1287), ui::Icon::kError,
            {1286, 1285, 1287});
        SetCurrentUser(nullptr);
        FreeSettings();
        SetEnabledState(false);
        return;
    }

    TUser* current = CurrentUser();
    if (policy->GetBool("DoNotCollectWords")) current->SetBool("DoNotCollectWords", true);
    userNoWords_ = current->GetBool("DoNotCollectWords");
    DesktopChanged();
    ApplyWordSource();
    StartHook();
    SetEnabledState(true);
}

std::string TTrayMain::DisableNow(const std::string& previous) {
    std::string result = previous;
    if (!enabled_) return result;
    TProgramSettings* ps = ProgramSettings();
    if (ps && fs::DirectoryExists(ps->databaseFolder)) {
        if (TUser* user = CurrentUser()) result = user->GetText("Username");
        SaveStatistics();
        FreeSettings();
        SetEnabledState(false);
        ShutDown();
    } else {
        Say(Str(1379), Str(1), ui::Icon::kWarning, {1379, 1});
        ShutDown();
        // What cannot be saved is dropped, never written half.
        if (TUser* user = CurrentUser()) user->File().DiscardChanges();
        SetCurrentUser(nullptr);
        if (TDynamicSettings* ws = CorvSettings::Workstation()) ws->File().DiscardChanges();
        FreeSettings();
        SetEnabledState(false);
        Terminate();
    }
    return result;
}

void TTrayMain::SetEnabledState(bool on) {
    enabled_ = on;
    shell_.SetTrayState(on ? TTrayState::kIdle : TTrayState::kDisabled);
}

int TTrayMain::Corv2001Launch(int mode) {
    if (ipc::NamedMutex::IsHeld(meterprotocol::kTutorMutex)) return 0;
    const std::string parameters = mode == 1 ? "/VANTOR" : mode == 2 ? "/STATISTICS" : "";
    const std::string handOver = std::string(meterprotocol::kHandOverKey) + platform::LogonName();
    bool handedOver = false;
    if (TUser* user = CurrentUser()) {
        if (TDynamicSettings* ws = CorvSettings::Workstation()) {
            ws->SetText(handOver, user->GetText("Username"));
            handedOver = true;
        }
        previousUser_ = DisableNow(previousUser_);
    }
    int result = 0;
    const std::string program = ProgramFolder() + options_.tutorProgram;
    if (!fs::FileExists(program) || !ui::Shell().Run(program, parameters, ProgramFolder())) {
        Say("Application main module not found: " + options_.tutorProgram, Str(1287),
            ui::Icon::kError, {1287});
        result = -1;
        // Nobody will take the user: the key must not hand it to a later tutor.
        if (handedOver) {
            TProgramSettings* ps = ProgramSettings();
            TDynamicSettings ws;
            if (ps && ws.Open(ps->databaseFolder + TUser::WorkstationName() + ".wk10", 1) == 1 &&
                ws.LoadNow() == 1) {
                ws.SetText(handOver, "");
                ws.Save();
            }
        }
    }
    previousUser_ = DisableNow(previousUser_);
    return result;
}

void TTrayMain::ReviewClick() {
    if (enabled_) Corv2001Launch(1);
}

void TTrayMain::StartHook() {
    if (hooked_) return;
    hooked_ = true;
    desktop_.SyncKeyboard();
    if (!hook_.Start(queue_))
        std::fprintf(stderr, "hollin: the keyboard and mouse cannot be watched.\n");
}

void TTrayMain::ShutDown() {
    if (!hooked_) return;
    hooked_ = false;
    hook_.Stop();
    // Keys still queued belong to the time before the stop.
    queue_.TakeAll(batch_);
    batch_.clear();
}

}  // namespace corv::meter
