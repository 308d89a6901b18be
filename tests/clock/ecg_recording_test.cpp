#include "recording/ecg_recording.h"

#include <edflib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include <utility>
#include <vector>

#include "engine/ecg_display.h"
#include "engine/action_log.h"
#include "recording/ecg_stretch_recording.h"
#include "tests/clock/small_filesystem.h"
#include "tests/scratch_directory.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

class RecordingFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testing::ScratchDirectory("vantrel-recording-");
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<fs::path> Files() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir_)) files.push_back(entry.path());
        return files;
    }

    fs::path dir_;
};

// A tick whose sample has recognisable bytes.
RecordingTick MakeTick(int i) {
    RecordingTick t;
    t.tick = 1000 + i;
    t.sample.bytes[kEcgX] = static_cast<int8_t>(i % 100 - 50);
    t.sample.bytes[kEcgY] = static_cast<int8_t>(i % 7);
    t.sample.bytes[kEcgZ] = -3;
    for (int n = 0; n < 4; ++n) t.sample.bytes[kEcgIc1 + n] = static_cast<int8_t>(10 * n - i % 3);
    for (int k = 0; k < 6; ++k) t.sample.bytes[kEcgV1 + k] = kNoPrecordialList;
    t.sample.bytes[kEcgResp] = 12;
    t.sample.bytes[kEcgOes] = -7;
    return t;
}

TEST_F(RecordingFiles, CsvHasTheHeaderAndOneLinePerSample) {
    std::string error;
    auto recording = OpenEcgRecording(dir_ / "run.csv", "1.1 Normal", error);
    ASSERT_TRUE(recording) << error;
    RecordingTick t = MakeTick(3);
    t.sample.bytes[kEcgMarker] = -125;
    recording->Add(t);
    recording->Add(MakeTick(4));
    ASSERT_TRUE(recording->Finish(error)) << error;
    std::string expected =
        "# ECG recording: 200 samples per second; leads, I.C.1..4 and marker in units of 12.5 "
        "microvolts; tick = the heart's tick count (tick 1 = time 0 of a run after a load)\n"
        "tick,I,II,III,aVR,aVL,aVF,V1,V2,V3,V4,V5,V6,X,Y,Z,Oes,Resp,IC1,IC2,IC3,IC4,marker\n";
    EXPECT_EQ(EcgCsvHeader(), expected);
    for (const RecordingTick& tick : {t, MakeTick(4)}) {
        expected += std::to_string(tick.tick);
        for (int lead = 0; lead < kLeadCount; ++lead)
            expected += "," + std::to_string(LeadValue(tick.sample, lead));
        for (int n = 0; n < 4; ++n) expected += "," + std::to_string(tick.sample.bytes[kEcgIc1 + n]);
        expected += "," + std::to_string(tick.sample.bytes[kEcgMarker]) + "\n";
    }
    EXPECT_EQ(Read(dir_ / "run.csv"), expected);
    EXPECT_EQ(Files().size(), 1u) << "no temporary file left";
}

