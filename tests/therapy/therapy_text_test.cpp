// Reading the drug and sequence texts: entries, comments, action regions, the start sequence,
// and the reading rules the actions use.
#include <gtest/gtest.h>

#include "engine/heart_record.h"
#include "model/therapy/therapy_text.h"
#include "therapy_fixture.h"

namespace vantrel {
namespace {

using testing::kDrugText;
using testing::kSequenceText;

TEST(TherapyText, ListsDrugsByTheNameAfterTheQuote) {
    const auto drugs = ListDrugs(kDrugText);
    ASSERT_EQ(drugs.size(), 4u);
    EXPECT_EQ(drugs[0].name, "Betablocker");
    EXPECT_EQ(drugs[1].name, "Class IC");
    EXPECT_EQ(drugs[2].name, "Floor");
    EXPECT_EQ(drugs[3].name, "Unfinished");
}

TEST(TherapyText, DrugCommentRunsFromTheNameToTheQuoteAndActionsToTheNextDrug) {
    const auto drugs = ListDrugs(kDrugText);
    const auto first = DrugText(kDrugText, drugs[0]);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->comment, "Betablocker\r\nSlows the sinus and the AV node.\r\n");
    EXPECT_EQ(first->actions, "CTA AV 150;200\r\nESC=Sinus;130\r\nDUR 30000\r\n");
    const auto second = DrugText(kDrugText, drugs[1]);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->actions, "CTA=LV;120;130 IC=30\r\nDUR 60000\r\n");
    EXPECT_FALSE(DrugText(kDrugText, drugs[3])) << "no closing quote: nothing to apply";
}

TEST(TherapyText, DrugNameOnTheMarkerLineOrInAnEarlierCommentDoesNotStandIn) {
    const std::string text =
        "#Drug: Digoxin\r\n\"Amiodarone\r\nUnlike Digoxin, ...\"\r\nCTA AV 200\r\n"
        "#Drug: Digoxin\r\n\"Digoxin\r\nSlows the AV node.\"\r\nCTA AV 150\r\n";
    const auto drugs = ListDrugs(text);
    ASSERT_EQ(drugs.size(), 2u);
    const auto digoxin = DrugText(text, drugs[1]);
    ASSERT_TRUE(digoxin);
    EXPECT_EQ(digoxin->comment, "Digoxin\r\nSlows the AV node.");
    EXPECT_EQ(digoxin->actions, "CTA AV 150\r\n");
}

TEST(TherapyText, SequenceCommentIsBetweenTheQuotesAndActionsStopAtTheNextMarkerLine) {
    const auto sequences = ListSequences(kSequenceText);
    ASSERT_EQ(sequences.size(), 4u);
    EXPECT_EQ(sequences[0].name, "AV block");
    EXPECT_EQ(sequences[3].name, "Unlinked");
    const auto block = SequenceText(kSequenceText, sequences[0]);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->comment, "Block in the AV node.\r\nWatch the PR interval.");
    EXPECT_EQ(block->actions,
              "CTA AVN 300\r\nLink= AVN2 AVN1 FullBlock\r\nSVBalance 200\r\nDUR 60000\r\n");
    const auto last = SequenceText(kSequenceText, sequences[3]);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->actions, "Link= LV1 AVN1 FullBlock\r\n");
}

TEST(TherapyText, StartSequenceIsNotListedAndEndsBeforeTheFirstSequence) {
    const auto actions = StartSequenceActions(kSequenceText);
    ASSERT_TRUE(actions);
    EXPECT_EQ(*actions, "CTR His 150\r\nLink= LV1 His ABlock\r\n");
    EXPECT_FALSE(StartSequenceActions("#Sequence: A\r\n\"c\"\r\nIC 3\r\n"));
}

