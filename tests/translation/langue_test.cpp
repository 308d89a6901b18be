// The translation service: texts by key (the first line never matched, line breaks), the
// language files found in the data folder (order, display names, suffix, names refused), the
// menu section and its names, and the French file that ships.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/translation/langue.h"
#include "app/translation/menu_names.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

TEST(TranslateTest, FindsTextsByKeyAsTheProgramAsksForThem) {
    TranslationTable table{"IDC_MIN\tfirst line\r\n"
                           "IDC_MAX\tmaximal\r\n"
                           "IDC_MIN\tmini\\nmum\r\n"
                           "IDC_MIN\tsecond entry of the key\r\n"
                           "ENDS\tkept\\n\r\n"
                           "LF_ONLY\tlf\nCR_ONLY\tcr\rNEXT\tx\r\n"
                           "SPACE text\r\n"
                           "IDC_EMPTY\t\r\n"
                           "LAST\tend of file",
                           true};
    const struct {
        const char* key;
        const char* defaultText;
        const char* expected;
    } kCases[] = {
        {"IDC_MIN", "min", "mini\nmum"},      // the first line never matches; the first entry after it
        {"IDC_MAX", "max", "maximal"},
        {"ENDS", "", "kept\\n"},              // a backslash-n that ends the text stays
        {"LF_ONLY", "", "lf"},
        {"CR_ONLY", "", "cr"},
        {"SPACE", "default", "default"},      // only a tab follows a key
        {"IDC_EMPTY", "default", ""},
        {"LAST", "", "end of file"},
        {"idc_max", "max", "max"},            // case-sensitive
        {"MISSING", "English", "English"},
        {"MISSING", "", "Not found"},
    };
    for (const auto& c : kCases) EXPECT_EQ(table.Text(c.key, c.defaultText), c.expected) << c.key;

    table.active = false;  // English, or the program still starting
    EXPECT_EQ(table.Text("IDC_MAX", "max"), "max");
    table.active = true;
    table.languageText.clear();
    EXPECT_EQ(table.Text("IDC_MAX", "max"), "max");
}

class LanguageFilesTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(dir); }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    }

    fs::path dir = testing::ScratchDirectory("vantrel_lng_");  // before the service that reads it
    TranslationTable table;
    CLangue langue{dir, table};
};

TEST_F(LanguageFilesTest, ListsTheFilesInNameOrderAndLoadsTheChosenOne) {
    Write("CVantrelFrancais_FR.LNG", "Francais\r\nIDC_MIN\tmini\r\n");
    Write("CVantrelDeutsch_DE.LNG", "Deutsch\r\nIDC_MIN\tMindest\r\n");
    Write("Other_EN.LNG", "not ours");
    Write("CVantrelNotes_FR.txt", "not a language file");
    CLangue lister(dir, table);
    EXPECT_EQ(lister.ListLanguages(), "Deutsch\r\nFrancais\r\n");
    EXPECT_EQ(lister.LanguageFiles(), "CVantrelDeutsch_DE\r\nCVantrelFrancais_FR\r\n");

    EXPECT_EQ(lister.LoadLanguage(2), "_FR");
    EXPECT_EQ(table.languageText, "Francais\r\nIDC_MIN\tmini\r\n");
    lister.SetActive(true);
    EXPECT_EQ(lister.Translate("IDC_MIN", "min"), "mini");

    // English keeps the last text (the menu stays translated until a restart).
    EXPECT_EQ(lister.LoadLanguage(0), "");
    EXPECT_EQ(table.languageText, "Francais\r\nIDC_MIN\tmini\r\n");
    // A language that is not there any more: no text, every default.
    EXPECT_EQ(lister.LoadLanguage(3), "");
    EXPECT_EQ(table.languageText, "");
}

TEST_F(LanguageFilesTest, NamesWithoutTheSuffixPatternAreListedAsErrorsAndLoadNothing) {
    Write("CVantrel_FR.LNG", "x\r\nK\tv\r\n");
    Write("CVantrelPlain.LNG", "x\r\nK\tv\r\n");
    Write("CVantrelOdd_.LNG", "x\r\nK\tv\r\n");
    EXPECT_EQ(langue.ListLanguages(), "Odd\r\nError LNG file\r\nError LNG file\r\n");
    table.languageText = "before";
    for (int index : {1, 2, 3}) {
        EXPECT_EQ(langue.LoadLanguage(index), "") << index;
        EXPECT_EQ(table.languageText, "") << index;
    }
}

TEST_F(LanguageFilesTest, OnlyPlainFilesOfTheDataFolderAreLanguageFiles) {
    fs::create_directories(dir / "CVantrelFolder_FO.LNG");
    fs::create_directories(dir / "elsewhere");
    std::ofstream(dir / "elsewhere" / "CVantrelLinked_LI.LNG") << "x\r\nK\tv\r\n";
    std::error_code error;
    fs::create_symlink(dir / "elsewhere" / "CVantrelLinked_LI.LNG", dir / "CVantrelLinked_LI.LNG", error);
    Write("CVantrelReal_RE.lng", "x\r\nK\tv\r\n");
    EXPECT_EQ(langue.ListLanguages(), "Real\r\n");
    EXPECT_EQ(langue.LoadLanguage(1), "_RE");
    EXPECT_EQ(table.languageText, "x\r\nK\tv\r\n");
}

