// A small heart and a tick runner for the intervention tests: every cell stepped with the
// interventions' parts of the global tick in their order, with what happened in each tick
// recorded.
#pragma once

#include <memory>
#include <vector>

#include "engine/autonomic_tone.h"
#include "engine/cell_automaton.h"
#include "engine/heart_record.h"
#include "engine/pacemaker.h"
#include "engine/program_wide.h"
#include "engine/respiration.h"
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

// One tick of the engine as far as the interventions take part in it.
inline void InterventionTick(CCoeur& heart) {
    ++heart.tickCount;
    AdvanceToneRamp(heart);
    int32_t t = heart.tone;
    StimulatorTick(heart);
    PacemakerTiming(heart);
    t = ModulateTone(heart, t);
    for (int32_t i = 0; i < heart.cellCount; ++i) {
        const CellEvent e = StepCell(heart, i, t);
        if (e != 0 && e != kEventCounterExpired) StimulatorCellFired(heart, i);
    }
    PacemakerSensing(heart);
    PropagateLinks(heart);
    AdvanceRespiration(heart);
}

// What the test watches: the ticks in which given cells fired and the ticks with a stimulus mark.
struct Recording {
    std::vector<std::vector<int32_t>> firings;  // per watched cell
    std::vector<int32_t> marks;
};

// Runs `ticks` ticks, recording the firings of `watched` cells (by their arpCounter being set
// afresh, which every firing does) and every stimulus mark, which it then clears as the ECG
// synthesis does.
inline Recording RunTicks(CCoeur& heart, int ticks, const std::vector<int32_t>& watched = {}) {
    Recording r;
    r.firings.resize(watched.size());
    for (int k = 0; k < ticks; ++k) {
        InterventionTick(heart);
        for (size_t w = 0; w < watched.size(); ++w) {
            const CCell& c = heart.cells[watched[w]];
            // A firing sets the QRS phase to +9 or -13, moved one step toward 0 in the same tick.
            if (c.qrsPhase == 8 || c.qrsPhase == -12) r.firings[w].push_back(heart.tickCount);
        }
        if (heart.markerFlag) r.marks.push_back(heart.tickCount);
        heart.markerFlag = 0;
    }
    return r;
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
