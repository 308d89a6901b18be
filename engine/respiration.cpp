#include "engine/respiration.h"

#include <algorithm>

#include "engine/program_wide.h"

namespace vantrel {

namespace {

constexpr int32_t kTableSteps = 20;

// A segment of 0 ticks (more than 600 breaths a minute, or a hand-edited record) would divide by
// zero: the shortest segment is one tick.
int32_t SegmentTicks(const CCoeur& heart) { return std::max<int32_t>(heart.respSegment, 1); }

}  // namespace

void AdvanceRespiration(CCoeur& heart) {
    RespirationSegment& segment = Program().respiration;
    const int32_t ticks = SegmentTicks(heart);
    const int32_t oldTick = heart.respTick++;
    if (oldTick >= ticks) {
        heart.respTick = 1;
        if (heart.respIndex < 0 || heart.respIndex >= kTableSteps) heart.respIndex = 0;
        const int32_t target = heart.respTable[heart.respIndex] * heart.respAmplitude / 40;
        segment.respFrom = segment.previousTarget;
        segment.respDelta = target - segment.previousTarget;
        segment.previousTarget = target;
        heart.respIndex = (heart.respIndex + 1) % kTableSteps;
    }
    heart.respValue = segment.respFrom + heart.respTick * segment.respDelta / ticks;
}

int32_t ModulateTone(const CCoeur& heart, int32_t t) {
    if (!heart.respOn || t >= kRespirationToneCeiling) return t;
    const int64_t modulated = t + int64_t{900 - t} * heart.respValue / 500;
    // The cells' tone pairs are defined on 0..1000; an amplitude far above the model's range
    // must not carry the tone outside it.
    return static_cast<int32_t>(std::clamp<int64_t>(modulated, 0, 1000));
}

void SetRespirationRate(CCoeur& heart, int32_t breathsPerMinute) {
    heart.respSegment = breathsPerMinute > 0 ? std::max<int32_t>(600 / breathsPerMinute, 1) : 600;
}

void SetRespirationAmplitude(CCoeur& heart, int32_t amplitude) { heart.respAmplitude = amplitude; }

void SetRespiratoryArrhythmia(CCoeur& heart, bool on) { heart.respOn = on ? 1 : 0; }

}  // namespace vantrel
