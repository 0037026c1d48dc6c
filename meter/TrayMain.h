#pragma once
// The meter's controller: it keeps one meter per log-in, logs a user on without asking,
// switches measuring on and off, hands the user to the tutor and takes it back, turns the
// hook's key and click events into the day's figures and difficult words, and keeps them
// in the user's files. Plain C++ on the main thread; the program's event loop
// (MeterLoop.h) feeds it messages, input, timers and the end of the session.
//
// The measuring pipeline: CMKeyInfo decides whether a key is a character or a special
// key; CharKeyHit / MonitoredCharHit segment the characters into words and drive the
// typing analysis; every special key, click, window switch and 6 s pause abandons the
// word in progress (CancelAnalyseNow). Words are kept out of the collection while a
// program of the exclusion list or a window asking for a password is active, and nothing
// at all is measured while the screen is locked.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/analysis/Word.h"
#include "meter/MeterShell.h"
#include "meter/hooks/Desktop.h"
#include "meter/hooks/InputHook.h"
#include "meter/hooks/KeyDecoder.h"
#include "meter/ipc/Ipc.h"

namespace corv {
class TUser;
}

namespace corv::meter {

struct TMeterOptions {
    std::vector<std::string> args;  // the command line after the program name
    // Local date-time in days since 30 December 1899; the day roll-over follows it.
    std::function<double()> now;
    std::string tutorProgram = "corvella";  // beside the meter
};

struct TMeterCounters {
    uint64_t totalHits = 0;      // every reported key
    uint64_t monitoredHits = 0;  // characters handed to the analysis
    uint64_t backSpaces = 0;
    uint64_t arrowHits = 0;
    uint64_t mouseClicks = 0;
};

// A window title that asks for a secret (password, passphrase, PIN, unlock).
bool TitleAsksForSecret(const std::string& title);

class TTrayMain {
  public:
    static constexpr int kMinRecordSeconds = 60;  // a day speed record needs a minute
    static constexpr const char* kChangeUser = "\t!!!---!!!";

    TTrayMain(IInputHook& hook, IDesktop& desktop, IMeterShell& shell, TMeterOptions options);
    ~TTrayMain();
    TTrayMain(const TTrayMain&) = delete;
    TTrayMain& operator=(const TTrayMain&) = delete;

    // The single-instance check, the language, the folders, then the log-on decision (or
    // waiting for the tutor). False when the program is to end now.
    bool Start();
    // Saves and releases the user, releases the mutex; runs once.
    void BeforeDestruction();
    bool Ending() const { return ending_; }

    // --- What the event loop hands over ---
    void HandleMessage(const ipc::Message& message);
    void ProcessInput();
    void TypingStopped();  // 6 s without a character
    void Checkpoint();     // the periodic save: nothing measured is lost to a crash
    void DesktopChanged();
    ipc::MessageWindow* Window() const { return window_.get(); }
    TInputQueue& Queue() { return queue_; }

    // --- Enabling and disabling ---
    void EnableNow(const std::string& name);
    std::string DisableNow(const std::string& previous);
    void SetEnabledState(bool on);
    // 0 started (or the tutor runs already), -1 the tutor could not be started.
    int Corv2001Launch(int mode);
    void ReviewClick();
    void StartHook();
    void ShutDown();

    // --- Measuring ---
    void CMKeyInfo(const TKeyInfo& key, uint32_t time);
    void CMMouseClicked(int button);
    void SpecialKeyHit(int vk);
    void CharKeyHit(unsigned char c, uint32_t time);
    void MonitoredCharHit(unsigned char c, int64_t intervalMs);
    void MouseClicked();
    void CancelAnalyseNow(int reason);

    // --- The statistics files ---
    void LoadStatistics(const std::string& name, bool open);
    void SaveStatistics();
    void DailyLoad();
    void DailyStore(int mode);
    void ClearDaily(int weekday);

    bool Enabled() const { return enabled_; }
    bool Hooked() const { return hooked_; }
    bool Initialized() const { return initialized_; }
    const TMeterCounters& Counters() const { return counters_; }
    const std::string& PreviousUser() const { return previousUser_; }
    bool CollectingWords() const;
    bool ScreenLocked() const { return locked_; }
    TWord& Word() { return word_; }

    // Day of week 1 (Sunday) .. 7 of a date-time.
    static int Weekday(double dateTime);

  private:
    void Initialize();
    void ApplyWordSource();
    void NotifyCheck(int reason);
    void WeeklyStore(int date);
    void RestoreDay();
    void WriteCounters(TUser& user);
    void FreeSettings();
    void Terminate();
    std::string ProgramFolder() const;
    std::string LoginKey(const char* key) const;
    int Today() const;

    IInputHook& hook_;
    IDesktop& desktop_;
    IMeterShell& shell_;
    TMeterOptions options_;
    TInputQueue queue_;
    std::vector<TInputEvent> batch_;
    TWord word_;

    std::unique_ptr<ipc::NamedMutex> mutex_;
    std::unique_ptr<ipc::MessageWindow> window_;
    unsigned msgDisable_ = 0, msgEnable_ = 0, msgDisabled_ = 0;

    bool initialized_ = false;
    bool ending_ = false;
    bool hooked_ = false;
    bool enabled_ = false;
    int logOnMode_ = 0;
    std::string previousUser_;
    TMeterCounters counters_;

    // Part of the figures kept for the next program that shows them.
    int infoTop_ = -1, infoLeft_ = -1, infoWidth_ = -1, infoHeight_ = -1, infoVisible_ = 0;
    bool notifyWhenDifficulties_ = false;
    int pagesSetting_ = 0, breakSetting_ = 0;

    // The word in progress.
    std::optional<uint32_t> lastKeyTime_;
    unsigned char lastChar_ = 0;
    int repeatCount_ = 0;
    int charsSinceWordEnd_ = 0;
    int wordsAtLastCancel_ = 0;
    bool deadKeyPending_ = false;

    // The day whose figures are in memory.
    int currentDay_ = 0;   // weekday
    int currentDate_ = 0;  // whole days since 30 December 1899

    // Privacy.
    TActiveWindow activeWindow_;
    bool wordsBlocked_ = false;
    bool locked_ = false;
    bool userNoWords_ = false;
};

}  // namespace corv::meter
