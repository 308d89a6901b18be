#include "engine/heart_record.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

SilentNotifier& SilentNotifier::Instance() {
    static SilentNotifier silent;
    return silent;
}

void CCell::SetEscape(int32_t b, int32_t h) {
    escapeB = b;
    escapeH = h;
    dirty = 1;
}

void CCell::SetArp(int32_t b, int32_t h) {
    arpB = b;
    arpH = h;
    dirty = 1;
}

void CCell::SetRrp(int32_t b, int32_t h) {
    // A relative refractory period of 0 would make the step divide by zero ticks.
    rrpB = std::max<int32_t>(b, 1);
    rrpH = std::max<int32_t>(h, 1);
    dirty = 1;
}

void CCell::SetAntCond(int32_t b, int32_t h) {
    antCondB = b;
    antCondH = h;
    dirty = 1;
}

void CCell::SetRetCond(int32_t b, int32_t h) {
    retCondB = b;
    retCondH = h;
    dirty = 1;
}

void CCell::CopyFrom(const CCell& other) {
    if (&other != this) *this = other;
    dirty = 1;
}

void CCell::ResetToModel() {
    escapeB = modelEscapeB;
    escapeH = modelEscapeH;
    arpB = modelArpB;
    arpH = modelArpH;
    rrpB = modelRrpB;
    rrpH = modelRrpH;
    antCondB = modelAntCondB;
    antCondH = modelAntCondH;
    retCondB = modelRetCondB;
    retCondH = modelRetCondH;
    escapeCounter = std::min(escapeCounter, modelEscapeB / 5);
    tWave = modelTWave;
    std::memcpy(qrsShape, modelQrsShape, sizeof qrsShape);
    dirty = 1;
}

void CCell::StoreAsModel() {
    modelEscapeB = escapeB;
    modelEscapeH = escapeH;
    modelArpB = arpB;
    modelArpH = arpH;
    modelRrpB = rrpB;
    modelRrpH = rrpH;
    modelAntCondB = antCondB;
    modelAntCondH = antCondH;
    modelRetCondB = retCondB;
    modelRetCondH = retCondH;
    modelTWave = tWave;
    std::memcpy(modelQrsShape, qrsShape, sizeof qrsShape);
}

void CCell::SetName(const char* text) {
    std::memset(name, 0, sizeof name);
    if (text) std::strncpy(name, text, kCellNameMaxLength);
    dirty = 1;
}

CellState CCell::State() const {
    if (escapeB >= kInertEscape) return CellState::Inert;
    if (conductCounter > 0) return CellState::Depolarization;
    if (arpCounter > 0) return CellState::Depolarized;
    if (rrpCounter > 0) return CellState::RelativeRefractory;
    return CellState::Polarized;
}

const char* CellStateWord(CellState state) {
    switch (state) {
        case CellState::Inert: return "";
        case CellState::Depolarization: return "Depolarization";
        case CellState::Depolarized: return "Depolarized";
        case CellState::RelativeRefractory: return "Rel.Refr.period";
        case CellState::Polarized: return "Polarized";
    }
    return "";
}

void CCell::AddNeighbour(int32_t cellIndex) {
    if (neighbourCount >= kMaxNeighbours) return;
    neighbours[neighbourCount++] = cellIndex;
}

HeartState::HeartState() {
    for (auto& lead : precordial)
        for (auto& term : lead) {
            term[0] = -1;
            term[1] = 0;
        }
    for (int i = 0; i < 4; ++i) electrodes[i].cell = icCell[i];
}

CCoeur::CCoeur() : notifier(&SilentNotifier::Instance()) {}

void CCoeur::Clear() {
    // One fresh copy, built once, so that clearing never puts half a megabyte on the stack.
    static const HeartState kFresh;
    static_cast<HeartState&>(*this) = kFresh;
    ++clearings;
}

int32_t CCoeur::FindCell(const char* name) const {
    if (!name) return -1;
    for (int32_t i = 0; i < cellCount; ++i)
        if (std::strncmp(cells[i].name, name, kCellNameSize) == 0) return i;
    return -1;
}

void CCoeur::ResetAllCells() {
    for (int32_t i = 0; i < cellCount; ++i) cells[i].ResetToModel();
    robustnessLevel = 50;
}

void CCoeur::RestoreLinks() {
    for (int32_t i = 0; i < linkCount; ++i) links[i].linkType = links[i].modelLinkType;
}

void CCoeur::MarkElectrodes() {
    for (int32_t i = 0; i < cellCount; ++i) cells[i].electrodeMark = 0;
    for (int e = 0; e < 4; ++e) electrodes[e].cell = icCell[e];
    electrodes[10].cell = pmAtrialCell;
    electrodes[11].cell = pmVentricularCell;
    electrodes[12].cell = pmVentricular2Cell;
    // Precedence: intracardiac 1..4 before the pacemaker leads 10..12, each in that order.  The
    // marks are written lowest precedence first so that the higher one overwrites on a shared cell.
    static constexpr int kMarked[] = {12, 11, 10, 3, 2, 1, 0};
    for (int e : kMarked) {
        const int32_t c = electrodes[e].cell;
        if (c >= 0 && c < cellCount) {
            cells[c].electrodeMark = e < 4 ? e + 1 : e;
            cells[c].dirty = 1;
        }
    }
}

void CCoeur::SetTone(int32_t newTone, bool notify) {
    tone = std::clamp<int32_t>(newTone, 0, 1000);
    // A tone set at once (by the user, a sequence, the model) replaces a ramp that was running:
    // otherwise the ramp would carry the tone back toward its old target.
    toneRampCountdown = 0;
    if (notify) notifier->Post(kMsgTone, tone, 0);
}

}  // namespace vantrel
