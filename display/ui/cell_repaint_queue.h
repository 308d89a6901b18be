// The cells waiting to be repainted in a heart picture: each cell-changed message queues its cell
// once, and one flush, queued behind the messages of a burst, draws them all with one short look
// at the heart record.  Shared by the flat and the 3D picture.  Interface thread only.
#pragma once

#include <cstdint>

#include "engine/heart_record.h"

namespace vantrel {

class CellRepaintQueue {
public:
    // Queues `cell` unless it is already waiting or is no cell slot.  True when the queue was
    // empty: the caller then asks for one flush.
    bool Add(int32_t cell) {
        if (cell < 0 || cell >= kMaxCells || queued_[cell]) return false;
        queued_[cell] = true;
        cells_[count_++] = cell;
        return count_ == 1;
    }
    // Forgets every waiting cell (after a flush, or when the picture is not on show).
    void Clear() {
        for (int32_t i = 0; i < count_; ++i) queued_[cells_[i]] = false;
        count_ = 0;
    }
    int32_t Count() const { return count_; }
    // The i-th waiting cell, in the order the messages came.
    int32_t Cell(int32_t i) const { return cells_[i]; }

private:
    int32_t cells_[kMaxCells] = {};  // the waiting cells, first come first
    int32_t count_ = 0;
    bool queued_[kMaxCells] = {};  // per cell slot: waiting in cells_
};

}  // namespace vantrel
