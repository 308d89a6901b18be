#include "model/model_text.h"

#include <gtest/gtest.h>

#include "engine/heart_record.h"

namespace vantrel {
namespace {

TEST(LineReader, SplitsOnLineFeedAndZeroDroppingCarriageReturns) {
    const std::string bytes("one\r\ntwo\0three\n\nlast", 20);
    LineReader reader(bytes);
    std::vector<std::string> lines;
    for (std::string line; reader.Next(line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "", "last"}));
}

TEST(LineReader, TrailingLineFeedMakesNoExtraLine) {
    LineReader reader("a\nb\n");
    std::string line;
    int count = 0;
    while (reader.Next(line)) ++count;
    EXPECT_EQ(count, 2);
}

TEST(ReadWord, EndsAtItsDelimitersAndConsumesThem) {
    struct Case {
        const char* line;
        const char* word;
        char delimiter;
        std::size_t next;
    };
    const Case cases[] = {
        {"  Cell \"A\"", "Cell", ' ', 7}, {"EB=800", "EB", '=', 3}, {"a;b", "a", ';', 2},
        {"PasX", "PasX", 0, 4},           {"\tCell", "", '\t', 1},  {"  ", "", 0, 2},
    };
    for (const Case& c : cases) {
        std::size_t pos = 0;
        char delimiter = 'x';
        EXPECT_EQ(ReadWord(c.line, pos, &delimiter), c.word) << c.line;
        EXPECT_EQ(delimiter, c.delimiter) << c.line;
        EXPECT_EQ(pos, c.next) << c.line;
    }
}

TEST(ReadTextToken, KeepsSpaces) {
    std::size_t pos = 0;
    EXPECT_EQ(ReadTextToken("  Beta blocker;rest", pos), "Beta blocker");
    EXPECT_EQ(pos, 15u);
}

TEST(ReadNumber, FollowsTheNumberRule) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"42", 42},      {" = ;-7", -7}, {"+12", 12},   {"+-3", -3},
        {"-+3", kNoValue}, {"abc", kNoValue}, {"", kNoValue}, {"4294967297", 1},  // wraps
    };
    for (const Case& c : cases) {
        std::size_t pos = 0;
        EXPECT_EQ(ReadNumber(c.text, pos), c.value) << c.text;
    }
    std::size_t pos = 0;
    ReadNumber("12ab", pos);
    EXPECT_EQ(pos, 2u);
}

TEST(FindKeyword, FindsAnywhereAndMovesPastIt) {
    std::size_t pos = 0;
    EXPECT_TRUE(FindKeyword("xxVersion 4", pos, "Version"));
    EXPECT_EQ(pos, 9u);
    EXPECT_FALSE(FindKeyword("xxVersion 4", pos, "Version"));
    EXPECT_EQ(pos, 9u);
}

TEST(Checksum, AddsHalfPlusByteplusFivePerSignedByte) {
    EXPECT_EQ(AddLineChecksum(0, "abc"), 455);
    EXPECT_EQ(AddLineChecksum(0, "\xE9"), -29);
    EXPECT_EQ(AddLineChecksum(INT32_MAX, "\x01"), INT32_MIN + 5);  // wraps
}

TEST(Message, FillsEachPlaceholderInOrderAndLeavesOtherPercentSigns) {
    EXPECT_EQ(Message("Error CoeftiPR, Value=%d, L.n\xB0%d", {7, 12}), "Error CoeftiPR, Value=7, L.n\xB0" "12");
    EXPECT_EQ(Message("100%s %d", {3}), "100%s 3");
}

}  // namespace
}  // namespace vantrel
