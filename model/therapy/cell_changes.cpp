#include "model/therapy/cell_changes.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vantrel {

namespace {

// A percentage of a model value in ms, raised to the 5 ms of one tick so that no change can leave
// a cell with a zero-tick time.  Computed in 64 bits: a model value times a percentage may not fit.
int32_t Percent(int32_t modelValue, int32_t percent) {
    const int64_t value = int64_t{modelValue} * percent / 100;
    return static_cast<int32_t>(std::clamp<int64_t>(value, 5, std::numeric_limits<int32_t>::max()));
}

// The two fields of a tone-pair kind, current and model.
struct TonePairFields {
    int32_t CCell::*b;
    int32_t CCell::*h;
    int32_t CCell::*modelB;
    int32_t CCell::*modelH;
};

bool TonePairOf(ChangeKind kind, TonePairFields& fields) {
    switch (kind) {
        case ChangeKind::AnteroCond:
            fields = {&CCell::antCondB, &CCell::antCondH, &CCell::modelAntCondB, &CCell::modelAntCondH};
            return true;
        case ChangeKind::RetroCond:
            fields = {&CCell::retCondB, &CCell::retCondH, &CCell::modelRetCondB, &CCell::modelRetCondH};
            return true;
        case ChangeKind::Escape:
            fields = {&CCell::escapeB, &CCell::escapeH, &CCell::modelEscapeB, &CCell::modelEscapeH};
            return true;
        case ChangeKind::Arp:
            fields = {&CCell::arpB, &CCell::arpH, &CCell::modelArpB, &CCell::modelArpH};
            return true;
        case ChangeKind::Rrp:
            fields = {&CCell::rrpB, &CCell::rrpH, &CCell::modelRrpB, &CCell::modelRrpH};
            return true;
        default:
            return false;
    }
}

}  // namespace

bool PatternMatches(std::string_view pattern, const CCell& cell) {
    if (pattern.empty()) return false;
    if (pattern == "All") return true;
    const std::string_view name(cell.name, strnlen(cell.name, kCellNameSize));
    return name.substr(0, pattern.size()) == pattern;
}

int ChangeCells(CCoeur& heart, std::string_view pattern, int32_t value1, int32_t value2,
                ChangeKind kind, bool definitive) {
    const uint32_t flag = static_cast<uint32_t>(kind);
    TonePairFields pair{};
    const bool tonePair = TonePairOf(kind, pair);
    int changed = 0;
    for (int32_t i = 0; i < heart.cellCount; ++i) {
        CCell& cell = heart.cells[i];
        if (!PatternMatches(pattern, cell)) continue;
        if (definitive && (cell.definitiveMask & flag) != 0) continue;
        if (tonePair) {
            cell.*pair.b = Percent(cell.*pair.modelB, value1);
            cell.*pair.h = Percent(cell.*pair.modelH, value2);
            if (definitive) {
                cell.*pair.modelB = cell.*pair.b;
                cell.*pair.modelH = cell.*pair.h;
            }
        } else if (kind == ChangeKind::Flux) {
            cell.flux = value1;
            heart.ischemiaOn = 1;
        } else if (kind == ChangeKind::Amplitude) {
            cell.amplitude = value1;
        } else {  // T wave: no flag, no definitive handling
            cell.tWave = value1;
            if (cell.tSmoothed == 0) cell.tSmoothed = 100;
        }
        if (definitive) cell.definitiveMask |= flag;
        cell.dirty = 1;
        ++changed;
    }
    return changed;
}

int ChangeQrs(CCoeur& heart, std::string_view pattern, const int32_t (&shape)[8], bool definitive) {
    int changed = 0;
    for (int32_t i = 0; i < heart.cellCount; ++i) {
        CCell& cell = heart.cells[i];
        if (!PatternMatches(pattern, cell)) continue;
        for (int k = 0; k < 8; ++k) cell.qrsShape[k] = static_cast<int8_t>(shape[k] & 0xFF);
        if (definitive) std::memcpy(cell.modelQrsShape, cell.qrsShape, sizeof cell.qrsShape);
        cell.dirty = 1;
        ++changed;
    }
    return changed;
}

void Washout(CCoeur& heart) { heart.ResetAllCells(); }

}  // namespace vantrel
