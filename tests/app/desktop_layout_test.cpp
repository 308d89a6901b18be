// The desktop's layout at the window sizes users have, from a small laptop to a 4K screen: the
// strip's traces stay free of panels and controls, the panels stay inside the view, the heart
// picture fills its half; the tool panels close and come back; a button that cannot act says why.
//
// With VANTREL_SHOT_DIR set, the main window is saved there at every size and screen, to look at.
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include "app/command_table.h"
#include "app/dialogs/child_panel.h"
#include "app/dialogs/pacemaker_dialog.h"
#include "app/dialogs/premature_panel.h"
#include "app/dialogs/stimulator_dialog.h"
#include "tests/app/desktop_fixture.h"

namespace vantrel {
namespace {

struct WindowSize {
    int width, height;
};
constexpr WindowSize kWindowSizes[] = {{1024, 640}, {1366, 768}, {1920, 1080}, {3840, 2160}};

class DesktopLayoutTest : public DesktopTest {
protected:
    void ResizeWindow(const WindowSize& size) {
        Frame().setWindowState(Qt::WindowNoState);
        Frame().resize(size.width, size.height);
        QApplication::processEvents();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return View().Layout() == ScreenLayout::FromView(View().width(), View().height()); }, 2000));
        Settle();
    }
    void Command(int id) {
        Frame().Action(id)->trigger();
        Settle();
    }
    void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            QTest::qWait(10);
        }
    }
    void SaveShot(const WindowSize& size, const char* screen) {
        const QString dir = qEnvironmentVariable("VANTREL_SHOT_DIR");
        if (dir.isEmpty()) return;
        Frame().grab().save(QDir(dir).filePath(QStringLiteral("%1x%2_%3.png").arg(size.width).arg(size.height).arg(screen)));
    }
    QList<ChildPanel*> OpenPanels() {
        QList<ChildPanel*> open;
        for (ChildPanel* panel : View().findChildren<ChildPanel*>())
            if (panel->isVisible()) open << panel;
        return open;
    }
    // What must hold on any screen at any size.
    void CheckLayout(const char* where) {
        const ViewRects rects = View().Rects();
        const QRect view = View().rect();
        for (ChildPanel* panel : OpenPanels()) {
            const QRect r = panel->geometry();
            EXPECT_TRUE(view.contains(r)) << where << ": " << panel->objectName().toStdString() << " leaves the view";
            EXPECT_TRUE(r.size().expandedTo(panel->minimumSizeHint()) == r.size())
                << where << ": " << panel->objectName().toStdString() << " is smaller than its contents";
            for (const QRect& band : rects.traceBands)
                EXPECT_FALSE(r.intersects(band)) << where << ": " << panel->objectName().toStdString()
                                                 << " covers a trace at y " << band.top() << ".." << band.bottom();
        }
        for (QWidget* control : View().findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!control->isVisible() || qobject_cast<ChildPanel*>(control)) continue;
            if (control->inherits("QTextBrowser")) continue;  // the comment page: text, not a control
            const QRect r = control->geometry();
            const std::string name = control->objectName().toStdString() + " " + control->metaObject()->className();
            EXPECT_TRUE(view.contains(r)) << where << ": control " << name << " leaves the view";
            for (const QRect& band : rects.traceBands)
                EXPECT_FALSE(r.intersects(band)) << where << ": control " << name << " covers a trace";
            for (ChildPanel* panel : OpenPanels())
                EXPECT_FALSE(r.intersects(panel->geometry()))
                    << where << ": " << panel->objectName().toStdString() << " covers control " << name;
        }
    }
};

TEST_F(DesktopLayoutTest, EveryScreenHoldsAtEveryWindowSize) {
    Start();
    for (const WindowSize& size : kWindowSizes) {
        SCOPED_TRACE(::testing::Message() << size.width << " x " << size.height);
        ResizeWindow(size);
        const ScreenLayout layout = View().Layout();
        EXPECT_EQ(layout.layoutWidth, View().width());
        EXPECT_EQ(layout.displayScale, layout.layoutHeight * 1000 / 630);
        EXPECT_EQ(Doc().strip.StripRight(), layout.layoutWidth - 10);
        EXPECT_LE(Doc().strip.StripBottom(), View().height()) << "the strip is cut off";

        // Heart-model screen with the pacemaker and the stimulator open.
        Command(kCmdHeart2d);
        Command(kCmdPacemaker);
        Command(kCmdStimulator);
        CheckLayout("heart-model screen");
        // The flat heart fills its half: inside the picture's rectangle, and across most of it on
        // one axis at least (the same scale on both).
        const ViewRects rects = View().Rects();
        const QRect model = View().Picture().FittedModelBox();
        EXPECT_TRUE(rects.picture.contains(model)) << "the model leaves its rectangle";
        EXPECT_LT(model.right(), View().width() / 2);
        EXPECT_TRUE(model.width() >= rects.picture.width() * 8 / 10 || model.height() >= rects.picture.height() * 8 / 10)
            << "the model covers " << model.width() << " x " << model.height() << " of " << rects.picture.width()
            << " x " << rects.picture.height();
        SaveShot(size, "heart");

        // ECG screen: the premature-beat panel comes with it.
        Command(kCmdEcgScreen);
        Command(kCmdPacemaker);
        Command(kCmdStimulator);
        EXPECT_TRUE(View().PrematurePanel()->isVisible());
        CheckLayout("ECG screen");
        SaveShot(size, "ecg");
    }
}

