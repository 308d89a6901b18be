// Drugs and sequences applied to a running model through the control panel's calls: the cell
// changes, definitive changes, links, tone, durations, washout, baseline and the start sequence.
#include <gtest/gtest.h>

#include <vector>

#include "engine/program_wide.h"
#include "model/therapy/cell_changes.h"
#include "model/therapy/therapy_actions.h"
#include "model/therapy/therapy_panel.h"
#include "therapy_fixture.h"

namespace vantrel {
namespace {

struct Posted {
    int32_t message, wParam, lParam;
};

class RecordingNotifier : public EngineNotifier {
public:
    void Post(int32_t message, int32_t wParam, int32_t lParam) override {
        posted.push_back({message, wParam, lParam});
    }
    void ShowMessage(const std::string&, const std::string&) override {}
    void EndProgram() override {}
    std::vector<Posted> posted;
};

enum Cell { kSinus, kRA1, kAVN1, kAVN2, kHis, kLV1, kLV2 };
enum Drug { kWashoutEntry, kBetablocker, kClassIC, kFloor, kUnfinished };
enum Sequence { kBaselineEntry, kAvBlock, kLastingBlock, kIschaemia, kUnlinked };

class TherapyPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        heart = testing::MakeTherapyHeart();
        heart->notifier = &notifier;
        heart->drugText = testing::kDrugText;
        heart->sequenceText = testing::kSequenceText;
        panel.FillLists(*heart);
    }
    void GetDrug(int entry) {
        ASSERT_TRUE(panel.DrugSelected(*heart, entry));
        panel.GetDrug(*heart);
    }
    void DoSequence(int entry) {
        ASSERT_TRUE(panel.SequenceSelected(*heart, entry));
        panel.DoSequence(*heart);
    }
    CCell& cell(int i) { return heart->cells[i]; }

    std::unique_ptr<CCoeur> heart;
    RecordingNotifier notifier;
    TherapyPanel panel;
};

TEST_F(TherapyPanelTest, ListsStartWithTheirTranslatedFirstEntries) {
    EXPECT_EQ(panel.DrugList(), (std::vector<std::string>{"No drug / WashOut", "Betablocker",
                                                          "Class IC", "Floor", "Unfinished"}));
    EXPECT_EQ(panel.SequenceList(),
              (std::vector<std::string>{"Actions: Baseline", "AV block", "Lasting block",
                                        "Ischaemia", "Unlinked"}));
    Program().translation = {"Language\r\nIDS_WASHOUT\tPas de médicament\r\nIDS_BASELINE\tBase\r\n", true};
    panel.FillLists(*heart);
    Program().translation = TranslationTable{};
    EXPECT_EQ(panel.DrugList()[0], "Pas de médicament");
    EXPECT_EQ(panel.SequenceList()[0], "Base");
    EXPECT_EQ(panel.SelectedDrug(), 0);
}

TEST_F(TherapyPanelTest, DrugPercentagesApplyToModelValuesSoApplyingTwiceGivesTheSame) {
    for (int time = 0; time < 2; ++time) {
        GetDrug(kBetablocker);
        for (int avn : {kAVN1, kAVN2}) {
            EXPECT_EQ(cell(avn).antCondB, 90);  // 150 % of 60
            EXPECT_EQ(cell(avn).antCondH, 80);  // 200 % of 40
            EXPECT_EQ(cell(avn).modelAntCondB, 60) << "drug changes are never definitive";
        }
        EXPECT_EQ(cell(kSinus).escapeB, 1300);  // a missing second value repeats the first
        EXPECT_EQ(cell(kSinus).escapeH, 780);
        EXPECT_EQ(cell(kRA1).antCondB, 60) << "RA1 does not begin with AV";
    }
    EXPECT_EQ(panel.SelectedDrug(), kBetablocker);
}

TEST_F(TherapyPanelTest, APercentageBelowFiveMillisecondsGivesFive) {
    GetDrug(kFloor);
    EXPECT_EQ(cell(kLV1).antCondB, 6);  // 10 % of 60
    EXPECT_EQ(cell(kLV1).antCondH, 5);  // 10 % of 40 = 4
    EXPECT_EQ(cell(kSinus).antCondB, 5);  // 10 % of 4 = 0
    EXPECT_EQ(cell(kLV1).tWave, 40);
    EXPECT_EQ(cell(kLV1).tSmoothed, 100);
    const int8_t qrs[8] = {1, 2, 3, 4, 5, 6, 7, 44};  // 300 cut to a signed byte
    EXPECT_TRUE(std::equal(qrs, qrs + 8, cell(kLV2).qrsShape));
    EXPECT_EQ(cell(kHis).tWave, 0);
}

