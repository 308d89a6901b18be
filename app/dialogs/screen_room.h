// The size a dialog opens at: the size it is made for, bounded by the screen it opens on (less
// the room of its frame and caption), so that on a small screen it opens whole and can be moved.
#pragma once

#include <QScreen>
#include <QSize>
#include <QWidget>

namespace vantrel {

inline QSize WithinScreen(const QWidget* dialog, QSize wanted) {
    const QScreen* screen = dialog->screen();
    if (!screen) return wanted;
    constexpr int kFrameWidth = 12, kFrameHeight = 34;  // borders, and the caption above
    const QSize room = screen->availableSize() - QSize(kFrameWidth, kFrameHeight);
    return wanted.boundedTo(room).expandedTo(dialog->minimumSize());
}

}  // namespace vantrel
