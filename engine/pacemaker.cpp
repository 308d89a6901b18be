#include "engine/pacemaker.h"

#include <algorithm>
#include <cstdlib>

#include "engine/cell_automaton.h"

namespace vantrel {

namespace {

constexpr const char* kModeNames[kPacemakerModeCount] = {"None", "AAI", "VVI",
                                                         "DDD",  "DDD +", "CRT"};

// Ventricular events sensed this soon after a ventricular event are ignored, ticks.
constexpr int32_t kVentricularRefractory = 20;
// Atrial cycles shorter than this (ticks) with a change of under 6 ticks feed the irregularity
// measure.
constexpr int32_t kIrregularCycle = 150;
// An atrial escape left below 0 (no V-A interval) counts down no further than this, far below
// any value the blanking test compares it with, so that a run of months cannot overflow it.
constexpr int32_t kStrandedEscapeFloor = -1'000'000;

// A lead is present when it names a cell of the model; anything else is no lead at all, so that
// a stale index never reaches the cell array.
int32_t LeadCell(const CCoeur& heart, int32_t cell) {
    return cell >= 0 && cell < heart.cellCount ? cell : -1;
}

void Pace(CCoeur& heart, int32_t cell) {
    heart.markerFlag = 1;
    Stimulate(heart.cells[cell], false);
}

void ClearUnusedLeads(CCoeur& heart) {
    switch (heart.pmMode) {
        case kPmAai:
            heart.pmVentricularCell = heart.pmVentricular2Cell = -1;
            break;
        case kPmVvi:
            heart.pmAtrialCell = heart.pmVentricular2Cell = -1;
            break;
        case kPmDdd:
        case kPmDddPlus:
            heart.pmVentricular2Cell = -1;
            break;
        case kPmCrt:
            break;
        default:  // "None", and any mode the list does not have
            heart.pmAtrialCell = heart.pmVentricularCell = heart.pmVentricular2Cell = -1;
            break;
    }
}

void CopyLeadsToElectrodes(CCoeur& heart) {
    heart.electrodes[10].cell = heart.pmAtrialCell;
    heart.electrodes[11].cell = heart.pmVentricularCell;
    heart.electrodes[12].cell = heart.pmVentricular2Cell;
}

// A value brought into the range of the dialog field that holds it.
int32_t Clamp(int32_t value, int32_t PacemakerSettings::*member) {
    for (const PacemakerField& field : kPacemakerFields)
        if (field.value == member) return std::clamp(value, field.range.min, field.range.max);
    return value;
}

}  // namespace

const char* PacemakerModeName(int32_t mode) {
    return mode >= 0 && mode < kPacemakerModeCount ? kModeNames[mode] : "";
}

int32_t PacemakerModeFromName(std::string_view name) {
    for (int32_t m = 0; m < kPacemakerModeCount; ++m)
        if (name == kModeNames[m]) return m;
    if (name == "DDD+") return kPmDddPlus;
    return -1;
}

std::optional<FieldRangeError> CheckPacemakerSettings(const PacemakerSettings& settings) {
    return CheckFields(kPacemakerFields, settings);
}

void SetupPacemaker(CCoeur& heart, int32_t mode, int32_t atrialBlankingMs,
                    int32_t ventricularBlankingMs, int32_t avDelayMs, int32_t vvDelayMs,
                    int32_t basicRateBpm, int32_t maxRateBpm) {
    // The dialog has checked the ranges; clamping again keeps a caller that has not (a settings
    // file, a script) from dividing by a rate of 0.
    heart.pmMode = Clamp(mode, &PacemakerSettings::mode);
    heart.pmAtrialRefractory = MsToTicks(Clamp(atrialBlankingMs, &PacemakerSettings::atrialBlankingMs));
    heart.pmVentricularBlanking = MsToTicks(Clamp(ventricularBlankingMs, &PacemakerSettings::ventricularBlankingMs));
    heart.pmAvDelay = std::max<int32_t>(MsToTicks(Clamp(avDelayMs, &PacemakerSettings::avDelayMs)), 1);
    heart.pmVvDelay = MsToTicks(Clamp(vvDelayMs, &PacemakerSettings::vvDelayMs));
    heart.pmPeriod = 12000 / Clamp(basicRateBpm, &PacemakerSettings::basicRateBpm);
    heart.pmMinPeriod = 12000 / Clamp(maxRateBpm, &PacemakerSettings::maxRateBpm);
    heart.pmDddPlus = heart.pmMode > kPmDdd ? 1 : 0;
    ClearUnusedLeads(heart);
    CopyLeadsToElectrodes(heart);
}

void SetupPacemaker(CCoeur& heart, const PacemakerSettings& s) {
    SetupPacemaker(heart, s.mode, s.atrialBlankingMs, s.ventricularBlankingMs, s.avDelayMs,
                   s.vvDelayMs, s.basicRateBpm, s.maxRateBpm);
}

void ApplyMode(CCoeur& heart) {
    ClearUnusedLeads(heart);
    CopyLeadsToElectrodes(heart);
    heart.MarkElectrodes();
}

void PacemakerTiming(CCoeur& heart) {
    const int32_t a = LeadCell(heart, heart.pmAtrialCell);
    const int32_t v = LeadCell(heart, heart.pmVentricularCell);
    const int32_t v2 = LeadCell(heart, heart.pmVentricular2Cell);
    const int32_t period = heart.pmPeriod;
    const int32_t avDelay = heart.pmAvDelay;

    if (a >= 0) {
        ++heart.pmAtrialCount;
        // Atrial sensing is blanked for the ventricular blanking time after a ventricular event,
        // which sets the atrial escape to period - A-V delay.
        const bool outsideBlanking =
            v < 0 || heart.pmAtrialEscape < period - heart.pmVentricularBlanking - avDelay;
        if (heart.pmAtrialCount > heart.pmAtrialRefractory && heart.pmAtrialSensed &&
            outsideBlanking) {
            const int32_t d = heart.pmAtrialCount - heart.pmPrevAtrialCount;
            if (heart.pmAtrialCount < kIrregularCycle && std::abs(d) < 6 &&
                (d > 0) != (heart.pmPrevAtrialDiff > 0))
                heart.pmIrregularity += std::abs(d);
            if (heart.pmIrregularity != 0) --heart.pmIrregularity;
            heart.pmPrevAtrialDiff = d;
            heart.pmPrevAtrialCount = heart.pmAtrialCount;
            heart.pmAtrialEscape = period;
            // Track the atrium only while its rate stays below the maximum rate.
            if (v >= 0 && heart.pmAtrialCount > heart.pmMinPeriod) {
                if (!heart.pmDddPlus) {
                    heart.pmVentricularEscape = avDelay;
                } else if (heart.pmIrregularity > 4) {
                    heart.pmIrregularity = 0;
                    heart.pmV2Countdown = -1;
                    heart.pmVentricularEscape = period;
                } else {
                    heart.pmVentricularEscape = std::max<int32_t>(avDelay + heart.pmAvHysteresis, 1);
                    heart.pmAvHysteresis = -heart.pmAvHysteresis;
                }
            }
            heart.pmAtrialCount = 0;
        }
        if (heart.pmAtrialEscape > kStrandedEscapeFloor) --heart.pmAtrialEscape;
        heart.pmAtrialSensed = 0;
        // The atrium is paced when its escape runs out, at 0.  An A-V delay at or above the basic
        // period leaves no V-A interval: a ventricular event puts the escape at or below 0 and the
        // atrium is not paced (pacing it then would hit an atrium just excited, one tick after
        // the ventricle, and stretch the ventricular cycle by the A-V delay).  With no
        // ventricular lead there is no V-A interval to wait for: an escape left below 0 by a
        // mode that had one paces at once.
        if (heart.pmAtrialEscape == 0 || (v < 0 && heart.pmAtrialEscape < 0)) {
            heart.pmVentricularEscape = avDelay;
            heart.pmAtrialEscape = period;
            Pace(heart, a);
        }
    }

    if (v >= 0) {
        if (heart.pmVentricularEscape < period - kVentricularRefractory &&
            heart.pmVentricularSensed) {
            heart.pmVentricularEscape = period;
            if (a >= 0) heart.pmAtrialEscape = period - avDelay;
        }
        --heart.pmVentricularEscape;
        heart.pmVentricularSensed = 0;
        if (heart.pmVentricularEscape == 0) {
            heart.pmVentricularEscape = period;
            Pace(heart, v);
            // A late atrial escape is realigned to the V-A interval; so is one stranded below 0
            // by an A-V delay that has since been shortened, so that atrial pacing resumes.
            if (a >= 0 && (heart.pmAtrialEscape > period - avDelay - 5 || heart.pmAtrialEscape < 0))
                heart.pmAtrialEscape = period - avDelay;
            if (v2 >= 0) heart.pmV2Countdown = heart.pmVvDelay + 1;
        }
    }

    if (heart.pmV2Countdown > 0 && --heart.pmV2Countdown == 0) {
        heart.pmV2Countdown = -1;
        // The lead may have gone (mode changed) while the pace was pending.
        if (v2 >= 0) Pace(heart, v2);
    }
}

void PacemakerSensing(CCoeur& heart) {
    const int32_t a = LeadCell(heart, heart.pmAtrialCell);
    const int32_t v = LeadCell(heart, heart.pmVentricularCell);
    if (a >= 0 && heart.cells[a].propagating) heart.pmAtrialSensed = 1;
    if (v >= 0 && heart.cells[v].propagating) heart.pmVentricularSensed = 1;
}

}  // namespace vantrel
