// Where a tool panel of the view opens: inside the view, on none of the rectangles it must never
// cover (the strip's trace bands, the view's controls, the other open panels), and over as little
// as it can of what it had better not cover (the heart picture, the comment page).  When no place
// holds it whole, it is given the largest room that is clear (it scrolls its controls there); when
// several panels cannot all have such room, they share it.
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

// What a panel asks for: the sizes of its arrangements (most panels have one), the least room
// worth giving it, and the room a scroll bar takes when it is given less than an arrangement.
struct PanelRequest {
    std::vector<QSize> shapes;
    QSize least;
    int scrollBarExtent = 0;
};

struct ShrunkPlacement {
    bool fits = false;     // clear of every forbidden rectangle, at least the least size
    QRect rect;            // where the panel goes, at most its arrangement's size (+ scroll bars)
    size_t shape = 0;      // the arrangement chosen
    long long shown = 0;   // pixels of the arrangement the room shows at once
    long long cost = 0;    // weighted pixels of avoided areas it covers
};

// The place for one panel: whole where it can be, else the clear room that shows the most of one
// of its arrangements (with the scroll bars it then needs), never less than its least size.
// `maxSize` bounds the room it may take.
ShrunkPlacement PlaceShrinkingPanel(const PanelRequest& request, QSize maxSize, const QRect& bounds,
                                    const std::vector<QRect>& forbidden, const std::vector<AvoidedArea>& avoided,
                                    QPoint preferred);

// Places the panels in order, each clear of the forbidden rectangles and of the panels placed
// before it.  When they cannot all find their least room, the room each may take shrinks step by
// step until they do (or, when nothing helps, the best found is returned with fits false).
std::vector<ShrunkPlacement> ArrangePanels(const std::vector<PanelRequest>& requests, const QRect& bounds,
                                           const std::vector<QRect>& forbidden,
                                           const std::vector<AvoidedArea>& avoided, QPoint preferred);

}  // namespace vantrel
