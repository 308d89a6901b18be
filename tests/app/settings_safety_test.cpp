// The settings file as the user left it on disk: values outside their ranges, a negative V-V'
// delay, a file made read-only, a symbolic link, a folder that cannot be written, a full disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings/settings_file.h"
#include "tests/app/full_disk.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SettingsSafetyTest : public ::testing::Test {
protected:
    void SetUp() override { dir_ = testing::ScratchDirectory("vantrel_settings_safety_"); }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }
    std::filesystem::path File() const { return dir_ / kSettingsFileName; }
    static SettingsValues Changed() {
        SettingsValues values;
        values.pmRate = 90;
        values.pmVvDelay = -40;
        return values;
    }
    std::filesystem::path dir_;
};

TEST(SettingsValuesTest, AValueOutsideItsRangeTakesItsDefault) {
    struct Case {
        const char* text;
        int32_t SettingsValues::*field;
        int32_t expected;
    };
    const Case cases[] = {
        {"PM_AVD 5000;", &SettingsValues::pmAvDelay, 160},  // the value that hung the scripted run
        {"PM_AVD 4;", &SettingsValues::pmAvDelay, 160},
        {"PM_AVD 5;", &SettingsValues::pmAvDelay, 5},
        {"PM_MaxRate 301;", &SettingsValues::pmMaxRate, 120},
        {"PM_Rate 29;", &SettingsValues::pmRate, 70},
        {"PM_Rate 200;", &SettingsValues::pmRate, 200},
        {"PM_VVD -40;", &SettingsValues::pmVvDelay, -40},  // negative range: the sign is read
        {"PM_VVD -100;", &SettingsValues::pmVvDelay, -100},
        {"PM_VVD -101;", &SettingsValues::pmVvDelay, 0},
        {"PM_VVD 101;", &SettingsValues::pmVvDelay, 0},
        {"PM_ABlk 1001;", &SettingsValues::pmAtrialBlanking, 200},
        {"PM_VBlk 0;", &SettingsValues::pmVentricularBlanking, 0},
        {"SelCell 11;", &SettingsValues::selCell, 2},
        {"SelCell -1;", &SettingsValues::selCell, 0},  // no sign here: "-1" reads as 0
        {"Language 12;", &SettingsValues::languageIndex, 12},
    };
    for (const Case& c : cases) EXPECT_EQ(SettingsFromText(c.text).*c.field, c.expected) << c.text;
    EXPECT_EQ(SettingsFromText("SelP1 17;SelP2 16;").selLead[0], 0);
    EXPECT_EQ(SettingsFromText("SelP1 17;SelP2 16;").selLead[1], 16);
    EXPECT_EQ(SettingsFromText("SelX1 1001;SelX2 5;").electrodeCell[0], -1);
    EXPECT_EQ(SettingsFromText("SelX1 1001;SelX2 5;").electrodeCell[1], 4);
    EXPECT_EQ(GetSignedInt("PM_VVD -;", "PM_VVD", 7), 0);
    EXPECT_EQ(GetSignedInt("PM_VVD 12;", "PM_VVD", 7), 12);
}

TEST_F(SettingsSafetyTest, ANegativeVvDelaySurvivesARestart) {
    ASSERT_TRUE(WriteSettings(File(), Changed()));
    EXPECT_NE(Contents(File()).find("PM_VVD -40;\r\n"), std::string::npos);
    EXPECT_EQ(SettingsFromText(ReadSettings(File())).pmVvDelay, -40);
}

TEST_F(SettingsSafetyTest, AReadOnlyFileIsLeftAsItIs) {
    std::ofstream(File(), std::ios::binary) << "SelCell 7;\r\n";
    std::filesystem::permissions(File(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    std::string why;
    EXPECT_FALSE(WriteSettings(File(), Changed(), &why));
    EXPECT_NE(why.find("read-only"), std::string::npos) << why;
    EXPECT_EQ(Contents(File()), "SelCell 7;\r\n");
    EXPECT_EQ(std::filesystem::status(File()).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
}

TEST_F(SettingsSafetyTest, ALinkIsWrittenThroughToItsTarget) {
    std::filesystem::create_directories(dir_ / "kept");
    const std::filesystem::path target = dir_ / "kept" / "mine.cfg";
    std::ofstream(target, std::ios::binary) << "SelCell 7;\r\n";
    std::filesystem::create_symlink(std::filesystem::path("kept") / "mine.cfg", File());
    ASSERT_TRUE(WriteSettings(File(), Changed()));
    EXPECT_TRUE(std::filesystem::is_symlink(File()));
    EXPECT_EQ(Contents(target), FormatSettings(Changed()));
    // A link to a file that does not exist yet creates it.
    std::filesystem::remove(target);
    ASSERT_TRUE(WriteSettings(File(), Changed()));
    EXPECT_TRUE(std::filesystem::is_symlink(File()));
    EXPECT_EQ(Contents(target), FormatSettings(Changed()));
}

TEST_F(SettingsSafetyTest, AFolderThatCannotBeWrittenStillGetsTheFileRewritten) {
    std::ofstream(File(), std::ios::binary) << "SelCell 7;\r\n";
    // Nobody may create a file in the folder (an administrator still can: then the usual way
    // through a temporary file is taken, with the same result).
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_TRUE(WriteSettings(File(), Changed()));
    EXPECT_EQ(Contents(File()), FormatSettings(Changed()));
}

TEST_F(SettingsSafetyTest, AFullDiskLeavesTheOlderFileWhole) {
    const std::filesystem::path folder = dir_ / "small";
    testing::FullDisk disk(folder);
    const std::filesystem::path file = folder / kSettingsFileName;
    const std::string older = FormatSettings(SettingsValues{});
    std::ofstream(file, std::ios::binary) << older;
    disk.Fill();
    std::string why;
    EXPECT_FALSE(WriteSettings(file, Changed(), &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(Contents(file), older);
}

}  // namespace
}  // namespace vantrel