TEST_F(RecordingFiles, EdfRoundTripKeepsSignalsAndAnnotations) {
    std::string error;
    auto recording = OpenEcgRecording(dir_ / "run.EDF", "1.1 Normal", error);
    ASSERT_TRUE(recording) << error;
    const int samples = 250;  // 12.5 records: the last one is padded
    for (int i = 0; i < samples; ++i) {
        RecordingTick t = MakeTick(i);
        t.stimulus = i == 40;
        if (i == 101) {
            t.complexClosed = true;
            t.rr = 800;
            t.pr = 160;
            t.qt = 360;
            t.qrsOnsetAgo = 21;  // the QRS began at sample 80
        }
        if (i == 120) recording->AddAction("Drug: Adenosine");
        recording->Add(t);
    }
    ASSERT_TRUE(recording->Finish(error)) << error;

    edf_hdr_struct header;
    ASSERT_EQ(edfopen_file_readonly((dir_ / "run.EDF").string().c_str(), &header,
                                    EDFLIB_READ_ALL_ANNOTATIONS),
              0);
    EXPECT_EQ(header.filetype, EDFLIB_FILETYPE_EDFPLUS);
    EXPECT_EQ(header.edfsignals, 22);
    EXPECT_EQ(header.datarecords_in_file, 13);
    EXPECT_EQ(header.file_duration, 13 * EDFLIB_TIME_DIMENSION / 10);
    EXPECT_NE(std::string(header.recording_additional).find("1.1 Normal"), std::string::npos)
        << header.recording_additional;
    EXPECT_STREQ(header.signalparam[0].label, "ECG I           ");
    EXPECT_STREQ(header.signalparam[16].label, "Resp            ");
    EXPECT_STREQ(header.signalparam[20].label, "EGM I.C.4       ");
    EXPECT_STREQ(header.signalparam[21].label, "Marker          ");
    for (int s = 0; s < 22; ++s) {
        const edf_param_struct& p = header.signalparam[s];
        EXPECT_EQ(p.smp_in_datarecord * EDFLIB_TIME_DIMENSION / header.datarecord_duration, 200);
        EXPECT_STREQ(p.physdimension, "mV      ");
        EXPECT_NEAR((p.phys_max - p.phys_min) / (p.dig_max - p.dig_min), 0.0125, 1e-9);
    }
    // Every signal, physical values in millivolts.
    std::vector<double> values(260);
    for (int s = 0; s < 22; ++s) {
        ASSERT_EQ(edfread_physical_samples(header.handle, s, 260, values.data()), 260);
        for (int i = 0; i < samples; ++i) {
            const EcgSample sample = MakeTick(i).sample;
            const int expected = s < kLeadCount ? LeadValue(sample, s)
                                 : s < 21       ? sample.bytes[kEcgIc1 + s - kLeadCount]
                                                : sample.bytes[kEcgMarker];
            ASSERT_NEAR(values[i], expected * 0.0125, 1e-6) << "signal " << s << " sample " << i;
        }
        EXPECT_NEAR(values[samples], 0.0, 1e-9) << "padding";
    }
    ASSERT_EQ(header.annotations_in_file, 3);
    const std::vector<std::pair<long long, std::string>> expectedAnnotations = {
        {40, "Stimulus"}, {80, "Complex RR=800 PR=160 QT=360 ms"}, {120, "Drug: Adenosine"}};
    for (int n = 0; n < 3; ++n) {
        edf_annotation_struct a;
        ASSERT_EQ(edf_get_annotation(header.handle, n, &a), 0);
        EXPECT_EQ(a.onset, expectedAnnotations[n].first * EDFLIB_TIME_DIMENSION / 200) << n;
        EXPECT_EQ(std::string(a.annotation), expectedAnnotations[n].second);
    }
    edfclose_file(header.handle);
}

TEST_F(RecordingFiles, MoreEventsThanTheAnnotationSpaceFailInsteadOfDroppingSome) {
    std::string error;
    auto recording = OpenEcgRecording(dir_ / "dense.edf", "m", error);
    ASSERT_TRUE(recording);
    for (int i = 0; i < 40; ++i) {
        RecordingTick t = MakeTick(i);
        t.stimulus = true;  // 40 events in 0.2 s
        recording->Add(t);
    }
    EXPECT_FALSE(recording->Finish(error));
    EXPECT_NE(error.find("annotation"), std::string::npos) << error;
    EXPECT_TRUE(Files().empty());
}

TEST_F(RecordingFiles, BadNamesAndEmptyEdfAreRefused) {
    std::string error;
    EXPECT_FALSE(OpenEcgRecording(dir_ / "run.ecg", "m", error));
    EXPECT_NE(error.find(".csv or .edf"), std::string::npos) << error;
    for (const char* name : {"missing/run.csv", "missing/run.edf"}) {
        error.clear();
        EXPECT_FALSE(OpenEcgRecording(dir_ / name, "m", error)) << name;
        EXPECT_NE(error.find("cannot create"), std::string::npos) << error;
    }
    auto empty = OpenEcgRecording(dir_ / "empty.edf", "m", error);
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->Finish(error));
    EXPECT_TRUE(Files().empty());
}

