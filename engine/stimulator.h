// The programmed stimulator: plays a stimulation program through one intracardiac electrode, or
// paces every 800 ms in repeat mode (emergency pacing).  A stimulus excites the electrode cell
// when it is not absolutely refractory and draws the stimulus spike.  With no electrode placed
// (cell -1, or a cell the model does not have) nothing is stimulated and no spike is drawn.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/field_range.h"
#include "engine/heart_record.h"
#include "engine/stimulator_program.h"

namespace vantrel {

// What reading past the program's last number yields.
inline constexpr int32_t kProgramEnd = 0x8000;
// Emergency pacing and "STOP" use this repeat delay: 75 per minute.
inline constexpr int32_t kEmergencyDelayMs = 800;
// Ticks to the next stimulus after a repeated program has been played to its end.
inline constexpr int32_t kRestartDelayTicks = 600;

// Reads the number at `pos` of a program text, skipping the commas around it, and moves `pos`
// past it; kProgramEnd at the end of the text.
int32_t ReadProgramNumber(const char* program, int32_t& pos);

// Takes a program and an electrode (lead 0..3; other values keep the current cell).  An idle or
// one-shot stimulator starts over: it waits for the electrode cell's next firing, then the first
// pair's delay.  A stimulator in repeat mode only takes the new program, lead and repeat flag and
// keeps its running countdown.  Returns false, changing nothing, when the program does not fit
// the record.
bool StartStimulator(CCoeur& heart, int32_t lead, bool repeat, int32_t repeatDelayMs,
                     std::string_view program);

// The tick's stimulator step, before the pacemaker and the cells.
void StimulatorTick(CCoeur& heart);
// The tick's bookkeeping when cell `cellIndex` fires: one firing less to wait for.
void StimulatorCellFired(CCoeur& heart, int32_t cellIndex);

// The dialog's buttons.  `settings` is the dialog's state after the click (for the emergency
// switch and the lead radios, the new state).  A refused field returns its error and changes
// nothing.
std::optional<FieldRangeError> PressStimulatorStart(CCoeur& heart,
                                                    const StimulatorSettings& settings);
std::optional<FieldRangeError> PressStimulatorEmergency(CCoeur& heart,
                                                        const StimulatorSettings& settings);
std::optional<FieldRangeError> PressStimulatorStop(CCoeur& heart,
                                                   const StimulatorSettings& settings);
std::optional<FieldRangeError> SelectStimulatorLead(CCoeur& heart,
                                                    const StimulatorSettings& settings);

// The message "START" shows when the settings make a program longer than the record holds.
std::string StimulatorProgramTooLongMessage();

}  // namespace vantrel
