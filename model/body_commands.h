// The body of a model file: every line's commands, the model-level settings, and the `Cell` and
// `Lien` lines that create cells and links from the reader's templates.  The language is
// stateful: a value given once stays in its template for the following lines of the load.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/heart_record.h"
#include "model/command_result.h"
#include "model/geometry.h"

namespace vantrel {

// What a `Cell` line changes and then copies: a whole cell record plus the attribute values that
// are turned into the cell's fields when the line ends.
struct CellTemplate {
    CCell cell;  // name "N.U.", type 1, coefficients, flux, QRS shape ... at their defaults
    int32_t gridX = 0, gridY = 0;             // "X", "Y": grid column and row
    int32_t escapeB = 2000, escapeH = 2000;   // "EB", "EH"
    int32_t antCondB = 10, antCondH = 10;     // "CAB", "CAH"
    int32_t retCondB = 10, retCondH = 10;     // "CRB", "CRH"
    int32_t arpB = 150, arpH = 150;           // "PRAB", "PRAH" (or restitution slope, offset)
    int32_t rrpB = 10, rrpH = 10;             // "PRRB", "PRRH"
    int32_t amplitude = 10;                   // "Amp"
};

// Reads the body lines of one load into the heart record.
class ModelBody {
public:
    // Sets the body defaults of a load: templates, grid, anchor, respiration, isochrone choice.
    explicit ModelBody(CCoeur& heart);

    // Runs every command of one body line; Done unless a command failed the load.
    CommandResult ProcessLine(std::string_view line);

private:
    CommandResult GlobalCommand(const std::string& word, std::string_view line, std::size_t& pos);
    CommandResult CellLine(std::string_view line, std::size_t& pos);
    CommandResult CellAttribute(const std::string& word, char delimiter, std::string_view line,
                                std::size_t& pos, bool& lineDone);
    CommandResult FinishCell(const std::string& name);
    CommandResult LinkLine(std::string_view line, std::size_t& pos);
    CommandResult Fail(std::string status);

    CCoeur& heart_;
    CellTemplate cell_;
    CellLink link_;  // the link template: its first eleven fields are copied to each link
    ModelRotation rotation_;
};

}  // namespace vantrel
