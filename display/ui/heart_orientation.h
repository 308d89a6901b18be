// What the 3D picture draws beside the heart: the orientation mark (two axes and a small human
// silhouette turned with the heart), the colour legend or the activation-time scale, and, in
// step-by-step mode, the heart vector's loop traced over the mark.
#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>

#include "display/ui/heart_projection.h"

class QPainter;

namespace vantrel {

// Orientation mark, silhouette and legend (style 3: the activation-time scale), with the mark's
// centre at (width / 2 - 60, 70).
void DrawOrientation(QPainter& painter, const RotationCoefficients& m, int32_t layoutWidth, int32_t style);

// The heart vector's loop: each step's X, Y, Z bytes projected with the picture's rotation, joined
// to the previous point by a line around (width / 2 - 60, 50).
class VectorLoop {
public:
    void Reset() { previous_ = QPoint(0, 0); }
    // Draws one segment; returns the rectangle it touched.
    QRect Draw(QPainter& painter, const RotationCoefficients& m, int32_t layoutWidth, int8_t x, int8_t y, int8_t z);
    QPoint Previous() const { return previous_; }

private:
    QPoint previous_{0, 0};
};

}  // namespace vantrel
