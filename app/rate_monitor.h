// The rate monitor of the redraw-message handler: every 5 s of simulated time the rate-cell heart
// rate feeds an accumulator that declares the heart arrested when extreme rates last, and the
// rate, PR and QT labels are rewritten.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// The accumulator after one rate sample: rates outside 2..280 add 70, 241..280 add rate - 215,
// 2..14 add 30 - rate, 15..209 take 100 off (not below 0), 210..240 leave it.
inline int32_t NextArrestAccumulator(int32_t accumulator, int32_t rate) {
    if (rate < 2 || rate > 280) return accumulator + 70;
    if (rate >= 241) return accumulator + (rate - 215);
    if (rate <= 14) return accumulator + (30 - rate);
    if (rate <= 209) return accumulator > 100 ? accumulator - 100 : 0;
    return accumulator;
}

// Above this the heart is declared arrested.
inline constexpr int32_t kArrestThreshold = 1000;

// The labels, at most 6 characters: "%3dbpm" (a rate above 999 shows as 999), "%3d", "PR=%d" for
// 0..499 ms and "QT=%d" for 150..799 ms, else " - ".
std::string RateLabel(int32_t rate);
std::string SecondRateLabel(int32_t rate);
std::string PrLabel(int32_t prInterval);
std::string QtLabel(int32_t qtInterval);

}  // namespace vantrel
