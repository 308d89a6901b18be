// Small hearts built in memory for the engine tests.
#pragma once

#include <memory>

#include "engine/cell_automaton.h"
#include "engine/heart_record.h"

namespace vantrel::testing {

// The record is half a megabyte: tests keep it on the heap.
inline std::unique_ptr<CCoeur> MakeHeart(int cellCount) {
    auto heart = std::make_unique<CCoeur>();
    heart->cellCount = cellCount;
    for (int i = 0; i < cellCount; ++i) {
        CCell& c = heart->cells[i];
        c.SetName(("C" + std::to_string(i)).c_str());
        c.SetEscape(10000, 10000);  // never escapes
        c.escapeCounter = 2000;
    }
    return heart;
}

inline void Link(CCoeur& heart, int a, int b, LinkType type = LinkType::Bidir) {
    CellLink& l = heart.links[heart.linkCount++];
    l.cellA = a;
    l.cellB = b;
    l.linkType = l.modelLinkType = type;
}

// The automaton part of one global tick: every cell in index order, then the links.  Returns the
// events of the cells of interest through `events` when given.
inline void RunTick(CCoeur& heart, int tone = 400, CellEvent* events = nullptr) {
    for (int i = 0; i < heart.cellCount; ++i) {
        const CellEvent e = StepCell(heart, i, tone);
        if (events) events[i] = e;
    }
    PropagateLinks(heart);
}

}  // namespace vantrel::testing
