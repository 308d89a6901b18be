#include "app/control_flow.h"

#include <algorithm>

namespace vantrel {

namespace {

// Fills the bottom `count` of `lines` in order, each item at its full or least width; false when
// an item finds no line.
bool Fill(const std::vector<FlowItem>& items, const std::vector<FlowLine>& lines, int count, int gap, bool least,
          FlowResult& result) {
    const int first = static_cast<int>(lines.size()) - count;
    result.items.assign(items.size(), FlowPlacement{});
    int line = 0;
    int x = lines[static_cast<size_t>(first)].left;
    for (size_t i = 0; i < items.size(); ++i) {
        const FlowItem& item = items[i];
        const int width = least && item.minWidth > 0 ? std::min(item.minWidth, item.width) : item.width;
        while (x + width > lines[static_cast<size_t>(first + line)].right) {
            if (++line == count) return false;
            x = lines[static_cast<size_t>(first + line)].left;
        }
        result.items[i] = {line, x, width};
        x += width + gap;
    }
    return true;
}

// What is left of each line goes to its items that take the rest, shared equally.
void GiveRest(const std::vector<FlowItem>& items, const std::vector<FlowLine>& lines, FlowResult& result) {
    const int first = static_cast<int>(lines.size()) - result.lineCount;
    for (int line = 0; line < result.lineCount; ++line) {
        int end = lines[static_cast<size_t>(first + line)].left;
        int takers = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            if (result.items[i].line != line) continue;
            end = std::max(end, result.items[i].x + result.items[i].width);
            if (items[i].takesRest) ++takers;
        }
        if (takers == 0) continue;
        const int spare = std::max(0, lines[static_cast<size_t>(first + line)].right - end);
        int shift = 0;
        int given = 0;
        for (size_t i = 0; i < items.size(); ++i) {
            if (result.items[i].line != line) continue;
            result.items[i].x += shift;
            if (!items[i].takesRest) continue;
            const int extra = ++given == takers ? spare - (takers - 1) * (spare / takers) : spare / takers;
            result.items[i].width += extra;
            shift += extra;
        }
    }
}

}  // namespace

FlowResult FlowControls(const std::vector<FlowItem>& items, const std::vector<FlowLine>& lines, int gap) {
    FlowResult result;
    const int available = static_cast<int>(lines.size());
    if (available == 0) return result;
    for (bool least : {false, true}) {
        for (int count = 1; count <= available; ++count) {
            if (!Fill(items, lines, count, gap, least, result)) continue;
            result.fits = true;
            result.lineCount = count;
            GiveRest(items, lines, result);
            return result;
        }
    }
    // Nothing holds them: every line, each item at its least width, the overflow cut to the end
    // of the bottom line.
    result.lineCount = available;
    result.items.assign(items.size(), FlowPlacement{});
    int line = 0;
    int x = lines[0].left;
    for (size_t i = 0; i < items.size(); ++i) {
        const int want = items[i].minWidth > 0 ? std::min(items[i].minWidth, items[i].width) : items[i].width;
        while (line + 1 < available && x + want > lines[static_cast<size_t>(line)].right) x = lines[static_cast<size_t>(++line)].left;
        const int width = std::max(0, std::min(want, lines[static_cast<size_t>(line)].right - x));
        result.items[i] = {line, x, width};
        x += width + gap;
    }
    return result;
}

}  // namespace vantrel
