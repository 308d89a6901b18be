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
        for (int i = 0; i < count; ++i) clock->TickAndSample(true);
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

// The automatic end belongs to the choice that set it: a drug, the washout or "Don't get it"
// washes the earlier drug out at once, so its countdown must not wash out what comes after it;
// the baseline restores the links at once, likewise.  A new choice with a duration sets its own.
TEST_F(AutomaticEndTest, ALaterChoiceCancelsTheEarlierCountdown) {
    struct Case {
        const char* name;
        void (*act)(TherapyPanel&, CCoeur&);
        int32_t drugCountdown;  // after the later choice
        int32_t sequenceCountdown;
    };
    const Case cases[] = {
        {"a drug without a duration",
         [](TherapyPanel& p, CCoeur& h) { p.DrugSelected(h, 3); p.GetDrug(h); }, 0, 11900},
        {"the same drug again",
         [](TherapyPanel& p, CCoeur& h) { p.DrugSelected(h, 1); p.GetDrug(h); }, 6000, 11900},
        {"the washout entry", [](TherapyPanel& p, CCoeur& h) { p.DrugSelected(h, 0); }, 0, 11900},
        {"a drug refused",
         [](TherapyPanel& p, CCoeur& h) { p.DrugSelected(h, 3); p.DontGetDrug(h); }, 0, 11900},
        // The sequence changed cells: its baseline washes the drug out too.
        {"the baseline", [](TherapyPanel& p, CCoeur& h) { p.SequenceSelected(h, 0); }, 0, 0},
        {"a sequence without a duration",
         [](TherapyPanel& p, CCoeur& h) { p.SequenceSelected(h, 4); p.DoSequence(h); }, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        notifier.ends.clear();
        ASSERT_TRUE(panel.DrugSelected(*heart, 1));  // "DUR 30000": 6000 ticks
        panel.GetDrug(*heart);
        ASSERT_TRUE(panel.SequenceSelected(*heart, 1));  // "DUR 60000": 12000 ticks
        panel.DoSequence(*heart);
        RunTicks(100);
        c.act(panel, *heart);
        EXPECT_EQ(heart->cellResetCountdown, c.drugCountdown);
        EXPECT_EQ(heart->linkResetCountdown, c.sequenceCountdown);
        const CCell third = heart->cells[5];  // LV1: what the later choice left
        RunTicks(6000);
        // Only a countdown that is still running ends, and only at its own time.
        EXPECT_EQ(notifier.ends.size(), c.drugCountdown > 0 ? 1u : 0u);
        if (c.drugCountdown == 0) {
            EXPECT_EQ(heart->cells[5].antCondB, third.antCondB);
        }
    }
}

// A tone set at once ends a running ramp, so the vagal manoeuvre holds; a ramp asked for later
// starts again.
TEST_F(AutomaticEndTest, AToneSetAtOnceEndsTheRampAndALaterRampStartsAgain) {
    heart->sequenceText = "#Sequence: Vagal manoeuvre\r\n\"Vagal manoeuvre\r\n\"\r\nSVBalanceD 0\r\n";
    panel.FillLists(*heart);
    heart->SetTone(800, false);  // the user's scroll bar, away from the model's 400
    ASSERT_TRUE(panel.SequenceSelected(*heart, 1));
    panel.DoSequence(*heart);  // the baseline starts a ramp toward 400, then "SVBalanceD 0"
    EXPECT_EQ(heart->tone, 0);
    EXPECT_EQ(heart->toneRampCountdown, 0);
    for (int second = 0; second < 60; ++second) {
        RunTicks(200);
        ASSERT_EQ(heart->tone, 0) << "after " << second + 1 << " s";
    }
    panel.SequenceSelected(*heart, 0);  // the baseline: a new ramp toward 400
    EXPECT_EQ(heart->tone, 10);
    RunTicks(200);
    EXPECT_EQ(heart->tone, 20);
    heart->SetTone(700, false);  // the user again: the ramp ends there
    RunTicks(2000);
    EXPECT_EQ(heart->tone, 700);
}

}  // namespace
}  // namespace vantrel
