// The layout size fixed at start-up: all layout arithmetic of the program uses it, never the
// current widget size, so that every screen looks the same whatever the window does.
#pragma once

#include <cstdint>

namespace vantrel {

struct ScreenLayout {
    int32_t layoutWidth = 0;    // screen width, pixels
    int32_t layoutHeight = 0;   // screen height less half a menu bar and a caption
    int32_t displayScale = 1000;  // layoutHeight * 1000 / 630; 1000 until computed

    // From the screen size and the heights of a menu bar and a window caption (integer division).
    static ScreenLayout FromScreen(int32_t screenWidth, int32_t screenHeight, int32_t menuHeight,
                                   int32_t captionHeight) {
        ScreenLayout layout;
        layout.layoutWidth = screenWidth;
        layout.layoutHeight = screenHeight - menuHeight / 2 - captionHeight;
        layout.displayScale = layout.layoutHeight * 1000 / 630;
        return layout;
    }
};

}  // namespace vantrel
