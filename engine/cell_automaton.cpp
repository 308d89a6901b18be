#include "engine/cell_automaton.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vantrel {

namespace {

// Moves a smoothed value one eighth of the gap toward its target, plus or minus one tick-eighth so
// that it gets there without overshooting.
int32_t SmoothToward(int32_t value, int32_t target) {
    if (value < target) return value + (target - value) / 8 + 1;
    if (value > target) return value + (target - value) / 8 - 1;
    return value;
}

// The conduction-time terms shared by both directions: decremental conduction inside the relative
// refractory period, then slowing under ischaemia.
int32_t ConductionTicks(const CCell& cell, int32_t b, int32_t h, int32_t t) {
    int32_t c = Interp(b, h, t) / 5;
    const int32_t rrp = RrpTicks(cell, t);
    // A relative refractory period shorter than one tick leaves nothing to scale by.
    if (cell.rrpCounter > 0 && rrp > 0)
        c = c + (cell.coefCondRrp - 100) * cell.rrpCounter * 3 / rrp / 100;
    if (cell.ischemiaLoad > 5000) {
        c = c + (cell.coefCondIsc - 100) * (cell.ischemiaLoad - 5000) / 25000;
        c = std::max<int32_t>(c, 1);
    }
    return c;
}

void ApplyIschaemia(CCell& cell, int32_t diastolicPercent) {
    cell.ischemiaLoad = std::max<int32_t>(
        0, cell.ischemiaLoad - cell.ischemiaLoad / 50 - cell.flux * diastolicPercent + 1000);
    cell.stOffset = 0;
    if (cell.ischemiaLoad > 5000) {
        if (cell.ischemiaLoad > 10000) {
            cell.ischemiaLoad = 10000;
            if (cell.flux <= 16) ++cell.ischemiaStrikes;
            if (cell.ischemiaStrikes > 20) {  // necrosis: the cell becomes inert
                cell.escapeB = kInertEscape;
                cell.ischemiaLoad = 0;
            }
        } else if (cell.ischemiaStrikes != 0) {
            --cell.ischemiaStrikes;
        }
    }
    cell.stOffset = cell.ischemiaLoad > 5000 ? (cell.ischemiaLoad - 5000) / 50 : 0;
}

void SetDipole(CCoeur& heart, CCell& cell) {
    int32_t dx = 0, dy = 0, dz = 0;
    const int32_t source = cell.trigger - 1;
    // A trigger naming no loaded cell (a stale excitation) gives no direction.
    if (cell.trigger != kOwnEscape && cell.amplitude != 0 && source >= 0 &&
        source < heart.cellCount) {
        const CCell& from = heart.cells[source];
        const double Dx = double(cell.pos3dX) - from.pos3dX;
        const double Dy = double(cell.pos3dY) - from.pos3dY;
        const double Dz = double(cell.pos3dZ) - from.pos3dZ;
        const int64_t L = static_cast<int64_t>(std::sqrt(Dx * Dx + Dy * Dy + Dz * Dz));
        // Two cells at the same place give no direction rather than a division by zero.
        if (L != 0) {
            dx = static_cast<int32_t>(static_cast<int64_t>(Dx) * 100 / L);
            dy = static_cast<int32_t>(static_cast<int64_t>(Dy) * 100 / L);
            dz = static_cast<int32_t>(static_cast<int64_t>(Dz) * 100 / L);
        }
    }
    if (std::abs(cell.amplitude) > 30 && cell.trigger == cell.usualSource) {
        cell.dipoleX = static_cast<int32_t>(double(cell.radialX) * cell.amplitude);
        cell.dipoleY = static_cast<int32_t>(double(cell.radialY) * cell.amplitude);
        cell.dipoleZ = static_cast<int32_t>(double(cell.radialZ) * cell.amplitude);
    } else {
        cell.dipoleX = cell.amplitude * dx / 70;
        cell.dipoleY = cell.amplitude * dy / 70;
        cell.dipoleZ = cell.amplitude * dz / 70;
    }
}

void SetRefractoryPeriod(CCell& cell, int32_t t) {
    if (cell.arpSlope < 0) {
        cell.arpCounter = ArpTicks(cell, t);
    } else {
        // Restitution: the refractory period follows the preceding cycle.  A cycle of 40 ticks or
        // less is taken as 40, which keeps the count at arpH / 5 there and never below it.
        int32_t u = EscapeTicks(cell, t) - cell.escapeCounter;
        u = std::clamp<int32_t>(u, 40, 300);
        const int32_t target = (u - 40) * cell.arpSlope / 100 + cell.arpH / 5;
        cell.arpSmoothed = std::max<int32_t>(SmoothToward(cell.arpSmoothed, target), 0);
        cell.arpCounter = cell.arpSmoothed;
    }
    cell.arpCounter += cell.conductCounter / 2;
}

void RunPrematureBeatProgram(CCell& cell, int32_t t) {
    const int32_t refractory = cell.arpCounter;
    auto schedule = [&](CouplingPair pair) {
        cell.escapeCounter = pair.min == 1 ? pair.max / 5 + refractory + 1 : CouplingTicks(pair, t);
    };
    if (cell.ectopicEvery > 0) {
        if (cell.ectopicSkip > 0) {
            --cell.ectopicSkip;
        } else {
            schedule(cell.ectopicFirst);
            cell.ectopicSkip = cell.ectopicEvery;
        }
        return;
    }
    if (cell.ectopicCount != 0) --cell.ectopicCount;
    if (cell.ectopicSkip == 0) {
        schedule(cell.ectopicFirst);
        cell.ectopicSkip = 1;
    } else {
        schedule(cell.ectopicNext);
    }
    if (cell.ectopicCount == 0) cell.ectopicFirst = {0, 0};
}

// The cell fires (step 4.2): direction, ischaemia, dipole, refractoriness.  Returns the event.
CellEvent Fire(CCoeur& heart, CCell& cell, int32_t t) {
    if (heart.pictureMode == 3) {
        if (cell.isochroneRef) heart.activationClock = 0;
        cell.activationTime = heart.activationClock;
        const IsoColour colour = ActivationColour(cell.activationTime);
        cell.isoRed = colour.red;
        cell.isoGreen = colour.green;
        cell.isoBlue = colour.blue;
    }
    if (cell.usualSourceUnset) {
        cell.usualSource = cell.trigger;
        cell.usualSourceUnset = 0;
        cell.antCondSmoothed = AntTicks(cell, t) * 8 + 8;
    }
    cell.fatigue += cell.fatigueStep;

    // A conduction time driven to zero or below (decremental conduction with a coefficient under
    // 100) leaves a counter of 0: the cell does not propagate, and the firing is still reported
    // as the shortest firing of its direction (+1 or -1) so that nobody mistakes it for silence.
    CellEvent event;
    if (cell.trigger == cell.usualSource) {
        const int32_t target = AntTicks(cell, t) * 8 + 8;
        cell.antCondSmoothed = SmoothToward(cell.antCondSmoothed, target);
        const int32_t c = cell.antCondSmoothed / 8;
        cell.conductCounter = std::max<int32_t>(c, 0);
        cell.qrsPhase = 9;
        cell.lastAnterograde = 1;
        event = static_cast<CellEvent>(std::clamp<int32_t>(c, 1, 127));
    } else {
        const int32_t m = RetTicks(cell, t) + 1;
        cell.conductCounter = std::max<int32_t>(m, 0);
        cell.qrsPhase = -13;
        cell.lastAnterograde = 0;
        event = static_cast<CellEvent>(-std::clamp<int32_t>(m, 1, 127));
    }

    if (heart.ischemiaOn && std::abs(cell.amplitude) > 30 && cell.flux < 90 &&
        cell.escapeB < kInertEscape)
        ApplyIschaemia(cell, heart.diastolicPercent);

    SetDipole(heart, cell);
    SetRefractoryPeriod(cell, t);
    cell.escapeCounter = EscapeTicks(cell, t);
    cell.trigger = 0;
    return event;
}

}  // namespace

