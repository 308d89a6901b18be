// The desktop's actions in the action log, and the live ring written as an EDF+ recording with
// them: what the frozen screen's "Record ECG file" writes.
#include <QComboBox>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <edflib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/engine_control.h"
#include "engine/autonomic_tone.h"
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

// The tone bar's thumb, in the bar's coordinates.
QRect ThumbOf(QScrollBar* bar) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
}

// The "Tone N" entries appended since `from` actions had been appended.
std::vector<std::string> ToneEntriesSince(const ActionLog& log, int64_t from) {
    std::vector<std::string> tones;
    const int64_t added = log.appended - from;
    for (int32_t n = log.Held() - static_cast<int32_t>(added); n < log.Held(); ++n)
        if (std::string(log.Held(n).text).rfind("Tone ", 0) == 0) tones.push_back(log.Held(n).text);
    return tones;
}

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

TEST_F(DesktopActionLogTest, ADragOfTheToneBarIsOneActionAndEachKeyOrWheelStepIsOne) {
    Start();
    View().SetRunMode(0);
    auto* bar = Child<QScrollBar>("ToneBar");
    ASSERT_TRUE(bar);
    auto tone = [this] {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        return Doc().heart.tone;
    };
    auto toneText = [&] { return "Tone " + std::to_string(tone()); };

    // The thumb dragged down in steps: each step applies its tone at once, nothing is logged
    // until the button is released, then the tone it ended at, once.
    int64_t before = Doc().actions.appended;
    const QPoint grip = ThumbOf(bar).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    std::vector<int32_t> tonesOnTheWay;
    for (int dy = 3; dy <= 15; dy += 3) {
        QTest::mouseMove(bar, grip + QPoint(0, dy));
        tonesOnTheWay.push_back(tone());
    }
    EXPECT_EQ(tonesOnTheWay.size(), 5u);
    EXPECT_GT(tonesOnTheWay.front(), 0);
    EXPECT_LT(tonesOnTheWay.back(), tonesOnTheWay.front()) << "each step of the drag applies its tone";
    EXPECT_EQ(tonesOnTheWay.back(), ToneFromScrollPosition(bar->value()));
    EXPECT_TRUE(ToneEntriesSince(Doc().actions, before).empty()) << "nothing is logged during the drag";
    QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(0, 15));
    QApplication::processEvents();
    EXPECT_EQ(ToneEntriesSince(Doc().actions, before), std::vector<std::string>{toneText()});

    // Keys and the wheel: one action per step, logged as it comes.
    before = Doc().actions.appended;
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Up);
    const std::string afterFirstKey = toneText();
    QTest::keyClick(bar, Qt::Key_Up);
    const std::string afterSecondKey = toneText();
    QWheelEvent wheel(QPointF(bar->rect().center()), bar->mapToGlobal(QPointF(bar->rect().center())), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    const std::vector<std::string> expected = {afterFirstKey, afterSecondKey, toneText()};
    EXPECT_EQ(ToneEntriesSince(Doc().actions, before), expected);
    EXPECT_NE(expected[1], expected[2]) << "the wheel moved the bar";

    // A drag that rests: its tone is logged after a moment, and the release adds nothing more.
    before = Doc().actions.appended;
    const QPoint grip2 = ThumbOf(bar).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, grip2);
    QTest::mouseMove(bar, grip2 + QPoint(0, -12));
    EXPECT_TRUE(ToneEntriesSince(Doc().actions, before).empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ToneEntriesSince(Doc().actions, before).empty(); }, 5000));
    EXPECT_EQ(ToneEntriesSince(Doc().actions, before), std::vector<std::string>{toneText()});
    QTest::mouseRelease(bar, Qt::LeftButton, {}, grip2 + QPoint(0, -12));
    QApplication::processEvents();
    EXPECT_EQ(ToneEntriesSince(Doc().actions, before).size(), 1u);

    // A drag that comes back to where it started changed nothing: nothing is logged.
    before = Doc().actions.appended;
    const QPoint grip3 = ThumbOf(bar).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, grip3);
    QTest::mouseMove(bar, grip3 + QPoint(0, 20));
    QTest::mouseMove(bar, grip3);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, grip3);
    QApplication::processEvents();
    EXPECT_TRUE(ToneEntriesSince(Doc().actions, before).empty());

    // The engine's own tone (a ramp, a sequence, a load) moves the bar but is no action of the user.
    Doc().notifier.Send(kMsgTone, 500, 0);
    EXPECT_EQ(tone(), 500);
    EXPECT_TRUE(ToneEntriesSince(Doc().actions, before).empty());
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
