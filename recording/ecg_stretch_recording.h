// The desktop's "Record ECG file": a stretch of the sample ring (the frozen 15 minutes) written as
// an EDF+ recording with the runner's signals (ecg_recording.h: the seventeen leads with
// respiration, I.C.1..4 and the marker, 200 Hz, 12.5 microvolts per unit), the heart-rate trend
// as a signal of its own ("Heart rate", bpm, one value per 5 s data record), and the user's
// actions of the stretch as annotations.
//
// Call it on the thread that owns the stretch (the interface thread, with a frozen copy of the
// ring, or with the model lock held for the live ring).  The file appears whole or not at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/action_log.h"
#include "engine/ecg_synthesis.h"
#include "engine/frozen_record.h"
#include "engine/heart_rate_ring.h"

namespace vantrel {

struct EcgStretch {
    // A ring of `ringSize` samples (the live ring of EcgDisplay, or a frozen copy of it).
    const EcgSample* ring = nullptr;
    int32_t ringSize = 0;
    // The ring's next slot at the end of the stretch: the last sample is at endIndex - 1.
    int32_t endIndex = 0;
    // Samples in the stretch, 1..ringSize: fewer than a full ring early in a run.
    int32_t sampleCount = 0;
    // The heart's tick count of the last sample; places the actions in the stretch.
    int32_t lastTick = 0;
    // The heart-rate trend: a ring of kRateRingSize values (HeartRateRing::liveRate or a frozen
    // copy) whose next slot at the end of the stretch is `rateEndIndex`; its newest value belongs
    // to the last 5 s of the stretch.  Null: no trend signal.
    const uint8_t* rates = nullptr;
    int32_t rateEndIndex = 0;
    // How many of the trend's newest values are real (pushed since the start); the records
    // without one carry 0.
    int32_t rateValues = 0;
    // The user's actions; those applied between the stretch's first and last sample become
    // annotations.  Null: none.
    const ActionLog* actions = nullptr;
};

// Writes the stretch to `path` (".edf" expected; any name is accepted as given).  The recording
// starts at the stretch's first sample; its last 5 s record is completed with zeros.  False with
// a one-line message naming the file and the reason; no file is left behind then, and an older
// file of that name is untouched.
bool WriteEcgStretchEdf(const std::filesystem::path& path, const EcgStretch& stretch,
                        const std::string& modelName, std::string& error);

// The frozen 15 minutes (what FrozenRecord::Freeze copied) with the actions of that stretch:
// WriteEcgStretchEdf over the frozen copy.  For "Record ECG file" on the frozen screen.
bool WriteFrozenRecordEdf(const std::filesystem::path& path, const FrozenRecord& frozen,
                          const ActionLog& actions, const std::string& modelName,
                          std::string& error);

}  // namespace vantrel
