// "Advanced Functions" on the cells: the areas in their order, the name prefix and "All", the
// percentage taken from the values before any such change (so applying twice changes nothing
// more), the parasympathetic and sympathetic sides, the 5 ms floor, and the change forced over a
// definitive drug change and kept by washouts.
#include <gtest/gtest.h>

#include "model/therapy/cell_changes.h"
#include "model/therapy/regional_change.h"
#include "therapy_fixture.h"

namespace vantrel {
namespace {

AdvancedFunctionValues OnlyLeftVentricleEscape(int32_t coefficient) {
    AdvancedFunctionValues values;
    values.coefficient = coefficient;
    values.function = 3;
    values.rightAtrium = values.leftAtrium = values.avNode = values.rightVentricle = 0;
    values.leftVentricle = 1;
    return values;
}

TEST(AdvancedPatternsTest, AreasInTheirOrderOrTheNameText) {
    AdvancedFunctionValues values;  // the dialog's first values: every area but the A-V node
    EXPECT_EQ(AdvancedPatterns(values), (std::vector<std::string>{"LA", "RA", "LV", "RV"}));
    values.avNode = 1;
    values.leftAtrium = 0;
    EXPECT_EQ(AdvancedPatterns(values), (std::vector<std::string>{"RA", "LV", "RV", "AV"}));
    values.byName = 1;
    values.nameText = "His";
    EXPECT_EQ(AdvancedPatterns(values), (std::vector<std::string>{"His"}));
}

TEST(RegionalChangesTest, HalvingTheLeftVentricleTwiceGivesTheSameValues) {
    auto heart = testing::MakeTherapyHeart();
    RegionalChanges changes;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(changes.Apply(*heart, OnlyLeftVentricleEscape(50)), 2) << round;
        for (int i : {5, 6}) {
            const CCell& cell = heart->cells[i];
            EXPECT_EQ(cell.escapeB, 500) << round;
            EXPECT_EQ(cell.escapeH, 300) << round;
            EXPECT_EQ(cell.modelEscapeB, 500) << "a model value: washouts keep it";
            EXPECT_EQ(cell.definitiveMask & static_cast<uint32_t>(ChangeKind::Escape), static_cast<uint32_t>(ChangeKind::Escape));
        }
        EXPECT_EQ(heart->cells[4].escapeB, 1000) << "His is not in the left ventricle";
    }
    Washout(*heart);
    EXPECT_EQ(heart->cells[5].escapeB, 500);
    // 100 % gives the model's own values back.
    changes.Apply(*heart, OnlyLeftVentricleEscape(100));
    EXPECT_EQ(heart->cells[5].escapeB, 1000);
    EXPECT_EQ(heart->cells[5].escapeH, 600);
}

TEST(RegionalChangesTest, AllChangesEveryCellNotBelowOneTick) {
    auto heart = testing::MakeTherapyHeart();
    AdvancedFunctionValues values;
    values.byName = 1;
    values.nameText = "All";
    values.coefficient = 50;
    values.function = 0;
    EXPECT_EQ(RegionalChanges().Apply(*heart, values), heart->cellCount);
    EXPECT_EQ(heart->cells[0].antCondB, 5) << "4 ms halved stays at 5 ms";
    for (int i = 1; i < heart->cellCount; ++i) {
        EXPECT_EQ(heart->cells[i].antCondB, 30) << i;
        EXPECT_EQ(heart->cells[i].antCondH, 20) << i;
    }
}

TEST(RegionalChangesTest, OnlyTheTickedSideChangesAndADefinitiveDrugChangeIsOverruled) {
    auto heart = testing::MakeTherapyHeart();
    ChangeCells(*heart, "AVN", 200, 200, ChangeKind::Arp, true);  // a definitive drug change
    ASSERT_EQ(heart->cells[2].arpB, 500);
    AdvancedFunctionValues values;
    values.byName = 1;
    values.nameText = "AVN";
    values.function = 2;
    values.coefficient = 80;
    values.parasympathetic = 0;  // the tone-0 value keeps its model value
    EXPECT_EQ(RegionalChanges().Apply(*heart, values), 2);
    EXPECT_EQ(heart->cells[2].arpB, 500);
    EXPECT_EQ(heart->cells[2].arpH, 320) << "80 % of the model value the drug left";
}

TEST(RegionalChangesTest, ACellDialogChangeBecomesTheNewStartingPointAndANewModelForgetsTheOld) {
    auto heart = testing::MakeTherapyHeart();
    RegionalChanges changes;
    changes.Apply(*heart, OnlyLeftVentricleEscape(50));
    heart->cells[5].SetEscape(2000, 1200);  // the cell dialog writes current and model values
    heart->cells[5].StoreAsModel();
    changes.Apply(*heart, OnlyLeftVentricleEscape(50));
    EXPECT_EQ(heart->cells[5].escapeB, 1000);
    EXPECT_EQ(heart->cells[6].escapeB, 500);

    auto reloaded = testing::MakeTherapyHeart();
    reloaded->cells[6].SetEscape(500, 300);  // by chance what the last change wrote
    reloaded->cells[6].StoreAsModel();
    changes.Forget();
    changes.Apply(*reloaded, OnlyLeftVentricleEscape(50));
    EXPECT_EQ(reloaded->cells[6].escapeB, 250);
}

TEST(RegionalChangesTest, AnEmptyNameOrAnUnknownFunctionChangesNothing) {
    auto heart = testing::MakeTherapyHeart();
    AdvancedFunctionValues values;
    values.byName = 1;
    EXPECT_EQ(RegionalChanges().Apply(*heart, values), 0);
    values.byName = 0;
    values.function = 4;
    EXPECT_EQ(RegionalChanges().Apply(*heart, values), 0);
}

}  // namespace
}  // namespace vantrel
