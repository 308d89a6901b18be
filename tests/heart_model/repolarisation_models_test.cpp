// The repolarisation chapters of the clinic curriculum (long QT, ischaemia), each run headless
// and read from its ECG.  Measured values are printed for the notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

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

}  // namespace
}  // namespace vantrel::testing
