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

// The same, at the best alignment within 20 ms: where a complex rises out of the previous T wave
// its onset is read a sample or four apart from one complex to the next.
double AlignedShapeDifference(const EcgTrace& trace, Beat complex, const Beat& reference) {
    double best = 1e9;
    const int32_t onset = complex.qrsOnset;
    for (int32_t lag = -4; lag <= 4; ++lag) {
        complex.qrsOnset = onset + lag;
        if (complex.qrsOnset < 0) continue;
        best = std::min(best, ShapeDifference(trace, complex, reference));
    }
    return best;
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

// Flutter: electrodes placed around the tricuspid ring (RA8 stands for the valve) see the same wave
// pass in turn, 250 to 350 times a minute; the AV node conducts one in two.  Adenosine raises the
// block and leaves the flutter waves alone on the strip; a shock ends the circuit.
TEST(ClinicReentry, AtrialFlutterTurnsAroundTheTricuspidRing) {
    const HeartRun run = RunClinic("6.1 Atrial flutter", 45,
                                   {"0:ic1=RA4", "0:ic2=RA6", "0:ic3=RA13", "0:ic4=RA11",
                                    "20:drug=Adenosine", "35:shock"});
    ASSERT_TRUE(run.ok) << run.error;
    std::vector<std::vector<int32_t>> ring;
    for (int electrode = 0; electrode < 4; ++electrode) {
        std::vector<int32_t> all = Activations(run.trace, electrode), steady;
        for (int32_t a : all)
            if (a * kSampleMs >= 8000 && a * kSampleMs < 20000) steady.push_back(a);
        ring.push_back(steady);
    }
    const int32_t cycle = MedianIntervalMs(ring[0]);
    const std::vector<Beat> conducted = BeatsBetween(run, 8000, 20000);
    std::printf("6.1 Atrial flutter:\n");
    Note("atrial rate, per minute", RateBpm(cycle));
    Note("ventricular rate, bpm", RateBpm(MedianRrMs(conducted)));
    EXPECT_GE(RateBpm(cycle), 250);
    EXPECT_LE(RateBpm(cycle), 350);
    for (size_t i = 1; i < ring[0].size(); ++i)
        EXPECT_NEAR((ring[0][i] - ring[0][i - 1]) * kSampleMs, cycle, 10) << "regular";
    // Around the ring, in order, every turn: RA4, RA6, RA13, RA11, then RA4 again.
    int turns = 0;
    for (size_t i = 0; i + 1 < ring[0].size(); ++i) {
        int32_t at = ring[0][i];
        bool inOrder = true;
        for (int electrode = 1; electrode < 4; ++electrode) {
            const auto next = std::upper_bound(ring[electrode].begin(), ring[electrode].end(), at);
            inOrder = inOrder && next != ring[electrode].end() && *next < ring[0][i + 1];
            if (next != ring[electrode].end()) at = *next;
        }
        if (inOrder) ++turns;
    }
    Note("turns around the ring in order", turns);
    EXPECT_GE(turns + 1, static_cast<int>(ring[0].size()) - 1) << "one way around the ring, every turn";
    ASSERT_GE(conducted.size(), 10u);
    for (const Beat& b : conducted) EXPECT_NEAR(b.rrMs, 2 * cycle, 15) << "2:1 at " << b.OnsetMs();

    // Adenosine: a long ventricular pause in which the flutter waves go on alone.
    const std::vector<Beat> blocked = BeatsBetween(run, 20000, 30000);
    const Beat* pause = nullptr;
    for (const Beat& b : blocked)
        if (!pause || b.rrMs > pause->rrMs) pause = &b;
    ASSERT_NE(pause, nullptr);
    const int32_t pauseStart = pause->qrsOnset - pause->rrMs / kSampleMs;
    int waves = 0;
    for (int32_t a : Activations(run.trace, 0))
        if (a > pauseStart + 60 && a < pause->qrsOnset) ++waves;
    // The strip between the waves: X, Y and Z all at the baseline.
    int32_t quiet = 0, longestQuiet = 0;
    for (int32_t t = pauseStart + 80; t < pause->qrsOnset; ++t) {
        const bool flat = std::abs(run.trace.At(t, kLeadX)) <= 1 && std::abs(run.trace.At(t, kLeadY)) <= 1 &&
                          std::abs(run.trace.At(t, kLeadZ)) <= 1;
        quiet = flat ? quiet + 1 : 0;
        longestQuiet = std::max(longestQuiet, quiet);
    }
    Note("longest RR with adenosine, ms", pause->rrMs);
    Note("flutter waves in that pause", waves);
    Note("longest flat stretch in it, ms", longestQuiet * kSampleMs);
    EXPECT_GE(pause->rrMs, 3 * cycle) << "the block rises";
    EXPECT_GE(waves, 4);
    // Only the slow isthmus is electrically silent: the waves fill most of every cycle.
    EXPECT_LE(longestQuiet * kSampleMs, cycle / 2) << "flutter waves, not P waves on a flat baseline";

    // The shock: sinus rhythm again, one P wave per QRS.
    const std::vector<Beat> sinus = BeatsBetween(run, 38000, 45000);
    ASSERT_GE(sinus.size(), 5u);
    for (const Beat& b : sinus) {
        EXPECT_TRUE(b.HasP()) << b.OnsetMs();
        EXPECT_GT(b.rrMs, 600) << b.OnsetMs();
    }
}

// Programmed stimulation from the right ventricle starts a reentry around the scar: a sustained,
// monomorphic, wide-complex tachycardia that a shock ends.
TEST(ClinicReentry, VentricularTachycardiaAroundAScarFromProgrammedStimulation) {
    const HeartRun run = RunClinic("7.1 Ventricular tachycardia", 70,
                                   {"0:ic4=RV4", "0:ic2=LV2", "10:stim=train=on,s1=400,n=8,s2=230,s3=230,lead=4",
                                    "62:shock"});
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> sinus = BeatsBetween(run, 4000, 10000);
    const std::vector<Beat> tachycardia = BeatsBetween(run, 20000, 60000);
    const std::vector<Beat> after = BeatsBetween(run, 64000, 70000);
    ASSERT_GE(sinus.size(), 5u);
    for (const Beat& b : sinus) EXPECT_TRUE(b.HasP()) << "sinus rhythm before, at " << b.OnsetMs();
    ASSERT_GE(tachycardia.size(), 80u) << "sustained: 40 s";
    const int32_t rr = MedianRrMs(tachycardia);
    const Beat& typical = tachycardia[tachycardia.size() / 2];
    // The channel through the scar (LV2) fires once a turn, at the tachycardia's cycle.
    std::vector<int32_t> channel;
    for (int32_t a : Activations(run.trace, 1))
        if (a * kSampleMs >= 20000 && a * kSampleMs < 60000) channel.push_back(a);
    std::printf("7.1 Ventricular tachycardia:\n");
    Note("rate, bpm", RateBpm(rr));
    Note("QRS, ms", typical.QrsMs());
    Note("channel (LV2) cycle, ms", MedianIntervalMs(channel));
    EXPECT_GE(RateBpm(rr), 140);
    EXPECT_LE(RateBpm(rr), 220);
    EXPECT_NEAR(MedianIntervalMs(channel), rr, 10) << "the circuit runs through the channel";
    for (size_t i = 1; i < channel.size(); ++i)
        EXPECT_NEAR((channel[i] - channel[i - 1]) * kSampleMs, rr, 10) << "regular";
    double largest = 0;
    for (const Beat& b : tachycardia) {
        SCOPED_TRACE(b.OnsetMs());
        EXPECT_GE(b.QrsMs(), 120) << "wide";
        // The sinus P waves march on through the tachycardia (AV dissociation) and add to some
        // complexes; a polymorphic rhythm would differ several times more.
        EXPECT_LT(AlignedShapeDifference(run.trace, b, typical), 0.25) << "monomorphic";
        largest = std::max(largest, AlignedShapeDifference(run.trace, b, typical));
    }
    Note("largest difference from the typical complex, share", largest);
    ASSERT_GE(after.size(), 5u) << "the shock restores sinus rhythm";
    for (const Beat& b : after) EXPECT_TRUE(b.HasP()) << b.OnsetMs();
}

double CoefficientOfVariation(const std::vector<int32_t>& values) {
    if (values.size() < 2) return 0;
    double mean = 0, square = 0;
    for (int32_t v : values) mean += v;
    mean /= static_cast<double>(values.size());
    for (int32_t v : values) square += (v - mean) * (v - mean);
    return std::sqrt(square / static_cast<double>(values.size())) / mean;
}

std::vector<int32_t> IntervalsMs(const std::vector<int32_t>& samples) {
    std::vector<int32_t> out;
    for (size_t i = 1; i < samples.size(); ++i) out.push_back((samples[i] - samples[i - 1]) * kSampleMs);
    return out;
}

// Sinus rhythm until the start sequence sets the pulmonary veins firing; then fast, irregular
// atrial activity at both right atrial electrodes, no P wave before each QRS, and RR intervals
// that follow no pattern.
TEST(ClinicReentry, AtrialFibrillationIsFastIrregularAtrialActivityAndAnIrregularPulse) {
    const HeartRun run = RunClinic("6.2 Atrial fibrillation", 70, {"0:ic3=RA7"});
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> sinus = BeatsBetween(run, 1000, 5000);
    ASSERT_GE(sinus.size(), 4u);
    for (const Beat& b : sinus) EXPECT_TRUE(b.HasP()) << "sinus rhythm before the start, at " << b.OnsetMs();

    std::printf("6.2 Atrial fibrillation:\n");
    for (int electrode : {0, 2}) {
        std::vector<int32_t> atria;
        for (int32_t a : Activations(run.trace, electrode))
            if (a * kSampleMs >= 15000) atria.push_back(a);
        const std::vector<int32_t> intervals = IntervalsMs(atria);
        const int32_t rate = RateBpm(MedianIntervalMs(atria));
        Note(std::string("atrial rate at I.C.") + std::to_string(electrode + 1) + ", per minute", rate);
        Note("  variation of its intervals (sd / mean)", CoefficientOfVariation(intervals));
        EXPECT_GT(rate, 350);
        EXPECT_GE(CoefficientOfVariation(intervals), 0.08) << "irregular atrial activity";
    }
    const std::vector<Beat> beats = BeatsBetween(run, 15000, 70000);
    ASSERT_GE(beats.size(), 60u);
    std::vector<int32_t> rr;
    for (const Beat& b : beats) rr.push_back(b.rrMs);
    const int32_t atrialCount = static_cast<int32_t>(AtrialActivations(run, 15000, 70000).size());
    EXPECT_GE(atrialCount, 2 * static_cast<int32_t>(beats.size())) << "no P wave per QRS: the atria fire far faster";
    double successive = 0;
    for (size_t i = 1; i < rr.size(); ++i) successive += std::abs(rr[i] - rr[i - 1]);
    successive /= static_cast<double>(rr.size() - 1);
    Note("ventricular rate, bpm", RateBpm(MedianRrMs(beats)));
    Note("RR variation (sd / mean)", CoefficientOfVariation(rr));
    Note("mean change from one RR to the next, ms", successive);
    EXPECT_GE(CoefficientOfVariation(rr), 0.1) << "irregular";
    EXPECT_GE(successive, 40);
    // Irregularly irregular: no RR pattern repeats with a period of one to eight beats.
    for (size_t period = 1; period <= 8; ++period) {
        int same = 0;
        for (size_t i = period; i < rr.size(); ++i)
            if (std::abs(rr[i] - rr[i - period]) <= 10) ++same;
        EXPECT_LT(same * 2, static_cast<int>(rr.size() - period)) << "a pattern of period " << period;
    }
}

}  // namespace
}  // namespace vantrel::testing
