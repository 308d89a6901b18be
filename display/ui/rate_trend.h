// The heart-rate trend of the frozen screen: the 15 frozen minutes of the rate-cell heart rate,
// one value every 5 s, on a grey panel above the strip.  One pixel per beat per minute (rates
// above 157 are drawn at the top of the panel) and 2.5 s per pixel, the newest value at x = 440.
// In a low window, where the strip starts higher than the panel's bottom, the panel ends above
// the strip and its rates take fewer pixels: it never covers a trace.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <cstdint>
#include <optional>

class QPainter;

namespace vantrel {

inline constexpr int kTrendAxisX = 80;       // the rate axis; minute 15 before the freeze
inline constexpr int kTrendNewestX = 440;    // the moment of freezing
inline constexpr int kTrendBaselineY = 158;  // rate 0 when the strip leaves room for the whole panel
inline constexpr int kTrendTop = 1;          // rate 157

// The panel's rows above a strip whose top is at `stripTop`.
struct TrendRows {
    int baselineY = kTrendBaselineY;  // rate 0
    int bottom = 167;                 // the grey panel's last row
    // The row of a rate (0..157).
    int RateY(int rate) const { return baselineY - rate * (baselineY - kTrendTop) / 157; }
};
inline TrendRows TrendRowsAbove(int32_t stripTop) {
    TrendRows rows;
    if (stripTop - 2 < rows.bottom) {
        rows.bottom = stripTop - 2;
        rows.baselineY = rows.bottom - (167 - kTrendBaselineY);
    }
    return rows;
}

// The grey panel's rectangle: from x = 40 to 5 pixels short of the layout's right edge, from y = 1
// to its bottom row.
inline QRect TrendPanelRect(int32_t layoutWidth, int32_t stripTop) {
    return QRect(QPoint(40, 1), QPoint(layoutWidth - 6, TrendRowsAbove(stripTop).bottom));
}
// The part of the panel that carries the rates and answers clicks: its scale and the 15 minutes.
inline QRect TrendPlotRect(int32_t stripTop) {
    return QRect(QPoint(40, 1), QPoint(kTrendNewestX + 4, TrendRowsAbove(stripTop).bottom));
}

// Draws the panel from the frozen rates (oldest first, as the frozen record keeps them), above a
// strip whose top is at `stripTop`.  `layoutWidth` bounds the grey panel on the right; texts are
// in `font`, black on the grey.
void DrawRateTrend(QPainter& p, const uint8_t frozenRate[], int32_t layoutWidth, int32_t stripTop, const QFont& font);

// The frozen position a click at (x, y) selects, in steps of 5 s: x = 80 gives 900 (the oldest),
// 438 and 439 give 5; outside 80 <= x < 440, 1 <= y < the baseline (158 with room enough) nothing.
std::optional<int32_t> TrendPositionAt(int x, int y, int32_t stripTop);

// The x of the trend's cursor for a frozen position.
inline int TrendCursorX(int32_t position) { return kTrendNewestX - (2 * position) / 5; }

QColor TrendPanelColour();  // (192, 192, 192)
QColor TrendGridColour();   // (64, 128, 64)
QColor TrendCursorColour(); // (64, 64, 255)

}  // namespace vantrel
