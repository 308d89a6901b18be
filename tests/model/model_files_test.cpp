// Names a model gives for its drug and sequence files (and the model name itself) stay inside
// their folder: "..", absolute names and symbolic links that lead out read as missing files.
#include "model/model_files.h"

#include <gtest/gtest.h>

#include <fstream>

#include "model/model_reader.h"
#include "reader_fixture.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// A data directory with a secret beside it: data/{Clinic,Drugs,Seq}, outside/Secret.{drg,seq},
// and links inside the folders, one leading out and one staying in.
struct EscapeFixture {
    fs::path root = testing::ScratchDirectory("vantrel-escape-");
    fs::path data = root / "data";

    EscapeFixture() {
        for (const char* folder : {"Clinic", "Drugs", "Seq", "Drugs/sub"})
            fs::create_directories(data / folder);
        fs::create_directories(root / "outside");
        Write(root / "outside" / "Secret.drg", "#Drug: Secret\r\n\"Secret drug\"\r\nIC 10\r\n");
        Write(root / "outside" / "Secret.seq", "#Sequence: Secret\r\n\"Secret\"\r\nIC 10\r\n");
        Write(root / "outside" / "Secret.hmd", "Version 2\r\nCell \"Sinus\"\r\n");
        Write(data / "Drugs" / "Good.drg", "#Drug: Good\r\n\"Good drug\"\r\nIC 20\r\n");
        Write(data / "Seq" / "Good.seq", "#Sequence: Good\r\n\"Good\"\r\nIC 20\r\n");
        fs::create_symlink(root / "outside" / "Secret.drg", data / "Drugs" / "Link.drg");
        fs::create_symlink(root / "outside" / "Secret.seq", data / "Seq" / "Link.seq");
        fs::create_symlink(root / "outside", data / "Drugs" / "away");
        fs::create_symlink(data / "Drugs" / "Good.drg", data / "Drugs" / "Alias.drg");
    }
    ~EscapeFixture() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    static void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // Loads a model that includes `drug` in its drug section and `sequence` in its sequence one.
    bool Load(CCoeur& heart, const std::string& drug, const std::string& sequence) {
        Write(data / "Clinic" / "m.hmd", "Version 2\r\nDrugsBegin\r\nFile " + drug +
                                             "\r\nEndDrugs\r\nSequenceBegin\r\n#Sequence: S\r\nS: File " +
                                             sequence + "\r\nEndSequence\r\nCell \"Sinus\"\r\n");
        ReaderOptions options;
        options.dataDirectory = data;
        options.checksum = ChecksumCheck::Skip;
        return LoadModel(heart, "m.hmd", options);
    }
};

TEST(ModelFileNames, OnlyNamesThatStayInTheirFolderAreRead) {
    EscapeFixture f;
    const std::string absolute = (f.root / "outside" / "Secret").string();
    struct Case {
        std::string name;
        bool read;
    };
    const Case cases[] = {
        {"Good", true},
        {"sub/../Good", true},       // climbs back into the folder
        {"Alias", true},             // a link to a file of the folder
        {"../../outside/Secret", false},
        {"../Drugs/../../outside/Secret", false},
        {absolute, false},           // an absolute name
        {"Link", false},             // a link to a file outside
        {"away/Secret", false},      // through a linked folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing::RecordingNotifier notifier;
        auto heart = std::make_unique<CCoeur>();
        heart->notifier = &notifier;
        // A drug that cannot be read fails the load exactly as a missing file does.
        EXPECT_EQ(f.Load(*heart, c.name, "Good"), c.read);
        if (c.read) {
            EXPECT_NE(heart->drugText.find("Good drug"), std::string::npos);
        } else {
            EXPECT_EQ(heart->loadStatus, "Drug " + DataPath(f.data, "Drugs", c.name + ".drg").string() +
                                             " not found");
            EXPECT_EQ(heart->drugText.find("Secret"), std::string::npos);
        }
        // A sequence that cannot be read leaves its "not found" line, as a missing file does.
        heart = std::make_unique<CCoeur>();
        heart->notifier = &notifier;
        const std::string sequence = c.name == "away/Secret" ? "../Drugs/away/Secret" : c.name;
        ASSERT_TRUE(f.Load(*heart, "Good", sequence == "Alias" ? "Good" : sequence));
        if (c.read) {
            EXPECT_NE(heart->sequenceText.find("IC 20"), std::string::npos) << heart->sequenceText;
        } else {
            EXPECT_NE(heart->sequenceText.find("not found"), std::string::npos);
            EXPECT_EQ(heart->sequenceText.find("Secret\""), std::string::npos);
        }
    }
}

TEST(ModelFileNames, AModelNameLeadingOutOfClinicIsNotOpenable) {
    EscapeFixture f;
    for (const std::string& name : {std::string("../outside/Secret.hmd"),
                                   (f.root / "outside" / "Secret.hmd").string()}) {
        testing::RecordingNotifier notifier;
        auto heart = std::make_unique<CCoeur>();
        heart->notifier = &notifier;
        ReaderOptions options;
        options.dataDirectory = f.data;
        EXPECT_FALSE(LoadModel(*heart, name, options)) << name;
        EXPECT_EQ(heart->loadStatus,
                  "Fichier : " + DataPath(f.data, "Clinic", name).string() + " no openable");
        EXPECT_EQ(heart->cellCount, 0);
    }
}

TEST(ModelFileNames, PathInsideTheFolder) {
    struct Case {
        const char* name;
        bool inside;
    };
    const Case cases[] = {
        {"a.drg", true}, {"x/y.drg", true}, {"x/../y.drg", true}, {"./y.drg", true},
        {"..", false},   {"../y.drg", false}, {"x/../../y.drg", false}, {"/etc/passwd", false},
        {"", false},     {".", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DataPathInside("somewhere", "Drugs", c.name).has_value(), c.inside) << c.name;
}

}  // namespace
}  // namespace vantrel
