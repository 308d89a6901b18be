#include "engine/premature_beats.h"

#include <gtest/gtest.h>

#include "intervention_fixture.h"

namespace vantrel::testing {
namespace {

// Cells 0..3 are the four foci: isolated SV, bigeminy SV, isolated V, bigeminy V.
std::unique_ptr<CCoeur> HeartWithFoci() {
    auto heart = MakeHeart(4);
    heart->svpbCell = 0;
    heart->svpbBgTgCell = 1;
    heart->vpbCell = 2;
    heart->vpbBgTgCell = 3;
    return heart;
}

struct CommandCase {
    const char* label;
    PrematureBeatCommand command;
    int32_t cell;
    CouplingPair first, next;
    int32_t count, every;
};

TEST(PrematureBeatCommands, EachButtonProgramsItsFocusWithItsParameterSet) {
    const CommandCase cases[] = {
        {"SVPB", PrematureBeatCommand::Svpb, 0, {350, 400}, {350, 400}, 1, 0},
        {"VPB", PrematureBeatCommand::Vpb, 2, {300, 400}, {300, 400}, 1, 0},
        {"SVPBx", PrematureBeatCommand::SvpbRun, 0, {350, 400}, {450, 500}, 3, 0},
        {"VPBx", PrematureBeatCommand::VpbRun, 2, {300, 350}, {400, 450}, 5, 0},
        {"SV-Bigeminy on", PrematureBeatCommand::SvBigeminyOn, 1, {350, 400}, {350, 400}, 0, 1},
        {"V-Bigeminy on", PrematureBeatCommand::VBigeminyOn, 3, {350, 400}, {350, 400}, 0, 1},
        {"SV-Bigeminy off", PrematureBeatCommand::SvBigeminyOff, 1, {0, 0}, {0, 0}, 0, 1},
        {"V-Bigeminy off", PrematureBeatCommand::VBigeminyOff, 3, {0, 0}, {0, 0}, 0, 1},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.label);
        auto heart = HeartWithFoci();
        PressPrematureBeat(*heart, c.command);
        for (int32_t i = 0; i < 4; ++i) {
            const CCell& cell = heart->cells[i];
            if (i != c.cell) {
                EXPECT_EQ(cell.ectopicFirst.min, 0) << "cell " << i;
                continue;
            }
            EXPECT_EQ(cell.ectopicFirst.min, c.first.min);
            EXPECT_EQ(cell.ectopicFirst.max, c.first.max);
            EXPECT_EQ(cell.ectopicNext.min, c.next.min);
            EXPECT_EQ(cell.ectopicNext.max, c.next.max);
            EXPECT_EQ(cell.ectopicCount, c.count);
            EXPECT_EQ(cell.ectopicEvery, c.every);
            EXPECT_EQ(cell.ectopicSkip, 0);
        }
    }
}

TEST(PrematureBeatProgram, ARunWithoutCouplingUsesFixedCoupling) {
    auto heart = HeartWithFoci();
    Program(*heart, 0, {0, 300}, {0, 250}, 2, 0);
    EXPECT_EQ(heart->cells[0].ectopicFirst.min, 1);
    EXPECT_EQ(heart->cells[0].ectopicFirst.max, 300);
    EXPECT_EQ(heart->cells[0].ectopicNext.min, 1);
    EXPECT_EQ(heart->cells[0].ectopicNext.max, 250);
}

TEST(PrematureBeatProgram, AMissingFocusIsIgnored) {
    auto heart = MakeHeart(2);  // every focus at -1
    for (PrematureBeatCommand c :
         {PrematureBeatCommand::Svpb, PrematureBeatCommand::Vpb, PrematureBeatCommand::SvpbRun,
          PrematureBeatCommand::VpbRun, PrematureBeatCommand::SvBigeminyOn,
          PrematureBeatCommand::VBigeminyOff})
        PressPrematureBeat(*heart, c);
    heart->vpbCell = 7;  // a focus the model does not have
    PressPrematureBeat(*heart, PrematureBeatCommand::Vpb);
    EXPECT_EQ(heart->cells[0].ectopicFirst.min, 0);
    EXPECT_EQ(heart->cells[1].ectopicFirst.min, 0);
    EXPECT_EQ(heart->cells[7].ectopicFirst.min, 0);
}

// A focus that escapes every 1000 ms (200 ticks); its first firing is in tick 10.  At tone 400 a
// coupling of {350, 400} is 370 ms: 74 ticks.
class FocusInTime : public ::testing::Test {
protected:
    void SetUp() override {
        heart = HeartWithFoci();
        MakeEscaping(heart->cells[0], 1000, 10);
        MakeEscaping(heart->cells[1], 1000, 10);
    }
    std::vector<int32_t> Firings(int32_t cell, int ticks) {
        return RunTicks(*heart, ticks, {cell}).firings[0];
    }
    std::unique_ptr<CCoeur> heart;
};

TEST_F(FocusInTime, SvpbPressedTwiceGivesOnePrematureBeat) {
    PressPrematureBeat(*heart, PrematureBeatCommand::Svpb);
    PressPrematureBeat(*heart, PrematureBeatCommand::Svpb);
    EXPECT_EQ(Intervals(Firings(0, 800)), (std::vector<int32_t>{74, 200, 200, 200}));
}

TEST_F(FocusInTime, ARunHasItsCountOfPrematureBeats) {
    heart->svRunFirst = {350, 400};  // 74 ticks
    heart->svRunNext = {450, 500};   // 470 ms: 94 ticks
    heart->svRunCount = 3;
    PressPrematureBeat(*heart, PrematureBeatCommand::SvpbRun);
    EXPECT_EQ(Intervals(Firings(0, 900)), (std::vector<int32_t>{74, 94, 94, 200, 200, 200}));
}

TEST_F(FocusInTime, ARunCountOfZeroSchedulesOnceAndEnds) {
    heart->svRunCount = 0;
    PressPrematureBeat(*heart, PrematureBeatCommand::SvpbRun);
    EXPECT_EQ(Intervals(Firings(0, 800)), (std::vector<int32_t>{74, 200, 200, 200}));
    EXPECT_EQ(heart->cells[0].ectopicFirst.min, 0);
}

TEST_F(FocusInTime, BigeminyAlternatesUntilSwitchedOff) {
    PressPrematureBeat(*heart, PrematureBeatCommand::SvBigeminyOn);
    EXPECT_EQ(Intervals(Firings(1, 850)), (std::vector<int32_t>{74, 200, 74, 200, 74, 200}));
    PressPrematureBeat(*heart, PrematureBeatCommand::SvBigeminyOff);
    for (int32_t gap : Intervals(Firings(1, 1000))) EXPECT_EQ(gap, 200);
}

TEST_F(FocusInTime, TrigeminyPutsOnePrematureBeatInThree) {
    heart->svpbEvery = 3;
    PressPrematureBeat(*heart, PrematureBeatCommand::SvBigeminyOn);
    EXPECT_EQ(Intervals(Firings(1, 1100)), (std::vector<int32_t>{74, 200, 200, 74, 200, 200, 74}));
}

TEST_F(FocusInTime, BigeminyWithOccurrenceOneGivesTheIsolatedFocusOneBeat) {
    heart->svpbEvery = 1;
    PressPrematureBeat(*heart, PrematureBeatCommand::SvBigeminyOn);
    EXPECT_EQ(heart->cells[1].ectopicFirst.min, 0);  // the bigeminy focus is left alone
    EXPECT_EQ(Intervals(Firings(0, 800)), (std::vector<int32_t>{74, 200, 200, 200}));
}

}  // namespace
}  // namespace vantrel::testing