TEST_F(LanguageFilesTest, ReadsAtMostItsLimitUpToTheFirstZeroByte) {
    Write("CVantrelLong_LO.LNG", "x\r\nK\t" + std::string(kLanguageTextLimit + 100, 'a'));
    Write("CVantrelZero_ZE.LNG", std::string("x\r\nK\tbefore\0\r\nL\tafter\r\n", 23));
    langue.ListLanguages();
    langue.LoadLanguage(1);
    EXPECT_EQ(table.languageText.size(), kLanguageTextLimit);
    langue.LoadLanguage(2);
    EXPECT_EQ(table.languageText, "x\r\nK\tbefore");
}

TEST_F(LanguageFilesTest, TheRunnerChoosesALanguageByItsDisplayName) {
    Write("CVantrelFrancais_FR.LNG", "x\r\nK\tv\r\n");
    Write("CVantrel_XX.LNG", "x\r\n");
    std::string suffix = "old";
    EXPECT_TRUE(LoadLanguageByName(langue, "Francais", suffix));
    EXPECT_EQ(suffix, "_FR");
    EXPECT_TRUE(table.active);
    EXPECT_EQ(langue.Translate("K", "d"), "v");
    EXPECT_TRUE(LoadLanguageByName(langue, "English", suffix));
    EXPECT_EQ(suffix, "");
    EXPECT_EQ(langue.Translate("K", "d"), "d");
    EXPECT_FALSE(LoadLanguageByName(langue, "Deutsch", suffix));
    EXPECT_FALSE(LoadLanguageByName(langue, kBadLanguageFileName, suffix));
}

TEST(MenuSectionTest, ReadsEntriesUntilItsEndAndSwitchesToTheMenuBar) {
    TranslationTable table{"first\r\n"
                           "#Menu\r\n"
                           "ID_CHOC=Choc\\nélectrique\r\n"
                           "   ID_PM\tStimulateur\r\n"
                           "ID_ORTHO;Ortho rythmique\r\n"
                           "UNKNOWN_KEY text\r\n"
                           "ID_GRIDONLY\r\n"
                           "#ColMenu\r\n"
                           "ID_TOOLS Outils\r\n"
                           "#EndMenu\r\n"
                           "ID_FILE Fichier\r\n",
                           true};
    CLangue langue(".", table);
    const std::vector<MenuSectionLine> lines = langue.MenuSection();
    ASSERT_EQ(lines.size(), 6u);
    const struct {
        const char* key;
        const char* text;
        bool byPosition;
    } kExpected[] = {
        {"ID_CHOC", "Choc\nélectrique", false}, {"ID_PM", "Stimulateur", false},
        {"ID_ORTHO", "Ortho rythmique", false}, {"UNKNOWN_KEY", "text", false},
        {"ID_GRIDONLY", "", false},             {"ID_TOOLS", "Outils", true},
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].key, kExpected[i].key);
        EXPECT_EQ(lines[i].text, kExpected[i].text);
        EXPECT_EQ(lines[i].byPosition, kExpected[i].byPosition);
    }

    table.languageText = "first\r\n#Menu\r\nID_PM=A\r\n\r\nID_CHOC=B\r\n";  // an empty line ends it
    EXPECT_EQ(langue.MenuSection().size(), 1u);
    table.languageText = "first\r\nID_PM\tA\r\n";  // no section
    EXPECT_TRUE(langue.MenuSection().empty());
}

TEST(MenuNamesTest, CommandsByIdMenuBarByPositionDialogsRenameNothing) {
    const struct {
        const char* name;
        MenuNameKind kind;
        int number;
    } kCases[] = {
        {"ID_CHOC", MenuNameKind::Command, 32796},       {"ID_LOAD_HEART", MenuNameKind::Command, 32784},
        {"ID_APP_ABOUT", MenuNameKind::Command, 57664},  {"ID_FILE", MenuNameKind::MenuBar, 0},
        {"ID_TOOLS", MenuNameKind::MenuBar, 3},          {"ID_LANGUAGE", MenuNameKind::MenuBar, 6},
        {"IDD_CELL", MenuNameKind::Resource, 132},       {"IDD_REGLAGE", MenuNameKind::Resource, 145},
    };
    for (const auto& c : kCases) {
        const std::optional<MenuName> name = FindMenuName(c.name);
        ASSERT_TRUE(name) << c.name;
        EXPECT_EQ(name->kind, c.kind) << c.name;
        EXPECT_EQ(name->number, c.number) << c.name;
    }
    EXPECT_FALSE(FindMenuName("ID_NOTHING"));
    EXPECT_FALSE(FindMenuName("id_choc"));
}

TEST(ShippedLanguageTest, TheFrenchFileLoadsWithItsAccentsAndMenu) {
    TranslationTable table;
    CLangue langue(VANTREL_DATA_DIR, table);
    const std::vector<std::string> names = SplitLines(langue.ListLanguages());
    const auto french = std::find(names.begin(), names.end(), "Francais");
    ASSERT_NE(french, names.end());
    EXPECT_EQ(langue.LoadLanguage(static_cast<int32_t>(french - names.begin()) + 1), "_FR");
    langue.SetActive(true);
    EXPECT_EQ(langue.Translate("ID_VPB", "VPB"), "ESV");
    EXPECT_EQ(langue.Translate("IDC_CADREISOL", "Isolated"), "Isol\xE9" "e");  // Windows-1252
    EXPECT_EQ(langue.Translate("IDC_RELOADAPP", ""), "Remarque : relancez le programme\npour une traduction compl\xE8te");
    for (const MenuSectionLine& line : langue.MenuSection())
        EXPECT_TRUE(FindMenuName(line.key)) << line.key;
}

}  // namespace
}  // namespace vantrel
