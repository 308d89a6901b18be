#include "engine/tick_cells.h"

#include "engine/cell_automaton.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vantrel {
namespace {

constexpr auto kTWaveByWindow = [] {
    std::array<int32_t, kTWaveTicks + 1> table{};
    for (int w = 1; w <= kTWaveTicks; ++w) table[w] = kTWave[(kTWaveTicks - w) / 2];
    return table;
}();

// A term whose product with the largest shape value (15) stays inside 64 bits.
constexpr int64_t kLargeTerm = int64_t{1} << 58;

int32_t TickAfter(int32_t since, int64_t ticks) {
    const int64_t at = int64_t{since} + ticks;
    return at >= kNever ? kNever : static_cast<int32_t>(at);
}

bool InQrs(int32_t qrs) { return (qrs >= 1 && qrs <= 8) || (qrs >= -12 && qrs <= -1); }

}  // namespace

void TickCells::LoadCell(const CCell& cell, int32_t i, int32_t tick) {
    LoadCounters(cell, i, tick);
    LoadCopies(cell, i);
}

void TickCells::LoadCounters(const CCell& cell, int32_t i, int32_t tick) {
    state[i].since = tick;
    std::memcpy(&state[i].escapeCounter, &cell.escapeCounter, kHeldCountersSize);
}

void TickCells::LoadCopies(const CCell& cell, int32_t i) {
    state[i].inert = cell.escapeB >= kInertEscape ? 1 : 0;
    // The activity sums take the magnitude in 32 bits, as the record's arithmetic does.
    state[i].absAmplitude = std::abs(cell.amplitude);
    wave[i].amplitude = cell.amplitude;
    wave[i].dipoleX = cell.dipoleX;
    wave[i].dipoleY = cell.dipoleY;
    wave[i].dipoleZ = cell.dipoleZ;
    wave[i].stOffset = cell.stOffset;
    wave[i].tSmoothed = cell.tSmoothed;
    std::memcpy(wave[i].qrsShape, cell.qrsShape, sizeof cell.qrsShape);
    relativeRefractory[i][0] = cell.rrpB;
    relativeRefractory[i][1] = cell.rrpH;
    // d * t * tSmoothed / 200, or d * t / 2 for a large cell with a plain T, which is
    // d * 100 * t / 200 exactly.
    const int64_t factor = cell.tSmoothed != 0 ? cell.tSmoothed
                           : std::abs(cell.amplitude) >= 30 ? 100
                                                             : 0;
    terms[i].x = int64_t{cell.dipoleX} * factor;
    terms[i].y = int64_t{cell.dipoleY} * factor;
    terms[i].z = int64_t{cell.dipoleZ} * factor;
    state[i].tWaveLarge = std::max({std::abs(terms[i].x), std::abs(terms[i].y),
                                    std::abs(terms[i].z)}) >= kLargeTerm
                              ? 1
                              : 0;
    state[i].injured = cell.stOffset != 0 ? 1 : 0;
    state[i].termsCopied = 1;
}

void TickCells::StoreCell(CCell& cell, int32_t i) const {
    std::memcpy(&cell.escapeCounter, &state[i].escapeCounter, kHeldCountersSize);
}

void TickCells::Take(const CCoeur& heart) {
    const bool sameShape = taken && now < kRetakeNow && count == std::clamp(heart.cellCount, 0, kMaxCells) &&
                           tWaveOn == heart.tWaveOn && lastAtrial == heart.lastAtrialIndex &&
                           firstVentricular == heart.firstVentricularIndex && clearingsTaken == heart.clearings;
    if (!sameShape) return TakeAll(heart);
    TakePrecordialSources(heart);
    if (linkCountTaken != std::clamp(heart.linkCount, 0, kMaxLinks)) TakeLinks(heart);
    for (int32_t i = 0; i < count; ++i)
        if (!AsReleased(heart.cells[i], i)) Reload(heart.cells[i], i);
    held = true;
}

