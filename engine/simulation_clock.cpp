#include "engine/simulation_clock.h"

#include <algorithm>
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
    : heart_(heart), display_(display), hooks_(&NoHooks()), columns_(std::make_unique<CellColumns>()) {}

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

void SimulationClock::ReleaseCells() { columns_->Release(heart_); }

void SimulationClock::StoreWatchedCells() {
    const int32_t count = columns_->count;
    for (const int32_t i : {heart_.stimCell, heart_.pmAtrialCell, heart_.pmVentricularCell,
                            heart_.pmVentricular2Cell})
        if (i >= 0 && i < count) columns_->StoreCell(heart_.cells[i], i);
}

void SimulationClock::LoadWatchedCells() {
    const int32_t count = columns_->count;
    for (const int32_t i : {heart_.stimCell, heart_.pmAtrialCell, heart_.pmVentricularCell,
                            heart_.pmVentricular2Cell})
        if (i >= 0 && i < count) columns_->LoadCell(heart_.cells[i], i);
}

bool SimulationClock::TickAndSample(bool fromTimer, EcgSample* stored) {
    TickRecord record;
    record.fired = Tick(fromTimer);
    record.tickCount = heart_.tickCount;
    record.complexClosed = closedThisTick_;
    record.stimulus = heart_.markerFlag != 0;
    EcgSample sample;
    SynthesiseColumns(heart_, *columns_, sample);
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

    CellColumns& columns = *columns_;
    // Kept between ticks, the columns hold the truth: the records of the cells stimulated or
    // sensed before the cell steps are brought up to date (their counters were stored after the
    // last tick's steps) and taken back after.
    const bool kept = columns.held;

    // 2. The automatic end of a drug: every cell back to its model values, the link gate to 50.
    if (heart.cellResetCountdown > 0 && --heart.cellResetCountdown == 0) {
        columns.Release(heart);
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

    // The cells go into the columns (or, kept, the stimulated ones go back).
    if (!columns.held)
        columns.Take(heart);
    else if (kept)
        LoadWatchedCells();

    // 10. Every cell steps in index order.  A quiet cell (most cells, most of the time) only
    // counts down and reads no other cell: all of them step at once in the columns first, then
    // every other cell takes its full step in index order.
    StepQuietCells(columns);
    bool fired = false;
    bool propagating = false;  // some impulse leaves its cell this tick
    const int32_t count = columns.count;
    // The activity sums over the cells up to a firing cell, after their step of this tick.
    ActivitySums sums;
    int32_t summedTo = 0;  // cells below this index are in `sums`
    bool ventricleConducting = false;
    const int32_t lastAtrial = heart.lastAtrialIndex;
    const int32_t firstVentricular = heart.firstVentricularIndex;
    const auto sumUpTo = [&](int32_t end) {
        for (int32_t j = summedTo; j < end; ++j) {
            const int32_t magnitude = columns.absAmplitude[j];
            sums.atrial += j < lastAtrial && columns.activeWindow[j] != 0 ? magnitude : 0;
            const bool conducting = j >= firstVentricular && columns.conductCounter[j] != 0;
            sums.ventricular += conducting ? magnitude : 0;
            ventricleConducting |= conducting;
        }
        summedTo = std::max(summedTo, end);
    };
    ForEachMarked(columns.needsFullStep, count, [&](int32_t i) {
        const CellEvent event = StepCellOnRecord(heart, columns, i, t);
        propagating |= columns.propagating[i] != 0;
        if (event == 0) return;
        if (fromTimer)
            heart.notifier->Post(kMsgCellChanged, heart.tickCount, i);
        else
            keptNoticeCells_[keptNoticeCount_++] = i;
        if (event == kEventCounterExpired) return;
        // Stimulator bookkeeping of a firing (the capture of a delivered stimulus).
        StimulatorCellFired(heart, i);
        sumUpTo(i + 1);
        NoteIntervalFiring(heart, i, sums);
        fired = true;
        CountRateFiring(heart, i);
    });
    sumUpTo(count);
    if (ventricleConducting) heart.measureCountdown = 6;
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
    if (propagating) {
        // Only a cell that has just stepped in full can leave an impulse.
        uint8_t leaving[kMaxCells];
        for (int32_t i = 0; i < count; ++i) leaving[i] = columns.propagating[i] != 0;
        PropagateLinks(heart, leaving, [&columns](int32_t c) -> int32_t& { return columns.trigger[c]; });
    }
    // The links may have excited a watched cell.
    StoreWatchedCells();

    // 15. Respiration generator: the next respiration value.
    AdvanceRespiration(heart);

    return fired;
}

}  // namespace vantrel
