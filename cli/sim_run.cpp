#include "cli/sim_run.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "engine/ecg_display.h"
#include "recording/ecg_recording.h"
#include "recording/pending_file.h"
#include "engine/rhythm_measurement.h"
#include "engine/simulation_clock.h"
#include "model/windows1252.h"

namespace vantrel {
namespace {

constexpr int32_t kRateSampleTicks = 1000;  // 5 s, as the redraw handler samples the rate

// The view's messages have no one to go to in a headless run; message boxes still reach the
// notifier the runner found in place (stderr).
class HeadlessNotifier : public EngineNotifier {
public:
    explicit HeadlessNotifier(EngineNotifier* messages) : messages_(messages) {}
    void Post(int32_t, int32_t, int32_t) override {}
    void Send(int32_t, int32_t, int32_t) override {}
    void ShowMessage(const std::string& title, const std::string& text) override {
        messages_->ShowMessage(title, text);
    }
    void EndProgram() override { messages_->EndProgram(); }

private:
    EngineNotifier* messages_;
};

// Puts the previous notifier back however the run ends.
class NotifierSwap {
public:
    NotifierSwap(CCoeur& heart, EngineNotifier* replacement)
        : heart_(heart), previous_(heart.notifier) {
        heart_.notifier = replacement;
    }
    ~NotifierSwap() { heart_.notifier = previous_; }

private:
    CCoeur& heart_;
    EngineNotifier* previous_;
};

// Everything that happens after a tick: the recording, the beats, the rate samples, the end of
// the run.  Runs with the model lock held, on whichever thread ticks.
class RunObserver : public TickListener {
public:
    RunObserver(CCoeur& heart, const SimRunOptions& options, int64_t targetTicks, SimSummary& summary)
        : heart_(heart), options_(options), target_(targetTicks), summary_(summary) {}

    bool OpenFiles(const std::string& modelName, std::string& error) {
        if (!options_.ecgPath.empty()) {
            ecg_ = OpenEcgRecording(options_.ecgPath, modelName, error);
            if (!ecg_) return false;
        }
        if (!options_.beatsPath.empty()) {
            beats_ = PendingTextFile::Create(options_.beatsPath, error);
            if (!beats_) return false;
            beats_->Write(kBeatsCsvHeader);
        }
        if (!options_.eventsPath.empty()) {
            events_ = PendingTextFile::Create(options_.eventsPath, error);
            if (!events_) return false;
            events_->Write(kEventsCsvHeader);
        }
        if (options_.actions) actionsSeen_ = options_.actions->appended;
        return true;
    }

    // Every output is completed, or none: after the first failure the others are abandoned.
    bool FinishFiles(std::string& error) {
        if (ecg_ && !ecg_->Finish(error)) return false;
        if (beats_ && !beats_->Finish(error)) return false;
        if (events_ && !events_->Finish(error)) return false;
        return true;
    }

    // The actions appended since the last call act from the sample `ticks_` on.
    void TakeNewActions() {
        const ActionLog* log = options_.actions;
        if (!log || log->appended == actionsSeen_) return;
        // A burst longer than the ring has lost its oldest entries: take what is held.
        int64_t from = std::max(actionsSeen_, log->appended - kActionLogSize);
        for (; from < log->appended; ++from) {
            const char* text = log->entries[from % kActionLogSize].text;
            if (ecg_) ecg_->AddAction(text);
            if (events_) {
                line_ = std::to_string(ticks_ * 5) + ',' + CsvField(text) + '\n';
                events_->Write(line_);
            }
        }
        actionsSeen_ = log->appended;
    }

    // Applies the actions due before the first tick.
    void BeforeFirstTick() {
        if (options_.betweenTicks) options_.betweenTicks(heart_);
        TakeNewActions();
    }

    // Between ticks, before the records of the cells are read or written: a clock that keeps the
    // cells between ticks writes them back.
    void ReleaseCells() {
        if (keepingClock_) keepingClock_->ReleaseCells();
    }

    void BetweenTicks() {
        if (!options_.betweenTicks) return;
        if (options_.betweenTicksDue && !options_.betweenTicksDue(heart_)) return;
        ReleaseCells();
        options_.betweenTicks(heart_);
    }

    bool Stopped() const { return stopped_; }

