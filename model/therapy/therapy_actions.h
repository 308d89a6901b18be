// The two action interpreters: drug action lines and sequence action lines.  They change the
// running model between ticks; the caller holds the model lock.  A missing keyword argument, an
// unknown cell or link, or a number out of range changes nothing.
#pragma once

#include <string_view>

#include "engine/heart_record.h"

namespace vantrel {

// Runs every action line of a drug.  Each line is searched for every drug keyword in turn
// ("CTA", "CTR", "ARP", "RRP", "ESC", "SOT", "IC", "DUR", "QRS"), so one line may carry several
// actions.  Drug changes are never definitive.
void RunDrugActions(CCoeur& heart, std::string_view actions);

// What a run of sequence lines leaves behind for the control panel.
struct SequenceRun {
    bool definitive = false;    // the switch: on, cell and link changes become model values
    bool changedCells = false;  // some action changed cells (the baseline then washes out)
};

// Runs the action lines of a sequence (or of the start sequence) with the switch starting as
// `run.definitive`.  Each line does the first that applies: "DEFINITIVE", "Link=", "SVBalance",
// "DUR", then the first of "Flux", "AmpV", "CTA", "CTR", "ARP", "RRP", "ESC", "IC", "QRS".
void RunSequenceActions(CCoeur& heart, std::string_view actions, SequenceRun& run);

}  // namespace vantrel
