// The engine's tick against the plain per-cell tick (reference_tick.h), side by side on a few
// hundred randomly generated hearts: every kind of cell (escaping, conducting only, inert, with a
// block window, fatigue, restitution, ischaemia, premature-beat programs), every link type, every
// pacemaker mode, stimulator programs, respiration, and interventions during the run.  After every
// tick the two hearts must agree on every cell and link byte, every counter, every message and
// every sample byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <random>
#include <sstream>
#include <vector>

#include "engine/autonomic_tone.h"
#include "engine/cardioversion.h"
#include "engine/cell_automaton.h"
#include "engine/pacemaker.h"
#include "engine/program_wide.h"
#include "engine/premature_beats.h"
#include "engine/respiration.h"
#include "engine/simulation_clock.h"
#include "engine/stimulator.h"
#include "reference_tick.h"

namespace vantrel {
namespace {

// Every message the engine sends, in order.
class MessageLog : public EngineNotifier {
public:
    void Post(int32_t message, int32_t wParam, int32_t lParam) override {
        log.push_back({message, wParam, lParam});
    }
    void ShowMessage(const std::string&, const std::string&) override {}
    void EndProgram() override {}
    std::vector<std::array<int32_t, 3>> log;
};

// A heart record on zeroed memory, so that the bytes between fields compare equal too.
struct HeartDeleter {
    void operator()(CCoeur* heart) const {
        heart->~CCoeur();
        std::free(heart);
    }
};
using HeartPtr = std::unique_ptr<CCoeur, HeartDeleter>;

HeartPtr ZeroedHeart() {
    void* memory = std::aligned_alloc(alignof(CCoeur), (sizeof(CCoeur) + alignof(CCoeur) - 1) /
                                                           alignof(CCoeur) * alignof(CCoeur));
    std::memset(memory, 0, sizeof(CCoeur));
    return HeartPtr(new (memory) CCoeur);
}

class Generator {
public:
    // longPeriods: some cells' refractory periods run for seconds, so that their windows outlast
    // the T-wave cohorts' reach and their next step lies beyond the schedule's wheel.
    explicit Generator(uint32_t heartNumber, bool longPeriods = false)
        : rng_(heartNumber), longPeriods_(longPeriods) {}
    int32_t In(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(rng_);
    }
    bool Chance(int percent) { return In(0, 99) < percent; }

