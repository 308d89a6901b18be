// Respiration: a trapezoidal breathing curve built from the record's 20-step table, drawn as the
// "Resp" lead, and, when respiratory arrhythmia is on, a breath-by-breath modulation of the tone
// that the cells step with (the stored tone itself never changes).
#pragma once

#include <cstdint>

#include "engine/heart_record.h"

namespace vantrel {

// Tones at or above this are left alone by the breathing.
inline constexpr int32_t kRespirationToneCeiling = 800;

// The tick's respiration generator: advances the curve by one tick and sets respValue.  Its
// current segment lives program-wide, so a model load does not break the curve.
void AdvanceRespiration(CCoeur& heart);

// The tone the cells step with this tick: t pulled toward 900 on inspiration and pushed away from
// it on expiration, when respiratory arrhythmia is on and t is below 800.
int32_t ModulateTone(const CCoeur& heart, int32_t t);

// n breaths per minute: segments of 600 / n ticks (600 for n of 0 or less).
void SetRespirationRate(CCoeur& heart, int32_t breathsPerMinute);
void SetRespirationAmplitude(CCoeur& heart, int32_t amplitude);
// The "Respiratory arrhythmia" menu command toggles it; the runner sets it.
void SetRespiratoryArrhythmia(CCoeur& heart, bool on);

}  // namespace vantrel
