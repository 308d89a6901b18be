#include "text/rtf_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vantrel {
namespace {

std::string Plain(std::string_view rtf) { return ReadRtf(rtf).PlainText(); }

TEST(RtfReader, TextOfTheSubsetTheDocumentsUse) {
    struct Case {
        const char* rtf;
        const char* text;
    };
    const Case cases[] = {
        {R"({\rtf1 Hello\par World})", "Hello\nWorld"},
        {R"({\rtf1{\fonttbl{\f0\fswiss Arial;}}\f0 Text})", "Text"},
        {R"({\rtf1{\colortbl;\red255\green0\blue0;}A})", "A"},
        {R"({\rtf1{\*\generator Writer;}B})", "B"},
        {R"({\rtf1 caf\'e9})", "caf\xC3\xA9"},                    // Windows-1252 e acute
        {R"({\rtf1 \'80})", "\xE2\x82\xAC"},                       // 0x80 is the euro sign
        {R"({\rtf1 \u8364?x})", "\xE2\x82\xAC" "x"},              // "?" stands in for the euro
        {R"({\rtf1\uc2 \u233\'65\'66x})", "\xC3\xA9x"},            // two stand-ins skipped
        {R"({\rtf1 a\\b\{c\}})", "a\\b{c}"},
        {R"({\rtf1 one\line two\tab three})", "one\ntwo\tthree"},
        {R"({\rtf1 \unknownword42 kept})", "kept"},
        {"{\\rtf1 split\r\nline}", "splitline"},                  // line ends of the file are not text
        {R"({\rtf1 Chpt.2\par\par Next\par})", "Chpt.2\n\nNext"},
    };
    for (const Case& c : cases) EXPECT_EQ(Plain(c.rtf), c.text) << c.rtf;
}

TEST(RtfReader, StylesFollowTheirGroupsAndTheColourTable) {
    RichDocument doc = ReadRtf(
        R"({\rtf1{\colortbl;\red0\green0\blue255;\red200\green10\blue20;}plain {\b\fs36 big bold}{\cf2\i red italic}\ul under\ulnone  end})");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[0].text, "plain ");
    EXPECT_FALSE(runs[0].bold);
    EXPECT_EQ(runs[1].text, "big bold");
    EXPECT_TRUE(runs[1].bold);
    EXPECT_EQ(runs[1].halfPoints, 36);
    EXPECT_EQ(runs[2].text, "red italic");
    EXPECT_TRUE(runs[2].italic);
    EXPECT_TRUE(runs[2].hasColor);
    EXPECT_EQ(runs[2].color, 0xC80A14u);
    EXPECT_FALSE(runs[2].bold);  // the bold group has closed
    EXPECT_TRUE(runs[3].underline);
    EXPECT_EQ(runs[4].text, " end");
    EXPECT_FALSE(runs[4].underline);
}

// Malformed input: every case ends and gives what can be read.
TEST(RtfReader, MalformedInputNeverFails) {
    const std::string cases[] = {
        "", "{", "}", "}}}}}{", "\\", "{\\rtf1 \\'", "{\\rtf1 \\'zz ok}", "{\\rtf1 \\u",
        "{\\rtf1 \\u-99999999999999999999 x}", "{\\rtf1 \\fs-5 x}", "{\\rtf1 \\cf99 x}",
        "{\\colortbl\\red999;}", std::string(100000, '{') + "deep" + std::string(100000, '}'),
        std::string(50000, '}') + "after", std::string("{\\rtf1 a\0b}", 11),
        "{\\rtf1 \\" + std::string(1000, 'x') + " tail}"};
    for (const std::string& input : cases) {
        RichDocument doc = ReadRtf(input);
        EXPECT_FALSE(doc.paragraphs.empty());
    }
    EXPECT_EQ(Plain(std::string(100000, '{') + "deep" + std::string(100000, '}')), "deep");
    EXPECT_EQ(Plain(std::string(500, '}') + "after"), "after");
    EXPECT_EQ(Plain("{\\rtf1 \\'zz ok}"), "zz ok");
}

// The shipped welcome documents read whole, with their chapter marks.
TEST(RtfReader, ShippedWelcomeDocumentsHoldEveryChapter) {
    for (const char* name : {"WelcomeClinic.rtf", "WelcomeClinic_FR.rtf"}) {
        std::ifstream in(std::filesystem::path(VANTREL_SOURCE_DIR) / "data" / name,
                         std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::stringstream bytes;
        bytes << in.rdbuf();
        std::string text = ReadRtf(bytes.str()).PlainText();
        EXPECT_GT(text.size(), 2000u) << name;
        for (const char* mark : {"Chpt.2", "Chpt.3", "Chpt.4", "Chpt.5"})
            EXPECT_NE(text.find(mark), std::string::npos) << name << " " << mark;
        EXPECT_EQ(text.find('\\'), std::string::npos) << name << ": a control word shown as text";
        EXPECT_EQ(text.find('{'), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace vantrel
