// The little state that is program-wide rather than part of one heart model: it survives model
// loads.  Kept in this one place so that nothing else in the core needs a global.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace vantrel {

// The current language's texts by translation key; empty means English, where every text is its
// default.  Filled by the language loader on the user-interface thread, between ticks.
struct TranslationTable {
    std::map<std::string, std::string> texts;
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

// The one instance, for the life of the program.
ProgramWide& Program();

// The text for a key in the current language, or the English default when the key is missing or
// the language is English.  Texts are 8-bit Western European bytes.
std::string Translate(const std::string& key, const std::string& defaultText);

}  // namespace vantrel
