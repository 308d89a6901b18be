#include "engine/ecg_display.h"

#include <algorithm>

namespace vantrel {

int32_t LeadValue(const EcgSample& sample, int lead) {
    const int32_t a = sample.bytes[kEcgX];
    const int32_t b = sample.bytes[kEcgY];
    const int32_t c = sample.bytes[kEcgZ];
    if (a == -126) return -1000;
    if (a == -127) return -1001;
    auto precordial = [&](int k) {
        const int32_t stored = sample.bytes[kEcgV1 + k];
        if (stored != kNoPrecordialList) return stored;
        return std::clamp(StandardVectorTerm(k, a, b, c), -127, 127);
    };
    switch (lead) {
        case 0: return (79 * a - 24 * b + 8 * c) / 100;
        case 1: return (24 * a + 105 * b - c) / 100;
        case 2: return (-56 * a + 129 * b - 9 * c) / 100;
        case 3: return (-51 * a - 41 * b - 3 * c) / 100;
        case 4: return (67 * a - 77 * b + 8 * c) / 100;
        case 5: return (-16 * a + 117 * b - 5 * c) / 100;
        case 6: case 7: case 8: case 9: case 10: case 11: return precordial(lead - 6);
        case 12: return a;
        case 13: return b;
        case 14: return c;
        case 15: return sample.bytes[kEcgOes];
        case 16: return sample.bytes[kEcgResp];
        default: return 0;
    }
}

void EcgDisplay::PushSample(const EcgSample& sample) {
    const int32_t index = writeIndex.load(std::memory_order_relaxed);
    EcgSample& stored = liveRing[index];
    stored = sample;
    if (sample.bytes[kEcgX] < -126) markerCountdown = 8;
    if (markerCountdown > 0) {
        --markerCountdown;
        const int8_t incoming = sample.bytes[kEcgMarker];
        stored.bytes[kEcgMarker] = incoming > 0 ? int8_t{125} : incoming < 0 ? int8_t{-125} : int8_t{0};
    } else {
        stored.bytes[kEcgMarker] = 0;
    }
    writeIndex.store(index + 1 == kRingSamples ? 0 : index + 1, std::memory_order_release);
}

}  // namespace vantrel
