// Turns the state of every cell into one ECG sample per tick: the three orthogonal surface
// components, four intracardiac electrograms, six precordial leads and an oesophageal lead, with
// the stimulus and shock artefacts on top.  The limb leads are derived from X, Y and Z by the
// displays (engine/ecg_display.h).
#pragma once

#include <cstdint>

#include "engine/tick_cells.h"
#include "engine/heart_record.h"

namespace vantrel {

// Byte positions inside one sample.
enum EcgByte : int {
    kEcgX = 0,
    kEcgY = 1,
    kEcgZ = 2,             // the negated Z sum
    kEcgIc1 = 3,           // I.C.1 .. I.C.4 are bytes 3..6
    kEcgV1 = 7,            // V1 .. V6 are bytes 7..12; -128 = no source list, derive from X, Y, Z
    kEcgResp = 13,         // respiration, written by the clock
    kEcgOes = 14,          // oesophageal lead
    kEcgMarker = 15,       // not written by the engine; the sample ring rewrites it
    kEcgSampleMarker = 16  // the heart's sample-marker field, written by the clock
};
inline constexpr int kEcgSampleBytes = 17;
inline constexpr int8_t kNoPrecordialList = -128;

// One sample of every lead, signed 8-bit each.
struct EcgSample {
    int8_t bytes[kEcgSampleBytes] = {};
};

// Fills bytes 0..12 and 14 of a cleared sample from the current model.  Clears `markerFlag`,
// decays `shockArtifact`, updates `cellZ` and, for anterograde cells ending their QRS, `jLevel` and
// `stOffset`.  The caller holds the model lock.  One sample outside the clock's ticks: it takes
// the cells into a store of its own (allocated for the call) and writes them back.
void Synthesise(CCoeur& heart, EcgSample& sample);

// The same from the cells the tick holds (engine/tick_cells.h): the plain T waves by cohort,
// every other contribution one cell at a time; the local signals of the cells not listed are
// written when the tick lets go of the cells.
void SynthesiseTickCells(CCoeur& heart, TickCells& tickCells, EcgSample& sample);

// The standard vector term of precordial lead `lead` (0 = V1 .. 5 = V6) from X, Y and the stored
// (negated) Z, as bytes 0, 1, 2 hold them.  Synthesis feeds V2 the unclamped sums instead of the
// bytes (X, Y, -Z), which keeps V2 exact when the surface components saturate.
int32_t StandardVectorTerm(int lead, int32_t x, int32_t y, int32_t negatedZ);

}  // namespace vantrel
