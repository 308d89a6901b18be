#include "engine/cell_automaton.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/demo_heart.h"
#include "tests/engine/heart_fixture.h"

namespace vantrel {
namespace {

using testing::Link;
using testing::MakeHeart;
using testing::RunTick;

bool IsFiring(CellEvent e) { return e != 0 && e != kEventCounterExpired; }

// Cells with round timings: 10 ticks of anterograde and retrograde conduction, 60 ticks of
// absolute and 20 of relative refractoriness, the refractory period taken from its tone pair.
void MakeRoundTimings(CCell& cell) {
    cell.SetAntCond(50, 50);
    cell.SetRetCond(50, 50);
    cell.SetArp(300, 300);
    cell.SetRrp(100, 100);
    cell.arpSlope = -1;
}

TEST(DerivedDurations, SquareRootToneUsesTheFixedFactor) {
    EXPECT_EQ(SquareRootTone(0), 0);
    EXPECT_EQ(SquareRootTone(400), 632);
    EXPECT_EQ(SquareRootTone(1000), 999);  // 31.6, not the square root of 1000
}

TEST(DerivedDurations, ArpUsesTheSquareRootToneOnlyForLongPeriods) {
    CCell cell;
    cell.SetArp(2000, 1000);
    EXPECT_EQ(ArpTicks(cell, 400), Interp(2000, 1000, 632) / 5);
    cell.SetArp(400, 200);
    EXPECT_EQ(ArpTicks(cell, 400), Interp(400, 200, 400) / 5);
    cell.SetArp(20, 20);
    EXPECT_EQ(ArpTicks(cell, 400), 10);  // never below 10 ticks
}

TEST(DerivedDurations, RelativeRefractoryShorterThanOneTickDividesByNothing) {
    CCell cell;
    cell.rrpB = cell.rrpH = 2;  // 0 ticks, written past the setter's floor
    cell.rrpCounter = 5;
    EXPECT_EQ(RrpTicks(cell, 400), 0);
    EXPECT_EQ(AntTicks(cell, 400), 2);
    EXPECT_EQ(ArpTicks(cell, 400), 30);
}

TEST(CellStep, OneAnterogradeFiringHasItsExactTiming) {
    auto heart = MakeHeart(2);
    MakeRoundTimings(heart->cells[0]);
    MakeRoundTimings(heart->cells[1]);
    Link(*heart, 0, 1);
    CCell& a = heart->cells[0];
    CCell& b = heart->cells[1];
    a.escapeCounter = 1;  // escapes in tick f

    CellEvent events[2];
    RunTick(*heart, 400, events);  // tick f
    EXPECT_EQ(events[0], 11);
    EXPECT_EQ(a.conductCounter, 10);  // 11, already decreased once in tick f
    EXPECT_EQ(a.arpCounter, 64);      // 60 + 11 / 2, decreased once
    EXPECT_EQ(a.activeWindow, 90);    // 20 + 64 + 6
    EXPECT_EQ(a.qrsPhase, 8);
    for (int k = 1; k <= 8; ++k) {
        RunTick(*heart, 400, events);
        EXPECT_EQ(a.propagating, 0) << "tick f+" << k;
    }
    RunTick(*heart, 400, events);  // f + 9: the impulse leaves
    EXPECT_EQ(a.propagating, 1);
    EXPECT_EQ(b.trigger, 1);
    EXPECT_FALSE(IsFiring(events[1]));
    RunTick(*heart, 400, events);  // f + 10: the neighbour fires
    EXPECT_EQ(events[1], 11);
    EXPECT_EQ(b.usualSource, 1);
}

struct LateExcitationCase {
    int k;                   // the excitation is handled in tick f + k
    CellState stateBefore;   // what it finds
    bool fires;
};

TEST(CellStep, RefractoryWindowsOfOneFiring) {
    const LateExcitationCase cases[] = {
        {1, CellState::Depolarization, false},
        {10, CellState::Depolarization, false},  // the counter reaches 0 in this tick
        {11, CellState::Depolarized, false},
        {64, CellState::Depolarized, false},
        {65, CellState::RelativeRefractory, true},
        {83, CellState::RelativeRefractory, true},
        {84, CellState::Polarized, true},
    };
    for (const auto& c : cases) {
        auto heart = MakeHeart(1);
        CCell& cell = heart->cells[0];
        MakeRoundTimings(cell);
        cell.escapeCounter = 1;
        RunTick(*heart);  // fires in tick f
        for (int i = 1; i < c.k; ++i) RunTick(*heart);
        EXPECT_EQ(cell.State(), c.stateBefore) << "f+" << c.k;
        cell.trigger = cell.usualSource;
        CellEvent e;
        RunTick(*heart, 400, &e);
        EXPECT_EQ(IsFiring(e), c.fires) << "f+" << c.k;
        EXPECT_EQ(cell.trigger, 0) << "a lost excitation is cleared, f+" << c.k;
    }
}

TEST(CellStep, ActiveWindowRunsOutNinetyTicksAfterTheFiring) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    MakeRoundTimings(cell);
    cell.escapeCounter = 1;
    RunTick(*heart);
    for (int k = 1; k < 90; ++k) RunTick(*heart);
    EXPECT_EQ(cell.activeWindow, 1);
    RunTick(*heart);  // f + 90
    EXPECT_EQ(cell.activeWindow, 0);
}

TEST(CellStep, OwnEscapeOfOneSecondFiresEvery200Ticks) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.SetEscape(1000, 1000);
    cell.escapeCounter = 200;
    std::vector<int> firings;
    for (int tick = 1; tick <= 1000; ++tick) {
        CellEvent e;
        RunTick(*heart, 400, &e);
        if (IsFiring(e)) {
            firings.push_back(tick);
            EXPECT_GT(e, 0) << "the own escape is always anterograde";
        }
    }
    EXPECT_EQ(firings, (std::vector<int>{200, 400, 600, 800, 1000}));
}

