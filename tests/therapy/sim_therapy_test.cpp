// The runner's drug and sequence actions and its --list output: the same panel calls as the
// desktop's lists, driven by a script.
#include <gtest/gtest.h>

#include "cli/loaded_model_json.h"
#include "cli/sim_actions.h"
#include "therapy_fixture.h"

namespace vantrel::testing {
namespace {

std::unique_ptr<CCoeur> HeartWithTexts() {
    auto heart = MakeTherapyHeart();
    heart->drugText = kDrugText;
    heart->sequenceText = kSequenceText;
    return heart;
}

// Parses and resolves one action; the error text when either fails.
std::string Prepared(const CCoeur& heart, const char* spec, SimAction& action) {
    std::string error;
    auto parsed = ParseSimAction(spec, error);
    if (!parsed) return error;
    action = *parsed;
    if (!ResolveSimActionNames(heart, action, error)) return error;
    return "";
}

TEST(SimTherapyActions, NamesResolveToTheirListEntries) {
    auto heart = HeartWithTexts();
    struct Case {
        const char* spec;
        SimActionKind kind;
        int32_t entry;
    };
    const Case cases[] = {
        {"1:drug=Betablocker", SimActionKind::Drug, 1},
        {"1:drug=Class IC", SimActionKind::Drug, 2},
        {"1:washout", SimActionKind::Washout, 0},
        {"1:sequence=AV block", SimActionKind::Sequence, 1},
        {"1:baseline", SimActionKind::Baseline, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        SimAction action;
        EXPECT_EQ(Prepared(*heart, c.spec, action), "");
        EXPECT_EQ(action.kind, c.kind);
        EXPECT_EQ(action.value, c.entry);
    }
}

TEST(SimTherapyActions, MistakesAreOneLineBeforeTheRun) {
    auto heart = HeartWithTexts();
    const std::pair<const char*, const char*> cases[] = {
        {"1:drug", "--do 1:drug: drug=NAME expected"},
        {"1:drug=", "--do 1:drug=: drug=NAME expected"},
        {"1:washout=now", "--do 1:washout=now: washout takes no value"},
        {"1:drug=Aspirin",
         "--do drug=Aspirin: the model has no drug \"Aspirin\" (vantrel-sim --list shows them)"},
        {"1:sequence=Betablocker",
         "--do sequence=Betablocker: the model has no sequence \"Betablocker\" (vantrel-sim "
         "--list shows them)"},
    };
    for (const auto& [spec, message] : cases) {
        SimAction action;
        EXPECT_EQ(Prepared(*heart, spec, action), message);
    }
}

TEST(SimTherapyActions, DrugThenWashoutActLikeTheList) {
    auto heart = HeartWithTexts();
    std::vector<SimAction> actions(2);
    ASSERT_EQ(Prepared(*heart, "0:drug=Betablocker", actions[0]), "");
    ASSERT_EQ(Prepared(*heart, "1:washout", actions[1]), "");
    SimActionSchedule schedule(std::move(actions));
    schedule.ApplyDue(*heart);  // tick 0: "Get it"
    EXPECT_EQ(heart->cells[2].antCondB, 90) << "CTA AV 150 on AVN1: 150 % of 60";
    EXPECT_GT(heart->cellResetCountdown, 0) << "DUR starts the automatic end";

    heart->tickCount = 200;
    schedule.ApplyDue(*heart);  // one second later: "No drug / WashOut"
    EXPECT_EQ(heart->cells[2].antCondB, 60);
}

TEST(SimTherapyActions, SequenceThenBaseline) {
    auto heart = HeartWithTexts();
    std::vector<SimAction> actions(2);
    ASSERT_EQ(Prepared(*heart, "0:sequence=AV block", actions[0]), "");
    ASSERT_EQ(Prepared(*heart, "1:baseline", actions[1]), "");
    SimActionSchedule schedule(std::move(actions));
    schedule.ApplyDue(*heart);
    EXPECT_EQ(heart->links[2].linkType, LinkType::BlocComplet) << "Link= AVN2 AVN1 FullBlock";
    heart->tickCount = 200;
    schedule.ApplyDue(*heart);
    EXPECT_EQ(heart->links[2].linkType, heart->links[2].modelLinkType);
}

TEST(SimTherapyActions, TheStartSequenceRunsOnceAtTheFirstRateSample) {
    auto heart = HeartWithTexts();
    heart->startSequencePending = 1;  // as the load leaves it
    SimActionSchedule schedule({});
    schedule.RateSample(*heart);
    EXPECT_EQ(heart->startSequencePending, 0);
    EXPECT_EQ(heart->cells[4].retCondB, 120) << "CTR His 150: 150 % of 80";
    EXPECT_EQ(heart->cells[4].modelRetCondB, 120) << "made model values";
    schedule.RateSample(*heart);
    EXPECT_EQ(heart->cells[4].retCondB, 120) << "not applied a second time";
}

TEST(SimTherapyList, NamesCommentsAndTheStartSequence) {
    auto heart = HeartWithTexts();
    const auto j = TherapyListJson(*heart);
    ASSERT_EQ(j["drugs"].size(), 4u);
    EXPECT_EQ(j["drugs"][0]["name"], "Betablocker");
    EXPECT_NE(j["drugs"][0]["comment"].get<std::string>().find("Slows the sinus"), std::string::npos);
    EXPECT_EQ(j["drugs"][1]["name"], "Class IC");
    ASSERT_EQ(j["sequences"].size(), 4u);
    EXPECT_EQ(j["sequences"][0]["name"], "AV block");
    ASSERT_TRUE(j.contains("startSequence"));
    EXPECT_NE(j["startSequence"].get<std::string>().find("CTR His 150"), std::string::npos);

    heart->sequenceText = "#Sequence: plain\r\n\"Nothing\"\r\n";
    EXPECT_FALSE(TherapyListJson(*heart).contains("startSequence"));
}

}  // namespace
}  // namespace vantrel::testing
