#include "engine/stimulator.h"

#include <algorithm>
#include <cstring>

#include "engine/cell_automaton.h"
#include "engine/program_wide.h"

namespace vantrel {

namespace {

constexpr int32_t kLargestNumber = kProgramEnd - 1;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int32_t ProgramLength(const CCoeur& heart) {
    return static_cast<int32_t>(strnlen(heart.stimProgram, kStimProgramSize));
}

// The electrode cell, or -1 when the electrode is not on a cell of this model.
int32_t StimulatedCell(const CCoeur& heart) {
    return heart.stimCell >= 0 && heart.stimCell < heart.cellCount ? heart.stimCell : -1;
}

int32_t LeadIndex(const StimulatorSettings& settings) {
    return std::clamp<int32_t>(settings.lead, 1, 4) - 1;
}

}  // namespace

int32_t ReadProgramNumber(const char* program, int32_t& pos) {
    // Anything but digits separates numbers: the builder writes commas only, a hand-made program
    // may hold blanks.
    while (pos < kStimProgramSize && program[pos] != 0 && !IsDigit(program[pos])) ++pos;
    if (pos >= kStimProgramSize || program[pos] == 0) return kProgramEnd;
    int32_t value = 0;
    while (pos < kStimProgramSize && IsDigit(program[pos])) {
        value = std::min(value * 10 + (program[pos] - '0'), kLargestNumber);
        ++pos;
    }
    if (pos < kStimProgramSize && program[pos] == ',') ++pos;
    return value;
}

bool StartStimulator(CCoeur& heart, int32_t lead, bool repeat, int32_t repeatDelayMs,
                     std::string_view program) {
    if (program.size() >= static_cast<size_t>(kStimProgramSize)) return false;
    heart.stimRepeatDelay = MsToTicks(repeatDelayMs);
    if (!program.empty()) std::memcpy(heart.stimProgram, program.data(), program.size());
    heart.stimProgram[program.size()] = 0;
    heart.stimPos = 0;
    if (lead >= 0 && lead < 4) heart.stimCell = heart.icCell[lead];
    if (!heart.stimActive) {
        if (!program.empty()) {
            // The first pair is consumed here: it times the first stimulus from the electrode
            // cell's next firing, and each stimulus then reads the pair that times the next one.
            const int32_t delay = ReadProgramNumber(heart.stimProgram, heart.stimPos);
            const int32_t wait = ReadProgramNumber(heart.stimProgram, heart.stimPos);
            heart.stimCountdown = delay == kProgramEnd ? 0 : MsToTicks(delay);
            heart.stimWait = wait == kProgramEnd ? 1 : std::max<int32_t>(wait, 1);
        } else {
            heart.stimCountdown = repeat ? heart.stimRepeatDelay : 0;
            heart.stimWait = 1;
        }
    }
    heart.stimActive = repeat ? 1 : 0;
    return true;
}

void StimulatorTick(CCoeur& heart) {
    if (heart.stimWait > 0 || heart.stimCountdown == 0) return;
    // A negative countdown means nothing is pending; it would never reach 0, so it stays put.
    if (heart.stimCountdown < 0) return;
    if (--heart.stimCountdown != 0) return;

    int32_t delay = kProgramEnd;
    int32_t wait = kProgramEnd;
    if (heart.stimPos < ProgramLength(heart)) {
        delay = ReadProgramNumber(heart.stimProgram, heart.stimPos);
        wait = ReadProgramNumber(heart.stimProgram, heart.stimPos);
        if (heart.stimActive) heart.stimRestartPending = 1;
    }
    if (delay == kProgramEnd || wait == kProgramEnd) {
        if (!heart.stimActive) {
            heart.stimCountdown = 0;  // the program is over
        } else if (heart.stimRestartPending) {
            heart.stimCountdown = kRestartDelayTicks;
            heart.stimRestartPending = 0;
        } else {
            heart.stimCountdown = heart.stimRepeatDelay;
        }
        heart.stimWait = 0;
    } else {
        heart.stimCountdown = MsToTicks(delay);
        heart.stimWait = wait;
    }

    const int32_t cell = StimulatedCell(heart);
    if (cell < 0) return;  // no electrode on the heart: nothing to stimulate, nothing to draw
    Stimulate(heart.cells[cell], true);
    heart.markerFlag = 1;
}

void StimulatorCellFired(CCoeur& heart, int32_t cellIndex) {
    if (cellIndex == heart.stimCell && heart.stimWait > 0) --heart.stimWait;
}

std::string StimulatorProgramTooLongMessage() {
    return Translate("IDS_STIMPROGTOOLONG",
                     "These settings make too long a stimulation program: use a larger step or "
                     "fewer intermediate QRS.");
}

std::optional<FieldRangeError> PressStimulatorStart(CCoeur& heart,
                                                    const StimulatorSettings& settings) {
    if (auto error = CheckStimulatorSettings(settings)) return error;
    const std::string program = BuildStimulatorProgram(settings);
    if (program.size() >= static_cast<size_t>(kStimProgramSize))
        return FieldRangeError{-1, StimulatorProgramTooLongMessage()};
    if (settings.emergency) return std::nullopt;
    StartStimulator(heart, LeadIndex(settings), false, settings.s1Interval, program);
    return std::nullopt;
}

std::optional<FieldRangeError> PressStimulatorEmergency(CCoeur& heart,
                                                        const StimulatorSettings& settings) {
    if (auto error = CheckStimulatorSettings(settings)) return error;
    StartStimulator(heart, LeadIndex(settings), settings.emergency, kEmergencyDelayMs, {});
    return std::nullopt;
}

std::optional<FieldRangeError> PressStimulatorStop(CCoeur& heart,
                                                   const StimulatorSettings& settings) {
    StartStimulator(heart, LeadIndex(settings), false, kEmergencyDelayMs, {});
    if (settings.emergency) return PressStimulatorEmergency(heart, settings);
    return std::nullopt;
}

std::optional<FieldRangeError> SelectStimulatorLead(CCoeur& heart,
                                                    const StimulatorSettings& settings) {
    if (!settings.emergency) return std::nullopt;  // the lead takes effect at the next "START"
    return PressStimulatorStop(heart, settings);
}

}  // namespace vantrel
