#include "engine/pacemaker.h"

#include <gtest/gtest.h>

#include "intervention_fixture.h"

namespace vantrel::testing {
namespace {

constexpr int32_t kA = 0, kV = 1, kV2 = 2;

// Three unlinked cells for the atrial, ventricular and second ventricular leads; none escapes
// unless a test makes it.
std::unique_ptr<CCoeur> HeartWithLeads(int32_t mode, PacemakerSettings settings = {}) {
    auto heart = MakeHeart(3);
    heart->pmAtrialCell = kA;
    heart->pmVentricularCell = kV;
    heart->pmVentricular2Cell = kV2;
    settings.mode = mode;
    SetupPacemaker(*heart, settings);
    return heart;
}

TEST(PacemakerSettings, ConvertToTicks) {
    auto heart = MakeHeart(0);
    SetupPacemaker(*heart, kPmCrt, 100, 250, 160, 25, 70, 140);
    EXPECT_EQ(heart->pmMode, kPmCrt);
    EXPECT_EQ(heart->pmAtrialRefractory, 20);
    EXPECT_EQ(heart->pmVentricularBlanking, 50);
    EXPECT_EQ(heart->pmAvDelay, 32);
    EXPECT_EQ(heart->pmVvDelay, 5);
    EXPECT_EQ(heart->pmPeriod, 171);
    EXPECT_EQ(heart->pmMinPeriod, 85);
    EXPECT_EQ(heart->pmDddPlus, 1);
    SetupPacemaker(*heart, kPmDdd, 0, 0, 5, -3, 30, 300);
    EXPECT_EQ(heart->pmAvDelay, 1);
    EXPECT_EQ(heart->pmVvDelay, 0);
    EXPECT_EQ(heart->pmPeriod, 400);
    EXPECT_EQ(heart->pmMinPeriod, 40);
    EXPECT_EQ(heart->pmDddPlus, 0);
    SetupPacemaker(*heart, kPmVvi, 0, 0, 160, 0, 0, -5);  // rates the dialog would refuse
    EXPECT_EQ(heart->pmPeriod, 400);
    EXPECT_EQ(heart->pmMinPeriod, 400);
}

TEST(PacemakerSettings, TheDialogRefusesValuesOutsideTheirRanges) {
    struct Case {
        int32_t PacemakerSettings::*field;
        int32_t value;
        int32_t refusedField;  // -1: accepted
        const char* message;
    };
    const Case cases[] = {
        {&PacemakerSettings::avDelayMs, 4, 0, "Please enter an integer between 5 and 1000."},
        {&PacemakerSettings::avDelayMs, 1000, -1, ""},
        {&PacemakerSettings::maxRateBpm, 301, 1, "Please enter an integer between 30 and 300."},
        {&PacemakerSettings::basicRateBpm, 29, 2, "Please enter an integer between 30 and 200."},
        {&PacemakerSettings::basicRateBpm, 200, -1, ""},
        {&PacemakerSettings::mode, 6, 3, "Please enter an integer between 0 and 5."},
        {&PacemakerSettings::vvDelayMs, -100, -1, ""},
        {&PacemakerSettings::vvDelayMs, -101, 4, "Please enter an integer between -100 and 100."},
        {&PacemakerSettings::ventricularBlankingMs, -1, 5,
         "Please enter an integer between 0 and 1000."},
        {&PacemakerSettings::atrialBlankingMs, 1001, 6,
         "Please enter an integer between 0 and 1000."},
    };
    for (const Case& c : cases) {
        PacemakerSettings s;
        s.*c.field = c.value;
        const auto error = CheckPacemakerSettings(s);
        SCOPED_TRACE(c.value);
        if (c.refusedField < 0) {
            EXPECT_FALSE(error.has_value());
            continue;
        }
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->field, c.refusedField);
        EXPECT_EQ(error->message, c.message);
    }
    EXPECT_FALSE(CheckPacemakerSettings(PacemakerSettings{}).has_value());
}

TEST(PacemakerModes, EachModeKeepsOnlyItsLeads) {
    struct Case {
        int32_t mode;
        int32_t a, v, v2;
    };
    const Case cases[] = {{kPmNone, -1, -1, -1}, {kPmAai, kA, -1, -1}, {kPmVvi, -1, kV, -1},
                          {kPmDdd, kA, kV, -1},   {kPmDddPlus, kA, kV, -1}, {kPmCrt, kA, kV, kV2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(PacemakerModeName(c.mode));
        auto heart = HeartWithLeads(c.mode);
        EXPECT_EQ(heart->pmAtrialCell, c.a);
        EXPECT_EQ(heart->pmVentricularCell, c.v);
        EXPECT_EQ(heart->pmVentricular2Cell, c.v2);
        EXPECT_EQ(heart->electrodes[10].cell, c.a);
        EXPECT_EQ(heart->electrodes[12].cell, c.v2);
        EXPECT_EQ(heart->cells[kA].electrodeMark, 0);  // SetupPacemaker does not re-mark
        ApplyMode(*heart);
        EXPECT_EQ(heart->cells[kA].electrodeMark, c.a >= 0 ? 10 : 0);
        EXPECT_EQ(heart->cells[kV].electrodeMark, c.v >= 0 ? 11 : 0);
    }
}

TEST(PacemakerModes, NamesAsTheListShowsThem) {
    EXPECT_STREQ(PacemakerModeName(kPmDddPlus), "DDD +");
    EXPECT_EQ(PacemakerModeFromName("DDD +"), kPmDddPlus);
    EXPECT_EQ(PacemakerModeFromName("DDD+"), kPmDddPlus);
    EXPECT_EQ(PacemakerModeFromName("CRT"), kPmCrt);
    EXPECT_EQ(PacemakerModeFromName("crt"), -1);
}

TEST(PacemakerVvi, PacesEvery171TicksWithoutIntrinsicActivity) {
    auto heart = HeartWithLeads(kPmVvi);
    const Recording r = RunTicks(*heart, 2000, {kV});
    ASSERT_GE(r.firings[0].size(), 10u);
    for (int32_t gap : Intervals(r.firings[0])) EXPECT_EQ(gap, 171);
    EXPECT_EQ(r.marks, r.firings[0]);  // every pace draws its spike in its own tick
}

// A ventricular event sensed j ticks after a ventricular pace: ignored up to 20 ticks, so that
// the pace's own impulse does not inhibit the next one; from 21 ticks on it restarts the period.
TEST(PacemakerVvi, IgnoresSensingInTheFirst20TicksAfterAVentricularEvent) {
    struct Case {
        int32_t afterPace, nextPace;
    };
    const Case cases[] = {{1, 171}, {10, 171}, {20, 171}, {21, 192}, {60, 231}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.afterPace);
        auto heart = HeartWithLeads(kPmVvi);
        const int32_t pace = RunTicks(*heart, 200, {kV}).firings[0].at(0);
        RunTicks(*heart, pace + c.afterPace - heart->tickCount);
        heart->pmVentricularSensed = 1;  // as the sensing step of that tick would
        const Recording r = RunTicks(*heart, 300, {kV});
        ASSERT_FALSE(r.firings[0].empty());
        EXPECT_EQ(r.firings[0][0] - pace, c.nextPace);
    }
}

// Steady state: what happens after the first few beats, once the construction values of the
// escape counters no longer matter.
std::vector<int32_t> Steady(const std::vector<int32_t>& ticks) {
    return std::vector<int32_t>(ticks.begin() + std::min<size_t>(3, ticks.size()), ticks.end());
}

// The ticks at or after `first`.
std::vector<int32_t> From(const std::vector<int32_t>& ticks, int32_t first) {
    std::vector<int32_t> out;
    for (int32_t t : ticks)
        if (t >= first) out.push_back(t);
    return out;
}

// The atrial blanking counts from the last sensed atrial event, not from a pace: the paced
// beat's own impulse is sensed when it leaves the lead cell (one tick after the pace here) and
// restarts the period from there.
TEST(PacemakerAai, PacesASlowerAtriumAtTheBasicRate) {
    for (int32_t blankingMs : {0, 100}) {
        SCOPED_TRACE(blankingMs);
        PacemakerSettings s;
        s.atrialBlankingMs = blankingMs;
        auto heart = HeartWithLeads(kPmAai, s);
        const Recording r = RunTicks(*heart, 2000, {kA});
        ASSERT_GE(r.firings[0].size(), 10u);
        for (int32_t gap : Intervals(Steady(r.firings[0]))) EXPECT_EQ(gap, 171 + 1);
        EXPECT_EQ(r.marks, r.firings[0]);
    }
}

TEST(PacemakerAai, InhibitsOnAFasterAtrium) {
    auto heart = HeartWithLeads(kPmAai);
    MakeEscaping(heart->cells[kA], 700, 10);  // 140 ticks, faster than 171
    const Recording r = RunTicks(*heart, 2000, {kA});
    EXPECT_TRUE(r.marks.empty());
    for (int32_t gap : Intervals(r.firings[0])) EXPECT_EQ(gap, 140);
}

// The atrium escapes on its own; the ventricle has no conduction from it.
Recording DddWithAtrialCycle(int32_t atrialMs) {
    auto heart = HeartWithLeads(kPmDdd);
    MakeEscaping(heart->cells[kA], atrialMs, 10);
    return RunTicks(*heart, 3000, {kA, kV});
}

TEST(PacemakerDdd, TracksTheAtriumBelowTheMaximumRate) {
    const Recording r = DddWithAtrialCycle(750);  // 150 ticks, 80 bpm
    const auto atrial = Steady(r.firings[0]), ventricular = Steady(r.firings[1]);
    ASSERT_GE(ventricular.size(), 10u);
    EXPECT_EQ(From(r.marks, ventricular.front()), ventricular);  // the atrium is no longer paced
    for (int32_t gap : Intervals(ventricular)) EXPECT_EQ(gap, 150);
    // Sensed when the impulse leaves the atrial cell, paced an A-V delay (32 ticks) later.
    const int32_t delay = ventricular.back() - atrial.back();
    EXPECT_GE(delay, 32);
    EXPECT_LE(delay, 36);
}

TEST(PacemakerDdd, SensesButDoesNotTrackAboveTheMaximumRate) {
    const Recording r = DddWithAtrialCycle(300);  // 60 ticks, 200 bpm, above 140
    const auto ventricular = Steady(r.firings[1]);
    ASSERT_GE(ventricular.size(), 10u);
    EXPECT_EQ(From(r.marks, ventricular.front()), ventricular);  // sensing keeps the atrium from being paced
    for (int32_t gap : Intervals(r.firings[0])) EXPECT_EQ(gap, 60);
    for (int32_t gap : Intervals(ventricular)) EXPECT_EQ(gap, 171);
}

TEST(PacemakerDddPlus, AlternatesTheAvDelayOnTrackedBeats) {
    auto heart = HeartWithLeads(kPmDddPlus);
    MakeEscaping(heart->cells[kA], 750, 10);  // a regular atrium at 80 bpm
    const Recording r = RunTicks(*heart, 3000, {kA, kV});
    const auto ventricular = Steady(r.firings[1]);
    ASSERT_GE(ventricular.size(), 10u);
    std::vector<int32_t> delays;
    for (int32_t v : ventricular) {
        int32_t atrial = 0;
        for (int32_t a : r.firings[0])
            if (a < v) atrial = a;
        delays.push_back(v - atrial);
    }
    // Plus and minus 2 ticks (10 ms) around the A-V delay, beat by beat.
    for (size_t i = 1; i < delays.size(); ++i) EXPECT_EQ(std::abs(delays[i] - delays[i - 1]), 4);
}

TEST(PacemakerCrt, PacesTheSecondVentricleTheVvDelayAfterTheFirst) {
    struct Case {
        int32_t vvDelayMs;
        int32_t lagTicks;  // -1: never paced
    };
    const Case cases[] = {{0, 0}, {-4, 0}, {-1, 0}, {5, 1}, {25, 5}, {100, 20}, {-5, -1}, {-100, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vvDelayMs);
        PacemakerSettings s;
        s.vvDelayMs = c.vvDelayMs;
        auto heart = HeartWithLeads(kPmCrt, s);
        heart->pmAtrialCell = -1;  // ventricular pacing only
        const Recording r = RunTicks(*heart, 1000, {kV, kV2});
        ASSERT_GE(r.firings[0].size(), 3u);
        if (c.lagTicks < 0) {
            EXPECT_TRUE(r.firings[1].empty());
            continue;
        }
        ASSERT_EQ(r.firings[1].size(), r.firings[0].size());
        for (size_t i = 0; i < r.firings[0].size(); ++i)
            EXPECT_EQ(r.firings[1][i] - r.firings[0][i], c.lagTicks);
    }
}

TEST(Pacemaker, LeadsOutsideTheModelTouchNothing) {
    auto heart = MakeHeart(2);
    heart->pmAtrialCell = 5;
    heart->pmVentricularCell = 900;
    heart->pmVentricular2Cell = 1000;
    SetupPacemaker(*heart, kPmCrt, 0, 0, 160, 0, 70, 140);
    const Recording r = RunTicks(*heart, 1000);
    EXPECT_TRUE(r.marks.empty());
}

// An A-V delay at or above the basic period leaves no V-A interval: after a ventricular event the
// atrium is not paced (it used to be paced one tick after every sensed ventricular event, into an
// atrium just excited).  Once the delay is shortened, the next ventricular pace realigns the
// atrial escape and atrial pacing resumes.
TEST(Pacemaker, NoAtrialPacingWithoutAVaInterval) {
    for (int32_t avDelayMs : {1000, 855}) {  // 200 ticks, and exactly the period of 171
        SCOPED_TRACE(avDelayMs);
        PacemakerSettings s;
        s.avDelayMs = avDelayMs;
        auto heart = HeartWithLeads(kPmDdd, s);
        MakeEscaping(heart->cells[kV], 600, 10);  // a ventricle of its own, every 120 ticks
        const Recording before = RunTicks(*heart, 1500, {kA, kV});
        EXPECT_EQ(From(before.marks, 400), std::vector<int32_t>{});
        EXPECT_EQ(From(before.firings[0], 400), std::vector<int32_t>{});
        for (int32_t gap : Intervals(before.firings[1])) EXPECT_EQ(gap, 120);

        s.mode = kPmDdd;
        s.avDelayMs = 160;  // 32 ticks: a V-A interval of 139
        SetupPacemaker(*heart, s);
        MakeEscaping(heart->cells[kV], 10000, 2000);  // the ventricle falls silent
        const Recording after = RunTicks(*heart, 1500, {kA, kV});
        EXPECT_GE(after.firings[0].size(), 5u);
        // A pace, the A-V delay, a ventricular pace, the V-A interval: the basic period again.
        const auto ventricular = Steady(after.firings[1]);
        ASSERT_GE(ventricular.size(), 4u);
        for (int32_t gap : Intervals(ventricular)) EXPECT_EQ(gap, 170);
    }
}

// With no ventricular lead there is no V-A interval to wait for: an atrial escape left below 0
// by a mode that had one paces at once.
TEST(Pacemaker, AStrandedAtrialEscapePacesAtOnceWithoutAVentricularLead) {
    auto heart = HeartWithLeads(kPmAai);
    heart->pmAtrialEscape = -40;
    const Recording r = RunTicks(*heart, 400, {kA});
    ASSERT_FALSE(r.marks.empty());
    EXPECT_EQ(r.marks.front(), 1);
    EXPECT_GT(heart->pmAtrialEscape, 0);
}

// The rules of one timing step, each checked on the fields it changes.  Settings: basic period
// 171 ticks, A-V delay 32, maximum rate 100 ticks, ventricular blanking 60, atrial blanking 0.
std::unique_ptr<CCoeur> TimingHeart(int32_t mode) {
    auto heart = MakeHeart(3);
    heart->pmAtrialCell = kA;
    heart->pmVentricularCell = kV;
    heart->pmVentricular2Cell = kV2;
    SetupPacemaker(*heart, mode, 0, 300, 160, 25, 70, 120);
    heart->pmAtrialEscape = 50;  // outside the ventricular blanking
    heart->pmVentricularEscape = 150;
    return heart;
}

// An atrial event sensed in "DDD +" or "CRT" is not tracked once the irregularity measure
// exceeds 4: the measure restarts, a pending V' pace is dropped and the ventricle waits a full
// period.  Otherwise the beat is tracked with the A-V delay plus or minus the 2-tick hysteresis.
TEST(PacemakerDddPlus, TheIrregularityCut) {
    struct Case {
        const char* name;
        int32_t mode;
        int32_t irregularity;  // before the sensed event
        int32_t count, previous, previousDiff;
        int32_t irregularityAfter, ventricularEscape, v2Countdown, hysteresisAfter;
    };
    // The atrial cycle `count` against the previous one: a change under 6 ticks of a sign other
    // than the last change's adds its size to the measure; every sensed event takes 1 off.
    const Case cases[] = {
        {"DDD + cut", kPmDddPlus, 6, 120, 171, 0, 0, 171 - 1, -1, 2},
        {"DDD + tracked at 4", kPmDddPlus, 5, 120, 171, 0, 4, 32 + 2 - 1, 7, -2},
        {"CRT cut", kPmCrt, 6, 120, 171, 0, 0, 171 - 1, -1, 2},
        {"alternation adds", kPmDddPlus, 2, 120, 117, -2, 4, 32 + 2 - 1, 7, -2},  // 2 + 3 - 1
        {"alternation cuts", kPmDddPlus, 3, 120, 117, -2, 0, 171 - 1, -1, 2},     // 3 + 3 - 1
        {"same sign adds nothing", kPmDddPlus, 2, 120, 117, 1, 1, 32 + 2 - 1, 7, -2},
        {"long cycle adds nothing", kPmDddPlus, 2, 150, 147, -2, 1, 32 + 2 - 1, 7, -2},
        {"plain DDD never cuts", kPmDdd, 9, 120, 171, 0, 8, 32 - 1, 7, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto heart = TimingHeart(c.mode);
        heart->pmIrregularity = c.irregularity;
        heart->pmAtrialCount = c.count - 1;  // the step counts this tick first
        heart->pmPrevAtrialCount = c.previous;
        heart->pmPrevAtrialDiff = c.previousDiff;
        heart->pmAtrialSensed = 1;
        heart->pmV2Countdown = 8;
        PacemakerTiming(*heart);
        EXPECT_EQ(heart->pmIrregularity, c.irregularityAfter);
        EXPECT_EQ(heart->pmVentricularEscape, c.ventricularEscape);
        EXPECT_EQ(heart->pmV2Countdown, c.v2Countdown);
        EXPECT_EQ(heart->pmAvHysteresis, c.hysteresisAfter);
        EXPECT_EQ(heart->pmAtrialCount, 0);
        EXPECT_EQ(heart->pmPrevAtrialCount, c.count);
        EXPECT_EQ(heart->pmPrevAtrialDiff, c.count - c.previous);
    }
}

// A ventricular event sets the atrial escape to period - A-V delay (139); atrial sensing stays
// blanked while the escape is at or above period - blanking - A-V delay (79), so for the 60
// ticks of the ventricular blanking.  Without a ventricular lead nothing is blanked.
TEST(PacemakerDdd, VentricularBlankingOfAtrialSensing) {
    struct Case {
        int32_t atrialEscape;
        bool ventricularLead;
        bool sensed;
    };
    const Case cases[] = {
        {139, true, false}, {80, true, false}, {79, true, false}, {78, true, true},
        {10, true, true},   {139, false, true}, {79, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.atrialEscape);
        auto heart = TimingHeart(kPmDdd);
        if (!c.ventricularLead) heart->pmVentricularCell = -1;
        heart->pmAtrialEscape = c.atrialEscape;
        heart->pmAtrialCount = 150;
        heart->pmAtrialSensed = 1;
        PacemakerTiming(*heart);
        EXPECT_EQ(heart->pmAtrialCount, c.sensed ? 0 : 151);
        EXPECT_EQ(heart->pmAtrialEscape, c.sensed ? 171 - 1 : c.atrialEscape - 1);
        EXPECT_EQ(heart->pmAtrialSensed, 0);  // consumed either way
    }
}

// A ventricular pace realigns an atrial escape that would come later than the V-A interval (more
// than V-A - 5 ticks left) to the V-A interval; an earlier one is left to run.  An escape stranded
// below 0 is realigned too.
TEST(PacemakerDdd, RealignsTheAtrialEscapeAfterAVentricularPace) {
    struct Case {
        int32_t atrialEscape;  // before the step, which counts it down first
        int32_t after;
    };
    const Case cases[] = {
        {171, 139}, {140, 139}, {136, 139}, {135, 134}, {100, 99}, {2, 1}, {-10, 139},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.atrialEscape);
        auto heart = TimingHeart(kPmDdd);
        heart->pmAtrialEscape = c.atrialEscape;
        heart->pmVentricularEscape = 1;  // paced in this step
        PacemakerTiming(*heart);
        EXPECT_EQ(heart->markerFlag, 1);
        EXPECT_EQ(heart->pmVentricularEscape, 171);
        EXPECT_EQ(heart->pmAtrialEscape, c.after);
    }
}

}  // namespace
}  // namespace vantrel::testing
