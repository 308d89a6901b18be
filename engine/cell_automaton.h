// The rule by which one cell advances by one 5 ms tick, and the rule by which firing cells excite
// their neighbours over the links.  The global tick calls StepCell for every cell in index order,
// then PropagateLinks once.
#pragma once

#include <cstdint>
#include <utility>

#include "engine/cell_columns.h"
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

// A quiet cell in the columns: not inert, nothing pending, no escape due, no refractory counter
// running out, and no impulse about to leave the cell or finish crossing it this tick.  Its step
// only counts down (escape, recently-fired window, refractory and window counters, conduction,
// QRS phase) and reports nothing.  Most cells of a beating heart are quiet most of the time.
inline bool CellQuiet(const CellColumns& c, int32_t i) {
    const int32_t conduct = c.conductCounter[i];
    return (c.trigger[i] | c.inert[i]) == 0 && c.escapeCounter[i] > 1 && c.arpCounter[i] != 1 &&
           c.rrpCounter[i] != 1 && (conduct == 0 || conduct > 2);
}

// The step of a quiet cell, exactly as StepCell takes it, without branches: the cells of a
// beating heart are in every phase at once.
inline void StepQuietCell(CellColumns& c, int32_t i) {
    c.propagating[i] = 0;
    c.escapeCounter[i] -= c.escapeCounter[i] < 2000 ? 1 : 0;
    const int32_t window = c.activeWindow[i];
    const bool windowRuns = window > 0;
    c.activeWindow[i] = window - (windowRuns ? 1 : 0);
    const int32_t arp = c.arpCounter[i], rrp = c.rrpCounter[i];
    const bool recovered = windowRuns && arp == 0 && rrp == 0;
    c.fatigue[i] = recovered ? c.fatigue[i] / 2 : c.fatigue[i];
    c.arpCounter[i] = arp - (arp > 0 ? 1 : 0);
    c.rrpCounter[i] = rrp - (rrp > 0 ? 1 : 0);
    c.windowCounter[i] -= c.windowCounter[i] > 0 ? 1 : 0;
    c.conductCounter[i] -= c.conductCounter[i] > 0 ? 1 : 0;
    const int32_t qrs = c.qrsPhase[i];
    c.qrsPhase[i] = qrs - (qrs > 0 ? 1 : 0) + (qrs < 0 ? 1 : 0);
}

// An inert cell whose window and conduction have ended: its step changes nothing but the
// propagating flag, which it clears.
inline bool CellIdleInert(const CellColumns& c, int32_t i) {
    return c.inert[i] != 0 && (c.activeWindow[i] | c.conductCounter[i]) == 0;
}

// The full step of cell i held in the columns: on its record, whose counters are brought up to
// date first and taken back after.
inline CellEvent StepCellOnRecord(CCoeur& heart, CellColumns& c, int32_t i, int32_t t) {
    CCell& cell = heart.cells[i];
    c.StoreCell(cell, i);
    const CellEvent event = StepCell(heart, i, t);
    c.LoadCell(cell, i);
    return event;
}

// Advances cell i held in the columns by one tick, exactly as StepCell advances its record: the
// quiet and idle cases in the columns, every other step on the record.
inline CellEvent StepCellInColumns(CCoeur& heart, CellColumns& c, int32_t i, int32_t t) {
    if (CellQuiet(c, i)) {
        StepQuietCell(c, i);
        return 0;
    }
    if (CellIdleInert(c, i)) {
        c.propagating[i] = 0;
        return 0;
    }
    return StepCellOnRecord(heart, c, i, t);
}

// Runs every link once, in array order, after all cells have stepped.
void PropagateLinks(CCoeur& heart);

// The same with each cell's `propagating` flag already gathered into `leaving` (one byte per
// cell, cellCount of them), as the tick gathers them while it steps the cells; `triggerOf(c)`
// gives where cell c's pending excitation is kept (its record, or the tick's columns).
template <class TriggerOf>
void PropagateLinks(CCoeur& heart, const uint8_t* leaving, TriggerOf&& triggerOf) {
    const int32_t level = heart.robustnessLevel;
    const int32_t cellCount = heart.cellCount < 0 ? 0 : heart.cellCount > kMaxCells ? kMaxCells : heart.cellCount;
    for (int32_t i = 0; i < heart.linkCount; ++i) {
        CellLink& link = heart.links[i];
        // A link naming a cell that is not loaded conducts nothing.
        if (link.cellA < 0 || link.cellA >= cellCount || link.cellB < 0 || link.cellB >= cellCount)
            continue;
        const bool fromA = leaving[link.cellA] &&
                           (link.linkType == LinkType::Bidir || link.linkType == LinkType::BlocRetro);
        const bool fromB = leaving[link.cellB] && link.robustR > level &&
                           (link.linkType == LinkType::Bidir || link.linkType == LinkType::BlocAntero);
        if (!fromA && !fromB) continue;
        if (fromA) {
            if (link.robustA > level) triggerOf(link.cellB) = link.cellA + 1;
            link.orientationFree = 0;
        }
        if (fromB) {
            triggerOf(link.cellA) = link.cellB + 1;
            if (link.orientationFree == 1) {
                std::swap(link.cellA, link.cellB);
                std::swap(link.sideA, link.sideB);
                link.orientationFree = 0;
            }
        }
    }
}

// Excites a cell from outside, as from cell 0 (it fires on its next step).  The stimulator only
// excites a cell that is not absolutely refractory; the pacemaker excites unconditionally.
void Stimulate(CCell& cell, bool onlyIfExcitable);

}  // namespace vantrel
