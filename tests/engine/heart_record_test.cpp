#include "engine/heart_record.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/cell_automaton.h"
#include "tests/engine/heart_fixture.h"

namespace vantrel {
namespace {

TEST(HeartRecord, FindCellIsExactAndReturnsFirstMatch) {
    auto heart = testing::MakeHeart(3);
    heart->cells[1].SetName("His");
    heart->cells[2].SetName("His");
    EXPECT_EQ(heart->FindCell("His"), 1);
    EXPECT_EQ(heart->FindCell("his"), -1);
    EXPECT_EQ(heart->FindCell("Hi"), -1);
    EXPECT_EQ(heart->FindCell(nullptr), -1);
}

TEST(HeartRecord, NamesAreCutToTenCharacters) {
    CCell cell;
    EXPECT_STREQ(cell.name, "N.U.");
    cell.SetName("ABCDEFGHIJKLMN");
    EXPECT_STREQ(cell.name, "ABCDEFGHIJ");
}

struct TonePairCase {
    int32_t b, h, tone, expectedTicks;
};

TEST(HeartRecord, TonePairInterpolatesAndTruncates) {
    const TonePairCase cases[] = {
        {2003, 1000, 0, 400},    // 2003 / 5 truncates to 400
        {2003, 1000, 1000, 200},
        {2003, 1000, 500, 300},  // 1000 + 1003 * 500 / 1000 = 1501 -> 300 ticks
        {700, 700, 0, 140},      // equal values give the same ticks at every tone
        {700, 700, 333, 140},
        {700, 700, 1000, 140},
        {300, 600, 250, 75},     // B below H: 600 - 300 * 750 / 1000 = 375 ms
        {300, 600, 999, 120},    // -300 * 1 / 1000 truncates toward zero: 600 ms
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MsToTicks(Interp(c.b, c.h, c.tone)), c.expectedTicks)
            << c.b << "/" << c.h << " at tone " << c.tone;
    }
}

TEST(HeartRecord, SettersMarkDirtyAndRrpIsAtLeastOne) {
    CCell cell;
    cell.dirty = 0;
    cell.SetRrp(0, -20);
    EXPECT_EQ(cell.rrpB, 1);
    EXPECT_EQ(cell.rrpH, 1);
    EXPECT_EQ(cell.dirty, 1);
    cell.dirty = 0;
    cell.SetEscape(900, 500);
    EXPECT_EQ(cell.dirty, 1);
}

TEST(HeartRecord, ResetToModelRestoresPairsAndLowersEscapeCounter) {
    CCell cell;
    cell.SetEscape(1000, 600);
    cell.SetArp(250, 200);
    cell.tWave = 30;
    cell.qrsShape[0] = 5;
    cell.StoreAsModel();
    cell.SetEscape(3000, 3000);
    cell.SetArp(400, 400);
    cell.tWave = -10;
    cell.qrsShape[0] = 99;
    cell.escapeCounter = 500;  // longer than the model's 1000 ms
    cell.ResetToModel();
    EXPECT_EQ(cell.escapeB, 1000);
    EXPECT_EQ(cell.escapeH, 600);
    EXPECT_EQ(cell.arpB, 250);
    EXPECT_EQ(cell.escapeCounter, 200);
    EXPECT_EQ(cell.tWave, 30);
    EXPECT_EQ(cell.qrsShape[0], 5);
    cell.escapeCounter = 50;  // shorter: kept
    cell.ResetToModel();
    EXPECT_EQ(cell.escapeCounter, 50);
}

TEST(HeartRecord, ResetAllCellsRestoresLinkGateAndRestoreLinksTheTypes) {
    auto heart = testing::MakeHeart(2);
    testing::Link(*heart, 0, 1, LinkType::BlocRetro);
    heart->links[0].linkType = LinkType::BlocComplet;
    heart->robustnessLevel = 90;
    heart->ResetAllCells();
    EXPECT_EQ(heart->robustnessLevel, 50);
    heart->RestoreLinks();
    EXPECT_EQ(heart->links[0].linkType, LinkType::BlocRetro);
}

TEST(HeartRecord, LinkTypeCyclesBackAfterFourClicks) {
    for (LinkType start : {LinkType::Bidir, LinkType::BlocAntero, LinkType::BlocRetro,
                           LinkType::BlocComplet}) {
        LinkType t = start;
        for (int i = 0; i < 4; ++i) t = NextLinkType(t);
        EXPECT_EQ(t, start);
    }
    EXPECT_EQ(NextLinkType(LinkType::BlocComplet), LinkType::Bidir);
}

TEST(HeartRecord, MarkElectrodesGivesIntracardiacMarksPrecedence) {
    auto heart = testing::MakeHeart(100);
    heart->icCell[0] = 10;
    heart->icCell[1] = 40;
    heart->icCell[2] = 60;
    heart->icCell[3] = 80;
    heart->pmAtrialCell = 10;       // shares the cell of I.C.1
    heart->pmVentricularCell = 50;
    heart->pmVentricular2Cell = -1;  // absent
    heart->MarkElectrodes();
    EXPECT_EQ(heart->cells[10].electrodeMark, 1);
    EXPECT_EQ(heart->cells[40].electrodeMark, 2);
    EXPECT_EQ(heart->cells[80].electrodeMark, 4);
    EXPECT_EQ(heart->cells[50].electrodeMark, 11);
    EXPECT_EQ(heart->cells[0].electrodeMark, 0);
    // Marks from an earlier placement are cleared.
    heart->pmVentricularCell = 51;
    heart->MarkElectrodes();
    EXPECT_EQ(heart->cells[50].electrodeMark, 0);
    EXPECT_EQ(heart->cells[51].electrodeMark, 11);
}

class RecordingNotifier : public SilentNotifier {
public:
    struct Message {
        int32_t id, wParam, lParam;
    };
    std::vector<Message> posted;
    void Post(int32_t id, int32_t w, int32_t l) override { posted.push_back({id, w, l}); }
};

TEST(HeartRecord, SetToneClampsAndNotifiesWhenAsked) {
    auto heart = testing::MakeHeart(1);
    RecordingNotifier notifier;
    heart->notifier = &notifier;
    heart->SetTone(1200, true);
    EXPECT_EQ(heart->tone, 1000);
    heart->SetTone(-5, false);
    EXPECT_EQ(heart->tone, 0);
    ASSERT_EQ(notifier.posted.size(), 1u);
    EXPECT_EQ(notifier.posted[0].id, kMsgTone);
    EXPECT_EQ(notifier.posted[0].wParam, 1000);
}

TEST(HeartRecord, ClearEmptiesTheRecordButKeepsItsNotifier) {
    auto heart = testing::MakeHeart(5);
    RecordingNotifier notifier;
    heart->notifier = &notifier;
    heart->tickCount = 77;
    heart->pmAtrialCell = 3;
    heart->precordial[2][0][0] = 4;
    heart->Clear();
    EXPECT_EQ(heart->cellCount, 0);
    EXPECT_EQ(heart->tickCount, 0);
    EXPECT_EQ(heart->pmAtrialCell, -1);
    EXPECT_EQ(heart->pmPeriod, 171);
    EXPECT_EQ(heart->precordial[2][0][0], -1);
    EXPECT_EQ(heart->icCell[1], 40);
    EXPECT_EQ(heart->notifier, &notifier);
}

TEST(HeartRecord, NeighbourListNeverOverflows) {
    CCell cell;
    for (int i = 0; i < kMaxNeighbours + 10; ++i) cell.AddNeighbour(i);
    EXPECT_EQ(cell.neighbourCount, kMaxNeighbours);
    EXPECT_EQ(cell.neighbours[kMaxNeighbours - 1], kMaxNeighbours - 1);
}

TEST(HeartRecord, CellStateFollowsTheCountersInOrder) {
    CCell cell;
    EXPECT_EQ(cell.State(), CellState::Polarized);
    cell.rrpCounter = 3;
    EXPECT_EQ(cell.State(), CellState::RelativeRefractory);
    cell.arpCounter = 3;
    EXPECT_EQ(cell.State(), CellState::Depolarized);
    cell.conductCounter = 3;
    EXPECT_EQ(cell.State(), CellState::Depolarization);
    cell.escapeB = kInertEscape;
    EXPECT_EQ(cell.State(), CellState::Inert);
    EXPECT_STREQ(CellStateWord(CellState::RelativeRefractory), "Rel.Refr.period");
}

}  // namespace
}  // namespace vantrel
