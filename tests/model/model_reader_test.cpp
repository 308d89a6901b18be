// The load as a whole: header line, sections and inclusions, checksum, failure policy,
// post-processing, and what a load keeps or replaces.
#include "model/model_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/cell_automaton.h"
#include "reader_fixture.h"

namespace vantrel {
namespace {

using testing::ReaderTest;
using testing::ShownMessage;

std::string FixtureBytes(const std::string& name) {
    std::ifstream in(testing::kFixtureData / "Clinic" / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string DataFile(const char* folder, const char* file) {
    return (testing::kFixtureData / folder / file).string();
}

TEST(HeaderLine, VersionErrorsAreHeaderFailures) {
    struct Case {
        const char* header;
        const char* status;
    };
    const Case cases[] = {
        {"A model without its version\r\n", "Version of the model not defined : loading aborted"},
        {"Version 0\r\n", "Version de la structure (0) incompatible"},
        {"Version 7\r\n", "Version de la structure (7) incompatible"},
        {"Version -2\r\n", "Version de la structure (-2) incompatible"},
        {"Version\r\n", "Version de la structure (32768) incompatible"},
        {"", "Version of the model not defined : loading aborted"},
    };
    for (const Case& c : cases) {
        ReaderTest t;
        EXPECT_FALSE(t.LoadText("Cell \"Sinus\"\r\n", c.header)) << c.header;
        EXPECT_EQ(t.heart->loadStatus, c.status);
        EXPECT_EQ(t.notifier.shown, (std::vector<ShownMessage>{{"Error", c.status}}));
        EXPECT_FALSE(t.notifier.ended);
        EXPECT_EQ(t.heart->cellCount, 0);
        EXPECT_EQ(t.heart->respTable[4], 100);  // the end-of-load work ran anyway
    }
}

TEST(HeaderLine, AVersionAboveSixStillReadsTheSectionsAndALaterErrorReplacesIt) {
    ReaderTest t;
    EXPECT_FALSE(t.LoadText("DrugsBegin\r\nFile Gone\r\nEndDrugs\r\n", "Version 9\r\n"));
    EXPECT_EQ(t.heart->loadStatus, "Drug " + (std::filesystem::path("mem") / "Drugs" / "Gone.drg").string() + " not found");
}

TEST(HeaderLine, DateAndStoredChecksum) {
    struct Case {
        const char* header;
        int32_t stored;
        const char* date;
    };
    const Case cases[] = {
        {"Version 4 CS=123 Date 1/2/3\r\n", 123, " 1/2/3"},
        {"Version 3 CS=123 Date x\r\n", 0, " x"},      // below 4: no checksum field
        {"Version 5 Date x CS=9\r\n", 9, ""},          // "Date" is looked for after the CS number
        {"Version 5 Date x\r\n", 0, " x"},
        {"Version 2 Date\r\n", 0, ""},
    };
    for (const Case& c : cases) {
        ReaderTest t;
        EXPECT_TRUE(t.LoadText("Cell \"Sinus\"\r\n", c.header)) << c.header;
        EXPECT_EQ(t.heart->storedChecksum, c.stored) << c.header;
        EXPECT_EQ(t.heart->modelDate, c.date) << c.header;
    }
}

TEST(Checksum, MatchingValueLoadsAndOneChangedBodyByteFails) {
    ReaderTest t;
    t.options.checksum = ChecksumCheck::Compare;
    ASSERT_TRUE(t.LoadFixture("basic"));
    EXPECT_EQ(t.heart->computedChecksum, t.heart->storedChecksum);
    EXPECT_TRUE(t.notifier.shown.empty());

    std::string bytes = FixtureBytes("basic.hmd");
    ++bytes[bytes.find("atrium") + 5];  // a comment's "atrium" becomes "atriun"
    ReaderTest changed;
    changed.options.checksum = ChecksumCheck::Compare;
    const std::size_t headerEnd = bytes.find("\r\n") + 2;
    EXPECT_FALSE(changed.LoadText(bytes.substr(headerEnd), bytes.substr(0, headerEnd)));
    EXPECT_EQ(changed.heart->loadStatus, "Bad CheckSum, Loading aborted");
    EXPECT_EQ(changed.notifier.shown.back(),
              (ShownMessage{"Error Message", "Bad CheckSum, Loading aborted"}));
    EXPECT_TRUE(changed.notifier.ended);
    EXPECT_EQ(changed.heart->cellCount, 1);
    EXPECT_EQ(changed.heart->linkCount, 0);
    EXPECT_STREQ(changed.heart->cells[0].name, "");
}

TEST(Checksum, TheHeaderLineIsNotCounted) {
    std::string bytes = FixtureBytes("basic.hmd");
    const std::size_t headerEnd = bytes.find("\r\n") + 2;
    std::string header = bytes.substr(0, headerEnd);
    header.replace(header.find("(test)"), 6, "(else)");
    ReaderTest t;
    t.options.checksum = ChecksumCheck::Compare;
    EXPECT_TRUE(t.LoadText(bytes.substr(headerEnd), header));
}

TEST(Checksum, ShowSwitchReportsTheSumAndNeverFails) {
    ReaderTest t;
    t.options.checksum = ChecksumCheck::Show;
    ASSERT_TRUE(t.LoadText("Cell \"Sinus\"\r\n", "Version 5 CS=1\r\n"));
    const std::string expected = "The CheckSum is " + std::to_string(t.heart->computedChecksum);
    EXPECT_EQ(t.notifier.shown, (std::vector<ShownMessage>{{"Interesting Message", expected}}));
    EXPECT_EQ(t.heart->loadStatus, expected);
}

TEST(Checksum, OldVersionsLoadOnlyWithASwitch) {
    ReaderTest t;
    t.options.checksum = ChecksumCheck::Compare;
    EXPECT_FALSE(t.LoadFixture("version1"));
    EXPECT_EQ(t.heart->loadStatus, "Bad CheckSum, Loading aborted");
}

TEST(Checksum, SwitchesFromTheCommandLine) {
    struct Case {
        std::vector<const char*> args;
        ChecksumCheck check;
    };
    const Case cases[] = {
        {{"prog"}, ChecksumCheck::Compare},
        {{"prog", "/XCS"}, ChecksumCheck::Show},
        {{"prog", "--xcs"}, ChecksumCheck::Show},
        {{"prog", "/NOCS"}, ChecksumCheck::Skip},
        {{"prog", "--nocs"}, ChecksumCheck::Skip},
        {{"prog", "/NOCS", "/XCS"}, ChecksumCheck::Show},
        {{"prog", "/xcs"}, ChecksumCheck::Compare},  // case-sensitive
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChecksumCheckFromArguments(static_cast<int>(c.args.size()), c.args.data()), c.check);
}

TEST(Sections, CommentsDrugsAndSequencesWithTheirFiles) {
    ReaderTest t;
    ASSERT_TRUE(t.LoadFixture("basic"));
    EXPECT_EQ(t.heart->modelDate, " 10/12/2026 (test)");
    EXPECT_EQ(t.heart->modelComments,
              "A small heart for the reader tests: atrium, node, ventricle.\r\nSecond line \r\n");
    // The drug file's last line stands in for the "File" line and so occurs twice.
    EXPECT_EQ(t.heart->drugText,
              "#Drug: inline\r\n\"Inline drug\r\ncomment\"\r\nCTA AV 150 200\r\n"
              "#Drug: Beta\r\n\"Beta blocker\r\nslows the node\"\r\nCTA AVN 150 150\r\nDUR 30000\r\n"
              "DUR 30000\r\n");
    // The sequence file's text up to its zero byte, line breaks and all.
    EXPECT_EQ(t.heart->sequenceText, "#Sequence: Walk\r\nWalk: \r\n\"A walk\"\r\nSVBalance 700\r\n\r\n");
    EXPECT_EQ(t.heart->cellCount, 5);
    EXPECT_EQ(t.heart->linkCount, 4);
}

TEST(Sections, LanguageDrugFileComesFirstAndReplacesTheQuotedComment) {
    ReaderTest t;
    t.options.languageSuffix = "_Fr";
    ASSERT_TRUE(t.LoadFixture("basic"));
    EXPECT_NE(t.heart->drugText.find("#Drug: Beta\r\n\"B\xEAta-bloquant\r\nralentit le n\x9C" "ud\"\r\n"
                                     "CTA AVN 150 150\r\nDUR 30000\r\nDUR 30000\r\n"),
              std::string::npos)
        << t.heart->drugText;
    EXPECT_EQ(t.heart->drugText.find("Beta blocker"), std::string::npos);
}

TEST(Sections, MissingDrugFileFailsTheLoad) {
    ReaderTest t;
    EXPECT_FALSE(t.LoadFixture("missing_drug"));
    const std::string status = "Drug " + DataFile("Drugs", "NoSuchDrug.drg") + " not found";
    EXPECT_EQ(t.notifier.shown, (std::vector<ShownMessage>{{"Error", status}}));
    EXPECT_EQ(t.heart->cellCount, 0);
}

TEST(Sections, MissingSequenceFileLeavesANotFoundLine) {
    ReaderTest t;
    EXPECT_TRUE(t.LoadFixture("missing_sequence"));
    EXPECT_EQ(t.heart->sequenceText,
              "#Sequence: Lost\r\nLost: File " + DataFile("Seq", "NoSuchSeq.seq") + "not found\r\n");
}

TEST(Sections, FirstBodyLineIsLineTwoWhateverTheSections) {
    ReaderTest t;
    EXPECT_FALSE(t.LoadText("Comments\r\nsome words\r\nEndComments\r\nBogus\r\n"));
    EXPECT_EQ(t.heart->loadStatus, "error : commande inconnue :'Bogus' Ligne n\xB0" "2");
}

TEST(Sections, SectionOpenAtTheEndOfTheFileEndsIt) {
    ReaderTest t;
    EXPECT_FALSE(t.LoadText("Comments\r\nnever closed\r\nCell \"Sinus\"\r\n"));
    EXPECT_EQ(t.heart->modelComments, "never closed\r\nCell \"Sinus\"\r\n");
    EXPECT_EQ(t.notifier.shown.back(), (ShownMessage{"Error Message", "Structure OK"}));  // no cell
}

TEST(ModelFiles, NamesDefaultModelAndReload) {
    ReaderTest t;
    ASSERT_TRUE(t.LoadFixture(""));
    EXPECT_EQ(t.heart->currentModelName, "");
    EXPECT_EQ(t.heart->cells[0].escapeB, 1000);
    EXPECT_TRUE(t.heart->modelTitle.empty());

    ASSERT_TRUE(t.LoadFixture("basic.hmd"));
    EXPECT_EQ(t.heart->currentModelName, "basic.hmd");
    EXPECT_EQ(t.heart->modelTitle, "Vantrel - Heart Model : basic");
    EXPECT_NE(std::find(t.notifier.posted.begin(), t.notifier.posted.end(),
                        std::pair<int32_t, int32_t>{kMsgModelTitle, 0}),
              t.notifier.posted.end());

    ASSERT_TRUE(t.LoadFixture("version1"));
    EXPECT_EQ(t.heart->currentModelName, "version1.hmd");
    EXPECT_FALSE(t.LoadFixture("nowhere"));
    const std::string status = "Fichier : " + DataFile("Clinic", "nowhere.hmd") + " no openable";
    EXPECT_EQ(t.notifier.shown.back(), (ShownMessage{"Error", status}));
    EXPECT_EQ(t.heart->currentModelName, "version1.hmd");  // only a file that opened counts
    ASSERT_TRUE(t.LoadFixture("XXX"));
    EXPECT_EQ(t.heart->cells[0].escapeB, 900);
}

TEST(Failures, BodyErrorEndsTheProgramAndLeavesARunnableRecord) {
    ReaderTest t;
    EXPECT_FALSE(t.LoadText("Cell \"Sinus\" EB=500\r\nCell \"B\"\r\nLien Sinus B\r\nLien B C\r\n"));
    EXPECT_EQ(t.notifier.shown.back(),
              (ShownMessage{"Error Message", "Error Link sur C L.n\xB0" "5"}));
    EXPECT_TRUE(t.notifier.ended);
    for (int tick = 0; tick < 400; ++tick) {
        for (int i = 0; i < t.heart->cellCount; ++i) StepCell(*t.heart, i, t.heart->tone);
        PropagateLinks(*t.heart);
    }
    EXPECT_TRUE(t.LoadFixture("basic"));
    EXPECT_EQ(t.heart->cellCount, 5);
}

TEST(Failures, FailedVariableFormulaIsReportedAndLeavesNoHalfModel) {
    ReaderTest t;
    EXPECT_FALSE(t.LoadText("#Var mX\r\nCell \"Sinus\"\r\nmX=mQ*2\r\nCell \"B\"\r\n"));
    EXPECT_EQ(t.heart->loadStatus, "Erreur ds Formule Ligne n\xB0" "4");
    EXPECT_EQ(t.notifier.shown, (std::vector<ShownMessage>{{"Error", t.heart->loadStatus}}));
    EXPECT_FALSE(t.notifier.ended);
    EXPECT_EQ(t.heart->cellCount, 0);
}

TEST(PostProcessing, SpecialCellsAndTheirDefaults) {
    ReaderTest t;
    ASSERT_TRUE(t.LoadFixture("landmark_cells"));
    EXPECT_EQ(std::vector<int32_t>(t.heart->specialCells, t.heart->specialCells + 8),
              (std::vector<int32_t>{0, 3, 3, 3, 2, 5, 6, 4}));
    EXPECT_TRUE(t.notifier.shown.empty());
    EXPECT_EQ(t.heart->isochroneRefIndex, 2);  // "His"
    EXPECT_EQ(t.heart->cells[2].isochroneRef, 1);
}

TEST(PostProcessing, IsochroneReference) {
    struct Case {
        const char* fixture;
        int32_t reference;
    };
    const Case cases[] = {{"razdepol", 2}, {"landmark_cells", 2}, {"no_sinus", 0}};
    for (const Case& c : cases) {
        ReaderTest t;
        ASSERT_TRUE(t.LoadFixture(c.fixture));
        EXPECT_EQ(t.heart->isochroneRefIndex, c.reference) << c.fixture;
        for (int i = 0; i < t.heart->cellCount; ++i)
            EXPECT_EQ(t.heart->cells[i].isochroneRef, i == c.reference ? 1 : 0) << c.fixture;
    }
}

TEST(PostProcessing, ModelWithoutSinusLoadsAfterSayingSo) {
    ReaderTest t;
    EXPECT_TRUE(t.LoadFixture("no_sinus"));
    EXPECT_EQ(t.notifier.shown, (std::vector<ShownMessage>{{"Sinus not found", "Structure OK"}}));
    EXPECT_EQ(t.heart->specialCells[0], -1);
}

TEST(Failures, AFailedFunctionArgumentIsZeroAndTheLineReadsOn) {
    ReaderTest t;
    ASSERT_TRUE(t.LoadText("#Pos PosA 0 0 0\r\n#define D X=100*sin(mZZ) Y=5 Z=7\r\n"
                           "#define R X=0 Y=5 Z=7\r\n"
                           "Cell \"Sinus\" Amp=100*sin(mZZ) EB=700 XYZ D\r\n"
                           "Cell \"Ref\" Amp=100*cos(mZZ) EB=700 XYZ R\r\n"))
        << t.heart->loadStatus;
    const CCell& sinus = t.Cell("Sinus");
    const CCell& reference = t.Cell("Ref");
    EXPECT_EQ(sinus.amplitude, 0);
    EXPECT_EQ(sinus.escapeB, 700);
    EXPECT_EQ(reference.amplitude, 0);
    EXPECT_EQ(reference.escapeB, 700);
    // The point's Y and Z after the failed X are those of the same point written with X=0.
    EXPECT_EQ(sinus.pos3dX, reference.pos3dX);
    EXPECT_EQ(sinus.pos3dY, reference.pos3dY);
    EXPECT_EQ(sinus.pos3dZ, reference.pos3dZ);
    EXPECT_NE(reference.pos3dY, 0);
}

TEST(LoadState, EachLoadStartsAfreshButKeepsTheUsersSettings) {
    ReaderTest t;
    ASSERT_TRUE(t.LoadText("#Var mX\r\nmX=5\r\n#Pos PosA 1 2 3\r\n#define D X=7\r\nCell \"Sinus\" XYZ D\r\n"
                           "#SetPrecordial V3 Sinus 9\r\n"));
    t.heart->pmMode = 2;
    t.heart->pmVentricularCell = 0;
    t.heart->icCell[0] = 0;
    ASSERT_TRUE(t.LoadText("#Var mX\r\n#Pos PosB 4\r\n#define E X=1\r\n"
                           "Cell \"Sinus\" Amp=mX+1 EB=PosB.y+100\r\n"));
    const CCell& sinus = t.heart->cells[0];
    EXPECT_EQ(sinus.amplitude, 1);  // a declared variable starts at 0 in every load
    EXPECT_EQ(sinus.escapeB, 100);  // so does a missing "#Pos" coordinate
    EXPECT_EQ(sinus.pos3dX, 0);     // no "XYZ" yet in this load: the origin
    EXPECT_EQ(t.heart->precordial[2][0][0], 0);  // lead presets are the load command's to clear
    EXPECT_EQ(t.heart->precordial[2][0][1], 9);
    EXPECT_EQ(t.heart->pmMode, 2);
    EXPECT_EQ(t.heart->pmVentricularCell, -1);  // lead cells belonged to the old model
    EXPECT_EQ(t.heart->icCell[0], 0);
    EXPECT_EQ(t.heart->startSequencePending, 1);
    EXPECT_EQ(t.heart->rateCount, 10);
    EXPECT_EQ(t.heart->rateSum, 2000);
}

}  // namespace
}  // namespace vantrel