TEST(CellStep, EscapeInsideTheRefractoryPeriodIsPostponedNotLost) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.SetEscape(100, 100);    // 20 ticks
    cell.SetArp(300, 300);       // 60 ticks
    cell.SetAntCond(200, 200);   // 40 ticks: arpCounter = 60 + 41 / 2 = 80
    cell.escapeCounter = 1;
    RunTick(*heart);  // fires in tick f
    ASSERT_EQ(cell.arpCounter, 79);
    for (int k = 1; k < 20; ++k) RunTick(*heart);
    CellEvent e;
    RunTick(*heart, 400, &e);  // f + 20: the escape falls in the refractory period
    EXPECT_EQ(e, 0);
    // arpCounter 60 at that moment: 60 + 20 - 60 - 1 = 19 ticks later.
    EXPECT_EQ(cell.escapeCounter, 19);
    int firedAt = -1;
    for (int k = 21; k <= 200 && firedAt < 0; ++k) {
        RunTick(*heart, 400, &e);
        if (IsFiring(e)) firedAt = k;
    }
    EXPECT_EQ(firedAt, 80);  // the tick after the refractory count ran out (f + 79)
}

TEST(CellStep, RelativeRefractoryFiringConductsDecrementally) {
    auto heart = MakeHeart(3);
    CCell& cell = heart->cells[0];
    MakeRoundTimings(cell);
    cell.coefCondRrp = 500;
    cell.coefArpRrp = 80;
    cell.usualSource = 1;
    cell.usualSourceUnset = 0;
    cell.rrpCounter = 10;  // half-way through the relative refractory period
    cell.trigger = 3;      // from cell 2: retrograde
    const CellEvent e = StepCell(*heart, 0, 400);
    // 10 + 400 * 10 * 3 / 20 / 100 = 16 ticks of conduction, + 1.
    EXPECT_EQ(e, -17);
    EXPECT_EQ(cell.conductCounter, 16);
    // (100 - 20 * 10 / 20) * 60 / 100 = 54, + 17 / 2, decreased once.
    EXPECT_EQ(cell.arpCounter, 61);
    EXPECT_EQ(cell.qrsPhase, -12);
    EXPECT_EQ(cell.lastAnterograde, 0);
}

