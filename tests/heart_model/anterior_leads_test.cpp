// The default heart's anterior chest leads read as a normal adult's: the T wave upright from V2
// to V6, the P wave upright in V2 and upright or biphasic in V1 (the right atrium first, toward
// the electrode, then the left atrium behind), and the R wave growing from V1 to V4.  Every steady
// beat of a run at rest is read, not one chosen beat, so that a wave that flips from beat to beat
// fails too.
#include <gtest/gtest.h>

#include <cstdio>

#include "heart_run.h"

namespace vantrel::testing {
namespace {

// Steady state: the first seconds after a load let the conduction times settle.
constexpr int32_t kSteadyFromMs = 10000;
// A wave side smaller than this many units is read as flat.
constexpr int32_t kClearUnits = 2;

int ChestLeadNumber(int lead) { return lead - kLeadV1 + 1; }

class NormalAnteriorLeads : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Rest().ok) << Rest().error;
        ASSERT_GE(Steady().size(), 20u);
    }
    static const HeartRun& Rest() {
        static const HeartRun rest = [] {
            HeartRunSpec request;
            request.seconds = 30;
            return RunShippedHeart(request);
        }();
        return rest;
    }
    static const std::vector<Beat>& Steady() {
        static const std::vector<Beat> steady = Rest().Between(kSteadyFromMs, 1 << 30);
        return steady;
    }
};

TEST_F(NormalAnteriorLeads, TWaveUprightFromV2ToV6) {
    for (int lead = kLeadV2; lead <= kLeadV6; ++lead) {
        SCOPED_TRACE(LeadTable[lead]);
        for (const Beat& b : Steady()) {
            const LeadWaves w = ReadLead(Rest().trace, b, lead);
            EXPECT_GE(w.t, kClearUnits) << "T upright in V" << ChestLeadNumber(lead) << " at "
                                        << b.OnsetMs() << " ms";
        }
    }
    std::printf("  T in V1..V6:");
    for (int lead = kLeadV1; lead <= kLeadV6; ++lead)
        std::printf(" %d", ReadLead(Rest().trace, Steady().front(), lead).t);
    std::printf("\n");
}

TEST_F(NormalAnteriorLeads, PWaveUprightInV2AndUprightOrBiphasicInV1) {
    for (const Beat& b : Steady()) {
        SCOPED_TRACE(b.OnsetMs());
        ASSERT_TRUE(b.HasP());
        const WaveSides v1 = PWaveSides(Rest().trace, b, kLeadV1);
        const WaveSides v2 = PWaveSides(Rest().trace, b, kLeadV2);
        EXPECT_GE(v1.highest, kClearUnits) << "V1: the P wave has an upright part";
        EXPECT_GE(v2.highest, kClearUnits) << "V2: upright P";
        EXPECT_GT(v2.highest, -v2.lowest) << "V2: the P wave is mostly upright";
        EXPECT_GT(ReadLead(Rest().trace, b, kLeadV2).p, 0);
    }
    const WaveSides v1 = PWaveSides(Rest().trace, Steady().front(), kLeadV1);
    const WaveSides v2 = PWaveSides(Rest().trace, Steady().front(), kLeadV2);
    std::printf("  P in V1 %d/%d, V2 %d/%d\n", v1.highest, v1.lowest, v2.highest, v2.lowest);
}

TEST_F(NormalAnteriorLeads, RWaveGrowsFromV1ToV4) {
    for (const Beat& b : Steady()) {
        SCOPED_TRACE(b.OnsetMs());
        int32_t previous = 0;
        for (int lead = kLeadV1; lead <= kLeadV4; ++lead) {
            const int32_t r = ReadLead(Rest().trace, b, lead).r;
            EXPECT_GT(r, previous) << "R in V" << ChestLeadNumber(lead);
            previous = r;
        }
    }
}

}  // namespace
}  // namespace vantrel::testing
