// The reader of the welcome document: rich text (RTF) as the shipped documents use it, turned into
// paragraphs of styled runs that the desktop lays out.  Only a subset is understood: groups,
// "\par", "\line", "\tab", "\b", "\i", "\ul", "\fs", "\cf" with "\colortbl", "\'hh" (Windows-1252),
// "\u" with "\uc"; every other control word is skipped, and destinations such as the font table,
// the style sheet, pictures and "{\*...}" groups are dropped whole.  Any byte string is accepted:
// reading is one pass over the input, groups nested deeper than a fixed limit are flattened, and
// unbalanced braces are tolerated, so no input can crash or hang the reader.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// One stretch of text with one style.
struct RichRun {
    std::string text;           // UTF-8
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int32_t halfPoints = 24;    // font size in half points ("\fs24" = 12 pt, the default)
    uint32_t color = 0;         // 0xRRGGBB; 0 (black) when no colour is chosen
    bool hasColor = false;      // false: the viewer's own text colour
};

struct RichParagraph {
    std::vector<RichRun> runs;
};

struct RichDocument {
    std::vector<RichParagraph> paragraphs;

    // The whole text, paragraphs joined by '\n' (what a search sees).
    std::string PlainText() const;
};

RichDocument ReadRtf(std::string_view bytes);

}  // namespace vantrel