TEST_F(TherapyPanelTest, ADrugLineWithCtaAndIcAppliesBoth) {
    GetDrug(kClassIC);
    EXPECT_EQ(cell(kLV1).antCondB, 72);
    EXPECT_EQ(cell(kLV2).antCondH, 52);
    EXPECT_EQ(heart->robustnessLevel, 30);
}

TEST_F(TherapyPanelTest, DrugDurationsGiveTheAutomaticEnd) {
    GetDrug(kBetablocker);
    EXPECT_EQ(heart->cellResetCountdown, 6000) << "30000 ms";
    GetDrug(kClassIC);
    EXPECT_EQ(heart->cellResetCountdown, 0) << "60000 ms: no automatic washout";
}

TEST_F(TherapyPanelTest, ANewDrugDoesNotInheritThePreviousDrugsCountdown) {
    GetDrug(kBetablocker);
    GetDrug(kFloor);  // no "DUR"
    EXPECT_EQ(heart->cellResetCountdown, 0);
}

TEST_F(TherapyPanelTest, GettingADrugWashesOutThePreviousOne) {
    GetDrug(kClassIC);
    GetDrug(kBetablocker);
    EXPECT_EQ(cell(kLV1).antCondB, 60);
    EXPECT_EQ(heart->robustnessLevel, 50);
}

TEST_F(TherapyPanelTest, TheWashoutEntryResetsEveryCellAndTheRobustness) {
    GetDrug(kClassIC);
    GetDrug(kFloor);
    cell(kHis).SetArp(999, 999);  // a cell-dialog edit is undone too
    EXPECT_FALSE(panel.DrugSelected(*heart, kWashoutEntry));
    for (int i = 0; i < heart->cellCount; ++i) {
        const CCell& c = cell(i);
        EXPECT_EQ(c.antCondB, c.modelAntCondB);
        EXPECT_EQ(c.arpB, c.modelArpB);
        EXPECT_EQ(c.tWave, c.modelTWave);
        EXPECT_TRUE(std::equal(c.qrsShape, c.qrsShape + 8, c.modelQrsShape));
    }
    EXPECT_EQ(heart->robustnessLevel, 50);
    EXPECT_EQ(panel.SelectedDrug(), 0);
}

TEST_F(TherapyPanelTest, ConfirmationShowsTheCommentBeforeAnythingChanges) {
    const auto comment = panel.DrugSelected(*heart, kBetablocker);
    ASSERT_TRUE(comment);
    EXPECT_EQ(*comment, "Betablocker\r\nSlows the sinus and the AV node.\r\n");
    EXPECT_EQ(cell(kAVN1).antCondB, 60);
    panel.DontGetDrug(*heart);
    EXPECT_EQ(cell(kAVN1).antCondB, 60);
    EXPECT_EQ(panel.SelectedDrug(), 0);
    panel.GetDrug(*heart);  // no confirmation open: nothing
    EXPECT_EQ(cell(kAVN1).antCondB, 60);

    const auto sequenceComment = panel.SequenceSelected(*heart, kAvBlock);
    ASSERT_TRUE(sequenceComment);
    EXPECT_EQ(*sequenceComment, "Block in the AV node.\r\nWatch the PR interval.");
    panel.DontDoSequence(*heart);
    EXPECT_EQ(cell(kAVN1).antCondB, 60);
    EXPECT_EQ(panel.SelectedSequence(), 0);
}

TEST_F(TherapyPanelTest, ADrugWithoutClosingQuoteChangesNothing) {
    GetDrug(kClassIC);
    EXPECT_FALSE(panel.DrugSelected(*heart, kUnfinished));
    EXPECT_EQ(panel.SelectedDrug(), kClassIC) << "the drug in force stays selected";
    EXPECT_EQ(cell(kLV1).antCondB, 72);
    EXPECT_FALSE(panel.DrugSelected(*heart, 99));
    EXPECT_FALSE(panel.SequenceSelected(*heart, -1));
}

