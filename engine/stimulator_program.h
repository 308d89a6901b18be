// The "ORTHORHYTHMIC STIMULATOR" dialog's settings and the stimulation program they make: a text
// of comma-terminated numbers read pair by pair (delay ms, firings of the electrode cell to wait).
// Building the program is a pure function of the settings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/field_range.h"

namespace vantrel {

enum class StimulatorMode : int32_t {
    Fixed = 0,          // "Fixed"
    AutoIncrement = 1,  // "Auto-Increment": S2 stepped up from burst to burst
    AutoDecrement = 2,  // "Auto-Decrement": S2 stepped down
};

// The dialog's settings at its defaults.
struct StimulatorSettings {
    bool train = false;            // "S1 - S1" drive train
    int32_t s1Interval = 600;      // ms
    bool withIntermediate = false; // "with" N "intermediate QRS" (else "Without ...")
    int32_t intermediateQrs = 3;   // N
    int32_t s2 = 500;              // ms
    StimulatorMode mode = StimulatorMode::Fixed;
    int32_t step = 25;    // ms
    int32_t limit = 200;  // ms
    bool s3On = false;
    int32_t s3 = 270;  // ms
    bool s4On = false;
    int32_t s4 = 250;  // ms
    bool pauseOn = true;  // "Add a pause after burst of :"
    int32_t pause = 3000;  // ms
    int32_t lead = 1;      // "Lead 1" .. "Lead 4"
    bool emergency = false;  // the "EMERGENCY" switch
};

// The dialog's integer fields in the order it reads them, with their ranges.
using StimulatorField = SettingField<StimulatorSettings>;
inline constexpr std::array<StimulatorField, 9> kStimulatorFields = {{
    {{"s1", 5, 10000}, &StimulatorSettings::s1Interval},
    {{"n", 0, 100}, &StimulatorSettings::intermediateQrs},
    {{"s2", 5, 10000}, &StimulatorSettings::s2},
    {{"step", 5, 1000}, &StimulatorSettings::step},
    {{"limit", 5, 10000}, &StimulatorSettings::limit},
    {{"s3", 5, 1000}, &StimulatorSettings::s3},
    {{"s4", 5, 1000}, &StimulatorSettings::s4},
    {{"pause", 1, 10000}, &StimulatorSettings::pause},
    {{"lead", 1, 4}, &StimulatorSettings::lead},
}};

// The first field outside its range, with the standard message; nothing when all fit.
std::optional<FieldRangeError> CheckStimulatorSettings(const StimulatorSettings& settings);

// The program text the settings make, e.g. "600,0,600,0,600,0,500,0,270,0,".
std::string BuildStimulatorProgram(const StimulatorSettings& settings);

// The S1-S1 slider (positions 0..1000, top 0) as the interval it sets, ms.
inline constexpr int32_t S1IntervalFromSlider(int32_t position) {
    return 1000 - position < 10 ? 10 : 1000 - position;
}

}  // namespace vantrel
