// The frozen screen in the running program: F6 and its sweep speed, the clicks in the trend, the
// moves, the print queue printed on a change of screen, and the 12-lead report, with the print
// jobs sent to PDF files.
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <edflib.h>

#include "app/command_table.h"
#include "app/engine_control.h"
#include "tests/app/desktop_fixture.h"

namespace vantrel {
namespace {

class DesktopFrozenTest : public DesktopTest {
protected:
    void ChooseSpeed(const char* text) {
        auto* speed = Child<QComboBox>("SpeedList");
        ASSERT_TRUE(speed);
        const int index = speed->findText(text);
        speed->setCurrentIndex(index);
        emit speed->activated(index);
    }
    void Click(int x, int y) { QTest::mouseClick(&View(), Qt::LeftButton, {}, QPoint(x, y)); }
};

TEST_F(DesktopFrozenTest, FreezingKeepsItsOwnSweepSpeedAndTheHeartRuns) {
    Start();
    auto* speed = Child<QComboBox>("SpeedList");
    ASSERT_TRUE(speed);
    EXPECT_FALSE(Enabled(kCmdPrint));
    QTest::keyClick(&Frame(), Qt::Key_F6);
    EXPECT_EQ(View().DisplayMode(), kScreenFrozen);
    EXPECT_EQ(speed->currentText(), "50");
    EXPECT_TRUE(Enabled(kCmdPrint));
    EXPECT_TRUE(Enabled(kCmdMoveLeft));
    ChooseSpeed("100");
    int32_t tick = 0;
    {
        std::lock_guard<std::mutex> guard(Doc().heart.lock);
        tick = Doc().heart.tickCount;
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            std::lock_guard<std::mutex> guard(Doc().heart.lock);
            return Doc().heart.tickCount > tick + 20;
        },
        5000));
    QTest::keyClick(&Frame(), Qt::Key_F5);
    EXPECT_EQ(speed->currentText(), "25");
    EXPECT_FALSE(Enabled(kCmdPrint));
    QTest::keyClick(&Frame(), Qt::Key_F6);
    EXPECT_EQ(speed->currentText(), "100");
}

TEST_F(DesktopFrozenTest, TrendClicksAndMoves) {
    Start();
    QTest::keyClick(&Frame(), Qt::Key_F6);
    QApplication::processEvents();
    Click(439, 100);
    EXPECT_EQ(View().FrozenOffset(), 5);
    Click(440, 100);  // right of the trend: nothing
    EXPECT_EQ(View().FrozenOffset(), 5);
    Click(80, 100);
    EXPECT_EQ(View().FrozenOffset(), 900);
    Click(300, 100);
    EXPECT_EQ(View().FrozenOffset(), 900 - 110 * 5);

    // Each case: a click that shows `from` (a multiple of 5), then two presses of the same arrow.
    struct Case {
        const char* speed;
        int32_t from;
        Qt::Key key;
        int32_t after1, after2;
    } cases[] = {
        {"25", 350, Qt::Key_Left, 354, 358},  {"25", 5, Qt::Key_Right, 1, 1},  // 1 is below a step of 4
        {"50", 10, Qt::Key_Right, 8, 6},      {"100", 10, Qt::Key_Right, 9, 8},
        {"12,5", 10, Qt::Key_Left, 18, 26},   {"12,5", 895, Qt::Key_Left, 903, 903},  // none from 900 on
    };
    for (const Case& c : cases) {
        ChooseSpeed(c.speed);
        Click(80 + 2 * ((900 - c.from) / 5), 100);
        ASSERT_EQ(View().FrozenOffset(), c.from) << c.speed;
        QTest::keyClick(&Frame(), c.key);
        EXPECT_EQ(View().FrozenOffset(), c.after1) << c.speed << " from " << c.from;
        QTest::keyClick(&Frame(), c.key);
        EXPECT_EQ(View().FrozenOffset(), c.after2) << c.speed << " from " << c.from;
    }
}

