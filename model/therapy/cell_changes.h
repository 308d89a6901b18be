// The changes drugs and sequences make to the cells of the running model, and the washout that
// takes them back.  The caller holds the model lock.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/heart_record.h"

namespace vantrel {

// One kind of cell change per action keyword.  The value is the kind's flag in a cell's
// `definitiveMask`; the T wave has none (it is never definitive).
enum class ChangeKind : uint32_t {
    AnteroCond = 1,   // "CTA": antCondB, antCondH
    RetroCond = 2,    // "CTR": retCondB, retCondH
    Escape = 4,       // "ESC": escapeB, escapeH
    Arp = 8,          // "ARP": arpB, arpH
    Rrp = 16,         // "RRP": rrpB, rrpH
    Flux = 32,        // "Flux": flux
    Amplitude = 64,   // "AmpV": amplitude
    TWave = 0,        // "SOT": tWave
};

// True when the cell is named by the pattern: "All" names every cell, any other non-empty word
// every cell whose name begins with it.  An empty pattern names no cell.
bool PatternMatches(std::string_view pattern, const CCell& cell);

// Changes every matching cell, skipping a cell that already carries a definitive change of this
// kind when `definitive` is on.  Tone pairs become value1 % and value2 % of the cell's model
// values, at least 5 ms; definitive tone-pair changes become model values too, so washout and
// baseline keep them.  Flux sets the flow (and switches ischaemia on), Amplitude the dipole
// amplitude, TWave the T wave; value2 is not used by them.  Returns the number of cells changed.
int ChangeCells(CCoeur& heart, std::string_view pattern, int32_t value1, int32_t value2,
                ChangeKind kind, bool definitive);

// Gives every matching cell the QRS shape (each value cut to a signed byte); a definitive change
// becomes the model's shape too.  Returns the number of cells changed.
int ChangeQrs(CCoeur& heart, std::string_view pattern, const int32_t (&shape)[8], bool definitive);

// Every cell back to its model values (tone pairs, T wave, QRS shape) and the link robustness
// level back to 50.
void Washout(CCoeur& heart);

}  // namespace vantrel
