#include "engine/ecg_synthesis.h"

#include <gtest/gtest.h>

#include "../engine/heart_fixture.h"

namespace vantrel {
namespace {

using testing::MakeHeart;

EcgSample Synthesised(CCoeur& heart) {
    EcgSample s;
    Synthesise(heart, s);
    return s;
}

// A cell placed outside its QRS with a recently-fired window, so that only repolarisation counts.
CCell& RepolarisingCell(CCoeur& heart) {
    CCell& c = heart.cells[0];
    c.activeWindow = 48;
    c.qrsPhase = 0;
    c.dipoleX = 800;  // X = 800 * v / 400 = 2 v
    return c;
}

TEST(EcgSynthesis, EmptyModelGivesZeroSurfaceLeadsAndUndefinedPrecordials) {
    auto heart = MakeHeart(0);
    heart->icCell[0] = heart->icCell[1] = heart->icCell[2] = heart->icCell[3] = -1;
    heart->precordial[0][0][0] = kStandardVectorTerm;  // V1 defined by its standard term
    heart->precordial[0][0][1] = 100;
    const EcgSample s = Synthesised(*heart);
    for (int b : {kEcgX, kEcgY, kEcgZ, kEcgOes, kEcgV1}) EXPECT_EQ(s.bytes[b], 0) << "byte " << b;
    for (int k = 1; k < 6; ++k) EXPECT_EQ(s.bytes[kEcgV1 + k], kNoPrecordialList);
    EXPECT_EQ(s.bytes[kEcgResp], 0);
    EXPECT_EQ(s.bytes[kEcgMarker], 0);
}

TEST(EcgSynthesis, UndefinedPrecordialListChangesNothingElse) {
    auto defined = MakeHeart(3);
    auto undefined = MakeHeart(3);
    for (CCoeur* h : {defined.get(), undefined.get()}) {
        h->cells[1].activeWindow = 30;
        h->cells[1].qrsPhase = 5;
        h->cells[1].dipoleX = 300;
        h->cells[1].dipoleZ = -200;
    }
    defined->precordial[2][0][0] = 1;  // V3 = cell 1's local signal
    defined->precordial[2][0][1] = 1000;
    const EcgSample a = Synthesised(*defined);
    const EcgSample b = Synthesised(*undefined);
    EXPECT_EQ(b.bytes[kEcgV1 + 2], kNoPrecordialList);
    EXPECT_NE(a.bytes[kEcgV1 + 2], kNoPrecordialList);
    for (int i = 0; i < kEcgSampleBytes; ++i)
        if (i != kEcgV1 + 2) {
            EXPECT_EQ(a.bytes[i], b.bytes[i]) << "byte " << i;
        }
}

TEST(EcgSynthesis, ShockArtefactSaturatesIgnoresCellsAndDecaysToZeroIn64Ticks) {
    auto heart = MakeHeart(2);
    heart->icCell[0] = 1;
    heart->cells[1].activeWindow = 30;
    heart->cells[1].qrsPhase = 8;  // would contribute 20 on I.C.1 without the shock
    heart->cells[1].dipoleZ = 400;
    heart->cellZ[1] = 77;
    heart->shockArtifact = 300;
    const EcgSample first = Synthesised(*heart);
    EXPECT_EQ(first.bytes[kEcgX], 127);
    EXPECT_EQ(first.bytes[kEcgY], 127);
    EXPECT_EQ(first.bytes[kEcgZ], -127);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(first.bytes[kEcgIc1 + n], 127);
    EXPECT_EQ(heart->cellZ[1], 77) << "local signals keep their values during the artefact";
    int ticks = 1;
    while (heart->shockArtifact > 0 && ticks < 1000) {
        Synthesised(*heart);
        ++ticks;
    }
    EXPECT_EQ(ticks, 64);
    EXPECT_EQ(heart->shockArtifact, 0);
    EXPECT_EQ(Synthesised(*heart).bytes[kEcgIc1], 20) << "the cells contribute again";
}

TEST(EcgSynthesis, NegativeShockArtefactDecaysTowardZero) {
    auto heart = MakeHeart(0);
    heart->shockArtifact = -300;
    for (int i = 0; i < 64; ++i) Synthesised(*heart);
    EXPECT_EQ(heart->shockArtifact, 0);
}

TEST(EcgSynthesis, StimulusAddsOneHundredOnceAndClearsTheFlag) {
    auto heart = MakeHeart(1);
    heart->markerFlag = 1;
    const EcgSample s = Synthesised(*heart);
    EXPECT_EQ(s.bytes[kEcgX], 100);
    EXPECT_EQ(s.bytes[kEcgY], 100);
    EXPECT_EQ(s.bytes[kEcgZ], -100);
    for (int n = 0; n < 4; ++n) EXPECT_EQ(s.bytes[kEcgIc1 + n], 100);
    EXPECT_EQ(heart->markerFlag, 0);
    EXPECT_EQ(heart->cellZ[0], 100) << "the local signal carries the stimulus too";
    const EcgSample next = Synthesised(*heart);
    EXPECT_EQ(next.bytes[kEcgX], 0);
    EXPECT_EQ(next.bytes[kEcgIc1], 0);
}

// An intracardiac electrode on a cell firing through the automaton: 20, -12, 8 anterogradely,
// -20, 12, -8 retrogradely, from the firing tick on.
TEST(EcgSynthesis, IntracardiacShapesOfAnterogradeAndRetrogradeFirings) {
    struct Case {
        const char* name;
        bool retrograde;
        int8_t expected[4];
    };
    const Case cases[] = {{"anterograde", false, {20, -12, 8, 0}},
                          {"retrograde", true, {-20, 12, -8, 0}}};
    for (const Case& c : cases) {
        auto heart = MakeHeart(1);
        heart->icCell[0] = 0;
        heart->icCell[1] = heart->icCell[2] = heart->icCell[3] = -1;
        CCell& cell = heart->cells[0];
        cell.amplitude = 1;  // keeps the far fields at 0
        if (c.retrograde) {
            cell.usualSource = 7;
            cell.usualSourceUnset = 0;
        }
        cell.trigger = 1;
        for (int tick = 0; tick < 4; ++tick) {
            StepCell(*heart, 0, 400);
            EXPECT_EQ(Synthesised(*heart).bytes[kEcgIc1], c.expected[tick])
                << c.name << " tick " << tick;
        }
    }
}

TEST(EcgSynthesis, LastAnterogradeQrsSampleRewritesStOffsetFromJLevel) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.activeWindow = 50;
    cell.qrsPhase = 1;  // last QRS sample
    cell.qrsShape[7] = 0;
    cell.jLevel = 16;
    cell.stOffset = 55;  // what ischaemia set at the firing
    cell.dipoleX = 400;
    const EcgSample s = Synthesised(*heart);
    EXPECT_EQ(cell.stOffset, -64);
    EXPECT_EQ(cell.jLevel, 13);             // 16 - (16 / 8 + 1)
    EXPECT_EQ(s.bytes[kEcgX], 13) << "the new J level is the sample's value";
}

TEST(EcgSynthesis, RepolarisationTermsOfTheTWaveAndTheInjuryOffset) {
    struct Case {
        int amplitude, tSmoothed, activeWindow, stOffset, tWaveOn;
        int expectedX;
    };
    const Case cases[] = {
        {30, 0, 48, 0, 1, 1},     // T[0] = 1, plain T shape: dipole * T / 2
        {30, 0, 10, 0, 1, 8},     // T[19] = 8
        {10, 0, 10, 0, 1, 0},     // a small cell without a T setting has no T wave
        {10, 100, 10, 0, 1, 8},   // dipole * T * tSmoothed / 200
        {30, 0, 10, 0, 0, 0},     // T wave off
        {30, 0, 60, 4, 1, -2},    // injury before the last 40 ticks: -s, s = 800 * 4 / 4
        {30, 0, 20, 4, 0, -1},    // then fading: -s * 20 / 40, also with the T wave off
    };
    for (const Case& c : cases) {
        auto heart = MakeHeart(1);
        CCell& cell = RepolarisingCell(*heart);
        cell.amplitude = c.amplitude;
        cell.tSmoothed = c.tSmoothed;
        cell.activeWindow = c.activeWindow;
        cell.stOffset = c.stOffset;
        heart->tWaveOn = c.tWaveOn;
        EXPECT_EQ(Synthesised(*heart).bytes[kEcgX], c.expectedX)
            << "amplitude " << c.amplitude << " tSmoothed " << c.tSmoothed << " window "
            << c.activeWindow << " st " << c.stOffset;
    }
}

TEST(EcgSynthesis, ClampsSurfaceBytesToTheirRanges) {
    auto heart = MakeHeart(1);
    CCell& cell = heart->cells[0];
    cell.activeWindow = 30;
    cell.qrsPhase = 5;  // qrsShape[3] = 40
    cell.dipoleX = -4000;
    cell.dipoleY = 4000;
    cell.dipoleZ = -4000;
    const EcgSample low = Synthesised(*heart);
    EXPECT_EQ(low.bytes[kEcgX], -126);
    EXPECT_EQ(low.bytes[kEcgY], 127);
    EXPECT_EQ(low.bytes[kEcgZ], 126) << "Z below -126 is written as 126";
    EXPECT_EQ(low.bytes[kEcgOes], -4) << "X - Z cancels; the atrial term 10 * 40 / -100 is left";
}

TEST(EcgSynthesis, PrecordialTermsFromCellSignalsAndTheStandardVector) {
    auto heart = MakeHeart(2);
    CCell& cell = heart->cells[1];
    cell.activeWindow = 30;
    cell.qrsPhase = 5;  // v = 40
    cell.dipoleX = 100;
    cell.dipoleY = 50;
    cell.dipoleZ = 250;  // cellZ = 10000
    heart->precordial[0][0][0] = 1;
    heart->precordial[0][0][1] = 5;  // 10000 * 5 / 1000 = 50
    heart->precordial[0][1][0] = kStandardVectorTerm;
    heart->precordial[0][1][1] = 50;
    heart->precordial[0][2][0] = -1;
    heart->precordial[0][3][0] = 0;  // after the end: not read
    heart->precordial[0][3][1] = 1000;
    const EcgSample s = Synthesised(*heart);
    EXPECT_EQ(heart->cellZ[1], 10000);
    const int v1 = StandardVectorTerm(0, s.bytes[kEcgX], s.bytes[kEcgY], s.bytes[kEcgZ]);
    EXPECT_EQ(s.bytes[kEcgV1], 50 + v1 * 50 / 100);
}

}  // namespace
}  // namespace vantrel