TEST_F(DesktopFrozenTest, QueuedStripsPrintOnAChangeOfScreen) {
    Start();
    const auto pdf = dir_ / "strips.pdf";
    View().SetPrintTarget(QString::fromStdString(pdf.string()));
    QTest::keyClick(&Frame(), Qt::Key_F6);
    QApplication::processEvents();
    Click(400, 100);  // 100 s before the freeze
    ASSERT_EQ(View().FrozenOffset(), 100);
    QTest::keyClick(&Frame(), Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(&Frame(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(View().PrintCount(), 2);
    EXPECT_EQ(View().FrozenOffset(), 86);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    QTest::keyClick(&Frame(), Qt::Key_F5);
    EXPECT_EQ(View().PrintCount(), 0);
    EXPECT_EQ(View().DisplayMode(), kScreenEcg);
    EXPECT_TRUE(std::filesystem::exists(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
}

TEST_F(DesktopFrozenTest, TwelveLeadReportFromTheLiveAndTheFrozenScreens) {
    Start();
    for (Qt::Key screen : {Qt::Key_F5, Qt::Key_F6}) {
        const auto pdf = dir_ / ("report" + std::to_string(static_cast<int>(screen)) + ".pdf");
        View().SetPrintTarget(QString::fromStdString(pdf.string()));
        QTest::keyClick(&Frame(), screen);
        Frame().Action(kCmdReport)->trigger();
        EXPECT_TRUE(std::filesystem::exists(pdf)) << screen;
    }
}

TEST_F(DesktopFrozenTest, RecordingOfTheFrozenStretchToANewFile) {
    Start();
    EXPECT_FALSE(Enabled(kCmdRecord));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::lock_guard<std::mutex> guard(Doc().heart.lock);
            return Doc().heart.tickCount > 400;  // 2 s
        },
        10000));
    EngineControl(Doc()).PressPremature(PrematureBeatCommand::Vpb);
    QTest::qWait(100);
    QTest::keyClick(&Frame(), Qt::Key_F6);
    ASSERT_TRUE(Enabled(kCmdRecord));
    const int32_t kept = Doc().frozen.samplesKept;
    ASSERT_GE(kept, 400);
    // Names that do not exist yet, with either extension.
    for (const char* name : {"new.edf", "new.ecg"}) {
        const auto path = dir_ / name;
        OnNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_TRUE(dialog);
            EXPECT_EQ(dialog->windowTitle(), "Select a ECG file");
            // The name is given whole with its extension; the default suffix applies only to a bare
            // name.  (Switching the filter first makes the toolkit's dialog drop the chosen name.)
            dialog->selectFile(QString::fromStdString(path.string()));
            // Typed into the name field as a user would.
            if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
                edit->setText(QString::fromStdString(path.string()));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        Frame().Action(kCmdRecord)->trigger();
        const auto written = path;
        ASSERT_TRUE(std::filesystem::exists(written)) << name;
        edf_hdr_struct header;
        ASSERT_EQ(edfopen_file_readonly(written.string().c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS), 0) << name;
        // The frozen samples, 5 ms each (a started data record is completed).
        const double seconds = static_cast<double>(header.file_duration) / EDFLIB_TIME_DIMENSION;
        EXPECT_GE(seconds, kept / 200.0 - 0.01) << name;
        EXPECT_LT(seconds, kept / 200.0 + 5.0) << name;
        EXPECT_GE(header.edfsignals, 21) << name;
        // The premature beat given before the freeze, as an annotation.
        bool vpb = false;
        for (long long n = 0; n < header.annotations_in_file; ++n) {
            edf_annotation_struct annotation;
            if (edf_get_annotation(header.handle, static_cast<int>(n), &annotation) == 0 &&
                std::string(annotation.annotation) == "VPB")
                vpb = true;
        }
        EXPECT_TRUE(vpb) << name;
        edfclose_file(header.handle);
    }
}

}  // namespace
}  // namespace vantrel