void TickCells::TakeAll(const CCoeur& heart) {
    count = std::clamp(heart.cellCount, 0, kMaxCells);
    now = 0;
    tWaveOn = heart.tWaveOn;
    lastAtrial = heart.lastAtrialIndex;
    firstVentricular = heart.firstVentricularIndex;
    ventricularConductingSum = 0;
    ventricularConductingCount = 0;
    listedCount = 0;
    cellZPending = false;
    std::fill(std::begin(wheelHead), std::end(wheelHead), int16_t{-1});
    std::fill(std::begin(due), std::end(due), uint64_t{0});
    std::fill(std::begin(ventricularTree), std::end(ventricularTree), 0u);
    std::fill(std::begin(cohortTick), std::end(cohortTick), std::numeric_limits<int32_t>::min());
    TakePrecordialSources(heart);
    TakeLinks(heart);
    for (int32_t i = 0; i < count; ++i) {
        LoadCell(heart.cells[i], i, 0);
        state[i].sampleClass = SampleClass::None;
        state[i].ventricularCounted = 0;
        state[i].listedAt = -1;
        wheelSlotOf[i] = -1;
        visitAt[i] = kNever;
    }
    for (int32_t i = 0; i < count; ++i) Classify(i);
    held = true;
    taken = true;
}

void TickCells::TakePrecordialSources(const CCoeur& heart) {
    // The cells the precordial leads read, once each.
    precordialSourceCount = 0;
    for (const auto& lead : heart.precordial) {
        for (int e = 0; e < kPrecordialTerms && lead[e][0] >= 0; ++e) {
            const int32_t source = lead[e][0];
            if (source == kStandardVectorTerm || source >= count) continue;
            const int16_t cell = static_cast<int16_t>(source);
            if (std::find(precordialSources, precordialSources + precordialSourceCount, cell) ==
                precordialSources + precordialSourceCount)
                precordialSources[precordialSourceCount++] = cell;
        }
    }
}

void TickCells::TakeLinks(const CCoeur& heart) {
    // The links touching each cell, in link order.
    std::fill(std::begin(linkStart), std::end(linkStart), int16_t{0});
    const int32_t links = std::clamp(heart.linkCount, 0, kMaxLinks);
    const auto touches = [&](const CellLink& link, auto&& add) {
        if (link.cellA < 0 || link.cellA >= count || link.cellB < 0 || link.cellB >= count) return;
        add(link.cellA);
        if (link.cellB != link.cellA) add(link.cellB);
    };
    for (int32_t k = 0; k < links; ++k)
        touches(heart.links[k], [&](int32_t c) { ++linkStart[c + 1]; });
    for (int32_t c = 0; c < count; ++c) linkStart[c + 1] = static_cast<int16_t>(linkStart[c + 1] + linkStart[c]);
    int16_t fill[kMaxCells];
    for (int32_t c = 0; c < count; ++c) fill[c] = linkStart[c];
    for (int32_t k = 0; k < links; ++k)
        touches(heart.links[k], [&](int32_t c) { linkIndex[fill[c]++] = static_cast<int16_t>(k); });
    linkCountTaken = links;
    clearingsTaken = heart.clearings;
}

bool TickCells::AsReleased(const CCell& cell, int32_t i) const {
    const TickCellState& c = state[i];
    const TickCellWave& w = wave[i];
    // The counters, as five 64-bit words.
    uint64_t counters = static_cast<uint64_t>(c.since ^ now);
    for (size_t k = 0; k < kHeldCountersSize; k += sizeof(uint64_t)) {
        uint64_t held = 0, record = 0;
        std::memcpy(&held, reinterpret_cast<const char*>(&c.escapeCounter) + k, sizeof held);
        std::memcpy(&record, reinterpret_cast<const char*>(&cell.escapeCounter) + k, sizeof record);
        counters |= held ^ record;
    }
    if (counters != 0) return false;
    // What the copies came from, compared all at once: most cells are as released.
    uint64_t shape = 0, copied = 0;
    std::memcpy(&shape, cell.qrsShape, sizeof shape);
    std::memcpy(&copied, w.qrsShape, sizeof copied);
    const uint32_t differ =
        static_cast<uint32_t>(cell.amplitude ^ w.amplitude) | static_cast<uint32_t>(cell.dipoleX ^ w.dipoleX) |
        static_cast<uint32_t>(cell.dipoleY ^ w.dipoleY) | static_cast<uint32_t>(cell.dipoleZ ^ w.dipoleZ) |
        static_cast<uint32_t>(cell.stOffset ^ w.stOffset) | static_cast<uint32_t>(cell.tSmoothed ^ w.tSmoothed) |
        static_cast<uint32_t>(cell.rrpB ^ relativeRefractory[i][0]) |
        static_cast<uint32_t>(cell.rrpH ^ relativeRefractory[i][1]) |
        static_cast<uint32_t>(c.inert ^ (cell.escapeB >= kInertEscape ? 1 : 0));
    return (differ | static_cast<uint32_t>(shape != copied)) == 0;
}

