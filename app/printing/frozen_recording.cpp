#include "app/printing/frozen_recording.h"

#include <algorithm>
#include <memory>
#include <system_error>

#include "engine/frozen_record.h"
#include "recording/ecg_recording.h"

namespace vantrel {

bool RecordFrozenStretch(const FrozenRecord& frozen, const std::filesystem::path& path, const std::string& modelName,
                         std::string& error) {
    const int32_t count = std::clamp(frozen.samplesKept, 0, kRingSamples);
    if (count == 0) {
        error = path.string() + ": nothing to record";
        return false;
    }
    // The writer chooses EDF+ by the extension: another name (".ecg") is written under a name
    // of its own and renamed once complete.
    std::filesystem::path edfPath = path;
    const bool renamed = path.extension() != ".edf" && path.extension() != ".EDF";
    if (renamed) edfPath += ".tmp.edf";
    std::unique_ptr<EcgRecording> recording = OpenEcgRecording(edfPath, modelName, error);
    if (!recording) return false;
    // Oldest first: the ring's last slot holds the oldest sample, slots 0.. the following ones.
    for (int32_t n = 0; n < count; ++n) {
        RecordingTick tick;
        tick.tick = frozen.lastTick - (count - 1 - n);
        const int32_t slot = (kRingSamples - count + n + kRingSamples - 1) % kRingSamples;
        tick.sample = frozen.frozenRing[slot];
        recording->Add(tick);
    }
    if (!recording->Finish(error)) return false;
    if (renamed) {
        std::error_code failure;
        std::filesystem::rename(edfPath, path, failure);
        if (failure) {
            std::filesystem::remove(edfPath, failure);
            error = path.string() + ": cannot be written";
            return false;
        }
    }
    return true;
}

}  // namespace vantrel