TEST_F(RecordingFiles, AbandonedRecordingLeavesAnOlderFileAlone) {
    {
        std::ofstream(dir_ / "run.csv") << "older\n";
    }
    for (const char* name : {"run.csv", "run.edf"}) {
        std::string error;
        auto recording = OpenEcgRecording(dir_ / name, "m", error);
        ASSERT_TRUE(recording) << error;
        recording->Add(MakeTick(1));
    }  // destroyed without Finish: the run failed
    EXPECT_EQ(Read(dir_ / "run.csv"), "older\n");
    EXPECT_EQ(Files().size(), 1u);
}

// Reads back every annotation of an EDF+ file as (onset in samples of 5 ms, text).
std::vector<std::pair<long long, std::string>> Annotations(const edf_hdr_struct& header) {
    std::vector<std::pair<long long, std::string>> found;
    for (long long n = 0; n < header.annotations_in_file; ++n) {
        edf_annotation_struct a;
        if (edf_get_annotation(header.handle, static_cast<int>(n), &a) != 0) break;
        found.emplace_back(a.onset * 200 / EDFLIB_TIME_DIMENSION, a.annotation);
    }
    return found;
}

TEST_F(RecordingFiles, StretchOfTheRingWithTrendAndActions) {
    // A small ring that the stretch wraps around: 2300 samples ending at slot 700 of 2500.
    constexpr int32_t kRing = 2500, kCount = 2300, kEnd = 700, kLastTick = 50000;
    std::vector<EcgSample> ring(kRing);
    const auto slotOf = [&](int32_t n) { return (kEnd - kCount + n + kRing) % kRing; };
    for (int32_t n = 0; n < kCount; ++n) {
        ring[slotOf(n)] = MakeTick(n).sample;
        ring[slotOf(n)].bytes[kEcgMarker] = n == 5 ? int8_t{125} : int8_t{0};
    }
    HeartRateRing rates;
    for (int32_t r : {60, 61, 62, 63, 300}) rates.PushHeartRate(r);  // 300 is stored as 255
    ActionLog actions;
    const int32_t firstTick = kLastTick - kCount + 1;
    actions.Append(firstTick - 2, "Before the stretch");
    actions.Append(firstTick - 1, "Tone 800");              // acts on the first sample
    actions.Append(firstTick + 99, "Drug: Adenosine");      // acts on sample 100
    // Acts on the last sample; longer than an annotation's 40 bytes.
    actions.Append(kLastTick - 1, "Pacemaker DDD 70 bpm AV 160 ms max 140 bpm");
    actions.Append(kLastTick, "After the stretch");

    EcgStretch stretch;
    stretch.ring = ring.data();
    stretch.ringSize = kRing;
    stretch.endIndex = kEnd;
    stretch.sampleCount = kCount;
    stretch.lastTick = kLastTick;
    stretch.rates = rates.liveRate;
    stretch.rateEndIndex = rates.rateIndex;
    stretch.rateValues = 5;
    stretch.actions = &actions;
    std::string error;
    ASSERT_TRUE(WriteEcgStretchEdf(dir_ / "frozen.edf", stretch, "1.1 Normal", error)) << error;

    edf_hdr_struct header;
    ASSERT_EQ(edfopen_file_readonly((dir_ / "frozen.edf").string().c_str(), &header,
                                    EDFLIB_READ_ALL_ANNOTATIONS), 0);
    EXPECT_EQ(header.edfsignals, 23);
    EXPECT_EQ(header.datarecords_in_file, 3) << "2300 samples in records of 5 s";
    EXPECT_EQ(header.datarecord_duration, 5 * EDFLIB_TIME_DIMENSION);
    EXPECT_STREQ(header.signalparam[22].label, "Heart rate      ");
    EXPECT_STREQ(header.signalparam[22].physdimension, "bpm     ");
    EXPECT_EQ(header.signalparam[22].smp_in_datarecord, 1);
    std::vector<double> values(3000);
    for (int s = 0; s < 22; ++s) {
        ASSERT_EQ(edfread_physical_samples(header.handle, s, 3000, values.data()), 3000);
        for (int32_t n = 0; n < 3000; ++n) {
            int expected = 0;
            if (n < kCount) {
                const EcgSample& sample = ring[slotOf(n)];
                expected = s < kLeadCount ? LeadValue(sample, s)
                           : s < 21       ? sample.bytes[kEcgIc1 + s - kLeadCount]
                                          : sample.bytes[kEcgMarker];
            }
            ASSERT_NEAR(values[n], expected * 0.0125, 1e-6) << "signal " << s << " sample " << n;
        }
    }
    ASSERT_EQ(edfread_physical_samples(header.handle, 22, 3, values.data()), 3);
    EXPECT_EQ(values[0], 62);  // the newest value belongs to the last record
    EXPECT_EQ(values[1], 63);
    EXPECT_EQ(values[2], 255);
    const std::vector<std::pair<long long, std::string>> expected = {
        {0, "Tone 800"},
        {100, "Drug: Adenosine"},
        {kCount - 1, "Pacemaker DDD 70 bpm AV 160 ms max 140"},
        {kCount - 1, "... bpm"}};
    EXPECT_EQ(Annotations(header), expected);
    edfclose_file(header.handle);
    EXPECT_EQ(Files().size(), 1u);
}

