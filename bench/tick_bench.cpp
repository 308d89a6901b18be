// Cost of one engine period as the clock runs it: the global tick, the ECG sample and its push
// into the ring, on a heart of 1000 cells and 2000 links in which waves keep travelling: the
// generated model file "Bench 1000.hmd" (bench/models), loaded by the model reader as the desktop
// loads it, and the same grid built in memory.  The "realtimeFactor" counter is 5 ms divided by
// the time of one period.
#include <benchmark/benchmark.h>

#include <memory>
#include <mutex>

#include "engine/ecg_display.h"
#include "engine/demo_heart.h"
#include "engine/simulation_clock.h"
#include "model/model_reader.h"

namespace {

using namespace vantrel;

void RunPeriods(benchmark::State& state, CCoeur* heart) {
    auto display = std::make_unique<EcgDisplay>();
    SimulationClock clock(*heart, *display);
    int64_t firingTicks = 0;
    std::lock_guard<std::mutex> guard(heart->lock);
    for (auto _ : state) firingTicks += clock.TickAndSample(true);
    state.counters["cells"] = heart->cellCount;
    state.counters["links"] = heart->linkCount;
    state.counters["firingTickShare"] =
        benchmark::Counter(double(firingTicks) / double(state.iterations()));
    // Simulated seconds per wall second: 5 ms of simulated time per iteration.
    state.counters["realtimeFactor"] =
        benchmark::Counter(0.005 * double(state.iterations()), benchmark::Counter::kIsRate);
}
void BM_TickSynthesisePush_ModelFile(benchmark::State& state) {
    auto heart = std::make_unique<CCoeur>();
    ReaderOptions options;
    options.dataDirectory = VANTREL_BENCH_MODELS_DIR;
    heart->notifier = &SilentNotifier::Instance();
    if (!LoadModel(*heart, "Bench 1000.hmd", options) || heart->cellCount != kMaxCells) {
        state.SkipWithError("cannot load bench/models/Clinic/Bench 1000.hmd");
        return;
    }
    RunPeriods(state, heart.get());
}
BENCHMARK(BM_TickSynthesisePush_ModelFile)->Unit(benchmark::kNanosecond)->MinTime(2.0);

void BM_TickSynthesisePush_InMemory(benchmark::State& state) {
    auto heart = std::make_unique<CCoeur>();
    BuildDemoHeart(*heart, 25, 40, kMaxLinks);
    RunPeriods(state, heart.get());
}
BENCHMARK(BM_TickSynthesisePush_InMemory)->Unit(benchmark::kNanosecond)->MinTime(2.0);

}  // namespace

namespace {

// ECG synthesis alone, on the same heart frozen in the middle of its activity.
void BM_Synthesise(benchmark::State& state) {
    auto heart = std::make_unique<CCoeur>();
    BuildDemoHeart(*heart, 25, 40, kMaxLinks);
    auto display = std::make_unique<EcgDisplay>();
    SimulationClock clock(*heart, *display);
    std::lock_guard<std::mutex> guard(heart->lock);
    for (int i = 0; i < 1000 + state.range(0); ++i) clock.TickAndSample(true);
    EcgSample sample;
    for (auto _ : state) {
        Synthesise(*heart, sample);
        benchmark::DoNotOptimize(sample);
    }
}
BENCHMARK(BM_Synthesise)->Arg(0)->Arg(40)->Arg(80)->Unit(benchmark::kNanosecond);

}  // namespace
