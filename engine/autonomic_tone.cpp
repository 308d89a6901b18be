#include "engine/autonomic_tone.h"

#include <algorithm>
#include <cstdlib>

namespace vantrel {

void RampTone(CCoeur& heart, int32_t target) {
    target = std::clamp<int32_t>(target, 0, 1000);
    if (std::abs(heart.tone - target) <= kToneRampStep) {
        heart.tone = target;
        heart.toneRampCountdown = 0;
    } else {
        heart.tone += heart.tone < target ? kToneRampStep : -kToneRampStep;
        heart.toneRampCountdown = kToneRampTicks;
        heart.toneTarget = target;
    }
    heart.notifier->Post(kMsgTone, heart.tone, 0);
}

void RestoreBaseline(CCoeur& heart) {
    heart.RestoreLinks();
    RampTone(heart, heart.modelTone);
}

void AdvanceToneRamp(CCoeur& heart) {
    if (heart.toneRampCountdown == 0) return;
    if (--heart.toneRampCountdown == 0) RampTone(heart, heart.toneTarget);
}

}  // namespace vantrel