int32_t SquareRootTone(int32_t t) {
    return static_cast<int32_t>(std::sqrt(static_cast<double>(std::max<int32_t>(t, 0))) * 31.6);
}

int32_t EscapeTicks(const CCell& cell, int32_t t) {
    return Interp(cell.escapeB, cell.escapeH, SquareRootTone(t)) / 5;
}

int32_t RrpTicks(const CCell& cell, int32_t x) { return Interp(cell.rrpB, cell.rrpH, x) / 5; }

int32_t ArpTicks(const CCell& cell, int32_t t) {
    const int32_t x = cell.arpB >= 1000 ? SquareRootTone(t) : t;
    int32_t a = Interp(cell.arpB, cell.arpH, x) / 5;
    const int32_t rrp = RrpTicks(cell, x);
    if (cell.rrpCounter > 0 && rrp > 0)
        a = (100 + (cell.coefArpRrp - 100) * cell.rrpCounter / rrp) * a / 100;
    if (cell.ischemiaLoad > 5000)
        a = (100 + (cell.coefArpIsc - 100) * (cell.ischemiaLoad - 5000) / 5000) * a / 100;
    return std::max<int32_t>(a, 10);
}

int32_t AntTicks(const CCell& cell, int32_t t) {
    return ConductionTicks(cell, cell.antCondB, cell.antCondH, t);
}

int32_t RetTicks(const CCell& cell, int32_t t) {
    return ConductionTicks(cell, cell.retCondB, cell.retCondH, t);
}

int32_t WindowTicks(const CCell& cell, int32_t t) { return Interp(cell.windowB, cell.windowH, t) / 5; }

int32_t CouplingTicks(CouplingPair pair, int32_t t) { return Interp(pair.min, pair.max, t) / 5; }

IsoColour ActivationColour(int32_t v) {
    if (v >= 200) return {0, 0, 128};
    if (v <= 50) return {255, std::max<int32_t>(v, 0) * 255 / 50, 0};
    if (v < 100) return {(100 - v) * 255 / 50, 255, 0};
    if (v == 100) return {0, 255, 0};
    if (v <= 150) return {0, (150 - v) * 255 / 50, (v - 100) * 255 / 50};
    return {0, 0, (250 - v) * 255 / 100};
}

