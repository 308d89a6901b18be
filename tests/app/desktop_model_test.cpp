// The desktop with real model files: the default model loaded by the document, the load and
// reload commands, the drug and sequence lists with their confirmations, the start sequence at
// the first rate sample, and the models that fail to load.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

#include "engine/premature_beats.h"

#include "app/command_table.h"
#include "app/dialogs/pacemaker_dialog.h"
#include "app/dialogs/premature_panel.h"
#include "app/dialogs/select_heart_dialog.h"
#include "app/dialogs/therapy_confirm_dialog.h"
#include "app/view_events.h"
#include "tests/app/desktop_fixture.h"

namespace vantrel {
namespace {

QStringList Entries(QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
    return entries;
}

// The cell of that name in the loaded model, under the lock.
CCell CellNamed(CCoeur& heart, const char* name) {
    std::lock_guard<std::mutex> guard(heart.lock);
    const int32_t index = heart.FindCell(name);
    EXPECT_GE(index, 0) << name;
    return index >= 0 ? heart.cells[index] : CCell{};
}

using DesktopModelTest = DesktopTest;

TEST_F(DesktopModelTest, TheDocumentLoadsTheDefaultModelAndFillsTheLists) {
    Start();
    EXPECT_TRUE(Doc().ModelLoaded());
    EXPECT_EQ(Doc().heart.cellCount, 7);
    EXPECT_EQ(Frame().windowTitle(), "Vantrel - Heart Model : 1.1 Normal");
    auto* drugs = Child<QComboBox>("DrugList");
    auto* sequences = Child<QComboBox>("SequenceList");
    ASSERT_TRUE(drugs && sequences);
    EXPECT_EQ(Entries(drugs), (QStringList{"No drug / WashOut", "Betablocker", "Class IC"}));
    EXPECT_EQ(sequences->itemText(0), "Actions: Baseline");
    EXPECT_EQ(sequences->itemText(1), "AV block");
    EXPECT_EQ(drugs->currentIndex(), 0);
    EXPECT_EQ(sequences->currentIndex(), 0);
}

TEST_F(DesktopModelTest, TheShippedDefaultModelLoadsWithItsDrugsAndSequences) {
    data_ = ShippedDataDirectory();
    Start();
    EXPECT_TRUE(Doc().ModelLoaded());
    EXPECT_GT(Doc().heart.cellCount, 1);
    EXPECT_TRUE(Doc().notifier.ShownMessages().empty());
    EXPECT_GT(Child<QComboBox>("DrugList")->count(), 1);
    EXPECT_GT(Child<QComboBox>("SequenceList")->count(), 1);
}

TEST_F(DesktopModelTest, ADrugIsAppliedOnlyWhenConfirmed) {
    Start();
    View().SetRunMode(0);
    auto* drugs = Child<QComboBox>("DrugList");
    const CCell before = CellNamed(Doc().heart, "AVN1");

    // "Don't get it": nothing applied, the list back to its first entry.
    QString title, comment, okText, cancelText;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CDrug2*>(modal);
        ASSERT_TRUE(dialog);
        title = dialog->windowTitle();
        comment = dialog->Comment();
        okText = dialog->OkButton()->text();
        cancelText = dialog->CancelButton()->text();
    });
    drugs->setCurrentIndex(1);
    emit drugs->activated(1);
    EXPECT_EQ(title, "Comments about this drug");
    EXPECT_TRUE(comment.startsWith("Betablocker")) << comment.toStdString();
    EXPECT_EQ(okText, "Get it");
    EXPECT_EQ(cancelText, "Don't get it");
    EXPECT_EQ(drugs->currentIndex(), 0);
    EXPECT_EQ(CellNamed(Doc().heart, "AVN1").antCondB, before.antCondB);

    // "Get it": the anterograde pair of the AV cells at 150 % and 200 %, the list on the drug.
    View().SetTherapyAnswer(1);
    drugs->setCurrentIndex(1);
    emit drugs->activated(1);
    EXPECT_EQ(drugs->currentIndex(), 1);
    const CCell after = CellNamed(Doc().heart, "AVN1");
    EXPECT_EQ(after.antCondB, std::max(before.modelAntCondB * 150 / 100, 5));
    EXPECT_EQ(after.antCondH, std::max(before.modelAntCondH * 200 / 100, 5));

    // The drug's automatic end (message 1036) puts the list back on its first entry.
    Doc().notifier.Send(kMsgDrugEnded, 0, 1);
    EXPECT_EQ(drugs->currentIndex(), 0);
    EXPECT_EQ(Doc().therapy.SelectedDrug(), 0);
}

