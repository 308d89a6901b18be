// A heart built in memory rather than read from a file: a sinus cell driving a lattice of
// conducting cells.  The demo program and the engine benchmarks run it; waves keep travelling
// across it because the sinus cell escapes every 800 ms.
#pragma once

#include "engine/heart_record.h"

namespace vantrel {

// Fills `heart` with rows * cols cells (cell 0, named "Sinus", is the pacemaker at the lattice's
// corner) and links each cell to its right and lower neighbours, then adds diagonal links until
// `linkTarget` links exist or the lattice has no more diagonals.  At most 1000 cells, 2000 links.
void BuildDemoHeart(CCoeur& heart, int rows, int cols, int linkTarget);

}  // namespace vantrel