TEST_F(TherapyPanelTest, SequenceWithoutDefinitiveIsUndoneByTheBaseline) {
    DoSequence(kAvBlock);
    EXPECT_EQ(cell(kAVN1).antCondB, 180);
    EXPECT_EQ(heart->links[2].linkType, LinkType::BlocComplet) << "AVN2 AVN1 in reverse order";
    EXPECT_EQ(heart->links[2].modelLinkType, LinkType::Bidir);
    EXPECT_EQ(heart->linkResetCountdown, 12000) << "a sequence accepts 60000 ms";
    EXPECT_EQ(heart->tone, 390) << "ramping toward 200";
    EXPECT_EQ(heart->toneTarget, 200);
    EXPECT_EQ(heart->toneRampCountdown, 200);
    EXPECT_TRUE(panel.SequenceChangedCells());

    GetDrug(kClassIC);
    EXPECT_FALSE(panel.SequenceSelected(*heart, kBaselineEntry));
    EXPECT_EQ(cell(kAVN1).antCondB, 60);
    EXPECT_EQ(cell(kLV1).antCondB, 60) << "the baseline washes the drug out too";
    EXPECT_EQ(panel.SelectedDrug(), 0);
    EXPECT_EQ(heart->links[2].linkType, LinkType::Bidir);
    EXPECT_EQ(heart->linkResetCountdown, 0);
    EXPECT_EQ(heart->tone, 400) << "within 10 of the model tone: there at once";
    EXPECT_EQ(heart->toneRampCountdown, 0);
    EXPECT_FALSE(panel.SequenceChangedCells());
}

TEST_F(TherapyPanelTest, BaselineWithoutCellChangesLeavesTheDrug) {
    GetDrug(kClassIC);
    DoSequence(kUnlinked);
    panel.SequenceBaseline(*heart);
    EXPECT_EQ(cell(kLV1).antCondB, 72);
    EXPECT_EQ(panel.SelectedDrug(), kClassIC);
}

TEST_F(TherapyPanelTest, DefinitiveChangesSurviveTheBaselineAndTheWashout) {
    DoSequence(kLastingBlock);
    EXPECT_EQ(cell(kAVN1).antCondB, 180);
    EXPECT_EQ(cell(kAVN1).modelAntCondB, 180);
    EXPECT_EQ(cell(kAVN1).definitiveMask, static_cast<uint32_t>(ChangeKind::AnteroCond));
    EXPECT_EQ(heart->links[1].modelLinkType, LinkType::BlocRetro);
    panel.SequenceBaseline(*heart);
    EXPECT_EQ(cell(kAVN1).antCondB, 180);
    EXPECT_EQ(heart->links[1].linkType, LinkType::BlocRetro);
    GetDrug(kBetablocker);  // percentages of the new model values
    EXPECT_EQ(cell(kAVN1).antCondB, 270);
    panel.DrugSelected(*heart, kWashoutEntry);
    EXPECT_EQ(cell(kAVN1).antCondB, 180);
    // A second definitive change of the same kind is not made.
    DoSequence(kLastingBlock);
    EXPECT_EQ(cell(kAVN1).antCondB, 180);
}

TEST_F(TherapyPanelTest, ASequenceLineWithFluxAndCtaAppliesOnlyTheFlow) {
    DoSequence(kIschaemia);
    EXPECT_EQ(cell(kLV1).flux, 10);
    EXPECT_EQ(cell(kLV2).flux, 10);
    EXPECT_EQ(heart->ischemiaOn, 1);
    EXPECT_EQ(cell(kLV1).antCondB, 60) << "only the first keyword of the line acts";
    EXPECT_EQ(cell(kLV2).amplitude, -20);
    EXPECT_EQ(heart->tone, 900) << "direct";
    EXPECT_EQ(heart->linkResetCountdown, 6000);
    ASSERT_FALSE(notifier.posted.empty());
    EXPECT_EQ(notifier.posted.back().message, kMsgTone);
    EXPECT_EQ(notifier.posted.back().wParam, 900);
}

TEST_F(TherapyPanelTest, LinkOnCellsThatAreNotLinkedChangesNothing) {
    DoSequence(kUnlinked);
    for (int i = 0; i < heart->linkCount; ++i) {
        EXPECT_EQ(heart->links[i].linkType, LinkType::Bidir);
        EXPECT_EQ(heart->links[i].modelLinkType, LinkType::Bidir);
    }
    EXPECT_FALSE(panel.SequenceChangedCells());
}

TEST_F(TherapyPanelTest, TheStartSequenceMakesItsChangesModelValues) {
    EXPECT_TRUE(panel.RunStartSequence(*heart));
    EXPECT_EQ(cell(kHis).retCondB, 120);
    EXPECT_EQ(cell(kHis).modelRetCondB, 120);
    EXPECT_EQ(heart->links[4].linkType, LinkType::BlocAntero) << "LV1 His: the link His LV1";
    EXPECT_EQ(heart->links[4].modelLinkType, LinkType::BlocAntero);
    panel.SequenceBaseline(*heart);
    panel.DrugSelected(*heart, kWashoutEntry);
    EXPECT_EQ(cell(kHis).retCondB, 120);
    EXPECT_EQ(heart->links[4].linkType, LinkType::BlocAntero);
    heart->sequenceText = "#Sequence: A\r\n\"c\"\r\nIC 3\r\n";
    EXPECT_FALSE(panel.RunStartSequence(*heart)) << "no start sequence in the text";
}

