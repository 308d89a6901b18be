#include "engine/cardioversion.h"

#include <cstring>

namespace vantrel {

void Shock(CCoeur& heart) {
    for (int32_t i = 0; i < heart.cellCount; ++i) {
        CCell& cell = heart.cells[i];
        cell.arpCounter = 0;
        cell.qrsPhase = 0;
        cell.conductCounter = 0;
        cell.trigger = 0;
        cell.propagating = 0;
        cell.dirty = 1;
    }
    heart.shockArtifact = kShockArtifact;
}

void RemodelAtria(CCoeur& heart) {
    for (int32_t i = 0; i < heart.cellCount; ++i) {
        CCell& cell = heart.cells[i];
        if (std::strncmp(cell.name, "LA", 2) == 0 || std::strncmp(cell.name, "RA", 2) == 0 ||
            std::strncmp(cell.name, "IA", 2) == 0)
            cell.usualSourceUnset = 1;
    }
}

}  // namespace vantrel
