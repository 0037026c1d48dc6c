#pragma once
// The typing analysis of both programs: one set of objects per process, fed keystroke by
// keystroke and word by word through the Analyzer_ operations.
//
// The tutor creates the full set; the meter creates it without the studying tip and uses
// the meter's operations (Analyzer_Cancel, the end of a word without a typed word, the
// rates and the settable day timer). Every operation runs on the main thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "engine/analysis/Deviation.h"
#include "engine/analysis/EfficiencyInfo.h"
#include "engine/analysis/ErrorFinder.h"
#include "engine/analysis/StudyingTip.h"
#include "engine/analysis/TypingTimer.h"
#include "engine/analysis/WordCollector.h"

namespace corv {

enum class TAnalysisProgram { kTutor, kMeter };

class TAnalysis {
  public:
    TErrorFinder& ErrorFinder() { return *errorFinder_; }
    TEfficiencyInfo& Efficiency() { return *efficiency_; }
    TDeviationCalc& DeviationCalc() { return *deviationCalc_; }
    TDeviationMeter& DeviationMeter() { return *deviationMeter_; }
    // Null in the meter, which gives no tips.
    TStudyingTip* StudyingTip() { return studyingTip_.get(); }
    // The activity's typing time (the meter's day timer).
    TTypingTimer& Timer() { return *timer_; }
    // The second timer (the meter's burst timer).
    TTypingTimer& Timer2() { return *timer2_; }
    TAnalysisProgram Program() const { return program_; }

  private:
    friend void CreateAnalysis(TAnalysisProgram);
    friend void FreeAnalysis();

    TAnalysisProgram program_ = TAnalysisProgram::kTutor;
    std::unique_ptr<TErrorFinder> errorFinder_;
    std::unique_ptr<TEfficiencyInfo> efficiency_;
    std::unique_ptr<TDeviationCalc> deviationCalc_;
    std::unique_ptr<TDeviationMeter> deviationMeter_;
    std::unique_ptr<TStudyingTip> studyingTip_;
    std::unique_ptr<TTypingTimer> timer_;
    std::unique_ptr<TTypingTimer> timer2_;
};

// Start-up: creates the objects (error finder, efficiency figures, slow-key detector,
// rhythm meter, studying tip, the two timers, in this order), replacing any set.
void CreateAnalysis(TAnalysisProgram program);
// Shut-down, in reverse order; also forgets the source, the collector and the word
// handler, so a test can start over.
void FreeAnalysis();
bool AnalysisCreated();
// The process's objects; the tutor's set is created when start-up has not done it.
TAnalysis& Analysis();

// Set by Analyzer_SetSource: whether finished words go to the word collection, and the
// source code they are stored under.
bool CollectWords();
int32_t WordSource();

// The word collector the analysis feeds (not owned); nullptr restores the built-in one,
// which keeps the word in progress and stores nothing.
void SetWordCollector(IWordCollector* collector);
IWordCollector& WordCollector();
// The meter shows each collected word of more than one character in its info window.
void SetCollectedWordHandler(std::function<void(const std::string&)> handler);

// Start of an activity: both timers, the figures, the slow-key detector, the rhythm meter.
void Analyzer_Reset();
// Pauses both timers and forgets the recent intervals.
void Analyzer_Pause();
// 100: words are not collected; any other code: collected and stored under it.
void Analyzer_SetSource(int32_t source);
// One keystroke. interval: thousandths of an interval unit (IntervalArgFromMs); mode 0
// the meter's word ends (IsWordSeparator), 1 the text events' (Tab, LF, CR, Space).
// True when the key ends a word.
bool Analyzer_CharPressed(char key, int32_t interval, int mode);
// A finished word: counts it, compares it, registers its keys and hands it to the word
// collector. The error share in percent (0..ErrorLimit, or 100); 0 without an expected
// word.
int Analyzer_EndWord(std::string_view expected, std::string_view typed);
// The meter's form: the typed word is the collector's word in progress.
int Analyzer_EndWord(std::string_view expected);
// The meter: forgets the word in progress and the burst (second timer, its keys and the
// error words) and the recent intervals.
void Analyzer_Cancel();
// The meter counts every decoded key of the burst.
void Analyzer_CountBurstKey();
// A finished word from a drill, with its error weight; stored when words are collected.
void Analyzer_AddWord(const std::string& word, int errorWeight);
// A word stored under the current source whatever the collecting setting, with a mark.
void Analyzer_AddMarkedWord(const std::string& word, int errorWeight, int mark);

// Tab, LF, CR, Space and ! " ( ) * , - . / : ; ? @ \ _
bool IsWordSeparator(char c);

// The tip for the current figures with f characters per word; empty in the meter.
std::string StudyingTipText(int f);

}  // namespace corv
