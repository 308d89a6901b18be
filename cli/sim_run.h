// The run of `vantrel-sim`: a loaded model ticked for a number of simulated seconds, as fast as
// the machine allows or through the real 5 ms clock, with the heart rate sampled every 1000
// ticks as the desktop's redraw handler samples it, and the ECG, the beats and a summary written
// out.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/action_log.h"
#include "engine/heart_record.h"

namespace CLI {
class App;
}

namespace vantrel {

inline constexpr double kMaxSimSeconds = 1'000'000;  // about eleven days of simulated time

struct SimRunOptions {
    double seconds = 10;
    std::optional<int32_t> tone;  // set before the run, as the tone scroll bar sets it
    bool realtime = false;        // through the real 5 ms clock instead of as fast as possible
    std::string ecgPath;          // ECG recording, .csv or .edf; empty = none
    std::string beatsPath;        // one CSV line per closed complex; empty = none
    std::string eventsPath;       // one CSV line per user action; empty = none
    bool json = false;            // summary as a JSON object on stdout
    // The user's actions of the run (the script's, appended by `betweenTicks`): each new entry
    // becomes a line of the events file and an annotation of an EDF+ recording.  Null: none.
    ActionLog* actions = nullptr;
    // Set (from a signal handler) to end the run early: the run then fails with a message and
    // leaves no output file.  Null: runs to the end.
    const std::atomic<bool>* stop = nullptr;
    // Called with the model lock held before the first tick and after every tick: the place for
    // a script's interventions, which the desktop applies between ticks too.
    std::function<void(CCoeur&)> betweenTicks;
    // Whether `betweenTicks` has anything to do once the heart's tick count is reached.  A run as
    // fast as possible keeps the cells' counters in the tick's own storage between ticks and writes
    // them back into the records only before a call that may read or change a cell; unset, every
    // call is taken to touch the cells.
    std::function<bool(const CCoeur&)> betweenTicksDue;
    // Called with the model lock held at every heart-rate sample, once the rates are taken.
    std::function<void(CCoeur&)> atRateSample;
};

struct SimSummary {
    std::string model;
    int32_t cellCount = 0;
    int32_t linkCount = 0;
    int64_t ticks = 0;
    double simulatedSeconds = 0;
    double wallSeconds = 0;
    double realtimeFactor = 0;
    int32_t heartRate = 0;  // the last rate of the rate cell, bpm
    int32_t cell5Rate = 0;
    int32_t prInterval = 0, qtInterval = 0, rrInterval = 0;  // the last measured, ms
    int64_t complexes = 0;                                   // closed complexes
    std::vector<int32_t> heartRates;                         // every 5-second sample
};

// Registers --seconds, --tone, --realtime, --ecg, --beats, --events and --json.
void AddSimRunOptions(CLI::App& app, SimRunOptions& options);

// Checks the options before anything is loaded or written: the values, the output paths (each
// one's folder, none a folder itself, no two naming one file); false with a one-line message.
bool CheckSimRunOptions(const SimRunOptions& options, std::string& error);

// Runs the loaded heart and writes the requested files.  Output files are created before the
// first tick, so that an unwritable name fails at once, and put in place only when complete.
// False with a one-line message; no partial file is left behind then.
bool RunSimulation(CCoeur& heart, const std::string& modelName, const SimRunOptions& options,
                   SimSummary& summary, std::string& error);

// The summary as one JSON object, and as a few lines of text for people.
std::string SummaryJson(const SimSummary& summary);
std::string SummaryText(const SimSummary& summary);

// timeMs: the closing tick of the complex; onsetMs: its QRS onset (the first ventricular firing
// of the complex), -1 when none was seen; both in ms from the start of the run (tick 1 = 0 ms).
inline constexpr const char* kBeatsCsvHeader = "timeMs,rrMs,prMs,qtMs,onsetMs\n";
// timeMs: the first sample the action acts on, ms from the start of the run; text: its words.
inline constexpr const char* kEventsCsvHeader = "timeMs,text\n";

// A text as one CSV field: quoted, with its quotes doubled, when it holds a comma, a quote or a
// line end.
std::string CsvField(const std::string& text);

}  // namespace vantrel
