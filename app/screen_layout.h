// The layout size: all layout arithmetic of the program uses it.  It follows the window: the
// view computes it from its own size when the window opens (maximised) and again on every
// resize, and every screen is laid out again from the new values with the same arithmetic.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vantrel {

struct ScreenLayout {
    int32_t layoutWidth = 0;      // width of the layout, pixels (the view's width)
    int32_t layoutHeight = 0;     // height of the main window the layout was made for, pixels
    int32_t displayScale = 1000;  // layoutHeight * 1000 / 630; 1000 until computed

    // The room the layout height counts above and below the view: a caption, the menu bar, the
    // toolbar and the status bar.  The strip ends 100 pixels above layoutHeight, so it ends
    // kViewBottomGap pixels above the view's bottom edge.
    static constexpr int32_t kFrameRoom = 88;
    static constexpr int32_t kViewBottomGap = 100 - kFrameRoom;
    // The smallest view the layout arithmetic is made for: the view takes it as its minimum
    // size, so the window is never made smaller.
    static constexpr int32_t kMinViewWidth = 640;
    static constexpr int32_t kMinViewHeight = 400;

    // From the screen size and the heights of a menu bar and a window caption (integer division).
    static ScreenLayout FromScreen(int32_t screenWidth, int32_t screenHeight, int32_t menuHeight,
                                   int32_t captionHeight) {
        ScreenLayout layout;
        layout.layoutWidth = screenWidth;
        layout.layoutHeight = screenHeight - menuHeight / 2 - captionHeight;
        layout.displayScale = layout.layoutHeight * 1000 / 630;
        return layout;
    }

    // From the view's size: the width is the view's, the height the main window's that holds a
    // view of this height.
    static ScreenLayout FromView(int32_t viewWidth, int32_t viewHeight) {
        ScreenLayout layout;
        layout.layoutWidth = std::max(viewWidth, kMinViewWidth);
        layout.layoutHeight = std::max(viewHeight, kMinViewHeight) + kFrameRoom;
        layout.displayScale = layout.layoutHeight * 1000 / 630;
        return layout;
    }

    // The view height this layout was made for.
    int32_t ViewHeight() const { return layoutHeight - kFrameRoom; }

    bool operator==(const ScreenLayout&) const = default;
};

}  // namespace vantrel
