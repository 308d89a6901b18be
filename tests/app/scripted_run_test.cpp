// The desktop program started as a script starts it (`vantrel --screenshot FILE --quit-after S`),
// in a process of its own: it ends by itself whatever the settings file holds, and a screenshot
// that cannot be saved is an error that leaves an older picture whole.
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/application.h"
#include "app/settings/settings_file.h"
#include "tests/app/full_disk.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ScriptedRunTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testing::ScratchDirectory("vantrel_scripted_"); }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    struct Outcome {
        bool ended = false;  // by itself, within a wait long enough for a loaded machine
        int exitCode = -1;
        std::string errors;
    };
    Outcome Run(const std::filesystem::path& screenshot) {
        QProcess program;
        program.setWorkingDirectory(QString::fromStdString(dir_.string()));
        program.setProgram(VANTREL_DESKTOP_PROGRAM);
        program.setArguments({"--data", QString::fromStdString((std::filesystem::path(VANTREL_TEST_DIR) / "data").string()),
                              "--screenshot", QString::fromStdString(screenshot.string()), "--quit-after", "0.2"});
        program.start();
        Outcome outcome;
        outcome.ended = program.waitForFinished(120000);
        if (!outcome.ended) program.kill(), program.waitForFinished();
        outcome.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        outcome.errors = program.readAllStandardError().toStdString();
        return outcome;
    }
    std::filesystem::path dir_;
};

TEST_F(ScriptedRunTest, ASettingsValueOutOfRangeNeitherHangsNorComesBack) {
    std::ofstream(dir_ / kSettingsFileName, std::ios::binary) << "PM_AVD 5000;\r\nPM_VVD -40;\r\n";
    const Outcome outcome = Run(dir_ / "shot.png");
    ASSERT_TRUE(outcome.ended) << outcome.errors;
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    EXPECT_FALSE(QImage(QString::fromStdString((dir_ / "shot.png").string())).isNull());
    const std::string written = ReadSettings(dir_ / kSettingsFileName);
    EXPECT_NE(written.find("PM_AVD 160;"), std::string::npos) << written;
    EXPECT_NE(written.find("PM_VVD -40;"), std::string::npos) << written;
}

TEST_F(ScriptedRunTest, AScreenshotOnAFullDiskFailsAndKeepsTheOlderOne) {
    const std::filesystem::path folder = dir_ / "small";
    testing::FullDisk disk(folder);
    const std::filesystem::path shot = folder / "shot.png";
    QImage older(4, 4, QImage::Format_RGB32);
    older.fill(Qt::green);
    ASSERT_TRUE(older.save(QString::fromStdString(shot.string()), "PNG"));
    const std::string olderBytes = Contents(shot);
    disk.Fill();
    const Outcome outcome = Run(shot);
    ASSERT_TRUE(outcome.ended) << outcome.errors;
    EXPECT_EQ(outcome.exitCode, 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find("cannot write"), std::string::npos) << outcome.errors;
    EXPECT_EQ(Contents(shot), olderBytes);
}

TEST_F(ScriptedRunTest, SaveScreenshotSaysWhyItFailed) {
    QPixmap picture(64, 48);
    picture.fill(Qt::red);
    std::string why;
    // A folder in the way of the file, and a folder that does not exist.
    std::filesystem::create_directories(dir_ / "taken.png");
    EXPECT_FALSE(SaveScreenshot(picture, (dir_ / "taken.png").string(), why));
    EXPECT_FALSE(why.empty());
    why.clear();
    EXPECT_FALSE(SaveScreenshot(picture, (dir_ / "missing" / "x.png").string(), why));
    EXPECT_FALSE(why.empty());
    ASSERT_TRUE(SaveScreenshot(picture, (dir_ / "fine.png").string(), why)) << why;
    EXPECT_EQ(QImage(QString::fromStdString((dir_ / "fine.png").string())).size(), QSize(64, 48));
}

}  // namespace
}  // namespace vantrel
