#include "cli/sim_actions.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

#include "engine/cardioversion.h"
#include "intervention_fixture.h"

namespace vantrel::testing {
namespace {

SimAction Parsed(const char* spec) {
    std::string error;
    auto action = ParseSimAction(spec, error);
    EXPECT_TRUE(action.has_value()) << spec << ": " << error;
    return action.value_or(SimAction{});
}

TEST(SimActionParsing, AcceptsEveryActionOfTheTable) {
    struct Case {
        const char* spec;
        SimActionKind kind;
        int64_t tick;
        int32_t value;
    };
    const Case cases[] = {
        {"0:svpb", SimActionKind::Svpb, 0, 0},
        {"1:vpb", SimActionKind::Vpb, 200, 0},
        {"2.5:svpbx", SimActionKind::SvpbRun, 500, 0},
        {"0.005:vpbx", SimActionKind::VpbRun, 1, 0},
        {"3:sv-bigeminy=on", SimActionKind::SvBigeminy, 600, 1},
        {"3:v-bigeminy=off", SimActionKind::VBigeminy, 600, 0},
        {"4:tone=800", SimActionKind::Tone, 800, 800},
        {"4:ramp=0", SimActionKind::Ramp, 800, 0},
        {"5:resp=on", SimActionKind::Respiration, 1000, 1},
        {"5:resp-rate=0", SimActionKind::RespirationRate, 1000, 0},
        {"5:resp-amp=40", SimActionKind::RespirationAmplitude, 1000, 40},
        {"6:shock", SimActionKind::Shock, 1200, 0},
        {"6:remodel", SimActionKind::Remodel, 1200, 0},
        {"7:ic3=His", SimActionKind::Electrode, 1400, 2},
        {"7:pacemaker=VVI", SimActionKind::Pacemaker, 1400, 0},
        {"8:stim", SimActionKind::StimulatorStart, 1600, 0},
        {"8:stim=train=on", SimActionKind::StimulatorStart, 1600, 0},
        {"9:stim-stop", SimActionKind::StimulatorStop, 1800, 0},
        {"9:emergency=on", SimActionKind::Emergency, 1800, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        const SimAction a = Parsed(c.spec);
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.tick, c.tick);
        EXPECT_EQ(a.value, c.value);
    }
}

TEST(SimActionParsing, RefusesMistakesWithOneLine) {
    struct Case {
        const char* spec;
        const char* message;
    };
    const Case cases[] = {
        {"svpb", "--do svpb: T:ACTION expected"},
        {"x:svpb", "--do x:svpb: the time \"x\" is not a number of seconds"},
        {"-1:svpb", "--do -1:svpb: the time \"-1\" is not a number of seconds"},
        {"1:fly", "--do 1:fly: unknown action \"fly\""},
        {"1:shock=now", "--do 1:shock=now: shock takes no value"},
        {"1:resp=yes", "--do 1:resp=yes: resp=on or =off expected"},
        {"1:tone=1001", "--do 1:tone=1001: tone needs a whole number from 0 to 1000"},
        {"1:tone=4x", "--do 1:tone=4x: tone needs a whole number from 0 to 1000"},
        {"1:ic1=", "--do 1:ic1=: ic1=CELL or =none expected"},
        {"1:pacemaker=VDD",
         "--do 1:pacemaker=VDD: unknown pacemaker mode \"VDD\" (None, AAI, VVI, DDD, DDD+ or CRT "
         "expected)"},
        {"1:pacemaker=DDD,av=3",
         "--do 1:pacemaker=DDD,av=3: pacemaker av=3: Please enter an integer between 5 and 1000."},
        {"1:pacemaker=DDD,rate=201",
         "--do 1:pacemaker=DDD,rate=201: pacemaker rate=201: Please enter an integer between 30 "
         "and 200."},
        {"1:pacemaker=DDD,mode=3",
         "--do 1:pacemaker=DDD,mode=3: unknown pacemaker setting \"mode\""},
        {"1:pacemaker=CRT,v2=", "--do 1:pacemaker=CRT,v2=: pacemaker v2= needs a cell name or none"},
        {"1:stim=s2=4", "--do 1:stim=s2=4: stim s2=4: Please enter an integer between 5 and 10000."},
        {"1:stim=mode=up", "--do 1:stim=mode=up: stim mode=up: fixed, inc or dec expected"},
        {"1:stim=lead=5", "--do 1:stim=lead=5: stim lead=5: Please enter an integer between 1 and 4."},
        {"1:stim=speed=2", "--do 1:stim=speed=2: unknown stimulator setting \"speed\""},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ParseSimAction(c.spec, error).has_value()) << c.spec;
        EXPECT_EQ(error, c.message);
    }
}

TEST(SimActionParsing, StimulatorSettingsOverTheDialogsDefaults) {
    const SimAction a = Parsed(
        "1:stim=train=on,s1=550,n=2,s2=300,mode=dec,step=10,limit=280,s3=250,pause=off,lead=2");
    const StimulatorSettings& s = a.stimulator;
    EXPECT_TRUE(s.train);
    EXPECT_EQ(s.s1Interval, 550);
    EXPECT_TRUE(s.withIntermediate);
    EXPECT_EQ(s.intermediateQrs, 2);
    EXPECT_EQ(s.mode, StimulatorMode::AutoDecrement);
    EXPECT_EQ(s.limit, 280);
    EXPECT_TRUE(s.s3On);
    EXPECT_EQ(s.s3, 250);
    EXPECT_FALSE(s.s4On);
    EXPECT_FALSE(s.pauseOn);
    EXPECT_EQ(s.lead, 2);
    EXPECT_EQ(BuildStimulatorProgram(Parsed("1:stim").stimulator), "500,0,");
}

TEST(SimActionParsing, AProgramTooLongIsRefusedBeforeTheRun) {
    std::string error;
    EXPECT_FALSE(ParseSimAction("1:stim=train=on,n=100,s2=10000,mode=dec,step=5,limit=5", error));
    EXPECT_NE(error.find(StimulatorProgramTooLongMessage()), std::string::npos);
}

std::unique_ptr<CCoeur> NamedHeart() {
    auto heart = MakeHeart(4);
    heart->cells[0].SetName("RA1");
    heart->cells[1].SetName("His");
    heart->cells[2].SetName("RV1");
    heart->cells[3].SetName("LV1");
    return heart;
}

TEST(SimActionCells, NamesAreLookedUpInTheModel) {
    auto heart = NamedHeart();
    SimAction a = Parsed("1:pacemaker=CRT,a=RA1,v=RV1,v2=none");
    std::string error;
    ASSERT_TRUE(ResolveSimActionNames(*heart, a, error)) << error;
    EXPECT_EQ(a.atrialLead.cell, 0);
    EXPECT_EQ(a.ventricularLead.cell, 2);
    EXPECT_EQ(a.ventricular2Lead.cell, -1);
    SimAction b = Parsed("1:ic2=Sinus");
    EXPECT_FALSE(ResolveSimActionNames(*heart, b, error));
    EXPECT_EQ(error, "--do ic2=Sinus: no cell is named \"Sinus\"");
}

std::unique_ptr<CCoeur> Applied(std::initializer_list<const char*> specs) {
    auto heart = NamedHeart();
    std::vector<SimAction> actions;
    for (const char* spec : specs) {
        actions.push_back(Parsed(spec));
        std::string error;
        EXPECT_TRUE(ResolveSimActionNames(*heart, actions.back(), error)) << error;
    }
    SimActionSchedule schedule(std::move(actions));
    schedule.ApplyDue(*heart);
    return heart;
}

TEST(SimActionApplying, ActsThroughTheEngineCalls) {
    auto heart = Applied({"0:ic1=His", "0:ic4=none", "0:tone=700", "0:resp=on", "0:resp-rate=10",
                          "0:shock", "0:pacemaker=DDD,av=200,rate=60,a=RA1,v=RV1,v2=LV1"});
    EXPECT_EQ(heart->icCell[0], 1);
    EXPECT_EQ(heart->icCell[3], -1);
    EXPECT_EQ(heart->cells[1].electrodeMark, 1);
    EXPECT_EQ(heart->tone, 700);
    EXPECT_EQ(heart->respOn, 1);
    EXPECT_EQ(heart->respSegment, 60);
    EXPECT_EQ(heart->shockArtifact, kShockArtifact);
    EXPECT_EQ(heart->pmMode, kPmDdd);
    EXPECT_EQ(heart->pmAvDelay, 40);
    EXPECT_EQ(heart->pmPeriod, 200);
    EXPECT_EQ(heart->pmAtrialCell, 0);
    EXPECT_EQ(heart->pmVentricularCell, 2);
    EXPECT_EQ(heart->pmVentricular2Cell, -1);  // DDD has no second ventricular lead
    EXPECT_EQ(heart->cells[2].electrodeMark, 11);
}

TEST(SimActionApplying, ThePacemakerDialogKeepsItsValuesBetweenActions) {
    auto heart = Applied({"0:pacemaker=VVI,rate=60,v=RV1", "0:pacemaker=AAI,a=RA1"});
    EXPECT_EQ(heart->pmMode, kPmAai);
    EXPECT_EQ(heart->pmPeriod, 200);
    EXPECT_EQ(heart->pmVentricularCell, -1);
}

TEST(SimActionApplying, EmergencyUsesTheLastStartsLead) {
    auto heart = Applied({"0:ic2=RV1", "0:stim=lead=2", "0:emergency=on"});
    EXPECT_EQ(heart->stimCell, 2);
    EXPECT_EQ(heart->stimActive, 1);
    EXPECT_EQ(heart->stimRepeatDelay, 160);
}

TEST(SimActionSchedule, AppliesInTimeOrderThenInTheOrderGiven) {
    auto heart = NamedHeart();
    SimActionSchedule schedule({Parsed("2:tone=300"), Parsed("1:tone=100"), Parsed("1:tone=200")});
    schedule.ApplyDue(*heart);
    EXPECT_EQ(heart->tone, 400);  // nothing due before the first tick
    heart->tickCount = 200;
    schedule.ApplyDue(*heart);
    EXPECT_EQ(heart->tone, 200);
    heart->tickCount = 399;
    schedule.ApplyDue(*heart);
    EXPECT_EQ(heart->tone, 200);
    heart->tickCount = 400;
    schedule.ApplyDue(*heart);
    EXPECT_EQ(heart->tone, 300);
}

TEST(SimActionOptions, DoIsRepeatableAndDocumented) {
    CLI::App app("test");
    std::vector<std::string> specs;
    AddSimActionOptions(app, specs);
    const char* argv[] = {"vantrel-sim", "--do", "1:svpb", "--do", "0.5:pacemaker=VVI,rate=60"};
    app.parse(5, const_cast<char**>(argv));
    std::vector<SimAction> actions;
    std::string error;
    ASSERT_TRUE(ParseSimActions(specs, actions, error)) << error;
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[1].tick, 100);
    auto heart = NamedHeart();
    EXPECT_TRUE(ResolveSimActions(*heart, actions, error));
    const std::string help = app.help();
    for (const char* word : {"--do", "sv-bigeminy", "pacemaker=MODE", "stim-stop", "emergency"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
    specs.push_back("2:ic1=Nowhere");
    ASSERT_TRUE(ParseSimActions(specs, actions, error));
    EXPECT_FALSE(ResolveSimActions(*heart, actions, error));
    EXPECT_EQ(error, "--do ic1=Nowhere: no cell is named \"Nowhere\"");
}

}  // namespace
}  // namespace vantrel::testing
