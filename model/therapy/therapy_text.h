// The drug and sequence texts of a heart model: where their entries are, what each entry's display
// name, comment and action lines are, and the one start sequence.  Everything here reads plain
// bytes and never fails: a missing name, quote or number yields an empty result, never an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// A reading position in a drug or sequence text (or in one action line), with the reading rules
// the model language shares: keyword search, words, text tokens, numbers.  Lines end at a carriage
// return or a line feed (included sequence files may carry either).
class TherapyTextCursor {
public:
    explicit TherapyTextCursor(std::string_view text, std::size_t position = 0);

    std::size_t Position() const { return position_; }
    bool AtEnd() const { return position_ >= text_.size(); }
    // The byte at the position, or 0 at the end.
    char Peek() const { return AtEnd() ? '\0' : text_[position_]; }
    // Moves n bytes on, never past the end.
    void Skip(std::size_t n);

    // Keyword search: finds the first occurrence of `keyword` from the position on, anywhere (not
    // only at a word start), and moves just past it.  Not found: false, the position is unchanged.
    bool Find(std::string_view keyword);
    // Skips spaces, then takes bytes up to a space, ";", "=", TAB or line end; the delimiter is
    // consumed.  An empty word means the line is used up.
    std::string Word();
    // As Word, but only ";", "=" and the line end stop it, so it may hold spaces.
    std::string TextToken();
    // Skips spaces, "=" and ";", one optional "+", one optional "-", then decimal digits.
    // Returns kNoValue (32768) when no digit follows; the value wraps at 32 bits like the model
    // reader's numbers.
    int32_t Number();
    // Moves to the start of the next line (past the line break); to the end when there is none.
    void NextLine();

private:
    std::string_view text_;
    std::size_t position_;
};

// The action lines of a region: each line with its leading spaces skipped, empty lines dropped.
std::vector<std::string_view> ActionLines(std::string_view actions);

// One entry of the drug or sequence list, as the list shows it.
struct TherapyEntry {
    std::string name;            // display name
    std::size_t nameAt = 0;  // where the display name starts in the text
};

// What selecting an entry shows and does.
struct TherapyEntryText {
    std::string comment;  // shown for confirmation before the actions run
    std::string actions;  // the action lines
};

// Every "#Drug:" of the text, in text order, with the display name: the text after the opening
// quote at the start of the next line, up to the line end, ";" or "=".
std::vector<TherapyEntry> ListDrugs(std::string_view drugText);
// Every "#Sequence:" of the text with the display name that follows the marker on its line.
std::vector<TherapyEntry> ListSequences(std::string_view sequenceText);

// A drug's comment (from its display name to just before the closing quote) and its actions (the
// lines after the quote's line, up to the next "#Drug").  The entry is found by where its name
// was listed, so that the same name written in an earlier comment or on the "#Drug:" line cannot
// stand in for it.  Nothing when the name or the closing quote is missing.
std::optional<TherapyEntryText> DrugText(std::string_view drugText, const TherapyEntry& entry);
// A sequence's comment (between the quotes that open the line after its name) and its actions
// (the lines after the closing quote's line, up to the line that holds the next "#Sequence" or
// "#StartSequence").  Nothing when the name or the closing quote is missing.
std::optional<TherapyEntryText> SequenceText(std::string_view sequenceText,
                                             const TherapyEntry& entry);
// The start sequence's actions: the lines after the "#StartSequence:" line up to the line that
// holds the next "#Sequence".  Nothing when the text has no start sequence.
std::optional<std::string> StartSequenceActions(std::string_view sequenceText);

}  // namespace vantrel
