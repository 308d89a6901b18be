#include "engine/stimulator.h"

#include <gtest/gtest.h>

#include "intervention_fixture.h"

namespace vantrel::testing {
namespace {

struct ProgramCase {
    const char* label;
    StimulatorSettings settings;
    const char* program;
};

StimulatorSettings Settings(void (*change)(StimulatorSettings&)) {
    StimulatorSettings s;
    s.pauseOn = false;
    change(s);
    return s;
}

TEST(StimulatorProgram, IsBuiltFromTheDialogsSettings) {
    const ProgramCase cases[] = {
        {"fixed train with S3", Settings([](StimulatorSettings& s) {
             s.train = true;
             s.withIntermediate = true;
             s.intermediateQrs = 3;
             s.s3On = true;
         }),
         "600,0,600,0,600,0,500,0,270,0,"},
        {"auto-decrement after intrinsic beats", Settings([](StimulatorSettings& s) {
             s.mode = StimulatorMode::AutoDecrement;
             s.s2 = 300;
             s.step = 25;
             s.limit = 250;
             s.withIntermediate = true;
             s.intermediateQrs = 2;
         }),
         "300,2,275,2,250,2,"},
        {"auto-increment reaching the limit in one step", Settings([](StimulatorSettings& s) {
             s.mode = StimulatorMode::AutoIncrement;
             s.s2 = 200;
             s.step = 25;
             s.limit = 225;
         }),
         "200,0,"},
        {"auto-increment", Settings([](StimulatorSettings& s) {
             s.mode = StimulatorMode::AutoIncrement;
             s.s2 = 200;
             s.step = 25;
             s.limit = 260;
         }),
         "200,0,225,0,250,0,"},
        {"train without intermediate QRS", Settings([](StimulatorSettings& s) { s.train = true; }),
         "500,0,"},
        {"fixed with S3 and S4, no train", Settings([](StimulatorSettings& s) {
             s.s3On = s.s4On = true;
         }),
         "500,0,270,0,250,0,"},
        {"auto-decrement with trains and a pause", Settings([](StimulatorSettings& s) {
             s.train = true;
             s.withIntermediate = true;
             s.intermediateQrs = 2;
             s.mode = StimulatorMode::AutoDecrement;
             s.s2 = 300;
             s.limit = 275;
             s.pauseOn = true;
         }),
         "600,0,600,0,300,0,3000,1,600,0,275,0,"},
        {"auto-decrement with trains, no pause", Settings([](StimulatorSettings& s) {
             s.train = true;
             s.withIntermediate = true;
             s.intermediateQrs = 2;
             s.mode = StimulatorMode::AutoDecrement;
             s.s2 = 300;
             s.limit = 275;
             s.s3On = true;  // not used by the stepped modes
         }),
         "600,0,600,0,300,0,600,0,600,0,275,0,"},
        {"auto-decrement with the limit above S2", Settings([](StimulatorSettings& s) {
             s.mode = StimulatorMode::AutoDecrement;
             s.limit = 600;
         }),
         "500,0,"},
    };
    for (const ProgramCase& c : cases)
        EXPECT_EQ(BuildStimulatorProgram(c.settings), c.program) << c.label;
}

TEST(StimulatorProgram, TheDialogRefusesValuesOutsideTheirRanges) {
    struct Case {
        int32_t StimulatorSettings::*field;
        int32_t value;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {&StimulatorSettings::s1Interval, 4, "Please enter an integer between 5 and 10000."},
        {&StimulatorSettings::s1Interval, 10000, nullptr},
        {&StimulatorSettings::intermediateQrs, 101, "Please enter an integer between 0 and 100."},
        {&StimulatorSettings::s2, 10001, "Please enter an integer between 5 and 10000."},
        {&StimulatorSettings::step, 1001, "Please enter an integer between 5 and 1000."},
        {&StimulatorSettings::limit, 4, "Please enter an integer between 5 and 10000."},
        {&StimulatorSettings::s3, 1001, "Please enter an integer between 5 and 1000."},
        {&StimulatorSettings::s4, 4, "Please enter an integer between 5 and 1000."},
        {&StimulatorSettings::pause, 0, "Please enter an integer between 1 and 10000."},
        {&StimulatorSettings::pause, 1, nullptr},
    };
    for (const Case& c : cases) {
        StimulatorSettings s;
        s.*c.field = c.value;
        const auto error = CheckStimulatorSettings(s);
        SCOPED_TRACE(c.value);
        if (!c.message) {
            EXPECT_FALSE(error.has_value());
        } else {
            ASSERT_TRUE(error.has_value());
            EXPECT_EQ(error->message, c.message);
        }
    }
}

TEST(StimulatorProgram, TheSliderSetsTheS1Interval) {
    EXPECT_EQ(S1IntervalFromSlider(400), 600);
    EXPECT_EQ(S1IntervalFromSlider(0), 1000);
    EXPECT_EQ(S1IntervalFromSlider(1000), 10);
}

TEST(StimulatorProgram, NumbersAreReadPastTheirCommas) {
    char text[kStimProgramSize] = "600,0,25,";
    int32_t pos = 0;
    EXPECT_EQ(ReadProgramNumber(text, pos), 600);
    EXPECT_EQ(ReadProgramNumber(text, pos), 0);
    EXPECT_EQ(ReadProgramNumber(text, pos), 25);
    EXPECT_EQ(pos, 9);
    EXPECT_EQ(ReadProgramNumber(text, pos), kProgramEnd);
    EXPECT_EQ(ReadProgramNumber(text, pos), kProgramEnd);
}

// Cell 0 is the electrode cell of lead 1: it escapes every 5 s, first in tick 10, so that every
// other firing is a stimulated one.
class Stimulation : public ::testing::Test {
protected:
    void SetUp() override {
        heart = MakeHeart(2);
        heart->icCell[0] = 0;
        heart->icCell[1] = 1;
        heart->icCell[2] = -1;  // not placed
        heart->icCell[3] = 7;   // a cell this model does not have
        MakeEscaping(heart->cells[0], 5000, 10);
    }
    Recording Run(int ticks) { return RunTicks(*heart, ticks, {0}); }
    std::unique_ptr<CCoeur> heart;
};

TEST_F(Stimulation, PlaysAProgramFromTheElectrodeCellsNextFiring) {
    StimulatorSettings s;
    s.pauseOn = false;
    s.train = true;
    s.withIntermediate = true;
    s.s3On = true;
    ASSERT_FALSE(PressStimulatorStart(*heart, s).has_value());
    const Recording r = Run(1000);
    // +600 ms, twice more every 600 ms, S2 500 ms later and S3 270 ms after it.
    EXPECT_EQ(r.marks, (std::vector<int32_t>{130, 250, 370, 470, 524}));
    EXPECT_EQ(r.firings[0], (std::vector<int32_t>{10, 130, 250, 370, 470, 524}));
    EXPECT_EQ(heart->stimCountdown, 0);  // the program is over
}

TEST_F(Stimulation, AStimulusInTheRefractoryPeriodMarksButDoesNotExcite) {
    StimulatorSettings s;
    s.s2 = 50;  // 10 ticks after the firing: the cell is still absolutely refractory
    ASSERT_FALSE(PressStimulatorStart(*heart, s).has_value());
    int32_t spikeX = 0;
    const Recording r = RunTicks(*heart, 300, {0}, [&](const TickRecord& record) {
        if (record.tickCount == 20) spikeX = record.sample.bytes[0];
    });
    EXPECT_EQ(r.marks, (std::vector<int32_t>{20}));
    EXPECT_EQ(r.firings[0], (std::vector<int32_t>{10}));
    EXPECT_GE(spikeX, 99);  // the stimulus spike is in that tick's sample
}

TEST_F(Stimulation, ProgramWaitsForIntrinsicBeats) {
    StimulatorSettings s;
    s.pauseOn = false;
    s.withIntermediate = true;
    s.intermediateQrs = 2;
    s.s2 = 300;
    heart->cells[0].SetEscape(1000, 1000);  // 200 ticks
    ASSERT_FALSE(PressStimulatorStart(*heart, s).has_value());
    const Recording r = Run(500);
    // The start waits for two firings (10 and 210), then 300 ms.
    EXPECT_EQ(r.marks, (std::vector<int32_t>{270}));
}

TEST_F(Stimulation, EmergencyPacesEvery160TicksAfterOneFiringUntilSwitchedOff) {
    StimulatorSettings s;
    s.emergency = true;
    ASSERT_FALSE(PressStimulatorEmergency(*heart, s).has_value());
    const Recording on = Run(1000);
    ASSERT_EQ(on.marks.front(), 170);
    for (int32_t gap : Intervals(on.marks)) EXPECT_EQ(gap, 160);
    // "START" does nothing while emergency pacing is on.
    EXPECT_FALSE(PressStimulatorStart(*heart, s).has_value());
    EXPECT_EQ(heart->stimActive, 1);
    s.emergency = false;
    ASSERT_FALSE(PressStimulatorEmergency(*heart, s).has_value());
    const Recording off = Run(1000);
    EXPECT_EQ(off.marks, (std::vector<int32_t>{on.marks.back() + 160}));  // the pending one only
}

TEST_F(Stimulation, StopEndsAOneShotProgramAtOnce) {
    StimulatorSettings s;
    s.train = true;
    s.withIntermediate = true;
    ASSERT_FALSE(PressStimulatorStart(*heart, s).has_value());
    Run(200);
    PressStimulatorStop(*heart, s);
    EXPECT_TRUE(Run(2000).marks.empty());
}

TEST_F(Stimulation, StopWithEmergencyOnRestartsEmergencyPacing) {
    StimulatorSettings s;
    s.emergency = true;
    PressStimulatorEmergency(*heart, s);
    Run(400);
    PressStimulatorStop(*heart, s);
    EXPECT_EQ(heart->stimActive, 1);
    EXPECT_EQ(heart->stimRepeatDelay, 160);
}

TEST_F(Stimulation, ALeadChangeTakesEffectAtOnceOnlyInEmergency) {
    StimulatorSettings s;
    s.lead = 2;
    SelectStimulatorLead(*heart, s);
    EXPECT_EQ(heart->stimCell, 10);  // unchanged until the next "START"
    s.emergency = true;
    SelectStimulatorLead(*heart, s);
    EXPECT_EQ(heart->stimCell, 1);
    EXPECT_EQ(heart->stimActive, 1);
}

// With lead 3 (not placed) or lead 4 (on no cell of this model) nothing is ever stimulated or
// marked, also when emergency pacing had a stimulus pending for the previous lead.
TEST_F(Stimulation, AnElectrodeOnNoCellIsNeverTouched) {
    for (int32_t lead : {3, 4}) {
        SCOPED_TRACE(lead);
        SetUp();
        StimulatorSettings s;
        s.emergency = true;
        PressStimulatorEmergency(*heart, s);
        Run(200);
        s.lead = lead;
        s.emergency = false;
        PressStimulatorStop(*heart, s);  // the pending emergency stimulus now aims at no cell
        SelectStimulatorLead(*heart, s);
        EXPECT_TRUE(Run(1000).marks.empty());
        s.emergency = true;
        PressStimulatorEmergency(*heart, s);
        EXPECT_TRUE(Run(1000).marks.empty());
        PressStimulatorStart(*heart, StimulatorSettings{});
        EXPECT_TRUE(Run(1000).marks.empty());
    }
}

TEST_F(Stimulation, ARefusedFieldChangesNothing) {
    StimulatorSettings s;
    s.s2 = 3;
    heart->stimCell = 1;
    const auto error = PressStimulatorStart(*heart, s);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->field, 2);
    EXPECT_EQ(heart->stimCell, 1);
    EXPECT_EQ(heart->stimCountdown, -1);
    s.emergency = true;
    EXPECT_TRUE(PressStimulatorEmergency(*heart, s).has_value());
    EXPECT_EQ(heart->stimActive, 0);
}

TEST_F(Stimulation, AProgramTooLongForTheRecordIsRefused) {
    StimulatorSettings s;
    s.train = true;
    s.withIntermediate = true;
    s.intermediateQrs = 100;
    s.mode = StimulatorMode::AutoDecrement;
    s.s2 = 10000;
    s.step = 5;
    s.limit = 5;
    ASSERT_GT(BuildStimulatorProgram(s).size(), size_t{kStimProgramSize});
    const auto error = PressStimulatorStart(*heart, s);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->message, StimulatorProgramTooLongMessage());
    EXPECT_EQ(heart->stimCountdown, -1);
    EXPECT_EQ(heart->stimProgram[0], 0);
}

}  // namespace
}  // namespace vantrel::testing
