// The heart-rate trend: one byte of beats per minute every 5 s of simulated time, 15 minutes in
// a ring.  Written by the view's rate sampling on the interface thread only.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vantrel {

inline constexpr int kRateRingSize = 180;

struct HeartRateRing {
    uint8_t liveRate[kRateRingSize] = {};
    int32_t rateIndex = 0;    // next slot
    int32_t rateUpdated = 0;  // set by PushHeartRate, cleared when the trend is redrawn
    int32_t valueCount = 0;   // values pushed so far, up to the ring's size

    // Stores the rate saturated to 0..255 and advances the ring.
    void PushHeartRate(int32_t rate) {
        liveRate[rateIndex] = static_cast<uint8_t>(std::clamp(rate, 0, 255));
        rateIndex = (rateIndex + 1) % kRateRingSize;
        rateUpdated = 1;
        if (valueCount < kRateRingSize) ++valueCount;
    }
};

}  // namespace vantrel
