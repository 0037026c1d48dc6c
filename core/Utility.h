#pragma once
// Small stateless helpers shared by both programs: time texts, character filters, address
// coding, the week number, sounds, a few desktop operations and the progress box.
// One-character case mapping is in core/Cp1252.h (fixed code-page tables).

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/UserInterface.h"

namespace corv {

// --- Time texts (whole minutes or seconds; the unit words are language strings) ---

// "2 h 15 min" style: hours only from 60 minutes on.
std::string MinutesText(int minutes);
// "m:ss" + suffix; a negative seconds part shows as 0.
std::string ClockText(int seconds, std::string_view suffix);
// As ClockText with the seconds rounded to the nearest 10 (halves up).
std::string RoundedClockText(int seconds, std::string_view suffix);
// "m:ss" + the minutes unit.
std::string SecondsText(int seconds);
// "5,10,15" -> each item with the minutes unit.
std::vector<std::string> MinutesList(std::string_view text);

// --- Text operations ---

// The text when it has at most n characters, else its first n and "...".
std::string Shorten(std::string_view text, int n);
std::string KeepChars(std::string_view text, std::string_view set);
std::string DropChars(std::string_view text, std::string_view set);
std::string DropSemicolons(std::string_view text);
std::string DropAmpersands(std::string_view text);
// Characters in `allowed` stay, every other becomes "%" and two upper-case hex digits.
std::string PercentEncode(std::string_view text, std::string_view allowed);
// "%" and two hex digits become that byte; any other "%" stays.
std::string PercentDecode(std::string_view text);

// --- Week number (Monday starts a week; 1 January is in week 1) ---

int WeekNumber(int year, unsigned month, unsigned day);
int WeekNumberOfToday();

// --- Sounds: five slots, played asynchronously by file name ---

enum SoundSlot {
    kSoundClick = 1,
    kSoundTheEnd = 2,
    kSoundError = 3,
    kSoundError2 = 4,
    kSoundIntro = 5
};
constexpr int kSoundSlots = 5;

void SetSound(int slot, std::string file);
void ClearSound(int slot);
const std::string& SoundFile(int slot);
// Plays unless sounds are off, an earlier play failed (the process then stays silent),
// the file is missing, or another sound is still playing.
void PlaySound(int slot);
void SetSoundsOn(bool on);
bool SoundsOn();
bool SoundsFailed();
// Back to the start: default files, sounds on, not failed.
void ResetSounds();

// --- Desktop operations (through the registered user interface) ---

bool BringToFront(ui::WindowRef window);
bool CloseProgramWindow(const std::string& windowClass, const std::string& title);
bool OpenAddress(const std::string& address);
bool RunProgram(const std::string& program, const std::string& parameters,
                const std::string& folder);
void AllowMessage(unsigned message);

// --- Identity and folders ---

// The account's full name when the system has one, else the log-on name.
std::string UserDisplayName();
// The user's data folder, a folder shared by all users, and the web cache folder; each
// without a trailing slash.
std::string UserAppDataFolder();
std::string CommonAppDataFolder();
std::string InternetCacheFolder();

// --- Progress box ---

class TMyMsgForm {
  public:
    static constexpr const char* kDefaultMessage = "Processing database, please wait...";

    TMyMsgForm() = default;
    ~TMyMsgForm();
    TMyMsgForm(const TMyMsgForm&) = delete;
    TMyMsgForm& operator=(const TMyMsgForm&) = delete;

    void SetCaption(std::string caption);
    void SetMessage(std::string message);
    void SetMin(int min);
    void SetMax(int max);
    // Kept within min and max.
    void SetPosition(int position);
    void Show();
    void Hide();

    const std::string& Caption() const { return caption_; }
    const std::string& Message() const { return message_; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    bool Visible() const { return visible_; }

  private:
    void PushRange();

    std::string caption_;
    std::string message_ = kDefaultMessage;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    bool visible_ = false;
    std::unique_ptr<ui::ProgressView> view_;
};

}  // namespace corv
