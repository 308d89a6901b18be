#include "engine/cardioversion.h"

#include <gtest/gtest.h>

#include "intervention_fixture.h"

namespace vantrel::testing {
namespace {

// A ring of 20 cells conducting one way only (each link A to B), with no cell escaping: one
// excitation circles for ever, a re-entrant tachycardia.
std::unique_ptr<CCoeur> ReentrantRing() {
    constexpr int kCells = 20;
    auto heart = MakeHeart(kCells);
    for (int i = 0; i < kCells; ++i) Link(*heart, i, (i + 1) % kCells, LinkType::BlocRetro);
    heart->cells[0].trigger = kOwnEscape;
    return heart;
}

int FiringsOfCell(CCoeur& heart, int32_t cell, int ticks) {
    return static_cast<int>(RunTicks(heart, ticks, {cell}).firings[0].size());
}

TEST(Shock, StopsALoopTachycardia) {
    auto heart = ReentrantRing();
    ASSERT_GE(FiringsOfCell(*heart, 7, 2000), 20);  // still circling after 10 s
    Shock(*heart);
    EXPECT_EQ(heart->shockArtifact, kShockArtifact);
    for (int32_t i = 0; i < heart->cellCount; ++i) {
        const CCell& c = heart->cells[i];
        EXPECT_EQ(c.arpCounter | c.conductCounter | c.trigger | c.propagating | c.qrsPhase, 0);
    }
    std::vector<int32_t> all;
    for (int32_t i = 0; i < heart->cellCount; ++i) all.push_back(i);
    const Recording after = RunTicks(*heart, 2000, all);
    for (int32_t i = 0; i < heart->cellCount; ++i)
        EXPECT_TRUE(after.firings[i].empty()) << "cell " << i;
}

TEST(Shock, TheRhythmResumesFromTheFirstCellToEscape) {
    auto heart = ReentrantRing();
    RunTicks(*heart, 1000);
    Shock(*heart);
    // No cell escapes in the ring; give one an escape due in 50 ticks.
    heart->cells[12].escapeCounter = 50;
    const Recording r = RunTicks(*heart, 60, {12, 13});
    ASSERT_EQ(r.firings[0].size(), 1u);
    EXPECT_EQ(r.firings[0][0], heart->tickCount - 10);
    ASSERT_EQ(r.firings[1].size(), 1u);
    EXPECT_GT(r.firings[1][0], r.firings[0][0]);
}

TEST(Shock, LeavesWhatItDoesNotResetAlone) {
    auto heart = MakeHeart(1);
    CCell& c = heart->cells[0];
    c.rrpCounter = 7;
    c.escapeCounter = 33;
    c.activeWindow = 12;
    c.fatigue = 40;
    c.usualSource = 3;
    c.usualSourceUnset = 0;
    Shock(*heart);
    EXPECT_EQ(c.rrpCounter, 7);
    EXPECT_EQ(c.escapeCounter, 33);
    EXPECT_EQ(c.activeWindow, 12);
    EXPECT_EQ(c.fatigue, 40);
    EXPECT_EQ(c.usualSource, 3);
    EXPECT_EQ(c.usualSourceUnset, 0);
}

TEST(Shock, ASecondShockRestartsTheArtefact) {
    auto heart = ReentrantRing();
    std::vector<int32_t> artefact;
    const auto keep = [&](const TickRecord&) { artefact.push_back(heart->shockArtifact); };
    Shock(*heart);
    RunTicks(*heart, 30, {}, keep);
    ASSERT_GT(artefact.back(), 0);
    ASSERT_LT(artefact.back(), 100);
    Shock(*heart);
    EXPECT_EQ(heart->shockArtifact, 300);
    artefact.clear();
    RunTicks(*heart, 70, {}, keep);
    // A twentieth plus one per tick: 64 ticks from 300 to 0.
    EXPECT_GT(artefact[62], 0);
    EXPECT_EQ(artefact[63], 0);
}

TEST(AtrialRemodeling, ForgetsTheUsualSourceOfAtrialCellsOnly) {
    struct Case {
        const char* name;
        int32_t remodelled;
    };
    const Case cases[] = {{"RA1", 1}, {"LA", 1},    {"IA12", 1}, {"PV1", 0}, {"RV1", 0},
                          {"Sinus", 0}, {"ra1", 0}, {"R", 0},    {"XRA", 0}};
    auto heart = MakeHeart(static_cast<int>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        heart->cells[i].SetName(cases[i].name);
        heart->cells[i].usualSourceUnset = 0;
    }
    RemodelAtria(*heart);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(heart->cells[i].usualSourceUnset, cases[i].remodelled) << cases[i].name;
}

TEST(AtrialRemodeling, TheNextExcitationBecomesTheUsualOne) {
    // Cells 0 and 2 both excite atrial cell 1; 0 is its usual source.
    auto heart = MakeHeart(3);
    heart->cells[1].SetName("RA1");
    Link(*heart, 0, 1, LinkType::BlocRetro);
    Link(*heart, 2, 1, LinkType::BlocRetro);
    heart->cells[0].trigger = kOwnEscape;
    RunTicks(*heart, 100);
    ASSERT_EQ(heart->cells[1].lastAnterograde, 1);
    RemodelAtria(*heart);
    EXPECT_EQ(heart->cells[1].usualSource, 1);  // unchanged until the cell fires again
    heart->cells[2].trigger = kOwnEscape;
    RunTicks(*heart, 100);
    EXPECT_EQ(heart->cells[1].usualSource, 3);
    EXPECT_EQ(heart->cells[1].lastAnterograde, 1);
    heart->cells[0].trigger = kOwnEscape;  // the old source is now retrograde
    RunTicks(*heart, 100);
    EXPECT_EQ(heart->cells[1].lastAnterograde, 0);
}

}  // namespace
}  // namespace vantrel::testing
