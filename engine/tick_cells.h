// The cells as the clock's tick works on them: each cell's counters in a compact record of its
// own, and a schedule of the ticks at which each cell next needs a visit.
//
// Most cells of a beating heart are quiet most of the time: nothing is pending, no escape is due,
// no refractory counter runs out, no impulse is about to leave them; their step only counts down.
// A quiet stretch is known in advance from the counters, so a cell is not visited during it: the
// tick keeps each cell's counters as they stood after its step of tick `since`, and the counters
// of any later tick up to the cell's next visit follow from them (Advance).  A cell is visited
// when its step is not quiet (the steps that need the cell's model values run on its record),
// when its part in the ECG sample changes, or when a link or a stimulus excites it.
//
// The sample: a cell in its QRS, with an injury offset, or with a T wave too large for the
// cohort sums is added one by one each tick (the "listed" cells).  A cell with a plain T wave adds,
// at window count w, a term that depends on w alone; such cells are summed by cohort, the cohort
// being the tick at which their window ends: joining a cohort adds the cell's terms to the
// cohort's rows, so that the sample of a tick adds one row per cohort.
//
// While the tick holds the cells, the counters are out of date in the records, and so are the
// local signals (`cellZ`) of the cells not listed; every other field of the records stays the
// truth.  Release writes them back; a later take keeps every cell whose record still holds what
// was written.  The clock releases at the end of every tick unless its caller asked it to keep
// the cells between ticks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "engine/heart_record.h"

namespace vantrel {

// What a cell adds to the sample of a tick.
enum class SampleClass : uint8_t {
    None,    // nothing: outside its window, or between its QRS and its T wave
    Listed,  // its QRS, its injury offset, or a large T wave: added one by one
    PlainT,  // its plain T wave: added with its cohort
};

// A 64-bit sum as the nearest 32-bit value (a cell's local signal).
inline int32_t Saturate32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

inline constexpr int32_t kWheelSlots = 4096;  // ticks ahead the schedule holds exactly
inline constexpr int32_t kCohortSlots = 512;  // a cohort's window ends within this many ticks
inline constexpr int32_t kTWaveTicks = 48;    // window counts 48 .. 1 carry the T wave
// The T-wave shape, one value per two ticks, by window count 48 .. 1.
inline constexpr int32_t kTWaveShapes = kTWaveTicks / 2;
inline constexpr int32_t kTWave[kTWaveShapes] = {1, 1, 2, 2, 3, 3, 4, 5, 6, 7, 9, 11, 12, 13, 14, 15, 15, 13, 11, 8, 5, 3, 2, 1};
inline constexpr int32_t kNever = 0x7FFFFFFF;
// Ticks after which the cells are taken anew (their tick count restarts), long before it runs out.
inline constexpr int32_t kRetakeNow = 1 << 30;

// What the tick reads and writes of a cell at every visit, in one cache line: a visit touches
// one line instead of one per counter.
struct alignas(64) TickCellState {
    int32_t since;  // the tick after whose step the counters below stand
    // The counters, named as in the record.
    int32_t escapeCounter;
    int32_t trigger;
    int32_t fatigue;
    int32_t activeWindow;
    int32_t arpCounter;
    int32_t rrpCounter;
    int32_t windowCounter;
    int32_t conductCounter;
    int32_t qrsPhase;
    int32_t propagating;
    int32_t absAmplitude;  // |amplitude|, for the activity sums
    int32_t cohortEnd;     // tick at which a PlainT cell's window ends: its cohort
    int16_t listedAt;      // position in `listed`, -1 when not listed
    uint8_t inert;
    SampleClass sampleClass;
    uint8_t ventricularCounted;  // counted among the conducting ventricular cells
    // What decides the cell's sample class besides its counters, here so that a visit reads one
    // line: the T wave too large for 64-bit cohort sums, an injury offset, T-wave terms copied
    // since the cell last joined a cohort.
    uint8_t tWaveLarge;
    uint8_t injured;
    uint8_t termsCopied;
};
static_assert(sizeof(TickCellState) == 64);

// The counters a cell's step changes lie in the same order in the record and in the held
// state, from `escapeCounter` to `propagating`, so that they are copied and compared as one block.
inline constexpr size_t kHeldCountersSize = offsetof(CCell, propagating) + sizeof(int32_t) - offsetof(CCell, escapeCounter);
static_assert(kHeldCountersSize == 10 * sizeof(int32_t) && kHeldCountersSize % sizeof(uint64_t) == 0 &&
              offsetof(TickCellState, propagating) + sizeof(int32_t) - offsetof(TickCellState, escapeCounter) ==
                  kHeldCountersSize &&
              offsetof(CCell, fatigue) - offsetof(CCell, escapeCounter) ==
                  offsetof(TickCellState, fatigue) - offsetof(TickCellState, escapeCounter) &&
              offsetof(CCell, conductCounter) - offsetof(CCell, escapeCounter) ==
                  offsetof(TickCellState, conductCounter) - offsetof(TickCellState, escapeCounter));

// What the sample reads of a cell: copies of record fields that change only in a firing step, at
// the end of a QRS, or from outside the tick (which releases the cells first).  Two to a line.
struct alignas(32) TickCellWave {
    int32_t amplitude;
    int32_t dipoleX, dipoleY, dipoleZ;
    int32_t stOffset;
    int32_t tSmoothed;
    int8_t qrsShape[8];
};
static_assert(sizeof(TickCellWave) == 32);

// A cell's T-wave terms before the wave's shape: dipole x T setting (x 100 for a large cell with a
// plain T), so that the term at shape value t is term * t / 200.
struct TickCellTerms {
    int64_t x, y, z;
    int64_t joined[3];  // the terms with which a PlainT cell joined its cohort
};

struct TickCells {
    bool held = false;
    int32_t count = 0;
    int32_t now = 0;  // the last tick stepped

