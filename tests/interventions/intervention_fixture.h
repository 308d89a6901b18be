// A small heart and a tick runner for the intervention tests: the global tick with its sample,
// and a record of what happened in each tick.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/autonomic_tone.h"
#include "engine/ecg_display.h"
#include "engine/cell_automaton.h"
#include "engine/heart_record.h"
#include "engine/pacemaker.h"
#include "engine/program_wide.h"
#include "engine/respiration.h"
#include "engine/simulation_clock.h"
#include "engine/stimulator.h"
#include "heart_fixture.h"

namespace vantrel::testing {

// Keeps the messages the engine posts.
class RecordingNotifier : public EngineNotifier {
public:
    struct Message {
        int32_t message, wParam, lParam;
    };
    std::vector<Message> posted;
    void Post(int32_t message, int32_t wParam, int32_t lParam) override {
        posted.push_back({message, wParam, lParam});
    }
    void ShowMessage(const std::string&, const std::string&) override {}
    void EndProgram() override {}
    int Count(int32_t message) const {
        int n = 0;
        for (const Message& m : posted) n += m.message == message;
        return n;
    }
};

// What the test watches: the ticks in which given cells fired and the ticks with a stimulus mark.
struct Recording {
    std::vector<std::vector<int32_t>> firings;  // per watched cell
    std::vector<int32_t> marks;
};

// Runs `ticks` global ticks with their samples, recording the firings of the `watched` cells and
// every tick that delivered a stimulus; `eachTick` runs after every tick.
inline Recording RunTicks(CCoeur& heart, int ticks, const std::vector<int32_t>& watched = {},
                          const std::function<void(const TickRecord&)>& eachTick = {}) {
    struct Watcher : TickListener {
        Recording r;
        const std::vector<int32_t>* watched = nullptr;
        const std::function<void(const TickRecord&)>* each = nullptr;
        void OnTick(const CCoeur& h, const TickRecord& record) override {
            for (size_t w = 0; w < watched->size(); ++w) {
                const CCell& c = h.cells[(*watched)[w]];
                // A firing sets the QRS phase to +9 or -13, moved one step toward 0 at once.
                if (c.qrsPhase == 8 || c.qrsPhase == -12) r.firings[w].push_back(record.tickCount);
            }
            if (record.stimulus) r.marks.push_back(record.tickCount);
            if (*each) (*each)(record);
        }
    } watcher;
    watcher.r.firings.resize(watched.size());
    watcher.watched = &watched;
    watcher.each = &eachTick;
    auto display = std::make_unique<EcgDisplay>();
    SimulationClock clock(heart, *display);
    clock.SetTickListener(&watcher);
    for (int k = 0; k < ticks; ++k) {
        std::lock_guard<std::mutex> guard(heart.lock);
        clock.TickAndSample(true);
    }
    return watcher.r;
}

inline std::vector<int32_t> Intervals(const std::vector<int32_t>& ticks) {
    std::vector<int32_t> out;
    for (size_t i = 1; i < ticks.size(); ++i) out.push_back(ticks[i] - ticks[i - 1]);
    return out;
}

// A cell that escapes every `escapeMs` at every tone, due in `firstTick` ticks.
inline void MakeEscaping(CCell& cell, int32_t escapeMs, int32_t firstTick) {
    cell.SetEscape(escapeMs, escapeMs);
    cell.escapeCounter = firstTick;
}

// The program-wide respiration segment back to its program-start state.
inline void ResetRespirationSegment() { Program().respiration = RespirationSegment{}; }

}  // namespace vantrel::testing
