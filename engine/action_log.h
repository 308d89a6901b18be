// The log of the user's actions: what was done to the heart and at which tick, so that a
// recording can carry every action as an annotation and a run's events file can list them.  A
// fixed ring of the last kActionLogSize actions (nothing is allocated while the heart runs); the
// oldest are overwritten, which a 15-minute stretch never reaches in practice.
//
// One writer: the thread that acts on the heart (the interface thread of the desktop, or the
// runner's ticking thread between two ticks), under the model lock; readers read on that same
// thread or under the lock.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vantrel {

inline constexpr int32_t kActionLogSize = 1024;
inline constexpr int32_t kActionTextSize = 96;  // bytes, with the terminating zero; longer texts are cut

struct ActionEntry {
    int32_t tick = 0;  // the heart's tick count when the action was applied: it acts from the next tick on
    char text[kActionTextSize] = {};  // UTF-8, zero-terminated
};

struct ActionLog {
    ActionEntry entries[kActionLogSize];
    int64_t appended = 0;  // actions appended since the start; the newest is at (appended - 1) % size

    void Append(int32_t tick, std::string_view text) {
        ActionEntry& entry = entries[appended % kActionLogSize];
        entry.tick = tick;
        size_t length = std::min<size_t>(text.size(), kActionTextSize - 1);
        // Never cut a UTF-8 character in two.
        while (length > 0 && length < text.size() &&
               (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
        std::memcpy(entry.text, text.data(), length);
        entry.text[length] = '\0';
        ++appended;
    }

    // How many actions the ring still holds.
    int32_t Held() const {
        return static_cast<int32_t>(std::min<int64_t>(appended, kActionLogSize));
    }

    // The n-th held action, 0 = the oldest still held.
    const ActionEntry& Held(int32_t n) const {
        return entries[(appended - Held() + n) % kActionLogSize];
    }
};

// How many ticks before `endTick` an action of `tick` was applied, over the wrap of the tick
// count; a tick after `endTick` gives a huge value, so that "ago < length" picks the stretch.
inline uint32_t TicksBefore(int32_t endTick, int32_t tick) {
    return static_cast<uint32_t>(endTick) - static_cast<uint32_t>(tick);
}

}  // namespace vantrel
