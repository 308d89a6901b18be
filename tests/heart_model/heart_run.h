// One headless run of a shipped heart model, through the same calls as `vantrel-sim`: the load
// with its checksum, the --do actions between ticks, the run with its ECG recording; then the
// recording read back and its complexes found.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/sim_run.h"
#include "ecg_reading.h"
#include "engine/heart_record.h"

namespace vantrel::testing {

struct HeartRun {
    bool ok = false;
    std::string error;       // why the load or the run failed
    std::string messages;    // every message box the load showed, "Title: text" per line
    std::unique_ptr<CCoeur> heart;
    SimSummary summary;
    EcgTrace trace;
    std::vector<Beat> beats;

    // The complete beats (T wave ended inside the run) whose QRS starts within [fromMs, toMs).
    std::vector<Beat> Between(int32_t fromMs, int32_t toMs) const;
};

struct HeartRunSpec {
    std::string model;                 // file in data/Clinic; empty = the default model
    double seconds = 60;
    std::optional<int32_t> tone;       // as --tone
    std::vector<std::string> actions;  // as --do
};

HeartRun RunShippedHeart(const HeartRunSpec& spec);

// The file names of data/Clinic/*.hmd, sorted.
std::vector<std::string> ShippedModels();

}  // namespace vantrel::testing
