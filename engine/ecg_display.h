// The sample store of the whole program: the ring of the last 15 minutes of ECG samples that the
// clock fills once per tick and the strip, the frozen ECG and the recording read; and the lead
// table from which the displays derive the seventeen surface leads of a sample.  No drawing here:
// the strip that draws from this store lives with the desktop.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string_view>

#include "engine/ecg_synthesis.h"

namespace vantrel {

inline constexpr int32_t kRingSamples = 180000;  // 15 minutes at 200 samples per second
inline constexpr int kLeadCount = 17;

// The names of the leads offered for the lower traces, in `LeadValue` index order.
inline constexpr std::array<std::string_view, kLeadCount> LeadTable = {
    "I", "II", "III", "aVR", "aVL", "aVF", "V1", "V2", "V3",
    "V4", "V5", "V6", "X", "Y", "Z", "Oes", "Resp"};

// The value of lead `lead` (a `LeadTable` index) in a sample.  An X byte of -126 or -127 marks a
// vertical line in the derived traces and yields -1000 or -1001 whatever the lead; an index
// outside the table yields 0.  Limb leads are not clamped; a derived precordial lead is.
int32_t LeadValue(const EcgSample& sample, int lead);

// The sample store.  One producer (the clock, or step-by-step on the interface thread) and one
// consumer (the drawing): the producer writes a whole sample before it publishes the new
// `writeIndex`, and a reader takes `WriteIndex()` once and reads only the slots before it.
struct EcgDisplay {
    EcgSample liveRing[kRingSamples];

    // Appends a sample and rewrites byte 15 of the stored copy: a sample whose X byte is below
    // -126 starts a marker of eight samples, during which byte 15 becomes +125, -125 or 0 after
    // the sign of the incoming byte 15; outside a marker it is 0.
    void PushSample(const EcgSample& sample);

    // The next slot PushSample fills, 0..179999; acquire order, so that every slot before it is
    // completely written for the reader.
    int32_t WriteIndex() const { return writeIndex.load(std::memory_order_acquire); }

    std::atomic<int32_t> writeIndex{0};
    int32_t markerCountdown = 0;  // samples left in the current marker (producer only)
};

}  // namespace vantrel