    void OnTick(const CCoeur&, const TickRecord& record) override {
        const int64_t index = ticks_++;  // this tick's sample lies index * 5 ms into the run
        const int32_t onsetAgo = record.complexClosed ? heart_.qrsOnsetAgo : -1;
        if (record.complexClosed) {
            ++summary_.complexes;
            if (beats_) {
                const int64_t onset = onsetAgo >= 0 ? index * 5 - onsetAgo : -1;
                line_ = std::to_string(index * 5) + ',' + std::to_string(heart_.rrInterval) + ',' +
                        std::to_string(heart_.prInterval) + ',' + std::to_string(heart_.qtInterval) +
                        ',' + std::to_string(onset) + '\n';
                beats_->Write(line_);
            }
        }
        if (ecg_) {
            RecordingTick tick;
            tick.tick = record.tickCount;
            tick.sample = record.sample;
            tick.stimulus = record.stimulus;
            tick.complexClosed = record.complexClosed;
            tick.rr = heart_.rrInterval;
            tick.pr = heart_.prInterval;
            tick.qt = heart_.qtInterval;
            tick.qrsOnsetAgo = onsetAgo >= 0 ? onsetAgo / 5 : -1;
            ecg_->Add(tick);
        }
        if (ticks_ % kRateSampleTicks == 0) {
            ReleaseCells();
            summary_.heartRate = RateCellHeartRate(heart_);
            summary_.cell5Rate = Cell5HeartRate(heart_);
            summary_.heartRates.push_back(summary_.heartRate);
            if (options_.atRateSample) options_.atRateSample(heart_);
        }
        if (options_.stop && options_.stop->load(std::memory_order_relaxed)) stopped_ = true;
        if (ticks_ >= target_ || stopped_) {
            if (clock_) clock_->SetRunMode(kRunPaused);
            std::lock_guard<std::mutex> guard(doneMutex_);
            done_ = true;
            doneSignal_.notify_all();
        } else {
            BetweenTicks();
            TakeNewActions();
        }
    }

    // Real time: the clock ticks on its thread until the target is reached.
    void RunOnClock(EcgDisplay& display) {
        SimulationClock clock(heart_, display);
        clock_ = &clock;
        clock.SetTickListener(this);
        clock.Start();
        clock.SetRunMode(kRunNormal);
        {
            std::unique_lock<std::mutex> wait(doneMutex_);
            doneSignal_.wait(wait, [this] { return done_; });
        }
        clock.Stop();
        clock_ = nullptr;
    }

    // As fast as possible, on this thread, through the same tick and sample as the clock's.
    void RunFast(EcgDisplay& display) {
        SimulationClock clock(heart_, display);
        clock.SetTickListener(this);
        std::lock_guard<std::mutex> guard(heart_.lock);
        // Nobody else touches the heart during this run: the tick keeps the cells' counters in
        // its own storage, and this observer writes them back before it reads or changes a cell.
        keepingClock_ = &clock;
        clock.KeepCellsBetweenTicks(true);
        while (ticks_ < target_ && !stopped_) clock.TickAndSample(true);
        clock.KeepCellsBetweenTicks(false);
        keepingClock_ = nullptr;
    }

