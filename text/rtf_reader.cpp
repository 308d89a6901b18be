#include "text/rtf_reader.h"

#include <algorithm>
#include <cctype>

#include "model/windows1252.h"

namespace vantrel {
namespace {

// Deeper groups than this share the state of the last level kept: a hostile file of a million
// opening braces costs no memory and no recursion.
constexpr size_t kMaxGroupDepth = 200;
constexpr size_t kMaxColours = 256;

struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int32_t halfPoints = 24;
    int32_t colourIndex = 0;  // "\cf": index in the colour table, 0 = automatic
    int32_t skipAfterUnicode = 1;  // "\uc": characters standing in for each "\u"
    bool dropped = false;     // inside a destination whose text is not shown
    bool colourTable = false; // inside "{\colortbl ...}"
};

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsDroppedDestination(std::string_view word) {
    static constexpr std::string_view kDropped[] = {
        "fonttbl", "stylesheet", "info", "pict", "header", "footer", "headerl", "headerr",
        "footerl", "footerr", "footnote", "object", "themedata", "colorschememapping",
        "latentstyles", "datastore", "xmlnstbl", "listtable", "listoverridetable", "rsidtbl",
        "generator", "filetbl", "revtbl", "pgdsctbl", "fldinst", "bkmkstart", "bkmkend"};
    for (std::string_view dropped : kDropped)
        if (word == dropped) return true;
    return false;
}

class RtfParser {
public:
    explicit RtfParser(std::string_view in) : in_(in) { stack_.push_back(GroupState{}); }

    RichDocument Run() {
        doc_.paragraphs.emplace_back();
        while (pos_ < in_.size()) {
            char c = in_[pos_];
            if (c == '{') {
                ++pos_;
                OpenGroup();
            } else if (c == '}') {
                ++pos_;
                CloseGroup();
            } else if (c == '\\') {
                ++pos_;
                ControlSymbolOrWord();
            } else if (c == '\r' || c == '\n') {
                ++pos_;  // line ends in the file are not text
            } else {
                ++pos_;
                Text(static_cast<unsigned char>(c));
            }
        }
        // A document that ends with "\par" has an empty last paragraph: not a line of its own.
        if (doc_.paragraphs.size() > 1 && doc_.paragraphs.back().runs.empty())
            doc_.paragraphs.pop_back();
        return std::move(doc_);
    }

private:
    GroupState& State() { return stack_.back(); }

    void OpenGroup() {
        if (stack_.size() < kMaxGroupDepth) {
            GroupState copy = State();
            copy.colourTable = false;
            stack_.push_back(copy);
            justOpened_ = true;
        } else {
            ++flattened_;
        }
    }

    void CloseGroup() {
        if (flattened_ > 0) {
            --flattened_;
        } else if (stack_.size() > 1) {
            stack_.pop_back();
        }
        justOpened_ = false;
        pendingSkip_ = 0;
    }

