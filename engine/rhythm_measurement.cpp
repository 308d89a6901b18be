#include "engine/rhythm_measurement.h"

#include <algorithm>
#include <cstdlib>

#include "engine/cell_automaton.h"
#include "engine/program_wide.h"

namespace vantrel {
namespace {

// Counters that only ever grow stop here instead of overflowing on a run of months.
constexpr int32_t kCounterCeiling = 1'000'000'000;

void Advance(int32_t& counter, int32_t by) {
    if (counter < kCounterCeiling) counter += by;
}

void CountFiring(int32_t& count, int32_t& sum, int32_t& ticks) {
    if (count == 0)
        sum = ticks;
    else
        sum = std::min(sum + ticks, kCounterCeiling);
    ++count;
    ticks = 0;
}

}  // namespace

void CountRateTicks(CCoeur& heart) {
    Advance(heart.rateTicks, 1);
    Advance(heart.cell5Ticks, 1);
}

bool CloseComplex(CCoeur& heart) {
    if (heart.measureCountdown <= 0) return false;
    if (--heart.measureCountdown != 0) return false;
    const int32_t pr = heart.qrsStart - heart.prStart;
    if (pr < 400) heart.prInterval = std::max(pr, 0);
    heart.qtInterval = std::max(heart.tEnd - heart.qrsStart, 0);
    heart.rrInterval = heart.intervalClock;
    // Where the QRS began, for reading RR from onset to onset when narrow and wide beats mix.
    heart.qrsOnsetAgo =
        heart.ventricularOnset >= 0 ? heart.intervalClock - heart.ventricularOnset : -1;
    heart.ventricularOnset = -1;
    if (heart.sinusClock < 30000 && heart.recordIntervals) {
        const int32_t at = std::clamp(heart.intervalIndex, 0, kIntervalTableSize - 1);
        heart.intervalTable[at] = {heart.intervalClock, heart.prInterval, heart.qtInterval};
        heart.intervalIndex = at + 1 == kIntervalTableSize ? 0 : at + 1;
    }
    heart.intervalClock = 0;
    heart.prStart = 0;
    heart.qrsStart = 0;
    heart.tEnd = 0;
    // A candidate of the closed complex must not end the next one.
    heart.tEndCandidate = 0;
    return true;
}

void CountRateFiring(CCoeur& heart, int32_t i) {
    if (i == heart.rateCellIndex) CountFiring(heart.rateCount, heart.rateSum, heart.rateTicks);
    if (i == 5) CountFiring(heart.cell5Count, heart.cell5Sum, heart.cell5Ticks);
}

void EstimateEndOfRepolarisation(CCoeur& heart, const ActivitySums& sums) {
    if (sums.ventricular > 500) heart.tEnd = std::max(heart.tEnd, heart.tEndCandidate);
}

void AdvanceMeasureClocks(CCoeur& heart) {
    Advance(heart.sinusClock, 5);
    Advance(heart.activationClock, 5);
    Advance(heart.intervalClock, 5);
}

int32_t RateCellHeartRate(CCoeur& heart) {
    int32_t& remembered = Program().rates.rateCell;
    if (heart.rateCount > 1) {
        const int32_t mean = heart.rateSum / heart.rateCount;
        if (mean != 0) remembered = 12000 / mean;
        const int32_t index = heart.rateCellIndex;
        if (index >= 0 && index < heart.cellCount) {
            const int32_t a = ArpTicks(heart.cells[index], heart.tone) + 10;
            // In 64 bits: a rate cell silent for months makes the mean huge.
            const int64_t m = mean;
            heart.diastolicPercent =
                mean > a ? static_cast<int32_t>((5 * m - 5 * a) * 100 / (5 * m)) : 0;
        }
        heart.rateCount = 0;
        return remembered;
    }
    if (heart.rateTicks > 1000) return 12000 / heart.rateTicks;
    return remembered;
}

int32_t Cell5HeartRate(CCoeur& heart) {
    int32_t& remembered = Program().rates.cell5;
    if (heart.cell5Count > 1) {
        const int32_t mean = heart.cell5Sum / heart.cell5Count;
        if (mean != 0) remembered = 12000 / mean;
        heart.cell5Count = 0;
        return remembered;
    }
    if (heart.cell5Ticks > 1000) return 12000 / heart.cell5Ticks;
    return remembered;
}

}  // namespace vantrel
