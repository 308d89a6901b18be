// The words of the user's actions as recordings and events files carry them: the same text
// whether the desktop's panels or a script of the headless runner did it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/pacemaker.h"
#include "engine/premature_beats.h"
#include "engine/stimulator_program.h"

namespace vantrel {

// "SVPB", "VPB run", "SV bigeminy on", ...
std::string PrematureBeatActionText(PrematureBeatCommand command);
// "Pacemaker DDD 70 bpm AV 160 ms", with the maximal rate and V-V' delay where the mode uses them.
std::string PacemakerActionText(const PacemakerSettings& settings);
// "Stimulator start S1-S1 600 ms" or "Stimulator start S2 500 ms fixed ...".
std::string StimulatorStartActionText(const StimulatorSettings& settings);
// "Electrode I.C.1 on <cell>", or "Electrode I.C.1 removed" for a cell of -1.
std::string ElectrodeActionText(int32_t electrode, const char* cellName);
// "Pacemaker lead A on <cell>" / "... removed"; lead: 'A', 'V' or '2' (the second ventricular).
std::string PacemakerLeadActionText(char lead, const char* cellName);

}  // namespace vantrel
