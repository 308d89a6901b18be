// What the interventions add to the global tick: one tick with its sample on a heart of 1000
// cells and 2000 links, first with every intervention idle, then with respiratory arrhythmia, a
// bigeminy, a CRT pacemaker and emergency stimulation all running.  And the time "START" takes
// to build the longest program the stimulator's settings allow.
#include <benchmark/benchmark.h>

#include <memory>
#include <mutex>

#include "engine/ecg_display.h"
#include "engine/demo_heart.h"
#include "engine/pacemaker.h"
#include "engine/premature_beats.h"
#include "engine/respiration.h"
#include "engine/simulation_clock.h"
#include "engine/stimulator.h"

namespace {

using namespace vantrel;

void RunTicks(benchmark::State& state, bool interventions) {
    auto heart = std::make_unique<CCoeur>();
    auto display = std::make_unique<EcgDisplay>();
    BuildDemoHeart(*heart, 25, 40, kMaxLinks);
    if (interventions) {
        SetRespiratoryArrhythmia(*heart, true);
        heart->svpbBgTgCell = 0;
        PressPrematureBeat(*heart, PrematureBeatCommand::SvBigeminyOn);
        heart->pmAtrialCell = 1;
        heart->pmVentricularCell = 500;
        heart->pmVentricular2Cell = 999;
        SetupPacemaker(*heart, kPmCrt, 0, 0, 160, 20, 70, 140);
        StimulatorSettings s;
        s.emergency = true;
        PressStimulatorEmergency(*heart, s);
    }
    SimulationClock clock(*heart, *display);
    for (auto _ : state) {
        std::lock_guard<std::mutex> guard(heart->lock);
        clock.TickAndSample(true);
    }
}

void BM_TickInterventionsIdle(benchmark::State& state) { RunTicks(state, false); }
BENCHMARK(BM_TickInterventionsIdle)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_TickInterventionsRunning(benchmark::State& state) { RunTicks(state, true); }
BENCHMARK(BM_TickInterventionsRunning)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_BuildLongestStimulationProgram(benchmark::State& state) {
    StimulatorSettings s;
    s.train = true;
    s.withIntermediate = true;
    s.intermediateQrs = 100;
    s.mode = StimulatorMode::AutoDecrement;
    s.s2 = 10000;
    s.step = 5;
    s.limit = 5;
    size_t bytes = 0;
    for (auto _ : state) bytes = BuildStimulatorProgram(s).size();
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_BuildLongestStimulationProgram)->Unit(benchmark::kMillisecond);

}  // namespace
