// The headless runner as a script sees it: exit codes, messages and warnings on stderr, outputs
// refused before the run, a run stopped by SIGTERM, two runs writing one file at once, a full
// disk.
#include <edflib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/clock/small_filesystem.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

size_t FileCount(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir)) ++n;
    return n;
}

// One started runner: its stdout and stderr go to files of the scratch folder.
class Runner {
public:
    Runner(const fs::path& dir, const std::string& name, std::vector<std::string> args)
        : out_(dir / (name + ".out")), err_(dir / (name + ".err")) {
        args.insert(args.begin(), VANTREL_SIM);
        std::fflush(stdout);  // or the child's stream would write the parent's buffer again
        std::fflush(stderr);
        pid_ = fork();
        if (pid_ == 0) {
            std::freopen(out_.c_str(), "w", stdout);
            std::freopen(err_.c_str(), "w", stderr);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
    }
    // The exit code, or 128 + the signal that ended it.
    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Signal(int signal) const { kill(pid_, signal); }
    std::string Out() const { return Read(out_); }
    std::string Err() const { return Read(err_); }

private:
    pid_t pid_ = -1;
    fs::path out_, err_;
};

class SimProcess : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testing::ScratchDirectory("vantrel-sim-process-");
        out_ = dir_ / "out";
        fs::create_directories(out_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs to the end; the exit code.
    int Run(std::vector<std::string> args, std::string* err = nullptr, std::string* out = nullptr) {
        Runner runner(dir_, "run" + std::to_string(runs_++), std::move(args));
        const int code = runner.Wait();
        if (err) *err = runner.Err();
        if (out) *out = runner.Out();
        return code;
    }

    fs::path dir_, out_;
    int runs_ = 0;
};

TEST_F(SimProcess, BadCommandLinesExitOneWithAMessage) {
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    const std::string same = (out_ / "same.csv").string();
    const std::string sameAgain = (out_ / "." / "same.csv").string();
    const Case cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"--seconds"}, "--seconds"},
        {{"--seconds", ""}, "--seconds"},
        {{"--seconds", "ten"}, "--seconds"},
        {{"--tone", "2000"}, "--tone"},
        {{"/XCS", "--nocs"}, "exclude each other"},
        {{"--xcs", "/NOCS"}, "exclude each other"},
        {{"--xcs", "--nocs"}, "excludes"},
        {{"--do", "1:nonsense"}, "unknown action"},
        {{"--ecg", same, "--beats", sameAgain}, "--ecg and --beats must name different files"},
        {{"--beats", same, "--events", same}, "--beats and --events must name different files"},
        {{"--ecg", out_.string() + "/"}, "not a file name"},
        {{"--beats", out_.string()}, "it is a folder"},
        {{"--events", (out_ / "missing" / "e.csv").string()}, "does not exist"},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(Run(c.args, &err), 1) << c.args[0] << " " << err;
        EXPECT_NE(err.find(c.says), std::string::npos) << c.args[0] << ": " << err;
        EXPECT_TRUE(fs::is_empty(out_)) << "refused before anything is written";
    }
}

TEST_F(SimProcess, HelpStatesTheExitCodesUnitsAndOneActionPerDo) {
    std::string out;
    ASSERT_EQ(Run({"--help"}, nullptr, &out), 0);
    for (const char* words : {"Exit status: 0 done, 1 bad options", "130 or 143", "--events",
                              "12.5 microvolts", "200 samples", "tick 1 = time 0", "onsetMs",
                              "one --do takes one action"})
        EXPECT_NE(out.find(words), std::string::npos) << words;
}

