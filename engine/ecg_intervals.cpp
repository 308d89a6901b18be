#include "engine/ecg_intervals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace vantrel {

namespace {

constexpr int32_t kRefractorySamples = 50;  // 250 ms: no second complex starts sooner
constexpr int32_t kSearchSamples = 30;      // the peak of a complex lies within 150 ms of its start

bool IsPacingMark(const EcgSample& s) { return s.bytes[kEcgX] <= -126; }

}  // namespace

StretchMeasurement MeasureStretch(const EcgSample* samples, int32_t count) {
    StretchMeasurement result;
    if (samples == nullptr || count < 3) return result;
    // Speed of the vector (X, Y, Z) between consecutive samples, summed over three samples so
    // that one-unit steps of a slow wave stay well below a complex's slopes.
    std::vector<int32_t> speed(count, 0);
    for (int32_t i = 1; i < count; ++i) {
        const EcgSample& a = samples[i - 1];
        const EcgSample& b = samples[i];
        if (IsPacingMark(a) || IsPacingMark(b)) continue;
        speed[i] = std::abs(b.bytes[kEcgX] - a.bytes[kEcgX]) + std::abs(b.bytes[kEcgY] - a.bytes[kEcgY]) +
                   std::abs(b.bytes[kEcgZ] - a.bytes[kEcgZ]);
    }
    std::vector<int32_t> smooth(count, 0);
    for (int32_t i = 1; i + 1 < count; ++i) smooth[i] = speed[i - 1] + speed[i] + speed[i + 1];
    const int32_t top = *std::max_element(smooth.begin(), smooth.end());
    if (top < 6) return result;  // a flat stretch: no complex
    const int32_t threshold = top * 35 / 100;

    std::vector<int32_t> onsets;
    std::vector<int32_t> durations;
    for (int32_t i = 1; i + 1 < count; ++i) {
        if (smooth[i] < threshold) continue;
        int32_t peak = i;
        for (int32_t k = i; k < std::min(count - 1, i + kSearchSamples); ++k)
            if (smooth[k] > smooth[peak]) peak = k;
        const int32_t floor = std::max(smooth[peak] / 10, 2);
        int32_t onset = i;
        while (onset > 1 && i - onset < kSearchSamples && smooth[onset - 1] > floor) --onset;
        int32_t offset = peak;
        while (offset + 2 < count && offset - peak < 2 * kSearchSamples && smooth[offset + 1] > floor) ++offset;
        // A complex cut by either end of the stretch counts for the rate, not for the duration.
        if (onset > 1 && offset + 2 < count) durations.push_back((offset - onset) * 5);
        onsets.push_back(onset);
        i = std::max(offset, onset + kRefractorySamples);
    }
    result.complexes = static_cast<int32_t>(onsets.size());
    if (onsets.size() >= 2) {
        const int32_t spanMs = (onsets.back() - onsets.front()) * 5;
        const int32_t meanRr = spanMs / static_cast<int32_t>(onsets.size() - 1);
        if (meanRr > 0) result.rateBpm = 60000 / meanRr;
    }
    if (!durations.empty()) {
        std::nth_element(durations.begin(), durations.begin() + durations.size() / 2, durations.end());
        result.qrsMs = durations[durations.size() / 2];
    }
    return result;
}

int32_t CorrectedQt(int32_t qtMs, int32_t rateBpm) {
    if (qtMs <= 0 || rateBpm <= 0) return -1;
    const double rrSeconds = 60.0 / rateBpm;
    return static_cast<int32_t>(std::lround(qtMs / std::sqrt(rrSeconds)));
}

}  // namespace vantrel
