#include "core/Utility.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/TextUtil.h"

namespace corv {

// --- Time texts ---

std::string MinutesText(int minutes) {
    std::string text = std::to_string(minutes % 60) + Str(372);
    if (minutes >= 60) text = std::to_string(minutes / 60) + " h " + text;
    return text;
}

namespace {
std::string Clock(int minutes, int seconds) {
    if (seconds < 0) seconds = 0;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%1.1d:%2.2d", minutes, seconds);
    return buffer;
}
}  // namespace

std::string ClockText(int seconds, std::string_view suffix) {
    return Clock(seconds / 60, seconds % 60) + std::string(suffix);
}

std::string RoundedClockText(int seconds, std::string_view suffix) {
    int minutes = seconds / 60;
    int rest = seconds % 60;
    if (rest > 0) rest = (rest + 5) / 10 * 10;
    if (rest >= 60) {
        ++minutes;
        rest -= 60;
    }
    return Clock(minutes, rest) + std::string(suffix);
}

std::string SecondsText(int seconds) {
    return Clock(seconds / 60, seconds % 60) + Str(374);
}

std::vector<std::string> MinutesList(std::string_view text) {
    std::vector<std::string> items;
    const std::string unit = Str(372);
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        std::string item = TrimBlanks(text.substr(start, comma - start));
        if (!item.empty()) items.push_back(item + unit);
        start = comma + 1;
    }
    return items;
}

// --- Text operations ---

std::string Shorten(std::string_view text, int n) {
    if (n < 0) n = 0;
    if (text.size() <= static_cast<size_t>(n)) return std::string(text);
    return std::string(text.substr(0, static_cast<size_t>(n))) + "...";
}

std::string KeepChars(std::string_view text, std::string_view set) {
    std::string out;
    for (char c : text)
        if (set.find(c) != std::string_view::npos) out.push_back(c);
    return out;
}

std::string DropChars(std::string_view text, std::string_view set) {
    std::string out;
    for (char c : text)
        if (set.find(c) == std::string_view::npos) out.push_back(c);
    return out;
}

std::string DropSemicolons(std::string_view text) {
    return DropChars(text, ";");
}
std::string DropAmpersands(std::string_view text) {
    return DropChars(text, "&");
}

std::string PercentEncode(std::string_view text, std::string_view allowed) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (allowed.find(c) != std::string_view::npos) {
            out.push_back(c);
        } else {
            auto b = static_cast<unsigned char>(c);
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        }
    }
    return out;
}

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

// --- Week number ---

int WeekNumber(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    const sys_days date{std::chrono::year{year} / std::chrono::month{month} /
                        std::chrono::day{day}};
    const sys_days newYear{std::chrono::year{year} / January / 1};
    const int b = static_cast<int>((date - newYear).count());
    const int c = (b + 1) % 7;
    const unsigned today = weekday{date}.c_encoding();  // 0 = Sunday
    const int t = today != 0 ? 1 : 0;
    const int firstDay = static_cast<int>(weekday{newYear}.c_encoding()) + 1;  // Sunday = 1
    const int e = firstDay == 1 ? 1 : 9 - firstDay;
    return (b + 1) / 7 + (c - e >= 0 ? 1 : 0) + t;
}

int WeekNumberOfToday() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return WeekNumber(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday));
}

// --- Sounds ---

namespace {
struct SoundState {
    std::array<std::string, kSoundSlots> files;
    bool on = true;
    bool failed = false;
    SoundState() { Defaults(); }
    void Defaults() {
        files = {"Click.wav", "Theend.wav", "Error.wav", "Error2.wav", "Intro.wav"};
        on = true;
        failed = false;
    }
};

SoundState& Sound() {
    static SoundState state;
    return state;
}

bool ValidSlot(int slot) {
    return slot >= 1 && slot <= kSoundSlots;
}
}  // namespace

void SetSound(int slot, std::string file) {
    if (ValidSlot(slot)) Sound().files[static_cast<size_t>(slot - 1)] = std::move(file);
}

void ClearSound(int slot) {
    SetSound(slot, std::string());
}

const std::string& SoundFile(int slot) {
    static const std::string none;
    return ValidSlot(slot) ? Sound().files[static_cast<size_t>(slot - 1)] : none;
}