void TickCells::Reload(const CCell& cell, int32_t i) {
    // A conducting ventricular cell leaves the sums with the magnitude it was counted with.
    CountConducting(i, 0);
    LoadCell(cell, i, now);
    Classify(i);
}

void TickCells::Release(CCoeur& heart) {
    if (!held) return;
    for (int32_t i = 0; i < count; ++i) {
        Advance(i, now);
        StoreCell(heart.cells[i], i);
        if (cellZPending && state[i].sampleClass != SampleClass::Listed) heart.cellZ[i] = UnlistedCellZ(i, cellZBase);
    }
    cellZPending = false;
    held = false;
}

void TickCells::Advance(int32_t i, int32_t tick) {
    const int32_t d = tick - state[i].since;
    if (d <= 0) return;
    state[i].since = tick;
    state[i].propagating = 0;
    // An inert cell's step clears the flag and nothing else once its window has ended.
    if (state[i].inert) return;
    if (state[i].escapeCounter < 2000) state[i].escapeCounter -= d;
    const int32_t window = state[i].activeWindow;
    if (window > 0) {
        // Fatigue halves at every step whose window runs while the cell is fully repolarised;
        // in a quiet stretch the refractory counters are either 0 throughout or never reach it.
        if (state[i].arpCounter == 0 && state[i].rrpCounter == 0) {
            int32_t f = state[i].fatigue;
            for (int32_t h = std::min(d, window); h > 0 && f != 0; --h) f /= 2;
            state[i].fatigue = f;
        }
        state[i].activeWindow = std::max(window - d, 0);
    }
    if (state[i].arpCounter > 0) state[i].arpCounter -= d;
    if (state[i].rrpCounter > 0) state[i].rrpCounter -= d;
    if (state[i].windowCounter > 0) state[i].windowCounter = std::max(state[i].windowCounter - d, 0);
    if (state[i].conductCounter > 0) state[i].conductCounter -= d;
    const int32_t qrs = state[i].qrsPhase;
    if (qrs > 0) state[i].qrsPhase = std::max(qrs - d, 0);
    if (qrs < 0) state[i].qrsPhase = std::min(qrs + d, 0);
}

bool TickCells::StepWithoutRecord(const CCell& cell, int32_t i, int32_t tone, CellEvent& event) {
    TickCellState& c = state[i];
    const int32_t conduct = c.conductCounter, arp = c.arpCounter, rrp = c.rrpCounter;
    const int32_t tick = c.since + 1;
    event = 0;
    if (c.inert) {
        // An inert cell whose window and conduction have ended only clears its flag.
        if ((c.activeWindow | conduct) != 0) return false;
        Advance(i, tick);
        return true;
    }
    // No escape due.
    if (c.escapeCounter <= 1 || conduct < 0) return false;
    if (arp == 1) {
        // The absolute refractory period ends and the relative one starts, counting this tick.
        if (c.trigger != 0 || conduct == 1 || conduct == 2) return false;
        Advance(i, tick);
        const int32_t relative = Interp(relativeRefractory[i][0], relativeRefractory[i][1], tone) / 5;
        c.rrpCounter = relative > 0 ? relative - 1 : relative;
        event = kEventCounterExpired;
        return true;
    }
    if (c.trigger != 0) {
        // An excitation in the absolute refractory period is lost; the rest of the step counts.
        if (arp == 0 || c.escapeCounter >= 4000 || c.fatigue >= 100 || rrp == 1 || conduct == 1 ||
            conduct == 2)
            return false;
        c.trigger = 0;
        Advance(i, tick);
        return true;
    }
    // A cell with a paroxysmal-block window opens or counts it as the impulse leaves.
    if (conduct == 2 && cell.windowB > 0) return false;
    Advance(i, tick);
    if (rrp == 1) event = kEventCounterExpired;
    if (conduct == 2) {
        // The impulse leaves the cell.
        c.windowCounter = -1;
        c.propagating = 1;
    } else if (conduct == 1 && event == 0) {
        event = kEventCounterExpired;
    }
    return true;
}

