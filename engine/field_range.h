// An integer field of a settings dialog and the range it accepts.  The engine keeps the ranges
// beside the settings they guard so that the desktop's dialogs and the headless runner refuse
// the same values with the same text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
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

// One integer field of a settings record with its range.
template <class Settings>
struct SettingField {
    FieldRange range;
    int32_t Settings::*value;
};

// The first field of `fields` (in the order the dialog reads them) whose value lies outside its
// range, with the standard message; nothing when all fit.
template <class Settings, size_t N>
std::optional<FieldRangeError> CheckFields(const std::array<SettingField<Settings>, N>& fields,
                                           const Settings& settings) {
    for (size_t f = 0; f < N; ++f)
        if (!InRange(fields[f].range, settings.*fields[f].value))
            return FieldRangeError{static_cast<int32_t>(f), FieldRangeMessage(fields[f].range)};
    return std::nullopt;
}

}  // namespace vantrel