TEST(CellStep, ParoxysmalBlockWindowPassesOnlyImpulsesInsideIt) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.SetEscape(400, 400);  // fires every 80 ticks
    cell.windowB = cell.windowH = 500;  // window of 100 ticks
    cell.escapeCounter = 1;
    std::vector<int> left;
    for (int tick = 1; tick <= 300; ++tick) {
        RunTick(*heart);
        if (cell.propagating) left.push_back(tick);
    }
    // The first impulse finds no window running; the next ones arrive within it.
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0], 82);
    cell.SetEscape(1000, 1000);  // now slower than the window
    left.clear();
    for (int tick = 0; tick < 1000; ++tick) {
        RunTick(*heart);
        if (cell.propagating) left.push_back(tick);
    }
    // The first slow impulse still leaves inside the window opened by the last fast one, later
    // impulses arrive after their window ran out and are blocked.
    EXPECT_EQ(left.size(), 1u);
}

TEST(CellStep, FatigueAndLongEscapeHoldTheTrigger) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.fatigue = 120;
    cell.activeWindow = 5;
    cell.trigger = 1;
    CellEvent e = StepCell(*heart, 0, 400);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(cell.trigger, 1) << "held, not lost";
    EXPECT_EQ(cell.fatigue, 60) << "halved while the window runs with the cell repolarised";
    e = StepCell(*heart, 0, 400);
    EXPECT_TRUE(IsFiring(e));

    cell.escapeCounter = 4000;
    cell.fatigue = 0;
    cell.trigger = 1;
    cell.arpCounter = cell.rrpCounter = cell.conductCounter = 0;
    e = StepCell(*heart, 0, 400);
    EXPECT_EQ(e, 0);
    EXPECT_EQ(cell.trigger, 1);
}

struct IschaemiaCase {
    int32_t flux, diastolicPercent;
    bool necrosis;
};

TEST(CellStep, IschaemiaStrikesLeadToNecrosisOnlyAtLowFlow) {
    const IschaemiaCase cases[] = {
        {5, 100, true},
        {16, 40, true},
        {20, 20, false},  // the load saturates but flow above 16 never strikes
    };
    for (const auto& c : cases) {
        auto heart = MakeHeart(1);
        heart->ischemiaOn = 1;
        heart->diastolicPercent = c.diastolicPercent;
        CCell& cell = heart->cells[0];
        cell.SetEscape(500, 500);
        cell.amplitude = 50;
        cell.flux = c.flux;
        cell.escapeCounter = 1;
        int firings = 0;
        for (int tick = 0; tick < 200 * 100 && !cell.IsInert(); ++tick) {
            CellEvent e;
            RunTick(*heart, 400, &e);
            if (IsFiring(e)) ++firings;
            ASSERT_LE(cell.ischemiaLoad, 10000);
        }
        EXPECT_EQ(cell.IsInert(), c.necrosis) << "flux " << c.flux;
        if (c.necrosis) {
            EXPECT_EQ(cell.ischemiaLoad, 0);
            EXPECT_EQ(cell.ischemiaStrikes, 21);
            EXPECT_EQ(cell.escapeB, kInertEscape);
        } else {
            EXPECT_EQ(cell.ischemiaStrikes, 0);
            EXPECT_EQ(cell.stOffset, 100);  // (10000 - 5000) / 50
        }
    }
}

TEST(CellStep, IschaemiaBelowSaturationRemovesAStrike) {
    auto heart = MakeHeart(1);
    heart->ischemiaOn = 1;
    CCell& cell = heart->cells[0];
    cell.amplitude = 50;
    cell.flux = 5;
    cell.ischemiaLoad = 6000;
    cell.ischemiaStrikes = 3;
    cell.trigger = kOwnEscape;
    ASSERT_TRUE(IsFiring(StepCell(*heart, 0, 400)));
    EXPECT_EQ(cell.ischemiaLoad, 6380);  // 6000 - 120 - 500 + 1000
    EXPECT_EQ(cell.ischemiaStrikes, 2);
    EXPECT_EQ(cell.stOffset, 27);
}

