// The meter's work per key on the main thread (decoding, word segmentation, the analysis,
// the word end against a full table of 2000 words) and the hop from the hook's thread to
// the main thread (thread start included: an upper bound). Targets: under 50 us per key
// (median), under 1 ms per hop.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "data/WordList.h"
#include "engine/analysis/AnalysisClock.h"
#include "engine/analysis/Analyzer.h"
#include "engine/analysis/Word.h"
#include "meter/hooks/KeyDecoder.h"

using namespace corv;
using namespace corv::meter;

static void BM_MeterKeyWithFullWordTable(benchmark::State& state) {
    CreateAnalysis(TAnalysisProgram::kMeter);
    TWordList& list = CollectedWords();
    list.Clear();
    for (int i = 0; i < TWordList::kSlots; ++i) list.Add("word" + std::to_string(i), 1, 1);
    TWord word(list);
    SetWordCollector(&word);
    Analyzer_SetSource(1);
    auto decoder = TKeyDecoder::FromNames("us");
    const std::string text = "typing steadily along ";
    std::vector<uint8_t> keys;
    for (char c : text) {
        bool shift = false;
        keys.push_back(decoder->KeyFor(static_cast<unsigned char>(c), shift));
    }
    size_t i = 0;
    for (auto _ : state) {
        const uint8_t k = keys[i++ % keys.size()];
        TKeyInfo info = decoder->Feed({TInputEvent::Kind::kKeyDown, k, 0});
        decoder->Feed({TInputEvent::Kind::kKeyUp, k, 0});
        if (Analyzer_CharPressed(static_cast<char>(info.ch), IntervalArgFromMs(180), 0))
            Analyzer_EndWord("");
    }
    SetWordCollector(nullptr);
    FreeAnalysis();
}
BENCHMARK(BM_MeterKeyWithFullWordTable)->Repetitions(5)->ReportAggregatesOnly(true);

static void BM_HookToMainThread(benchmark::State& state) {
    TInputQueue queue;
    std::vector<TInputEvent> got;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        std::thread hook([&] { queue.Push({TInputEvent::Kind::kKeyDown, 38, 0}); });
        hook.join();
        queue.TakeAll(got);
        benchmark::DoNotOptimize(got.data());
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_HookToMainThread)->UseManualTime();

// 20 keys a second for 10 minutes arrive as 12,000 presses and releases: none is lost.
static void BM_TenMinutesAtTwentyKeysASecond(benchmark::State& state) {
    for (auto _ : state) {
        TInputQueue queue;
        std::thread hook([&] {
            for (int i = 0; i < 12000; ++i) queue.Push({TInputEvent::Kind::kKeyDown, 38, 0});
        });
        std::vector<TInputEvent> got;
        size_t total = 0;
        while (total < 12000) {
            queue.TakeAll(got);
            total += got.size();
        }
        hook.join();
        if (total != 12000) state.SkipWithError("events lost");
    }
}
BENCHMARK(BM_TenMinutesAtTwentyKeysASecond);
BENCHMARK_MAIN();
