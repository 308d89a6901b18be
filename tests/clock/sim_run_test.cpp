#include "cli/sim_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <edflib.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/cell_automaton.h"
#include "engine/demo_heart.h"
#include "tests/clock/small_filesystem.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class SimRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testing::ScratchDirectory("vantrel-sim-");
        heart_ = std::make_unique<CCoeur>();
        BuildDemoHeart(*heart_, 5, 8, 100);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    std::unique_ptr<CCoeur> heart_;
};

TEST_F(SimRun, RunsTheSimulatedSecondsAndWritesEcgBeatsAndSummary) {
    SimRunOptions options;
    options.seconds = 12;
    options.tone = 200;
    options.ecgPath = (dir_ / "run.csv").string();
    options.beatsPath = (dir_ / "beats.csv").string();
    SimSummary summary;
    std::string error;
    ASSERT_TRUE(RunSimulation(*heart_, "Demo", options, summary, error)) << error;

    EXPECT_EQ(heart_->tone, 200);
    EXPECT_EQ(summary.ticks, 2400);
    EXPECT_DOUBLE_EQ(summary.simulatedSeconds, 12.0);
    EXPECT_EQ(summary.cellCount, 40);
    EXPECT_EQ(summary.linkCount, heart_->linkCount);
    const int32_t cycleTicks = EscapeTicks(heart_->cells[0], 200);
    ASSERT_EQ(summary.heartRates.size(), 2u) << "one sample every 5 s";
    EXPECT_EQ(summary.heartRates[1], 12000 / cycleTicks);
    EXPECT_EQ(summary.heartRate, summary.heartRates.back());
    EXPECT_EQ(summary.rrInterval, cycleTicks * 5);
    EXPECT_GT(summary.complexes, 10);
    EXPECT_GT(summary.realtimeFactor, 0);

    const auto ecg = Lines(dir_ / "run.csv");
    ASSERT_EQ(ecg.size(), 2402u);
    EXPECT_NE(ecg[0].find("# ECG recording: 200 samples per second"), std::string::npos) << ecg[0];
    EXPECT_NE(ecg[0].find("12.5 microvolts"), std::string::npos) << ecg[0];
    EXPECT_NE(ecg[0].find("tick 1 = time 0"), std::string::npos) << ecg[0];
    EXPECT_EQ(ecg[1].substr(0, 9), "tick,I,II");
    EXPECT_EQ(ecg[2].substr(0, 2), "1,");
    const auto beats = Lines(dir_ / "beats.csv");
    ASSERT_EQ(beats.size(), static_cast<size_t>(summary.complexes) + 1);
    EXPECT_EQ(beats[0], "timeMs,rrMs,prMs,qtMs,onsetMs");
    int previous = -1, previousOnset = -1;
    for (size_t i = 1; i < beats.size(); ++i) {
        const int time = std::stoi(beats[i]);
        EXPECT_GT(time, previous);
        previous = time;
        // The QRS onset lies before the closing and after the previous complex's onset.
        const int onset = std::stoi(beats[i].substr(beats[i].rfind(',') + 1));
        EXPECT_GE(onset, 0) << beats[i];
        EXPECT_LT(onset, time) << beats[i];
        EXPECT_GT(onset, previousOnset) << beats[i];
        if (i > 2) {
            EXPECT_EQ(onset - previousOnset, cycleTicks * 5) << "regular rhythm: RR onset to onset";
        }
        previousOnset = onset;
    }
    EXPECT_EQ(beats.back().substr(beats.back().find(',') + 1, 4), std::to_string(cycleTicks * 5) + ",");
}

