// The small surface mesh the 3D picture draws around each cell: triangles and quads between a
// cell and the neighbours its links give it, built once after a load.
#pragma once

#include "engine/heart_record.h"

namespace vantrel {

// For every cell in index order: cuts a neighbour list longer than nine to its first nine (for
// good), then records up to 20 faces (triangles first, then quads).
void BuildCellMeshes(CCoeur& heart);

}  // namespace vantrel
