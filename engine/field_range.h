// An integer field of a settings dialog and the range it accepts.  The engine keeps the ranges
// beside the settings they guard so that the desktop's dialogs and the headless runner refuse
// the same values with the same text.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

struct FieldRange {
    const char* name;  // the runner's word for the field ("av", "s2", ...)
    int32_t min;
    int32_t max;
};

// A refused field: which one (index into its settings' field table) and the standard text.
struct FieldRangeError {
    int32_t field = -1;
    std::string message;
};

inline bool InRange(const FieldRange& range, int32_t value) {
    return value >= range.min && value <= range.max;
}

// The framework's standard text for an integer outside its range.
inline std::string FieldRangeMessage(const FieldRange& range) {
    return "Please enter an integer between " + std::to_string(range.min) + " and " +
           std::to_string(range.max) + ".";
}

}  // namespace vantrel
