// The desktop with real model files: the default model loaded by the document, the load and
// reload commands, the drug and sequence lists with their confirmations, the start sequence at
// the first rate sample, and the models that fail to load.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <mutex>

#include "app/command_table.h"
#include "app/dialogs/pacemaker_dialog.h"
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

TEST_F(DesktopModelTest, ABodyErrorInALaterLoadClosesTheWindowInOrder) {
    Start();
    WriteModel("Broken.hmd", "Version 3\r\nNoSuchCommand\r\n");
    Doc().options.skipChecksum = true;
    // The message box comes after the dialog, once the model lock has been released.
    QString title;
    OnNextModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<CSelectHeart*>(modal);
        ASSERT_TRUE(dialog);
        dialog->List()->setCurrentIndex(dialog->List()->findText("Broken"));
        dialog->accept();
        OnNextModal([&](QWidget* box) { title = box->windowTitle(); });
    });
    Frame().Action(kCmdLoadHeart)->trigger();
    EXPECT_EQ(title, "Error Message");
    EXPECT_TRUE(Doc().notifier.EndRequested());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !Frame().isVisible(); }, 5000));
    // Closed the normal way: the settings file was written.
    EXPECT_TRUE(std::filesystem::exists(dir_ / kSettingsFileName));
    // The end asked the application's event loop to leave; no loop ran here, so the request
    // still stands and would end every later modal dialog at once.  One turn of the
    // application's loop takes it.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
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