TEST(CellStep, RestitutionFollowsThePrecedingCycle) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.SetEscape(1000, 1000);  // 200 ticks
    cell.SetArp(150, 150);
    cell.arpSlope = 20;
    cell.escapeCounter = 60;  // 59 after this tick's count: u = 141
    cell.trigger = kOwnEscape;
    ASSERT_TRUE(IsFiring(StepCell(*heart, 0, 400)));
    // target = 101 * 20 / 100 + 30 = 50; smoothed from 0: 50 / 8 + 1 = 7.
    EXPECT_EQ(cell.arpSmoothed, 7);
    EXPECT_EQ(cell.arpCounter, 7 + 3 / 2 - 1);

    // Cycles of 40 ticks or less settle at arpH / 5, never below, never negative.
    cell.arpSmoothed = -40;
    for (int i = 0; i < 60; ++i) {
        cell.arpCounter = cell.rrpCounter = cell.conductCounter = 0;
        cell.escapeCounter = 190;
        cell.trigger = kOwnEscape;
        ASSERT_TRUE(IsFiring(StepCell(*heart, 0, 400)));
        EXPECT_GE(cell.arpCounter, 0);
    }
    EXPECT_EQ(cell.arpSmoothed, 30);
}

TEST(CellStep, StimulusFromCellZeroFiresRetrogradelyWhenUsualSourceDiffers) {
    auto heart = MakeHeart(2);
    CCell& cell = heart->cells[1];
    MakeRoundTimings(cell);
    cell.usualSource = kOwnEscape;
    cell.usualSourceUnset = 0;
    Stimulate(cell, true);
    EXPECT_EQ(cell.trigger, 1);
    EXPECT_EQ(StepCell(*heart, 1, 400), -11);
    EXPECT_EQ(cell.qrsPhase, -12);

    // The stimulator spares a refractory cell; the pacemaker does not.
    cell.trigger = 0;
    Stimulate(cell, true);
    EXPECT_EQ(cell.trigger, 0);
    Stimulate(cell, false);
    EXPECT_EQ(cell.trigger, 1);
}

struct ShortConductionCase {
    const char* what;
    int32_t condMs;
    int32_t coefCondRrp;
    int32_t rrpCounter;
    bool anterograde;
    CellEvent expected;
};

TEST(CellStep, ConductionOfLessThanOneTickNeverPropagates) {
    const ShortConductionCase cases[] = {
        {"anterograde below 5 ms", 4, 500, 0, true, 1},
        {"retrograde below 5 ms", 4, 500, 0, false, -1},
        {"anterograde driven to zero", 5, 10, 20, true, 1},
        {"retrograde driven below zero", 5, 10, 20, false, -1},
    };
    for (const auto& c : cases) {
        auto heart = MakeHeart(3);
        Link(*heart, 0, 1);
        CCell& cell = heart->cells[0];
        cell.SetAntCond(c.condMs, c.condMs);
        cell.SetRetCond(c.condMs, c.condMs);
        cell.SetRrp(100, 100);
        cell.coefCondRrp = c.coefCondRrp;
        cell.usualSource = c.anterograde ? 3 : kOwnEscape;
        cell.usualSourceUnset = c.anterograde ? 1 : 0;
        cell.rrpCounter = c.rrpCounter;
        cell.trigger = 3;
        CellEvent e = StepCell(*heart, 0, 400);
        EXPECT_EQ(e, c.expected) << c.what;
        EXPECT_GE(cell.conductCounter, 0) << c.what;
        EXPECT_GE(cell.arpCounter, 10) << c.what;
        for (int tick = 0; tick < 100; ++tick) {
            RunTick(*heart);
            EXPECT_EQ(cell.propagating, 0) << c.what;
        }
        EXPECT_EQ(heart->cells[1].usualSourceUnset, 1) << c.what << ": the neighbour never fired";
    }
}

struct LinkCase {
    LinkType type;
    bool aPropagating, bPropagating;
    int32_t level;
    int32_t expectedTriggerOfB, expectedTriggerOfA;
};

