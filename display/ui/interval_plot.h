// The PR and QT against RR plot: a red dot (PR) and a blue dot (QT) per recorded beat, over the RR
// interval, with a saved reference recording in magenta and orange.  Drawn in the coordinates of
// its dialog's client area, 2 ms per pixel on both axes.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

#include "engine/heart_record.h"

class QPainter;

namespace vantrel {

// One axis: a line at `angle` degrees from (x0, y0), `length` pixels long with an arrow head;
// with tickAngle >= 0, a 10-pixel tick every `spacing` pixels labelled from `firstValue` in steps
// of `step`, and a dotted grid line `gridLength` long on the other side of each tick but the first;
// the axis label near its end.  Screen y grows downward: a direction t goes (cos t, -sin t).
void DrawAxis(QPainter& painter, int angle, int x0, int y0, int length, int tickAngle, int firstValue, int spacing,
              int step, int gridLength, const QString& label);

// Where a beat's dot goes for an interval of `ms` at a cycle length of `rr`, in a plot of height h.
inline QPoint IntervalDot(int32_t rr, int32_t ms, int32_t h) { return QPoint(rr / 2 - 50, h - ms / 2 - 20); }

struct IntervalPlotData {
    const IntervalEntry* current = nullptr;    // the engine's table, 1000 entries
    const IntervalEntry* reference = nullptr;  // the saved reference, 1000 entries
    bool showCurrent = true;
    bool showReference = true;
};

// The whole plot: `frame` is the plot frame's rectangle in dialog client coordinates; the white
// area is that frame shrunk by 4 pixels, and its size sets w and h.
void DrawIntervalPlot(QPainter& painter, const QRect& frame, const IntervalPlotData& data);

}  // namespace vantrel