    TickCellState state[kMaxCells];
    TickCellWave wave[kMaxCells];
    TickCellTerms terms[kMaxCells];
    // The relative refractory period's tone pair (rrpB, rrpH), ms, copied like the wave.
    int32_t relativeRefractory[kMaxCells][2];

    // Schedule: a wheel of tick slots, each a list of cells.  A cell due further ahead than the
    // wheel reaches waits in the wheel's last slot and is visited there, which changes nothing.
    // Apart from the cells' state, so that walking a slot stays in the fastest cache.
    int32_t visitAt[kMaxCells];  // the tick of the cell's next visit
    int16_t wheelNext[kMaxCells];
    int16_t wheelPrev[kMaxCells];
    int16_t wheelSlotOf[kMaxCells];
    int16_t wheelHead[kWheelSlots];
    // Cells to visit this tick, one bit per cell, gathered before the visits run in index order.
    uint64_t due[(kMaxCells + 63) / 64];

    // The sample.
    int16_t listed[kMaxCells];
    int32_t listedCount = 0;
    int32_t cohortTick[kCohortSlots];                  // the cohort a slot holds
    // Its terms: at shape value t (one per two window counts, index k), quotient * t + remainder[k].
    int64_t cohortQuotient[kCohortSlots][3];
    int16_t cohortRemainder[kCohortSlots][3][kTWaveTicks / 2];
    int32_t tWaveOn = 1;
    // The local signals of the cells not listed are written at release (or for a precordial
    // source, when the sample reads it) from the last sample's stimulus mark.
    bool cellZPending = false;
    int32_t cellZBase = 0;
    int16_t precordialSources[kPrecordialLeads * kPrecordialTerms];
    int32_t precordialSourceCount = 0;

    // The links touching each cell, in link order: cell c's are linkIndex[linkStart[c] ..
    // linkStart[c + 1]).
    int16_t linkStart[kMaxCells + 1];
    int16_t linkIndex[2 * kMaxLinks];

    // The links as taken: the lists above hold while no link is added and the record is not
    // emptied for a new model (the links' ends are written only then).
    int32_t linkCountTaken = 0;
    uint32_t clearingsTaken = 0;
    bool taken = false;  // taken once: what a release keeps can be taken again

    // The ventricular cells conducting an impulse: |amplitude| summed, and how many.
    int32_t lastAtrial = 0;
    int32_t firstVentricular = 0;
    int32_t ventricularConductingSum = 0;
    int32_t ventricularConductingCount = 0;
    // The same as a tree of partial sums by index, for the sum up to any cell.  Unsigned: the sums wrap as the
    // 32-bit sums of the cells in index order would.
    uint32_t ventricularTree[kMaxCells + 1];

    // Takes every loaded cell from the records, as they stand after the last tick.  After a
    // release, the cells whose records are as the release left them are kept as they were, with
    // their schedule and their part in the sample; only the cells changed since (a stimulus, a
    // dialog, a drug) are loaded again.
    void Take(const CCoeur& heart);
    // Writes every cell's counters (and the pending local signals) back into the records and lets
    // go of them.
    void Release(CCoeur& heart);

