// The integer formula language of model files: numbers, model variables, coordinates of named
// positions, sin and cos, and the four operators, evaluated strictly from left to right in 32-bit
// wrapping arithmetic.  Also the variable commands "#Var" and "mName=formula".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/heart_record.h"

namespace vantrel {

// Evaluates the formula that starts at `pos` of `line` and moves `pos` past what it used (past a
// closing ";").  kNoValue when the formula fails; messages go to heart.loadStatus.
int32_t Evaluate(CCoeur& heart, std::string_view line, std::size_t& pos);

// Index of the declared variable `name`, or -1 (then loadStatus tells the name and line).
int32_t VariableIndex(CCoeur& heart, std::string_view name);
// The variable's value, or kNoValue when it is not declared.
int32_t VariableValue(CCoeur& heart, std::string_view name);
// Index of the declared position `name`, or -1 (then loadStatus tells the name).
int32_t PositionIndex(CCoeur& heart, std::string_view name);

// "#Var name": false when 100 variables exist already (the load fails).
bool DeclareVariable(CCoeur& heart, std::string_view line, std::size_t& pos);

enum class AssignResult {
    Done,           // stored; the caller goes on
    Failed,         // the load fails with loadStatus
    FormulaFailed,  // the formula failed: the load stops at once
};
// "mName=formula", `word` being the name read and `delimiter` what ended it.  Inside a `Cell`
// line a declared name not followed by "=" gets its own message.
AssignResult AssignVariable(CCoeur& heart, const std::string& word, char delimiter,
                            std::string_view line, std::size_t& pos, bool insideCellLine);

}  // namespace vantrel
