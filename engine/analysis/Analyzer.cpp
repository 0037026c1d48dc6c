#include "engine/analysis/Analyzer.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/Cp1252.h"
#include "data/DifficultKeys.h"
#include "data/User.h"
#include "engine/analysis/Round.h"

namespace corv {

namespace {

constexpr int32_t kNoCollecting = 100;

struct Globals {
    TAnalysis analysis;
    bool created = false;
    bool collectWords = false;
    int32_t wordSource = 0;
    TPlainWordCollector plainCollector;
    IWordCollector* collector = nullptr;
    std::function<void(const std::string&)> collectedWordHandler;
};

Globals& G() {
    static Globals g;
    return g;
}

// Characters 8 to 95 that end a word in the meter.
constexpr auto kSeparators = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : std::string_view("\t\n\r !\"()*,-./:;?@\\_")) t[c] = true;
    return t;
}();

}  // namespace

void CreateAnalysis(TAnalysisProgram program) {
    if (G().created) FreeAnalysis();
    TAnalysis& a = G().analysis;
    a.program_ = program;
    a.errorFinder_ = std::make_unique<TErrorFinder>();
    a.efficiency_ = std::make_unique<TEfficiencyInfo>();
    a.deviationCalc_ = std::make_unique<TDeviationCalc>();
    a.deviationMeter_ = std::make_unique<TDeviationMeter>();
    if (program == TAnalysisProgram::kTutor) a.studyingTip_ = std::make_unique<TStudyingTip>();
    a.timer_ = std::make_unique<TTypingTimer>();
    a.timer2_ = std::make_unique<TTypingTimer>();
    G().created = true;
}

void FreeAnalysis() {
    TAnalysis& a = G().analysis;
    a.timer2_.reset();
    a.timer_.reset();
    a.studyingTip_.reset();
    a.deviationMeter_.reset();
    a.deviationCalc_.reset();
    a.efficiency_.reset();
    a.errorFinder_.reset();
    G().created = false;
    G().collectWords = false;
    G().wordSource = 0;
    G().collector = nullptr;
    G().plainCollector = TPlainWordCollector{};
    G().collectedWordHandler = nullptr;
}

bool AnalysisCreated() {
    return G().created;
}

TAnalysis& Analysis() {
    if (!G().created) CreateAnalysis(TAnalysisProgram::kTutor);
    return G().analysis;
}

bool CollectWords() {
    return G().collectWords;
}
int32_t WordSource() {
    return G().wordSource;
}

void SetWordCollector(IWordCollector* collector) {
    G().collector = collector;
}

IWordCollector& WordCollector() {
    return G().collector ? *G().collector : G().plainCollector;
}

void SetCollectedWordHandler(std::function<void(const std::string&)> handler) {
    G().collectedWordHandler = std::move(handler);
}

void Analyzer_Reset() {
    TAnalysis& a = Analysis();
    a.Timer().Reset();
    a.Timer2().Reset();
    a.Efficiency().Reset();
    a.DeviationCalc().Reset();
    a.DeviationMeter().Reset();
}

void Analyzer_Pause() {
    TAnalysis& a = Analysis();
    a.Timer().Pause();
    a.Timer2().Pause();
    a.DeviationCalc().Reset();
    a.DeviationMeter().Reset();
}

void Analyzer_SetSource(int32_t source) {
    if (source == kNoCollecting) {
        G().collectWords = false;
    } else {
        G().collectWords = true;
        G().wordSource = source;
    }
}

bool IsWordSeparator(char c) {
    return kSeparators[static_cast<unsigned char>(c)];
}