TEST(LinkPropagation, DirectionsAndRobustnessGate) {
    // robustA 80 and robustR 70 by default.
    const LinkCase cases[] = {
        {LinkType::Bidir, true, false, 50, 1, 0},
        {LinkType::Bidir, false, true, 50, 0, 2},
        {LinkType::BlocRetro, true, true, 50, 1, 0},   // only A to B
        {LinkType::BlocAntero, true, true, 50, 0, 2},  // only B to A
        {LinkType::BlocComplet, true, true, 50, 0, 0},
        {LinkType::Bidir, true, true, 75, 1, 0},   // 70 is no longer above the level
        {LinkType::Bidir, true, true, 80, 0, 0},
    };
    for (const auto& c : cases) {
        auto heart = MakeHeart(2);
        Link(*heart, 0, 1, c.type);
        heart->robustnessLevel = c.level;
        heart->cells[0].propagating = c.aPropagating;
        heart->cells[1].propagating = c.bPropagating;
        PropagateLinks(*heart);
        EXPECT_EQ(heart->cells[1].trigger, c.expectedTriggerOfB) << int(c.type) << " " << c.level;
        EXPECT_EQ(heart->cells[0].trigger, c.expectedTriggerOfA) << int(c.type) << " " << c.level;
    }
}

TEST(LinkPropagation, LastWriterInLinkOrderDecidesTheSource) {
    auto heart = MakeHeart(3);
    Link(*heart, 0, 2);
    Link(*heart, 1, 2);
    heart->cells[0].propagating = 1;
    heart->cells[1].propagating = 1;
    PropagateLinks(*heart);
    EXPECT_EQ(heart->cells[2].trigger, 2);  // from cell 1, the later link
}

TEST(LinkPropagation, FreeOrientationSwapsOnTheFirstConductionFromB) {
    auto heart = MakeHeart(2);
    Link(*heart, 0, 1);
    CellLink& link = heart->links[0];
    link.orientationFree = 1;
    link.sideA = 2;
    link.sideB = 8;
    heart->cells[1].propagating = 1;
    PropagateLinks(*heart);
    EXPECT_EQ(heart->cells[0].trigger, 2);
    EXPECT_EQ(link.cellA, 1);
    EXPECT_EQ(link.cellB, 0);
    EXPECT_EQ(link.sideA, 8);
    EXPECT_EQ(link.sideB, 2);
    EXPECT_EQ(link.orientationFree, 0);

    // A conduction from A first fixes the orientation as written.
    auto other = MakeHeart(2);
    Link(*other, 0, 1);
    other->links[0].orientationFree = 1;
    other->cells[0].propagating = 1;
    PropagateLinks(*other);
    EXPECT_EQ(other->links[0].orientationFree, 0);
    EXPECT_EQ(other->links[0].cellA, 0);
}

TEST(LinkPropagation, LinksToCellsThatAreNotLoadedConductNothing) {
    auto heart = MakeHeart(2);
    Link(*heart, 0, 1);
    heart->links[0].cellB = 7;  // beyond cellCount
    heart->cells[0].propagating = 1;
    PropagateLinks(*heart);
    EXPECT_EQ(heart->cells[1].trigger, 0);
}

TEST(CellStep, InertCellReportsOnceAndFreezes) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.activeWindow = 5;
    cell.conductCounter = 4;
    cell.arpCounter = 3;
    cell.rrpCounter = 2;
    cell.escapeCounter = 7;
    cell.SetEscape(kInertEscape, 1000);  // "Ablation"
    cell.trigger = kOwnEscape;
    EXPECT_EQ(StepCell(*heart, 0, 400), 1);
    EXPECT_EQ(cell.activeWindow, 0);
    EXPECT_EQ(cell.conductCounter, 0);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(StepCell(*heart, 0, 400), 0);
        EXPECT_EQ(cell.propagating, 0);
    }
    EXPECT_EQ(cell.arpCounter, 3);
    EXPECT_EQ(cell.rrpCounter, 2);
    EXPECT_EQ(cell.escapeCounter, 7);
    EXPECT_EQ(cell.trigger, kOwnEscape);  // never acted on
}