TEST_F(DesktopModelTest, ASequenceIsConfirmedWithItsOwnTexts) {
    Start();
    View().SetRunMode(0);
    auto* sequences = Child<QComboBox>("SequenceList");
    QString title, okText, cancelText;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CSelectSeq*>(modal);
        ASSERT_TRUE(dialog);
        title = dialog->windowTitle();
        okText = dialog->OkButton()->text();
        cancelText = dialog->CancelButton()->text();
    });
    sequences->setCurrentIndex(1);
    emit sequences->activated(1);
    EXPECT_EQ(title, "Comments ");
    EXPECT_EQ(okText, "Do it");
    EXPECT_EQ(cancelText, "Don't do it");
    EXPECT_EQ(sequences->currentIndex(), 0);

    View().SetTherapyAnswer(1);
    sequences->setCurrentIndex(1);
    emit sequences->activated(1);
    EXPECT_EQ(sequences->currentIndex(), 1);
    std::lock_guard<std::mutex> guard(Doc().heart.lock);
    EXPECT_GT(Doc().heart.linkResetCountdown, 0);  // "DUR 30000"
    Doc().notifier.Post(kMsgSequenceEnded, 0, 1);
}

TEST_F(DesktopModelTest, TheStartSequenceRunsAtTheFirstRateSample) {
    Start();
    View().SetRunMode(0);
    const CCell before = CellNamed(Doc().heart, "His");
    // 49 redraw messages: no rate sample yet.
    for (int n = 0; n < 49; ++n) Doc().notifier.Send(kMsgRedraw, 0, 0);
    EXPECT_EQ(CellNamed(Doc().heart, "His").retCondB, before.retCondB);
    Doc().notifier.Send(kMsgRedraw, 0, 0);
    // "CTR His 150", definitive: the model value changes too.
    const CCell after = CellNamed(Doc().heart, "His");
    EXPECT_EQ(after.retCondB, std::max(before.modelRetCondB * 150 / 100, 5));
    EXPECT_EQ(after.modelRetCondB, after.retCondB);
    EXPECT_EQ(Doc().heart.startSequencePending, 0);
    // The rate labels were set by the same sample.
    EXPECT_TRUE(Child<QLabel>("HeartRate")->text().endsWith("bpm"));
    const QString pr = Child<QLabel>("PrLabel")->text();
    EXPECT_TRUE(pr == " - " || pr.startsWith("PR=")) << pr.toStdString();
}

TEST_F(DesktopModelTest, LoadHeartModelOpensTheChosenFile) {
    Start();
    auto* pacemaker = Frame().findChild<CPACE*>("PacemakerDialog");
    pacemaker->ModeList()->setCurrentIndex(kPmVvi);
    QStringList offered;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CSelectHeart*>(modal);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), "Select a Heart Model");
        offered = Entries(dialog->List());
        dialog->List()->setCurrentIndex(1);
        dialog->accept();
    });
    Frame().Action(kCmdLoadHeart)->trigger();
    EXPECT_EQ(offered, (QStringList{"1.1 Normal", "Second heart"}));
    QApplication::processEvents();
    EXPECT_EQ(Frame().windowTitle(), "Vantrel - Heart Model : Second heart");
    EXPECT_EQ(View().RunMode(), 1);
    EXPECT_EQ(pacemaker->ModeList()->currentIndex(), kPmNone);
    EXPECT_EQ(Child<QComboBox>("DrugList")->count(), 3);

    // "Initial Values" reloads that model.
    View().SetRunMode(0);
    Frame().Action(kCmdInitialValues)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(View().RunMode(), 1);
    EXPECT_EQ(Doc().heart.currentModelName, "Second heart.hmd");
}

TEST_F(DesktopModelTest, AMissingDefaultModelIsReportedAndTheProgramGoesOn) {
    std::filesystem::remove(data_ / "Clinic" / "1.1 Normal.hmd");
    QString title, text;
    OnNextModal([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            title = box->windowTitle();
            text = box->text();
        }
    });
    Start();
    EXPECT_EQ(title, "Error");
    EXPECT_TRUE(text.startsWith("Fichier : ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" no openable")) << text.toStdString();
    EXPECT_FALSE(Doc().ModelLoaded());
    EXPECT_EQ(Doc().heart.cellCount, 0);
}

TEST_F(DesktopModelTest, ABodyErrorInTheDefaultModelEndsTheProgramBeforeAnyWindow) {
    WriteModel("1.1 Normal.hmd", "Version 3\r\nNoSuchCommand\r\n");
    options_.skipChecksum = true;
    QString title, text;
    OnNextModal([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            title = box->windowTitle();
            text = box->text();
        }
    });
    AppOptions options = options_;
    options.dataDirectory = data_.string();
    session_ = CreateDesktop(options);
    EXPECT_FALSE(session_.frame);
    EXPECT_TRUE(session_.doc->notifier.EndRequested());
    EXPECT_EQ(title, "Error Message");
    EXPECT_TRUE(text.contains("NoSuchCommand")) << text.toStdString();
}

