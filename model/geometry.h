// Where a model places its cells: the 2D picture grid, named positions, named point definitions
// that cells select with "XYZ", the model rotation, each cell's radial unit vector, and the
// precordial lead presets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/heart_record.h"
#include "model/command_result.h"

namespace vantrel {

// The model rotation ("RotX", "RotY", "RotZ"), degrees; 0 at the start of every load.
struct ModelRotation {
    int32_t x = 0, y = 0, z = 0;
};

// The grid, rotation, "#Pos", "#define" and "#SetPrecordial" commands.  `word` is the command
// just read from `line`; its arguments are read from `pos`.  Commands that use or end the line
// leave `pos` at its end.
CommandResult GeometryCommand(CCoeur& heart, const std::string& word, std::string_view line,
                              std::size_t& pos, ModelRotation& rotation);

// Index of the first point definition whose first word is `name`, or -1 (loadStatus then names
// it with the line).
int32_t FindPointDefinition(CCoeur& heart, std::string_view name);

// The 3D point of point definition `selection`, rotated; leaves the definition's anchor in
// heart.anchorX/Y/Z.  A selection that names no definition gives the origin, anchor untouched.
Point3 ComputeCellPoint(CCoeur& heart, int32_t selection, const ModelRotation& rotation);

// Unit vector from the current anchor to `point`; zero when they coincide or when the cell's
// amplitude is too small to carry a dipole of its own (below 31 in magnitude).
void RadialVector(const CCoeur& heart, Point3 point, int32_t amplitude, CCell& cell);

}  // namespace vantrel
