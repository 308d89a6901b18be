#include "reference_tick.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "engine/autonomic_tone.h"
#include "engine/cell_automaton.h"
#include "engine/pacemaker.h"
#include "engine/respiration.h"
#include "engine/rhythm_measurement.h"
#include "engine/stimulator.h"

namespace vantrel::testing {

namespace {

// Waveforms, one value per tick.
constexpr int32_t kIntracardiacAntero[8] = {20, -12, 8, 0, 0, 0, 0, 0};
constexpr int32_t kRetrogradeQrs[12] = {4, 8, 12, 15, 18, 21, 21, 18, 15, 12, 8, 4};
constexpr int32_t kIntracardiacRetro[12] = {-20, 12, -8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr int32_t kTWave[24] = {1, 1, 2,  2,  3,  3,  4,  5,  6,  7, 9, 11,
                                12, 13, 14, 15, 15, 13, 11, 8, 5, 3, 2, 1};

// A model may carry large amplitudes: the sums are taken in 64 bits, which gives the 32-bit
// result whenever the 32-bit arithmetic would not overflow, and never undefined behaviour.
using Wide = int64_t;

int8_t Clamp(Wide v, Wide low, Wide high) { return static_cast<int8_t>(std::clamp(v, low, high)); }

int32_t Saturate32(Wide v) {
    return static_cast<int32_t>(std::clamp<Wide>(v, std::numeric_limits<int32_t>::min(),
                                                 std::numeric_limits<int32_t>::max()));
}

struct Vector3 {
    Wide x = 0, y = 0, z = 0;
};

// The end of an anterograde QRS: the injury offset follows the previous J level, then the J
// level moves one eighth (plus one) toward the last QRS value and replaces it.
int32_t EndOfQrs(CCell& cell, int32_t v) {
    cell.stOffset = -4 * cell.jLevel;
    if (cell.jLevel > v)
        cell.jLevel -= (cell.jLevel - v) / 8 + 1;
    else if (cell.jLevel < v)
        cell.jLevel += (v - cell.jLevel) / 8 + 1;
    return cell.jLevel;
}

// Repolarisation of a cell outside its QRS: the T wave near the end of its recently-fired
// window, and the injury term whenever the cell carries an ST offset.
Vector3 Repolarisation(const CCell& cell, bool tWaveOn) {
    const bool inTWave = tWaveOn && cell.activeWindow <= 48;
    // Most cells of a beating heart are here, between their QRS and their T wave.
    if (!inTWave && cell.stOffset == 0) return {};
    const Wide d[3] = {cell.dipoleX, cell.dipoleY, cell.dipoleZ};
    Wide e[3] = {0, 0, 0};
    if (inTWave) {
        const Wide t = kTWave[(48 - cell.activeWindow) / 2];
        const bool large = std::abs(cell.amplitude) >= 30;
        for (int c = 0; c < 3; ++c) {
            if (cell.tSmoothed != 0)
                e[c] = d[c] * t * cell.tSmoothed / 200;
            else if (large)
                e[c] = d[c] * t / 2;
        }
    }
    if (cell.stOffset != 0) {
        for (int c = 0; c < 3; ++c) {
            const Wide s = d[c] * cell.stOffset / 4;
            if (cell.activeWindow > 40)
                e[c] -= s;
            else
                e[c] += (-s) * cell.activeWindow / 40;
        }
    }
    return {e[0], e[1], e[2]};
}


// Every link in array order, reading the cells' flags as it goes.
void ReferencePropagateLinks(CCoeur& heart) {
    const int32_t level = heart.robustnessLevel;
    const int32_t cellCount = std::clamp(heart.cellCount, 0, kMaxCells);
    for (int32_t i = 0; i < heart.linkCount; ++i) {
        CellLink& link = heart.links[i];
        if (link.cellA < 0 || link.cellA >= cellCount || link.cellB < 0 || link.cellB >= cellCount)
            continue;
        CCell& a = heart.cells[link.cellA];
        CCell& b = heart.cells[link.cellB];
        if ((link.linkType == LinkType::Bidir || link.linkType == LinkType::BlocRetro) &&
            a.propagating) {
            if (link.robustA > level) b.trigger = link.cellA + 1;
            link.orientationFree = 0;
        }
        if ((link.linkType == LinkType::Bidir || link.linkType == LinkType::BlocAntero) &&
            b.propagating && link.robustR > level) {
            a.trigger = link.cellB + 1;
            if (link.orientationFree == 1) {
                std::swap(link.cellA, link.cellB);
                std::swap(link.sideA, link.sideB);
                link.orientationFree = 0;
            }
        }
    }
}

}  // namespace

bool ReferenceTick(CCoeur& heart, bool& closed) {
    heart.tickCount = static_cast<int32_t>(static_cast<uint32_t>(heart.tickCount) + 1u);
    if (heart.cellResetCountdown > 0 && --heart.cellResetCountdown == 0) {
        heart.ResetAllCells();
        heart.notifier->Post(kMsgDrugEnded, 0, 1);
    }
    if (heart.linkResetCountdown > 0 && --heart.linkResetCountdown == 0) {
        heart.RestoreLinks();
        heart.notifier->Post(kMsgSequenceEnded, 0, 1);
    }
    AdvanceToneRamp(heart);
    int32_t t = heart.tone;
    CountRateTicks(heart);
    StimulatorTick(heart);
    PacemakerTiming(heart);
    t = ModulateTone(heart, t);
    closed = CloseComplex(heart);

    ActivitySums sums;
    bool fired = false;
    const int32_t count = std::clamp(heart.cellCount, 0, kMaxCells);
    for (int32_t i = 0; i < count; ++i) {
        const CellEvent event = StepCell(heart, i, t);
        AddActivity(heart, i, sums);
        if (event == 0) continue;
        heart.notifier->Post(kMsgCellChanged, heart.tickCount, i);
        if (event == kEventCounterExpired) continue;
        StimulatorCellFired(heart, i);
        NoteIntervalFiring(heart, i, sums);
        fired = true;
        CountRateFiring(heart, i);
    }
    PacemakerSensing(heart);
    EstimateEndOfRepolarisation(heart, sums);
    AdvanceMeasureClocks(heart);
    ReferencePropagateLinks(heart);
    AdvanceRespiration(heart);
    return fired;
}

void ReferenceSynthesise(CCoeur& heart, EcgSample& sample) {
    Wide x = 0, y = 0, z = 0;
    Wide atrialSum = 0, ventricularSum = 0;
    Wide ic[4] = {0, 0, 0, 0};
    const int32_t lastAtrial = heart.lastAtrialIndex;
    const int32_t firstVentricular = heart.firstVentricularIndex;
    const bool marker = heart.markerFlag != 0;

    // During a shock artefact no cell contributes and the local signals keep their last values.
    if (heart.shockArtifact == 0) {
        const int32_t count = std::clamp(heart.cellCount, 0, kMaxCells);
        for (int32_t i = 0; i < count; ++i) {
            CCell& cell = heart.cells[i];
            Vector3 e;
            if (cell.activeWindow > 0) {
                if (cell.qrsPhase >= 1 && cell.qrsPhase <= 8) {
                    const int k = 8 - cell.qrsPhase;
                    int32_t v = cell.qrsShape[k];
                    if (k == 7) v = EndOfQrs(cell, v);
                    e = {Wide{cell.dipoleX} * v, Wide{cell.dipoleY} * v, Wide{cell.dipoleZ} * v};
                    if (i <= lastAtrial) atrialSum += Wide{cell.amplitude} * v;
                    if (i >= firstVentricular) ventricularSum += Wide{cell.amplitude} * v;
                    for (int n = 0; n < 4; ++n)
                        if (i == heart.icCell[n]) ic[n] = kIntracardiacAntero[k];
                } else if (cell.qrsPhase >= -12 && cell.qrsPhase <= -1) {
                    const int j = cell.qrsPhase + 12;
                    const int32_t v = kRetrogradeQrs[j];
                    e = {Wide{cell.dipoleX} * v, Wide{cell.dipoleY} * v, Wide{cell.dipoleZ} * v};
                    // A retrograde atrial cell feeds the atrial sum with its Z term.
                    if (i < lastAtrial) atrialSum += e.z;
                    if (i >= firstVentricular) ventricularSum += Wide{cell.amplitude} * v;
                    for (int n = 0; n < 4; ++n)
                        if (i == heart.icCell[n]) ic[n] = kIntracardiacRetro[j];
                } else {
                    e = Repolarisation(cell, heart.tWaveOn != 0);
                }
            }
            heart.cellZ[i] = Saturate32(e.z + (marker ? 100 : 0));
            x += e.x;
            y += e.y;
            z += e.z;
        }
    }

    const Wide atrialTerm = atrialSum / -100;
    const Wide farAtrial = atrialSum / 2000;
    const Wide farVentricular = ventricularSum / 6000;
    for (int n = 0; n < 4; ++n) {
        const int32_t cell = heart.icCell[n];
        if (cell < 0) continue;
        if (cell <= lastAtrial)
            ic[n] += farVentricular / 4 + farAtrial;
        else if (cell < firstVentricular)
            ic[n] += farVentricular + farAtrial;
        else
            ic[n] += farAtrial / 4 + farVentricular;
    }
    x /= 400;
    y /= 400;
    z /= 400;

    if (marker) {
        x += 100;
        y += 100;
        z += 100;
        for (Wide& v : ic) v += 100;
        heart.markerFlag = 0;
    }
    if (const int32_t a = heart.shockArtifact; a != 0) {
        x += a;
        y += a;
        z += a;
        for (Wide& v : ic) v += a;
        // A positive artefact (the shock writes 300) falls by a twentieth plus one per tick; a
        // negative one, which nothing should write, rises the same way instead of running away.
        heart.shockArtifact = a > 0 ? a - a / 20 - 1 : a - a / 20 + 1;
    }

    int8_t* out = sample.bytes;
    out[kEcgX] = Clamp(x, -126, 127);
    out[kEcgY] = Clamp(y, -126, 127);
    out[kEcgZ] = z > 127 ? int8_t{-127} : z < -126 ? int8_t{126} : static_cast<int8_t>(-z);
    out[kEcgOes] = Clamp(x - z + atrialTerm, -126, 127);
    for (int n = 0; n < 4; ++n) out[kEcgIc1 + n] = Clamp(ic[n], -126, 127);

    for (int k = 0; k < kPrecordialLeads; ++k) {
        const int32_t(*list)[2] = heart.precordial[k];
        if (list[0][0] < 0) {
            out[kEcgV1 + k] = kNoPrecordialList;
            continue;
        }
        Wide sum = 0;
        for (int e = 0; e < kPrecordialTerms && list[e][0] >= 0; ++e) {
            const int32_t source = list[e][0];
            const Wide weight = list[e][1];
            if (source == kStandardVectorTerm) {
                const Wide v = k == 1 ? StandardVectorTerm(1, Saturate32(x), Saturate32(y),
                                                           Saturate32(-z))
                                      : StandardVectorTerm(k, out[kEcgX], out[kEcgY], out[kEcgZ]);
                sum += v * weight / 100;
            } else if (source < kMaxCells) {
                sum += Wide{heart.cellZ[source]} * weight / 1000;
            }
        }
        out[kEcgV1 + k] = Clamp(sum, -127, 127);
    }
}


TickRecord ReferenceTickAndSample(CCoeur& heart, EcgDisplay& display) {
    TickRecord record;
    bool closed = false;
    record.fired = ReferenceTick(heart, closed);
    record.tickCount = heart.tickCount;
    record.complexClosed = closed;
    record.stimulus = heart.markerFlag != 0;
    EcgSample sample;
    ReferenceSynthesise(heart, sample);
    sample.bytes[kEcgResp] = static_cast<int8_t>(heart.respValue & 0xFF);
    sample.bytes[kEcgSampleMarker] = static_cast<int8_t>(heart.sampleMarker & 0xFF);
    const int32_t slot = display.writeIndex.load(std::memory_order_relaxed);
    display.PushSample(sample);
    record.sample = display.liveRing[slot];
    return record;
}

}  // namespace vantrel::testing
