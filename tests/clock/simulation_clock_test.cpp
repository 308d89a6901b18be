#include "engine/simulation_clock.h"

#include <gtest/gtest.h>

#include <memory>

#include "../engine/heart_fixture.h"
#include "clock_fixture.h"
#include "engine/cell_automaton.h"
#include "engine/demo_heart.h"
#include "engine/program_wide.h"
#include "engine/rhythm_measurement.h"

namespace vantrel {
namespace {

using testing::MakeHeart;
using testing::RecordingNotifier;

class CountingHooks : public ClockHooks {
public:
    void OnRedrawBeat() override { ++beats; }
    void OnStepSample(const EcgSample&) override { ++stepSamples; }
    void OnStepFinished() override { ++stepsFinished; }
    int beats = 0, stepSamples = 0, stepsFinished = 0;
};

// A heart, its sample store and a clock whose timer is driven by hand.
struct ClockRig {
    explicit ClockRig(int cells = 3) : heart(MakeHeart(cells)), display(std::make_unique<EcgDisplay>()) {
        heart->notifier = &notifier;
        clock = std::make_unique<SimulationClock>(*heart, *display);
        clock->SetHooks(&hooks);
    }
    void Fire(int periods) {
        for (int i = 0; i < periods; ++i) clock->OnTimer();
    }
    int Ticks() const { return heart->tickCount; }

