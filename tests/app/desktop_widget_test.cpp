// The desktop program driven as a user drives it, under the offscreen platform: start-up, the
// command rules on each screen, keys, the tone scroll bar, the settings file, the pacemaker
// dialog, and the clock running while the interface edits the model.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>

#include "app/application.h"
#include "app/comment_page.h"
#include "tests/app/desktop_fixture.h"
#include "app/command_table.h"
#include "app/dialogs/pacemaker_dialog.h"
#include "app/dialogs/welcome_dialog.h"
#include "app/main_frame.h"
#include "app/settings/settings_file.h"
#include "app/vantrel_doc.h"
#include "app/vantrel_view.h"
#include "app/view_controls.h"
#include "app/view_events.h"
#include "engine/demo_heart.h"

namespace vantrel {
namespace {

TEST_F(DesktopTest, SimulationRunsOnlyAfterTheWelcomeDialogCloses) {
    bool sawWelcome = false;
    int32_t runModeDuringWelcome = 99;
    bool liveDuringWelcome = true;
    OnNextModal([&](QWidget* modal) {
        sawWelcome = modal->windowTitle() == "Welcome";
        // Space before the Welcome dialog has closed does nothing.
        View().Execute(kCmdStep);
        runModeDuringWelcome = View().RunMode();
        liveDuringWelcome = View().ClockLive();
    });
    Start(false);
    EXPECT_EQ(View().RunMode(), -1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return View().ClockLive(); }, 5000));
    EXPECT_TRUE(sawWelcome);
    EXPECT_EQ(runModeDuringWelcome, -1);
    EXPECT_FALSE(liveDuringWelcome);
    EXPECT_EQ(View().RunMode(), 1);
    EXPECT_EQ(View().DisplayMode(), kScreenHeart);
}

TEST_F(DesktopTest, CommandRulesOnEachScreen) {
    Start();
    struct Rule {
        int id;
        bool onHeart;
        bool onEcg;
    };
    const Rule rules[] = {
        {kCmdEcgScreen, true, true},     {kCmdHeart2d, true, true},     {kCmdStep, true, false},
        {kCmdSpeed, true, false},        {kCmdPacemaker, true, true},   {kCmdStimulator, true, true},
        {kCmdCardioversion, true, true}, {kCmdGrid, true, true},        {kCmdQuit, true, true},
        {kCmdLoadHeart, true, true},     {kCmdInitialValues, true, true}, {kCmdRemodeling, true, true},
        {kCmdRespiration, true, true},   {kCmdTWave, true, true},       {kCmdAbout, true, true},
        {kCmdHeart3d, true, true},       {kCmdPrQtPlot, true, true},
        {kCmdFrozenScreen, true, true},  {kCmdReport, true, true},      {kCmdPrint, false, false},
        {kCmdCommentsFull, true, false}, {kCmdAboutHeart, true, true},
        {kCmdLanguage, true, true},      {kCmdParameters, true, true},  {kCmdSetupApplication, true, true},
        {kCmdAdvanced, true, true},
        // Not part of this build: present and disabled.
        {kCmdRecord, false, false},       {kCmdNoHandler, false, false}, {kCmdCommentsNormal, false, false},
        {kCmdGoBack, false, false},    {kCmdGoForward, false, false},
        {kCmdMoveLeft, false, false},     {kCmdMoveRight, false, false},
    };
    for (const Rule& r : rules) EXPECT_EQ(Enabled(r.id), r.onHeart) << "heart screen, command " << r.id;
    QTest::keyClick(&Frame(), Qt::Key_F5);
    ASSERT_EQ(View().DisplayMode(), kScreenEcg);
    for (const Rule& r : rules) EXPECT_EQ(Enabled(r.id), r.onEcg) << "ECG screen, command " << r.id;
    QTest::keyClick(&Frame(), Qt::Key_F7);
    EXPECT_EQ(View().DisplayMode(), kScreenHeart);

    // Check marks follow the states they show.
    QAction* grid = Frame().Action(kCmdGrid);
    EXPECT_FALSE(grid->isChecked());
    grid->trigger();
    Frame().UpdateCommandStates();
    EXPECT_TRUE(grid->isChecked());
    EXPECT_TRUE(Doc().strip.IsGridOn());
    QAction* tWave = Frame().Action(kCmdTWave);
    EXPECT_TRUE(tWave->isChecked());
    tWave->trigger();
    Frame().UpdateCommandStates();
    EXPECT_FALSE(tWave->isChecked());
    EXPECT_EQ(Doc().heart.tWaveOn, 0);
}

