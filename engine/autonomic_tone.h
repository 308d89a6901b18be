// The autonomic tone (0..1000): set at once by the tone scroll bar and the model, or ramped toward a
// target by 10 every 200 ticks (one second of simulated time) by the sequences' baseline.
// Setting it at once is CCoeur::SetTone, which ends a running ramp; a later ramp starts afresh.
#pragma once

#include <cstdint>

#include "engine/heart_record.h"

namespace vantrel {

inline constexpr int32_t kToneRampStep = 10;
inline constexpr int32_t kToneRampTicks = 200;

// One step toward `target`: arrives when within 10, otherwise moves 10 and arms the countdown for
// the next step.  Posts message 1035 with the tone either way.
void RampTone(CCoeur& heart, int32_t target);

// The sequences' baseline: every link back to its model type and the tone ramped back to the
// model's.
void RestoreBaseline(CCoeur& heart);

// The tick's tone-ramp step: counts the ramp countdown down and takes the next step when it runs
// out.
void AdvanceToneRamp(CCoeur& heart);

// The rate the sinus node escapes at when the tone is `tone`, beats per minute: 12000 divided by
// the escape ticks the cell step uses at that tone (square-root tone), taken as 1 tick when not
// above 0.  -1 when the model has no cell named "Sinus".  Shown beside the tone scroll bar.
int32_t SinusRateAtTone(const CCoeur& heart, int32_t tone);

// The tone scroll bar's positions 0..200 (top = most sympathetic) as the tone it sets.
inline constexpr int32_t ToneFromScrollPosition(int32_t position) { return (200 - position) * 5; }

}  // namespace vantrel
