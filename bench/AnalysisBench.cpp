// The typing analysis runs inside the key handler of both programs: a keystroke must cost
// far less than a microsecond, and the comparison at a word end (at most two 255-character
// short texts) well under 20 microseconds.

#include <benchmark/benchmark.h>

#include <string>

#include "data/User.h"
#include "engine/analysis/Analyzer.h"

namespace {

using namespace corv;

void BM_CharPressed(benchmark::State& state) {
    CreateAnalysis(TAnalysisProgram::kTutor);
    Analyzer_SetSource(1);
    const std::string text = "the quick brown fox jumps over the lazy dog ";
    size_t k = 0;
    int32_t interval = 900;
    for (auto _ : state) {
        const char c = text[k];
        if (++k == text.size()) k = 0;
        interval = interval == 900 ? 1300 : 900;  // an uneven pace, now and then slow
        benchmark::DoNotOptimize(Analyzer_CharPressed(c, k % 17 == 0 ? 4000 : interval, 1));
        if (c == ' ') WordCollector().Reset();  // as the word end does
    }
    FreeAnalysis();
}
BENCHMARK(BM_CharPressed);

// Two 255-character words that differ in many places (swaps, extra and missing letters,
// wrong letters) but stay within the error limit, so the registration runs too.
std::string LongExpected() {
    std::string s;
    for (int k = 0; k < 255; ++k) s += static_cast<char>('a' + (k * 7) % 26);
    return s;
}

std::string LongTyped(const std::string& e) {
    std::string t = e;
    for (size_t k = 10; k + 3 < t.size(); k += 23) std::swap(t[k], t[k + 1]);
    for (size_t k = 30; k + 3 < t.size(); k += 47) t[k] = '#';
    for (size_t k = 40; k < t.size(); k += 61) t.insert(k, 1, t[k]);
    for (size_t k = 50; k < t.size(); k += 71) t.erase(k, 1);
    return t.substr(0, 255);
}

void BM_EndWordLong(benchmark::State& state) {
    CreateAnalysis(TAnalysisProgram::kTutor);
    Analyzer_SetSource(1);
    const std::string expected = LongExpected();
    const std::string typed = LongTyped(expected);
    int share = 0;
    for (auto _ : state) {
        share = Analyzer_EndWord(expected, typed);
        benchmark::DoNotOptimize(share);
    }
    state.counters["share"] = share;
    FreeAnalysis();
}
BENCHMARK(BM_EndWordLong);

// The worst case for the comparison: nothing matches, every position is tried by all
// rules (the share then exceeds the limit and nothing is registered).
void BM_EndWordLongNoMatch(benchmark::State& state) {
    CreateAnalysis(TAnalysisProgram::kTutor);
    const std::string expected(255, 'a');
    const std::string typed(255, 'b');
    for (auto _ : state) benchmark::DoNotOptimize(Analyzer_EndWord(expected, typed));
    FreeAnalysis();
}
BENCHMARK(BM_EndWordLongNoMatch);

// The worst case for gap insertion: every typed letter doubled (half of them dropped by
// the short-text cut), so the expected copy grows at almost every position.
void BM_EndWordLongDoubled(benchmark::State& state) {
    CreateAnalysis(TAnalysisProgram::kTutor);
    const std::string expected = LongExpected();
    std::string typed;
    for (char c : expected) typed += std::string(2, c);
    typed.resize(255);
    for (auto _ : state) benchmark::DoNotOptimize(Analyzer_EndWord(expected, typed));
    FreeAnalysis();
}
BENCHMARK(BM_EndWordLongDoubled);

}  // namespace

BENCHMARK_MAIN();
