// Cost of the cell automaton alone: one tick of every cell step plus link propagation on a heart
// of 1000 cells and 2000 links in which waves keep travelling (a sinus cell driving a lattice).
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/cell_automaton.h"
#include "engine/demo_heart.h"

namespace {

void BM_AutomatonTick(benchmark::State& state) {
    using namespace vantrel;
    auto heart = std::make_unique<CCoeur>();
    BuildDemoHeart(*heart, 25, 40, kMaxLinks);
    int64_t firings = 0;
    for (auto _ : state) {
        for (int i = 0; i < heart->cellCount; ++i) {
            const CellEvent e = StepCell(*heart, i, heart->tone);
            firings += (e != 0 && e != kEventCounterExpired);
        }
        PropagateLinks(*heart);
    }
    state.counters["cells"] = heart->cellCount;
    state.counters["links"] = heart->linkCount;
    state.counters["firingsPerTick"] =
        benchmark::Counter(double(firings) / double(state.iterations()));
}
BENCHMARK(BM_AutomatonTick)->Unit(benchmark::kNanosecond)->MinTime(2.0);

}  // namespace