TEST_F(TherapyPanelTest, AutomaticEndsPutTheListsBack) {
    GetDrug(kBetablocker);
    DoSequence(kAvBlock);
    panel.DrugEnded();
    panel.SequenceEnded();
    EXPECT_EQ(panel.SelectedDrug(), 0);
    EXPECT_EQ(panel.SelectedSequence(), 0);
}

// Action lines that are missing a part: none of them changes anything or crashes.
TEST(TherapyActions, IncompleteActionsChangeNothing) {
    const char* const drugLines[] = {
        "CTA", "CTA ", "CTA AV", "CTA AV ;", "CTA ;150", "CTA Nobody 150", "IC", "IC 101",
        "IC -1", "SOT LV", "QRS LV 1 2 3 4 5 6 7", "QRS", "ESC=", "DU", "ctA AV 150",
    };
    for (const char* line : drugLines) {
        auto heart = testing::MakeTherapyHeart();
        RunDrugActions(*heart, line);
        const auto fresh = testing::MakeTherapyHeart();
        for (int i = 0; i < heart->cellCount; ++i) {
            EXPECT_EQ(heart->cells[i].antCondB, fresh->cells[i].antCondB) << line;
            EXPECT_EQ(heart->cells[i].escapeB, fresh->cells[i].escapeB) << line;
            EXPECT_EQ(heart->cells[i].tWave, 0) << line;
            EXPECT_EQ(heart->cells[i].qrsShape[7], 0) << line;
        }
        EXPECT_EQ(heart->robustnessLevel, 50) << line;
        EXPECT_EQ(heart->cellResetCountdown, 0) << line;
    }
    const char* const sequenceLines[] = {
        "Link=", "Link= LV1", "Link= LV1 His", "Link= LV1 His Sideways", "Link= Nobody His FullBlock",
        "SVBalance", "SVBalance 1001", "SVBalanceD -5", "DUR", "DUR 60001", "DUR -5", "Flux LV",
        "AmpV", "CTA All", "IC 200", "QRS All 1 2",
    };
    for (const char* line : sequenceLines) {
        auto heart = testing::MakeTherapyHeart();
        SequenceRun run;
        RunSequenceActions(*heart, line, run);
        EXPECT_FALSE(run.changedCells) << line;
        for (int i = 0; i < heart->linkCount; ++i) EXPECT_EQ(heart->links[i].linkType, LinkType::Bidir) << line;
        EXPECT_EQ(heart->tone, 400) << line;
        EXPECT_EQ(heart->linkResetCountdown, 0) << line;
        EXPECT_EQ(heart->cells[kLV1].flux, 100) << line;
        EXPECT_EQ(heart->cells[kLV1].amplitude, 10) << line;
        EXPECT_EQ(heart->robustnessLevel, 50) << line;
    }
}

TEST(TherapyActions, DrugDurationRule) {
    struct Case {
        const char* line;
        int32_t ticks;
    } const cases[] = {
        {"DUR 30000", 6000}, {"DUR 59999", 11999}, {"DUR 60000", 0}, {"DUR", 6553},  // missing: 32768
        {"DUR -100", 0},
    };
    for (const Case& c : cases) {
        auto heart = testing::MakeTherapyHeart();
        RunDrugActions(*heart, c.line);
        EXPECT_EQ(heart->cellResetCountdown, c.ticks) << c.line;
    }
}

TEST(TherapyActions, PatternAllAndPrefixes) {
    auto heart = testing::MakeTherapyHeart();
    CCell& cell = heart->cells[kLV1];
    EXPECT_TRUE(PatternMatches("All", cell));
    EXPECT_TRUE(PatternMatches("LV", cell));
    EXPECT_TRUE(PatternMatches("LV1", cell));
    EXPECT_FALSE(PatternMatches("LV10", cell));
    EXPECT_FALSE(PatternMatches("lv", cell));
    EXPECT_FALSE(PatternMatches("", cell));
}

TEST(TherapyActions, HugePercentagesDoNotOverflow) {
    auto heart = testing::MakeTherapyHeart();
    EXPECT_EQ(ChangeCells(*heart, "Sinus", 2000000000, -2000000000, ChangeKind::Escape, false), 1);
    EXPECT_EQ(heart->cells[kSinus].escapeB, 2147483647);
    EXPECT_EQ(heart->cells[kSinus].escapeH, 5);
}

}  // namespace
}  // namespace vantrel
