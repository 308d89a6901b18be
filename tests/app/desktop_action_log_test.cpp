// The desktop's actions in the action log, and the live ring written as an EDF+ recording with
// them: what the frozen screen's "Record ECG file" writes.
#include <QComboBox>
#include <edflib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/engine_control.h"
#include "recording/ecg_stretch_recording.h"
#include "tests/app/desktop_fixture.h"

namespace vantrel {
namespace {

std::vector<std::string> LoggedTexts(const ActionLog& log) {
    std::vector<std::string> texts;
    for (int32_t n = 0; n < log.Held(); ++n) texts.push_back(log.Held(n).text);
    return texts;
}

using DesktopActionLogTest = DesktopTest;

TEST_F(DesktopActionLogTest, EveryActionOfTheUserIsLoggedInItsWords) {
    Start();
    View().SetRunMode(0);
    const int64_t before = Doc().actions.appended;
    EngineControl engine(Doc());
    engine.PressPremature(PrematureBeatCommand::Vpb);
    engine.SetTone(800);
    engine.ToggleRespiration();
    PacemakerSettings pacemaker;
    pacemaker.mode = kPmDdd;
    engine.SetupPacemaker(pacemaker);
    StimulatorSettings stimulator;
    engine.PressStimulator(StimulatorButton::Start, stimulator);
    engine.PressStimulator(StimulatorButton::Stop, stimulator);
    engine.Shock();
    engine.AtrialRemodeling();
    // The drug list as the user works it: "Get it" on the first drug, then the washout entry.
    View().SetTherapyAnswer(1);
    auto* drugs = Child<QComboBox>("DrugList");
    drugs->setCurrentIndex(1);
    emit drugs->activated(1);
    drugs->setCurrentIndex(0);
    emit drugs->activated(0);
    const std::string drugName = Doc().therapy.DrugList()[1];

    std::vector<std::string> texts = LoggedTexts(Doc().actions);
    texts.erase(texts.begin(), texts.begin() + (texts.size() - (Doc().actions.appended - before)));
    const std::vector<std::string> expected = {
        "VPB", "Tone 800", "Respiratory arrhythmia on", "Pacemaker DDD 70 bpm AV 160 ms max 140 bpm",
        "Stimulator start lead 1 S1 600 ms S2 500 ms", "Stimulator stop", "Shock",
        "Atrial remodeling", "Drug: " + drugName, "Washout"};
    EXPECT_EQ(texts, expected);
}

TEST_F(DesktopActionLogTest, TheLiveRingIsRecordedWithTheActionsOfItsStretch) {
    Start();
    ASSERT_TRUE(QTest::qWaitFor([this] {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        return Doc().heart.tickCount > 300;
    }, 10000));
    EngineControl(Doc()).Shock();
    ASSERT_TRUE(QTest::qWaitFor([this] {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        return Doc().heart.tickCount > 600;
    }, 10000));
    const std::filesystem::path path = dir_ / "live.edf";
    std::string error;
    {
        // Under the lock the ring and the tick count belong together.
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        EcgStretch stretch;
        stretch.ring = Doc().display.liveRing;
        stretch.ringSize = kRingSamples;
        stretch.endIndex = Doc().display.WriteIndex();
        stretch.sampleCount = stretch.endIndex;  // the ring has not wrapped yet
        stretch.lastTick = Doc().heart.tickCount;
        stretch.rates = Doc().rates.liveRate;
        stretch.rateEndIndex = Doc().rates.rateIndex;
        stretch.rateValues = Doc().rates.valueCount;
        stretch.actions = &Doc().actions;
        ASSERT_TRUE(WriteEcgStretchEdf(path, stretch, "1.1 Normal", error)) << error;
    }
    edf_hdr_struct header;
    ASSERT_EQ(edfopen_file_readonly(path.string().c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS), 0);
    EXPECT_EQ(header.edfsignals, 23);
    bool shock = false;
    for (long long n = 0; n < header.annotations_in_file; ++n) {
        edf_annotation_struct a;
        ASSERT_EQ(edf_get_annotation(header.handle, static_cast<int>(n), &a), 0);
        if (std::string(a.annotation) == "Shock") shock = true;
    }
    EXPECT_TRUE(shock);
    edfclose_file(header.handle);

    // The frozen copy, as "Record ECG file" on the frozen screen writes it.
    Frame().Action(kCmdFrozenScreen)->trigger();
    const std::filesystem::path frozen = dir_ / "frozen.edf";
    ASSERT_TRUE(WriteFrozenRecordEdf(frozen, Doc().frozen, Doc().actions, "1.1 Normal", error))
        << error;
    ASSERT_EQ(edfopen_file_readonly(frozen.string().c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS), 0);
    EXPECT_EQ(header.datarecords_in_file, (Doc().frozen.samplesKept + 999) / 1000);
    std::vector<std::string> texts;
    for (long long n = 0; n < header.annotations_in_file; ++n) {
        edf_annotation_struct a;
        ASSERT_EQ(edf_get_annotation(header.handle, static_cast<int>(n), &a), 0);
        texts.push_back(a.annotation);
    }
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Shock"), texts.end());
    edfclose_file(header.handle);
}

}  // namespace
}  // namespace vantrel
