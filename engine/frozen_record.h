// The frozen copy of the sample store: the last 15 minutes of samples and of the heart-rate
// trend as they stood at the moment the user froze the ECG, for the frozen screen, its printed
// page, the 12-lead report and the recording of the frozen stretch.  The live store keeps filling
// underneath; this copy changes only at the next freeze.
#pragma once

#include <cstdint>

#include "engine/ecg_display.h"
#include "engine/heart_rate_ring.h"

namespace vantrel {

// Positions on the frozen record are whole seconds before the moment of freezing at which a
// shown stretch ends: 0 the newest, 900 (15 minutes) the oldest.
inline constexpr int32_t kFrozenSeconds = 900;

struct FrozenRecord {
    // Slots 0..179998 hold the second oldest to the newest sample in time order; 179999 holds the
    // oldest (the copy starts at the slot after the write index and wraps once).
    EcgSample frozenRing[kRingSamples] = {};
    // Slots 0..178 hold the second oldest to the newest rate, 179 the oldest; the same order.
    uint8_t frozenRate[kRateRingSize] = {};
    // What the copy holds, for a recording of it: the heart's tick count of the newest sample, how
    // many of the samples and of the rates are real (fewer than the rings early in a run).
    int32_t lastTick = 0;
    int32_t samplesKept = 0;
    int32_t ratesKept = 0;

    // Copies the live rings.  The clock may be pushing meanwhile: the copy starts from the write
    // index read once at its start, so at most the newest sample can be torn.
    void Freeze(const EcgDisplay& live, const HeartRateRing& rates);
};

// The first frozen sample of a stretch ending at position `position` that is `samplesShown`
// samples long, clamped to 0..180000: a stretch reaching before the frozen data starts at its
// first sample.
inline int32_t FirstFrozenSample(int32_t position, int32_t samplesShown) {
    const int32_t j = (kFrozenSeconds - position) * 200 - samplesShown;
    return j < 0 ? 0 : j > kRingSamples ? kRingSamples : j;
}

}  // namespace vantrel
