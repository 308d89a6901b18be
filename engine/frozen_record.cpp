#include "engine/frozen_record.h"

namespace vantrel {

void FrozenRecord::Freeze(const EcgDisplay& live, const HeartRateRing& rates) {
    const int32_t start = live.WriteIndex();
    for (int32_t k = 0; k < kRingSamples; ++k) {
        int32_t from = start + 1 + k;
        if (from >= kRingSamples) from -= kRingSamples;
        frozenRing[k] = live.liveRing[from];
    }
    for (int32_t k = 0; k < kRateRingSize; ++k) frozenRate[k] = rates.liveRate[(rates.rateIndex + 1 + k) % kRateRingSize];
    ratesKept = rates.valueCount;
}

}  // namespace vantrel
