#include "engine/rhythm_measurement.h"

#include <gtest/gtest.h>

#include "../engine/heart_fixture.h"
#include "engine/program_wide.h"
#include "tests/engine/reference_tick.h"

namespace vantrel {
namespace {

using testing::MakeHeart;

TEST(RateQuery, SilentRateCellFallsAsTwelveThousandOverTicksWithoutRemembering) {
    auto heart = MakeHeart(1);
    Program().rates.rateCell = 75;
    heart->diastolicPercent = 42;
    heart->rateCount = 1;
    heart->rateTicks = 1500;
    EXPECT_EQ(RateCellHeartRate(*heart), 8);
    EXPECT_EQ(heart->diastolicPercent, 42);
    heart->rateTicks = 1000;  // not more than 5 s: the remembered rate
    EXPECT_EQ(RateCellHeartRate(*heart), 75);
}

TEST(RateQuery, MeanCycleGivesRateAndDiastolicShare) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.SetArp(300, 300);  // 60 ticks, plus 10: A = 70
    heart->rateCount = 3;
    heart->rateSum = 600;  // mean 200 ticks = 1 s
    EXPECT_EQ(RateCellHeartRate(*heart), 60);
    EXPECT_EQ(heart->diastolicPercent, (1000 - 350) * 100 / 1000);
    EXPECT_EQ(heart->rateCount, 0) << "the next firing restarts the sum";
    EXPECT_EQ(RateCellHeartRate(*heart), 60) << "remembered";
}

TEST(RateQuery, CellFiveHasItsOwnCounters) {
    auto heart = MakeHeart(6);
    heart->cell5Count = 2;
    heart->cell5Sum = 300;
    EXPECT_EQ(Cell5HeartRate(*heart), 80);
    heart->cell5Ticks = 2400;
    EXPECT_EQ(Cell5HeartRate(*heart), 5);
    EXPECT_EQ(Program().rates.cell5, 80);
}

TEST(RateCounters, FiringsSumTheTicksBetweenThem) {
    auto heart = MakeHeart(6);
    heart->rateCellIndex = 2;
    heart->rateCount = 0;
    for (int firing = 0; firing < 3; ++firing) {
        for (int t = 0; t < 100; ++t) CountRateTicks(*heart);
        CountRateFiring(*heart, 2);
    }
    EXPECT_EQ(heart->rateCount, 3);
    EXPECT_EQ(heart->rateSum, 300);
    EXPECT_EQ(heart->rateTicks, 0);
    EXPECT_EQ(heart->cell5Ticks, 300) << "cell 5 did not fire";
}

// Closing a complex from given onsets, as the end-of-complex step sees them.
struct Onsets {
    int prStart, qrsStart, tEnd, intervalClock;
};

void CloseWith(CCoeur& heart, Onsets o) {
    heart.prStart = o.prStart;
    heart.qrsStart = o.qrsStart;
    heart.tEnd = o.tEnd;
    heart.intervalClock = o.intervalClock;
    heart.measureCountdown = 1;
    ASSERT_TRUE(CloseComplex(heart));
}

TEST(CloseComplex, TakesPrQtRrAndResetsTheOnsets) {
    struct Case {
        const char* name;
        Onsets onsets;
        int expectedPr, expectedQt;
    };
    const Case cases[] = {
        {"ordinary", {100, 260, 640, 800}, 160, 380},
        {"PR of 400 ms is not taken", {100, 500, 900, 1000}, 77, 400},
        {"PR of 395 ms is", {100, 495, 900, 1000}, 395, 405},
        {"QRS before P gives PR 0", {300, 200, 100, 800}, 0, 0},
    };
    for (const Case& c : cases) {
        auto heart = MakeHeart(1);
        heart->prInterval = 77;
        CloseWith(*heart, c.onsets);
        EXPECT_EQ(heart->prInterval, c.expectedPr) << c.name;
        EXPECT_EQ(heart->qtInterval, c.expectedQt) << c.name;
        EXPECT_EQ(heart->rrInterval, c.onsets.intervalClock) << c.name;
        EXPECT_EQ(heart->intervalClock + heart->prStart + heart->qrsStart + heart->tEnd, 0);
    }
}

TEST(CloseComplex, WaitsForTheCountdownToRunOut) {
    auto heart = MakeHeart(1);
    heart->measureCountdown = 3;
    EXPECT_FALSE(CloseComplex(*heart));
    EXPECT_FALSE(CloseComplex(*heart));
    EXPECT_TRUE(CloseComplex(*heart));
    EXPECT_FALSE(CloseComplex(*heart)) << "nothing to close until the ventricles conduct again";
}

TEST(IntervalTable, RecordsOnlyWhileAskedAndWithinThirtySecondsOfTheSinus) {
    auto heart = MakeHeart(1);
    heart->sinusClock = 29995;
    CloseWith(*heart, {100, 260, 640, 800});
    EXPECT_EQ(heart->intervalIndex, 0) << "not recording";
    heart->recordIntervals = 1;
    CloseWith(*heart, {100, 260, 640, 800});
    EXPECT_EQ(heart->intervalIndex, 1);
    EXPECT_EQ(heart->intervalTable[0].rr, 800);
    EXPECT_EQ(heart->intervalTable[0].pr, 160);
    EXPECT_EQ(heart->intervalTable[0].qt, 380);
    heart->sinusClock = 30000;
    CloseWith(*heart, {100, 260, 640, 700});
    EXPECT_EQ(heart->intervalIndex, 1) << "the sinus has been silent for 30 s";
    EXPECT_EQ(heart->rrInterval, 700) << "but the complex is still measured";
}

TEST(IntervalTable, WrapsAfterItsLastEntryAndLeavesTheReferenceAlone) {
    auto heart = MakeHeart(1);
    heart->recordIntervals = 1;
    heart->intervalIndex = kIntervalTableSize - 1;
    heart->referenceTable[0] = {1, 2, 3};
    CloseWith(*heart, {100, 260, 640, 810});
    CloseWith(*heart, {100, 260, 640, 820});
    EXPECT_EQ(heart->intervalTable[kIntervalTableSize - 1].rr, 810);
    EXPECT_EQ(heart->intervalTable[0].rr, 820);
    EXPECT_EQ(heart->intervalIndex, 1);
    EXPECT_EQ(heart->referenceTable[0].rr, 1);
}

TEST(Onsets, AtrialAndVentricularFiringsSetPAndQrsOnsets) {
    auto heart = MakeHeart(10);
    heart->lastAtrialIndex = 3;
    heart->firstVentricularIndex = 6;
    heart->sinusClockCell = 0;
    heart->rrInterval = 800;
    heart->intervalClock = 380;  // above 800 / 2 - 30
    heart->sinusClock = 555;
    NoteIntervalFiring(*heart, 0, {500, 0});
    EXPECT_EQ(heart->sinusClock, 0);
    EXPECT_EQ(heart->prStart, 0) << "the sinus cell itself is no P onset";
    NoteIntervalFiring(*heart, 2, {100, 0});
    EXPECT_EQ(heart->prStart, 0) << "too little atrial activity";
    NoteIntervalFiring(*heart, 2, {101, 0});
    EXPECT_EQ(heart->prStart, 380);
    heart->intervalClock = 540;
    heart->cells[7].activeWindow = 70;
    NoteIntervalFiring(*heart, 7, {0, 200});
    EXPECT_EQ(heart->qrsStart, 540);
    EXPECT_EQ(heart->tEndCandidate, 540 + 5 * 64);
    EstimateEndOfRepolarisation(*heart, {0, 500});
    EXPECT_EQ(heart->tEnd, 0) << "taken only while SV is above 500";
    EstimateEndOfRepolarisation(*heart, {0, 501});
    EXPECT_EQ(heart->tEnd, 860);
}

TEST(Activity, VentricularConductionRestartsTheCountdown) {
    auto heart = MakeHeart(4);
    heart->lastAtrialIndex = 2;
    heart->firstVentricularIndex = 2;
    for (int i = 0; i < 4; ++i) {
        heart->cells[i].amplitude = -50;
        heart->cells[i].activeWindow = 1;
    }
    heart->cells[3].conductCounter = 2;
    ActivitySums sums;
    for (int i = 0; i < 4; ++i) testing::AddActivity(*heart, i, sums);
    EXPECT_EQ(sums.atrial, 100) << "cells below lastAtrialIndex only";
    EXPECT_EQ(sums.ventricular, 50);
    EXPECT_EQ(heart->measureCountdown, 6);
}

}  // namespace
}  // namespace vantrel
