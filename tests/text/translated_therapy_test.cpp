// The translated drug and sequence files that ship beside the English ones: a translation changes
// what the student reads, never what the drug or the sequence does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "model/therapy/therapy_text.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string JoinedActions(std::string_view actions) {
    std::string joined;
    for (std::string_view line : ActionLines(actions)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
            text.pop_back();
        joined += text + "\n";
    }
    return joined;
}

TEST(TranslatedTherapy, EveryTranslationKeepsTheActionsOfItsOriginal) {
    const fs::path data = fs::path(VANTREL_SOURCE_DIR) / "data";
    int translations = 0;
    for (const char* folder : {"Drugs", "Seq"}) {
        const bool drugs = std::string(folder) == "Drugs";
        for (const auto& entry : fs::directory_iterator(data / folder)) {
            const std::string stem = entry.path().stem().string();
            if (stem.size() < 4 || stem.compare(stem.size() - 3, 3, "_FR") != 0) continue;
            SCOPED_TRACE(entry.path().filename().string());
            ++translations;
            const fs::path original =
                entry.path().parent_path() / (stem.substr(0, stem.size() - 3) + entry.path().extension().string());
            ASSERT_TRUE(fs::exists(original)) << "a translation without its original";
            const std::string french = ReadBytes(entry.path());
            const std::string english = ReadBytes(original);
            const auto frenchEntries = drugs ? ListDrugs(french) : ListSequences(french);
            const auto englishEntries = drugs ? ListDrugs(english) : ListSequences(english);
            ASSERT_EQ(frenchEntries.size(), englishEntries.size());
            for (size_t i = 0; i < frenchEntries.size(); ++i) {
                const auto f = drugs ? DrugText(french, frenchEntries[i]) : SequenceText(french, frenchEntries[i]);
                const auto e = drugs ? DrugText(english, englishEntries[i]) : SequenceText(english, englishEntries[i]);
                ASSERT_TRUE(f && e);
                EXPECT_FALSE(frenchEntries[i].name.empty());
                EXPECT_GT(f->comment.size(), 100u);
                EXPECT_EQ(JoinedActions(f->actions), JoinedActions(e->actions));
            }
        }
    }
    EXPECT_GE(translations, 7);  // the five drugs and the two sequences of the default heart
}

}  // namespace
}  // namespace vantrel