    int64_t Ticks() const { return ticks_; }

private:
    CCoeur& heart_;
    const SimRunOptions& options_;
    const int64_t target_;
    SimSummary& summary_;
    int64_t ticks_ = 0;
    std::unique_ptr<EcgRecording> ecg_;
    std::unique_ptr<PendingTextFile> beats_;
    std::unique_ptr<PendingTextFile> events_;
    int64_t actionsSeen_ = 0;
    bool stopped_ = false;
    std::string line_;
    SimulationClock* clock_ = nullptr;
    SimulationClock* keepingClock_ = nullptr;  // the clock of a fast run, which keeps the cells
    std::mutex doneMutex_;
    std::condition_variable doneSignal_;
    bool done_ = false;
};

}  // namespace

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

void AddSimRunOptions(CLI::App& app, SimRunOptions& options) {
    app.add_option("--seconds", options.seconds, "Simulated seconds to run (default 10)")
        ->check([](const std::string& text) {
            return text.empty() ? std::string("a number of seconds is needed") : std::string();
        });
    app.add_option("--tone", options.tone, "Sympatho-vagal balance 0..1000 to set before the run");
    app.add_flag("--realtime", options.realtime, "Run through the real 5 ms clock");
    app.add_option("--ecg", options.ecgPath,
                   "Record every sample: FILE.csv (one line per sample: the tick, the 17 leads, "
                   "I.C.1..4 and the marker, in units of 12.5 microvolts, 200 samples per "
                   "second, tick 1 = time 0) or FILE.edf (EDF+ in millivolts, with stimuli, "
                   "complexes and actions as annotations)");
    app.add_option("--beats", options.beatsPath,
                   "Write one CSV line per closed complex: timeMs,rrMs,prMs,qtMs,onsetMs (timeMs "
                   "when it closed, onsetMs its QRS onset, -1 if none; ms from the start)");
    app.add_option("--events", options.eventsPath,
                   "Write one CSV line per action of the run: timeMs,text (ms from the start, "
                   "the action in words, e.g. \"Drug: Adenosine\")");
    app.add_flag("--json", options.json, "Print a summary object as JSON on stdout");
}

bool CheckSimRunOptions(const SimRunOptions& options, std::string& error) {
    if (!std::isfinite(options.seconds) || options.seconds < 0) {
        error = "--seconds must be a duration of 0 or more seconds";
        return false;
    }
    if (options.seconds > kMaxSimSeconds) {
        error = "--seconds must be at most " + std::to_string(static_cast<int64_t>(kMaxSimSeconds));
        return false;
    }
    if (options.tone && (*options.tone < 0 || *options.tone > 1000)) {
        error = "--tone must lie between 0 and 1000";
        return false;
    }
    const std::pair<const char*, const std::string*> outputs[] = {
        {"--ecg", &options.ecgPath}, {"--beats", &options.beatsPath}, {"--events", &options.eventsPath}};
    for (size_t a = 0; a < std::size(outputs); ++a) {
        if (outputs[a].second->empty()) continue;
        for (size_t b = a + 1; b < std::size(outputs); ++b)
            if (!outputs[b].second->empty() &&
                SameOutputFile(*outputs[a].second, *outputs[b].second)) {
                error = std::string(outputs[a].first) + " and " + outputs[b].first +
                        " must name different files";
                return false;
            }
        if (!CheckOutputPath(*outputs[a].second, error)) return false;
    }
    return true;
}

bool RunSimulation(CCoeur& heart, const std::string& modelName, const SimRunOptions& options,
                   SimSummary& summary, std::string& error) {
    if (!CheckSimRunOptions(options, error)) return false;
    summary = SimSummary{};
    summary.model = modelName;
    const auto targetTicks = static_cast<int64_t>(std::llround(options.seconds * kSamplesPerSecond));
    auto display = std::make_unique<EcgDisplay>();
    RunObserver observer(heart, options, targetTicks, summary);
    if (!observer.OpenFiles(modelName, error)) return false;

    HeadlessNotifier headless(heart.notifier);
    NotifierSwap swap(heart, &headless);
    {
        std::lock_guard<std::mutex> guard(heart.lock);
        summary.cellCount = heart.cellCount;
        summary.linkCount = heart.linkCount;
        if (options.tone) {
            heart.SetTone(*options.tone, false);
            if (options.actions)
                options.actions->Append(heart.tickCount, "Tone " + std::to_string(*options.tone));
        }
        observer.BeforeFirstTick();
    }
    const auto start = std::chrono::steady_clock::now();
    if (targetTicks > 0) {
        if (options.realtime)
            observer.RunOnClock(*display);
        else
            observer.RunFast(*display);
    }
    summary.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::lock_guard<std::mutex> guard(heart.lock);
    summary.ticks = observer.Ticks();
    summary.simulatedSeconds = static_cast<double>(summary.ticks) / kSamplesPerSecond;
    summary.realtimeFactor =
        summary.wallSeconds > 0 ? summary.simulatedSeconds / summary.wallSeconds : 0;
    if (summary.heartRates.empty()) {
        // A run shorter than one rate sample: ask once at its end.
        summary.heartRate = RateCellHeartRate(heart);
        summary.cell5Rate = Cell5HeartRate(heart);
    }
    summary.prInterval = heart.prInterval;
    summary.qtInterval = heart.qtInterval;
    summary.rrInterval = heart.rrInterval;
    if (observer.Stopped()) {
        error = "stopped before the end: no output file written";
        return false;  // the observer's files are abandoned with it
    }
    return observer.FinishFiles(error);
}

std::string SummaryJson(const SimSummary& s) {
    const nlohmann::ordered_json json = {
        {"model", Windows1252ToUtf8(s.model)},
        {"cellCount", s.cellCount},
        {"linkCount", s.linkCount},
        {"ticks", s.ticks},
        {"simulatedSeconds", s.simulatedSeconds},
        {"wallSeconds", s.wallSeconds},
        {"realtimeFactor", s.realtimeFactor},
        {"heartRate", s.heartRate},
        {"cell5Rate", s.cell5Rate},
        {"prInterval", s.prInterval},
        {"qtInterval", s.qtInterval},
        {"rrInterval", s.rrInterval},
        {"complexes", s.complexes},
        {"heartRates", s.heartRates},
    };
    return json.dump(2) + "\n";
}

std::string SummaryText(const SimSummary& s) {
    char line[256];
    std::string text = s.model + ": " + std::to_string(s.cellCount) + " cells, " +
                       std::to_string(s.linkCount) + " links\n";
    std::snprintf(line, sizeof line, "%lld ticks (%.1f s simulated) in %.3f s: %.0f x real time\n",
                  static_cast<long long>(s.ticks), s.simulatedSeconds, s.wallSeconds,
                  s.realtimeFactor);
    text += line;
    std::snprintf(line, sizeof line,
                  "heart rate %d bpm (cell 5: %d bpm), PR %d ms, QT %d ms, RR %d ms, %lld complexes\n",
                  s.heartRate, s.cell5Rate, s.prInterval, s.qtInterval, s.rrInterval,
                  static_cast<long long>(s.complexes));
    text += line;
    return text;
}

}  // namespace vantrel
