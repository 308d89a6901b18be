// The reentry chapters of the clinic curriculum: tachycardias that an extrastimulus starts and a
// drug, a vagal manoeuvre or a shock stops, each run headless and read from its ECG, its
// intracardiac electrograms and its beats.  Measured values are printed for the notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "clinic_reading.h"

namespace vantrel::testing {
namespace {

// How far a complex differs from a reference complex over the reference's QRS, as a share of the
// reference's size (X, Y and Z): near 0 when the ventricles are activated the same way.
double ShapeDifference(const EcgTrace& trace, const Beat& complex, const Beat& reference) {
    double difference = 0, size = 0;
    for (int32_t k = 0; k <= reference.qrsOffset - reference.qrsOnset; ++k)
        for (int lead : {kLeadX, kLeadY, kLeadZ}) {
            if (complex.qrsOnset + k >= trace.Size()) return 1;
            difference += std::abs(trace.At(complex.qrsOnset + k, lead) - trace.At(reference.qrsOnset + k, lead));
            size += std::abs(trace.At(reference.qrsOnset + k, lead));
        }
    return size > 0 ? difference / size : 1;
}

TEST(ClinicReentry, AvNodalReentryStartsWithAnSvpbAndStopsWithAdenosine) {
    const HeartRun run = RunClinic("5.2 AV nodal reentry", 60, {"10:svpb", "40:drug=Adenosine"});
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> sinus = BeatsBetween(run, 5000, 10000);
    const std::vector<Beat> tachycardia = BeatsBetween(run, 15000, 40000);
    const std::vector<Beat> after = BeatsBetween(run, 50000, 60000);
    ASSERT_GE(sinus.size(), 4u);
    ASSERT_GE(tachycardia.size(), 40u);
    const int32_t rate = RateBpm(MedianRrMs(tachycardia));
    const double shape = ShapeDifference(run.trace, tachycardia[tachycardia.size() / 2], sinus.back());
    std::printf("5.2 AV nodal reentry:\n");
    Note("tachycardia rate, bpm", rate);
    Note("difference from the sinus QRS, share", shape);
    Note("rate after adenosine, bpm", RateBpm(MedianRrMs(after)));
    EXPECT_GE(rate, 140);
    EXPECT_LE(rate, 220);
    for (const Beat& b : tachycardia) {
        SCOPED_TRACE(b.OnsetMs());
        EXPECT_NEAR(b.rrMs, MedianRrMs(tachycardia), 15) << "regular";
        EXPECT_FALSE(b.HasP()) << "no visible P wave: the atria fire within the QRS";
        EXPECT_LT(ShapeDifference(run.trace, b, sinus.back()), 0.25)
            << "narrow: the ventricles are activated through the His bundle as in sinus rhythm";
    }
    // The atria fire with every QRS, retrogradely, at the same time.
    const std::vector<int32_t> atria = AtrialActivations(run, 15000, 40000);
    EXPECT_NEAR(static_cast<double>(atria.size()), static_cast<double>(tachycardia.size()), 2);
    ASSERT_GE(after.size(), 8u) << "sinus rhythm after adenosine";
    for (const Beat& b : after) {
        EXPECT_TRUE(b.HasP()) << b.OnsetMs();
        EXPECT_NEAR(b.rrMs, sinus.back().rrMs, 15) << b.OnsetMs();
    }
}

// The first `ms` of a QRS rise slowly (a delta wave) when the spatial velocity there stays below a
// third of the complex's fastest.
bool SlurredOnset(const EcgTrace& trace, const Beat& beat, int32_t ms) {
    auto velocity = [&](int32_t t) {
        int32_t v = 0;
        for (int lead : {kLeadX, kLeadY, kLeadZ}) v += std::abs(trace.At(t, lead) - trace.At(t - 1, lead));
        return v;
    };
    int32_t fastest = 0, early = 0;
    for (int32_t t = beat.qrsOnset + 1; t <= beat.qrsOffset; ++t) {
        fastest = std::max(fastest, velocity(t));
        if ((t - beat.qrsOnset) * kSampleMs < ms) early = std::max(early, velocity(t));
    }
    return early * 3 <= fastest;
}

// Pre-excitation in sinus rhythm (the accessory pathway opens 5 s after the load, by the model's
// start sequence); an SVPB then starts an orthodromic tachycardia, down the AV node with a narrow
// QRS and back up the pathway, which adenosine stops by blocking the node.
TEST(ClinicReentry, WolffParkinsonWhitePreExcitesAndReentersOrthodromically) {
    const HeartRun run = RunClinic("5.1 Wolff-Parkinson-White", 60, {"12:svpb", "40:drug=Adenosine"});
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> sinus = BeatsBetween(run, 6500, 12000);
    const std::vector<Beat> tachycardia = BeatsBetween(run, 16000, 40000);
    const std::vector<Beat> after = BeatsBetween(run, 50000, 60000);
    ASSERT_GE(sinus.size(), 5u);
    ASSERT_GE(tachycardia.size(), 40u);
    const Beat& typical = sinus[sinus.size() / 2];
    const int32_t rate = RateBpm(MedianRrMs(tachycardia));
    std::printf("5.1 Wolff-Parkinson-White:\n");
    Note("PR in sinus rhythm, ms", typical.PrMs());
    Note("QRS in sinus rhythm, ms", typical.QrsMs());
    Note("tachycardia rate, bpm", rate);
    Note("QRS in tachycardia, ms", tachycardia[tachycardia.size() / 2].QrsMs());
    for (const std::vector<Beat>* preExcited : {&sinus, &after}) {
        for (const Beat& b : *preExcited) {
            SCOPED_TRACE(b.OnsetMs());
            ASSERT_TRUE(b.HasP());
            EXPECT_LT(b.PrMs(), 120) << "short PR";
            EXPECT_GE(b.QrsMs(), 110) << "wide QRS";
            EXPECT_TRUE(SlurredOnset(run.trace, b, 20)) << "delta wave";
        }
    }
    EXPECT_GE(rate, 150);
    EXPECT_LE(rate, 250);
    for (const Beat& b : tachycardia) {
        SCOPED_TRACE(b.OnsetMs());
        EXPECT_LE(b.QrsMs(), 110) << "narrow: down the AV node, no pre-excitation";
        EXPECT_NEAR(b.rrMs, MedianRrMs(tachycardia), 15) << "regular";
    }
    ASSERT_GE(after.size(), 8u) << "sinus rhythm after adenosine";
    for (const Beat& b : after) EXPECT_NEAR(b.rrMs, typical.rrMs, 15) << b.OnsetMs();
}

}  // namespace
}  // namespace vantrel::testing
