// A small heart at known positions for the picture's tests: two rectangle cells and one octagon
// cell, linked in a chain, in a layout of 1024 x 700 pixels.
#pragma once

#include <memory>

#include "engine/heart_record.h"

namespace vantrel::testing {

inline constexpr int kLayoutWidth = 1024;
inline constexpr int kLayoutHeight = 700;

// Cell 0 "Sinus" at (100, 100), cell 1 "RA" at (260, 100), both rectangles; cell 2 "LV" an
// octagon at (200, 300).  Link 0 joins 0 and 1, link 1 joins 1 and 2.  No electrodes placed.
inline std::unique_ptr<CCoeur> MakePictureHeart() {
    auto heart = std::make_unique<CCoeur>();
    heart->Clear();
    const struct { const char* name; int x, y, type; } kCells[] = {
        {"Sinus", 100, 100, 1}, {"RA", 260, 100, 1}, {"LV", 200, 300, 0}};
    for (const auto& spec : kCells) {
        CCell& c = heart->cells[heart->cellCount++];
        c.SetName(spec.name);
        c.posX = spec.x;
        c.posY = spec.y;
        c.cellType = spec.type;
        c.SetEscape(800, 400);
        c.SetArp(250, 250);
        c.SetAntCond(20, 10);
        c.SetRetCond(30, 30);
        c.SetRrp(50, 50);
        c.StoreAsModel();
    }
    const int kLinks[][2] = {{0, 1}, {1, 2}};
    for (const auto& ends : kLinks) {
        CellLink& l = heart->links[heart->linkCount++];
        l.cellA = ends[0];
        l.cellB = ends[1];
    }
    for (int& c : heart->icCell) c = -1;
    heart->MarkElectrodes();
    return heart;
}

}  // namespace vantrel::testing
