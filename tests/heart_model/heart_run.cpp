#include "heart_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/sim_actions.h"
#include "engine/notifier.h"
#include "model/model_reader.h"
#include "tests/scratch_directory.h"

namespace vantrel::testing {
namespace {

// Collects the message boxes of a load, as vantrel-sim prints them.
class CollectingNotifier : public EngineNotifier {
public:
    explicit CollectingNotifier(std::string& messages) : messages_(messages) {}
    void Post(int32_t, int32_t, int32_t) override {}
    void ShowMessage(const std::string& title, const std::string& text) override {
        messages_ += title + ": " + text + "\n";
    }
    void EndProgram() override { ended = true; }
    bool ended = false;

private:
    std::string& messages_;
};

// The recording of a run, in the running test's own scratch directory (one run at a time).
std::string RecordingPath() { return (ScratchDirectory("vantrel-heart-run-") / "ecg.csv").string(); }

}  // namespace

std::vector<Beat> HeartRun::Between(int32_t fromMs, int32_t toMs) const {
    std::vector<Beat> out;
    for (const Beat& b : beats)
        if (b.OnsetMs() >= fromMs && b.OnsetMs() < toMs && b.tEnd >= 0) out.push_back(b);
    return out;
}

HeartRun RunShippedHeart(const HeartRunSpec& spec) {
    HeartRun run;
    std::vector<SimAction> actions;
    if (!ParseSimActions(spec.actions, actions, run.error)) return run;

    CollectingNotifier notifier(run.messages);
    run.heart = std::make_unique<CCoeur>();
    run.heart->notifier = &notifier;
    ReaderOptions reader;
    reader.dataDirectory = VANTREL_DATA_DIR;
    reader.checksum = ChecksumCheck::Compare;  // no "/NOCS": the stored checksum must hold
    const bool loaded = LoadModel(*run.heart, spec.model, reader);
    if (!loaded || notifier.ended) {
        run.error = "the load failed: " + run.messages;
        run.heart->notifier = &SilentNotifier::Instance();
        return run;
    }
    if (!ResolveSimActions(*run.heart, actions, run.error)) {
        run.heart->notifier = &SilentNotifier::Instance();
        return run;
    }

    SimActionSchedule schedule(std::move(actions));
    SimRunOptions options;
    options.seconds = spec.seconds;
    options.tone = spec.tone;
    options.ecgPath = RecordingPath();
    options.betweenTicks = [&schedule](CCoeur& h) { schedule.ApplyDue(h); };
    options.betweenTicksDue = [&schedule](const CCoeur& h) { return schedule.Due(h); };
    options.atRateSample = [&schedule](CCoeur& h) { schedule.RateSample(h); };
    const bool ran = RunSimulation(*run.heart, run.heart->currentModelName, options, run.summary,
                                   run.error);
    run.heart->notifier = &SilentNotifier::Instance();
    if (!ran) return run;
    const bool read = ReadEcgCsv(options.ecgPath, run.trace, run.error);
    std::filesystem::remove_all(std::filesystem::path(options.ecgPath).parent_path());
    if (!read) return run;
    run.beats = FindBeats(run.trace);
    run.ok = true;
    return run;
}

std::vector<std::string> ShippedModels() {
    std::vector<std::string> names;
    const auto clinic = std::filesystem::path(VANTREL_DATA_DIR) / "Clinic";
    for (const auto& entry : std::filesystem::directory_iterator(clinic))
        if (entry.path().extension() == ".hmd") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vantrel::testing
