// The rule by which one cell advances by one 5 ms tick, and the rule by which firing cells excite
// their neighbours over the links.  The global tick calls StepCell for every cell in index order,
// then PropagateLinks once.
#pragma once

#include <cstdint>

#include "engine/heart_record.h"

namespace vantrel {

// Durations derived from a cell's tone pairs at tone t, in ticks.
int32_t SquareRootTone(int32_t t);  // (int)(sqrt(t) * 31.6)
int32_t EscapeTicks(const CCell& cell, int32_t t);
int32_t RrpTicks(const CCell& cell, int32_t x);
int32_t ArpTicks(const CCell& cell, int32_t t);
int32_t AntTicks(const CCell& cell, int32_t t);
int32_t RetTicks(const CCell& cell, int32_t t);
int32_t WindowTicks(const CCell& cell, int32_t t);
int32_t CouplingTicks(CouplingPair pair, int32_t t);

// Colour of an activation time v (ms) on the isochrone map.
struct IsoColour {
    int32_t red, green, blue;
};
IsoColour ActivationColour(int32_t v);

// Advances cell `index` of the heart by one tick at tone t and reports what happened.
CellEvent StepCell(CCoeur& heart, int32_t index, int32_t t);

// A resting cell: excitable, nothing pending, nothing counting but an escape that does not run
// out this tick.  Its step only counts the escape down (below 2000), which the tick does inline:
// most cells of a beating heart rest most of the time.
inline bool CellRests(const CCell& cell) {
    return (cell.trigger | cell.activeWindow | cell.arpCounter | cell.rrpCounter |
            cell.conductCounter | cell.qrsPhase | cell.propagating) == 0 &&
           cell.windowCounter <= 0 && cell.escapeCounter > 1 && cell.escapeB < kInertEscape;
}

// A quiet cell: nothing pending, no escape due, no impulse crossing it, and no refractory
// counter running out this tick.  Its step only counts down (escape, refractory counters, window,
// recently-fired window, QRS phase) and reports nothing; the resting cell is the quiet cell with
// nothing but its escape counting.  Most cells of a beating heart are quiet most of the time,
// and the tick takes this step inline.
inline bool CellQuiet(const CCell& cell) {
    return cell.trigger == 0 && cell.conductCounter == 0 && cell.escapeCounter > 1 &&
           cell.arpCounter != 1 && cell.rrpCounter != 1 && cell.escapeB < kInertEscape;
}

// The step of a quiet cell, exactly as StepCell takes it, without branches: the cells of a
// beating heart are in every phase at once, and the tick takes this step for most of them.
inline void StepQuietCell(CCell& cell) {
    cell.propagating = 0;
    cell.escapeCounter -= cell.escapeCounter < 2000 ? 1 : 0;
    const bool windowRuns = cell.activeWindow > 0;
    cell.activeWindow -= windowRuns ? 1 : 0;
    const bool recovered = windowRuns && cell.arpCounter == 0 && cell.rrpCounter == 0;
    cell.fatigue = recovered ? cell.fatigue / 2 : cell.fatigue;
    cell.arpCounter -= cell.arpCounter > 0 ? 1 : 0;
    cell.rrpCounter -= cell.rrpCounter > 0 ? 1 : 0;
    cell.windowCounter -= cell.windowCounter > 0 ? 1 : 0;
    cell.qrsPhase -= (cell.qrsPhase > 0 ? 1 : 0) - (cell.qrsPhase < 0 ? 1 : 0);
}

// The step with the resting and quiet cases inline.
inline CellEvent StepCellFast(CCoeur& heart, int32_t index, int32_t t) {
    CCell& cell = heart.cells[index];
    if (CellRests(cell)) {
        if (cell.escapeCounter < 2000) --cell.escapeCounter;
        return 0;
    }
    if (CellQuiet(cell)) {
        StepQuietCell(cell);
        return 0;
    }
    return StepCell(heart, index, t);
}

// Runs every link once, in array order, after all cells have stepped.
void PropagateLinks(CCoeur& heart);
// The same with each cell's `propagating` flag already gathered into `leaving` (one byte per
// cell, cellCount of them), as the tick gathers them while it steps the cells.
void PropagateLinks(CCoeur& heart, const uint8_t* leaving);

// Excites a cell from outside, as from cell 0 (it fires on its next step).  The stimulator only
// excites a cell that is not absolutely refractory; the pacemaker excites unconditionally.
void Stimulate(CCell& cell, bool onlyIfExcitable);

}  // namespace vantrel
