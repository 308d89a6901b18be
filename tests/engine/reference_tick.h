// The plain global tick, kept as the reference for the engine's tick: every cell stepped in full
// in index order, every link walked in link order, every cell's ECG contribution summed.  It is
// the tick as it was before the engine learned to skip resting cells; the side-by-side test runs
// both on the same hearts and demands identical results.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "engine/ecg_display.h"
#include "engine/ecg_synthesis.h"
#include "engine/heart_record.h"
#include "engine/rhythm_measurement.h"
#include "engine/simulation_clock.h"

namespace vantrel::testing {

// Step 10 of the plain tick, after cell i has stepped: adds the cell to the activity sums (the
// engine keeps these sums as the cells change instead).
inline void AddActivity(CCoeur& heart, int32_t i, ActivitySums& sums) {
    const CCell& cell = heart.cells[i];
    if (i < heart.lastAtrialIndex && cell.activeWindow != 0) sums.atrial += std::abs(cell.amplitude);
    if (i >= heart.firstVentricularIndex && cell.conductCounter != 0) {
        sums.ventricular += std::abs(cell.amplitude);
        heart.measureCountdown = 6;
    }
}

// One global tick in the plain way, posting cell notices as the timer does.  Returns whether some
// cell fired; `closed` tells whether a complex was closed.
bool ReferenceTick(CCoeur& heart, bool& closed);

// The plain synthesis of one sample.
void ReferenceSynthesise(CCoeur& heart, EcgSample& sample);

// Tick plus its sample, as the clock's timer runs it, pushing into `display`.
TickRecord ReferenceTickAndSample(CCoeur& heart, EcgDisplay& display);

}  // namespace vantrel::testing
