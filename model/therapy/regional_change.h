// "Advanced Functions": a teacher scales the conduction times, the absolute refractory period or
// the escape period of whole regions of the heart by a percentage.  Unlike a drug, the change is
// forced (made even where a definitive drug change was made), becomes the model's value (so that
// washouts keep it), and is taken from the values the region had before any such change: applying
// the same percentage twice gives the same heart, and 100 % gives the model back.  The caller
// holds the model lock.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/heart_record.h"

namespace vantrel {

// What the dialog shows and the frame keeps between two openings, for the whole run.
struct AdvancedFunctionValues {
    int32_t coefficient = 100;  // percent
    // 0 anterograde conduction time, 1 retrograde conduction time, 2 absolute refractory
    // period, 3 escape period.
    int32_t function = 0;
    int32_t rightAtrium = 1;     // cells whose names begin with "RA"
    int32_t leftAtrium = 1;      // "LA"
    int32_t avNode = 0;          // "AV"
    int32_t rightVentricle = 1;  // "RV"
    int32_t leftVentricle = 1;   // "LV"
    int32_t byName = 0;          // the name text instead of the areas
    std::string nameText;        // cell-name prefix ("All": every cell), 8-bit text
    int32_t parasympathetic = 1;  // change the pair's first value (the one at tone 0)
    int32_t sympathetic = 1;      // change the pair's second value (the one at tone 1000)
};

inline constexpr int32_t kAdvancedCoefficientMin = 1;
inline constexpr int32_t kAdvancedCoefficientMax = 1000;

// The patterns one application changes, in order: the name text, or the ticked areas in the
// order "LA", "RA", "LV", "RV", "AV".
std::vector<std::string> AdvancedPatterns(const AdvancedFunctionValues& values);

class RegionalChanges {
public:
    // Applies the values to every cell the patterns name; returns the number of cell changes.
    int Apply(CCoeur& heart, const AdvancedFunctionValues& values);
    // A new model was loaded: its values are the starting point again.
    void Forget() { bases_.clear(); }

private:
    // One side of a tone pair: the model value before the first change, and the value last
    // written.  A model value that differs from the one written was changed by something else
    // (the cell dialog), which then becomes the starting point.
    struct Base {
        bool known = false;
        int32_t before = 0;
        int32_t written = 0;
    };
    using CellBases = std::array<Base, 8>;  // 4 functions x 2 sides

    int32_t Scaled(Base& base, int32_t modelValue, int32_t percent);

    std::vector<CellBases> bases_;
};

}  // namespace vantrel
