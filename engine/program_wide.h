// The little state that is program-wide rather than part of one heart model: it survives model
// loads.  Kept in this one place so that nothing else in the core needs a global.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// The current language: the loaded language file's text and whether it is in use.  Written by
// the language loader on the user-interface thread, between ticks.
struct TranslationTable {
    // The language file's bytes (8-bit Western European text), or empty.  Kept when the user
    // goes back to English: the menu keeps the last language until the program restarts.
    std::string languageText;
    // False while the program starts and whenever English (language 0) is chosen: every text is
    // then its English default.
    bool active = false;

    // The text of `key` in `languageText`: the text of the first line that begins with the key
    // and a tab (never the file's first line, which no line feed precedes), up to the line's
    // end, with every backslash-n pair but one that ends the text made a line break.  Nothing
    // when the key has no line.
    std::optional<std::string> Find(std::string_view key) const;
    // Translate() on this table.
    std::string Text(std::string_view key, const std::string& defaultText) const;
};

// The respiration generator's current interpolation segment: it deliberately outlives a model load.
struct RespirationSegment {
    int32_t respFrom = 0;
    int32_t respDelta = 0;
    int32_t previousTarget = 0;
};

// The last heart rates the two rate queries computed, bpm: they outlive a model load.
struct RememberedRates {
    int32_t rateCell = 60;
    int32_t cell5 = 60;
};

struct ProgramWide {
    TranslationTable translation;
    RespirationSegment respiration;
    RememberedRates rates;
    // Main window height * 1000 / 630, fixed at start-up; 1000 until the desktop computes it.
    // The model reader's rotations turn about a line that depends on it.
    int32_t displayScale = 1000;
};

// `raw` with every backslash-n pair made a line feed, except a pair that ends the text.
std::string ExpandLineBreaks(std::string_view raw);

// The one instance, for the life of the program.
ProgramWide& Program();

// The text for a key in the current language, or the English default when the key is missing or
// the language is English ("Not found" when the default is empty too).  Texts are 8-bit Western
// European bytes.
std::string Translate(const std::string& key, const std::string& defaultText);

}  // namespace vantrel