    RecordingNotifier notifier;
    CountingHooks hooks;
    std::unique_ptr<CCoeur> heart;
    std::unique_ptr<EcgDisplay> display;
    std::unique_ptr<SimulationClock> clock;
};

TEST(TimerCallback, SpeedDividerTicksOncePerRunModePeriods) {
    struct Case {
        int32_t mode;
        int periods, ticks, redraws;
    };
    // At ultra slow speed every tick posts a redraw message.
    const Case cases[] = {{kRunNormal, 30, 30, 0}, {kRunSlow, 30, 10, 0}, {kRunUltraSlow, 30, 3, 3}};
    for (const Case& c : cases) {
        ClockRig rig;
        rig.clock->SetRunMode(c.mode);
        rig.Fire(c.periods);
        EXPECT_EQ(rig.Ticks(), c.ticks) << "mode " << c.mode;
        EXPECT_EQ(rig.notifier.Count(kMsgRedraw), c.redraws) << "mode " << c.mode;
        EXPECT_EQ(rig.display->WriteIndex(), c.ticks) << "one sample per tick";
    }
}

TEST(TimerCallback, RedrawCountdownStartsAtHundredThenReloadsTwenty) {
    ClockRig rig;
    rig.clock->SetRunMode(kRunNormal);
    rig.Fire(99);
    EXPECT_EQ(rig.notifier.Count(kMsgRedraw), 0);
    rig.Fire(1);
    EXPECT_EQ(rig.notifier.Count(kMsgRedraw), 1);
    rig.Fire(40);
    EXPECT_EQ(rig.notifier.Count(kMsgRedraw), 3);
    EXPECT_EQ(rig.hooks.beats, 3);
}

TEST(TimerCallback, IdleClockCountsPeriodsWithoutTickingOrPosting) {
    for (int32_t mode : {kRunNotStarted, kRunPaused}) {
        ClockRig rig;
        rig.clock->SetRunMode(mode);
        rig.Fire(100);
        EXPECT_EQ(rig.hooks.beats, 1) << "mode " << mode;
        rig.Fire(20);
        EXPECT_EQ(rig.hooks.beats, 2);
        EXPECT_EQ(rig.Ticks(), 0);
        EXPECT_EQ(rig.notifier.Messages().size(), 0u);
    }
}

TEST(BackPressure, StaleNoticesRaiseSkipCountToAtMostHundred) {
    ClockRig rig;
    rig.clock->SetRunMode(kRunNormal);
    rig.Fire(10);
    rig.clock->OnCellNotice(5);  // lag 5: not stale
    EXPECT_EQ(rig.clock->SkipCount(), 0);
    for (int i = 0; i < 150; ++i) rig.clock->OnCellNotice(4);
    EXPECT_EQ(rig.clock->SkipCount(), kMaxSkipCount);
    rig.Fire(99);
    EXPECT_EQ(rig.Ticks(), 10) << "99 periods dropped";
    rig.Fire(1);
    EXPECT_EQ(rig.Ticks(), 11);
}

TEST(BackPressure, NoSkippingWhilePaused) {
    ClockRig rig;
    rig.clock->SetRunMode(kRunNormal);
    rig.Fire(10);
    rig.clock->SetRunMode(kRunPaused);
    rig.clock->OnCellNotice(1);
    EXPECT_EQ(rig.clock->SkipCount(), 0);
}

TEST(SpeedToggle, CyclesNormalSlowUltraSlowAndResumesFromPause) {
    const int32_t from[] = {kRunPaused, kRunNormal, kRunSlow, kRunUltraSlow, kRunNotStarted};
    const int32_t to[] = {kRunNormal, kRunSlow, kRunUltraSlow, kRunNormal, kRunNormal};
    for (int i = 0; i < 5; ++i) {
        ClockRig rig;
        rig.clock->SetRunMode(from[i]);
        rig.clock->ToggleSpeed();
        EXPECT_EQ(rig.clock->RunMode(), to[i]) << "from " << from[i];
    }
}

TEST(Step, SilentModelReturnsAfterTwoThousandTicks) {
    ClockRig rig;
    rig.clock->SetRunMode(kRunNormal);
    rig.clock->Step();
    EXPECT_EQ(rig.clock->RunMode(), kRunPaused);
    EXPECT_EQ(rig.Ticks(), kStepTickLimit);
    EXPECT_EQ(rig.display->WriteIndex(), kStepTickLimit);
    EXPECT_EQ(rig.hooks.stepSamples, kStepTickLimit);
    EXPECT_EQ(rig.hooks.stepsFinished, 1);
}

TEST(Step, StopsAtTheFiringTickAndSendsNoticesWithTheModelUnlocked) {
    ClockRig rig;
    rig.heart->cells[1].escapeCounter = 7;  // escapes in tick 7
    rig.heart->cells[1].SetEscape(1000, 1000);
    int handled = 0;
    // The view's handler reads the cell under the model lock: this must not deadlock.
    rig.notifier.onSend = [&](int32_t message, int32_t tick, int32_t cell) {
        std::lock_guard<std::mutex> g(rig.heart->lock);
        EXPECT_EQ(message, kMsgCellChanged);
        EXPECT_EQ(tick, rig.heart->tickCount);
        EXPECT_EQ(cell, 1);
        ++handled;
    };
    rig.clock->Step();
    EXPECT_EQ(rig.Ticks(), 7);
    EXPECT_EQ(handled, 1);
    for (const auto& m : rig.notifier.Messages()) EXPECT_TRUE(m.sent);
}

TEST(Step, TimerDoesNotTickWhilePaused) {
    ClockRig rig;
    rig.clock->SetRunMode(kRunNormal);
    rig.clock->Step();
    const int ticks = rig.Ticks();
    rig.Fire(50);
    EXPECT_EQ(rig.Ticks(), ticks);
}

TEST(Tick, TimerPostsCellNoticesWithTickAndIndex) {
    ClockRig rig;
    rig.heart->cells[2].escapeCounter = 1;
    rig.heart->cells[2].SetEscape(1000, 1000);
    rig.clock->SetRunMode(kRunNormal);
    rig.Fire(1);
    const auto messages = rig.notifier.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, kMsgCellChanged);
    EXPECT_EQ(messages[0].wParam, 1);
    EXPECT_EQ(messages[0].lParam, 2);
    EXPECT_FALSE(messages[0].sent);
}

TEST(Tick, AutomaticEndsOfDrugAndSequence) {
    ClockRig rig;
    CCell& cell = rig.heart->cells[0];
    cell.StoreAsModel();
    cell.SetEscape(3000, 3000);  // a drug's change; the model says 10000
    rig.heart->robustnessLevel = 90;
    rig.heart->links[0].modelLinkType = LinkType::Bidir;
    rig.heart->links[0].linkType = LinkType::BlocComplet;
    rig.heart->linkCount = 1;
    rig.heart->cellResetCountdown = 3;
    rig.heart->linkResetCountdown = 2;
    rig.clock->TickAndSample(true);
    rig.clock->TickAndSample(true);
    EXPECT_EQ(rig.heart->links[0].linkType, LinkType::Bidir);
    EXPECT_EQ(rig.notifier.Count(kMsgSequenceEnded), 1);
    EXPECT_EQ(rig.notifier.Count(kMsgDrugEnded), 0);
    rig.clock->TickAndSample(true);
    EXPECT_EQ(cell.escapeB, 10000);
    EXPECT_EQ(rig.heart->robustnessLevel, 50);
    EXPECT_EQ(rig.notifier.Count(kMsgDrugEnded), 1);
    for (int i = 0; i < 10; ++i) rig.clock->TickAndSample(true);
    EXPECT_EQ(rig.notifier.Count(kMsgDrugEnded), 1) << "a countdown of 0 stays off";
}

TEST(Tick, SampleCarriesRespirationAndSampleMarkerLowBytes) {
    ClockRig rig;
    // The tick's respiration generator sets respValue: hold its segment at 0x1234.
    const RespirationSegment saved = Program().respiration;
    Program().respiration = RespirationSegment{0x1234, 0, 0x1234};
    rig.heart->respTick = 1;
    rig.heart->sampleMarker = 0x1FF;
    std::lock_guard<std::mutex> g(rig.heart->lock);
    EcgSample stored;
    rig.clock->TickAndSample(true, &stored);
    Program().respiration = saved;
    EXPECT_EQ(rig.heart->respValue, 0x1234);
    EXPECT_EQ(stored.bytes[kEcgResp], 0x34);
    EXPECT_EQ(stored.bytes[kEcgSampleMarker], -1);
    EXPECT_EQ(rig.display->liveRing[0].bytes[kEcgResp], 0x34);
}

// The whole tick on a beating heart: every complex of the sinus rhythm is closed with an RR equal
// to the sinus cycle.
TEST(Tick, SinusRhythmIsMeasuredComplexByComplex) {
    auto heart = std::make_unique<CCoeur>();
    auto display = std::make_unique<EcgDisplay>();
    BuildDemoHeart(*heart, 5, 8, 100);
    SimulationClock clock(*heart, *display);
    class Closed : public TickListener {
    public:
        void OnTick(const CCoeur& h, const TickRecord& r) override {
            if (r.complexClosed) rr.push_back(h.rrInterval);
        }
        std::vector<int32_t> rr;
    } closed;
    clock.SetTickListener(&closed);
    std::lock_guard<std::mutex> g(heart->lock);
    for (int i = 0; i < 1000; ++i) clock.TickAndSample(true);
    RateCellHeartRate(*heart);  // the first sum counts from the start of the run
    for (int i = 0; i < 1000; ++i) clock.TickAndSample(true);
    const int32_t cycle = EscapeTicks(heart->cells[0], heart->tone) * 5;
    ASSERT_GE(closed.rr.size(), 5u);
    for (size_t i = 1; i < closed.rr.size(); ++i) EXPECT_EQ(closed.rr[i], cycle) << "complex " << i;
    EXPECT_EQ(RateCellHeartRate(*heart), 12000 / (cycle / 5));
}

}  // namespace
}  // namespace vantrel
