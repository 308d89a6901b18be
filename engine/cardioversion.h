// The two whole-heart interventions of the Tools menu: the cardioversion shock, which cancels
// every impulse in transit and every absolute refractory period, and atrial remodeling, which
// makes the atrial cells forget where they are normally activated from.
#pragma once

#include <cstdint>

#include "engine/heart_record.h"

namespace vantrel {

// Artefact the shock puts on the surface and intracardiac leads; ECG synthesis decays it.
inline constexpr int32_t kShockArtifact = 300;

// Clears every cell's absolute refractory count, QRS phase, conduction, pending excitation and
// propagation, then starts the shock artefact (restarting it when one is still decaying).
void Shock(CCoeur& heart);

// Every cell named "LA...", "RA..." or "IA..." takes the source of its next excitation as its
// usual one.  Pulmonary-vein cells ("PV...") keep theirs.
void RemodelAtria(CCoeur& heart);

}  // namespace vantrel
