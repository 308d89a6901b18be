// The simulation clock: drives the heart model in simulated real time, one global tick every
// 5 ms on a timer thread of its own, and runs the same tick synchronously in step-by-step mode.
// It owns the run modes, the timer callback with its speed divider and back-pressure, and the
// order of everything a tick does.  It talks to the view only through the heart's notifier
// (messages 1025, 1033, 1035, 1036, 1037) and the hooks below; it never waits for the view.
//
// Threads: the model lock (`CCoeur::lock`) is held by the clock for one tick plus its sample;
// every other thread that touches the heart record holds it too.  Notifications are posted from
// the timer thread; in step-by-step mode the cell notices are sent after the lock is released,
// so a handler that locks the model to redraw a cell cannot deadlock.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

#include "engine/tick_cells.h"
#include "engine/ecg_display.h"
#include "engine/ecg_synthesis.h"
#include "engine/heart_record.h"
#include "engine/periodic_timer.h"

namespace vantrel {

// Run modes; a value above 1 is also the speed divider.
inline constexpr int32_t kRunNotStarted = -1;
inline constexpr int32_t kRunPaused = 0;
inline constexpr int32_t kRunNormal = 1;
inline constexpr int32_t kRunSlow = 3;
inline constexpr int32_t kRunUltraSlow = 10;

inline constexpr int32_t kStepTickLimit = 2000;  // step-by-step gives up after 10 s of silence
inline constexpr int32_t kMaxSkipCount = 100;

// What the view lets the clock do besides messages.  Default: nothing.
class ClockHooks {
public:
    virtual ~ClockHooks() = default;
    // Each time the redraw countdown reloads (every redraw message while running, every 20 timer
    // periods while not): the 3D picture advances its region countdown.  Runs on the clock's
    // thread without the model lock.
    virtual void OnRedrawBeat() {}
    // Step-by-step, after each tick's sample: the next segment of the vector loop.  Interface
    // thread, without the model lock.
    virtual void OnStepSample(const EcgSample&) {}
    // Step-by-step, once at the end: redraw the ECG strip.
    virtual void OnStepFinished() {}
};

// What one tick produced, as a recording or the headless runner sees it.
struct TickRecord {
    int32_t tickCount = 0;
    bool fired = false;          // some cell fired
    bool stimulus = false;       // a stimulus was delivered (its artefact is in this sample)
    bool complexClosed = false;  // a complex was closed: the heart's PR, QT, RR are its values
    EcgSample sample;            // as the ring stores it
};

// Called after every tick and its sample, on the ticking thread with the model lock held: keep
// it short and never lock the model in it.
class TickListener {
public:
    virtual ~TickListener() = default;
    virtual void OnTick(const CCoeur& heart, const TickRecord& record) = 0;
};

class SimulationClock {
public:
    SimulationClock(CCoeur& heart, EcgDisplay& display);
    ~SimulationClock();
    SimulationClock(const SimulationClock&) = delete;
    SimulationClock& operator=(const SimulationClock&) = delete;

    // Both set before Start (or while the clock is stopped); null restores the default.
    void SetHooks(ClockHooks* hooks);
    void SetTickListener(TickListener* listener);

    // Sets runMode -1 and starts the periodic timer; the timer fires but ticks nothing until the
    // run mode is set above 0.
    void Start(std::chrono::microseconds period = std::chrono::milliseconds(5));
    // Stops the timer and waits for a running callback to finish.
    void Stop();

    // The timer callback: the speed divider, back-pressure, one tick with its sample, the redraw
    // message.  Called by the timer thread; tests call it directly.
    void OnTimer();

    // Step-by-step on the calling (interface) thread: pauses the clock, then ticks until some
    // cell fires, at most 2000 ticks; each tick's cell notices are sent synchronously.  Takes the
    // model lock for each tick: do not call it with the lock held.
    void Step();

    // One global tick with its sample: synthesis, respiration and sample-marker bytes, the push
    // into the ring, the tick listener.  The caller holds the model lock.  fromTimer: cell notices
    // are posted; otherwise they are kept for Step to send once the lock is released.  Returns
    // whether some cell fired.
    bool TickAndSample(bool fromTimer, EcgSample* stored = nullptr);

    // A run that nobody else touches between its ticks (the headless runner, a benchmark) may let
    // the tick keep the cells' counters in its own storage from one tick to the next instead of
    // writing them back into the records after every tick.  While kept, the records' counters are
    // out of date: call ReleaseCells before anything reads or writes a cell record between ticks
    // (the tick listener included).  Turning keeping off releases.  Caller holds the model lock.
    void KeepCellsBetweenTicks(bool keep);
    // Writes the kept counters back into the records; the next tick takes them again.
    void ReleaseCells();

    // Speed toggle: paused resumes at normal speed; normal -> slow -> ultra slow -> normal.
    void ToggleSpeed();
    void SetRunMode(int32_t mode) { runMode_.store(mode); }
    int32_t RunMode() const { return runMode_.load(); }

    // Back-pressure, called by the view as it handles a cell notice (message 1033) whose wParam
    // was `noticeTick`: a notice more than 5 ticks old while running makes the clock drop one
    // more timer period, up to 100.
    void OnCellNotice(int32_t noticeTick);
    int32_t SkipCount() const { return skipCount_.load(); }
    // The heart's tick count after the last tick, readable without the model lock.
    int32_t LastTickCount() const { return tickCountSeen_.load(); }
    int32_t RedrawCountdown() const { return redrawCountdown_; }

private:
    // One global tick, in the order the engine's parts require; the cells stay held after it.
    bool Tick(bool fromTimer);
    void SendKeptNotices();
    // The cells the stimulator and the pacemaker stimulate and sense around the cell steps: their
    // records are kept up to date while the tick holds the cells.
    std::array<int32_t, 4> WatchedCells() const;
    void StoreWatchedCells();
    void LoadWatchedCells();

    CCoeur& heart_;
    EcgDisplay& display_;
    ClockHooks* hooks_;
    TickListener* listener_ = nullptr;

    std::atomic<int32_t> runMode_{kRunNotStarted};
    std::atomic<int32_t> skipCount_{0};
    std::atomic<bool> busy_{false};
    std::atomic<int32_t> tickCountSeen_{0};
    int32_t dividerCount_ = 1;      // timer periods left before the next tick at slow speeds
    int32_t redrawCountdown_ = 100;  // ticks (timer periods while idle) to the next redraw beat
    bool closedThisTick_ = false;

    // The cells' counters while the tick works on them.
    std::unique_ptr<TickCells> tickCells_;
    bool keepCells_ = false;
    // The cells whose impulse leaves them in the current tick, in index order.
    int16_t leavingCells_[kMaxCells] = {};

    // Cell notices of a tick run on the interface thread, sent once the lock is released.
    int32_t keptNoticeTick_ = 0;
    int32_t keptNoticeCount_ = 0;
    int32_t keptNoticeCells_[kMaxCells] = {};

    PeriodicTimer timer_;
};

}  // namespace vantrel
