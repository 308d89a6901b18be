#include "recording/ecg_stretch_recording.h"

#include <algorithm>
#include <vector>

#include "recording/ecg_recording.h"
#include "recording/edf_writer.h"

namespace vantrel {
namespace {

// Records of 5 s: the trend's one value per 5 s is one sample per record.
constexpr int kSamplesPerRecord = 1000;
constexpr int kRecordDuration10us = 500000;
constexpr int kMaxAnnotationSignals = 64;  // EDFlib's limit

EdfSignal HeartRateSignal() {
    EdfSignal signal;
    signal.label = "Heart rate";
    signal.dimension = "bpm";
    signal.samplesPerRecord = 1;
    signal.digitalMin = 0;
    signal.digitalMax = 255;
    signal.physicalMin = 0;
    signal.physicalMax = 255;
    return signal;
}

}  // namespace

bool WriteEcgStretchEdf(const std::filesystem::path& path, const EcgStretch& stretch,
                        const std::string& modelName, std::string& error) {
    if (!stretch.ring || stretch.ringSize <= 0 || stretch.sampleCount <= 0 ||
        stretch.sampleCount > stretch.ringSize || stretch.endIndex < 0 ||
        stretch.endIndex > stretch.ringSize) {
        error = path.string() + ": nothing to record";
        return false;
    }
    const int32_t count = stretch.sampleCount;
    const int32_t records = (count + kSamplesPerRecord - 1) / kSamplesPerRecord;

    // The actions of the stretch, oldest first, with the sample they act on first.
    struct Placed {
        int32_t sample;
        const char* text;
    };
    std::vector<Placed> placed;
    if (stretch.actions) {
        for (int32_t n = 0; n < stretch.actions->Held(); ++n) {
            const ActionEntry& entry = stretch.actions->Held(n);
            // Applied after tick T, an action acts from tick T + 1 on.
            const uint32_t ago = TicksBefore(stretch.lastTick, entry.tick);
            if (ago >= 1 && ago <= static_cast<uint32_t>(count))
                placed.push_back({count - static_cast<int32_t>(ago), entry.text});
        }
    }
    int64_t pieces = 0;
    for (const Placed& p : placed) pieces += static_cast<int64_t>(SplitEdfAnnotation(p.text).size());
    const int annotationSignals = static_cast<int>(
        std::clamp<int64_t>((pieces + records - 1) / records, 1, kMaxAnnotationSignals));

    std::vector<EdfSignal> signals = EcgEdfSignals(kSamplesPerRecord);
    const bool withTrend = stretch.rates != nullptr;
    if (withTrend) signals.push_back(HeartRateSignal());
    auto writer = EdfWriter::Open(path, signals, kRecordDuration10us, annotationSignals,
                                  modelName, error);
    if (!writer) return false;

    std::vector<std::vector<short>> record(kEcgEdfSignals, std::vector<short>(kSamplesPerRecord));
    if (withTrend) record.emplace_back(1);
    const int32_t first = (stretch.endIndex - count + stretch.ringSize) % stretch.ringSize;
    const int32_t trendValues = withTrend ? std::clamp(stretch.rateValues, 0, kRateRingSize) : 0;
    for (int32_t r = 0; r < records; ++r) {
        for (int32_t k = 0; k < kSamplesPerRecord; ++k) {
            const int32_t n = r * kSamplesPerRecord + k;
            int32_t values[kEcgEdfSignals] = {};
            if (n < count) EcgSignalValues(stretch.ring[(first + n) % stretch.ringSize], values);
            for (int s = 0; s < kEcgEdfSignals; ++s)
                record[s][k] = static_cast<short>(std::clamp(values[s], -2048, 2047));
        }
        if (withTrend) {
            // The newest trend value belongs to the last record, the one before to the record
            // before it, and so on.
            const int32_t back = records - 1 - r;
            short rate = 0;
            if (back < trendValues) {
                const int32_t slot = ((stretch.rateEndIndex - 1 - back) % kRateRingSize +
                                      kRateRingSize) % kRateRingSize;
                rate = stretch.rates[slot];
            }
            record[kEcgEdfSignals][0] = rate;
        }
        writer->WriteRecord(record);
    }
    // Onsets in units of 100 microseconds: a sample is 50 of them.
    for (const Placed& p : placed) writer->Annotate(static_cast<long long>(p.sample) * 50, p.text);
    return writer->Finish(error);
}

bool WriteFrozenRecordEdf(const std::filesystem::path& path, const FrozenRecord& frozen,
                          const ActionLog& actions, const std::string& modelName,
                          std::string& error) {
    // The copy is in time order with the oldest sample (and rate) in the last slot: a ring whose
    // next slot is that last one.
    EcgStretch stretch;
    stretch.ring = frozen.frozenRing;
    stretch.ringSize = kRingSamples;
    stretch.endIndex = kRingSamples - 1;
    stretch.sampleCount = frozen.samplesKept;
    stretch.lastTick = frozen.lastTick;
    stretch.rates = frozen.frozenRate;
    stretch.rateEndIndex = kRateRingSize - 1;
    stretch.rateValues = frozen.ratesKept;
    stretch.actions = &actions;
    return WriteEcgStretchEdf(path, stretch, modelName, error);
}

}  // namespace vantrel