    void ControlSymbolOrWord() {
        bool firstInGroup = justOpened_;
        justOpened_ = false;
        if (pos_ >= in_.size()) return;
        char c = in_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            switch (c) {
            case '\\': case '{': case '}': Text(static_cast<unsigned char>(c)); break;
            case '\'': HexByte(); break;
            case '*': if (firstInGroup) State().dropped = true; break;  // "{\*\...}": an optional destination
            case '~': AppendCode(0xA0); break;
            case '-': break;  // optional hyphen
            case '_': AppendCode(0x2011); break;
            case '\r': case '\n': NewParagraph(); break;  // "\" + line end is a paragraph
            default: break;
            }
            return;
        }
        size_t start = pos_;
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_])) &&
               pos_ - start < 32)
            ++pos_;
        std::string_view word = in_.substr(start, pos_ - start);
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_]))) ++pos_;
        bool hasParam = false;
        bool negative = false;
        int64_t param = 0;
        if (pos_ < in_.size() && in_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
            hasParam = true;
            if (param < 100000000) param = param * 10 + (in_[pos_] - '0');
            ++pos_;
        }
        if (negative) param = -param;
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiting space belongs to the word
        Word(word, hasParam, static_cast<int32_t>(param), firstInGroup);
    }

    void Word(std::string_view word, bool hasParam, int32_t param, bool firstInGroup) {
        GroupState& s = State();
        bool on = !hasParam || param != 0;
        if (word == "par") {
            NewParagraph();
        } else if (word == "line") {
            AppendCode('\n');
        } else if (word == "tab") {
            AppendCode('\t');
        } else if (word == "b") {
            s.bold = on;
        } else if (word == "i") {
            s.italic = on;
        } else if (word == "ul") {
            s.underline = on;
        } else if (word == "ulnone") {
            s.underline = false;
        } else if (word == "plain") {
            s.bold = s.italic = s.underline = false;
            s.halfPoints = 24;
            s.colourIndex = 0;
        } else if (word == "fs") {
            if (hasParam && param > 0) s.halfPoints = std::min<int32_t>(param, 400);
        } else if (word == "cf") {
            s.colourIndex = hasParam ? param : 0;
        } else if (word == "colortbl") {
            s.colourTable = true;
            s.dropped = true;  // its text (the separators) is not shown
            colours_.clear();
            colourRed_ = colourGreen_ = colourBlue_ = 0;
        } else if (word == "red" || word == "green" || word == "blue") {
            if (s.colourTable && hasParam) {
                int32_t v = std::clamp(param, 0, 255);
                (word == "red" ? colourRed_ : word == "green" ? colourGreen_ : colourBlue_) = v;
            }
        } else if (word == "uc") {
            if (hasParam) s.skipAfterUnicode = std::clamp(param, 0, 10);
        } else if (word == "u") {
            if (hasParam) {
                int32_t code = param < 0 ? param + 65536 : param;
                if (code <= 0 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
                AppendCode(static_cast<uint32_t>(code));
                pendingSkip_ = s.skipAfterUnicode;
            }
        } else if (word == "emdash") {
            AppendCode(0x2014);
        } else if (word == "endash") {
            AppendCode(0x2013);
        } else if (word == "bullet") {
            AppendCode(0x2022);
        } else if (word == "lquote") {
            AppendCode(0x2018);
        } else if (word == "rquote") {
            AppendCode(0x2019);
        } else if (word == "ldblquote") {
            AppendCode(0x201C);
        } else if (word == "rdblquote") {
            AppendCode(0x201D);
        } else if (firstInGroup && IsDroppedDestination(word)) {
            s.dropped = true;
        }
        // Every other control word is skipped.
    }

    // ";" ends one colour of the table; the colours come in "\cf" index order from 0.
    void ColourSeparator() {
        if (colours_.size() < kMaxColours)
            colours_.push_back((static_cast<uint32_t>(colourRed_) << 16) |
                               (static_cast<uint32_t>(colourGreen_) << 8) |
                               static_cast<uint32_t>(colourBlue_));
        colourRed_ = colourGreen_ = colourBlue_ = 0;
    }

    void HexByte() {
        int high = pos_ < in_.size() ? HexValue(in_[pos_]) : -1;
        int low = pos_ + 1 < in_.size() ? HexValue(in_[pos_ + 1]) : -1;
        if (high < 0 || low < 0) return;  // a broken escape is dropped
        pos_ += 2;
        Text(static_cast<unsigned char>(high * 16 + low));
    }

    void Text(unsigned char byte) {
        justOpened_ = false;
        if (pendingSkip_ > 0) {  // the stand-in characters after "\u"
            --pendingSkip_;
            return;
        }
        GroupState& s = State();
        if (s.colourTable) {
            if (byte == ';') ColourSeparator();
            return;
        }
        if (s.dropped) return;
        std::string utf8 = byte < 0x80 ? std::string(1, static_cast<char>(byte))
                                       : Windows1252ToUtf8(std::string_view(
                                             reinterpret_cast<const char*>(&byte), 1));
        AppendUtf8Text(utf8);
    }

    void AppendCode(uint32_t code) {
        if (State().dropped) return;
        std::string utf8;
        AppendUtf8(utf8, code);
        AppendUtf8Text(utf8);
    }

    void AppendUtf8Text(const std::string& utf8) {
        const GroupState& s = State();
        std::vector<RichRun>& runs = doc_.paragraphs.back().runs;
        uint32_t colour = 0;
        bool hasColour = false;
        if (s.colourIndex > 0 && static_cast<size_t>(s.colourIndex) < colours_.size()) {
            colour = colours_[static_cast<size_t>(s.colourIndex)];
            hasColour = true;
        }
        if (runs.empty() || runs.back().bold != s.bold || runs.back().italic != s.italic ||
            runs.back().underline != s.underline || runs.back().halfPoints != s.halfPoints ||
            runs.back().hasColor != hasColour || runs.back().color != colour) {
            RichRun run;
            run.bold = s.bold;
            run.italic = s.italic;
            run.underline = s.underline;
            run.halfPoints = s.halfPoints;
            run.color = colour;
            run.hasColor = hasColour;
            runs.push_back(std::move(run));
        }
        runs.back().text += utf8;
    }

    void NewParagraph() {
        if (State().dropped) return;
        doc_.paragraphs.emplace_back();
    }

    std::string_view in_;
    size_t pos_ = 0;
    std::vector<GroupState> stack_;
    size_t flattened_ = 0;       // groups opened beyond the depth limit, not yet closed
    bool justOpened_ = false;    // the next control word is the first of its group
    int32_t pendingSkip_ = 0;
    std::vector<uint32_t> colours_;
    int32_t colourRed_ = 0, colourGreen_ = 0, colourBlue_ = 0;
    RichDocument doc_;
};

}  // namespace

std::string RichDocument::PlainText() const {
    std::string text;
    for (size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0) text += '\n';
        for (const RichRun& run : paragraphs[p].runs) text += run.text;
    }
    return text;
}

RichDocument ReadRtf(std::string_view bytes) { return RtfParser(bytes).Run(); }

}  // namespace vantrel
