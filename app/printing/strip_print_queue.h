// "Print ECG strip" on the frozen screen: each press queues the strip on show for the printed page
// and moves the screen on to the strip that ends 7 s later; the sixth press prints the page.
#pragma once

#include <cstdint>

#include "display/ui/frozen_ecg.h"

namespace vantrel {

// One press.  True when the page is full and must be printed now (`printCount` is then 0);
// otherwise `printCount` grows by one and `frozenOffset` is the position to show next.
inline bool PressPrintStrip(FrozenEcg& frozen, int32_t& printCount, int32_t& frozenOffset) {
    const int32_t a = frozen.QueueStrip(printCount);
    if (a == 0) {
        printCount = 0;
        return true;
    }
    ++printCount;
    frozenOffset = a > 7 ? a - 7 : 0;
    return false;
}

}  // namespace vantrel
