// vantrel-sim: the headless runner.  Loads a heart model exactly as the desktop does; with
// --inspect it prints the loaded record as JSON, which is how model authors check their files;
// otherwise it runs the loaded heart (sim_run.h).
//
// Exit status: 0 success, 1 bad command line or failed run, 2 the model failed to load (or would
// have ended the desktop program), 128 + the signal's number when SIGINT or SIGTERM stopped the
// run (its output files are not written then).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/translation/langue.h"
#include "cli/loaded_model_json.h"
#include "cli/runner_notifier.h"
#include "cli/sim_actions.h"
#include "cli/sim_run.h"
#include "engine/heart_record.h"
#include "model/model_reader.h"

namespace {

constexpr int kLoadFailed = 2;

// Set by SIGINT and SIGTERM: the run stops at its next tick and removes its temporary files.  A
// signal handler can only reach the run through a variable of the program; this is the one.
std::atomic<bool> stopRequested{false};
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void RequestStop(int signal) {
    stopSignal = signal;
    stopRequested.store(true);
}

// A second SIGINT or SIGTERM ends the program at once (the handler is reset when it runs).
void InstallStopHandlers() {
    for (int signal : {SIGINT, SIGTERM}) {
#ifdef _WIN32
        std::signal(signal, RequestStop);
#else
        struct sigaction action {};
        action.sa_handler = RequestStop;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
#endif
    }
}

// After a failed load, one line in English that says what the reader's own message means when
// the file is missing or its lines cannot be split.
void ExplainFailedLoad(const std::filesystem::path& dataDir, std::string model) {
    namespace fs = std::filesystem;
    if (model.empty()) model = vantrel::kDefaultModelFile;
    if (model.size() < 4 || model.compare(model.size() - 4, 4, ".hmd") != 0) model += ".hmd";
    const fs::path path = dataDir / "Clinic" / model;
    std::error_code failure;
    if (!fs::is_regular_file(path, failure)) {
        std::fprintf(stderr, "vantrel-sim: no model file %s (--data names the folder that holds "
                             "Clinic/, --model the file in it)\n",
                     path.string().c_str());
        return;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find('\r') != std::string::npos && text.find('\n') == std::string::npos)
        std::fprintf(stderr, "vantrel-sim: the lines of %s could not be read: they end in CR "
                             "alone (CR LF or LF expected)\n",
                     path.string().c_str());
}

// True when the model file's lines end in CR alone: the reader then says "Structure OK", which
// ExplainFailedLoad replaces.
bool CrOnlyLines(const std::filesystem::path& dataDir, std::string model) {
    namespace fs = std::filesystem;
    if (model.empty()) model = vantrel::kDefaultModelFile;
    if (model.size() < 4 || model.compare(model.size() - 4, 4, ".hmd") != 0) model += ".hmd";
    std::ifstream in(dataDir / "Clinic" / model, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.find('\r') != std::string::npos && text.find('\n') == std::string::npos;
}

// The desktop's switches "/XCS" and "/NOCS" are accepted as given: they are taken out of the
// arguments before the option parser sees them, which knows them as --xcs and --nocs.
std::vector<std::string> ArgumentsWithoutSlashSwitches(int argc, char** argv, bool& xcs,
                                                       bool& nocs) {
    std::vector<std::string> kept;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "/XCS") xcs = true;
        else if (arg == "/NOCS") nocs = true;
        else kept.push_back(arg);
    }
    return kept;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vantrel;
    bool xcs = false, nocs = false;
    std::vector<std::string> args = ArgumentsWithoutSlashSwitches(argc, argv, xcs, nocs);

