#include "display/ui/trace_pen.h"

#include <QPainter>
#include <algorithm>

namespace vantrel {

void LineToExcludingEnd(QPainter& p, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x1 == x2 && y1 == y2) return;
    if (x1 == x2) {
        p.drawLine(x1, y1, x2, y2 > y1 ? y2 - 1 : y2 + 1);
    } else if (y1 == y2) {
        p.drawLine(x1, y1, x2 > x1 ? x2 - 1 : x2 + 1, y2);
    } else {
        p.drawLine(x1, y1, x2, y2);
    }
}

void DrawTraceSegment(QPainter& p, TracePoint& last, int32_t penX, int32_t stripLeft, int32_t value,
                      int32_t baseline, int32_t gain, int32_t clipTop, int32_t clipBottom, bool restart) {
    const int32_t x = penX;
    if (restart) {
        last = {x, baseline};
    } else if (x < last.x) {
        last.x = stripLeft;  // the pen has wrapped: do not join back across the strip
    }
    if (value <= -1000) {
        LineToExcludingEnd(p, x, baseline, x, value == -1000 ? baseline - 40 : baseline + 40);
        return;
    }
    const int32_t y = std::clamp(baseline - value * gain / 16, clipTop, clipBottom);
    if (x == last.x && y == last.y) return;
    LineToExcludingEnd(p, last.x, last.y, x, y);
    last = {x, y};
}

}  // namespace vantrel