TEST_F(RecordingFiles, StretchEarlyInARunHasNoTrendValueYetAndManyActionsFit) {
    std::vector<EcgSample> ring(kRingSamples);
    ActionLog actions;
    for (int32_t n = 0; n < 64; ++n) actions.Append(n, "SVPB");  // 64 actions in 2 s: one record
    HeartRateRing rates;
    EcgStretch stretch;
    stretch.ring = ring.data();
    stretch.ringSize = kRingSamples;
    stretch.endIndex = 400;
    stretch.sampleCount = 400;
    stretch.lastTick = 400;
    stretch.rates = rates.liveRate;
    stretch.rateEndIndex = rates.rateIndex;
    stretch.actions = &actions;
    std::string error;
    ASSERT_TRUE(WriteEcgStretchEdf(dir_ / "early.edf", stretch, "m", error)) << error;
    edf_hdr_struct header;
    ASSERT_EQ(edfopen_file_readonly((dir_ / "early.edf").string().c_str(), &header,
                                    EDFLIB_READ_ALL_ANNOTATIONS), 0);
    EXPECT_EQ(header.datarecords_in_file, 1);
    EXPECT_EQ(header.annotations_in_file, 64);
    double rate = -1;
    ASSERT_EQ(edfread_physical_samples(header.handle, 22, 1, &rate), 1);
    EXPECT_EQ(rate, 0);
    edfclose_file(header.handle);

    // One record holds at most 64 annotations (the format's library's limit): a 65th is refused
    // with a message rather than dropped.
    actions.Append(100, "VPB");
    EXPECT_FALSE(WriteEcgStretchEdf(dir_ / "dense.edf", stretch, "m", error));
    EXPECT_NE(error.find("too many events"), std::string::npos) << error;
    stretch.sampleCount = 0;
    EXPECT_FALSE(WriteEcgStretchEdf(dir_ / "none.edf", stretch, "m", error));
    EXPECT_NE(error.find("nothing to record"), std::string::npos) << error;
}

TEST_F(RecordingFiles, TwoWritersOfOneNameEachHaveTheirOwnTemporaryFile) {
    std::string error;
    auto first = PendingTextFile::Create(dir_ / "same.csv", error);
    auto second = PendingTextFile::Create(dir_ / "same.csv", error);
    ASSERT_TRUE(first && second) << error;
    EXPECT_EQ(Files().size(), 2u) << "two temporary files";
    first->Write("first\n");
    second->Write("second\n");
    ASSERT_TRUE(second->Finish(error)) << error;
    ASSERT_TRUE(first->Finish(error)) << error;
    EXPECT_EQ(Read(dir_ / "same.csv"), "first\n") << "the last one finished is in place, whole";
    EXPECT_EQ(Files().size(), 1u);
}

