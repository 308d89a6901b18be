// The ECG reader on hand-made strips: the measurements the heart model tests rely on.
#include <gtest/gtest.h>

#include <cmath>

#include "ecg_reading.h"
#include "engine/ecg_synthesis.h"

namespace vantrel::testing {
namespace {

// A strip built from X, Y and Z waves; the other leads are derived as the displays derive them.
class StripBuilder {
public:
    explicit StripBuilder(int32_t samples) : xyz_(samples, {0, 0, 0}) {}

    // A triangle on one axis (0 X, 1 Y, 2 Z): rises from 0 at `start` to `peak` at the middle
    // and falls back to 0 after `length` samples.
    StripBuilder& Wave(int axis, int32_t start, int32_t length, int32_t peak) {
        for (int32_t i = 0; i <= length; ++i) {
            const int32_t distance = std::abs(2 * i - length);
            xyz_[start + i][axis] += peak * (length - distance) / length;
        }
        return *this;
    }

    EcgTrace Build() const {
        EcgTrace trace;
        for (const auto& p : xyz_) {
            EcgSample sample;
            sample.bytes[0] = static_cast<int8_t>(p[0]);
            sample.bytes[1] = static_cast<int8_t>(p[1]);
            sample.bytes[2] = static_cast<int8_t>(-p[2]);  // byte 2 holds the negated Z sum
            for (int k = 7; k <= 12; ++k) sample.bytes[k] = -128;  // precordials from X, Y, Z
            std::array<int32_t, kLeadCount> leads{};
            for (int lead = 0; lead < kLeadCount; ++lead) leads[lead] = LeadValue(sample, lead);
            trace.samples.push_back(leads);
        }
        return trace;
    }

private:
    std::vector<std::array<int32_t, 3>> xyz_;
};

// A normal complex at `at`: P (20 samples, slow), PR segment, QRS (16 samples, fast), ST
// segment, T (50 samples, slow).
void NormalBeat(StripBuilder& strip, int32_t at) {
    strip.Wave(1, at - 32, 20, 12);       // P: samples at-32 .. at-12
    strip.Wave(0, at, 16, 80);            // QRS: at .. at+16
    strip.Wave(1, at + 30, 50, 20);       // T
}

TEST(EcgReading, NormalComplexesHaveTheirWavesAndIntervals) {
    StripBuilder strip(700);
    for (int32_t at : {100, 300, 500}) NormalBeat(strip, at);
    const EcgTrace trace = strip.Build();
    const std::vector<Beat> beats = FindBeats(trace);
    ASSERT_EQ(beats.size(), 3u);
    for (const Beat& b : beats) {
        SCOPED_TRACE(b.qrsOnset);
        // Samples within one unit of 0 are baseline: a triangle leaves it one sample after its
        // start when steep (the QRS), two or three samples after it when slow (P and T).
        EXPECT_EQ(b.QrsMs(), 15 * kSampleMs);
        ASSERT_TRUE(b.HasP());
        EXPECT_EQ(b.PrMs(), 31 * kSampleMs);
        EXPECT_EQ(b.PMs(), 17 * kSampleMs);
        EXPECT_EQ(b.QtMs(), 77 * kSampleMs);
    }
    EXPECT_EQ(beats[1].rrMs, 200 * kSampleMs);
    const LeadWaves x = ReadLead(trace, beats[1], kLeadX);
    EXPECT_EQ(x.r, 80);
    EXPECT_EQ(x.s, 0);
    EXPECT_EQ(x.p, 0) << "the P and T waves lie on Y only";
    EXPECT_EQ(x.t, 0);
    const LeadWaves y = ReadLead(trace, beats[1], kLeadY);
    EXPECT_EQ(y.p, 12);
    EXPECT_EQ(y.t, 20);
    EXPECT_NEAR(FrontalAxis(trace, beats[1]), -11.5, 1) << "X alone: I = 0.79 X, aVF = -0.16 X";
    EXPECT_NEAR(QrsTAngle(trace, beats[1]), 90, 0.5) << "QRS on X, T on Y";
}

TEST(EcgReading, AComplexWithoutPWaveAndWithItsTWaveRightAfterIt) {
    StripBuilder strip(500);
    NormalBeat(strip, 100);
    // A wide complex (36 samples) after the T wave, with a slow T wave of the other polarity
    // that starts before the complex has ended.
    strip.Wave(0, 250, 36, -90).Wave(0, 280, 60, 24);
    const EcgTrace trace = strip.Build();
    const std::vector<Beat> beats = FindBeats(trace);
    ASSERT_EQ(beats.size(), 2u);
    const Beat& wide = beats[1];
    EXPECT_FALSE(wide.HasP()) << "the activity before it is the previous T wave";
    EXPECT_NEAR(wide.QrsMs(), 36 * kSampleMs, 3 * kSampleMs);
    const LeadWaves x = ReadLead(trace, wide, kLeadX);
    EXPECT_LT(x.area, 0);
    EXPECT_GT(x.t, 0);
    EXPECT_GT(QrsTAngle(trace, wide), 170);
}

TEST(EcgReading, ReadsTheRunnerRecording) {
    EcgTrace trace;
    std::string error;
    EXPECT_FALSE(ReadEcgCsv("/nonexistent/ecg.csv", trace, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace vantrel::testing
