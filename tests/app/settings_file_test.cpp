#include "app/settings/settings_file.h"
#include "tests/scratch_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vantrel {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testing::ScratchDirectory("vantrel_settings_");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path File() const { return dir_ / kSettingsFileName; }
    void Write(const std::string& text) const {
        std::ofstream out(File(), std::ios::binary);
        out << text;
    }
    std::filesystem::path dir_;
};

TEST_F(SettingsFileTest, MissingFileGivesEmptyTextAndEveryDefault) {
    const std::string text = ReadSettings(File());
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(GetInt(text, "SelCell", 2), 2);
    EXPECT_EQ(GetInt(text, "PM_Rate", 70), 70);
    EXPECT_EQ(GetInt(text, "Language", 0), 0);
}

TEST_F(SettingsFileTest, ValuesReadAsWritten) {
    struct Case {
        const char* text;
        const char* key;
        int32_t fallback;
        int32_t expected;
    };
    const Case cases[] = {
        {"SelCell -1;\r\n", "SelCell", 2, 0},       // the sign stops the digits
        {"Language 12;\r\n", "Language", 0, 12},
        {"PM_Rate ;\r\n", "PM_Rate", 70, 0},         // present without digits: 0, not the default
        {"PM_MaxRate 150;\r\n", "PM_Rate", 70, 70},  // a longer key does not hide the missing one
        {"SelP1 3;\r\nSelP1 9;\r\n", "SelP1", 0, 3},  // the first occurrence wins
        {"SelX1=42;", "SelX1", 0, 42},               // any one separator character
        {"PM_AVD 99999999999;", "PM_AVD", 160, 2147483647},  // saturates instead of wrapping
        {"", "SelP3", 6, 6},
    };
    for (const Case& c : cases) EXPECT_EQ(GetInt(c.text, c.key, c.fallback), c.expected) << c.text;
}

TEST_F(SettingsFileTest, OnlyTheFirstThousandBytesAreRead) {
    std::string text = "SelP1 4;\r\n";
    text.append(1000 - text.size() - 6, ' ');
    text += "SelP2 5;\r\n";  // its key ends at byte 999, its value is beyond the cut
    text += "SelP3 2;\r\n";
    text.append(1500 - text.size(), ' ');
    Write(text);
    const std::string read = ReadSettings(File());
    EXPECT_EQ(read.size(), 1000u);
    EXPECT_EQ(GetInt(read, "SelP1", 0), 4);
    EXPECT_EQ(GetInt(read, "SelP2", 1), 0);  // present, but no digit before the cut
    EXPECT_EQ(GetInt(read, "SelP3", 6), 6);
}

TEST_F(SettingsFileTest, TextStopsAtTheFirstNul) {
    Write(std::string("SelP1 4;\r\n\0SelP2 5;\r\n", 20));
    const std::string read = ReadSettings(File());
    EXPECT_EQ(GetInt(read, "SelP2", 1), 1);
}

TEST_F(SettingsFileTest, WritesTheEighteenLinesInOrder) {
    ASSERT_TRUE(WriteSettings(File(), SettingsValues{}));
    std::ifstream in(File(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text,
              "SelCell 2;\r\nSelP1 0;\r\nSelP2 1;\r\nSelP3 6;\r\nSelX1 0;\r\nSelX2 0;\r\nSelX3 0;\r\nSelX4 0;\r\n"
              "SelPMA1 0;\r\nSelPMV1 0;\r\nSelPMV2 0;\r\nPM_AVD 160;\r\nPM_MaxRate 120;\r\nPM_Rate 70;\r\n"
              "PM_VVD 0;\r\nPM_ABlk 200;\r\nPM_VBlk 200;\r\nLanguage 0;\r\n");
}

TEST_F(SettingsFileTest, RoundTripKeepsEveryValue) {
    SettingsValues values;
    values.selCell = 5;
    values.selLead[0] = 11;
    values.electrodeCell[2] = 40;  // written as 41
    values.pmRate = 90;
    values.languageIndex = 3;
    ASSERT_TRUE(WriteSettings(File(), values));
    const std::string text = ReadSettings(File());
    EXPECT_EQ(GetInt(text, "SelCell", 2), 5);
    EXPECT_EQ(GetInt(text, "SelP1", 0), 11);
    EXPECT_EQ(GetInt(text, "SelX3", 0) - 1, 40);
    EXPECT_EQ(GetInt(text, "PM_Rate", 70), 90);
    EXPECT_EQ(GetInt(text, "Language", 0), 3);
}

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileWhole) {
    Write("SelCell 7;\r\n");
    // The folder of the file is replaced by a plain file: nothing can be created in it.
    const std::filesystem::path blocked = dir_ / "blocked" / kSettingsFileName;
    std::ofstream(dir_ / "blocked") << "not a folder";
    EXPECT_FALSE(WriteSettings(blocked, SettingsValues{}));
    // A temporary left behind by a crash does not disturb the next write: each write makes a
    // temporary file of its own, and leaves none behind.
    std::ofstream(dir_ / "Vantrel.cfg.tmp") << "partial";
    ASSERT_TRUE(WriteSettings(File(), SettingsValues{}));
    EXPECT_EQ(GetInt(ReadSettings(File()), "SelCell", -5), 2);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_)) ++files;
    EXPECT_EQ(files, 3);  // the settings, the old partial temporary, the "blocked" file
}

}  // namespace
}  // namespace vantrel