CellEvent StepCell(CCoeur& heart, int32_t index, int32_t t) {
    CCell& cell = heart.cells[index];
    CellEvent event = 0;
    cell.propagating = 0;

    // 1. An inert cell only reports the end of a window that was still running.
    if (cell.escapeB >= kInertEscape) {
        event = cell.activeWindow != 0 ? 1 : 0;
        cell.activeWindow = 0;
        cell.conductCounter = 0;
        return event;
    }

    // 2. Own escape.  A counter of 2000 or more does not count down.
    if (cell.escapeCounter <= 0) {
        cell.trigger = kOwnEscape;
    } else if (cell.escapeCounter < 2000) {
        if (--cell.escapeCounter == 0) cell.trigger = kOwnEscape;
    }

    // 3-4. A pending excitation is handled only when the gate is open; otherwise it waits.
    if (cell.trigger != 0 && cell.escapeCounter < 4000 && cell.fatigue < 100) {
        if (cell.arpCounter != 0) {
            // Lost in the absolute refractory period; an own escape that fell there is postponed.
            if (cell.escapeCounter == 0) {
                const int32_t v = cell.arpCounter + EscapeTicks(cell, t) - ArpTicks(cell, t) - 1;
                cell.escapeCounter = (cell.arpCounter > 1 && v > 1) ? v : 1;
            }
            cell.trigger = 0;
        } else {
            event = Fire(heart, cell, t);
        }
    }

    // 5. Recently-fired window; fatigue recovers once the cell is fully repolarised.
    if (cell.activeWindow > 0) {
        --cell.activeWindow;
        if (cell.arpCounter == 0 && cell.rrpCounter == 0) cell.fatigue /= 2;
    }

    // 6-7. Refractory counters; the relative period starts as the absolute one ends.
    if (cell.arpCounter > 0) {
        if (--cell.arpCounter == 0) {
            if (event == 0) event = kEventCounterExpired;
            cell.rrpCounter = RrpTicks(cell, t);
        }
    }
    if (cell.rrpCounter > 0) {
        if (--cell.rrpCounter == 0 && event == 0) event = kEventCounterExpired;
    }

    // 8. The impulse leaves the cell when the conduction counter reaches 1.
    if (cell.windowCounter > 0) --cell.windowCounter;
    if (cell.conductCounter > 0) {
        --cell.conductCounter;
        if (cell.conductCounter == 1) {
            if (cell.windowB > 0) {
                cell.propagating = cell.windowCounter > 0 ? 1 : 0;
                cell.windowCounter = WindowTicks(cell, t);
            } else {
                cell.windowCounter = -1;
                cell.propagating = 1;
            }
        } else if (cell.conductCounter == 0 && event == 0) {
            event = kEventCounterExpired;
        }
    }

    // 9. QRS phase; after a firing, the window, the T wave and the premature-beat program.
    if (cell.qrsPhase > 0)
        --cell.qrsPhase;
    else if (cell.qrsPhase < 0)
        ++cell.qrsPhase;
    if (event == 0 || event == kEventCounterExpired) return event;

    cell.activeWindow = RrpTicks(cell, t) + cell.arpCounter + 6;
    if (cell.tSmoothed < cell.tWave) {
        cell.tSmoothed += (cell.tWave - cell.tSmoothed) / 8 + 1;
        if (cell.tSmoothed == 0 && cell.tWave > 0) cell.tSmoothed = 1;
    } else if (cell.tSmoothed > cell.tWave) {
        cell.tSmoothed += (cell.tWave - cell.tSmoothed) / 8 - 1;
        if (cell.tSmoothed == 0 && cell.tWave < 0) cell.tSmoothed = -1;
    }
    if (cell.ectopicFirst.min > 0) RunPrematureBeatProgram(cell, t);
    return event;
}

void PropagateLinks(CCoeur& heart) {
    const int32_t cellCount = std::clamp(heart.cellCount, 0, kMaxCells);
    // The cells' propagating flags side by side: triggers do not change them, so reading them
    // once gives the same result as reading them link by link.
    uint8_t leaving[kMaxCells];
    for (int32_t c = 0; c < cellCount; ++c) leaving[c] = heart.cells[c].propagating != 0;
    for (int32_t k = 0; k < heart.linkCount; ++k) {
        const CellLink& link = heart.links[k];
        // A link naming a cell that is not loaded conducts nothing.
        if (link.cellA < 0 || link.cellA >= cellCount || link.cellB < 0 || link.cellB >= cellCount)
            continue;
        ConductOverLink(
            heart, k, [&](int32_t c) { return leaving[c] != 0; },
            [&](int32_t c, int32_t source) { heart.cells[c].trigger = source; });
    }
}

void Stimulate(CCell& cell, bool onlyIfExcitable) {
    if (!onlyIfExcitable || cell.arpCounter == 0) cell.trigger = 1;
}

}  // namespace vantrel
