#pragma once
// Counters of one typing activity and the figures made from them: gross and net speed in
// characters per minute, accuracy, and the efficiency that blends accuracy with speed.
// `f` is the characters per word: the size of a word for speed and the number of
// characters one error word costs.

#include <cstdint>
#include <string_view>

namespace corv {

class TEfficiencyInfo {
  public:
    int32_t Keystrokes = 0;     // every key handed to the analysis, Backspace included
    int32_t Reserved = 0;       // the meter's keys of the current burst; cleared when the
                                // second timer starts, unused by the tutor
    int32_t NetKeys = 0;        // +1 per character key, -1 per Backspace
    int32_t TotalHits = 0;      // per word: the shorter of expected and typed length + 1
    int32_t Chars = 0;          // characters counted for speed and accuracy
    int32_t WeightedChars = 0;  // expected characters weighted by the word's error share
    int32_t WordsTyped = 0;     // finished words with a non-empty typed word
    int32_t ErrorWords = 0;     // words with errors, skipped and repeated words

    void Reset() { *this = TEfficiencyInfo{}; }

    // Characters per minute over `seconds` of typing; 0 without typing time.
    int GrossSpeed(int seconds) const;
    // As gross speed after each error word has cost f characters; never below 0.
    int NetSpeed(int seconds, int f) const;
    // Percent of the characters left after the error words' cost, cut, 0..100; 0
    // without characters. The decimal form is the same before cutting.
    int Accuracy(int f) const;
    double AccuracyDecimal(int f) const;
    // 0..4: 30 characters per minute score 0, every 60 more one point.
    double SpeedScore(int seconds) const;
    // 0..4, piecewise linear in the accuracy: 60 % scores 1, 85 % 2, 95 % 3, 100 % 4.
    double AccuracyScore(int f) const;
    static double AccuracyScoreOf(double accuracy);
    // Percent: the harmonic mean of the two scores on a 0..1 scale.
    int Efficiency(int seconds, int f) const;
    static int EfficiencyOf(double accuracyScore, double speedScore);

    // The text event's corrections for a word it decided was skipped, or typed twice.
    void SkippedWord(std::string_view word);
    void RepeatedWord(std::string_view word);

    // The meter's rates: keys of the burst per minute of the burst timer, net keys per
    // minute of the day timer; cut, 0 without time, never below 0.
    int KeystrokeRate(int burstSeconds) const;
    int NetKeyRate(int seconds) const;
};

}  // namespace corv