bool Analyzer_CharPressed(char key, int32_t interval, int mode) {
    TAnalysis& a = Analysis();
    TEfficiencyInfo& fig = a.Efficiency();
    if (!a.Timer().Running()) a.Timer().Start();
    if (!a.Timer2().Running()) {
        a.Timer2().Start();
        fig.Reserved = 0;
    }

    ++fig.Keystrokes;
    const bool wordEnd =
        mode == 0 ? IsWordSeparator(key) : key == '\t' || key == '\n' || key == '\r' || key == ' ';

    IWordCollector& word = WordCollector();
    if (key == '\b') {
        word.Backspace();
        --fig.NetKeys;
    } else {
        ++fig.NetKeys;
        if (!wordEnd) word.AddChar(key);
    }

    TDifficultKeys& keys = ActiveDifficultKeys();
    const bool slow = interval > 0 && a.DeviationCalc().Add(interval / 1000.0);
    if (slow && word.Text().size() > 1) {
        // Only a letter's slowness says something about the key; capitals and symbols
        // are slow for other reasons (Shift, looking them up).
        if (UpperCase(key) != key) keys.RecordKeystroke(key, true);
        word.AddSlowKey();
    } else {
        keys.RecordKeystroke(key, false);
    }
    return wordEnd;
}

int Analyzer_EndWord(std::string_view expected, std::string_view typed) {
    TAnalysis& a = Analysis();
    TEfficiencyInfo& fig = a.Efficiency();
    IWordCollector& word = WordCollector();
    const int limit = a.ErrorFinder().ErrorLimit;

    if (!typed.empty()) ++fig.WordsTyped;
    word.SetErrorWeight(0);

    int share = 0;
    if (!expected.empty()) {
        const std::string_view e = expected.substr(0, TErrorFinder::kMaxWord);
        const std::string_view t = typed.substr(0, TErrorFinder::kMaxWord);
        share = a.ErrorFinder().ShareAndRegister(e, t, ActiveDifficultKeys());
        if (share > 0) ++fig.ErrorWords;
        if (share <= limit)
            fig.WeightedChars += static_cast<int32_t>(analysis::DivRoundEven(
                static_cast<int64_t>(100 - share) * static_cast<int64_t>(e.size()), 100));
        const int32_t hits = static_cast<int32_t>(std::min(e.size(), t.size())) + 1;
        fig.TotalHits += hits;
        fig.Chars += hits;
        if (share > limit) {
            word.Reset();
        } else {
            if (share > 0) {
                // 2 at 1 %, 5 at the limit; whole numbers so that no weight is cut one
                // too low by a rounding error.
                word.SetErrorWeight(2 + 39 * (share - 1) / (10 * std::max(limit - 1, 1)));
                word.SetText(std::string(e));
            }
            if (CollectWords()) word.Store(WordSource());
        }
    } else if (CollectWords()) {
        word.Store(WordSource());
    }
    word.Reset();
    return share;
}

int Analyzer_EndWord(std::string_view expected) {
    const std::string typed = WordCollector().Text();
    const int share = Analyzer_EndWord(expected, typed);
    if (expected.empty() && CollectWords() && typed.size() > 1 && G().collectedWordHandler)
        G().collectedWordHandler(typed);
    return share;
}

void Analyzer_Cancel() {
    TAnalysis& a = Analysis();
    WordCollector().Reset();
    a.Timer2().Reset();
    a.Efficiency().ErrorWords = 0;
    a.Efficiency().Reserved = 0;
    a.DeviationCalc().Reset();
}

void Analyzer_CountBurstKey() {
    ++Analysis().Efficiency().Reserved;
}

void Analyzer_AddWord(const std::string& word, int errorWeight) {
    IWordCollector& w = WordCollector();
    w.SetText(word);
    w.SetErrorWeight(errorWeight);
    if (CollectWords()) w.Store(WordSource());
    w.Reset();
}

void Analyzer_AddMarkedWord(const std::string& word, int errorWeight, int mark) {
    IWordCollector& w = WordCollector();
    w.SetText(word);
    w.SetErrorWeight(errorWeight);
    w.SetMark(mark);
    w.Store(WordSource());
    w.SetMark(0);
    w.Reset();
}

std::string StudyingTipText(int f) {
    TAnalysis& a = Analysis();
    if (!a.StudyingTip()) return {};
    return a.StudyingTip()->Text(a.Efficiency(), a.Timer().Seconds(), ActiveDifficultKeys(), f);
}

}  // namespace corv