    // Brings cell i's counters to tick `tick` (at most its next visit): the quiet steps between.
    void Advance(int32_t i, int32_t tick);
    // Counters of cell i at a tick up to its next visit, without advancing it.
    int32_t ActiveWindowAt(int32_t i, int32_t tick) const;
    int32_t QrsPhaseAt(int32_t i, int32_t tick) const;
    // The step of tick `since + 1` when it needs nothing of the record `cell` but whether it has
    // a block window: a quiet step; a step that only loses an excitation in the absolute
    // refractory period (the impulses of a wave front reach the cells it has just excited); a
    // step in which only the relative refractory period or the conduction ends or the impulse
    // leaves a cell without a block window; the end of the absolute refractory period at tone
    // `tone`.  Returns false, changing nothing, when the cell must step in full.
    bool StepWithoutRecord(const CCell& cell, int32_t i, int32_t tone, CellEvent& event);

    // One cell's counters into its record / from it (with the copies), as of tick `tick`.
    void StoreCell(CCell& cell, int32_t i) const;
    void LoadCell(const CCell& cell, int32_t i, int32_t tick);
    // The same in two halves: a step that does not fire changes the counters alone.
    void LoadCounters(const CCell& cell, int32_t i, int32_t tick);
    void LoadCopies(const CCell& cell, int32_t i);

    // Puts cell i (its counters at tick `now`) in its sample class of that tick, counts it among
    // the conducting ventricular cells or not, and schedules its next visit.
    void Classify(int32_t i);

    // Gives cell i a pending excitation from cell `source - 1` (a link's impulse): the cell steps
    // in full at the next tick.  Its later place in the wheel stays until that visit schedules
    // the next one (a visit removes the cell from the wheel first).
    void Excite(int32_t i, int32_t source) {
        state[i].trigger = source;
        if (visitAt[i] > now + 1) {
            visitAt[i] = now + 1;
            MarkDue(i);
        }
    }
    // Marks cell i to visit in this tick's pass, or in the next tick's when this tick's pass is
    // over (it has been excited).
    void MarkDue(int32_t i) { due[i >> 6] |= uint64_t{1} << (i & 63); }
    // Schedules cell i for a visit at tick `tick` (at once if it is in the past).
    void Schedule(int32_t i, int32_t tick);
    // Moves the cells of this tick's wheel slot into `due`.
    void CollectDue();

    // The local signal of a cell that is not listed, at tick `now`, with stimulus mark `base`.
    int32_t UnlistedCellZ(int32_t i, int32_t base) const;
    // The sum of the plain T waves of tick `now`.
    void SumCohorts(int64_t& x, int64_t& y, int64_t& z) const;

    // The activity sums over the cells up to index `end` (exclusive) at tick `now`.
    int32_t AtrialWindowSum(int32_t end) const;
    int32_t VentricularConductingSum(int32_t end) const;

private:
    void TakeAll(const CCoeur& heart);
    void TakePrecordialSources(const CCoeur& heart);
    void TakeLinks(const CCoeur& heart);
    // Whether cell i's record holds what the last release wrote and what its copies came from.
    bool AsReleased(const CCell& cell, int32_t i) const;
    // Loads cell i from its record again (changed while released).
    void Reload(const CCell& cell, int32_t i);
    // Counts cell i among the conducting ventricular cells (1) or not (0).
    void CountConducting(int32_t i, int32_t conducting);
    void Unschedule(int32_t i);
    void ListCell(int32_t i);
    void UnlistCell(int32_t i);
    void JoinCohort(int32_t i, int32_t endTick);
    void LeaveCohort(int32_t i);
};

// Visits the cells marked in a bit set, in index order: `visit(i)` for each, clearing its bit.
template <class Visit>
void ForEachDue(uint64_t* bits, int32_t count, Visit&& visit) {
    const int32_t words = (count + 63) / 64;
    for (int32_t w = 0; w < words; ++w) {
        while (bits[w] != 0) {
            const int bit = __builtin_ctzll(bits[w]);
            bits[w] &= bits[w] - 1;
            visit(w * 64 + bit);
        }
    }
}

}  // namespace vantrel

namespace vantrel {

inline int32_t TickCells::ActiveWindowAt(int32_t i, int32_t tick) const {
    const TickCellState& c = state[i];
    if (c.inert || c.activeWindow <= 0) return c.activeWindow;
    return std::max(c.activeWindow - (tick - c.since), 0);
}

inline int32_t TickCells::QrsPhaseAt(int32_t i, int32_t tick) const {
    const TickCellState& c = state[i];
    const int32_t qrs = c.qrsPhase;
    if (c.inert) return qrs;
    const int32_t d = tick - c.since;
    return qrs > 0 ? std::max(qrs - d, 0) : qrs < 0 ? std::min(qrs + d, 0) : 0;
}

}  // namespace vantrel
