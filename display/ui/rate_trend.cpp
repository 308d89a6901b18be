#include "display/ui/rate_trend.h"

#include <QPainter>
#include <algorithm>

#include "display/ui/dotted_line.h"
#include "engine/heart_rate_ring.h"

namespace vantrel {

QColor TrendPanelColour() { return QColor(192, 192, 192); }
QColor TrendGridColour() { return QColor(64, 128, 64); }
QColor TrendCursorColour() { return QColor(64, 64, 255); }

void DrawRateTrend(QPainter& p, const uint8_t frozenRate[], int32_t layoutWidth, int32_t stripTop, const QFont& font) {
    const TrendRows rows = TrendRowsAbove(stripTop);
    const int base = rows.baselineY;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(TrendPanelRect(layoutWidth, stripTop), TrendPanelColour());
    p.setFont(font);
    p.setBackground(TrendPanelColour());
    p.setBackgroundMode(Qt::OpaqueMode);
    const QPen gridPen(TrendGridColour(), 0);
    p.setPen(gridPen);
    p.drawLine(kTrendAxisX, base, kTrendAxisX, -42);
    for (int r = 0; r <= 150; r += 10) {
        const int y = rows.RateY(r);
        if (r % 50 == 0) {
            p.drawLine(70, y, kTrendAxisX - 1, y);
            p.setPen(Qt::black);
            p.drawText(50, y + 5, QString::asprintf("%3d", r));  // baseline-left, as the panel's texts
            p.setPen(gridPen);
            p.drawLine(kTrendAxisX, y, 630 - 1, y);
        } else {
            p.drawLine(75, y, kTrendAxisX - 1, y);
            DottedLine(p, kTrendAxisX, y, 630, y);
        }
    }
    for (int k = 0; k <= 15; ++k) {
        const int x = kTrendAxisX + 24 * k;
        p.drawLine(x, base, x, base + ((x - kTrendAxisX) % 120 == 0 ? 4 : 2));
    }
    // The curve: the first value at x = 81, then 2 pixels per value from x = 86.
    auto yOf = [&rows](int k, const uint8_t rates[]) { return rows.RateY(std::min<int>(rates[k], 157)); };
    QPoint last(81, yOf(0, frozenRate));
    for (int k = 1; k <= 178; ++k) {
        const QPoint next(84 + 2 * k, yOf(k, frozenRate));
        p.drawLine(last, next);
        last = next;
    }
    p.restore();
}

std::optional<int32_t> TrendPositionAt(int x, int y, int32_t stripTop) {
    if (x < kTrendAxisX || x >= kTrendNewestX || y < kTrendTop || y >= TrendRowsAbove(stripTop).baselineY)
        return std::nullopt;
    return 900 - ((x - kTrendAxisX) / 2) * 5;
}

}  // namespace vantrel
