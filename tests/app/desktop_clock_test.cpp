// The simulation clock ticking on its own thread while the interface edits the model and draws:
// the test that runs under ThreadSanitizer.
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <mutex>

#include "app/command_table.h"
#include "engine/demo_heart.h"
#include "tests/app/desktop_fixture.h"

namespace vantrel {
namespace {

// Everything the interface thread does to the model while the clock ticks: the tone bar, menu
// toggles, the cell repaints of the picture (flat and 3D, turned), screen switches, step-by-step and back, a drug, a
// sequence and a reload.  Under ThreadSanitizer any access outside the model lock shows up here.
TEST_F(DesktopTest, ClockRunsWhileTheInterfaceEditsTheModel) {
    Start();
    View().SetTherapyAnswer(1);
    {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        BuildDemoHeart(Doc().heart, 10, 10, 200);
    }
    auto* bar = Child<QScrollBar>("ToneBar");
    auto* drugs = Child<QComboBox>("DrugList");
    auto* sequences = Child<QComboBox>("SequenceList");
    ASSERT_TRUE(bar && drugs && sequences);
    // Edit while the clock ticks until the strip has drawn a few redraw messages' worth.
    QElapsedTimer wall;
    wall.start();
    int edits = 0;
    auto edit = [&] {
        bar->triggerAction(edits % 2 ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderPageStepSub);
        Frame().Action(kCmdTWave)->trigger();
        switch (edits % 12) {
        case 1: Frame().Action(kCmdHeart3d)->trigger(); break;  // regions on the worker as it ticks
        case 2: Child<QScrollBar>("AzimuthBar")->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case 3: Frame().Action(kCmdEcgScreen)->trigger(); break;
        case 5: Frame().Action(kCmdHeart2d)->trigger(); break;
        case 7:
            Frame().Action(kCmdStep)->trigger();
            Frame().Action(kCmdSpeed)->trigger();  // paused: back to normal speed
            break;
        case 9: Frame().Action(kCmdRespiration)->trigger(); break;
        default: break;
        }
        ++edits;
        QTest::qWait(5);
    };
    while (Doc().strip.DrawnIndex() < 200 && wall.elapsed() < 20000) edit();
    EXPECT_GE(Doc().strip.DrawnIndex(), 200);

    // The model's drug and sequence, then a reload of the default model, all while running.
    ASSERT_GE(drugs->count(), 2);
    ASSERT_GE(sequences->count(), 2);
    drugs->setCurrentIndex(1);
    emit drugs->activated(1);
    sequences->setCurrentIndex(1);
    emit sequences->activated(1);
    Frame().Action(kCmdInitialValues)->trigger();
    EXPECT_EQ(View().RunMode(), 1);
    const int32_t drawnAfterReload = Doc().strip.DrawnIndex();
    while (Doc().strip.DrawnIndex() < drawnAfterReload + 100 && wall.elapsed() < 30000) edit();
    EXPECT_GE(Doc().strip.DrawnIndex(), drawnAfterReload + 100);
}

}  // namespace
}  // namespace vantrel
