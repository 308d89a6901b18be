// vantrel-sim --language NAME: the language found by its display name in the data folder, its
// suffix applied to the model's drug and sequence files as the desktop does; an unknown name is
// refused before anything runs.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

struct SimOutput {
    int status = -1;
    std::string output;  // stdout and stderr together
};

SimOutput RunSim(const std::string& arguments) {
    SimOutput run;
    const std::string command = std::string("\"") + VANTREL_SIM + "\" " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class SimLanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testing::ScratchDirectory("vantrel_simlang_");
        fs::copy(fs::path(VANTREL_SOURCE_DIR) / "tests" / "app" / "data", dir, fs::copy_options::recursive);
        std::ofstream(dir / "CVantrelFrancais_FR.LNG", std::ios::binary) << "Francais\r\nIDS_WASHOUT\tAucun\r\n";
        std::ofstream(dir / "Drugs" / "Antiarrhythmic_FR.drg", std::ios::binary)
            << "#Drug: ic\r\n\"Classe IC\r\nRalentit la conduction.\"\r\n";
        std::ofstream(dir / "Seq" / "Lasting_FR.seq", std::ios::binary)
            << "#Sequence: Bloc durable\r\n\"Le bloc fait partie du mod\xE8le.\"\r\nDEFINITIVE\r\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string Data() const { return "--data \"" + dir.string() + "\""; }

    fs::path dir;
};

TEST_F(SimLanguageTest, TheLanguageByItsNameGivesTheModelItsFilesWithTheSuffix) {
    const SimOutput french = RunSim(Data() + " --language Francais --list");
    ASSERT_EQ(french.status, 0) << french.output;
    EXPECT_NE(french.output.find("Classe IC"), std::string::npos) << french.output;
    EXPECT_NE(french.output.find("Bloc durable"), std::string::npos) << french.output;
    EXPECT_EQ(french.output.find("Lasting block"), std::string::npos) << french.output;

    for (const char* english : {" --language English --list", " --list"}) {
        const SimOutput run = RunSim(Data() + english);
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find("Class IC"), std::string::npos) << english;
        EXPECT_NE(run.output.find("Lasting block"), std::string::npos) << english;
    }
}

TEST_F(SimLanguageTest, AnUnknownLanguageIsRefusedWithTheLanguagesThereAre) {
    const SimOutput run = RunSim(Data() + " --language Klingon --list");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("no language \"Klingon\""), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("languages: English, Francais"), std::string::npos) << run.output;
    const SimOutput both = RunSim(Data() + " --language Francais --language-suffix _FR --list");
    EXPECT_NE(both.status, 0) << "one way of choosing the language at a time";
}

}  // namespace
}  // namespace vantrel
