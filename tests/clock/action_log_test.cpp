// The action log and the words of the actions, and the QRS onset the measurement keeps for the
// recordings.
#include "engine/action_log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "../engine/heart_fixture.h"
#include "engine/action_text.h"
#include "engine/rhythm_measurement.h"

namespace vantrel {
namespace {

TEST(ActionLog, KeepsTheNewestInOrderAndCutsLongTextsWhole) {
    auto log = std::make_unique<ActionLog>();
    EXPECT_EQ(log->Held(), 0);
    for (int32_t n = 0; n < kActionLogSize + 10; ++n) log->Append(n, "A" + std::to_string(n));
    EXPECT_EQ(log->Held(), kActionLogSize);
    EXPECT_EQ(log->Held(0).tick, 10) << "the ten oldest were overwritten";
    EXPECT_STREQ(log->Held(0).text, "A10");
    EXPECT_STREQ(log->Held(kActionLogSize - 1).text, ("A" + std::to_string(kActionLogSize + 9)).c_str());

    // 94 ASCII bytes and a two-byte character across the cut: the character goes whole.
    const std::string text = std::string(94, 'x') + "\xc3\xa9" + "tail";
    log->Append(1, text);
    EXPECT_EQ(std::string(log->Held(kActionLogSize - 1).text), std::string(94, 'x'));
}

TEST(ActionLog, TicksBeforeTheEndCountOverTheWrapOfTheTickCount) {
    EXPECT_EQ(TicksBefore(100, 40), 60u);
    EXPECT_EQ(TicksBefore(INT32_MIN + 5, INT32_MAX - 4), 10u) << "the tick count wrapped in between";
    EXPECT_GT(TicksBefore(100, 101), 1'000'000u) << "after the end: outside any stretch";
}

TEST(ActionText, SaysWhatWasDoneInTheActionsOwnWords) {
    PacemakerSettings ddd;
    ddd.mode = kPmDdd;
    PacemakerSettings vvi;
    vvi.mode = kPmVvi;
    vvi.basicRateBpm = 90;
    PacemakerSettings crt;
    crt.mode = kPmCrt;
    crt.vvDelayMs = -40;
    StimulatorSettings train;
    train.train = true;
    StimulatorSettings extra;
    extra.mode = StimulatorMode::AutoDecrement;
    extra.s3On = true;
    const std::pair<std::string, std::string> cases[] = {
        {PacemakerActionText(ddd), "Pacemaker DDD 70 bpm AV 160 ms max 140 bpm"},
        {PacemakerActionText(vvi), "Pacemaker VVI 90 bpm"},
        {PacemakerActionText(PacemakerSettings{}), "Pacemaker None"},
        {PacemakerActionText(crt), "Pacemaker CRT 70 bpm AV 160 ms max 140 bpm VV -40 ms"},
        {PrematureBeatActionText(PrematureBeatCommand::VpbRun), "VPB run"},
        {PrematureBeatActionText(PrematureBeatCommand::SvBigeminyOff), "SV bigeminy off"},
        {StimulatorStartActionText(train), "Stimulator start lead 1 S1-S1 600 ms"},
        {StimulatorStartActionText(extra),
         "Stimulator start lead 1 S1 600 ms S2 500 ms -25 to 200 ms S3 270 ms"},
        {ElectrodeActionText(1, "His"), "Electrode I.C.2 on His"},
        {ElectrodeActionText(3, nullptr), "Electrode I.C.4 removed"},
        {PacemakerLeadActionText('V', "RV1"), "Pacemaker lead V on RV1"},
        {PacemakerLeadActionText('2', nullptr), "Pacemaker lead V2 removed"},
    };
    for (const auto& [said, expected] : cases) EXPECT_EQ(said, expected);
}

TEST(QrsOnset, TheFirstVentricularFiringOfTheComplexIsKeptAtItsClosing) {
    auto heart = testing::MakeHeart(8);
    heart->firstVentricularIndex = 6;
    heart->intervalClock = 300;
    NoteIntervalFiring(*heart, 2, {200, 0});  // atrial: no QRS onset
    EXPECT_EQ(heart->ventricularOnset, -1);
    heart->intervalClock = 420;
    NoteIntervalFiring(*heart, 6, {0, 50});  // ventricular, even below the QRS threshold
    heart->intervalClock = 440;
    NoteIntervalFiring(*heart, 7, {0, 300});
    EXPECT_EQ(heart->ventricularOnset, 420);
    heart->intervalClock = 700;
    heart->measureCountdown = 1;
    ASSERT_TRUE(CloseComplex(*heart));
    EXPECT_EQ(heart->qrsOnsetAgo, 280);
    EXPECT_EQ(heart->ventricularOnset, -1) << "the next complex starts afresh";
    heart->intervalClock = 500;
    heart->measureCountdown = 1;
    ASSERT_TRUE(CloseComplex(*heart));
    EXPECT_EQ(heart->qrsOnsetAgo, -1) << "no ventricular firing seen";
}

}  // namespace
}  // namespace vantrel