TEST_F(RecordingFiles, OutputPathsAreCheckedBeforeWriting) {
    fs::create_directories(dir_ / "folder");
    std::ofstream(dir_ / "old.csv") << "old\n";
    struct Case {
        fs::path path;
        bool ok;
        const char* says;
    };
    const Case cases[] = {
        {dir_ / "new.csv", true, ""},
        {dir_ / "old.csv", true, ""},
        {dir_ / "folder", false, "it is a folder"},
        {dir_ / "missing" / "run.csv", false, "does not exist"},
        {dir_ / "folder" / "", false, "not a file name"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(CheckOutputPath(c.path, error), c.ok) << c.path;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.path << ": " << error;
    }
    testing::SmallFileSystem readOnly(dir_ / "readonly", "size=16k", true);
    if (readOnly.Mounted()) {
        std::string error;
        EXPECT_FALSE(CheckOutputPath(readOnly.Path() / "run.csv", error));
        EXPECT_NE(error.find("Read-only file system"), std::string::npos) << error;
        EXPECT_FALSE(PendingTextFile::Create(readOnly.Path() / "run.csv", error));
        EXPECT_NE(error.find("cannot create the file: Read-only file system"), std::string::npos)
            << error;
    }
}

TEST_F(RecordingFiles, OutputsAreComparedByTheFileTheyName) {
    fs::create_directories(dir_ / "sub");
    std::ofstream(dir_ / "exists.csv") << "x\n";
    fs::create_symlink(dir_ / "exists.csv", dir_ / "link.csv");
    fs::create_hard_link(dir_ / "exists.csv", dir_ / "hard.csv");
    const fs::path here = fs::current_path();
    fs::current_path(dir_);
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"same.csv", "./same.csv", true},        {"same.csv", "sub/../same.csv", true},
        {"exists.csv", "link.csv", true},        {"exists.csv", "hard.csv", true},
        {"same.csv", "other.csv", false},        {"same.csv", "sub/same.csv", false},
    };
    for (const Case& c : cases) EXPECT_EQ(SameOutputFile(c.a, c.b), c.same) << c.a << " " << c.b;
    EXPECT_TRUE(SameOutputFile(dir_ / "same.csv", "same.csv"));
    fs::current_path(here);
}

// A full disk: every writer fails with a message, leaves no file and keeps an older one whole.
TEST_F(RecordingFiles, FullDiskLeavesNoFileAndKeepsTheOlderOne) {
    testing::SmallFileSystem disk(dir_ / "disk", "size=100k");
    if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    for (const char* name : {"run.csv", "run.edf", "frozen.edf"}) {
        const fs::path path = disk.Path() / name;
        std::ofstream(path) << "older\n";
        std::string error;
        bool finished = false;
        if (std::string(name) == "frozen.edf") {
            std::vector<EcgSample> ring(kRingSamples);
            EcgStretch stretch;
            stretch.ring = ring.data();
            stretch.ringSize = kRingSamples;
            stretch.sampleCount = kRingSamples;
            finished = WriteEcgStretchEdf(path, stretch, "m", error);
        } else {
            auto recording = OpenEcgRecording(path, "m", error);
            ASSERT_TRUE(recording) << error;
            for (int i = 0; i < 20000; ++i) recording->Add(MakeTick(i));  // about 1.7 MB
            finished = recording->Finish(error);
        }
        EXPECT_FALSE(finished) << name;
        EXPECT_NE(error.find(name), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
        EXPECT_EQ(Read(path), "older\n") << name;
        std::vector<fs::path> left;
        for (const auto& entry : fs::directory_iterator(disk.Path())) left.push_back(entry.path());
        EXPECT_EQ(left.size(), 1u) << "no temporary file left by " << name;
        fs::remove(path);
    }
}

}  // namespace
}  // namespace vantrel