    void Build(CCoeur& h, int32_t cellCount) {
        h.cellCount = cellCount;
        const int32_t atrial = cellCount / 3, ventricular = cellCount / 2;
        for (int32_t i = 0; i < cellCount; ++i) {
            CCell& c = h.cells[i];
            const char* prefix = i < atrial ? (Chance(80) ? "RA" : "PV") : i < ventricular ? "AVN" : "LV";
            c.SetName((std::string(prefix) + std::to_string(i)).c_str());
            const int32_t kind = In(0, 99);
            if (kind < 15) c.SetEscape(In(300, 1500), In(250, 1200));       // a pacemaker cell
            else if (kind < 20) c.SetEscape(kInertEscape, kInertEscape);     // ablated
            else if (kind < 25) c.SetEscape(In(9000, 12000), In(9000, 12000));  // never escapes
            else c.SetEscape(In(1500, 9000), In(1200, 9000));
            c.escapeCounter = Chance(10) ? In(1990, 4100) : In(-2, 400);
            c.SetArp(In(100, 1200), In(80, 300));
            c.SetRrp(In(0, 200), In(0, 150));
            if (longPeriods_ && Chance(30)) {
                c.SetArp(In(3000, 30000), In(2000, 25000));
                c.SetRrp(In(100, 3000), In(100, 3000));
            }
            c.SetAntCond(In(0, 120), In(0, 100));
            c.SetRetCond(In(0, 150), In(0, 120));
            if (Chance(20)) {
                c.arpSlope = In(0, 30);
                c.arpSmoothed = In(0, 60);
            }
            if (Chance(15)) {
                c.windowB = In(50, 600);
                c.windowH = In(50, 600);
            }
            c.coefCondRrp = Chance(10) ? In(10, 99) : In(100, 10000);
            c.coefArpRrp = In(20, 500);
            c.coefCondIsc = In(20, 500);
            c.coefArpIsc = In(20, 500);
            c.fatigueStep = Chance(15) ? In(5, 70) : 0;
            c.amplitude = In(-120, 120);
            const float rx = float(In(-100, 100)), ry = float(In(-100, 100)), rz = float(In(-100, 100));
            const float norm = std::sqrt(rx * rx + ry * ry + rz * rz);
            if (norm > 0 && std::abs(c.amplitude) > 30) {
                c.radialX = rx / norm;
                c.radialY = ry / norm;
                c.radialZ = rz / norm;
            }
            c.pos3dX = In(-200, 200);
            c.pos3dY = In(-200, 200);
            c.pos3dZ = Chance(5) ? 0 : In(-200, 200);
            c.flux = Chance(30) ? In(5, 95) : 100;
            c.ischemiaLoad = Chance(20) ? In(0, 10000) : 0;
            c.stOffset = Chance(10) ? In(-50, 50) : 0;
            c.tWave = Chance(30) ? In(-60, 60) : 0;
            for (int8_t& q : c.qrsShape) q = static_cast<int8_t>(In(-60, 60));
            c.isochroneRef = i == 0;
            c.StoreAsModel();
            if (Chance(8)) {
                const CouplingPair first{Chance(30) ? 1 : In(200, 500), In(250, 600)};
                const CouplingPair next{In(0, 1) ? 1 : In(250, 500), In(300, 700)};
                Program(h, i, first, next, In(0, 6), Chance(40) ? In(1, 3) : 0);
            }
        }
        h.lastAtrialIndex = atrial > 0 ? atrial - 1 : 0;
        h.firstVentricularIndex = ventricular;
        const int32_t linkCount = std::min<int32_t>(kMaxLinks, cellCount * In(1, 2) + In(0, 3));
        for (int32_t k = 0; k < linkCount && cellCount > 1; ++k) {
            CellLink& l = h.links[h.linkCount++];
            const int32_t a = k < cellCount - 1 && Chance(70) ? k : In(0, cellCount - 1);
            l.cellA = a;
            l.cellB = Chance(70) && a + 1 < cellCount ? a + 1 : In(0, cellCount - 1);
            l.linkType = l.modelLinkType = static_cast<LinkType>(Chance(60) ? 0 : In(0, 3));
            l.robustA = Chance(80) ? 80 : In(0, 100);
            l.robustR = Chance(80) ? 70 : In(0, 100);
            l.orientationFree = Chance(20) && l.linkType == LinkType::Bidir;
        }
        h.tone = h.modelTone = h.toneTarget = In(0, 1000);
        h.respOn = Chance(40);
        h.respSegment = In(10, 80);
        h.ischemiaOn = Chance(40);
        h.robustnessLevel = Chance(70) ? 50 : In(0, 100);
        h.pictureMode = Chance(20) ? 3 : 0;
        h.tWaveOn = Chance(90);
        for (int32_t& ic : h.icCell) ic = Chance(20) ? -1 : In(0, cellCount - 1);
        for (auto& lead : h.precordial) {
            const int32_t terms = Chance(30) ? 0 : In(1, 10);
            for (int32_t e = 0; e < kPrecordialTerms; ++e) {
                lead[e][0] = e < terms ? (Chance(30) ? kStandardVectorTerm : In(0, cellCount - 1)) : -1;
                lead[e][1] = In(-300, 1000);
            }
        }
        h.rateCellIndex = In(0, cellCount - 1);
        h.sinusClockCell = In(-1, cellCount - 1);
        h.recordIntervals = Chance(50);
        if (Chance(50)) {
            h.pmAtrialCell = In(0, cellCount - 1);
            h.pmVentricularCell = In(0, cellCount - 1);
            h.pmVentricular2Cell = In(0, cellCount - 1);
            SetupPacemaker(h, In(0, kPacemakerModeCount - 1), In(0, 400), In(0, 400), In(5, 1000),
                           In(-100, 100), In(30, 200), In(30, 300));
        }
        if (Chance(30)) StartRandomStimulator(h);
    }

