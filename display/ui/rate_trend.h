// The heart-rate trend of the frozen screen: the 15 frozen minutes of the rate-cell heart rate,
// one value every 5 s, on a grey panel above the strip.  One pixel per beat per minute (rates
// above 157 are drawn at the top of the panel) and 2.5 s per pixel, the newest value at x = 440.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>
#include <optional>

class QPainter;

namespace vantrel {

inline constexpr int kTrendAxisX = 80;       // the rate axis; minute 15 before the freeze
inline constexpr int kTrendNewestX = 440;    // the moment of freezing
inline constexpr int kTrendBaselineY = 158;  // rate 0
inline constexpr int kTrendTop = 1;          // rate 157

// Draws the panel from the frozen rates (oldest first, as the frozen record keeps them).
// `layoutWidth` bounds the grey panel on the right; texts are in `font`, black on the grey.
void DrawRateTrend(QPainter& p, const uint8_t frozenRate[], int32_t layoutWidth, const QFont& font);

// The frozen position a click at (x, y) selects, in steps of 5 s: x = 80 gives 900 (the oldest),
// 438 and 439 give 5; outside 80 <= x < 440, 1 <= y < 158 nothing.
std::optional<int32_t> TrendPositionAt(int x, int y);

// The x of the trend's cursor for a frozen position.
inline int TrendCursorX(int32_t position) { return kTrendNewestX - (2 * position) / 5; }

QColor TrendPanelColour();  // (192, 192, 192)
QColor TrendGridColour();   // (64, 128, 64)
QColor TrendCursorColour(); // (64, 64, 255)

}  // namespace vantrel
