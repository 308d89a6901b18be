#include "engine/simulation_clock.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>

#include "engine/autonomic_tone.h"
#include "engine/cell_automaton.h"
#include "engine/pacemaker.h"
#include "engine/respiration.h"
#include "engine/rhythm_measurement.h"
#include "engine/stimulator.h"

namespace vantrel {
namespace {

ClockHooks& NoHooks() {
    static ClockHooks none;
    return none;
}

}  // namespace

SimulationClock::SimulationClock(CCoeur& heart, EcgDisplay& display)
    : heart_(heart), display_(display), hooks_(&NoHooks()), tickCells_(std::make_unique<TickCells>()) {}

SimulationClock::~SimulationClock() { Stop(); }

void SimulationClock::SetHooks(ClockHooks* hooks) { hooks_ = hooks ? hooks : &NoHooks(); }

void SimulationClock::SetTickListener(TickListener* listener) { listener_ = listener; }

void SimulationClock::Start(std::chrono::microseconds period) {
    runMode_.store(kRunNotStarted);
    timer_.Start(period, [this] { OnTimer(); });
}

void SimulationClock::Stop() { timer_.Stop(); }

void SimulationClock::ToggleSpeed() {
    const int32_t mode = runMode_.load();
    runMode_.store(mode == kRunPaused   ? kRunNormal
                   : mode == kRunNormal ? kRunSlow
                   : mode == kRunSlow   ? kRunUltraSlow
                                        : kRunNormal);
}

void SimulationClock::OnCellNotice(int32_t noticeTick) {
    // Unsigned difference: the tick count may have wrapped on a very long run.
    const auto lag = static_cast<int32_t>(static_cast<uint32_t>(tickCountSeen_.load()) -
                                          static_cast<uint32_t>(noticeTick));
    if (lag <= 5 || runMode_.load() <= 0) return;
    int32_t skip = skipCount_.load();
    while (skip < kMaxSkipCount && !skipCount_.compare_exchange_weak(skip, skip + 1)) {
    }
}

void SimulationClock::OnTimer() {
    const int32_t mode = runMode_.load();
    if (mode > 1) {
        if (--dividerCount_ != 0) return;
        dividerCount_ = mode;
    }
    // Back-pressure: one unit of skipCount is used up per timer period.  The view raises it from
    // the interface thread, hence the compare-and-swap.
    int32_t skip = skipCount_.load();
    while (skip > 0 && !skipCount_.compare_exchange_weak(skip, skip - 1)) {
    }
    const int32_t skipLeft = skip > 0 ? skip - 1 : 0;
    if (skipLeft != 0 || busy_.exchange(true)) return;

    bool beat = false;
    if (mode > 0) {
        std::lock_guard<std::mutex> guard(heart_.lock);
        // Step-by-step may have paused the clock while this callback waited for the lock: the
        // interface thread is ticking now, not the timer.
        if (runMode_.load() > 0) TickAndSample(true);
        if (--redrawCountdown_ == 0 || mode > 3) {
            heart_.notifier->Post(kMsgRedraw, 0, 0);
            redrawCountdown_ = 20;
            beat = true;
        }
    } else if (--redrawCountdown_ == 0) {
        redrawCountdown_ = 20;
        beat = true;
    }
    if (beat) hooks_->OnRedrawBeat();
    busy_.store(false);
}

void SimulationClock::Step() {
    if (runMode_.load() != 0) runMode_.store(kRunPaused);
    for (int32_t n = 0; n < kStepTickLimit; ++n) {
        EcgSample stored;
        bool fired;
        {
            std::lock_guard<std::mutex> guard(heart_.lock);
            fired = TickAndSample(false, &stored);
        }
        SendKeptNotices();
        hooks_->OnStepSample(stored);
        if (fired) break;
    }
    hooks_->OnStepFinished();
}

void SimulationClock::SendKeptNotices() {
    const int32_t count = keptNoticeCount_;
    keptNoticeCount_ = 0;
    for (int32_t n = 0; n < count; ++n)
        heart_.notifier->Send(kMsgCellChanged, keptNoticeTick_, keptNoticeCells_[n]);
}

void SimulationClock::KeepCellsBetweenTicks(bool keep) {
    keepCells_ = keep;
    if (!keep) ReleaseCells();
}

void SimulationClock::ReleaseCells() { tickCells_->Release(heart_); }

std::array<int32_t, 4> SimulationClock::WatchedCells() const {
    return {heart_.stimCell, heart_.pmAtrialCell, heart_.pmVentricularCell, heart_.pmVentricular2Cell};
}

void SimulationClock::StoreWatchedCells() {
    TickCells& tickCells = *tickCells_;
    for (const int32_t i : WatchedCells()) {
        if (i < 0 || i >= tickCells.count) continue;
        tickCells.Advance(i, tickCells.now);
        tickCells.StoreCell(heart_.cells[i], i);
    }
}

void SimulationClock::LoadWatchedCells() {
    // A stimulus writes the cell's pending excitation and nothing else; the cell steps in full.
    TickCells& tickCells = *tickCells_;
    for (const int32_t i : WatchedCells()) {
        if (i < 0 || i >= tickCells.count || heart_.cells[i].trigger == tickCells.state[i].trigger) continue;
        tickCells.state[i].trigger = heart_.cells[i].trigger;
        tickCells.MarkDue(i);
    }
}

bool SimulationClock::TickAndSample(bool fromTimer, EcgSample* stored) {
    TickRecord record;
    record.fired = Tick(fromTimer);
    record.tickCount = heart_.tickCount;
    record.complexClosed = closedThisTick_;
    record.stimulus = heart_.markerFlag != 0;
    EcgSample sample;
    SynthesiseTickCells(heart_, *tickCells_, sample);
    if (!keepCells_) ReleaseCells();
    sample.bytes[kEcgResp] = static_cast<int8_t>(heart_.respValue & 0xFF);
    sample.bytes[kEcgSampleMarker] = static_cast<int8_t>(heart_.sampleMarker & 0xFF);
    const int32_t slot = display_.writeIndex.load(std::memory_order_relaxed);
    display_.PushSample(sample);
    record.sample = display_.liveRing[slot];
    if (stored) *stored = record.sample;
    if (listener_) listener_->OnTick(heart_, record);
    return record.fired;
}

bool SimulationClock::Tick(bool fromTimer) {
    CCoeur& heart = heart_;
    if (!fromTimer) keptNoticeCount_ = 0;

    // 1. One more tick; wraps instead of overflowing on a run of months.
    heart.tickCount = static_cast<int32_t>(static_cast<uint32_t>(heart.tickCount) + 1u);
    tickCountSeen_.store(heart.tickCount);

    TickCells& tickCells = *tickCells_;
    // The held cells count ticks from their taking everything; long before that count could run
    // out, cells kept between ticks are let go, and the next take takes everything anew.
    if (tickCells.held && tickCells.now >= kRetakeNow) tickCells.Release(heart);
    // Kept between ticks, the held cells are the truth: the records of the cells stimulated or
    // sensed before the cell steps are up to date (they were stored after the last tick's steps)
    // and what the stimulator and the pacemaker write into them is taken back after.
    const bool kept = tickCells.held;

    // 2. The automatic end of a drug: every cell back to its model values, the link gate to 50.
    if (heart.cellResetCountdown > 0 && --heart.cellResetCountdown == 0) {
        tickCells.Release(heart);
        heart.ResetAllCells();
        heart.notifier->Post(kMsgDrugEnded, 0, 1);
    }
    // 3. The automatic end of a sequence: every link back to its model type.
    if (heart.linkResetCountdown > 0 && --heart.linkResetCountdown == 0) {
        heart.RestoreLinks();
        heart.notifier->Post(kMsgSequenceEnded, 0, 1);
    }

    // 4. Tone ramp: when its countdown runs out, one step of the tone toward its target.
    AdvanceToneRamp(heart);

    // 5. The tone of this tick, and the rate counters count the tick.
    int32_t t = heart.tone;
    CountRateTicks(heart);

    // 6. Stimulator program: the programmed stimulation's next command and its stimuli.
    StimulatorTick(heart);

    // 7. Pacemaker timing: escape intervals, atrial and ventricular pacing.
    PacemakerTiming(heart);

    // 8. Respiratory modulation of t (respiratory arrhythmia).
    t = ModulateTone(heart, t);

    // 9. End of complex: PR, QT and RR of the complex that has just ended.
    closedThisTick_ = CloseComplex(heart);

    // The tick takes the cells, as they stand after the last tick.
    if (!tickCells.held) tickCells.Take(heart);

    // 10. Every cell steps in index order.  A cell whose steps are quiet (most cells, most of the
    // time) only counts down and is not visited: the tick visits the cells whose step is not
    // quiet, whose part in the sample changes, or which have been excited.
    ++tickCells.now;
    tickCells.CollectDue();
    if (kept) LoadWatchedCells();
    bool fired = false;
    int32_t leavingCount = 0;  // cells whose impulse leaves them this tick, in index order
    const int32_t count = tickCells.count;
    // The activity sums over the cells up to a firing one, worked out when a measurement asks.
    struct SumsUpTo {
        const TickCells& tickCells;
        int32_t end;
        int32_t Atrial() const { return tickCells.AtrialWindowSum(end); }
        int32_t Ventricular() const { return tickCells.VentricularConductingSum(end); }
    };
    ForEachDue(tickCells.due, count, [&](int32_t i) {
        const CellEvent event = StepHeldCell(heart, tickCells, i, t);
        if (tickCells.state[i].propagating != 0) leavingCells_[leavingCount++] = static_cast<int16_t>(i);
        if (event == 0) return;
        if (fromTimer)
            heart.notifier->Post(kMsgCellChanged, heart.tickCount, i);
        else
            keptNoticeCells_[keptNoticeCount_++] = i;
        if (event == kEventCounterExpired) return;
        // Stimulator bookkeeping of a firing (the capture of a delivered stimulus).
        StimulatorCellFired(heart, i);
        NoteIntervalFiring(heart, i, SumsUpTo{tickCells, i + 1});
        fired = true;
        CountRateFiring(heart, i);
    });
    if (tickCells.ventricularConductingCount > 0) heart.measureCountdown = 6;
    ActivitySums sums;
    sums.ventricular = tickCells.ventricularConductingSum;
    keptNoticeTick_ = heart.tickCount;
    StoreWatchedCells();

    // 11. Pacemaker sensing of this tick's atrial and ventricular activity.
    PacemakerSensing(heart);

    // 12. End-of-repolarisation estimate.
    EstimateEndOfRepolarisation(heart, sums);

    // 13. The sinus, activation and interval clocks advance by 5 ms.
    AdvanceMeasureClocks(heart);

    // 14. Firing cells excite their neighbours over the links.  Only a cell whose impulse leaves
    // it this tick excites anyone: without one the walk over the links would change nothing.
    if (leavingCount > 0) {
        PropagateLinksOf(heart, tickCells, leavingCells_, leavingCount,
                         [&tickCells](int32_t c, int32_t source) { tickCells.Excite(c, source); });
    }
    // The links may have excited a watched cell.
    StoreWatchedCells();

    // 15. Respiration generator: the next respiration value.
    AdvanceRespiration(heart);

    return fired;
}

}  // namespace vantrel
