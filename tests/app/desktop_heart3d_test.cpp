// The 3D heart picture, the PR/QT plot and the arrest as the user meets them in the desktop.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <mutex>

#include "app/command_table.h"
#include "app/dialogs/display_qt_dialog.h"
#include "desktop_fixture.h"

namespace vantrel {
namespace {

TEST_F(DesktopTest, F8ShowsThe3DHeartWithItsScrollBarsAndChamberBoxes) {
    Start();
    auto* azimuth = Child<QScrollBar>("AzimuthBar");
    auto* elevation = Child<QScrollBar>("ElevationBar");
    auto* ra = Child<QCheckBox>("ChamberRA");
    ASSERT_TRUE(azimuth && elevation && ra);
    EXPECT_FALSE(azimuth->isVisible());
    Frame().Action(kCmdHeart3d)->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(View().Heart3D());
    EXPECT_TRUE(azimuth->isVisible());
    EXPECT_TRUE(ra->isVisible() && ra->isChecked());
    EXPECT_EQ(azimuth->value(), 170);
    EXPECT_EQ(elevation->value(), 30);
    azimuth->triggerAction(QAbstractSlider::SliderPageStepAdd);
    elevation->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(View().Picture3D().Azimuth(), 0);
    EXPECT_EQ(View().Picture3D().Elevation(), -11);
    // Clearing "RA" hides the sinus node at the next drawing.
    const int32_t sinus = Doc().heart.FindCell("Sinus");
    ASSERT_GE(sinus, 0);
    EXPECT_TRUE(View().Picture3D().CellShown(sinus));
    ra->click();
    EXPECT_FALSE(View().Picture3D().CellShown(sinus));
    // F7 goes back to the flat picture, without the 3D controls.
    Frame().Action(kCmdHeart2d)->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(View().Heart3D());
    EXPECT_FALSE(azimuth->isVisible());
}

TEST_F(DesktopTest, RecordButtonAndThePrQtPlot) {
    Start();
    auto* record = Child<QPushButton>("RecordButton");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->text(), "Record");
    record->click();
    EXPECT_EQ(Doc().heart.recordIntervals, 1);
    EXPECT_EQ(record->text(), "Stop");
    record->click();
    EXPECT_EQ(Doc().heart.recordIntervals, 0);
    EXPECT_EQ(record->text(), "Record");
    QString title;
    OnNextModal([&](QWidget* modal) { title = modal->windowTitle(); });
    Frame().Action(kCmdPrQtPlot)->trigger();
    EXPECT_EQ(title, "PR (red) & QT (blue) f(RR)");
}

TEST_F(DesktopTest, ArrestIsShownThenACardioversionLetsTheSpeedCommandResume) {
    Start();
    {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        Doc().heart.arrestAccumulator = 5000;  // the next rate sample declares the arrest
    }
    // The rate sample comes after 5 s of simulated time; the sinking takes a few seconds more.
    ASSERT_TRUE(QTest::qWaitFor([this] { return View().Heart3D(); }, 15000));
    EXPECT_EQ(Child<QComboBox>("StyleList")->currentIndex(), 1);  // "Skeleton"
    EXPECT_TRUE(Frame().statusBar()->currentMessage().contains("arrested"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return View().RunMode() == 0; }, 15000));
    EXPECT_EQ(Doc().heart.arrestState, 2);
    // Resuming would only stop again: the speed command says what starts the heart again.
    View().Execute(kCmdSpeed);
    EXPECT_EQ(View().RunMode(), 0);
    EXPECT_TRUE(Frame().statusBar()->currentMessage().contains("Initial Values"));
    View().Execute(kCmdCardioversion);
    EXPECT_EQ(Doc().heart.arrestState, 0);
    EXPECT_EQ(View().Picture3D().SinkOf(0), 0) << "the heart stands again";
    View().Execute(kCmdSpeed);
    EXPECT_EQ(View().RunMode(), 1);
}

}  // namespace
}  // namespace vantrel
