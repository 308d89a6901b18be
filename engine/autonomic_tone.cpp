#include "engine/autonomic_tone.h"

#include <algorithm>
#include <cstdlib>

#include "engine/cell_automaton.h"

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

int32_t SinusRateAtTone(const CCoeur& heart, int32_t tone) {
    const int32_t sinus = heart.FindCell("Sinus");
    if (sinus < 0) return -1;
    int32_t ticks = EscapeTicks(heart.cells[sinus], tone);
    if (ticks <= 0) ticks = 1;
    return 12000 / ticks;
}

}  // namespace vantrel
