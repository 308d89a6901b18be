#include "recording/ecg_recording.h"

#include <edflib.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <system_error>
#include <vector>

#include "engine/ecg_display.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

constexpr int kIntracardiacLeads = 4;
constexpr int kEdfSignals = kLeadCount + kIntracardiacLeads;  // the marker goes into annotations
// Data records of 0.1 s (20 samples) keep the padding of the last one short and give room for
// thirty annotations per second in three annotation signals (EDFlib keeps as many
// annotations as records times annotation signals, and drops the rest).
constexpr int kSamplesPerRecord = 20;
constexpr int kRecordDuration10us = 10000;
constexpr int kAnnotationSignals = 3;
constexpr int kAnnotationsPerRecord = kAnnotationSignals;
// 4096 digital steps of 12.5 microvolts: -25.6 mV .. 25.5875 mV.
constexpr int kDigitalMin = -2048;
constexpr int kDigitalMax = 2047;

std::string Lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void AppendInt(std::string& line, int32_t value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    line.append(digits, result.ptr);
}

// The values of one sample in signal order: the seventeen leads, then I.C.1..4.
void SignalValues(const EcgSample& sample, int32_t (&values)[kEdfSignals]) {
    for (int lead = 0; lead < kLeadCount; ++lead) values[lead] = LeadValue(sample, lead);
    for (int n = 0; n < kIntracardiacLeads; ++n)
        values[kLeadCount + n] = sample.bytes[kEcgIc1 + n];
}

std::string ComplexText(const RecordingTick& tick) {
    return "Complex RR=" + std::to_string(tick.rr) + " PR=" + std::to_string(tick.pr) +
           " QT=" + std::to_string(tick.qt) + " ms";
}

class CsvRecording : public EcgRecording {
public:
    explicit CsvRecording(std::unique_ptr<PendingTextFile> file) : file_(std::move(file)) {
        file_->Write(EcgCsvHeader());
    }

    void Add(const RecordingTick& tick) override {
        int32_t values[kEdfSignals];
        SignalValues(tick.sample, values);
        line_.clear();
        AppendInt(line_, tick.tick);
        for (int32_t v : values) {
            line_ += ',';
            AppendInt(line_, v);
        }
        line_ += ',';
        AppendInt(line_, tick.sample.bytes[kEcgMarker]);
        line_ += '\n';
        file_->Write(line_);
    }

    bool Finish(std::string& error) override { return file_->Finish(error); }

private:
    std::unique_ptr<PendingTextFile> file_;
    std::string line_;
};

class EdfRecording : public EcgRecording {
public:
    EdfRecording(fs::path path, int handle) : pending_(std::move(path)), handle_(handle) {}

    ~EdfRecording() override {
        if (handle_ >= 0) edfclose_file(handle_);
    }

    void Add(const RecordingTick& tick) override {
        if (failed_) return;
        int32_t values[kEdfSignals];
        SignalValues(tick.sample, values);
        for (int s = 0; s < kEdfSignals; ++s)
            record_[s][filled_] = static_cast<short>(std::clamp(values[s], kDigitalMin, kDigitalMax));
        // Onsets in units of 100 microseconds: a tick is 50 of them.
        const long long onset = samples_ * 50;
        if (tick.stimulus) Annotate(onset, "Stimulus");
        if (tick.complexClosed) Annotate(onset, ComplexText(tick));
        ++samples_;
        if (++filled_ == kSamplesPerRecord) WriteRecord();
    }

    bool Finish(std::string& error) override {
        if (handle_ < 0) {
            error = pending_.FinalPath().string() + ": already finished";
            return false;
        }
        if (!failed_ && samples_ == 0) Fail("an EDF recording needs at least one sample");
        // The last record is completed with zeros: EDF holds whole records only.
        if (!failed_ && filled_ > 0) {
            for (int s = 0; s < kEdfSignals; ++s)
                std::fill(record_[s] + filled_, record_[s] + kSamplesPerRecord, short{0});
            WriteRecord();
        }
        if (!failed_ && annotations_ > records_ * kAnnotationsPerRecord)
            Fail("too many events for the recording's annotation space");
        const int handle = handle_;
        handle_ = -1;
        if (edfclose_file(handle) != 0 && !failed_) Fail("cannot complete the EDF file");
        if (failed_) {
            error = pending_.FinalPath().string() + ": " + message_;
            pending_.Abandon();
            return false;
        }
        return pending_.Commit(error);
    }

private:
    void Annotate(long long onset, const std::string& text) {
        if (edfwrite_annotation_utf8(handle_, onset, -1, text.c_str()) != 0)
            Fail("cannot write an annotation");
        ++annotations_;
    }

    void WriteRecord() {
        for (int s = 0; s < kEdfSignals && !failed_; ++s)
            if (edfwrite_digital_short_samples(handle_, record_[s]) != 0) Fail("write error");
        filled_ = 0;
        ++records_;
    }

    void Fail(std::string message) {
        if (failed_) return;
        failed_ = true;
        message_ = std::move(message);
    }

