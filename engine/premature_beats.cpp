#include "engine/premature_beats.h"

namespace vantrel {

namespace {

constexpr CouplingPair kNoProgram{0, 0};

// A run needs a coupling to schedule with: "no program" in a run means fixed coupling instead.
CouplingPair UsableInRun(CouplingPair pair, int32_t count) {
    if (pair.min == 0 && count > 0) return {1, pair.max};
    return pair;
}

}  // namespace

void Program(CCoeur& heart, int32_t cellIndex, CouplingPair first, CouplingPair next,
             int32_t count, int32_t every) {
    // A model without that focus (index -1) simply has no premature beats of that kind.
    if (cellIndex < 0 || cellIndex >= heart.cellCount) return;
    CCell& cell = heart.cells[cellIndex];
    cell.ectopicFirst = UsableInRun(first, count);
    cell.ectopicNext = UsableInRun(next, count);
    cell.ectopicCount = count;
    cell.ectopicEvery = every;
    cell.ectopicSkip = 0;
    cell.dirty = 1;
}

void ProgramSupraventricular(CCoeur& heart, CouplingPair first, CouplingPair next, int32_t count,
                             int32_t every) {
    Program(heart, every != 0 ? heart.svpbBgTgCell : heart.svpbCell, first, next, count, every);
}

void ProgramVentricular(CCoeur& heart, CouplingPair first, CouplingPair next, int32_t count,
                        int32_t every) {
    Program(heart, every != 0 ? heart.vpbBgTgCell : heart.vpbCell, first, next, count, every);
}

void PressPrematureBeat(CCoeur& heart, PrematureBeatCommand command) {
    switch (command) {
        case PrematureBeatCommand::Svpb:
            ProgramSupraventricular(heart, heart.svpbCoupling, heart.svpbCoupling, 1, 0);
            break;
        case PrematureBeatCommand::Vpb:
            ProgramVentricular(heart, heart.vpbCoupling, heart.vpbCoupling, 1, 0);
            break;
        case PrematureBeatCommand::SvpbRun:
            ProgramSupraventricular(heart, heart.svRunFirst, heart.svRunNext, heart.svRunCount, 0);
            break;
        case PrematureBeatCommand::VpbRun:
            ProgramVentricular(heart, heart.vRunFirst, heart.vRunNext, heart.vRunCount, 0);
            break;
        case PrematureBeatCommand::SvBigeminyOn:
            // Occurrence 1 gives every 0: one premature beat on the isolated focus.
            ProgramSupraventricular(heart, heart.svBgTgCoupling, heart.svBgTgCoupling, 0,
                                    heart.svpbEvery - 1);
            break;
        case PrematureBeatCommand::SvBigeminyOff:
            ProgramSupraventricular(heart, kNoProgram, kNoProgram, 0, 1);
            break;
        case PrematureBeatCommand::VBigeminyOn:
            ProgramVentricular(heart, heart.vBgTgCoupling, heart.vBgTgCoupling, 0,
                               heart.vpbEvery - 1);
            break;
        case PrematureBeatCommand::VBigeminyOff:
            ProgramVentricular(heart, kNoProgram, kNoProgram, 0, 1);
            break;
    }
}

bool BigeminyRunning(const CCoeur& heart, bool ventricular) {
    const int32_t focus = ventricular ? heart.vpbBgTgCell : heart.svpbBgTgCell;
    if (focus < 0 || focus >= heart.cellCount) return false;
    const CCell& cell = heart.cells[focus];
    return cell.ectopicFirst.min > 0 && cell.ectopicEvery > 0;
}

}  // namespace vantrel
