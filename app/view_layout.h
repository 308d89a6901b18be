// The view's layout in one place: from the layout size and the screen shown, the rectangles of
// the strip and its trace bands, the heart picture, the comment page and the rows of controls.
// Every screen takes its rectangle from here, so that a new window size lays every screen out
// again with the same arithmetic; the view's tool panels open clear of the trace bands and of the
// controls.
#pragma once

#include <QRect>
#include <cstdint>

#include "app/screen_layout.h"
#include "display/ui/ecg_strip.h"

namespace vantrel {

struct ViewRects {
    QRect view;          // the whole view
    bool stripShown = false;  // the screen shows a strip (live, or frozen)
    StripGeometry strip;      // the strip of this screen (full width, or the right half)
    QRect traceBands[kStripTraceCount];  // the rows of each trace, empty when no strip is shown
    QRect toneColumn;    // the tone panel, at the left edge above the strip
    QRect besideStrip;   // the column left of the strip: "I.C." buttons, lead lists, sweep speed
    QRect picture;       // the heart picture (2D or 3D) on the heart-model screen: the left half
                         // less the tone column, the electrode colour keys and the rows below
    QRect pictureControls;  // the left half's rows under the picture: "SVPB" .. display style
    QRect therapyRow;    // the sequence and drug lists, right half, just above the strip
    QRect commentPage;   // the comment page, right half above the drug and sequence lists
    QRect fullScreenPage;  // the comment page in full screen
    QRect trendPanel;    // the frozen screen's heart-rate trend, its scale and minutes (a place to
                         // click); empty elsewhere
    QRect panelArea;     // where tool panels may lie: the view
};

// The rectangles of `displayMode` (1 heart model, 2 ECG, 3 frozen ECG, 4 comments in full
// screen) for a layout size.
ViewRects ComputeViewRects(const ScreenLayout& layout, int32_t displayMode);

}  // namespace vantrel