    CLI::App app{"Loads a heart model as the desktop does, without a window.", "vantrel-sim"};
    std::string dataDir = VANTREL_DATA_DIR;
    std::string model;
    std::string languageSuffix;
    std::string language;
    bool inspect = false;
    bool list = false;
    app.add_option("--data", dataDir, "Data directory holding Clinic/, Drugs/ and Seq/")
        ->capture_default_str();
    app.add_option("--model", model,
                   "Model file in DATA/Clinic (\".hmd\" may be left out); default: the default "
                   "model \"1.1 Normal.hmd\"");
    auto* suffixOption = app.add_option("--language-suffix", languageSuffix,
                                        "Suffix of the language's drug and sequence files, tried first (e.g. _Fr)");
    app.add_option("--language", language,
                   "Language by its display name, as the desktop lists it (\"English\", or NAME of a "
                   "file DATA/CVantrelNAME_XX.LNG): its texts are used and its suffix _XX is tried "
                   "first for the drug and sequence files")
        ->excludes(suffixOption);
    auto* xcsFlag = app.add_flag("--xcs", xcs,
                                 "Also /XCS. Print the model's computed checksum (\"Interesting Message: The "
                                 "CheckSum is N\" on stderr) instead of comparing it: the value "
                                 "for the CS= field of a new file");
    app.add_flag("--nocs", nocs, "Also /NOCS. Skip the checksum comparison")->excludes(xcsFlag);
    app.add_flag("--inspect", inspect,
                 "Print the loaded record as one JSON object on stdout (ok, loadStatus, "
                 "checksums, cells, links, settings, lead presets, texts)");
    app.add_flag("--list", list,
                 "Print the model's drugs and sequences as one JSON object on stdout (drugs, "
                 "sequences: name and comment of each; startSequence when the model has one)")
        ->excludes("--inspect");
    SimRunOptions runOptions;
    AddSimRunOptions(app, runOptions);
    std::vector<std::string> actionSpecs;
    AddSimActionOptions(app, actionSpecs);
    app.footer(
        SimActionsHelp() + "\n" +
        "Every message box the load would show is printed to stderr as \"Title: text\".\n"
        "Without --inspect or --list the loaded heart runs (--seconds, --tone, --realtime, --ecg, --beats, "
        "--json, --do).\n"
        "Exit status: 0 done, 1 bad options or failed run (an output that cannot be written "
        "completely is not written at all), 2 the load failed or would end the desktop "
        "program, 130 or 143 stopped by SIGINT or SIGTERM (no output written).");
    std::reverse(args.begin(), args.end());  // CLI11 takes the arguments last first
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        // The option library's own codes (104, 108, 109, ...) all mean a bad command line.
        return app.exit(e) == 0 ? 0 : 1;
    }
    if (xcs && nocs) {
        std::fputs("vantrel-sim: --xcs (/XCS) and --nocs (/NOCS) exclude each other\n", stderr);
        return 1;
    }
    {
        std::string error;
        if (!CheckSimRunOptions(runOptions, error)) {
            std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
            return 1;
        }
    }
    // A mistake in a script is reported before anything is loaded or run.
    std::vector<SimAction> actions;
    std::string error;
    if (!ParseSimActions(actionSpecs, actions, error)) {
        std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
        return 1;
    }

    if (!language.empty()) {
        CLangue langue(dataDir);
        if (!LoadLanguageByName(langue, language, languageSuffix)) {
            std::string known = "English";
            for (const std::string& name : SplitLines(langue.ListLanguages()))
                if (name != kBadLanguageFileName) known += ", " + name;
            std::fprintf(stderr, "vantrel-sim: no language \"%s\" in %s (languages: %s)\n", language.c_str(),
                         dataDir.c_str(), known.c_str());
            return 1;
        }
    }

    RunnerNotifier notifier;
    // A model whose lines end in CR alone fails with "Structure OK": that message is replaced by
    // one that says what went wrong.
    if (CrOnlyLines(dataDir, model)) notifier.Suppress("Structure OK");
    auto heart = std::make_unique<CCoeur>();
    heart->notifier = &notifier;
    ReaderOptions options;
    options.dataDirectory = dataDir;
    options.languageSuffix = languageSuffix;
    options.checksum = xcs ? ChecksumCheck::Show : nocs ? ChecksumCheck::Skip : ChecksumCheck::Compare;
    const bool ok = LoadModel(*heart, model, options);

    const bool loaded = ok && !notifier.ProgramEnded();
    if (!ok) ExplainFailedLoad(dataDir, model);
    if (inspect) {
        std::puts(LoadedModelJson(*heart, ok).dump(2).c_str());
        return loaded ? 0 : kLoadFailed;
    }
    if (!loaded) return kLoadFailed;
    if (list) {
        std::puts(TherapyListJson(*heart).dump(2).c_str());
        return 0;
    }

    if (!ResolveSimActions(*heart, actions, error)) {
        std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
        return 1;
    }
    SimActionSchedule schedule(std::move(actions));
    auto actionLog = std::make_unique<ActionLog>();
    schedule.SetLog(actionLog.get());
    schedule.SetWarningSink([](const std::string& warning) {
        std::fprintf(stderr, "vantrel-sim: warning: %s\n", warning.c_str());
    });
    runOptions.actions = actionLog.get();
    runOptions.stop = &stopRequested;
    InstallStopHandlers();
    runOptions.betweenTicks = [&schedule](CCoeur& h) { schedule.ApplyDue(h); };
    runOptions.betweenTicksDue = [&schedule](const CCoeur& h) { return schedule.Due(h); };
    runOptions.atRateSample = [&schedule](CCoeur& h) { schedule.RateSample(h); };
    SimSummary summary;
    // The default model loads under an empty name; the summary and the recording name its file.
    const std::string modelName =
        heart->currentModelName.empty() ? std::string(kDefaultModelFile) : heart->currentModelName;
    if (!RunSimulation(*heart, modelName, runOptions, summary, error)) {
        if (stopRequested.load()) {
            std::fprintf(stderr, "vantrel-sim: stopped by %s: no output file written\n",
                         stopSignal == SIGINT ? "SIGINT" : "SIGTERM");
            return 128 + stopSignal;
        }
        std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
        return 1;
    }
    std::fputs((runOptions.json ? SummaryJson(summary) : SummaryText(summary)).c_str(), stdout);
    return 0;
}