TEST(CellStep, DipoleFromTheSourceDirectionOrTheRadialVector) {
    auto heart = MakeHeart(3);
    CCell& source = heart->cells[0];
    CCell& cell = heart->cells[1];
    source.pos3dX = 0;
    cell.pos3dX = 100;
    cell.amplitude = 20;
    cell.trigger = 1;  // from cell 0
    ASSERT_TRUE(IsFiring(StepCell(*heart, 1, 400)));
    EXPECT_EQ(cell.dipoleX, 20 * 100 / 70);
    EXPECT_EQ(cell.dipoleY, 0);

    // Two cells at the same place: no direction, no division by zero.
    CCell& twin = heart->cells[2];
    twin.amplitude = -25;
    twin.trigger = 1;
    ASSERT_TRUE(IsFiring(StepCell(*heart, 2, 400)));
    EXPECT_EQ(twin.dipoleX, 0);
    EXPECT_EQ(twin.dipoleZ, 0);

    // A large cell excited from its usual source uses its radial vector.
    auto sinus = MakeHeart(1);
    CCell& s = sinus->cells[0];
    s.amplitude = 50;
    s.radialX = 0.5f;
    s.radialY = -0.25f;
    s.escapeCounter = 1;
    ASSERT_TRUE(IsFiring(StepCell(*sinus, 0, 400)));
    EXPECT_EQ(s.dipoleX, 25);
    EXPECT_EQ(s.dipoleY, -12);
}

TEST(CellStep, TWaveMovesTowardItsSetting) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.SetEscape(400, 400);
    cell.tWave = 3;
    cell.escapeCounter = 1;
    std::vector<int32_t> smoothed;
    for (int tick = 0; tick < 400; ++tick) {
        CellEvent e;
        RunTick(*heart, 400, &e);
        if (IsFiring(e)) smoothed.push_back(cell.tSmoothed);
    }
    EXPECT_EQ(smoothed, (std::vector<int32_t>{1, 2, 3, 3, 3}));
    cell.tWave = -1;
    cell.tSmoothed = 1;
    cell.trigger = kOwnEscape;
    cell.arpCounter = cell.rrpCounter = cell.conductCounter = 0;
    ASSERT_TRUE(IsFiring(StepCell(*heart, 0, 400)));
    EXPECT_EQ(cell.tSmoothed, -1);  // 1 + (-2) / 8 - 1 = 0, and 0 becomes -1 for a negative T
}

TEST(CellStep, PrematureBeatRunSchedulesItsCouplingsThenEnds) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    MakeRoundTimings(cell);
    cell.SetEscape(2000, 2000);
    cell.ectopicFirst = {1, 300};    // fixed: 60 ticks after the refractory count
    cell.ectopicNext = {400, 200};   // 400 ms at tone 0, 200 ms at tone 1000
    cell.ectopicCount = 2;
    cell.trigger = kOwnEscape;
    ASSERT_TRUE(IsFiring(StepCell(*heart, 0, 0)));
    EXPECT_EQ(cell.escapeCounter, 300 / 5 + cell.arpCounter + 1);
    EXPECT_EQ(cell.ectopicCount, 1);
    cell.trigger = kOwnEscape;
    cell.arpCounter = cell.rrpCounter = cell.conductCounter = 0;
    ASSERT_TRUE(IsFiring(StepCell(*heart, 0, 0)));
    EXPECT_EQ(cell.escapeCounter, 80);  // couplingTicks at tone 0
    EXPECT_EQ(cell.ectopicFirst.min, 0) << "the run is over";
}

TEST(CellStep, ActivationTimeMapRestartsAtTheReferenceCell) {
    auto heart = MakeHeart(2);
    heart->pictureMode = 3;
    heart->activationClock = 480;
    heart->cells[0].isochroneRef = 1;
    heart->cells[0].trigger = kOwnEscape;
    ASSERT_TRUE(IsFiring(StepCell(*heart, 0, 400)));
    EXPECT_EQ(heart->activationClock, 0);
    EXPECT_EQ(heart->cells[0].activationTime, 0);
    heart->activationClock = 75;
    heart->cells[1].trigger = 1;
    ASSERT_TRUE(IsFiring(StepCell(*heart, 1, 400)));
    EXPECT_EQ(heart->cells[1].activationTime, 75);
    EXPECT_EQ(heart->cells[1].isoRed, 127);
    EXPECT_EQ(heart->cells[1].isoGreen, 255);
}

