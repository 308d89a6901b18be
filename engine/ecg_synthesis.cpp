#include "engine/ecg_synthesis.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vantrel {
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
    // The cells that may contribute, in index order.
    int16_t active[kMaxCells];
    int32_t activeCount = 0;
    const int32_t count = std::clamp(heart.cellCount, 0, kMaxCells);
    for (int32_t i = 0; i < count; ++i)
        if (MayContribute(heart.cells[i], heart.tWaveOn)) active[activeCount++] = static_cast<int16_t>(i);
    SynthesiseCells(heart, active, activeCount, sample);
}

void SynthesiseCells(CCoeur& heart, const int16_t* active, int32_t activeCount,
                     EcgSample& sample) {
    Wide x = 0, y = 0, z = 0;
    Wide atrialSum = 0, ventricularSum = 0;
    Wide ic[4] = {0, 0, 0, 0};
    const int32_t lastAtrial = heart.lastAtrialIndex;
    const int32_t firstVentricular = heart.firstVentricularIndex;
    const bool marker = heart.markerFlag != 0;

    // During a shock artefact no cell contributes and the local signals keep their last values.
    if (heart.shockArtifact == 0) {
        // A cell outside its recently-fired window contributes nothing: its local signal is the
        // stimulus mark alone.
        const int32_t count = std::clamp(heart.cellCount, 0, kMaxCells);
        std::fill_n(heart.cellZ, count, marker ? 100 : 0);
        for (int32_t n = 0; n < activeCount; ++n) {
            const int32_t i = active[n];
            CCell& cell = heart.cells[i];
            Vector3 e;
            if (cell.qrsPhase >= 1 && cell.qrsPhase <= 8) {
                const int k = 8 - cell.qrsPhase;
                int32_t v = cell.qrsShape[k];
                if (k == 7) v = EndOfQrs(cell, v);
                e = {Wide{cell.dipoleX} * v, Wide{cell.dipoleY} * v, Wide{cell.dipoleZ} * v};
                if (i <= lastAtrial) atrialSum += Wide{cell.amplitude} * v;
                if (i >= firstVentricular) ventricularSum += Wide{cell.amplitude} * v;
                for (int m = 0; m < 4; ++m)
                    if (i == heart.icCell[m]) ic[m] = kIntracardiacAntero[k];
            } else if (cell.qrsPhase >= -12 && cell.qrsPhase <= -1) {
                const int j = cell.qrsPhase + 12;
                const int32_t v = kRetrogradeQrs[j];
                e = {Wide{cell.dipoleX} * v, Wide{cell.dipoleY} * v, Wide{cell.dipoleZ} * v};
                // A retrograde atrial cell feeds the atrial sum with its Z term.
                if (i < lastAtrial) atrialSum += e.z;
                if (i >= firstVentricular) ventricularSum += Wide{cell.amplitude} * v;
                for (int m = 0; m < 4; ++m)
                    if (i == heart.icCell[m]) ic[m] = kIntracardiacRetro[j];
            } else {
                e = Repolarisation(cell, heart.tWaveOn != 0);
                // Between its QRS and its T wave a cell adds nothing.
                if (e.x == 0 && e.y == 0 && e.z == 0) continue;
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

}  // namespace vantrel
