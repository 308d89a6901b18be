// The rule by which one cell advances by one 5 ms tick, and the rule by which firing cells excite
// their neighbours over the links.  The global tick calls StepCell for every cell in index order,
// then PropagateLinks once.
#pragma once

#include <cstdint>
#include <utility>

#include "engine/tick_cells.h"
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

// Steps cell i held by the tick through tick `c.now`, exactly as StepCell steps its record: a step
// that needs no model value in the tick's copy, any other on the record, whose counters are
// brought up to date first and taken back after; then the cell's part in the sample and its next
// visit.  Visiting a cell whose step is quiet changes nothing but the tick its counters stand at.
CellEvent StepHeldCell(CCoeur& heart, TickCells& c, int32_t i, int32_t t);

// Runs every link once, in array order, after all cells have stepped.
void PropagateLinks(CCoeur& heart);

// Link k conducts if an impulse leaves one of its ends this tick (`leaving(c)`), in the
// directions its type and the gate allow: `excite(c, source)` gives cell c a pending excitation
// from cell `source - 1`.  A link free of orientation takes the direction of its first
// conduction from B to A.
template <class Leaving, class Excite>
void ConductOverLink(CCoeur& heart, int32_t k, Leaving&& leaving, Excite&& excite) {
    const int32_t level = heart.robustnessLevel;
    CellLink& link = heart.links[k];
    const bool fromA = leaving(link.cellA) &&
                       (link.linkType == LinkType::Bidir || link.linkType == LinkType::BlocRetro);
    const bool fromB = leaving(link.cellB) && link.robustR > level &&
                       (link.linkType == LinkType::Bidir || link.linkType == LinkType::BlocAntero);
    if (fromA) {
        if (link.robustA > level) excite(link.cellB, link.cellA + 1);
        link.orientationFree = 0;
    }
    if (fromB) {
        excite(link.cellA, link.cellB + 1);
        if (link.orientationFree == 1) {
            std::swap(link.cellA, link.cellB);
            std::swap(link.sideA, link.sideB);
            link.orientationFree = 0;
        }
    }
}

// Runs the links touching the cells in `leavingCells` (an impulse leaves each this tick), once
// each and in link order, as the walk over every link would: the other links conduct nothing.
template <class Excite>
void PropagateLinksOf(CCoeur& heart, const TickCells& c, const int16_t* leavingCells,
                      int32_t leavingCount, Excite&& excite) {
    uint64_t leaving[(kMaxCells + 63) / 64] = {};
    uint64_t links[(kMaxLinks + 63) / 64] = {};
    for (int32_t n = 0; n < leavingCount; ++n) {
        const int32_t cell = leavingCells[n];
        leaving[cell >> 6] |= uint64_t{1} << (cell & 63);
        for (int32_t e = c.linkStart[cell]; e < c.linkStart[cell + 1]; ++e)
            links[c.linkIndex[e] >> 6] |= uint64_t{1} << (c.linkIndex[e] & 63);
    }
    const auto isLeaving = [&](int32_t cell) { return (leaving[cell >> 6] >> (cell & 63)) & 1; };
    for (int32_t w = 0; w < (kMaxLinks + 63) / 64; ++w)
        for (uint64_t bits = links[w]; bits != 0; bits &= bits - 1)
            ConductOverLink(heart, w * 64 + __builtin_ctzll(bits), isLeaving, excite);
}

// Excites a cell from outside, as from cell 0 (it fires on its next step).  The stimulator only
// excites a cell that is not absolutely refractory; the pacemaker excites unconditionally.
void Stimulate(CCell& cell, bool onlyIfExcitable);

}  // namespace vantrel