TEST(TherapyText, AStartSequenceAfterAnEntryIsNotPartOfItsActions) {
    const std::string text = "#Sequence: A\r\n\"c\"\r\nIC 3\r\n#StartSequence:\r\nIC 7\r\n";
    const auto entry = SequenceText(text, ListSequences(text)[0]);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->actions, "IC 3\r\n");
    EXPECT_EQ(*StartSequenceActions(text), "IC 7\r\n");
}

TEST(TherapyText, LineFeedOnlyFilesReadLikeCarriageReturnLineFeed) {
    const std::string text = "#Sequence: Flutter\n\"Atrial flutter.\"\nCTA RA 200\n#Sequence: B\n";
    const auto sequences = ListSequences(text);
    ASSERT_EQ(sequences.size(), 2u);
    EXPECT_EQ(sequences[0].name, "Flutter");
    const auto flutter = SequenceText(text, sequences[0]);
    ASSERT_TRUE(flutter);
    EXPECT_EQ(flutter->comment, "Atrial flutter.");
    EXPECT_EQ(flutter->actions, "CTA RA 200\n");
}

TEST(TherapyText, ActionLinesSkipLeadingSpacesAndEmptyLines) {
    const auto lines = ActionLines("\r\n   CTA AV 150\r\n\r\n  \r\nIC 3");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "CTA AV 150");
    EXPECT_EQ(lines[1], "IC 3");
}

TEST(TherapyText, NumberRule) {
    struct Case {
        const char* text;
        int32_t value;
    } const cases[] = {
        {"150", 150},   {" = ;42", 42},  {"-7", -7},         {"+-7", -7},
        {"+12", 12},    {"x12", kNoValue}, {"", kNoValue},   {"-", kNoValue},
        {"4294967297", 1},  // wraps at 32 bits, no overflow check
    };
    for (const Case& c : cases) {
        TherapyTextCursor cursor(c.text);
        EXPECT_EQ(cursor.Number(), c.value) << c.text;
    }
}

TEST(TherapyText, WordsAndTokensStopAtTheirDelimiters) {
    TherapyTextCursor cursor("  AV;150 Lasting block;x=y\tz");
    EXPECT_EQ(cursor.Word(), "AV");
    EXPECT_EQ(cursor.Number(), 150);
    EXPECT_EQ(cursor.TextToken(), "Lasting block");
    EXPECT_EQ(cursor.Word(), "x");
    EXPECT_EQ(cursor.Word(), "y");
    EXPECT_EQ(cursor.Word(), "z");
    EXPECT_EQ(cursor.Word(), "");
    EXPECT_TRUE(cursor.AtEnd());
}

TEST(TherapyText, KeywordSearchFindsTheKeywordAnywhere) {
    TherapyTextCursor cursor("xxCTAyy");
    EXPECT_FALSE(cursor.Find("CTR"));
    EXPECT_EQ(cursor.Position(), 0u);
    EXPECT_TRUE(cursor.Find("CTA"));
    EXPECT_EQ(cursor.Position(), 5u);
}

TEST(TherapyText, MalformedTextsGiveNoEntryTextAndNeverReadPastTheEnd) {
    const char* const texts[] = {
        "#Drug:", "#Drug:\r\n", "#Drug:\r\n\"", "#Drug:\r\n\"Name", "#Drug: x\r\n\"Name\r\n",
        "#Sequence:", "#Sequence:\r\n", "#Sequence: S", "#Sequence: S\r\n\"open", "#StartSequence:",
    };
    for (const char* text : texts) {
        for (const auto& entry : ListDrugs(text)) EXPECT_FALSE(DrugText(text, entry)) << text;
        for (const auto& entry : ListSequences(text)) EXPECT_FALSE(SequenceText(text, entry)) << text;
        StartSequenceActions(text);
    }
    // An entry listed from another text is not found in this one.
    const auto drugs = ListDrugs(kDrugText);
    EXPECT_FALSE(DrugText("#Drug:\r\n\"Other\"\r\n", drugs[0]));
}

}  // namespace
}  // namespace vantrel
