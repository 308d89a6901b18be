#include "display/ui/interval_plot.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "display/ui/heart_picture_2d.h"

namespace vantrel {

namespace {

constexpr double kPi = 3.14159;
constexpr int kDotCount = 1000;

double Radians(int degrees) { return (degrees % 360) * kPi / 180; }
int Along(double length, double radians) { return static_cast<int>(length * std::cos(radians)); }
int Up(double length, double radians) { return static_cast<int>(length * std::sin(radians)); }

const QFont& AxisFont() {
    static const QFont font = PictureFont(12, 6);
    return font;
}

enum class Align { BaselineLeft, BaselineRight, TopCentre, BottomCentre };

Align AlignmentOfTick(int tickAngle) {
    if (tickAngle < 46 || tickAngle > 315) return Align::BaselineLeft;
    if (tickAngle >= 135 && tickAngle <= 214) return Align::BaselineRight;
    if (tickAngle >= 215) return Align::TopCentre;
    return Align::BottomCentre;
}

void DrawAligned(QPainter& painter, QPoint at, const QString& text, Align align) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    int x = at.x(), y = at.y();
    switch (align) {
        case Align::BaselineLeft: break;
        case Align::BaselineRight: x -= width; break;
        case Align::TopCentre: x -= width / 2, y += metrics.ascent(); break;
        case Align::BottomCentre: x -= width / 2, y -= metrics.descent(); break;
    }
    painter.drawText(QPoint(x, y), text);
}

void Dot(QPainter& painter, QPoint centre, const QColor& colour) {
    painter.fillRect(QRect(centre.x() - 1, centre.y() - 1, 3, 3), colour);
}

}  // namespace

void DrawAxis(QPainter& painter, int angle, int x0, int y0, int length, int tickAngle, int firstValue, int spacing,
              int step, int gridLength, const QString& label) {
    const double a = Radians(angle);
    const QPoint end(x0 + Along(length, a), y0 - Up(length, a));
    painter.drawLine(QPoint(x0, y0), end);
    for (int side : {160, 200}) {
        const double h = Radians((angle + side) % 360);
        painter.drawLine(end, QPoint(end.x() + Along(8, h), end.y() - Up(8, h)));
    }
    const double e = Radians(tickAngle);
    const Align align = AlignmentOfTick(tickAngle);
    if (tickAngle >= 0 && spacing > 0) {
        painter.setFont(AxisFont());
        const QPen solid = painter.pen();
        QPen dotted = solid;
        dotted.setStyle(Qt::DotLine);
        const double back = Radians((tickAngle + 180) % 360);
        int value = firstValue;
        for (int k = 0; k < length; k += spacing) {
            const QPoint p(x0 + Along(k, a), y0 - Up(k, a));
            const QPoint t(p.x() + Along(10, e), p.y() - Up(10, e));
            painter.drawLine(p, t);
            DrawAligned(painter, t, QString::number(value), align);
            value += step;
            if (k > 0) {
                painter.setPen(dotted);
                painter.drawLine(p, QPoint(p.x() + Along(gridLength, back), p.y() - Up(gridLength, back)));
                painter.setPen(solid);
            }
        }
    }
    const QPoint labelAt(x0 + Along(length - 5, a) + Along(5, e), y0 - Up(length - 5, a) - Up(5, e));
    DrawAligned(painter, labelAt, label, align);
}

void DrawIntervalPlot(QPainter& painter, const QRect& frame, const IntervalPlotData& data) {
    const QRect area = frame.adjusted(4, 4, -4, -4);
    const int w = area.width(), h = area.height();
    painter.fillRect(area, Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    DrawAxis(painter, 0, 50, h - 20, w - 70, 270, 200, 50, 100, h - 40, QStringLiteral("RR ms"));
    DrawAxis(painter, 90, 50, h - 20, h - 40, 180, 0, 50, 100, w - 70, QStringLiteral("ms"));
    painter.setFont(AxisFont());
    DrawAligned(painter, QPoint(200, h - 2), QStringLiteral("120bpm"), Align::TopCentre);
    DrawAligned(painter, QPoint(450, h - 2), QStringLiteral("60bpm"), Align::TopCentre);

    for (int k = 0; k < kDotCount; ++k) {
        if (data.showReference && data.reference && data.reference[k].rr / 2 > 0) {
            const IntervalEntry& r = data.reference[k];
            Dot(painter, IntervalDot(r.rr, r.qt, h), QColor(255, 0, 255));
            Dot(painter, IntervalDot(r.rr, r.pr, h), QColor(255, 150, 0));
        }
        if (data.showCurrent && data.current && data.current[k].rr / 2 > 0) {
            const IntervalEntry& c = data.current[k];
            Dot(painter, IntervalDot(c.rr, c.qt, h), QColor(0, 0, 255));
            Dot(painter, IntervalDot(c.rr, c.pr, h), QColor(255, 0, 0));
        }
    }
}

}  // namespace vantrel