TEST_F(DesktopLayoutTest, AResizeKeepsOpenPanelsOffTheTraces) {
    Start();
    ResizeWindow({1920, 1080});
    Command(kCmdEcgScreen);
    Command(kCmdStimulator);
    Command(kCmdPacemaker);
    ResizeWindow({1024, 640});
    CheckLayout("after shrinking the window");
    ResizeWindow({3840, 2160});
    CheckLayout("after growing the window");
}

TEST_F(DesktopLayoutTest, PanelsCloseWithEscapeOrTheirButtonAndComeBack) {
    Start();
    ResizeWindow({1366, 768});
    CORTHO* stimulator = View().StimulatorPanel();
    Command(kCmdStimulator);
    ASSERT_TRUE(stimulator->isVisible());
    QTest::keyClick(stimulator->FieldEdit(0), Qt::Key_Escape);
    EXPECT_FALSE(stimulator->isVisible()) << "Escape closes the stimulator";
    Command(kCmdStimulator);
    EXPECT_TRUE(stimulator->isVisible()) << "the Tools menu brings it back";
    QTest::mouseClick(stimulator->CloseButton(), Qt::LeftButton);
    EXPECT_FALSE(stimulator->isVisible()) << "the close button closes it";

    CPACE* pacemaker = View().PacemakerPanel();
    Command(kCmdPacemaker);
    ASSERT_TRUE(pacemaker->isVisible());
    QTest::keyClick(pacemaker->FieldEdit(0), Qt::Key_Escape);
    EXPECT_FALSE(pacemaker->isVisible());

    CMainDlg* premature = View().PrematurePanel();
    Command(kCmdEcgScreen);
    ASSERT_TRUE(premature->isVisible());
    QTest::mouseClick(premature->CloseButton(), Qt::LeftButton);
    Settle();
    EXPECT_FALSE(premature->isVisible());
    View().update();
    Settle();
    EXPECT_FALSE(premature->isVisible()) << "a repaint leaves a closed panel closed";
    Command(kCmdHeart2d);
    Command(kCmdEcgScreen);
    EXPECT_TRUE(premature->isVisible()) << "the ECG screen brings it back";
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_FALSE(premature->isVisible()) << "Escape in the view closes the panel on top";
}

TEST_F(DesktopLayoutTest, AButtonThatCannotActSaysWhy) {
    Start();
    // The test heart's electrodes are not placed (no settings file).
    CORTHO* stimulator = View().StimulatorPanel();
    Command(kCmdStimulator);
    QTest::mouseClick(stimulator->StartButton(), Qt::LeftButton);
    const QString expected = "Place I.C.1 on a cell first: click I.C.1, then a cell";
    EXPECT_EQ(stimulator->Notice(), expected);
    EXPECT_EQ(Frame().statusBar()->currentMessage(), expected);
    QTest::mouseClick(stimulator->EmergencyButton(), Qt::LeftButton);
    EXPECT_EQ(stimulator->Notice(), expected) << "emergency pacing needs the electrode too";

    CPACE* pacemaker = View().PacemakerPanel();
    Command(kCmdPacemaker);
    pacemaker->ModeList()->setCurrentIndex(kPmVvi);
    QPushButton* ok = nullptr;
    for (QPushButton* button : pacemaker->findChildren<QPushButton*>())
        if (button->text() == "OK") ok = button;
    ASSERT_TRUE(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    Settle();
    EXPECT_FALSE(pacemaker->isVisible()) << "OK applies and closes the dialog";
    EXPECT_TRUE(pacemaker->Notice().contains("lead V ")) << pacemaker->Notice().toStdString();
    EXPECT_FALSE(pacemaker->Notice().contains("lead A")) << "VVI does not use the atrial lead";
    EXPECT_TRUE(Frame().statusBar()->currentMessage().contains("Place the pacemaker lead V"));
    Command(kCmdPacemaker);
    EXPECT_TRUE(pacemaker->Notice().contains("lead V ")) << "the reason shows when the dialog opens again";
}

}  // namespace
}  // namespace vantrel
