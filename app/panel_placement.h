// Where a tool panel of the view opens: inside the view, on none of the rectangles it must never
// cover (the strip's trace bands, the view's controls), and over as little as it can of what it
// had better not cover (the heart picture, the comment page, the other open panels).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace vantrel {

struct AvoidedArea {
    QRect rect;
    int weight = 1;  // cost of one covered pixel
};

struct PanelPlacement {
    QRect rect;                // where the panel goes (its size clipped to the bounds)
    long long forbiddenArea = 0;  // pixels of forbidden rectangles it covers; 0 when it fits clear
    long long cost = 0;           // weighted pixels of avoided areas it covers
};

// The best place for a panel of `size` inside `bounds`: first no forbidden pixel covered, then the
// least weighted cover of the avoided areas, then the nearest to `preferred` (its top-left).
PanelPlacement PlacePanel(QSize size, const QRect& bounds, const std::vector<QRect>& forbidden,
                          const std::vector<AvoidedArea>& avoided, QPoint preferred);

}  // namespace vantrel
