#include "engine/ecg_synthesis.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

namespace vantrel {
namespace {

// Waveforms, one value per tick.
constexpr int32_t kIntracardiacAntero[8] = {20, -12, 8, 0, 0, 0, 0, 0};
constexpr int32_t kRetrogradeQrs[12] = {4, 8, 12, 15, 18, 21, 21, 18, 15, 12, 8, 4};
constexpr int32_t kIntracardiacRetro[12] = {-20, 12, -8, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// A model may carry large amplitudes: the sums are taken in 64 bits, which gives the 32-bit
// result whenever the 32-bit arithmetic would not overflow, and never undefined behaviour.
using Wide = int64_t;

int8_t Clamp(Wide v, Wide low, Wide high) { return static_cast<int8_t>(std::clamp(v, low, high)); }

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

// What the sample reads of a cell: its counters and its dipole, from the tick's copies.
struct TickCellSource {
    CCoeur& heart;
    TickCells& tickCells;
    int32_t QrsPhase(int32_t i) const { return tickCells.QrsPhaseAt(i, tickCells.now); }
    int32_t ActiveWindow(int32_t i) const { return tickCells.ActiveWindowAt(i, tickCells.now); }
    int32_t Amplitude(int32_t i) const { return tickCells.wave[i].amplitude; }
    int32_t StOffset(int32_t i) const { return tickCells.wave[i].stOffset; }
    int32_t TSmoothed(int32_t i) const { return tickCells.wave[i].tSmoothed; }
    int32_t QrsShape(int32_t i, int k) const { return tickCells.wave[i].qrsShape[k]; }
    Vector3 Dipole(int32_t i) const {
        return {tickCells.wave[i].dipoleX, tickCells.wave[i].dipoleY, tickCells.wave[i].dipoleZ};
    }
    // The end of the QRS has rewritten the record's injury offset: the copy follows.
    void EndOfQrsTaken(int32_t i) const {
        tickCells.wave[i].stOffset = heart.cells[i].stOffset;
        tickCells.state[i].injured = heart.cells[i].stOffset != 0 ? 1 : 0;
    }
};

// Repolarisation of a cell outside its QRS: the T wave near the end of its recently-fired
// window, and the injury term whenever the cell carries an ST offset.
Vector3 Repolarisation(const TickCellSource& source, int32_t i, bool tWaveOn) {
    const int32_t window = source.ActiveWindow(i);
    const int32_t stOffset = source.StOffset(i);
    const bool inTWave = tWaveOn && window <= kTWaveTicks;
    // Most cells of a beating heart are here, between their QRS and their T wave.
    if (!inTWave && stOffset == 0) return {};
    const Vector3 dipole = source.Dipole(i);
    const Wide d[3] = {dipole.x, dipole.y, dipole.z};
    Wide e[3] = {0, 0, 0};
    if (inTWave) {
        const Wide t = kTWave[(kTWaveTicks - window) / 2];
        const int32_t tSmoothed = source.TSmoothed(i);
        const bool large = std::abs(source.Amplitude(i)) >= 30;
        for (int c = 0; c < 3; ++c) {
            if (tSmoothed != 0)
                e[c] = d[c] * t * tSmoothed / 200;
            else if (large)
                e[c] = d[c] * t / 2;
        }
    }
    if (stOffset != 0) {
        for (int c = 0; c < 3; ++c) {
            const Wide s = d[c] * stOffset / 4;
            if (window > 40)
                e[c] -= s;
            else
                e[c] += (-s) * window / 40;
        }
    }
    return {e[0], e[1], e[2]};
}

// The running sums of one sample.
struct SampleSums {
    Wide x = 0, y = 0, z = 0;
    Wide atrialSum = 0, ventricularSum = 0;
    Wide ic[4] = {0, 0, 0, 0};
};

// Adds cell i to the sample: its QRS, or its repolarisation; writes its local signal.
void AddCell(CCoeur& heart, const TickCellSource& source, int32_t i, bool marker, SampleSums& sums) {
    const int32_t lastAtrial = heart.lastAtrialIndex;
    const int32_t firstVentricular = heart.firstVentricularIndex;
    const int32_t qrsPhase = source.QrsPhase(i);
    Vector3 e;
    if (qrsPhase >= 1 && qrsPhase <= 8) {
        const int k = 8 - qrsPhase;
        int32_t v = source.QrsShape(i, k);
        if (k == 7) {
            v = EndOfQrs(heart.cells[i], v);
            source.EndOfQrsTaken(i);
        }
        const Vector3 d = source.Dipole(i);
        e = {d.x * v, d.y * v, d.z * v};
        const Wide amplitude = source.Amplitude(i);
        if (i <= lastAtrial) sums.atrialSum += amplitude * v;
        if (i >= firstVentricular) sums.ventricularSum += amplitude * v;
    } else if (qrsPhase >= -12 && qrsPhase <= -1) {
        const int j = qrsPhase + 12;
        const int32_t v = kRetrogradeQrs[j];
        const Vector3 d = source.Dipole(i);
        e = {d.x * v, d.y * v, d.z * v};
        // A retrograde atrial cell feeds the atrial sum with its Z term.
        if (i < lastAtrial) sums.atrialSum += e.z;
        if (i >= firstVentricular) sums.ventricularSum += Wide{source.Amplitude(i)} * v;
    } else {
        e = Repolarisation(source, i, heart.tWaveOn != 0);
        // Between its QRS and its T wave a cell adds nothing.
        if (e.x == 0 && e.y == 0 && e.z == 0) return;
    }
    heart.cellZ[i] = Saturate32(e.z + (marker ? 100 : 0));
    sums.x += e.x;
    sums.y += e.y;
    sums.z += e.z;
}

// The sample's bytes from the sums: the surface components, the oesophageal and intracardiac
// leads with their far fields, the stimulus mark and the shock artefact, the precordial leads.
void FinishSample(CCoeur& heart, SampleSums& sums, bool marker, EcgSample& sample) {
    const int32_t lastAtrial = heart.lastAtrialIndex;
    const int32_t firstVentricular = heart.firstVentricularIndex;
    Wide x = sums.x, y = sums.y, z = sums.z;
    Wide* ic = sums.ic;
    const Wide atrialTerm = sums.atrialSum / -100;
    const Wide farAtrial = sums.atrialSum / 2000;
    const Wide farVentricular = sums.ventricularSum / 6000;
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
        for (int n = 0; n < 4; ++n) ic[n] += 100;
        heart.markerFlag = 0;
    }
    if (const int32_t a = heart.shockArtifact; a != 0) {
        x += a;
        y += a;
        z += a;
        for (int n = 0; n < 4; ++n) ic[n] += a;
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

}  // namespace

int32_t StandardVectorTerm(int lead, int32_t x, int32_t y, int32_t negatedZ) {
    const Wide a = x, b = y, c = negatedZ;
    switch (lead) {
        case 0: return static_cast<int32_t>(-(52 * a + 6 * b + 104 * c) / 100);
        case 1: return static_cast<int32_t>((-15 * a - 35 * b - 176 * c) / 100);
        case 2: return static_cast<int32_t>((69 * a + 38 * b - 116 * c) / 100);
        case 3: return static_cast<int32_t>((134 * a + 68 * b - 49 * c) / 100);
        case 4: return static_cast<int32_t>((109 * a + 64 * b + c) / 100);
        case 5: return static_cast<int32_t>((65 * a + 52 * b + 23 * c) / 100);
        default: return 0;
    }
}

void Synthesise(CCoeur& heart, EcgSample& sample) {
    // The cells taken from their records as they stand, and written back with their local signals.
    const auto tickCells = std::make_unique<TickCells>();
    tickCells->Take(heart);
    SynthesiseTickCells(heart, *tickCells, sample);
    tickCells->Release(heart);
}

void SynthesiseTickCells(CCoeur& heart, TickCells& tickCells, EcgSample& sample) {
    SampleSums sums;
    const bool marker = heart.markerFlag != 0;
    // During a shock artefact no cell contributes and the local signals keep their last values.
    if (heart.shockArtifact == 0) {
        const int32_t base = marker ? 100 : 0;
        tickCells.SumCohorts(sums.x, sums.y, sums.z);
        const TickCellSource source{heart, tickCells};
        for (int32_t n = 0; n < tickCells.listedCount; ++n) {
            const int32_t i = tickCells.listed[n];
            heart.cellZ[i] = base;
            AddCell(heart, source, i, marker, sums);
        }
        // An electrode reads the QRS of its cell, which is listed while in its QRS.
        for (int m = 0; m < 4; ++m) {
            const int32_t i = heart.icCell[m];
            if (i < 0 || i >= tickCells.count || tickCells.state[i].sampleClass != SampleClass::Listed) continue;
            const int32_t qrsPhase = source.QrsPhase(i);
            if (qrsPhase >= 1 && qrsPhase <= 8)
                sums.ic[m] = kIntracardiacAntero[8 - qrsPhase];
            else if (qrsPhase >= -12 && qrsPhase <= -1)
                sums.ic[m] = kIntracardiacRetro[qrsPhase + 12];
        }
        // The other cells' local signals are written when the tick lets go of the cells; the
        // precordial leads read theirs now.
        tickCells.cellZPending = true;
        tickCells.cellZBase = base;
        for (int32_t n = 0; n < tickCells.precordialSourceCount; ++n) {
            const int32_t i = tickCells.precordialSources[n];
            if (tickCells.state[i].sampleClass != SampleClass::Listed)
                heart.cellZ[i] = tickCells.UnlistedCellZ(i, base);
        }
    }
    FinishSample(heart, sums, marker, sample);
}

}  // namespace vantrel