    void StartRandomStimulator(CCoeur& h) {
        std::ostringstream program;
        const int32_t pairs = In(1, 5);
        for (int32_t p = 0; p < pairs; ++p) program << In(150, 900) << "," << In(0, 3) << ",";
        StartStimulator(h, In(0, 3), Chance(50), In(200, 1000), program.str());
    }

    // An intervention the user or a script could make between two ticks, chosen by `roll`.
    void Intervene(CCoeur& h, int32_t roll) {
        const int32_t count = h.cellCount;
        CCell& c = h.cells[In(0, count - 1)];
        switch (roll) {
            case 0: h.SetTone(In(0, 1000), true); break;
            case 1: RampTone(h, In(0, 1000)); break;
            case 2: h.cellResetCountdown = In(1, 50); break;
            case 3: h.linkResetCountdown = In(1, 50); break;
            case 4: Shock(h); break;
            case 5: Stimulate(c, Chance(50)); break;
            case 6: c.SetEscape(In(300, 3000), In(300, 3000)); break;
            case 7: c.escapeCounter = In(-1, 50); break;
            case 8: c.SetEscape(kInertEscape, kInertEscape); break;
            case 9: h.links[In(0, std::max(0, h.linkCount - 1))].linkType = static_cast<LinkType>(In(0, 3)); break;
            case 10: PressPrematureBeat(h, static_cast<PrematureBeatCommand>(In(0, 7))); break;
            case 11: h.robustnessLevel = In(0, 100); break;
            case 12: c.trigger = In(1, count); break;
            case 13: StartRandomStimulator(h); break;
            case 14: RemodelAtria(h); break;
            case 15: c.ResetToModel(); break;
            case 16: EditCell(c); break;
            default: break;
        }
    }