// Whatever is wrong with the model a user picks, the message is shown and the heart that was
// running goes on: same title, same lists, same cells, the strip still moving; "Initial Values"
// then reloads that heart, not the broken file.
TEST_F(DesktopModelTest, ABrokenModelLeavesThePreviousModelRunning) {
    std::string good;
    {
        std::ifstream in(data_ / "Clinic" / "Second heart.hmd", std::ios::binary);
        good.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string badSum = good;
    badSum.replace(badSum.find("CS=103549"), 9, "CS=1");
    struct Case {
        const char* name;
        std::string text;
        const char* title;
    };
    const Case cases[] = {
        {"Body error", "Version 3\r\nNoSuchCommand\r\n", "Error Message"},
        {"Bad sum", badSum, "Error Message"},
        {"Wrong version", "Version 7\r\n", "Error"},
        {"Unclosed bracket", "Version 3\r\n#Var mA\r\nmA=2*sin(30\r\n", "Error Message"},
    };
    Start();
    const QString title = Frame().windowTitle();
    const QStringList drugs = Entries(Child<QComboBox>("DrugList"));
    for (const Case& c : cases) {
        WriteModel(std::string(c.name) + ".hmd", c.text);
        QString shownTitle, shownText;
        OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<CSelectHeart*>(modal);
            ASSERT_TRUE(dialog);
            dialog->List()->setCurrentIndex(dialog->List()->findText(c.name));
            dialog->accept();
            OnNextModal([&](QWidget* box) {
                shownTitle = box->windowTitle();
                if (auto* message = qobject_cast<QMessageBox*>(box)) shownText = message->text();
            });
        });
        Frame().Action(kCmdLoadHeart)->trigger();
        EXPECT_EQ(shownTitle.toStdString(), c.title) << c.name << ": " << shownText.toStdString();
        EXPECT_FALSE(Doc().notifier.EndRequested()) << c.name;
        EXPECT_TRUE(Frame().isVisible()) << c.name;
        EXPECT_EQ(View().RunMode(), 1) << c.name;
        {
            std::lock_guard<std::mutex> guard(Doc().heart.lock);
            EXPECT_EQ(Doc().heart.cellCount, 7) << c.name;
            EXPECT_GE(Doc().heart.FindCell("Sinus"), 0) << c.name;
            EXPECT_EQ(Doc().heart.currentModelName, "") << c.name;  // the default model's name
        }
        QTest::qWait(50);  // a tone or title posted by the failed load would arrive now
        EXPECT_EQ(Frame().windowTitle(), title) << c.name;
        EXPECT_EQ(Entries(Child<QComboBox>("DrugList")), drugs) << c.name;
        const int32_t drawn = Doc().strip.DrawnIndex();
        EXPECT_TRUE(QTest::qWaitFor([&] { return Doc().strip.DrawnIndex() > drawn + 20; }, 5000)) << c.name;
    }
    // "Initial Values" reloads the running heart without a word.
    const QStringList opened = ModalsOpenedBy([&] { Frame().Action(kCmdInitialValues)->trigger(); });
    EXPECT_TRUE(opened.isEmpty()) << opened.join(", ").toStdString();
    EXPECT_TRUE(Doc().ModelLoaded());
    EXPECT_EQ(Doc().heart.cellCount, 7);
    EXPECT_EQ(View().RunMode(), 1);
}

TEST_F(DesktopModelTest, TheBigeminyBoxesShowTheEngineAfterALoad) {
    Start();
    {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        Doc().heart.svpbBgTgCell = Doc().heart.FindCell("RA1");
        Doc().heart.vpbBgTgCell = Doc().heart.FindCell("LV1");
    }
    Frame().Action(kCmdEcgScreen)->trigger();
    auto* panel = Frame().findChild<CMainDlg*>();
    ASSERT_TRUE(panel);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->isVisible(); }, 2000));
    for (bool ventricular : {false, true}) {
        QCheckBox* box = panel->BigeminyBox(ventricular);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        EXPECT_TRUE(box->isChecked());
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        EXPECT_TRUE(BigeminyRunning(Doc().heart, ventricular)) << ventricular;
    }
    Frame().Action(kCmdInitialValues)->trigger();
    for (bool ventricular : {false, true}) {
        EXPECT_FALSE(panel->BigeminyBox(ventricular)->isChecked()) << ventricular;
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        EXPECT_FALSE(BigeminyRunning(Doc().heart, ventricular)) << ventricular;
    }
}

