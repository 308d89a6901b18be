#include "display/ui/heart_orientation.h"

#include <QPainter>
#include <QRect>

#include "display/ui/heart_picture_2d.h"
#include "engine/program_wide.h"

namespace vantrel {

namespace {

// x0 + (sum of products) / 1000, the products summed before the one division.
int Offset(int32_t base, int64_t sum) { return static_cast<int>(base + sum / 1000); }

const QFont& LegendFont() {
    static const QFont font = PictureFont(14, 5);
    return font;
}

}  // namespace

void DrawOrientation(QPainter& painter, const RotationCoefficients& m, int32_t layoutWidth, int32_t style) {
    const int32_t x0 = layoutWidth / 2 - 60, y0 = 70;
    const int64_t m1 = m.m1, m2 = m.m2, m3 = m.m3, m4 = m.m4, m5 = m.m5;
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);

    // X axis with its arrow.
    const QPoint xEnd(Offset(x0, 25 * m1), Offset(y0, 25 * m4));
    painter.drawLine(QPoint(Offset(x0, -25 * m1), Offset(y0, -25 * m4)), xEnd);
    painter.drawLine(xEnd, QPoint(Offset(x0, 20 * m1), Offset(y0, 25 * m4 - 5 * m3)));
    painter.drawLine(xEnd, QPoint(Offset(x0, 20 * m1), Offset(y0, 25 * m4 + 5 * m3)));
    // Z axis with its arrow.
    const QPoint zEnd(Offset(x0, -25 * m2), Offset(y0, -25 * m5));
    painter.drawLine(QPoint(Offset(x0, 25 * m2), Offset(y0, 25 * m5)), zEnd);
    painter.drawLine(zEnd, QPoint(Offset(x0, -20 * m2), Offset(y0, -20 * m5 + 5 * m3)));
    painter.drawLine(zEnd, QPoint(Offset(x0, -20 * m2), Offset(y0, -20 * m5 - 5 * m3)));

    // The silhouette: two polylines of one side, and their mirror image.
    static constexpr int kBody[][2] = {{10, 60}, {6, 57}, {6, 48}, {18, 48}, {24, 42}};
    static constexpr int kArmAndLeg[][2] = {{24, 30}, {18, 36}, {15, 12}, {17, 0}};
    for (int side : {1, -1}) {
        auto at = [&](const int uv[2]) {
            const int64_t u = uv[0] * side, v = uv[1];
            return QPoint(Offset(x0, u * m1), Offset(y0, u * m4 - v * m3));
        };
        QPoint line[5];
        for (int k = 0; k < 5; ++k) line[k] = at(kBody[k]);
        painter.drawPolyline(line, 5);
        for (int k = 0; k < 4; ++k) line[k] = at(kArmAndLeg[k]);
        painter.drawPolyline(line, 4);
    }

    painter.setFont(LegendFont());
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::black);
    if (style == kStyleDepolarization) {
        for (int t = 0; t <= 200; t += 2)
            painter.fillRect(QRect(x0 + 30, y0 + 230 - t, 20, 2), IsochroneColour(t));
        for (int t = 0; t <= 200; t += 20) {
            painter.drawLine(x0 + 25, y0 + 230 - t, x0 + 30 - 1, y0 + 230 - t);
            painter.drawText(QPoint(x0, y0 + 223 - t + painter.fontMetrics().ascent()), QString::number(t));
        }
    } else {
        struct Entry {
            const char* key;
            const char* text;
            int dy;
            QColor colour;
        };
        const Entry entries[] = {
            {"ID_Polarized", "Polarized", 30, QColor(64, 64, 255)},
            {"ID_Depolarization", "Depolarization", 44, QColor(255, 255, 128)},
            {"ID_Depolarized", "Depolarized", 58, QColor(255, 64, 64)},
            {"ID_RelRP", "Rel.Refr.period", 72, QColor(255, 0, 255)},
        };
        const int ascent = painter.fontMetrics().ascent();
        for (const Entry& e : entries) {
            painter.drawText(QPoint(x0 - 20, y0 + e.dy + ascent), TextFromBytes(Translate(e.key, e.text)));
            painter.fillRect(QRect(x0 - 29, y0 + e.dy + 3, 6, 6), e.colour);
        }
    }
    painter.setBackgroundMode(Qt::TransparentMode);
}

QRect VectorLoop::Draw(QPainter& painter, const RotationCoefficients& m, int32_t layoutWidth, int8_t x, int8_t y,
                       int8_t z) {
    const QPoint centre(layoutWidth / 2 - 60, 50);
    const int64_t X = x, Y = y, Z = z;
    const QPoint next(static_cast<int>((X * m.m1 - Z * m.m2) / 4000),
                      static_cast<int>((X * m.m4 + Y * m.m3 + Z * m.m5) / 4000));
    painter.setPen(QPen(QColor(64, 64, 255), 1));
    painter.drawLine(centre + previous_, centre + next);
    const QRect touched = QRect(centre + previous_, centre + next).normalized().adjusted(-1, -1, 1, 1);
    previous_ = next;
    return touched;
}

}  // namespace vantrel