    PendingFile pending_;
    int handle_;
    short record_[kEdfSignals][kSamplesPerRecord] = {};
    int filled_ = 0;
    long long samples_ = 0;
    long long records_ = 0;
    long long annotations_ = 0;
    bool failed_ = false;
    std::string message_;
};

// EDF+ labels after the usual "type name" pattern.
constexpr const char* kEdfLabels[kEdfSignals] = {
    "ECG I",   "ECG II",  "ECG III", "ECG aVR", "ECG aVL",  "ECG aVF",  "ECG V1",
    "ECG V2",  "ECG V3",  "ECG V4",  "ECG V5",  "ECG V6",   "ECG X",    "ECG Y",
    "ECG Z",   "ECG Oes", "Resp",    "EGM I.C.1", "EGM I.C.2", "EGM I.C.3", "EGM I.C.4"};

std::unique_ptr<EcgRecording> OpenEdf(const fs::path& path, const std::string& modelName,
                                      std::string& error) {
    fs::path temporary = path;
    temporary += ".part";
    const int handle =
        edfopen_file_writeonly(temporary.string().c_str(), EDFLIB_FILETYPE_EDFPLUS, kEdfSignals);
    if (handle < 0) {
        error = path.string() + ": cannot create the file";
        return nullptr;
    }
    auto recording = std::make_unique<EdfRecording>(path, handle);
    bool ok = edf_set_datarecord_duration(handle, kRecordDuration10us) == 0 &&
              edf_set_number_of_annotation_signals(handle, kAnnotationSignals) == 0 &&
              edf_set_equipment(handle, "Vantrel simulator") == 0 &&
              edf_set_recording_additional(handle, modelName.c_str()) == 0;
    const double unit = kMicrovoltsPerUnit / 1000.0;
    for (int s = 0; s < kEdfSignals && ok; ++s) {
        ok = edf_set_samplefrequency(handle, s, kSamplesPerRecord) == 0 &&
             edf_set_digital_minimum(handle, s, kDigitalMin) == 0 &&
             edf_set_digital_maximum(handle, s, kDigitalMax) == 0 &&
             edf_set_physical_minimum(handle, s, kDigitalMin * unit) == 0 &&
             edf_set_physical_maximum(handle, s, kDigitalMax * unit) == 0 &&
             edf_set_physical_dimension(handle, s, "mV") == 0 &&
             edf_set_transducer(handle, s, "simulated") == 0 &&
             edf_set_label(handle, s, kEdfLabels[s]) == 0;
    }
    if (!ok) {
        error = path.string() + ": cannot set up the EDF header";
        return nullptr;  // the recording's destructor closes and removes the file
    }
    return recording;
}

}  // namespace

std::string EcgCsvHeader() {
    std::string header = "tick";
    for (std::string_view name : LeadTable) {
        header += ',';
        header += name;
    }
    header += ",IC1,IC2,IC3,IC4,marker\n";
    return header;
}

std::unique_ptr<EcgRecording> OpenEcgRecording(const fs::path& path, const std::string& modelName,
                                               std::string& error) {
    const std::string extension = Lowercase(path.extension().string());
    if (extension == ".edf") return OpenEdf(path, modelName, error);
    if (extension == ".csv") {
        auto file = PendingTextFile::Create(path, error);
        if (!file) return nullptr;
        return std::make_unique<CsvRecording>(std::move(file));
    }
    error = path.string() + ": an ECG recording must end in .csv or .edf";
    return nullptr;
}

PendingFile::PendingFile(fs::path path) : final_(std::move(path)), temporary_(final_) {
    temporary_ += ".part";
}

PendingFile::~PendingFile() {
    if (!committed_) Abandon();
}

void PendingFile::Abandon() {
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

bool PendingFile::Commit(std::string& error) {
    std::error_code failure;
    fs::rename(temporary_, final_, failure);
    if (failure) {
        error = final_.string() + ": " + failure.message();
        return false;
    }
    committed_ = true;
    return true;
}

std::unique_ptr<PendingTextFile> PendingTextFile::Create(const fs::path& path, std::string& error) {
    fs::path temporary = path;
    temporary += ".part";
    std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
    if (!file) {
        error = path.string() + ": cannot create the file";
        return nullptr;
    }
    return std::unique_ptr<PendingTextFile>(new PendingTextFile(path, file));
}

PendingTextFile::PendingTextFile(fs::path path, std::FILE* file)
    : pending_(std::move(path)), file_(file) {}

PendingTextFile::~PendingTextFile() {
    if (file_) std::fclose(file_);
}

void PendingTextFile::Write(std::string_view text) {
    if (!failed_ && std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
}

bool PendingTextFile::Finish(std::string& error) {
    std::FILE* file = file_;
    file_ = nullptr;
    if (!file) {
        error = pending_.FinalPath().string() + ": already finished";
        return false;
    }
    if (std::fflush(file) != 0) failed_ = true;
    if (std::fclose(file) != 0) failed_ = true;
    if (failed_) {
        error = pending_.FinalPath().string() + ": write error";
        pending_.Abandon();
        return false;
    }
    return pending_.Commit(error);
}

}  // namespace vantrel
