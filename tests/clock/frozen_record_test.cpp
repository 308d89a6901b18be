// The frozen copy of the sample store (its ring order, the stretch positions) and the readings
// taken from a stretch of samples for the 12-lead report.
#include "engine/frozen_record.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/ecg_intervals.h"

namespace vantrel {
namespace {

EcgSample Tagged(int32_t k) {
    EcgSample s;
    s.bytes[3] = static_cast<int8_t>(k % 100);  // I.C.1 carries a tag of the push
    s.bytes[4] = static_cast<int8_t>(k / 100 % 100);
    return s;
}

int32_t TagOf(const EcgSample& s) { return s.bytes[3] + 100 * s.bytes[4]; }

TEST(FrozenRecordTest, CopiesTheRingsFromTheSecondOldestToTheNewestThenTheOldest) {
    auto live = std::make_unique<EcgDisplay>();
    auto frozen = std::make_unique<FrozenRecord>();
    HeartRateRing rates;
    // 180 000 + 1234 pushes: the write index stands at 1234, the oldest sample there.
    const int32_t pushes = kRingSamples + 1234;
    for (int32_t k = 0; k < pushes; ++k) live->PushSample(Tagged(k % 10000));
    for (int32_t r = 0; r < kRateRingSize + 7; ++r) rates.PushHeartRate(r);
    frozen->Freeze(*live, rates);

    const int32_t oldest = pushes - kRingSamples;  // push number of the oldest sample kept
    struct Case {
        int32_t slot;
        int32_t push;
    } cases[] = {{0, oldest + 1}, {1, oldest + 2}, {kRingSamples - 2, pushes - 1}, {kRingSamples - 1, oldest}};
    for (const Case& c : cases) EXPECT_EQ(TagOf(frozen->frozenRing[c.slot]), c.push % 10000) << c.slot;

    // Rates 0..186 pushed into 180 slots: the oldest kept is 7, the newest 186 at slot 178.
    EXPECT_EQ(frozen->frozenRate[0], 8);
    EXPECT_EQ(frozen->frozenRate[178], 186);
    EXPECT_EQ(frozen->frozenRate[179], 7);
    EXPECT_EQ(frozen->ratesKept, kRateRingSize);
    HeartRateRing early;
    early.PushHeartRate(70);
    early.PushHeartRate(71);
    frozen->Freeze(*live, early);
    EXPECT_EQ(frozen->ratesKept, 2);
    EXPECT_EQ(frozen->frozenRate[178], 71);
}

TEST(FrozenRecordTest, ARateOf300IsStoredAs255) {
    HeartRateRing rates;
    rates.PushHeartRate(300);
    rates.PushHeartRate(-5);
    EXPECT_EQ(rates.liveRate[0], 255);
    EXPECT_EQ(rates.liveRate[1], 0);
}

TEST(FrozenRecordTest, StretchesBeyondTheDataAreClampedToIt) {
    struct Case {
        int32_t position, shown, first;
    } cases[] = {
        {0, 1100, 180000 - 1100},  // the newest stretch
        {5, 1100, 179000 - 1100},
        {900, 1100, 0},            // before the data: its first sample
        {-10, 0, 180000},          // after it: nothing left to draw
    };
    for (const Case& c : cases) EXPECT_EQ(FirstFrozenSample(c.position, c.shown), c.first) << c.position;
}

// A stretch of narrow complexes: a 40 ms spike of X every `rrMs`, flat in between.
std::vector<EcgSample> Complexes(int32_t rrMs, int32_t widthMs, int32_t count) {
    std::vector<EcgSample> samples(count);
    for (int32_t k = 0; k < count; ++k) {
        const int32_t t = (k * 5) % rrMs;
        if (t >= 100 && t < 100 + widthMs) {
            const int32_t phase = t - 100;
            const int32_t half = widthMs / 2;
            samples[k].bytes[kEcgX] = static_cast<int8_t>(phase < half ? phase * 80 / half : (widthMs - phase) * 80 / half);
        }
    }
    return samples;
}

TEST(StretchMeasurementTest, RateAndQrsFromTheComplexes) {
    struct Case {
        int32_t rrMs, widthMs;
    } cases[] = {{1000, 80}, {600, 80}, {1500, 140}};
    for (const Case& c : cases) {
        const std::vector<EcgSample> samples = Complexes(c.rrMs, c.widthMs, 2000);
        const StretchMeasurement m = MeasureStretch(samples.data(), 2000);
        EXPECT_EQ(m.rateBpm, 60000 / c.rrMs) << c.rrMs;
        EXPECT_NEAR(m.qrsMs, c.widthMs, 20) << c.rrMs;
    }
}

TEST(StretchMeasurementTest, FlatOrTooShortStretchesMeasureNothing) {
    const std::vector<EcgSample> flat(2000);
    EXPECT_EQ(MeasureStretch(flat.data(), 2000).rateBpm, -1);
    EXPECT_EQ(MeasureStretch(flat.data(), 2000).qrsMs, -1);
    EXPECT_EQ(MeasureStretch(nullptr, 0).complexes, 0);
}

TEST(StretchMeasurementTest, CorrectedQtFollowsTheRate) {
    EXPECT_EQ(CorrectedQt(400, 60), 400);
    EXPECT_EQ(CorrectedQt(360, 90), 441);  // RR 0.667 s
    EXPECT_EQ(CorrectedQt(-1, 60), -1);
    EXPECT_EQ(CorrectedQt(400, -1), -1);
}

}  // namespace
}  // namespace vantrel