TEST_F(SimRun, EveryLoggedActionIsAnEventLineAndAnEdfAnnotation) {
    SimRunOptions options;
    options.seconds = 2;
    options.tone = 300;
    options.ecgPath = (dir_ / "run.edf").string();
    options.eventsPath = (dir_ / "events.csv").string();
    auto log = std::make_unique<ActionLog>();
    options.actions = log.get();
    // As the runner's script does: actions between ticks, logged at the tick count they follow.
    options.betweenTicks = [&](CCoeur& heart) {
        if (heart.tickCount == 100) log->Append(heart.tickCount, "Drug: Adenosine");
        if (heart.tickCount == 250) {
            log->Append(heart.tickCount, "Pacemaker DDD 70 bpm AV 160 ms max 140 bpm");
            log->Append(heart.tickCount, "Note, with \"quotes\"");
        }
    };
    SimSummary summary;
    std::string error;
    ASSERT_TRUE(RunSimulation(*heart_, "Demo", options, summary, error)) << error;
    const std::vector<std::string> expected = {
        "timeMs,text", "0,Tone 300", "500,Drug: Adenosine",
        "1250,Pacemaker DDD 70 bpm AV 160 ms max 140 bpm", "1250,\"Note, with \"\"quotes\"\"\""};
    EXPECT_EQ(Lines(dir_ / "events.csv"), expected);

    edf_hdr_struct header;
    ASSERT_EQ(edfopen_file_readonly((dir_ / "run.edf").string().c_str(), &header,
                                    EDFLIB_READ_ALL_ANNOTATIONS), 0);
    std::vector<std::pair<long long, std::string>> actions;
    for (long long n = 0; n < header.annotations_in_file; ++n) {
        edf_annotation_struct a;
        ASSERT_EQ(edf_get_annotation(header.handle, static_cast<int>(n), &a), 0);
        const std::string text = a.annotation;
        if (text.rfind("Complex", 0) != 0 && text != "Stimulus")
            actions.emplace_back(a.onset * 1000 / EDFLIB_TIME_DIMENSION, text);
    }
    edfclose_file(header.handle);
    const std::vector<std::pair<long long, std::string>> expectedActions = {
        {0, "Tone 300"}, {500, "Drug: Adenosine"},
        {1250, "Pacemaker DDD 70 bpm AV 160 ms max 140"}, {1250, "... bpm"},
        {1250, "Note, with \"quotes\""}};
    EXPECT_EQ(actions, expectedActions);
}

TEST_F(SimRun, AStopRequestEndsTheRunWithoutAnyFile) {
    std::atomic<bool> stop{false};
    SimRunOptions options;
    options.seconds = 100;
    options.ecgPath = (dir_ / "run.edf").string();
    options.beatsPath = (dir_ / "beats.csv").string();
    options.eventsPath = (dir_ / "events.csv").string();
    options.stop = &stop;
    options.betweenTicks = [&](CCoeur& heart) {
        if (heart.tickCount == 300) stop = true;  // as SIGTERM would, from outside
    };
    for (bool realtime : {false, true}) {
        options.realtime = realtime;
        stop = false;
        heart_->tickCount = 0;
        SimSummary summary;
        std::string error;
        EXPECT_FALSE(RunSimulation(*heart_, "Demo", options, summary, error));
        EXPECT_NE(error.find("stopped"), std::string::npos) << error;
        EXPECT_EQ(summary.ticks, 301) << realtime;
        EXPECT_TRUE(fs::is_empty(dir_)) << "no temporary file left";
    }
}

TEST_F(SimRun, InterventionsRunBeforeEveryTick) {
    SimRunOptions options;
    options.seconds = 0.5;
    std::vector<int32_t> seen;
    options.betweenTicks = [&](CCoeur& heart) { seen.push_back(heart.tickCount); };
    SimSummary summary;
    std::string error;
    ASSERT_TRUE(RunSimulation(*heart_, "Demo", options, summary, error)) << error;
    ASSERT_EQ(seen.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[i], i);
}

TEST_F(SimRun, RealTimeGoesThroughTheClock) {
    SimRunOptions options;
    options.seconds = 0.5;
    options.realtime = true;
    options.ecgPath = (dir_ / "run.edf").string();
    SimSummary summary;
    std::string error;
    ASSERT_TRUE(RunSimulation(*heart_, "Demo", options, summary, error)) << error;
    EXPECT_EQ(summary.ticks, 100);
    EXPECT_GE(summary.wallSeconds, 0.45) << "a 5 ms timer cannot run 100 ticks faster";
    EXPECT_TRUE(fs::exists(dir_ / "run.edf"));
}

