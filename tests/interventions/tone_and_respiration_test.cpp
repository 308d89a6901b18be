#include <gtest/gtest.h>

#include "engine/autonomic_tone.h"
#include "engine/respiration.h"
#include "intervention_fixture.h"

namespace vantrel::testing {
namespace {

TEST(ToneRamp, From400To1000TakesSixtyStepsOnePer200Ticks) {
    auto heart = MakeHeart(1);
    RecordingNotifier notifier;
    heart->notifier = &notifier;
    heart->SetTone(400, false);
    RampTone(*heart, 1000);  // the first step is taken at once
    std::vector<int32_t> stepTicks;
    int32_t before = heart->tone;
    RunTicks(*heart, 13000, {}, [&](const TickRecord& record) {
        if (heart->tone != before) stepTicks.push_back(record.tickCount);
        before = heart->tone;
    });
    ASSERT_EQ(stepTicks.size(), 59u);  // and the one taken at once
    for (size_t i = 0; i < stepTicks.size(); ++i) EXPECT_EQ(stepTicks[i], 200 * int32_t(i + 1));
    EXPECT_EQ(heart->tone, 1000);
    EXPECT_EQ(notifier.Count(kMsgTone), 60);
    EXPECT_EQ(notifier.posted.back().wParam, 1000);
    EXPECT_EQ(heart->toneRampCountdown, 0);
}

TEST(ToneRamp, ArrivesAtOnceWithinTenAndGoesDownAsWell) {
    struct Case {
        int32_t from, target, after, countdown;
    };
    const Case cases[] = {
        {400, 405, 405, 0}, {400, 390, 390, 0}, {400, 300, 390, 200}, {400, 1500, 410, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        auto heart = MakeHeart(1);
        heart->SetTone(c.from, false);
        RampTone(*heart, c.target);
        EXPECT_EQ(heart->tone, c.after);
        EXPECT_EQ(heart->toneRampCountdown, c.countdown);
    }
}

TEST(ToneRamp, BaselineRestoresLinksAndRampsToTheModelTone) {
    auto heart = MakeHeart(2);
    Link(*heart, 0, 1, LinkType::BlocRetro);
    heart->links[0].linkType = LinkType::BlocComplet;
    heart->modelTone = 300;
    heart->SetTone(600, false);
    RestoreBaseline(*heart);
    EXPECT_EQ(heart->links[0].linkType, LinkType::BlocRetro);
    EXPECT_EQ(heart->tone, 590);
    EXPECT_EQ(heart->toneTarget, 300);
}

TEST(ToneScrollBar, PositionsMapOntoTheToneRange) {
    EXPECT_EQ(ToneFromScrollPosition(0), 1000);
    EXPECT_EQ(ToneFromScrollPosition(120), 400);
    EXPECT_EQ(ToneFromScrollPosition(200), 0);
}

TEST(RespirationRate, BreathsPerMinuteGiveSegmentTicks) {
    struct Case {
        int32_t rate, segment;
    };
    // 0 and below: a 60 s breathing cycle; above 600 a segment would be 0 ticks long.
    const Case cases[] = {{0, 600}, {-3, 600}, {1, 600}, {7, 85}, {10, 60}, {100, 6}, {601, 1}};
    for (const Case& c : cases) {
        auto heart = MakeHeart(0);
        SetRespirationRate(*heart, c.rate);
        EXPECT_EQ(heart->respSegment, c.segment) << "rate " << c.rate;
    }
}

class Breathing : public ::testing::Test {
protected:
    void SetUp() override { ResetRespirationSegment(); }
    void TearDown() override { ResetRespirationSegment(); }
};

TEST_F(Breathing, TheCurveIsATrapezoidOfPeak37RepeatingEvery20Segments) {
    auto heart = MakeHeart(0);
    SetRespirationRate(*heart, 10);  // 60-tick segments, a 1200-tick breath
    std::vector<int32_t> values;
    for (int tick = 0; tick < 2400; ++tick) {
        AdvanceRespiration(*heart);
        values.push_back(heart->respValue);
    }
    EXPECT_EQ(*std::max_element(values.begin(), values.end()), 37);  // 100 * 15 / 40
    EXPECT_EQ(*std::min_element(values.begin(), values.end()), -37);
    // The first segment starts from 0 rather than from the end of a previous breath.
    for (int tick = 1260; tick < 2400; ++tick) ASSERT_EQ(values[tick], values[tick - 1200]);
    // Rising over the first segments, flat at the peak over three of them.
    EXPECT_LT(values[30], values[90]);
    EXPECT_EQ(values[300], 37);
    EXPECT_EQ(values[359], 37);
}

TEST_F(Breathing, ARateOfZeroGivesA60SecondCycle) {
    auto heart = MakeHeart(0);
    SetRespirationRate(*heart, 0);
    std::vector<int32_t> values;
    for (int tick = 0; tick < 24000; ++tick) {
        AdvanceRespiration(*heart);
        values.push_back(heart->respValue);
    }
    // The record starts 100 ticks into a flat first segment, and the first breath starts from 0
    // rather than from the end of a previous one: the cycle repeats from its second segment on.
    for (int tick = 13100; tick < 24000; tick += 7) ASSERT_EQ(values[tick], values[tick - 12000]);
    EXPECT_NE(values[3500], values[9500]);  // half a breath apart
}

TEST_F(Breathing, TheSegmentOutlivesAModelLoad) {
    auto heart = MakeHeart(0);
    for (int tick = 0; tick < 250; ++tick) AdvanceRespiration(*heart);
    const int32_t target = Program().respiration.previousTarget;
    ASSERT_EQ(target, 37);  // in the middle of inspiration
    heart->Clear();  // a load starts from a fresh record
    AdvanceRespiration(*heart);
    // The fresh record starts a new segment, from where the curve was heading rather than from 0.
    EXPECT_EQ(Program().respiration.respFrom, target);
    EXPECT_EQ(heart->respValue, target);
}

TEST(ToneModulation, PullsTowardNineHundredBelowEightHundredOnly) {
    struct Case {
        int32_t respOn, tone, respValue, modulated;
    };
    const Case cases[] = {
        {1, 400, 37, 437},   // 400 + 500 * 37 / 500
        {1, 400, -37, 363},  // expiration pushes away from 900
        {1, 0, -37, 0},      // 0 - 900 * 37 / 500 = -66, not below 0
        {1, 799, 37, 806},   // still modulated just below 800
        {1, 800, 37, 800},
        {1, 1000, -37, 1000},
        {0, 400, 37, 400},      // respiratory arrhythmia off
        {1, 400, 5000, 1000},  // a huge amplitude stays within the tone range
    };
    for (const Case& c : cases) {
        auto heart = MakeHeart(0);
        heart->respOn = c.respOn;
        heart->respValue = c.respValue;
        EXPECT_EQ(ModulateTone(*heart, c.tone), c.modulated)
            << "on " << c.respOn << " tone " << c.tone << " resp " << c.respValue;
    }
}

// A sinus cell whose period depends on the tone: 1000 ms at tone 0, 400 ms at tone 1000.
std::vector<int32_t> SinusCycles(int32_t tone, bool breathing) {
    ResetRespirationSegment();
    auto heart = MakeHeart(1);
    MakeEscaping(heart->cells[0], 1000, 5);
    heart->cells[0].SetEscape(1000, 400);
    heart->SetTone(tone, false);
    SetRespiratoryArrhythmia(*heart, breathing);
    SetRespirationAmplitude(*heart, 40);  // a marked effect
    auto cycles = Intervals(RunTicks(*heart, 4000, {0}).firings[0]);
    ResetRespirationSegment();
    return cycles;
}

TEST(ToneModulation, BreathingVariesTheSinusCycleExceptAtTone800) {
    const auto still = SinusCycles(400, false);
    const auto breathing = SinusCycles(400, true);
    EXPECT_NE(still, breathing);
    EXPECT_EQ(*std::min_element(still.begin(), still.end()),
              *std::max_element(still.begin(), still.end()));
    EXPECT_EQ(SinusCycles(800, true), SinusCycles(800, false));
}

}  // namespace
}  // namespace vantrel::testing
