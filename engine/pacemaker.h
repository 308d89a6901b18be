// The implanted pacemaker: up to three leads (atrium, ventricle, second ventricle), six modes, a
// timing step that paces before the cells step and a sensing step that sees a lead cell's impulse
// leave it.  A pace excites the lead cell whatever its state and draws the stimulus spike.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/field_range.h"
#include "engine/heart_record.h"

namespace vantrel {

enum PacemakerMode : int32_t {
    kPmNone = 0,
    kPmAai = 1,
    kPmVvi = 2,
    kPmDdd = 3,
    kPmDddPlus = 4,
    kPmCrt = 5,
};
inline constexpr int32_t kPacemakerModeCount = 6;

// The mode list as the dialog shows it: "None", "AAI", "VVI", "DDD", "DDD +", "CRT".
const char* PacemakerModeName(int32_t mode);
// The mode of a list text (also accepts "DDD+" without the blank); -1 for an unknown text.
int32_t PacemakerModeFromName(std::string_view name);

// The settings as the "PACEMAKER SETUP" dialog holds them, ms and bpm, at their construction
// values.
struct PacemakerSettings {
    int32_t avDelayMs = 160;
    int32_t maxRateBpm = 140;
    int32_t basicRateBpm = 70;
    int32_t mode = kPmNone;
    int32_t vvDelayMs = 0;
    int32_t ventricularBlankingMs = 0;
    int32_t atrialBlankingMs = 0;
};

// The dialog's numeric fields in the order it reads them, with their ranges.
using PacemakerField = SettingField<PacemakerSettings>;
inline constexpr std::array<PacemakerField, 7> kPacemakerFields = {{
    {{"av", 5, 1000}, &PacemakerSettings::avDelayMs},
    {{"max", 30, 300}, &PacemakerSettings::maxRateBpm},
    {{"rate", 30, 200}, &PacemakerSettings::basicRateBpm},
    {{"mode", 0, kPacemakerModeCount - 1}, &PacemakerSettings::mode},
    {{"vv", -100, 100}, &PacemakerSettings::vvDelayMs},
    {{"vblank", 0, 1000}, &PacemakerSettings::ventricularBlankingMs},
    {{"ablank", 0, 1000}, &PacemakerSettings::atrialBlankingMs},
}};

// The first field outside its range, with the standard message; nothing when all fit.
std::optional<FieldRangeError> CheckPacemakerSettings(const PacemakerSettings& settings);

// Converts the settings to ticks and stores them with the mode, clears the leads the mode does
// not use and copies the leads into the picture's electrode records 10..12 (the picture re-marks
// the cells when it redraws).  Values outside the dialog's ranges are brought into them.
void SetupPacemaker(CCoeur& heart, int32_t mode, int32_t atrialBlankingMs,
                    int32_t ventricularBlankingMs, int32_t avDelayMs, int32_t vvDelayMs,
                    int32_t basicRateBpm, int32_t maxRateBpm);
void SetupPacemaker(CCoeur& heart, const PacemakerSettings& settings);

// Clears the leads the current mode does not use, copies the leads into the electrode records and
// re-marks the electrode cells.
void ApplyMode(CCoeur& heart);

// The tick's pacemaker timing: sensed events, tracking and paces of the three channels.
void PacemakerTiming(CCoeur& heart);
// The tick's pacemaker sensing, after the cells have stepped: a lead cell whose impulse leaves it
// is sensed; the next tick's timing consumes it.
void PacemakerSensing(CCoeur& heart);

}  // namespace vantrel
