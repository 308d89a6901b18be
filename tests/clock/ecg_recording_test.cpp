#include "recording/ecg_recording.h"

#include <edflib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "engine/ecg_display.h"
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
        }
        recording->Add(t);
    }
    ASSERT_TRUE(recording->Finish(error)) << error;

    edf_hdr_struct header;
    ASSERT_EQ(edfopen_file_readonly((dir_ / "run.EDF").string().c_str(), &header,
                                    EDFLIB_READ_ALL_ANNOTATIONS),
              0);
    EXPECT_EQ(header.filetype, EDFLIB_FILETYPE_EDFPLUS);
    EXPECT_EQ(header.edfsignals, 21);
    EXPECT_EQ(header.datarecords_in_file, 13);
    EXPECT_EQ(header.file_duration, 13 * EDFLIB_TIME_DIMENSION / 10);
    EXPECT_NE(std::string(header.recording_additional).find("1.1 Normal"), std::string::npos)
        << header.recording_additional;
    EXPECT_STREQ(header.signalparam[0].label, "ECG I           ");
    EXPECT_STREQ(header.signalparam[16].label, "Resp            ");
    EXPECT_STREQ(header.signalparam[20].label, "EGM I.C.4       ");
    for (int s = 0; s < 21; ++s) {
        const edf_param_struct& p = header.signalparam[s];
        EXPECT_EQ(p.smp_in_datarecord * EDFLIB_TIME_DIMENSION / header.datarecord_duration, 200);
        EXPECT_STREQ(p.physdimension, "mV      ");
        EXPECT_NEAR((p.phys_max - p.phys_min) / (p.dig_max - p.dig_min), 0.0125, 1e-9);
    }
    // Every signal, physical values in millivolts.
    std::vector<double> values(260);
    for (int s = 0; s < 21; ++s) {
        ASSERT_EQ(edfread_physical_samples(header.handle, s, 260, values.data()), 260);
        for (int i = 0; i < samples; ++i) {
            const EcgSample sample = MakeTick(i).sample;
            const int expected =
                s < kLeadCount ? LeadValue(sample, s) : sample.bytes[kEcgIc1 + s - kLeadCount];
            ASSERT_NEAR(values[i], expected * 0.0125, 1e-6) << "signal " << s << " sample " << i;
        }
        EXPECT_NEAR(values[samples], 0.0, 1e-9) << "padding";
    }
    ASSERT_EQ(header.annotations_in_file, 2);
    edf_annotation_struct a;
    ASSERT_EQ(edf_get_annotation(header.handle, 0, &a), 0);
    EXPECT_EQ(a.onset, 40 * EDFLIB_TIME_DIMENSION / 200);
    EXPECT_STREQ(a.annotation, "Stimulus");
    ASSERT_EQ(edf_get_annotation(header.handle, 1, &a), 0);
    EXPECT_EQ(a.onset, 101 * EDFLIB_TIME_DIMENSION / 200);
    EXPECT_STREQ(a.annotation, "Complex RR=800 PR=160 QT=360 ms");
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

}  // namespace
}  // namespace vantrel
