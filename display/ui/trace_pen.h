// How a strip's trace is drawn, sample by sample: the one routine of the live strip, the frozen
// screen and the printed page, so that the three show a heart's signal with the same pixels.
#pragma once

#include <cstdint>

class QPainter;

namespace vantrel {

// The last point drawn on one trace, pixels.
struct TracePoint {
    int32_t x = 0;
    int32_t y = 0;
};

// A line that leaves out its last pixel, as the segment after it starts there.  Vertical and
// horizontal lines (spikes, baselines, grid) are exact; a slanted one keeps its end pixel, which
// the next segment draws anyway.
void LineToExcludingEnd(QPainter& p, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// One sample of one trace at pen column `penX`: a line from the trace's last point to the value
// (v * gain / 16 pixels above `baseline`, kept within clipTop..clipBottom), or, for a pacing mark
// (a value of -1000 or below), a 40-pixel spike up (-1000) or down from the baseline.  `restart`
// starts the trace afresh at the baseline; a pen that has wrapped past `last` starts again from
// the strip's left edge, so that no line joins back across the strip.
void DrawTraceSegment(QPainter& p, TracePoint& last, int32_t penX, int32_t stripLeft, int32_t value,
                      int32_t baseline, int32_t gain, int32_t clipTop, int32_t clipBottom, bool restart);

// The pen column after one sample: `step` further right, back to just after the left edge once
// it reaches the right edge.
inline float AdvancedPenX(float penX, float step, int32_t stripLeft, int32_t stripRight) {
    penX += step;
    return penX >= static_cast<float>(stripRight) ? static_cast<float>(stripLeft + 1) : penX;
}

}  // namespace vantrel