TEST_F(DesktopTest, ScreensShowTheirControls) {
    Start();
    auto* speed = Child<QComboBox>("SpeedList");
    auto* style = Child<QComboBox>("StyleList");
    ASSERT_TRUE(speed && style);
    EXPECT_TRUE(style->isVisible());
    EXPECT_EQ(speed->currentText(), "25");
    EXPECT_EQ(Doc().strip.StripLeft(), Frame().View()->Canvas().width() / 2 + 60);
    QTest::keyClick(&Frame(), Qt::Key_F5);
    QApplication::processEvents();
    EXPECT_FALSE(style->isVisible());
    EXPECT_TRUE(speed->isVisible());
    EXPECT_EQ(Doc().strip.StripLeft(), 65);
    QWidget* panel = Frame().findChild<QWidget*>("PrematureBeatPanel");
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->isVisible());
    QTest::keyClick(&Frame(), Qt::Key_F7);
    QApplication::processEvents();
    EXPECT_FALSE(panel->isVisible());
}

// The comment page in full screen: around it, nothing of the heart screen's picture or strip.
TEST_F(DesktopTest, TheFullScreenCommentPageShowsNothingOfTheScreenBefore) {
    Start();
    QTest::qWait(600);  // the strip has swept some traces
    Frame().Action(kCmdCommentsFull)->trigger();
    QTest::qWait(50);
    ASSERT_EQ(View().DisplayMode(), kScreenComments);
    const auto* page = Frame().findChild<HTMLReader*>();
    ASSERT_TRUE(page && page->isVisible());
    const QImage canvas = View().Canvas().convertToFormat(QImage::Format_RGB32);
    int64_t drawn = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (!page->geometry().contains(x, y) && (canvas.pixel(x, y) & 0xFFFFFF) != 0) ++drawn;
    EXPECT_EQ(drawn, 0) << "pixels of the screen before around the page";
}

TEST_F(DesktopTest, ARightClickOpensTheWelcomeDialogAtTheChapterOfThePlace) {
    Start();
    const int half = View().Canvas().width() / 2;
    const int stripTop = Doc().strip.StripTop();
    struct Place {
        int x, y, chapter;
    };
    const Place places[] = {
        {100, 79, 2}, {100, 80, 1}, {half - 1, 400, 1}, {half + 10, stripTop - 1, 2}, {half + 10, stripTop, 3},
    };
    for (const Place& place : places) {
        int chapter = -1;
        OnNextModal([&](QWidget* modal) {
            if (auto* welcome = qobject_cast<CWelcome*>(modal)) chapter = welcome->Chapter();
        });
        RightClick(&View(), QPoint(place.x, place.y));
        EXPECT_EQ(chapter, place.chapter) << "at " << place.x << ", " << place.y;
    }
}

TEST_F(DesktopTest, ARightClickOpensOneThing) {
    Start();
    CButtonR* svpb = nullptr;
    for (CButtonR* b : Frame().findChildren<CButtonR*>())
        if (b->text() == "SVPB") svpb = b;
    ASSERT_TRUE(svpb && svpb->isVisible());
    const QStringList onSvpb = ModalsOpenedBy([&] { RightClick(svpb, svpb->rect().center()); });
    EXPECT_EQ(onSvpb, QStringList{"vantrel::CAdjustCT"});
    for (const char* list : {"DrugList", "SequenceList"}) {
        auto* box = Child<QComboBox>(list);
        ASSERT_TRUE(box && box->isVisible());
        const QStringList onList = ModalsOpenedBy([&] { RightClick(box, box->rect().center()); });
        EXPECT_EQ(onList, QStringList{"vantrel::CWelcome"}) << list;
    }
}

