// The per-tick state of every cell side by side, column by column, as the clock's tick works on
// it.  The cell records lie 512 bytes apart, so a tick that counts down every cell's counters in
// its record walks over half a megabyte; the same counters in columns take a few tens of
// kilobytes and stay in the fastest cache from one tick to the next.
//
// While the columns hold the cells, the counters below are out of date in the records; every other
// field of the records stays the truth.  Release writes the counters back.  The clock releases at
// the end of every tick unless its caller asked it to keep the cells between ticks.
#pragma once

#include <cstdint>

#include "engine/heart_record.h"

namespace vantrel {

struct CellColumns {
    bool held = false;
    int32_t count = 0;

    // The counters every tick changes, named as in the record.
    int32_t escapeCounter[kMaxCells];
    int32_t trigger[kMaxCells];
    int32_t fatigue[kMaxCells];
    int32_t activeWindow[kMaxCells];
    int32_t arpCounter[kMaxCells];
    int32_t rrpCounter[kMaxCells];
    int32_t windowCounter[kMaxCells];
    int32_t conductCounter[kMaxCells];
    int32_t qrsPhase[kMaxCells];
    int32_t propagating[kMaxCells];

    // Copies of record fields the tick reads for every cell and the sample for every contributing
    // cell; they change only when the cell steps in full, at the end of its QRS, or from outside
    // the tick (which releases the columns first).
    int32_t inert[kMaxCells];
    int32_t absAmplitude[kMaxCells];
    int32_t amplitude[kMaxCells];
    int32_t dipoleX[kMaxCells];
    int32_t dipoleY[kMaxCells];
    int32_t dipoleZ[kMaxCells];
    int32_t stOffset[kMaxCells];
    int32_t tSmoothed[kMaxCells];
    // The cell's T-wave term before the wave's shape: dipole x T setting (or x 100 for a large
    // cell with a plain T), so that the term at shape value t is tWaveTerm * t / 200.  Zero when
    // the cell adds no T wave, or when the term is too large for the sample's 32-bit lanes
    // (`tWaveLarge`): such a cell is summed one by one in 64 bits.
    int32_t tWaveTermX[kMaxCells];
    int32_t tWaveTermY[kMaxCells];
    int32_t tWaveTermZ[kMaxCells];
    int32_t tWaveLarge[kMaxCells];

    // Scratch of one tick: 1 where the cell must take its full step (StepCell) this tick, after
    // StepQuietCells has stepped every other cell.
    uint8_t needsFullStep[kMaxCells];
    // Scratch of one sample: 1 where the cell adds something the 32-bit T-wave lanes do not hold
    // (its QRS, an injury offset, a large T wave).
    uint8_t summedAlone[kMaxCells];

    // Takes every loaded cell from the records.
    void Take(const CCoeur& heart);
    // Writes every cell's counters back into the records and lets go of them.
    void Release(CCoeur& heart);
    // One cell from its record, counters and copies.
    void LoadCell(const CCell& cell, int32_t i);
    // One cell's counters into its record.
    void StoreCell(CCell& cell, int32_t i) const;
};

// Steps every quiet cell (CellQuiet) and every idle inert cell in the columns, all at once, and
// marks every other cell in `needsFullStep`, for the tick to step in index order.  The cells do
// not read each other in their step, so the order of the quiet steps does not matter.
void StepQuietCells(CellColumns& columns);

// Visits the cells marked in a scratch column, in index order: `visit(i)` for each.
template <class Visit>
void ForEachMarked(const uint8_t* marks, int32_t count, Visit&& visit) {
    int32_t i = 0;
    // Eight marks at a time: most are clear.
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        __builtin_memcpy(&word, marks + i, 8);
        while (word != 0) {
            const int bit = __builtin_ctzll(word);
            visit(i + bit / 8);
            word &= word - 1;
        }
    }
    for (; i < count; ++i)
        if (marks[i]) visit(i);
}

}  // namespace vantrel
