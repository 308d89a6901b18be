// Rhythm measurement while the automaton runs: the heart rate from the firings of a reference
// cell (and of cell 5), and, complex by complex, the PR, QT and RR intervals read from when atrial
// and ventricular cells fire and how long they stay active.  The global tick calls the hooks in
// its order; the view's redraw handler calls the rate queries every 1000 ticks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/heart_record.h"

namespace vantrel {

// Activity of the tick so far: SA over atrial cells still in their recently-fired window, SV over
// ventricular cells still conducting.  A firing is judged against the cells up to itself.
struct ActivitySums {
    int32_t atrial = 0;
    int32_t ventricular = 0;
    int32_t Atrial() const { return atrial; }
    int32_t Ventricular() const { return ventricular; }
};

// Tick step 5: the rate counters count one more tick.
void CountRateTicks(CCoeur& heart);

// Tick step 9: closes the current complex 6 ticks after the last conducting ventricular tick,
// storing PR, QT and RR (and appending them to the interval table while recording).  Returns true
// when a complex was closed in this tick.
bool CloseComplex(CCoeur& heart);

// Tick step 10, when cell i fired: onsets of P and QRS and the candidate end of repolarisation.
// `sums` gives Atrial() and Ventricular() over the cells up to i; each is asked for only when the
// other conditions hold, for a tick that works them out on demand.
template <class Sums = ActivitySums>
void NoteIntervalFiring(CCoeur& heart, int32_t i, const Sums& sums) {
    if (i == heart.sinusClockCell) {
        heart.sinusClock = 0;
    } else if (heart.prStart == 0 && i <= heart.lastAtrialIndex &&
               heart.intervalClock > heart.rrInterval / 2 - 30 && sums.Atrial() > 100) {
        heart.prStart = heart.intervalClock;
    }
    if (i >= heart.firstVentricularIndex && heart.ventricularOnset < 0)
        heart.ventricularOnset = heart.intervalClock;
    if (i >= heart.firstVentricularIndex && heart.intervalClock > heart.qrsStart &&
        sums.Ventricular() > 100) {
        if (heart.qrsStart == 0) heart.qrsStart = heart.intervalClock;
        heart.tEndCandidate =
            std::max(heart.tEnd, heart.intervalClock + 5 * (heart.cells[i].activeWindow - 6));
    }
}

// Tick step 10, when cell i fired: the rate counters of the rate cell and of cell 5.
void CountRateFiring(CCoeur& heart, int32_t i);

// Tick step 12: takes the candidate end of repolarisation while the ventricles are active.
void EstimateEndOfRepolarisation(CCoeur& heart, const ActivitySums& sums);

// Tick step 13: the sinus, activation and interval clocks advance by 5 ms.
void AdvanceMeasureClocks(CCoeur& heart);

// Heart rate of the rate cell, bpm; refreshes `diastolicPercent` when two firings were counted.
// Call with the model lock held.
int32_t RateCellHeartRate(CCoeur& heart);

// Heart rate of cell 5, bpm.  Call with the model lock held.
int32_t Cell5HeartRate(CCoeur& heart);

}  // namespace vantrel