TEST_F(DesktopTest, SpaceStepsAndTheSpeedToggleCycles) {
    Start();
    ASSERT_EQ(View().RunMode(), 1);
    QTest::keyClick(&Frame(), Qt::Key_Space);
    EXPECT_EQ(View().RunMode(), 0);  // step-by-step pauses the clock
    const int expected[] = {1, 3, 10, 1};
    for (int mode : expected) {
        View().Execute(kCmdSpeed);
        EXPECT_EQ(View().RunMode(), mode);
    }
    View().SetRunMode(-1);
    View().Execute(kCmdSpeed);
    EXPECT_EQ(View().RunMode(), 1);
    // On the ECG screen Space is disabled.
    QTest::keyClick(&Frame(), Qt::Key_F5);
    QTest::keyClick(&Frame(), Qt::Key_Space);
    EXPECT_EQ(View().RunMode(), 1);
}

TEST_F(DesktopTest, ToneScrollBarAndToneMessage) {
    Start();
    auto* bar = Child<QScrollBar>("ToneBar");
    auto* toneValue = Child<QLabel>("ToneValue");
    auto* sinusRate = Child<QLabel>("SinusRate");
    ASSERT_TRUE(bar && toneValue && sinusRate);
    EXPECT_EQ(bar->value(), 114);
    EXPECT_EQ(Doc().heart.tone, 430);  // the bar's start position, applied at the first paint
    EXPECT_EQ(toneValue->text(), "430");

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Doc().heart.tone, 425);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(bar->value(), 105);
    EXPECT_EQ(Doc().heart.tone, 475);
    EXPECT_EQ(toneValue->text(), "475");

    {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        Doc().heart.cellCount = 1;
        Doc().heart.cells[0].SetName("Sinus");
        Doc().heart.cells[0].SetEscape(1500, 500);  // 1000 ms at tone 500: 60 per minute
    }
    Doc().notifier.Send(kMsgTone, 500, 0);
    EXPECT_EQ(bar->value(), 100);
    EXPECT_EQ(Doc().heart.tone, 500);
    // The escape period the cell step uses: square-root tone (int)(sqrt(500) * 31.6) = 706, so
    // 500 + 1000 * 294 / 1000 = 794 ms, 158 ticks, 12000 / 158 = 75 per minute.
    EXPECT_EQ(sinusRate->text(), "75");
    Doc().notifier.Send(kMsgTone, 1000, 0);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(toneValue->text(), "999");
    EXPECT_EQ(sinusRate->text(), "120");
}

TEST_F(DesktopTest, TheToneBarFollowsWheelAndKeysAtOnce) {
    Start();
    auto* bar = Child<QScrollBar>("ToneBar");
    auto* toneValue = Child<QLabel>("ToneValue");
    ASSERT_TRUE(bar && toneValue);
    EXPECT_NE(bar->focusPolicy() & Qt::TabFocus, 0);
    bar->setFocus();
    struct Key {
        Qt::Key key;
        int position;
    };
    const Key keys[] = {{Qt::Key_Down, 115}, {Qt::Key_Down, 116}, {Qt::Key_Up, 115},
                        {Qt::Key_PageUp, 105}, {Qt::Key_PageDown, 115}};
    for (const Key& k : keys) {
        QTest::keyClick(bar, k.key);
        EXPECT_EQ(bar->value(), k.position);
        EXPECT_EQ(Doc().heart.tone, (200 - k.position) * 5) << "after key " << k.key;
        EXPECT_EQ(toneValue->text(), QString::number((200 - k.position) * 5));
    }
    for (int delta : {120, -120, -240}) {
        const int before = bar->value();
        const QPointF at = QPointF(bar->rect().center());
        QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &wheel);
        EXPECT_NE(bar->value(), before) << delta;
        EXPECT_EQ(Doc().heart.tone, (200 - bar->value()) * 5) << "after a wheel turn of " << delta;
    }
}