TEST(ActivationColour, TableOfRanges) {
    struct Case {
        int32_t v, r, g, b;
    };
    const Case cases[] = {
        {0, 255, 0, 0},     {25, 255, 127, 0}, {50, 255, 255, 0},  {75, 127, 255, 0},
        {100, 0, 255, 0},   {125, 0, 127, 127}, {150, 0, 0, 255},  {175, 0, 0, 191},
        {199, 0, 0, 130},   {200, 0, 0, 128},  {5000, 0, 0, 128},
    };
    for (const auto& c : cases) {
        const IsoColour colour = ActivationColour(c.v);
        EXPECT_EQ(colour.red, c.r) << c.v;
        EXPECT_EQ(colour.green, c.g) << c.v;
        EXPECT_EQ(colour.blue, c.b) << c.v;
    }
}

// The tick's step of a held cell (the quiet and counting steps in the tick's own copy, every
// other step on the record) must be the full step, field for field: two copies of a heart with every kind of cell
// (pacemakers, followers with running escapes, a paroxysmal window, an inert cell with a running
// counter, fatigue) run side by side, one on its records, one held by the tick.
TEST(CellStep, TheHeldCellStepTakesTheSameStepsAsTheFullStep) {
    auto full = std::make_unique<CCoeur>();
    BuildDemoHeart(*full, 6, 8, 120);
    full->cells[7].SetEscape(900, 600);  // a second pacemaker, competing with the sinus
    full->cells[12].escapeCounter = 150;  // a follower whose own escape runs
    full->cells[12].SetEscape(1500, 1200);
    full->cells[20].windowB = 300;        // a paroxysmal window
    full->cells[20].windowH = 200;
    full->cells[30].SetEscape(kInertEscape, kInertEscape);
    full->cells[30].escapeCounter = 40;   // inert with its counter still below 2000
    full->cells[33].fatigueStep = 60;
    full->cells[40].SetAntCond(80, 60);  // an impulse that takes many ticks to cross
    auto fast = std::make_unique<CCoeur>();
    static_cast<HeartState&>(*fast) = *full;  // the whole record but its lock
    auto tickCells = std::make_unique<TickCells>();
    tickCells->Take(*fast);
    uint8_t leaving[kMaxCells];

    const auto same = [&tickCells](const CCell& a, int32_t i) {
        const TickCells& c = *tickCells;
        return a.escapeCounter == c.state[i].escapeCounter && a.trigger == c.state[i].trigger &&
               a.fatigue == c.state[i].fatigue && a.activeWindow == c.state[i].activeWindow &&
               a.arpCounter == c.state[i].arpCounter && a.rrpCounter == c.state[i].rrpCounter &&
               a.windowCounter == c.state[i].windowCounter && a.conductCounter == c.state[i].conductCounter &&
               a.qrsPhase == c.state[i].qrsPhase && a.propagating == c.state[i].propagating;
    };
    for (int tick = 0; tick < 3000; ++tick) {
        const int32_t tone = tick < 1500 ? 300 : 900;
        ++tickCells->now;
        for (int32_t i = 0; i < full->cellCount; ++i) {
            ASSERT_EQ(StepCell(*full, i, tone), StepHeldCell(*fast, *tickCells, i, tone))
                << "tick " << tick << " cell " << i;
            ASSERT_TRUE(same(full->cells[i], i)) << "tick " << tick << " cell " << i;
            leaving[i] = tickCells->state[i].propagating != 0;
        }
        PropagateLinks(*full);
        for (int32_t k = 0; k < fast->linkCount; ++k)
            ConductOverLink(
                *fast, k, [&](int32_t c) { return leaving[c] != 0; },
                [&](int32_t c, int32_t source) { tickCells->state[c].trigger = source; });
    }
    // Released, the records carry the counters the tick held.
    tickCells->Release(*fast);
    for (int32_t i = 0; i < full->cellCount; ++i) {
        const CCell& a = full->cells[i];
        const CCell& b = fast->cells[i];
        EXPECT_TRUE(a.escapeCounter == b.escapeCounter && a.trigger == b.trigger &&
                    a.fatigue == b.fatigue && a.activeWindow == b.activeWindow &&
                    a.arpCounter == b.arpCounter && a.rrpCounter == b.rrpCounter &&
                    a.windowCounter == b.windowCounter && a.conductCounter == b.conductCounter &&
                    a.qrsPhase == b.qrsPhase && a.propagating == b.propagating)
            << "cell " << i;
    }
}

}  // namespace
}  // namespace vantrel
