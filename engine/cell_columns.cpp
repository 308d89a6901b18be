#include "engine/cell_columns.h"

#include <algorithm>
#include <cstdlib>

namespace vantrel {

void CellColumns::LoadCell(const CCell& cell, int32_t i) {
    escapeCounter[i] = cell.escapeCounter;
    trigger[i] = cell.trigger;
    fatigue[i] = cell.fatigue;
    activeWindow[i] = cell.activeWindow;
    arpCounter[i] = cell.arpCounter;
    rrpCounter[i] = cell.rrpCounter;
    windowCounter[i] = cell.windowCounter;
    conductCounter[i] = cell.conductCounter;
    qrsPhase[i] = cell.qrsPhase;
    propagating[i] = cell.propagating;
    inert[i] = cell.escapeB >= kInertEscape ? 1 : 0;
    // The activity sums take the magnitude in 32 bits, as the record's arithmetic does.
    absAmplitude[i] = std::abs(cell.amplitude);
    amplitude[i] = cell.amplitude;
    dipoleX[i] = cell.dipoleX;
    dipoleY[i] = cell.dipoleY;
    dipoleZ[i] = cell.dipoleZ;
    stOffset[i] = cell.stOffset;
    tSmoothed[i] = cell.tSmoothed;
    // The T-wave term: d * t * tSmoothed / 200, or d * t / 2 for a large cell with a plain T,
    // which is d * 100 * t / 200 exactly.  At most 15 for t, and at most 1000 cells: a term
    // below 2^21 * 200 / 15 keeps every lane's sum inside 32 bits.
    constexpr int64_t kLaneLimit = (int64_t{1} << 21) * 200 / 15;
    const int64_t factor = cell.tSmoothed != 0 ? cell.tSmoothed
                           : std::abs(cell.amplitude) >= 30 ? 100
                                                             : 0;
    const int64_t tx = int64_t{cell.dipoleX} * factor, ty = int64_t{cell.dipoleY} * factor,
                  tz = int64_t{cell.dipoleZ} * factor;
    const bool large = std::max({std::abs(tx), std::abs(ty), std::abs(tz)}) >= kLaneLimit;
    tWaveLarge[i] = large ? 1 : 0;
    tWaveTermX[i] = large ? 0 : static_cast<int32_t>(tx);
    tWaveTermY[i] = large ? 0 : static_cast<int32_t>(ty);
    tWaveTermZ[i] = large ? 0 : static_cast<int32_t>(tz);
}

void CellColumns::StoreCell(CCell& cell, int32_t i) const {
    cell.escapeCounter = escapeCounter[i];
    cell.trigger = trigger[i];
    cell.fatigue = fatigue[i];
    cell.activeWindow = activeWindow[i];
    cell.arpCounter = arpCounter[i];
    cell.rrpCounter = rrpCounter[i];
    cell.windowCounter = windowCounter[i];
    cell.conductCounter = conductCounter[i];
    cell.qrsPhase = qrsPhase[i];
    cell.propagating = propagating[i];
}

void CellColumns::Take(const CCoeur& heart) {
    count = std::clamp(heart.cellCount, 0, kMaxCells);
    for (int32_t i = 0; i < count; ++i) LoadCell(heart.cells[i], i);
    held = true;
}

void CellColumns::Release(CCoeur& heart) {
    if (!held) return;
    for (int32_t i = 0; i < count; ++i) StoreCell(heart.cells[i], i);
    held = false;
}

}  // namespace vantrel

namespace vantrel {

namespace {

// Written for the compiler to turn into vector instructions: every cell goes through the same
// arithmetic, and a cell that is not quiet keeps its values.  Every column comes in as a pointer
// of its own, so that the compiler knows that no store lands in another column.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
__attribute__((target_clones("avx2", "default")))
#endif
void StepQuietColumns(int32_t count, int32_t* __restrict escapeCounter,
                      const int32_t* __restrict trigger, int32_t* __restrict fatigue,
                      int32_t* __restrict activeWindow, int32_t* __restrict arpCounter,
                      int32_t* __restrict rrpCounter, int32_t* __restrict windowCounter,
                      int32_t* __restrict conductCounter, int32_t* __restrict qrsPhase,
                      int32_t* __restrict propagating, const int32_t* __restrict inert,
                      uint8_t* __restrict needsFullStep) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t escape = escapeCounter[i], window = activeWindow[i];
        const int32_t arp = arpCounter[i], rrp = rrpCounter[i];
        const int32_t conduct = conductCounter[i], qrs = qrsPhase[i];
        const int32_t quiet = ((trigger[i] | inert[i]) == 0) & (escape > 1) & (arp != 1) &
                              (rrp != 1) & ((conduct == 0) | (conduct > 2));
        const int32_t idle = (inert[i] != 0) & ((window | conduct) == 0);
        propagating[i] &= (quiet | idle) - 1;
        escapeCounter[i] = escape - (quiet & (escape < 2000));
        const int32_t windowRuns = quiet & (window > 0);
        activeWindow[i] = window - windowRuns;
        const int32_t f = fatigue[i];
        const int32_t halve = windowRuns & (arp == 0) & (rrp == 0);
        fatigue[i] = f - halve * (f - f / 2);
        arpCounter[i] = arp - (quiet & (arp > 0));
        rrpCounter[i] = rrp - (quiet & (rrp > 0));
        const int32_t blockWindow = windowCounter[i];
        windowCounter[i] = blockWindow - (quiet & (blockWindow > 0));
        conductCounter[i] = conduct - (quiet & (conduct > 0));
        qrsPhase[i] = qrs - (quiet & (qrs > 0)) + (quiet & (qrs < 0));
        needsFullStep[i] = static_cast<uint8_t>((quiet | idle) ^ 1);
    }
}

}  // namespace

void StepQuietCells(CellColumns& c) {
    StepQuietColumns(c.count, c.escapeCounter, c.trigger, c.fatigue, c.activeWindow, c.arpCounter,
                     c.rrpCounter, c.windowCounter, c.conductCounter, c.qrsPhase, c.propagating,
                     c.inert, c.needsFullStep);
}

}  // namespace vantrel
