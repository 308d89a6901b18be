// Controls laid side by side in lines, from their own widths: the row under the heart picture
// holds "SVPB", "VPB", "PR=", "QT=", "Record" and the display-style list, whose widths follow the
// language's texts, in a left half that follows the window.  When one line cannot hold them
// whole, they flow over two or more lines, so that no control is cut or covers another; a list
// may be given less than its longest entry (it shortens the shown text and carries the whole of
// it in its tooltip) only when no number of lines lets every text show whole.
#pragma once

#include <vector>

namespace vantrel {

struct FlowItem {
    int width = 0;           // what the control needs to show its text whole, pixels
    int minWidth = 0;        // the least it may be given; 0 = its width
    bool takesRest = false;  // grows into what is left of its line
};

// The horizontal extent of one line, pixels: [left, right).
struct FlowLine {
    int left = 0;
    int right = 0;
};

struct FlowPlacement {
    int line = 0;  // 0 = the top line of those used
    int x = 0;
    int width = 0;
};

struct FlowResult {
    bool fits = false;  // every item found a place at its least width
    int lineCount = 0;  // the lines used: the bottom `lineCount` entries of `lines`
    std::vector<FlowPlacement> items;
};

// Places `items` in order over the fewest lines that hold them, taking lines from the bottom of
// `lines` (listed top to bottom) upward, `gap` pixels between neighbours.  The fewest lines at
// the items' full widths are preferred; then the fewest at their least widths.  Items that take
// the rest share what is left of their line.  When even all the lines cannot hold them, the
// result does not fit and the items are laid out on every line anyway, the last ones cut to
// what is left.
FlowResult FlowControls(const std::vector<FlowItem>& items, const std::vector<FlowLine>& lines, int gap);

}  // namespace vantrel