    // A cell dialog's change of what the cell's wave and refractory periods are made of.
    void EditCell(CCell& c) {
        c.amplitude = In(-120, 120);
        c.dipoleX = In(-100, 100);
        c.dipoleY = In(-100, 100);
        c.dipoleZ = In(-100, 100);
        for (int8_t& q : c.qrsShape) q = static_cast<int8_t>(In(-60, 60));
        if (Chance(50)) c.stOffset = In(-50, 50);
        if (Chance(50)) c.tSmoothed = In(-60, 60);
        if (Chance(50)) c.SetRrp(In(0, 200), In(0, 150));
        if (Chance(50)) c.windowB = Chance(50) ? 0 : In(50, 600);
    }

private:
    std::mt19937 rng_;
    bool longPeriods_;
};

// The engine fields of the record outside the cells and links.
#define VANTREL_COMPARE_FIELDS(X)                                                                 \
    X(tone) X(toneRampCountdown) X(toneTarget) X(tickCount) X(cellResetCountdown)                 \
    X(linkResetCountdown) X(robustnessLevel) X(markerFlag) X(activationClock) X(shockArtifact)    \
    X(respTick) X(respIndex) X(respValue) X(pmAtrialEscape) X(pmVentricularEscape)                \
    X(pmV2Countdown) X(pmAtrialCount) X(pmAtrialSensed) X(pmVentricularSensed) X(pmAvHysteresis)  \
    X(pmIrregularity) X(pmPrevAtrialCount) X(pmPrevAtrialDiff) X(stimActive) X(stimCountdown)     \
    X(stimPos) X(stimWait) X(stimRestartPending) X(rateCount) X(rateSum) X(rateTicks)             \
    X(cell5Count) X(cell5Sum) X(cell5Ticks) X(prStart) X(qrsStart) X(tEnd) X(tEndCandidate)       \
    X(prInterval) X(qtInterval) X(rrInterval) X(measureCountdown) X(intervalClock) X(sinusClock)  \
    X(intervalIndex) X(diastolicPercent)

// withCells: the cell records and their local signals too (out of date while the tick keeps the
// cells in its own storage).
std::string Difference(const CCoeur& a, const CCoeur& b, bool withCells = true) {
    std::ostringstream out;
#define VANTREL_COMPARE_ONE(field) \
    if (a.field != b.field) out << #field << " " << a.field << " != " << b.field << "; ";
    VANTREL_COMPARE_FIELDS(VANTREL_COMPARE_ONE)
#undef VANTREL_COMPARE_ONE
    for (int32_t i = 0; withCells && i < a.cellCount; ++i)
        if (std::memcmp(&a.cells[i], &b.cells[i], sizeof(CCell)) != 0) out << "cell " << i << "; ";
    if (std::memcmp(a.links, b.links, sizeof(CellLink) * a.linkCount) != 0) out << "links; ";
    if (withCells && std::memcmp(a.cellZ, b.cellZ, sizeof(int32_t) * a.cellCount) != 0) out << "cellZ; ";
    if (std::memcmp(a.intervalTable, b.intervalTable, sizeof a.intervalTable) != 0) out << "intervals; ";
    return out.str();
}

struct Pair {
    HeartPtr plain = ZeroedHeart(), engine = ZeroedHeart();
    MessageLog plainLog, engineLog;
    std::unique_ptr<EcgDisplay> plainDisplay = std::make_unique<EcgDisplay>();
    std::unique_ptr<EcgDisplay> engineDisplay = std::make_unique<EcgDisplay>();
};

class Recorder : public TickListener {
public:
    void OnTick(const CCoeur&, const TickRecord& r) override { last = r; }
    TickRecord last;
};

// One tick of each side: the plain tick's record is returned, the engine's is in `recorder`.
// The respiration segment is program-wide: each side keeps its own between its ticks.
struct Respirations {
    RespirationSegment plain, engine;
};
TickRecord TickBothSides(Pair& p, SimulationClock& clock, Respirations& respirations) {
    Program().respiration = respirations.plain;
    const TickRecord expected = testing::ReferenceTickAndSample(*p.plain, *p.plainDisplay);
    respirations.plain = Program().respiration;
    Program().respiration = respirations.engine;
    clock.TickAndSample(true);
    respirations.engine = Program().respiration;
    return expected;
}

// Runs one generated heart both ways for `ticks` ticks; the first difference fails the test.
// keep: the engine keeps the cells in its own storage between ticks, as the headless runner's fast run
// does, and writes them back before each intervention and every few ticks for the comparison.
void RunSideBySide(uint32_t heartNumber, int32_t cellCount, int32_t ticks, bool keep,
                   bool longPeriods = false) {
    Pair p;
    Generator(heartNumber, longPeriods).Build(*p.plain, cellCount);
    Generator(heartNumber, longPeriods).Build(*p.engine, cellCount);
    p.plain->notifier = &p.plainLog;
    p.engine->notifier = &p.engineLog;
    ASSERT_EQ(Difference(*p.plain, *p.engine), "") << "the generator is not deterministic";
    SimulationClock clock(*p.engine, *p.engineDisplay);
    Recorder recorder;
    clock.SetTickListener(&recorder);
    clock.KeepCellsBetweenTicks(keep);
    Generator events(heartNumber ^ 0x9E3779B9u);
    Respirations respirations;
    for (int32_t tick = 0; tick < ticks; ++tick) {
        if (events.Chance(2)) {
            const int32_t roll = events.In(0, 17);
            Generator plainSide(heartNumber + tick), engineSide(heartNumber + tick);
            clock.ReleaseCells();
            if (roll == 17) {
                // The model loaded again after one link's end was edited in its file: as many
                // cells and links as before, one link joining other cells.
                const int32_t link = events.In(0, std::max(0, p.plain->linkCount - 1));
                const int32_t end = events.In(0, cellCount - 1);
                for (CCoeur* h : {p.plain.get(), p.engine.get()}) {
                    h->Clear();
                    Generator(heartNumber, longPeriods).Build(*h, cellCount);
                    h->links[link].cellB = end;
                }
            } else {
                plainSide.Intervene(*p.plain, roll);
                engineSide.Intervene(*p.engine, roll);
            }
        }
        const TickRecord expected = TickBothSides(p, clock, respirations);
        const TickRecord& got = recorder.last;
        ASSERT_EQ(got.fired, expected.fired) << "tick " << tick;
        ASSERT_EQ(got.stimulus, expected.stimulus) << "tick " << tick;
        ASSERT_EQ(got.complexClosed, expected.complexClosed) << "tick " << tick;
        ASSERT_EQ(std::memcmp(got.sample.bytes, expected.sample.bytes, kEcgSampleBytes), 0)
            << "sample of tick " << tick;
        const bool withCells = !keep || tick % 10 == 9 || tick + 1 == ticks;
        if (withCells) clock.ReleaseCells();
        ASSERT_EQ(Difference(*p.plain, *p.engine, withCells), "") << "tick " << tick;
        ASSERT_EQ(p.plainLog.log, p.engineLog.log) << "messages of tick " << tick;
        p.plainLog.log.clear();
        p.engineLog.log.clear();
    }
}

// Three hundred generated hearts, every fiftieth with the full thousand cells.
void RunGeneratedHearts(bool keep) {
    for (uint32_t heartNumber = 1; heartNumber <= 300; ++heartNumber) {
        SCOPED_TRACE(heartNumber);
        const int32_t cells = heartNumber % 50 == 0 ? kMaxCells : 1 + static_cast<int32_t>(heartNumber * 37 % 160);
        RunSideBySide(heartNumber, cells, heartNumber % 50 == 0 ? 600 : 1500, keep);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(TickSideBySide, RandomHeartsGiveIdenticalResults) { RunGeneratedHearts(false); }

TEST(TickSideBySide, RandomHeartsGiveIdenticalResultsWithTheCellsKeptBetweenTicks) {
    RunGeneratedHearts(true);
}

// Refractory periods of seconds: windows longer than the T-wave cohorts reach and next steps
// further ahead than the schedule's wheel, over more ticks than the wheel holds.
TEST(TickSideBySide, CellsWithRefractoryPeriodsOfSecondsGiveIdenticalResults) {
    for (uint32_t heartNumber = 1; heartNumber <= 12; ++heartNumber) {
        SCOPED_TRACE(heartNumber);
        for (const bool keep : {false, true}) {
            RunSideBySide(heartNumber, 20 + static_cast<int32_t>(heartNumber * 5), 9000, keep, true);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

// One lone cell that fires once by its own escape and stays refractory for 10 s: nothing visits
// it between its firing and the end of its window, so its T wave, 10 s later, comes from the
// cohort it joins once the window is within the cohorts' reach.
TEST(TickSideBySide, ALoneCellsLateTWaveAppearsWhenNothingVisitsIt) {
    Pair p;
    for (CCoeur* heart : {p.plain.get(), p.engine.get()}) {
        heart->cellCount = 1;
        CCell& cell = heart->cells[0];
        cell.SetName("LV1");
        cell.SetEscape(40000, 40000);
        cell.escapeCounter = 3;
        cell.SetArp(10000, 10000);
        cell.SetRrp(50, 50);
        cell.amplitude = 4000;
        cell.radialX = 0.6f;
        cell.radialY = 0.8f;
        cell.StoreAsModel();
        for (auto& lead : heart->precordial) lead[0][0] = -1;
        heart->notifier = heart == p.plain.get() ? static_cast<EngineNotifier*>(&p.plainLog)
                                                 : static_cast<EngineNotifier*>(&p.engineLog);
    }
    SimulationClock clock(*p.engine, *p.engineDisplay);
    Recorder recorder;
    clock.SetTickListener(&recorder);
    clock.KeepCellsBetweenTicks(true);
    int32_t tWaveTicks = 0;
    Respirations respirations;
    for (int32_t tick = 0; tick < 2300; ++tick) {
        const TickRecord expected = TickBothSides(p, clock, respirations);
        ASSERT_EQ(std::memcmp(recorder.last.sample.bytes, expected.sample.bytes, kEcgSampleBytes), 0)
            << "sample of tick " << tick;
        tWaveTicks += tick > 100 && expected.sample.bytes[kEcgX] != 0;
    }
    clock.ReleaseCells();
    EXPECT_EQ(Difference(*p.plain, *p.engine), "");
    EXPECT_GT(tWaveTicks, 20) << "the fixture must show a T wave";
}

}  // namespace
}  // namespace vantrel
