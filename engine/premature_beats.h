// Premature beats: a focus cell gets a premature-beat program, and the cell step carries it out
// after the focus cell's own firings by shortening its escape counter to the coupling interval.
// The premature-beat panel's buttons and the bigeminy switches call PressPrematureBeat.
#pragma once

#include <cstdint>

#include "engine/heart_record.h"

namespace vantrel {

// Gives cell `cellIndex` a premature-beat program: `count` beats (a run), or, with `every` > 0, one
// premature beat after every `every` firings until cleared.  A first or next pair of min 0 in a
// run becomes a fixed coupling {1, max}.  A cell index outside the model does nothing.
void Program(CCoeur& heart, int32_t cellIndex, CouplingPair first, CouplingPair next,
             int32_t count, int32_t every);

// Programs the bi- and trigeminy focus when `every` is non-zero, else the isolated focus.
void ProgramSupraventricular(CCoeur& heart, CouplingPair first, CouplingPair next, int32_t count,
                             int32_t every);
void ProgramVentricular(CCoeur& heart, CouplingPair first, CouplingPair next, int32_t count,
                        int32_t every);

// The premature-beat panel's commands.
enum class PrematureBeatCommand {
    Svpb,             // "SVPB"
    Vpb,              // "VPB"
    SvpbRun,          // "SVPBx"
    VpbRun,           // "VPBx"
    SvBigeminyOn,     // "SV-Bigeminy" switched on
    SvBigeminyOff,    // "SV-Bigeminy" switched off
    VBigeminyOn,      // "V-Bigeminy" switched on
    VBigeminyOff,     // "V-Bigeminy" switched off
};

// Runs one panel command with the parameter sets the record holds.
void PressPrematureBeat(CCoeur& heart, PrematureBeatCommand command);

// True while the bi- and trigeminy focus of that kind carries a repeating program (what the
// panel's "SV-Bigeminy" and "V-Bigeminy" boxes show); a load clears it unless the model gives one.
bool BigeminyRunning(const CCoeur& heart, bool ventricular);

}  // namespace vantrel