void TickCells::Unschedule(int32_t i) {
    const int16_t slot = wheelSlotOf[i];
    if (slot < 0) return;
    const int16_t next = wheelNext[i], prev = wheelPrev[i];
    if (prev >= 0)
        wheelNext[prev] = next;
    else
        wheelHead[slot] = next;
    if (next >= 0) wheelPrev[next] = prev;
    wheelSlotOf[i] = -1;
}

void TickCells::Schedule(int32_t i, int32_t tick) {
    Unschedule(i);
    visitAt[i] = tick;
    const int32_t at = std::min(std::max(tick, now + 1), now + kWheelSlots - 1);
    const int16_t slot = static_cast<int16_t>(at & (kWheelSlots - 1));
    const int16_t head = wheelHead[slot];
    wheelNext[i] = head;
    wheelPrev[i] = -1;
    if (head >= 0) wheelPrev[head] = static_cast<int16_t>(i);
    wheelHead[slot] = static_cast<int16_t>(i);
    wheelSlotOf[i] = slot;
}

void TickCells::CollectDue() {
    const int32_t slot = now & (kWheelSlots - 1);
    for (int16_t i = wheelHead[slot]; i >= 0;) {
        const int16_t next = wheelNext[i];
        wheelSlotOf[i] = -1;
        MarkDue(i);
        i = next;
    }
    wheelHead[slot] = -1;
}

int32_t TickCells::UnlistedCellZ(int32_t i, int32_t base) const {
    const int32_t window = state[i].cohortEnd - now;
    if (state[i].sampleClass != SampleClass::PlainT || window < 1 || window > kTWaveTicks) return base;
    return Saturate32(terms[i].z * kTWaveByWindow[window] / 200 + base);
}

void TickCells::SumCohorts(int64_t& x, int64_t& y, int64_t& z) const {
    for (int32_t w = 1; w <= kTWaveTicks; ++w) {
        const int32_t end = now + w;
        const int32_t slot = end & (kCohortSlots - 1);
        if (cohortTick[slot] != end) continue;
        const int32_t k = (kTWaveTicks - w) / 2;
        const int64_t t = kTWave[k];
        const int64_t* q = cohortQuotient[slot];
        const int16_t (*r)[kTWaveShapes] = cohortRemainder[slot];
        x += q[0] * t + r[0][k];
        y += q[1] * t + r[1][k];
        z += q[2] * t + r[2][k];
    }
}

