// What one body command of a model file did.
#pragma once

namespace vantrel {

enum class CommandResult {
    NotMine,        // the word is not this command family's
    Done,           // executed; the line goes on at the position the command left
    Failed,         // the load fails with heart.loadStatus
    FormulaFailed,  // a variable assignment's formula failed: the load stops at once
};

}  // namespace vantrel