TEST_F(SimRun, BadOptionsAndUnwritableFilesFailBeforeRunningAndLeaveNoFile) {
    struct Case {
        const char* name;
        SimRunOptions options;
        const char* message;
    };
    auto with = [](auto change) {
        SimRunOptions o;
        change(o);
        return o;
    };
    const std::string missing = (dir_ / "no-such-dir" / "x.csv").string();
    const Case cases[] = {
        {"negative duration", with([](SimRunOptions& o) { o.seconds = -1; }), "--seconds"},
        {"not a number", with([](SimRunOptions& o) { o.seconds = std::nan(""); }), "--seconds"},
        {"too long", with([](SimRunOptions& o) { o.seconds = 2e6; }), "--seconds"},
        {"tone", with([](SimRunOptions& o) { o.tone = 1001; }), "--tone"},
        {"same file", with([&](SimRunOptions& o) { o.ecgPath = o.beatsPath = missing; }), "different"},
        {"same file spelled twice",
         with([&](SimRunOptions& o) {
             o.ecgPath = (dir_ / "same.csv").string();
             o.beatsPath = (dir_ / "." / "sub" / ".." / "same.csv").string();
         }),
         "--ecg and --beats must name different files"},
        {"events on the beats",
         with([&](SimRunOptions& o) {
             o.beatsPath = (dir_ / "b.csv").string();
             o.eventsPath = (dir_ / "./b.csv").string();
         }),
         "--beats and --events must name different files"},
        {"a folder", with([&](SimRunOptions& o) { o.beatsPath = dir_.string(); }), "it is a folder"},
        {"unwritable events", with([&](SimRunOptions& o) { o.eventsPath = missing; }), "does not exist"},
        {"unwritable ecg", with([&](SimRunOptions& o) { o.ecgPath = missing; }), "cannot create"},
        {"a folder as ecg", with([&](SimRunOptions& o) { o.ecgPath = dir_.string(); }), "it is a folder"},
        {"unwritable beats",
         with([&](SimRunOptions& o) {
             o.ecgPath = (dir_ / "ok.csv").string();
             o.beatsPath = missing;
         }),
         "cannot create"},
        {"format", with([&](SimRunOptions& o) { o.ecgPath = (dir_ / "x.ecg").string(); }), ".edf"},
    };
    for (const Case& c : cases) {
        SimSummary summary;
        std::string error;
        EXPECT_FALSE(RunSimulation(*heart_, "Demo", c.options, summary, error)) << c.name;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
        EXPECT_EQ(heart_->tickCount, 0) << c.name;
        EXPECT_TRUE(fs::is_empty(dir_)) << c.name;
    }
}

TEST_F(SimRun, ShortRunAsksTheRateOnceAndZeroSecondsRunsNothing) {
    SimRunOptions options;
    options.seconds = 0;
    options.ecgPath = (dir_ / "run.csv").string();
    SimSummary summary;
    std::string error;
    ASSERT_TRUE(RunSimulation(*heart_, "Demo", options, summary, error)) << error;
    EXPECT_EQ(summary.ticks, 0);
    EXPECT_TRUE(summary.heartRates.empty());
    EXPECT_EQ(Lines(dir_ / "run.csv").size(), 2u) << "the units note and the header only";
}

// A full disk during the run: the run fails with one line and leaves neither its files nor a
// damaged older one.
TEST_F(SimRun, AFullDiskFailsTheRunAndLeavesNoFile) {
    testing::SmallFileSystem disk(dir_ / "disk", "size=100k");
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    for (const char* name : {"run.edf", "run.csv"}) {
        const fs::path path = disk.Path() / name;
        std::ofstream(path) << "older\n";
        SimRunOptions options;
        options.seconds = 30;
        options.ecgPath = path.string();
        options.beatsPath = (disk.Path() / "beats.csv").string();
        SimSummary summary;
        std::string error;
        EXPECT_FALSE(RunSimulation(*heart_, "Demo", options, summary, error)) << name;
        EXPECT_NE(error.find(name), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(Lines(path), std::vector<std::string>{"older"});
        size_t files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(disk.Path())) ++files;
        EXPECT_EQ(files, 1u) << "only the older file is left";
        fs::remove(path);
    }
}

TEST(SimCsvField, QuotesOnlyWhatNeedsIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"Drug: Adenosine", "Drug: Adenosine"},
        {"a, b", "\"a, b\""},
        {"say \"x\"", "\"say \"\"x\"\"\""},
        {"two\nlines", "\"two\nlines\""},
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field);
}

TEST(SimSummaryJson, HasEveryFieldUnderItsName) {
    SimSummary s;
    s.model = "1.1 Normal \xe9";  // 8-bit text in a model name
    s.ticks = 2000;
    s.simulatedSeconds = 10;
    s.heartRates = {70, 72};
    s.complexes = 12;
    const auto json = nlohmann::json::parse(SummaryJson(s));
    for (const char* key : {"model", "cellCount", "linkCount", "ticks", "simulatedSeconds",
                            "wallSeconds", "realtimeFactor", "heartRate", "cell5Rate", "prInterval",
                            "qtInterval", "rrInterval", "complexes", "heartRates"})
        EXPECT_TRUE(json.contains(key)) << key;
    EXPECT_EQ(json["ticks"], 2000);
    EXPECT_EQ(json["heartRates"], nlohmann::json::array({70, 72}));
    EXPECT_EQ(json["model"], "1.1 Normal \u00e9");
}

}  // namespace
}  // namespace vantrel
