#include "cli/sim_run.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/cell_automaton.h"
#include "engine/demo_heart.h"
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
    ASSERT_EQ(ecg.size(), 2401u);
    EXPECT_EQ(ecg[0].substr(0, 9), "tick,I,II");
    EXPECT_EQ(ecg[1].substr(0, 2), "1,");
    const auto beats = Lines(dir_ / "beats.csv");
    ASSERT_EQ(beats.size(), static_cast<size_t>(summary.complexes) + 1);
    EXPECT_EQ(beats[0], "timeMs,rrMs,prMs,qtMs");
    int previous = -1;
    for (size_t i = 1; i < beats.size(); ++i) {
        const int time = std::stoi(beats[i]);
        EXPECT_GT(time, previous);
        previous = time;
    }
    EXPECT_EQ(beats.back().substr(beats.back().find(',') + 1, 4), std::to_string(cycleTicks * 5) + ",");
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
        {"unwritable ecg", with([&](SimRunOptions& o) { o.ecgPath = missing; }), "cannot create"},
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
    EXPECT_EQ(Lines(dir_ / "run.csv").size(), 1u) << "the header only";
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
