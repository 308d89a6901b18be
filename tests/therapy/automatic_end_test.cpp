// Drugs and sequences end by themselves: the global tick counts their durations down, washes the
// drug out or restores the links, and tells the view so that the lists go back to entry 0.
#include <gtest/gtest.h>

#include <vector>

#include "engine/ecg_display.h"
#include "engine/simulation_clock.h"
#include "model/therapy/therapy_panel.h"
#include "therapy_fixture.h"

namespace vantrel {
namespace {

class EndNotifier : public EngineNotifier {
public:
    void Post(int32_t message, int32_t wParam, int32_t lParam) override {
        if (message == kMsgDrugEnded || message == kMsgSequenceEnded) ends.push_back({message, wParam, lParam});
    }
    void ShowMessage(const std::string&, const std::string&) override {}
    void EndProgram() override {}
    std::vector<std::vector<int32_t>> ends;
};

class AutomaticEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        heart = testing::MakeTherapyHeart();
        heart->notifier = &notifier;
        heart->drugText = testing::kDrugText;
        heart->sequenceText = testing::kSequenceText;
        panel.FillLists(*heart);
        display = std::make_unique<EcgDisplay>();
        clock = std::make_unique<SimulationClock>(*heart, *display);
    }
    void RunTicks(int count) {
        std::lock_guard<std::mutex> guard(heart->lock);
        for (int i = 0; i < count; ++i) clock->Tick(true);
    }

    std::unique_ptr<CCoeur> heart;
    EndNotifier notifier;
    TherapyPanel panel;
    std::unique_ptr<EcgDisplay> display;
    std::unique_ptr<SimulationClock> clock;
};

TEST_F(AutomaticEndTest, TheDrugIsWashedOutAfterItsDuration) {
    ASSERT_TRUE(panel.DrugSelected(*heart, 1));  // Betablocker, "DUR 30000"
    panel.GetDrug(*heart);
    RunTicks(5999);
    EXPECT_EQ(heart->cells[2].antCondB, 90);
    EXPECT_TRUE(notifier.ends.empty());
    RunTicks(1);
    EXPECT_EQ(heart->cells[2].antCondB, 60);
    EXPECT_EQ(heart->cells[0].escapeB, 1000);
    EXPECT_EQ(heart->cellResetCountdown, 0);
    ASSERT_EQ(notifier.ends.size(), 1u);
    EXPECT_EQ(notifier.ends[0], (std::vector<int32_t>{kMsgDrugEnded, 0, 1}));
    panel.DrugEnded();  // what the view does on 1036
    EXPECT_EQ(panel.SelectedDrug(), 0);
}

TEST_F(AutomaticEndTest, ADrugOfSixtySecondsDoesNotEnd) {
    ASSERT_TRUE(panel.DrugSelected(*heart, 2));  // Class IC, "DUR 60000"
    panel.GetDrug(*heart);
    RunTicks(13000);
    EXPECT_EQ(heart->cells[5].antCondB, 72);
    EXPECT_TRUE(notifier.ends.empty());
}

TEST_F(AutomaticEndTest, TheSequencesLinksComeBackAfterItsDuration) {
    ASSERT_TRUE(panel.SequenceSelected(*heart, 1));  // AV block, "DUR 60000": 12000 ticks
    panel.DoSequence(*heart);
    RunTicks(11999);
    EXPECT_EQ(heart->links[2].linkType, LinkType::BlocComplet);
    RunTicks(1);
    EXPECT_EQ(heart->links[2].linkType, LinkType::Bidir);
    EXPECT_EQ(heart->cells[2].antCondB, 180) << "the automatic end restores links only";
    ASSERT_EQ(notifier.ends.size(), 1u);
    EXPECT_EQ(notifier.ends[0], (std::vector<int32_t>{kMsgSequenceEnded, 0, 1}));
}

}  // namespace
}  // namespace vantrel
