// The conduction chapters of the clinic curriculum (AV blocks, bundle branch blocks), each run
// headless and read from its ECG, its intracardiac electrograms and its beats: the feature that
// defines the model must show, or the test fails.  Measured values are printed for the notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "clinic_reading.h"

namespace vantrel::testing {
namespace {

constexpr int32_t kSteadyFromMs = 10000;

// Sick sinus: the atria fall silent for 2 s or more and junctional escape beats (a QRS without an
// atrial activation before it) fill the pauses; an atrial pacemaker abolishes the pauses.
TEST(ClinicConduction, SickSinusPausesWithJunctionalEscapeAndAtrialPacing) {
    const HeartRun run = RunClinic("2.1 Sick sinus", 60);
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<int32_t> atria = AtrialActivations(run, kSteadyFromMs, 60000);
    int32_t longestPause = 0;
    for (size_t i = 1; i < atria.size(); ++i)
        longestPause = std::max(longestPause, (atria[i] - atria[i - 1]) * kSampleMs);
    int escapes = 0;
    const std::vector<Beat> beats = BeatsBetween(run, kSteadyFromMs, 60000);
    for (const Beat& b : beats)
        if (AvIntervalMs(run, b, 300) < 0) {
            ++escapes;
            EXPECT_FALSE(b.HasP()) << b.OnsetMs();
            EXPECT_LE(b.QrsMs(), 110) << "junctional: narrow";
        }
    std::printf("2.1 Sick sinus:\n");
    Note("longest atrial pause, ms", longestPause);
    Note("junctional escape beats in 50 s", escapes);
    EXPECT_GE(longestPause, 2000);
    EXPECT_GE(escapes, 3);

    const HeartRun paced = RunClinic("2.1 Sick sinus", 60, {"5:pacemaker=AAI,rate=70,a=RA1"});
    ASSERT_TRUE(paced.ok) << paced.error;
    int32_t longestRr = 0;
    for (const Beat& b : BeatsBetween(paced, 15000, 60000)) longestRr = std::max(longestRr, b.rrMs);
    Note("AAI 70 bpm: longest RR, ms", longestRr);
    EXPECT_GT(longestRr, 0);
    EXPECT_LE(longestRr, 900);
}

TEST(ClinicConduction, FirstDegreeAvBlockConductsEveryPSlowly) {
    const HeartRun run = RunClinic("3.1 First degree AV block", 40);
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> beats = BeatsBetween(run, kSteadyFromMs, 40000);
    const std::vector<int32_t> atria = AtrialActivations(run, kSteadyFromMs, 40000);
    ASSERT_GE(beats.size(), 30u);
    std::printf("3.1 First degree AV block:\n");
    Note("PR, ms (samples)", beats[beats.size() / 2].PrMs());
    Note("PR, ms (engine)", run.summary.prInterval);
    Note("QRS, ms", beats[beats.size() / 2].QrsMs());
    EXPECT_NEAR(static_cast<double>(atria.size()), static_cast<double>(beats.size()), 1)
        << "every atrial activation is followed by a QRS";
    for (const Beat& b : beats) {
        SCOPED_TRACE(b.OnsetMs());
        ASSERT_TRUE(b.HasP());
        EXPECT_GE(b.PrMs(), 240);
        EXPECT_LE(b.PrMs(), 400);
        EXPECT_LE(b.QrsMs(), 110) << "narrow";
        const int32_t av = AvIntervalMs(run, b);
        EXPECT_GE(av, 200) << "the atria fired before this QRS, long before";
    }
    EXPECT_GE(run.summary.prInterval, 240);
    EXPECT_LE(run.summary.prInterval, 400);
}

// Wenckebach: reading each atrial activation (I.C.1) as conducted, with its atrio-ventricular
// interval, or blocked, the groups between two blocked P waves show a PR that lengthens beat by
// beat, the shortest first.
TEST(ClinicConduction, WenckebachLengthensThePrUntilAPIsBlocked) {
    const HeartRun run = RunClinic("3.2 Wenckebach", 60);
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<int32_t> atria = AtrialActivations(run, 15000, 60000);
    const std::vector<Beat> beats = BeatsBetween(run, 15000, 60000);
    constexpr int32_t kBlocked = -1;
    std::vector<int32_t> av;  // per P wave: its AV interval in ms, or kBlocked
    for (size_t i = 0; i < atria.size(); ++i) {
        const int32_t next = i + 1 < atria.size() ? atria[i + 1] : run.trace.Size();
        int32_t interval = kBlocked;
        for (const Beat& b : beats)
            if (b.qrsOnset > atria[i] && b.qrsOnset <= next && interval == kBlocked)
                interval = (b.qrsOnset - atria[i]) * kSampleMs;
        av.push_back(interval);
    }
    std::printf("3.2 Wenckebach, AV interval of each P wave (ms, -1 blocked):\n ");
    for (int32_t v : av) std::printf(" %d", v);
    std::printf("\n");
    int groups = 0;
    size_t start = 0;
    while (start < av.size() && av[start] != kBlocked) ++start;  // the first complete group
    for (size_t i = start + 1; i < av.size(); ++i) {
        if (av[i] != kBlocked) continue;
        const std::vector<int32_t> group(av.begin() + static_cast<long>(start) + 1, av.begin() + static_cast<long>(i));
        start = i;
        SCOPED_TRACE(groups);
        ASSERT_GE(group.size(), 2u) << "at least two conducted beats between blocked P waves";
        for (size_t k = 1; k < group.size(); ++k) EXPECT_GT(group[k], group[k - 1] + 10) << "PR lengthens";
        EXPECT_LE(group.front(), 200) << "the shortest PR comes first, after the blocked P";
        ++groups;
    }
    EXPECT_GE(groups, 8) << "the groups repeat";
    for (const Beat& b : beats) EXPECT_LE(b.QrsMs(), 110) << "narrow QRS at " << b.OnsetMs();
}

// Mobitz II: every conducted P with the same PR, and P waves that are suddenly not conducted.
TEST(ClinicConduction, MobitzTwoBlocksSuddenlyWithAConstantPr) {
    const HeartRun run = RunClinic("3.3 Mobitz II", 40);
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> beats = BeatsBetween(run, kSteadyFromMs, 40000);
    const std::vector<int32_t> atria = AtrialActivations(run, kSteadyFromMs, 40000);
    ASSERT_GE(beats.size(), 15u);
    int32_t shortestPr = 100000, longestPr = 0;
    for (const Beat& b : beats) {
        SCOPED_TRACE(b.OnsetMs());
        ASSERT_TRUE(b.HasP());
        shortestPr = std::min(shortestPr, b.PrMs());
        longestPr = std::max(longestPr, b.PrMs());
        EXPECT_GE(b.QrsMs(), 120) << "wide: the block lies in the bundle branches";
    }
    // Blocked P waves: atrial activations with no QRS in the 400 ms after them.
    int blocked = 0;
    int32_t conductedInARow = 0, longestRun = 0;
    for (int32_t a : atria) {
        bool conducted = false;
        for (const Beat& b : beats)
            if (b.qrsOnset > a && (b.qrsOnset - a) * kSampleMs <= 400) conducted = true;
        if (conducted) {
            longestRun = std::max(longestRun, ++conductedInARow);
        } else {
            ++blocked;
            conductedInARow = 0;
        }
    }
    std::printf("3.3 Mobitz II:\n");
    Note("P waves", static_cast<double>(atria.size()));
    Note("P waves not conducted", blocked);
    Note("longest run of conducted P waves", longestRun);
    Note("PR, shortest, ms", shortestPr);
    Note("PR, longest, ms", longestPr);
    Note("QRS, ms", beats[beats.size() / 2].QrsMs());
    EXPECT_LE(longestPr - shortestPr, 10) << "constant PR in conducted beats";
    EXPECT_GE(blocked * 4, static_cast<int>(atria.size())) << "P waves not conducted: 2:1 or 3:2";
    EXPECT_GE(longestRun, 1);
    EXPECT_LE(longestRun, 2) << "2:1 or 3:2";
}

TEST(ClinicConduction, CompleteAvBlockDissociatesAtriaAndVentriclesAndIsPaced) {
    const HeartRun run = RunClinic("3.4 Complete AV block", 60);
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> beats = BeatsBetween(run, kSteadyFromMs, 60000);
    const std::vector<int32_t> atria = AtrialActivations(run, kSteadyFromMs, 60000);
    const int32_t atrialRate = RateBpm(MedianIntervalMs(atria));
    const int32_t ventricularRate = RateBpm(MedianRrMs(beats));
    int32_t shortestAv = 100000, longestAv = 0;
    for (const Beat& b : beats) {
        const int32_t av = AvIntervalMs(run, b, 2000);
        ASSERT_GE(av, 0) << "an atrial activation before every QRS";
        shortestAv = std::min(shortestAv, av);
        longestAv = std::max(longestAv, av);
    }
    std::printf("3.4 Complete AV block:\n");
    Note("atrial rate, bpm", atrialRate);
    Note("ventricular rate, bpm", ventricularRate);
    Note("shortest atrial-to-QRS interval, ms", shortestAv);
    Note("longest atrial-to-QRS interval, ms", longestAv);
    EXPECT_GE(atrialRate, 60);
    EXPECT_LE(atrialRate, 100);
    EXPECT_GE(ventricularRate, 30);
    EXPECT_LE(ventricularRate, 45);
    EXPECT_GT(longestAv - shortestAv, 100) << "P and QRS dissociated";

    // A pacemaker with its ventricular lead at the right ventricular apex.
    struct Case {
        const char* mode;
        int32_t expectedRate;  // 0: the atrial rate
    };
    for (const Case& c : {Case{"VVI", 70}, Case{"DDD", 0}}) {
        SCOPED_TRACE(c.mode);
        const HeartRun paced = RunClinic(
            "3.4 Complete AV block", 40,
            {std::string("5:pacemaker=") + c.mode + ",rate=70,av=160,a=RA1,v=RV1"});
        ASSERT_TRUE(paced.ok) << paced.error;
        const std::vector<Beat> pacedBeats = BeatsBetween(paced, 15000, 40000);
        const int32_t rate = RateBpm(MedianRrMs(pacedBeats));
        const int32_t expected =
            c.expectedRate ? c.expectedRate : RateBpm(MedianIntervalMs(AtrialActivations(paced, 15000, 40000)));
        Note(std::string(c.mode) + " ventricular rate, bpm", rate);
        EXPECT_NEAR(rate, expected, 2);
        for (const Beat& b : pacedBeats) EXPECT_LE(b.rrMs, 60000 / expected + 60) << b.OnsetMs();
    }
}

TEST(ClinicConduction, RightBundleBranchBlockHasAWideQrsWithLateRightForces) {
    const HeartRun run = RunClinic("4.1 Right bundle branch block", 30);
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> beats = BeatsBetween(run, kSteadyFromMs, 30000);
    ASSERT_GE(beats.size(), 20u);
    const Beat& b = beats[beats.size() / 2];
    std::printf("4.1 Right bundle branch block:\n");
    Note("QRS, ms", b.QrsMs());
    Note("V1 terminal deflection (last 40 ms)", TerminalDeflection(run.trace, b, kLeadV1, 40));
    Note("I terminal S, ms", TerminalWaveMs(run.trace, b, kLeadI, -1));
    Note("V6 terminal S, ms", TerminalWaveMs(run.trace, b, kLeadV6, -1));
    for (const Beat& beat : beats) {
        SCOPED_TRACE(beat.OnsetMs());
        EXPECT_TRUE(beat.HasP());
        EXPECT_GE(beat.QrsMs(), 120) << "wide";
        EXPECT_GT(TerminalDeflection(run.trace, beat, kLeadV1, 40), 5) << "terminal R' in V1";
        const LeadWaves v1 = ReadLead(run.trace, beat, kLeadV1);
        EXPECT_LT(v1.s, 0) << "after an S wave: rSR'";
        for (int lead : {kLeadI, kLeadV6}) {
            EXPECT_LT(TerminalDeflection(run.trace, beat, lead, 40), -5) << LeadTable[lead];
            EXPECT_GE(TerminalWaveMs(run.trace, beat, lead, -1), 40) << "broad S in " << LeadTable[lead];
        }
    }
}

TEST(ClinicConduction, LeftBundleBranchBlockHasAWideQrsWithoutSeptalForces) {
    const HeartRun run = RunClinic("4.2 Left bundle branch block", 30);
    ASSERT_TRUE(run.ok) << run.error;
    const std::vector<Beat> beats = BeatsBetween(run, kSteadyFromMs, 30000);
    ASSERT_GE(beats.size(), 20u);
    const Beat& b = beats[beats.size() / 2];
    const LeadWaves v1 = ReadLead(run.trace, b, kLeadV1);
    std::printf("4.2 Left bundle branch block:\n");
    Note("QRS, ms", b.QrsMs());
    Note("V1 r", v1.r);
    Note("V1 S", v1.s);
    Note("I first 20 ms", InitialDeflection(run.trace, b, kLeadI, 20));
    Note("V6 first 20 ms", InitialDeflection(run.trace, b, kLeadV6, 20));
    for (const Beat& beat : beats) {
        SCOPED_TRACE(beat.OnsetMs());
        EXPECT_TRUE(beat.HasP());
        EXPECT_GE(beat.QrsMs(), 120) << "wide";
        const LeadWaves w1 = ReadLead(run.trace, beat, kLeadV1);
        EXPECT_TRUE(w1.DominantS()) << "V1 QS or rS";
        EXPECT_LE(w1.r * 5, -w1.s) << "at most a small r in V1";
        for (int lead : {kLeadI, kLeadV6}) {
            const LeadWaves w = ReadLead(run.trace, beat, lead);
            EXPECT_TRUE(w.DominantR()) << LeadTable[lead];
            EXPECT_GE(InitialDeflection(run.trace, beat, lead, 20), -1) << "no q in " << LeadTable[lead];
        }
    }

    // Resynchronisation: both ventricles paced, the right at its apex and the left on its lateral
    // wall, shortly after each sensed P wave.
    const HeartRun crt =
        RunClinic("4.2 Left bundle branch block", 30, {"5:pacemaker=CRT,av=100,a=RA1,v=RV1,v2=LV5"});
    ASSERT_TRUE(crt.ok) << crt.error;
    const std::vector<Beat> paced = BeatsBetween(crt, kSteadyFromMs, 30000);
    ASSERT_GE(paced.size(), 20u);
    Note("QRS with CRT, ms", paced[paced.size() / 2].QrsMs());
    for (const Beat& beat : paced) {
        SCOPED_TRACE(beat.OnsetMs());
        EXPECT_TRUE(crt.trace.Stimulus(beat.qrsOnset - 1)) << "a paced complex";
        EXPECT_LE(beat.QrsMs() + 20, b.QrsMs()) << "CRT narrows the QRS by 20 ms or more";
    }
}

}  // namespace
}  // namespace vantrel::testing