TEST_F(DesktopModelTest, TheSinusRateBesideTheToneBarIsTheRateTheSinusRunsAt) {
    data_ = ShippedDataDirectory();
    Start();
    CCell sinus;
    int32_t tone = 0;
    {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        const int32_t index = Doc().heart.FindCell("Sinus");
        ASSERT_GE(index, 0);
        sinus = Doc().heart.cells[index];
        tone = Doc().heart.tone;
    }
    EXPECT_EQ(tone, 430);  // the bar's start position
    // The cell step's escape period: the square-root tone (int)(sqrt(430) * 31.6) = 655.
    const int32_t escapeMs = sinus.escapeH + (sinus.escapeB - sinus.escapeH) * (1000 - 655) / 1000;
    EXPECT_EQ(Child<QLabel>("SinusRate")->text(), QString::number(12000 / (escapeMs / 5)));
    EXPECT_EQ(Child<QLabel>("SinusRate")->text(), "74");  // what the default heart runs at
}

TEST_F(DesktopModelTest, ShowChecksumTellsTheSumAndStillLoads) {
    options_.showChecksum = true;
    QString title, text;
    OnNextModal([&](QWidget* modal) {
        title = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
    });
    Start();
    EXPECT_EQ(title, "Interesting Message");
    EXPECT_EQ(text, "The CheckSum is 103549");
    EXPECT_TRUE(Doc().ModelLoaded());
}

TEST_F(DesktopModelTest, SkipChecksumLoadsAModelWithAWrongSum) {
    std::string text;
    {
        std::ifstream in(data_ / "Clinic" / "Second heart.hmd", std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    text.replace(text.find("CS=103549"), 9, "CS=1");
    WriteModel("1.1 Normal.hmd", text);
    options_.skipChecksum = true;
    Start();
    EXPECT_TRUE(Doc().ModelLoaded());
    EXPECT_EQ(Doc().heart.cellCount, 7);
}

// A settings file with a pacemaker value outside its range, and a field refused at close: the
// scripted run still ends by itself, and the file it writes is valid.
TEST_F(DesktopModelTest, AScriptedRunEndsByItselfWhateverItHasToSay) {
    WriteSettingsText("PM_AVD 5000;\r\nPM_Rate 90;\r\n");
    options_.dataDirectory = data_.string();
    options_.quitAfterSeconds = 0.2;
    for (bool refusedAtClose : {false, true}) {
        session_ = CreateDesktop(options_);
        ASSERT_TRUE(session_.frame);
        int exitStatus = 0;
        ArmScriptedRun(session_, options_, exitStatus);
        Frame().show();
        auto* pacemaker = Frame().findChild<CPACE*>("PacemakerDialog");
        ASSERT_TRUE(pacemaker);
        EXPECT_EQ(pacemaker->Fields().avDelayMs, 160);
        if (refusedAtClose) pacemaker->FieldEdit(0)->setText("2000");
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_FALSE(Frame().isVisible());
        const SettingsValues written = SettingsFromText(ReadSettings(dir_ / kSettingsFileName));
        EXPECT_EQ(written.pmAvDelay, 160);
        EXPECT_EQ(written.pmRate, 90);
        EXPECT_NE(ReadSettings(dir_ / kSettingsFileName).find("PM_AVD 160;"), std::string::npos);
        session_.frame.reset();
        session_.doc.reset();
    }
}

TEST_F(DesktopModelTest, AScriptedRunGrabsTheWindowAndClosesItTheNormalWay) {
    options_.dataDirectory = data_.string();
    options_.screenshotFile = (dir_ / "shot.png").string();
    options_.quitAfterSeconds = 0.2;
    session_ = CreateDesktop(options_);
    ASSERT_TRUE(session_.frame);
    int exitStatus = 0;
    ArmScriptedRun(session_, options_, exitStatus);
    Frame().show();
    EXPECT_EQ(QApplication::exec(), 0);  // no Welcome dialog to close by hand
    EXPECT_EQ(exitStatus, 0);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_GE(Doc().heart.tickCount, 40);
    const QImage shot(QString::fromStdString(options_.screenshotFile));
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), Frame().size());
    EXPECT_TRUE(std::filesystem::exists(dir_ / kSettingsFileName));
}

}  // namespace
}  // namespace vantrel
