#include "engine/demo_heart.h"

#include <algorithm>
#include <string>

namespace vantrel {

void BuildDemoHeart(CCoeur& heart, int rows, int cols, int linkTarget) {
    heart.Clear();
    rows = std::clamp(rows, 1, kMaxCells);
    cols = std::clamp(cols, 1, kMaxCells / rows);
    linkTarget = std::clamp(linkTarget, 0, kMaxLinks);
    heart.cellCount = rows * cols;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const int i = r * cols + c;
            CCell& cell = heart.cells[i];
            cell.SetName(i == 0 ? "Sinus" : ("L" + std::to_string(i)).c_str());
            cell.posX = 20 + c * 14;
            cell.posY = 20 + r * 14;
            cell.pos3dX = c * 10;
            cell.pos3dY = r * 10;
            cell.pos3dZ = (r + c) % 3;
            cell.amplitude = 20;
            cell.SetArp(250, 200);
            cell.SetRrp(60, 40);
            cell.SetAntCond(20, 15);
            cell.SetRetCond(25, 20);
            if (i == 0) {
                cell.SetEscape(800, 450);  // 75 bpm at tone 0, faster with sympathetic tone
                cell.escapeCounter = 10;
            } else {
                cell.SetEscape(10000, 10000);  // never escapes: driven by the wave only
                cell.escapeCounter = 2000;
            }
            cell.StoreAsModel();
        }
    }
    auto link = [&](int a, int b) {
        if (heart.linkCount >= linkTarget) return;
        CellLink& l = heart.links[heart.linkCount++];
        l.cellA = a;
        l.cellB = b;
        l.sideA = 4;
        l.sideB = 1;
        heart.cells[a].AddNeighbour(b);
        heart.cells[b].AddNeighbour(a);
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const int i = r * cols + c;
            if (c + 1 < cols) link(i, i + 1);
            if (r + 1 < rows) link(i, i + cols);
        }
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < cols; ++c) link(r * cols + c, (r + 1) * cols + c + 1);
    heart.rateCellIndex = 0;
    heart.sinusClockCell = 0;
}

}  // namespace vantrel