namespace {

// A term a at shape value t adds trunc(a * t / 200).  With a = 200 q + r (q, r truncated, r of
// a's sign), that is q * t + trunc(r * t / 200) exactly: a cohort keeps the sum of the q's, and
// the remainders' shares by shape value, which this table gives for every r and shape index.
// A share is at most 14 in size, so a row summing the shares of every cell fits 16 bits.
constexpr auto kRemainderShare = [] {
    std::array<std::array<int16_t, kTWaveShapes>, 399> table{};
    for (int r = -199; r <= 199; ++r)
        for (int k = 0; k < kTWaveShapes; ++k)
            table[r + 199][k] = static_cast<int16_t>(r * kTWave[k] / 200);
    return table;
}();
static_assert(int64_t{kMaxCells} * (199 * 15 / 200) <= std::numeric_limits<int16_t>::max());

// Adds (sign +1) or takes away (-1) a cell's T-wave terms to a cohort.  Every shape value is
// added, also those of ticks past: they are never read again, and adding all of them keeps the
// rows' bound and lets the loop run whole.
template <int kSign>
void AddToCohort(int64_t* quotients, int16_t (*remainders)[kTWaveShapes], const int64_t* term) {
    for (int axis = 0; axis < 3; ++axis) {
        quotients[axis] += kSign * (term[axis] / 200);
        const int16_t* share = kRemainderShare[static_cast<size_t>(term[axis] % 200 + 199)].data();
        int16_t* row = remainders[axis];
        for (int32_t k = 0; k < kTWaveShapes; ++k)
            row[k] = static_cast<int16_t>(kSign > 0 ? row[k] + share[k] : row[k] - share[k]);
    }
}

}  // namespace

void TickCells::JoinCohort(int32_t i, int32_t endTick) {
    const int32_t slot = endTick & (kCohortSlots - 1);
    if (cohortTick[slot] != endTick) {
        std::fill_n(cohortQuotient[slot], 3, int64_t{0});
        std::memset(cohortRemainder[slot], 0, sizeof cohortRemainder[slot]);
        cohortTick[slot] = endTick;
    }
    state[i].cohortEnd = endTick;
    state[i].termsCopied = 0;
    terms[i].joined[0] = terms[i].x;
    terms[i].joined[1] = terms[i].y;
    terms[i].joined[2] = terms[i].z;
    AddToCohort<+1>(cohortQuotient[slot], cohortRemainder[slot], terms[i].joined);
}

void TickCells::LeaveCohort(int32_t i) {
    const int32_t endTick = state[i].cohortEnd;
    const int32_t slot = endTick & (kCohortSlots - 1);
    // A cohort whose window has ended is never read again: it is left as it is.
    if (cohortTick[slot] != endTick || endTick <= now) return;
    AddToCohort<-1>(cohortQuotient[slot], cohortRemainder[slot], terms[i].joined);
}

void TickCells::ListCell(int32_t i) {
    state[i].listedAt = static_cast<int16_t>(listedCount);
    listed[listedCount++] = static_cast<int16_t>(i);
}

void TickCells::UnlistCell(int32_t i) {
    const int16_t at = state[i].listedAt;
    const int16_t last = listed[--listedCount];
    listed[at] = last;
    state[last].listedAt = at;
    state[i].listedAt = -1;
}

void TickCells::CountConducting(int32_t i, int32_t conducting) {
    if (conducting == state[i].ventricularCounted) return;
    const int32_t sign = conducting - state[i].ventricularCounted;
    const uint32_t share = static_cast<uint32_t>(sign) * static_cast<uint32_t>(state[i].absAmplitude);
    state[i].ventricularCounted = static_cast<uint8_t>(conducting);
    ventricularConductingCount += sign;
    ventricularConductingSum = static_cast<int32_t>(static_cast<uint32_t>(ventricularConductingSum) + share);
    for (int32_t k = i + 1; k <= count; k += k & -k) ventricularTree[k] += share;
}