TEST_F(DesktopTest, MissingSettingsFileGivesTheDefaultsAndIsWrittenAtClose) {
    Start();
    const PacemakerSettings& pm = Frame().findChild<CPACE*>("PacemakerDialog")->Fields();
    EXPECT_EQ(pm.avDelayMs, 160);
    EXPECT_EQ(pm.maxRateBpm, 120);
    EXPECT_EQ(pm.basicRateBpm, 70);
    EXPECT_EQ(pm.vvDelayMs, 0);
    EXPECT_EQ(pm.atrialBlankingMs, 200);
    EXPECT_EQ(pm.ventricularBlankingMs, 200);
    EXPECT_EQ(Child<QComboBox>("StyleList")->currentIndex(), 2);
    EXPECT_EQ(Doc().languageIndex, 0);
    Frame().close();
    const std::string text = ReadSettings(dir_ / kSettingsFileName);
    EXPECT_EQ(text, FormatSettings(SettingsValues{}));
}

TEST_F(DesktopTest, SettingsSurviveARestart) {
    WriteSettingsText("SelCell -1;\r\nSelP1 4;\r\nSelP3 11;\r\nPM_Rate 90;\r\nPM_VBlk 150;\r\n");
    Start();
    EXPECT_EQ(Child<QComboBox>("StyleList")->currentIndex(), 0);  // "-1" reads back as 0
    EXPECT_EQ(Child<QComboBox>("LeadList1")->currentText(), "aVL");
    EXPECT_EQ(Child<QComboBox>("LeadList2")->currentText(), "II");
    EXPECT_EQ(Child<QComboBox>("LeadList3")->currentText(), "V6");
    EXPECT_EQ(Doc().strip.LeadOfTrace(0), 4);
    Child<QComboBox>("LeadList2")->setCurrentIndex(2);
    Frame().close();
    const std::string text = ReadSettings(dir_ / kSettingsFileName);
    EXPECT_EQ(GetInt(text, "SelCell", 2), 0);
    EXPECT_EQ(GetInt(text, "SelP1", 0), 4);
    EXPECT_EQ(GetInt(text, "SelP2", 1), 2);
    EXPECT_EQ(GetInt(text, "PM_Rate", 70), 90);
    EXPECT_EQ(GetInt(text, "PM_VBlk", 200), 150);
    EXPECT_EQ(GetInt(text, "PM_AVD", 0), 160);
}

TEST_F(DesktopTest, PacemakerFieldOutOfRangeKeepsTheDialogOpen) {
    Start();
    auto* dialog = Frame().findChild<CPACE*>("PacemakerDialog");
    ASSERT_TRUE(dialog);
    View().Execute(kCmdPacemaker);
    EXPECT_TRUE(dialog->isVisible());
    QPushButton* ok = nullptr;
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (b->text() == "OK") ok = b;
    }
    ASSERT_TRUE(ok);

    dialog->FieldEdit(0)->setText("2000");  // A-V delay, 5..1000
    QString message;
    OnNextModal([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) message = box->text();
    });
    ok->click();
    EXPECT_EQ(message, "Please enter an integer between 5 and 1000.");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Doc().heart.pmMode, 0);

    dialog->FieldEdit(0)->setText("200");
    dialog->ModeList()->setCurrentIndex(kPmVvi);
    ok->click();
    EXPECT_FALSE(dialog->isVisible());
    std::lock_guard<std::mutex> guard(Doc().heart.lock);
    EXPECT_EQ(Doc().heart.pmMode, kPmVvi);
    EXPECT_EQ(Doc().heart.pmAvDelay, 40);
    EXPECT_EQ(Doc().heart.pmPeriod, 12000 / 70);
}

}  // namespace
}  // namespace vantrel
