#include "recording/ecg_recording.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "engine/ecg_display.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

constexpr int kIntracardiacLeads = 4;
// Data records of 0.1 s (20 samples) keep the padding of the last one short and give room for
// thirty annotations per second in three annotation signals (EDFlib keeps as many
// annotations as records times annotation signals, and drops the rest).
constexpr int kSamplesPerRecord = 20;
constexpr int kRecordDuration10us = 10000;
constexpr int kAnnotationSignals = 3;
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

class CsvRecording : public EcgRecording {
public:
    explicit CsvRecording(std::unique_ptr<PendingTextFile> file) : file_(std::move(file)) {
        file_->Write(EcgCsvHeader());
    }

    void Add(const RecordingTick& tick) override {
        int32_t values[kEcgEdfSignals];
        EcgSignalValues(tick.sample, values);
        line_.clear();
        AppendInt(line_, tick.tick);
        for (int32_t v : values) {
            line_ += ',';
            AppendInt(line_, v);
        }
        line_ += '\n';
        file_->Write(line_);
    }

    void AddAction(std::string_view) override {}

    bool Finish(std::string& error) override { return file_->Finish(error); }

private:
    std::unique_ptr<PendingTextFile> file_;
    std::string line_;
};

class EdfRecording : public EcgRecording {
public:
    explicit EdfRecording(std::unique_ptr<EdfWriter> writer)
        : writer_(std::move(writer)), record_(kEcgEdfSignals, std::vector<short>(kSamplesPerRecord)) {}

    void Add(const RecordingTick& tick) override {
        int32_t values[kEcgEdfSignals];
        EcgSignalValues(tick.sample, values);
        for (int s = 0; s < kEcgEdfSignals; ++s)
            record_[s][filled_] = static_cast<short>(std::clamp(values[s], kDigitalMin, kDigitalMax));
        // Onsets in units of 100 microseconds: a tick is 50 of them.
        if (tick.stimulus) writer_->Annotate(samples_ * 50, "Stimulus");
        if (tick.complexClosed) {
            // At the QRS onset, so that RR reads from onset to onset where narrow and wide beats
            // mix; at the closing tick when the onset is not known.
            const long long onset =
                tick.qrsOnsetAgo >= 0 && tick.qrsOnsetAgo <= samples_ ? samples_ - tick.qrsOnsetAgo
                                                                      : samples_;
            writer_->Annotate(onset * 50, ComplexAnnotationText(tick.rr, tick.pr, tick.qt));
        }
        ++samples_;
        if (++filled_ == kSamplesPerRecord) {
            writer_->WriteRecord(record_);
            filled_ = 0;
        }
    }

    void AddAction(std::string_view text) override {
        writer_->Annotate(samples_ * 50, std::string(text));
    }

    bool Finish(std::string& error) override {
        // The last record is completed with zeros: EDF holds whole records only.
        if (filled_ > 0) {
            for (auto& signal : record_) std::fill(signal.begin() + filled_, signal.end(), short{0});
            writer_->WriteRecord(record_);
            filled_ = 0;
        }
        return writer_->Finish(error);
    }

private:
    std::unique_ptr<EdfWriter> writer_;
    std::vector<std::vector<short>> record_;
    int filled_ = 0;
    long long samples_ = 0;
};

// EDF+ labels after the usual "type name" pattern.
constexpr const char* kEdfLabels[kEcgEdfSignals] = {
    "ECG I",     "ECG II",    "ECG III",   "ECG aVR",   "ECG aVL", "ECG aVF", "ECG V1", "ECG V2",
    "ECG V3",    "ECG V4",    "ECG V5",    "ECG V6",    "ECG X",   "ECG Y",   "ECG Z",  "ECG Oes",
    "Resp",      "EGM I.C.1", "EGM I.C.2", "EGM I.C.3", "EGM I.C.4", "Marker"};

}  // namespace

std::vector<EdfSignal> EcgEdfSignals(int samplesPerRecord) {
    std::vector<EdfSignal> signals;
    const double unit = kMicrovoltsPerUnit / 1000.0;
    for (const char* label : kEdfLabels) {
        EdfSignal signal;
        signal.label = label;
        signal.dimension = "mV";
        signal.samplesPerRecord = samplesPerRecord;
        signal.digitalMin = kDigitalMin;
        signal.digitalMax = kDigitalMax;
        signal.physicalMin = kDigitalMin * unit;
        signal.physicalMax = kDigitalMax * unit;
        signals.push_back(signal);
    }
    return signals;
}

void EcgSignalValues(const EcgSample& sample, int32_t (&values)[kEcgEdfSignals]) {
    for (int lead = 0; lead < kLeadCount; ++lead) values[lead] = LeadValue(sample, lead);
    for (int n = 0; n < kIntracardiacLeads; ++n)
        values[kLeadCount + n] = sample.bytes[kEcgIc1 + n];
    values[kLeadCount + kIntracardiacLeads] = sample.bytes[kEcgMarker];
}

std::string ComplexAnnotationText(int32_t rr, int32_t pr, int32_t qt) {
    return "Complex RR=" + std::to_string(rr) + " PR=" + std::to_string(pr) +
           " QT=" + std::to_string(qt) + " ms";
}

std::string EcgCsvHeader() {
    std::string header =
        "# ECG recording: 200 samples per second; leads, I.C.1..4 and marker in units of 12.5 "
        "microvolts; tick = the heart's tick count (tick 1 = time 0 of a run after a load)\n"
        "tick";
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
    if (extension == ".edf") {
        auto writer = EdfWriter::Open(path, EcgEdfSignals(kSamplesPerRecord), kRecordDuration10us,
                                      kAnnotationSignals, modelName, error);
        if (!writer) return nullptr;
        return std::make_unique<EdfRecording>(std::move(writer));
    }
    if (extension == ".csv") {
        auto file = PendingTextFile::Create(path, error);
        if (!file) return nullptr;
        return std::make_unique<CsvRecording>(std::move(file));
    }
    error = path.string() + ": an ECG recording must end in .csv or .edf";
    return nullptr;
}

}  // namespace vantrel