void TickCells::Classify(int32_t i) {
    // The cell's counters stand at this tick (`since` is `now`).
    const int32_t window = state[i].activeWindow, qrs = state[i].qrsPhase;
    const bool large = state[i].tWaveLarge != 0;
    // A cell whose plain T wave is still to come joins its cohort at once: its terms wait in the
    // cohort's rows until the window reaches them, and it needs no visit when its T wave starts
    // or when its window ends.
    SampleClass kind = SampleClass::None;
    if (window > 0) {
        if (InQrs(qrs) || state[i].injured != 0 || (tWaveOn != 0 && window <= kTWaveTicks && large))
            kind = SampleClass::Listed;
        else if (tWaveOn != 0 && !large && window < kCohortSlots)
            kind = SampleClass::PlainT;
    }
    const SampleClass old = state[i].sampleClass;
    // A cell that stays in the same cohort with the same terms keeps its place there (terms copied
    // since it joined may differ: it leaves and joins again, which changes nothing if they do not).
    const bool sameCohort = kind == SampleClass::PlainT && old == SampleClass::PlainT &&
                            state[i].cohortEnd == now + window && state[i].termsCopied == 0;
    if (!sameCohort) {
        if (old == SampleClass::PlainT) LeaveCohort(i);
        if (kind == SampleClass::PlainT) JoinCohort(i, now + window);
    }
    if (old == SampleClass::Listed && kind != SampleClass::Listed) UnlistCell(i);
    if (old != SampleClass::Listed && kind == SampleClass::Listed) ListCell(i);
    state[i].sampleClass = kind;
    // A conducting ventricular cell: its counter does not reach 0 in a quiet step.
    // Its magnitude does not change while the tick holds the cells.
    CountConducting(i, i >= firstVentricular && state[i].conductCounter != 0 ? 1 : 0);

    // The next visit, in ticks from now: the first step that is not quiet, or the first tick at
    // which the cell's part in the sample may change.
    int64_t soonestTicks = kNever;
    const auto soonest = [&](int64_t ticks) { soonestTicks = std::min(soonestTicks, ticks); };
    const int32_t conduct = state[i].conductCounter;
    if (state[i].inert) {
        if ((state[i].activeWindow | conduct) != 0) soonest(1);
    } else {
        if (state[i].trigger != 0 || conduct < 0 || conduct == 1 || conduct == 2) soonest(1);
        if (conduct > 2) soonest(int64_t{conduct} - 1);
        if (state[i].escapeCounter < 2000) soonest(std::max(state[i].escapeCounter, 1));
        if (state[i].arpCounter >= 1) soonest(state[i].arpCounter);
        if (state[i].rrpCounter >= 1) soonest(state[i].rrpCounter);
        // The sample's class changes when the QRS phase enters its range or reaches 0; for a
        // listed cell when its window ends; for a large T wave when it starts; for a window too
        // long for the cohorts when it comes within their reach.
        if (window > 0 && kind == SampleClass::Listed) soonest(window);
        if (window > kTWaveTicks && large) soonest(int64_t{window} - kTWaveTicks);
        if (window >= kCohortSlots && !large) soonest(int64_t{window} - (kCohortSlots - 1));
        if (qrs > 0) soonest(qrs);
        if (qrs > 8) soonest(int64_t{qrs} - 8);
        if (qrs < 0) soonest(-int64_t{qrs});
        if (qrs < -12) soonest(-12 - int64_t{qrs});
    }
    Schedule(i, TickAfter(now, soonestTicks));
}

int32_t TickCells::AtrialWindowSum(int32_t end) const {
    int32_t sum = 0;
    for (int32_t j = 0; j < std::min(end, lastAtrial); ++j)
        sum += ActiveWindowAt(j, now) != 0 ? state[j].absAmplitude : 0;
    return sum;
}

int32_t TickCells::VentricularConductingSum(int32_t end) const {
    uint32_t sum = 0;
    for (int32_t k = std::min(end, count); k > 0; k -= k & -k) sum += ventricularTree[k];
    return static_cast<int32_t>(sum);
}

// Next to the visit's parts and flattened, so that they are compiled into it without calls.
[[gnu::flatten]] CellEvent StepHeldCell(CCoeur& heart, TickCells& c, int32_t i, int32_t t) {
    c.Advance(i, c.now - 1);
    CellEvent event = 0;
    if (!c.StepWithoutRecord(heart.cells[i], i, t, event)) {
        CCell& cell = heart.cells[i];
        c.StoreCell(cell, i);
        event = StepCell(heart, i, t);
        c.LoadCounters(cell, i, c.now);
        // Only a firing changes the cell's dipole, injury offset, T wave or inertness.
        if (event != 0 && event != kEventCounterExpired) c.LoadCopies(cell, i);
    }
    c.Classify(i);
    return event;
}

}  // namespace vantrel
