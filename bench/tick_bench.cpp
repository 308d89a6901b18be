// Cost of one engine period as the clock runs it: the global tick, the ECG sample and its push
// into the ring.  Each heart runs twice, side by side in one program: the engine's tick ("Tick")
// and the plain per-cell tick it replaced ("PlainTick", tests/engine/reference_tick.cpp), which
// steps every cell in full, walks every link and sums every cell into the sample.
//
// Hearts: "Bench1000", the generated 1000-cell, 2000-link model (bench/models) in which waves keep
// travelling; "DefaultHeart", the shipped "1.1 Normal.hmd"; "AllActive", the 1000-cell model with
// every cell made an own pacemaker of 300 ms on a short refractory period, so that nearly every
// cell is conducting or refractory at every tick (the worst case for a tick that skips resting
// cells).  The "realtimeFactor" counter is 5 ms of simulated time divided by the time of one
// period; "activeShare" the mean share of cells in their recently-fired window.
#include <benchmark/benchmark.h>

#include <memory>
#include <mutex>
#include <string>

#include "engine/demo_heart.h"
#include "engine/ecg_display.h"
#include "engine/simulation_clock.h"
#include "model/model_reader.h"
#include "tests/engine/reference_tick.h"

namespace {

using namespace vantrel;

enum class Heart { Bench1000, DefaultHeart, AllActive };

std::unique_ptr<CCoeur> LoadHeart(Heart which) {
    auto heart = std::make_unique<CCoeur>();
    heart->notifier = &SilentNotifier::Instance();
    ReaderOptions options;
    options.dataDirectory = which == Heart::DefaultHeart ? VANTREL_DATA_DIR : VANTREL_BENCH_MODELS_DIR;
    if (!LoadModel(*heart, which == Heart::DefaultHeart ? "" : "Bench 1000.hmd", options))
        return nullptr;
    if (which == Heart::AllActive) {
        for (int32_t i = 0; i < heart->cellCount; ++i) {
            CCell& cell = heart->cells[i];
            cell.SetEscape(300, 300);
            cell.SetArp(150, 150);
            cell.escapeCounter = 1 + i % 60;
        }
    }
    return heart;
}

void Report(benchmark::State& state, const CCoeur& heart, int64_t firingTicks, int64_t active) {
    state.counters["cells"] = heart.cellCount;
    state.counters["firingTickShare"] = double(firingTicks) / double(state.iterations());
    state.counters["activeShare"] =
        double(active) / double(state.iterations()) / double(std::max(heart.cellCount, 1));
    // Simulated seconds per wall second: 5 ms of simulated time per iteration.
    state.counters["realtimeFactor"] =
        benchmark::Counter(0.005 * double(state.iterations()), benchmark::Counter::kIsRate);
}

int64_t ActiveCells(const CCoeur& heart) {
    int64_t n = 0;
    for (int32_t i = 0; i < heart.cellCount; ++i) n += heart.cells[i].activeWindow > 0;
    return n;
}

// keep: the cells stay held by the tick between ticks, as in the headless runner's fast run;
// otherwise they are written back into the records after every tick, as on the desktop.
template <Heart which, bool keep>
void BM_Tick(benchmark::State& state) {
    auto heart = LoadHeart(which);
    if (!heart) return state.SkipWithError("cannot load the model");
    auto display = std::make_unique<EcgDisplay>();
    SimulationClock clock(*heart, *display);
    std::lock_guard<std::mutex> guard(heart->lock);
    clock.KeepCellsBetweenTicks(keep);
    for (int i = 0; i < 2000; ++i) clock.TickAndSample(true);  // past the start of the rhythm
    int64_t firingTicks = 0;
    for (auto _ : state) firingTicks += clock.TickAndSample(true);
    int64_t active = 0;  // over as many ticks again, outside the measurement
    for (int64_t i = 0; i < state.iterations(); ++i) {
        clock.TickAndSample(true);
        clock.ReleaseCells();
        active += ActiveCells(*heart);
    }
    Report(state, *heart, firingTicks, active);
}

template <Heart which>
void BM_PlainTick(benchmark::State& state) {
    auto heart = LoadHeart(which);
    if (!heart) return state.SkipWithError("cannot load the model");
    auto display = std::make_unique<EcgDisplay>();
    std::lock_guard<std::mutex> guard(heart->lock);
    for (int i = 0; i < 2000; ++i) testing::ReferenceTickAndSample(*heart, *display);
    int64_t firingTicks = 0;
    for (auto _ : state) firingTicks += testing::ReferenceTickAndSample(*heart, *display).fired;
    int64_t active = 0;
    for (int64_t i = 0; i < state.iterations(); ++i) {
        testing::ReferenceTickAndSample(*heart, *display);
        active += ActiveCells(*heart);
    }
    Report(state, *heart, firingTicks, active);
}

BENCHMARK(BM_PlainTick<Heart::Bench1000>)->Name("PlainTick/Bench1000")->MinTime(1.0);
BENCHMARK(BM_Tick<Heart::Bench1000, true>)->Name("Tick/Bench1000")->MinTime(1.0);
BENCHMARK(BM_Tick<Heart::Bench1000, false>)->Name("TickWritingBack/Bench1000")->MinTime(1.0);
BENCHMARK(BM_PlainTick<Heart::DefaultHeart>)->Name("PlainTick/DefaultHeart")->MinTime(1.0);
BENCHMARK(BM_Tick<Heart::DefaultHeart, true>)->Name("Tick/DefaultHeart")->MinTime(1.0);
BENCHMARK(BM_Tick<Heart::DefaultHeart, false>)->Name("TickWritingBack/DefaultHeart")->MinTime(1.0);
BENCHMARK(BM_PlainTick<Heart::AllActive>)->Name("PlainTick/AllActive")->MinTime(1.0);
BENCHMARK(BM_Tick<Heart::AllActive, true>)->Name("Tick/AllActive")->MinTime(1.0);
BENCHMARK(BM_Tick<Heart::AllActive, false>)->Name("TickWritingBack/AllActive")->MinTime(1.0);

// ECG synthesis alone, on the in-memory grid frozen in the middle of its activity.
void BM_Synthesise(benchmark::State& state) {
    auto heart = std::make_unique<CCoeur>();
    BuildDemoHeart(*heart, 25, 40, kMaxLinks);
    auto display = std::make_unique<EcgDisplay>();
    SimulationClock clock(*heart, *display);
    std::lock_guard<std::mutex> guard(heart->lock);
    for (int i = 0; i < 1000 + state.range(0); ++i) clock.TickAndSample(true);
    // The cells held as the tick holds them: the sample alone, without taking them each time.
    auto tickCells = std::make_unique<TickCells>();
    tickCells->Take(*heart);
    EcgSample sample;
    for (auto _ : state) {
        SynthesiseTickCells(*heart, *tickCells, sample);
        benchmark::DoNotOptimize(sample);
    }
    tickCells->Release(*heart);
}
BENCHMARK(BM_Synthesise)->Arg(0)->Arg(40)->Arg(80)->Unit(benchmark::kNanosecond);

}  // namespace
