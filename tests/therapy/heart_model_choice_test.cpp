// The model files the "Select a Heart Model" dialog offers, their translated names and the name
// it hands to the load.
#include <gtest/gtest.h>

#include <fstream>

#include "engine/program_wide.h"
#include "model/therapy/heart_model_choice.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

class HeartModelChoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        dataDir = testing::ScratchDirectory("vantrel_choice_");
        fs::create_directories(dataDir / "Clinic");
    }
    void TearDown() override {
        fs::remove_all(dataDir);
        Program().translation = TranslationTable{};
    }
    void Touch(const std::string& name) { std::ofstream(dataDir / "Clinic" / name) << "x"; }
    std::vector<std::string> Shown() const {
        std::vector<std::string> shown;
        for (const auto& entry : choice.Entries()) shown.push_back(entry.shown);
        return shown;
    }

    fs::path dataDir;
    HeartModelChoice choice;
};

TEST_F(HeartModelChoiceTest, ListsModelFilesByNameAndChoosesTheFirst) {
    for (const char* name : {"2.1 Flutter.hmd", "1.1 Normal.hmd", "10 Other.hmd", "notes.txt",
                             "Upper.HMD", "a.hmd.bak", ".hmd", "b lower.hmd"})
        Touch(name);
    fs::create_directories(dataDir / "Clinic" / "folder.hmd");
    choice.Open(dataDir);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"1.1 Normal", "10 Other", "2.1 Flutter", "b lower"}));
    EXPECT_EQ(choice.Selected(), 0);
    EXPECT_EQ(choice.ChosenName(), "1.1 Normal.hmd");
    choice.Select(2);
    EXPECT_EQ(choice.ChosenName(), "2.1 Flutter.hmd");
    choice.Select(7);
    EXPECT_EQ(choice.ChosenName(), "2.1 Flutter.hmd") << "outside the list: unchanged";
}

TEST_F(HeartModelChoiceTest, TranslatedNamesShowButTheirFileIsChosen) {
    Touch("1.1 Normal.hmd");
    Touch("2.1 Flutter.hmd");
    Program().translation = {"Language\r\n1.1 Normal\t1.1 Coeur normal\r\n2.1 Flutter\t" +
                                 std::string(200, 'F') + "\r\n", true};
    choice.Open(dataDir);
    EXPECT_EQ(Shown()[0], "1.1 Coeur normal");
    EXPECT_EQ(Shown()[1], std::string(126, 'F')) << "cut to 126 characters";
    EXPECT_EQ(choice.ChosenName(), "1.1 Normal.hmd") << "the file, not the translated text";
    choice.Select(1);
    EXPECT_EQ(choice.ChosenName(), "2.1 Flutter.hmd");
}

TEST_F(HeartModelChoiceTest, EveryOneOfManyTranslatedFilesOpensItsOwnFile) {
    for (int i = 0; i < 60; ++i) {
        const std::string base = "Model " + std::string(i < 10 ? "0" : "") + std::to_string(i);
        Touch(base + ".hmd");
        Program().translation.languageText += "\r\n" + base + "\tSame name";  // all read alike
        Program().translation.active = true;
    }
    choice.Open(dataDir);
    ASSERT_EQ(choice.Entries().size(), 60u);
    for (int i = 0; i < 60; ++i) {
        choice.Select(i);
        EXPECT_EQ(choice.Entries()[i].shown, "Same name");
        EXPECT_EQ(choice.ChosenName(), "Model " + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".hmd");
    }
}

TEST_F(HeartModelChoiceTest, LongBaseNamesAreNotTranslated) {
    const std::string base(126, 'L');
    Touch(base + ".hmd");
    Program().translation = {"Language\r\n" + base + "\tShort\r\n", true};
    choice.Open(dataDir);
    EXPECT_EQ(Shown(), (std::vector<std::string>{base}));
}

TEST_F(HeartModelChoiceTest, NoFolderOrNoModelGivesAnEmptyChoice) {
    choice.Open(dataDir);
    EXPECT_TRUE(choice.Entries().empty());
    EXPECT_EQ(choice.Selected(), -1);
    EXPECT_EQ(choice.ChosenName(), "");
    choice.Open(dataDir / "missing");
    EXPECT_TRUE(choice.Entries().empty());
}

}  // namespace
}  // namespace vantrel
