// vantrel-demo: builds a small heart in memory, runs it for a few simulated seconds and prints
// every firing, so that the engine can be watched without a model file or a desktop.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "engine/cell_automaton.h"
#include "engine/demo_heart.h"

int main(int argc, char** argv) {
    using namespace vantrel;
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 3;
    auto heart = std::make_unique<CCoeur>();
    BuildDemoHeart(*heart, 4, 6, 60);
    std::printf("Demo heart: %d cells, %d links, tone %d; %d simulated seconds\n",
                heart->cellCount, heart->linkCount, heart->tone, seconds);
    for (int tick = 1; tick <= seconds * 200; ++tick) {
        for (int i = 0; i < heart->cellCount; ++i) {
            const CellEvent e = StepCell(*heart, i, heart->tone);
            if (e != 0 && e != kEventCounterExpired)
                std::printf("%6d ms  %-6s fires %s (conduction %d ticks)\n", tick * 5,
                            heart->cells[i].name, e > 0 ? "anterogradely" : "retrogradely",
                            e > 0 ? e : -e - 1);
        }
        PropagateLinks(*heart);
    }
    return 0;
}
