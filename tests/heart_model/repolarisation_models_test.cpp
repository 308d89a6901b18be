// The repolarisation chapters of the clinic curriculum (long QT, ischaemia), each run headless
// and read from its ECG.  Measured values are printed for the notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "clinic_reading.h"

namespace vantrel::testing {
namespace {

int32_t MedianQtcMs(const std::vector<Beat>& beats) {
    std::vector<int32_t> qtc;
    for (const Beat& b : beats)
        if (b.tEnd >= 0 && b.rrMs > 0) qtc.push_back(static_cast<int32_t>(Qtc(b.QtMs(), b.rrMs)));
    if (qtc.empty()) return 0;
    std::sort(qtc.begin(), qtc.end());
    return qtc[qtc.size() / 2];
}

TEST(ClinicRepolarisation, LongQtAtRestAndLongerWithAClassThreeDrug) {
    const HeartRun rest = RunClinic("7.2 Long QT", 40);
    ASSERT_TRUE(rest.ok) << rest.error;
    const HeartRun drug = RunClinic("7.2 Long QT", 60, {"2:drug=Amiodarone (class III)"});
    ASSERT_TRUE(drug.ok) << drug.error;
    const std::vector<Beat> restBeats = rest.Between(10000, 40000);
    const std::vector<Beat> drugBeats = drug.Between(30000, 60000);
    ASSERT_GE(restBeats.size(), 20u);
    ASSERT_GE(drugBeats.size(), 20u);
    const int32_t qtcRest = MedianQtcMs(restBeats);
    const int32_t qtcDrug = MedianQtcMs(drugBeats);
    std::printf("7.2 Long QT:\n");
    Note("QT at rest, ms", restBeats[restBeats.size() / 2].QtMs());
    Note("QTc at rest, ms", qtcRest);
    Note("QTc at rest, ms (engine)", Qtc(rest.summary.qtInterval, rest.summary.rrInterval));
    Note("QTc with amiodarone, ms", qtcDrug);
    EXPECT_GT(qtcRest, 480);
    EXPECT_GT(Qtc(rest.summary.qtInterval, rest.summary.rrInterval), 480);
    EXPECT_GE(qtcDrug, qtcRest + 20) << "the class III drug lengthens it further";
    for (const Beat& b : restBeats) {
        EXPECT_TRUE(b.HasP()) << b.OnsetMs();
        EXPECT_LE(b.QrsMs(), 110) << b.OnsetMs();
    }
}

// The occlusion raises the ST segment over the anterior wall within seconds; the cells of the
// territory then die within minutes and the loss of their forces leaves Q waves in V1 to V3.
TEST(ClinicRepolarisation, AnteriorIschaemiaRaisesStThenLeavesQWaves) {
    const HeartRun run = RunClinic("7.3 Anterior ischaemia", 180, {"5:sequence=Occlusion of the LAD"});
    ASSERT_TRUE(run.ok) << run.error;
    constexpr int32_t kTenthMillivolt = 8;  // 80 units a millivolt, as the strip draws them
    std::printf("7.3 Anterior ischaemia:\n");
    const std::vector<Beat> before = BeatsBetween(run, 2000, 5000);
    const std::vector<Beat> injured = BeatsBetween(run, 12000, 25000);
    const std::vector<Beat> necrosis = BeatsBetween(run, 150000, 180000);
    ASSERT_GE(before.size(), 2u);
    ASSERT_GE(injured.size(), 10u);
    ASSERT_GE(necrosis.size(), 20u);
    for (int lead : {kLeadV2, kLeadV3, kLeadV4}) {
        SCOPED_TRACE(LeadTable[lead]);
        Note(std::string("ST before, ") + std::string(LeadTable[lead]), StLevel(run.trace, before.back(), lead));
        Note(std::string("ST after 10 s, ") + std::string(LeadTable[lead]), StLevel(run.trace, injured.front(), lead));
        EXPECT_LT(std::abs(StLevel(run.trace, before.back(), lead)), 3) << "no ST shift before";
        for (const Beat& b : injured) EXPECT_GE(StLevel(run.trace, b, lead), kTenthMillivolt) << b.OnsetMs();
    }
    int necrotic = 0;
    for (int32_t i = 0; i < run.heart->cellCount; ++i)
        if (run.heart->cells[i].escapeB >= 60000) ++necrotic;
    Note("necrotic cells after 3 minutes", necrotic);
    EXPECT_GE(necrotic, 10);
    for (int lead : {kLeadV1, kLeadV2, kLeadV3}) {
        SCOPED_TRACE(LeadTable[lead]);
        const int32_t normal = InitialDeflection(run.trace, before.back(), lead, 20);
        const int32_t q = InitialDeflection(run.trace, necrosis.back(), lead, 20);
        Note(std::string("first 20 ms before / after, ") + std::string(LeadTable[lead]), q);
        EXPECT_GT(normal, 0) << "an initial r before the occlusion";
        for (const Beat& b : necrosis) EXPECT_LE(InitialDeflection(run.trace, b, lead, 20), -5) << "Q wave";
    }

    // Reperfusion in time: the ST segment comes back and no cell dies.
    const HeartRun reperfused = RunClinic("7.3 Anterior ischaemia", 120,
                                          {"5:sequence=Occlusion of the LAD", "20:sequence=Reperfusion"});
    ASSERT_TRUE(reperfused.ok) << reperfused.error;
    for (int32_t i = 0; i < reperfused.heart->cellCount; ++i)
        EXPECT_LT(reperfused.heart->cells[i].escapeB, 60000) << "cell " << i << " survives";
    for (const Beat& b : BeatsBetween(reperfused, 40000, 120000))
        for (int lead : {kLeadV2, kLeadV3, kLeadV4})
            EXPECT_LT(std::abs(StLevel(reperfused.trace, b, lead)), 3) << b.OnsetMs() << " " << LeadTable[lead];
}

}  // namespace
}  // namespace vantrel::testing
