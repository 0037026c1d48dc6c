// The measuring half of the controller: decoding keys, segmenting the typing into words,
// the privacy rules.

#include <algorithm>
#include <cctype>
#include <string_view>

#include "core/Cp1252.h"
#include "data/SpyedApps.h"
#include "data/User.h"
#include "engine/analysis/AnalysisClock.h"
#include "engine/analysis/Analyzer.h"
#include "meter/TrayMain.h"

namespace corv::meter {
namespace {

constexpr int32_t kMeterSource = 1;
constexpr int32_t kNoWords = 100;

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// `word` as a whole word of the lower-cased title.
bool HasWord(const std::string& title, std::string_view word) {
    for (size_t at = title.find(word); at != std::string::npos; at = title.find(word, at + 1)) {
        const bool startOk = at == 0 || !IsLetter(title[at - 1]);
        const size_t end = at + word.size();
        const bool endOk = end >= title.size() || !IsLetter(title[end]);
        if (startOk && endOk) return true;
    }
    return false;
}

}  // namespace

bool TitleAsksForSecret(const std::string& title) {
    const std::string t = ToLower(title);
    // Parts of words: "Password:", "Enter passphrase for key", "Passwort eingeben" ...
    static const char* const kParts[] = {"password",
                                         "passphrase",
                                         "passwort",
                                         "kennwort",
                                         "mot de passe",
                                         "contrase\xF1"
                                         "a",
                                         "senha",
                                         "wachtwoord",
                                         "salasana",
                                         "l\xF6senord",
                                         "adgangskode",
                                         "has\xB3o",
                                         "heslo",
                                         "jelsz\xF3",
                                         "parola",
                                         "unlock",
                                         "authenticat",
                                         "credential",
                                         "secret"};
    for (const char* p : kParts)
        if (t.find(p) != std::string::npos) return true;
    return HasWord(t, "pin") || HasWord(t, "passcode") || HasWord(t, "passord");
}

bool TTrayMain::CollectingWords() const {
    return CollectWords();
}

void TTrayMain::ApplyWordSource() {
    Analyzer_SetSource(userNoWords_ || wordsBlocked_ ? kNoWords : kMeterSource);
}

void TTrayMain::DesktopChanged() {
    const TActiveWindow window = desktop_.ActiveWindow();
    const bool locked = desktop_.ScreenLocked() || IsScreenLocker(window.program);
    TSpyedApps* apps = MonitoredApps();
    wordsBlocked_ = locked || TitleAsksForSecret(window.title) ||
                    (apps && !window.program.empty() && apps->Excludes(window.program));
    const bool changed = !(window == activeWindow_) || locked != locked_;
    activeWindow_ = window;
    locked_ = locked;
    // A switch abandons the word in progress: its end belongs to another window.
    if (changed && enabled_) CancelAnalyseNow(1);
    if (enabled_) ApplyWordSource();
}

// ---------------------------------------------------------------------------------------
// Decoding

void TTrayMain::CMKeyInfo(const TKeyInfo& key, uint32_t time) {
    if (!key.report) return;
    if (key.ctrl || key.altGr) {
        SpecialKeyHit(key.vk);
        return;
    }
    unsigned char ch = key.ch;
    bool dead = false;
    if (deadKeyPending_) {
        deadKeyPending_ = false;
        ch = 0;  // the key after a dead key makes an accented letter: not a plain key
    } else if (key.dead) {
        deadKeyPending_ = true;
        dead = true;
    }
    Analyzer_CountBurstKey();
    if (dead) return;  // a dead key itself makes no hit
    if (ch == 0 || ch == '\t' || ch == 27 || ch == '+' || (ch >= '0' && ch <= '9') ||
        key.digitKey) {
        SpecialKeyHit(key.vk);
        return;
    }
    CharKeyHit(ch, time);
}

void TTrayMain::CMMouseClicked(int button) {
    if (button == 1 || button == 3) MouseClicked();
}

// ---------------------------------------------------------------------------------------
// Measuring

void TTrayMain::SpecialKeyHit(int vk) {
    ++counters_.totalHits;
    if (vk >= 37 && vk <= 40) ++counters_.arrowHits;
    CancelAnalyseNow(1);
}

void TTrayMain::MouseClicked() {
    ++counters_.mouseClicks;
    CancelAnalyseNow(1);
}

void TTrayMain::CharKeyHit(unsigned char c, uint32_t time) {
    ++counters_.totalHits;
    // Runs of spaces between words are not typing.
    if (!lastKeyTime_ && c == ' ' && lastChar_ == ' ') {
        CancelAnalyseNow(1);
        return;
    }
    if (enabled_) {
        shell_.SetTrayState(TTrayState::kTyping);
        shell_.TypingSeen();
    }
    // Server times wrap after 49 days; the difference of two stays right.
    const int64_t interval = lastKeyTime_ ? static_cast<uint32_t>(time - *lastKeyTime_) : 0;
    if (c == 8) ++counters_.backSpaces;
    MonitoredCharHit(c, interval);
    lastKeyTime_ = time;
}

void TTrayMain::MonitoredCharHit(unsigned char c, int64_t intervalMs) {
    ++counters_.monitoredHits;
    // A key held down or hammered is not typing.
    if (c == lastChar_) {
        if (++repeatCount_ > 2) CancelAnalyseNow(1);
    } else {
        lastChar_ = c;
        repeatCount_ = 0;
    }
    if (charsSinceWordEnd_ >= 60) {
        CancelAnalyseNow(1);
        charsSinceWordEnd_ = 0;
    } else {
        ++charsSinceWordEnd_;
    }
    const bool end = Analyzer_CharPressed(static_cast<char>(c), IntervalArgFromMs(intervalMs), 0);
    if (!end) return;
    TEfficiencyInfo& fig = Analysis().Efficiency();
    if (fig.WordsTyped == wordsAtLastCancel_) {
        // The first word after an interruption may have lost its beginning.
        wordsAtLastCancel_ = -1;
        Analyzer_Cancel();
    } else {
        Analyzer_EndWord("");
        lastKeyTime_.reset();
        charsSinceWordEnd_ = 0;
    }
}

void TTrayMain::CancelAnalyseNow(int reason) {
    if (enabled_) shell_.SetTrayState(TTrayState::kIdle);
    if (reason > 0 && !ending_) NotifyCheck(reason);
    Analyzer_Cancel();
    lastKeyTime_.reset();
    wordsAtLastCancel_ = Analysis().Efficiency().WordsTyped;
    Analyzer_Pause();
}

void TTrayMain::NotifyCheck(int reason) {
    if (!enabled_ || !CurrentUser()) return;
    // The first interruption after midnight files the day that ended.
    DailyStore(1);
    (void)reason;  // the break reminder and the training prompt come with the tray
}

}  // namespace corv::meter
