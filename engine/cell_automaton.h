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

// The same step, with the common case first and inline: a resting cell (excitable, nothing
// pending, nothing counting but an escape that does not run out this tick) only counts its
// escape down.  Most cells of a beating heart rest most of the time, and the tick calls this for
// every cell.
inline CellEvent StepCellFast(CCoeur& heart, int32_t index, int32_t t) {
    CCell& cell = heart.cells[index];
    if ((cell.trigger | cell.activeWindow | cell.arpCounter | cell.rrpCounter | cell.conductCounter |
         cell.qrsPhase | cell.propagating) == 0 &&
        cell.windowCounter <= 0 && cell.escapeCounter > 1 && cell.escapeB < kInertEscape) {
        if (cell.escapeCounter < 2000) --cell.escapeCounter;
        return 0;
    }
    return StepCell(heart, index, t);
}

// Runs every link once, in array order, after all cells have stepped.
void PropagateLinks(CCoeur& heart);

// Excites a cell from outside, as from cell 0 (it fires on its next step).  The stimulator only
// excites a cell that is not absolutely refractory; the pacemaker excites unconditionally.
void Stimulate(CCell& cell, bool onlyIfExcitable);

}  // namespace vantrel