void PlaySound(int slot) {
    SoundState& s = Sound();
    if (!ValidSlot(slot) || !s.on || s.failed) return;
    const std::string& file = s.files[static_cast<size_t>(slot - 1)];
    if (file.empty()) return;
    std::string path = fs::ResolveCase(file);
    if (!fs::FileExists(path)) return;
    // A busy device skips this sound only; a device that cannot play silences the rest.
    if (ui::Sounds().Play(path) == ui::SoundResult::kFailed) s.failed = true;
}

void SetSoundsOn(bool on) {
    Sound().on = on;
}
bool SoundsOn() {
    return Sound().on;
}
bool SoundsFailed() {
    return Sound().failed;
}
void ResetSounds() {
    Sound().Defaults();
}

// --- Desktop operations ---

bool BringToFront(ui::WindowRef window) {
    return window && ui::Windows().BringToFront(window);
}

bool CloseProgramWindow(const std::string& windowClass, const std::string& title) {
    return ui::Windows().CloseProgramWindow(windowClass, title);
}

bool OpenAddress(const std::string& address) {
    return ui::Shell().OpenAddress(address);
}

bool RunProgram(const std::string& program, const std::string& parameters,
                const std::string& folder) {
    return ui::Shell().Run(program, parameters, folder);
}

void AllowMessage(unsigned message) {
    ui::Windows().AllowMessage(message);
}

// --- Identity and folders ---

namespace {
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeFolder() {
    std::string home = Env("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->pw_dir ? found->pw_dir : "";
    return "";
}

std::string NoTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// An XDG folder from the environment when it is absolute, else home + fallback.
std::string XdgFolder(const char* variable, const char* fallback) {
    std::string value = Env(variable);
    if (!value.empty() && value[0] == '/') return NoTrailingSlash(value);
    return NoTrailingSlash(fs::Join(HomeFolder(), fallback));
}
}  // namespace

std::string UserDisplayName() {
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found) {
        // The full name is the first comma-separated field of the account's comment.
        std::string gecos = found->pw_gecos ? found->pw_gecos : "";
        std::string full = TrimBlanks(gecos.substr(0, gecos.find(',')));
        if (!full.empty()) return full;
        if (found->pw_name && *found->pw_name) return found->pw_name;
    }
    std::string name = Env("USER");
    return name.empty() ? Env("LOGNAME") : name;
}

std::string UserAppDataFolder() {
    return XdgFolder("XDG_DATA_HOME", ".local/share");
}

std::string CommonAppDataFolder() {
    std::string dirs = Env("XDG_DATA_DIRS");
    std::string first = dirs.substr(0, dirs.find(':'));
    if (!first.empty() && first[0] == '/') return NoTrailingSlash(first);
    return "/usr/local/share";
}

std::string InternetCacheFolder() {
    return XdgFolder("XDG_CACHE_HOME", ".cache");
}

// --- Progress box ---

TMyMsgForm::~TMyMsgForm() = default;

void TMyMsgForm::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    if (view_) view_->SetCaption(caption_);
}

void TMyMsgForm::SetMessage(std::string message) {
    message_ = std::move(message);
    if (view_) view_->SetMessage(message_);
}

void TMyMsgForm::SetMin(int min) {
    min_ = min;
    if (max_ < min_) max_ = min_;
    PushRange();
}

void TMyMsgForm::SetMax(int max) {
    max_ = max;
    if (min_ > max_) min_ = max_;
    PushRange();
}

void TMyMsgForm::SetPosition(int position) {
    position_ = position < min_ ? min_ : position > max_ ? max_ : position;
    if (view_) view_->SetPosition(position_);
}

void TMyMsgForm::PushRange() {
    if (position_ < min_) position_ = min_;
    if (position_ > max_) position_ = max_;
    if (view_) {
        view_->SetRange(min_, max_);
        view_->SetPosition(position_);
    }
}

void TMyMsgForm::Show() {
    visible_ = true;
    if (view_) return;
    view_ = ui::Progress().Open();
    if (!view_) return;
    view_->SetCaption(caption_);
    view_->SetMessage(message_);
    view_->SetRange(min_, max_);
    view_->SetPosition(position_);
}

void TMyMsgForm::Hide() {
    visible_ = false;
    view_.reset();
}

}  // namespace corv
