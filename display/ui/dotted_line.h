// The dotted one-pixel lines of the frozen screen (trend grid, cursor, calipers): every other
// pixel, starting at the first, so that the pattern is the same whatever the painter's dash
// rendering does at a device pixel ratio.
#pragma once

#include <QPainter>
#include <algorithm>

namespace vantrel {

// A horizontal or vertical dotted line from (x1, y1) towards (x2, y2), the end excluded.
inline void DottedLine(QPainter& p, int x1, int y1, int x2, int y2) {
    if (x1 == x2) {
        const int step = y2 >= y1 ? 1 : -1;
        for (int y = y1; y != y2; y += step)
            if (((y - y1) & 1) == 0) p.drawPoint(x1, y);
    } else if (y1 == y2) {
        const int step = x2 >= x1 ? 1 : -1;
        for (int x = x1; x != x2; x += step)
            if (((x - x1) & 1) == 0) p.drawPoint(x, y1);
    }
}

}  // namespace vantrel
