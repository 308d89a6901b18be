#include "app/view_layout.h"

#include <algorithm>

#include "display/ui/rate_trend.h"

namespace vantrel {

namespace {
constexpr int kToneColumnWidth = 44;  // the tone panel's column at the left edge
constexpr int kKeyColumnWidth = 16;   // the electrode colour keys left of the heart screen's strip
constexpr int kRowHeight = 24;        // one row of controls
}  // namespace

ViewRects ComputeViewRects(const ScreenLayout& layout, int32_t displayMode) {
    const int w = layout.layoutWidth;
    const int h = layout.layoutHeight;
    const int half = w / 2;
    ViewRects r;
    r.view = QRect(0, 0, w, layout.ViewHeight());
    r.panelArea = r.view;
    const bool heart = displayMode == 1;
    r.stripShown = displayMode == 1 || displayMode == 2 || displayMode == 3;
    r.strip = StripGeometryFor(w, h, !heart);
    if (r.stripShown)
        for (int t = 1; t <= kStripTraceCount; ++t) r.traceBands[t - 1] = r.strip.TraceBand(t);
    // Beside the heart picture the column may reach below the strip's top; on the full-width
    // screens the column left of the strip starts there.
    // On the frozen screen it ends left of the trend's grey panel (x = 40).
    const int toneWidth = displayMode == 3 ? 40 - 2 : kToneColumnWidth - 4;
    r.toneColumn = QRect(2, 4, toneWidth, heart ? std::max(r.strip.top - 8, 6 * 16 + 40) : r.strip.top - 8);
    r.besideStrip = QRect(heart ? half + 2 : 4, r.strip.top, 56, r.strip.bottom - r.strip.top);
    // The left half under the picture: the pacemaker panel's can (drawn at the layout's fixed
    // place, from 200 to 140 pixels above layoutHeight) and one row of controls under it.
    const int rowsTop = h - 128;
    r.pictureControls = QRect(QPoint(kToneColumnWidth + 4, rowsTop), QPoint(half - kKeyColumnWidth - 2, rowsTop + kRowHeight));
    const int pictureBottom = (h - 200) / 8 * 8 - 4;
    r.picture = QRect(QPoint(kToneColumnWidth + 4, 4), QPoint(half - kKeyColumnWidth - 4, pictureBottom));
    r.therapyRow = QRect(QPoint(half + 5, r.strip.top - 28), QPoint(w - 10, r.strip.top - 5));
    r.commentPage = QRect(QPoint(half + 5, 5), QPoint(w - 6, r.therapyRow.top() - 4));
    // The trend's scale and minutes: a place to click that panels leave clear (they may lie on
    // the grey to its right).
    if (displayMode == 3) r.trendPanel = TrendPlotRect(r.strip.top);
    r.fullScreenPage = QRect(5, 8, w - 20, h - 120);
    return r;
}

}  // namespace vantrel