TEST_F(SimProcess, LeadsNotPlacedAreNamedInAWarning) {
    struct Case {
        std::vector<std::string> actions;
        const char* warns;  // empty: no warning
    };
    const Case cases[] = {
        {{"0:pacemaker=VVI,rate=90"}, "the ventricular lead (v=CELL) is not placed"},
        {{"0:pacemaker=DDD"}, "the atrial lead (a=CELL) and the ventricular lead (v=CELL)"},
        {{"0:ic2=none", "0:stim=lead=2"}, "the stimulator's lead 2 is not placed"},
        {{"0:ic1=none", "0:stim-stop", "0.5:emergency=on"}, "lead 1 is not placed"},
        {{"0:stim=lead=2"}, ""},  // electrode I.C.2 is placed at the start
        {{"0:pacemaker=None"}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--seconds", "1"};
        for (const std::string& a : c.actions) {
            args.push_back("--do");
            args.push_back(a);
        }
        std::string err;
        EXPECT_EQ(Run(args, &err), 0) << err;
        if (*c.warns) {
            EXPECT_NE(err.find("vantrel-sim: warning: --do "), std::string::npos) << err;
            EXPECT_NE(err.find(c.warns), std::string::npos) << err;
        } else {
            EXPECT_EQ(err.find("warning"), std::string::npos) << err;
        }
    }
}

TEST_F(SimProcess, AModelThatCannotBeReadIsExplainedInOneEnglishLine) {
    std::string err;
    EXPECT_EQ(Run({"--data", dir_.string(), "--model", "Nowhere"}, &err), 2);
    EXPECT_NE(err.find("vantrel-sim: no model file " + (dir_ / "Clinic" / "Nowhere.hmd").string()),
              std::string::npos)
        << err;

    fs::create_directories(dir_ / "Clinic");
    std::string model = Read(fs::path(VANTREL_SOURCE_DIR) / "data" / "Clinic" / "1.1 Normal.hmd");
    for (char& c : model)
        if (c == '\n') c = '\r';
    std::string crOnly;
    for (size_t i = 0; i < model.size(); ++i)
        if (!(model[i] == '\r' && i + 1 < model.size() && model[i + 1] == '\r')) crOnly += model[i];
    std::ofstream(dir_ / "Clinic" / "Cr.hmd", std::ios::binary) << crOnly;
    EXPECT_EQ(Run({"--data", dir_.string(), "--model", "Cr"}, &err), 2);
    EXPECT_NE(err.find("the lines of " + (dir_ / "Clinic" / "Cr.hmd").string() +
                       " could not be read"),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find("Structure OK"), std::string::npos) << err;
}

TEST_F(SimProcess, EventsBeatsAndEdfOfAScriptedRun) {
    const fs::path edf = out_ / "run.edf", events = out_ / "events.csv", beats = out_ / "beats.csv";
    std::string err;
    ASSERT_EQ(Run({"--seconds", "4", "--ecg", edf.string(), "--events", events.string(), "--beats",
                   beats.string(), "--do", "0.5:tone=800", "--do", "1:shock", "--do",
                   "1.5:sv-bigeminy=on", "--do", "2:pacemaker=VVI,rate=90", "--do", "3:vpb"},
                  &err),
              0)
        << err;
    const std::vector<std::string> expected = {"timeMs,text",         "500,Tone 800",
                                               "1000,Shock",          "1500,SV bigeminy on",
                                               "2000,Pacemaker VVI 90 bpm", "3000,VPB"};
    EXPECT_EQ(Lines(events), expected);
    const auto beatLines = Lines(beats);
    ASSERT_GT(beatLines.size(), 3u);
    EXPECT_EQ(beatLines[0], "timeMs,rrMs,prMs,qtMs,onsetMs");

    edf_hdr_struct header;
    ASSERT_EQ(edfopen_file_readonly(edf.string().c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS), 0);
    std::vector<std::string> actions;
    int complexes = 0;
    for (long long n = 0; n < header.annotations_in_file; ++n) {
        edf_annotation_struct a;
        ASSERT_EQ(edf_get_annotation(header.handle, static_cast<int>(n), &a), 0);
        const std::string text = a.annotation;
        if (text.rfind("Complex", 0) == 0)
            ++complexes;
        else if (text != "Stimulus")
            actions.push_back(std::to_string(a.onset * 1000 / EDFLIB_TIME_DIMENSION) + "," + text);
    }
    edfclose_file(header.handle);
    EXPECT_EQ(actions, std::vector<std::string>(expected.begin() + 1, expected.end()));
    EXPECT_EQ(complexes + 1, static_cast<int>(beatLines.size()));
}

TEST_F(SimProcess, SigtermLeavesNoTemporaryFile) {
    Runner runner(dir_, "long", {"--seconds", "100000", "--ecg", (out_ / "run.csv").string(),
                                 "--beats", (out_ / "beats.csv").string()});
    // Wait for the run to have its temporary files (the load comes first).
    for (int wait = 0; wait < 600 && FileCount(out_) < 2; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(FileCount(out_), 2u) << runner.Err();
    runner.Signal(SIGTERM);
    EXPECT_EQ(runner.Wait(), 128 + SIGTERM);
    EXPECT_NE(runner.Err().find("stopped by SIGTERM: no output file written"), std::string::npos)
        << runner.Err();
    EXPECT_TRUE(fs::is_empty(out_));
}

TEST_F(SimProcess, TwoRunsWritingOneFileEachEndWithAWholeRecording) {
    const fs::path edf = out_ / "same.edf";
    Runner first(dir_, "first", {"--seconds", "30", "--tone", "100", "--ecg", edf.string()});
    Runner second(dir_, "second", {"--seconds", "30", "--tone", "900", "--ecg", edf.string()});
    EXPECT_EQ(first.Wait(), 0) << first.Err();
    EXPECT_EQ(second.Wait(), 0) << second.Err();
    EXPECT_EQ(FileCount(out_), 1u) << "no temporary file left";
    edf_hdr_struct header;
    ASSERT_EQ(edfopen_file_readonly(edf.string().c_str(), &header, EDFLIB_READ_ALL_ANNOTATIONS), 0);
    EXPECT_EQ(header.datarecords_in_file, 300) << "one whole recording of 30 s";
    edf_annotation_struct a;
    ASSERT_EQ(edf_get_annotation(header.handle, 0, &a), 0);
    const std::string tone = a.annotation;
    EXPECT_TRUE(tone == "Tone 100" || tone == "Tone 900") << tone;
    edfclose_file(header.handle);
}

TEST_F(SimProcess, AFullDiskExitsOneAndLeavesTheOlderFile) {
    testing::SmallFileSystem disk(dir_ / "disk", "size=100k");
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    const fs::path edf = disk.Path() / "run.edf";
    std::ofstream(edf) << "older\n";
    std::string err;
    EXPECT_EQ(Run({"--seconds", "60", "--ecg", edf.string()}, &err), 1);
    EXPECT_EQ(err.rfind("vantrel-sim: " + edf.string() + ": ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;
    EXPECT_EQ(Read(edf), "older\n");
    EXPECT_EQ(FileCount(disk.Path()), 1u);
}

}  // namespace
}  // namespace vantrel
