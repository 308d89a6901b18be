// The ECG recording file: every sample of a run with what happened in its tick, written as CSV
// (one line per sample) or as an EDF+ recording (21 signals and the marker at 200 Hz in
// millivolts; stimuli, closed complexes and the user's actions as annotations).  The headless
// runner records a run with it; the desktop's frozen 15 minutes go through ecg_stretch_recording.h,
// which writes the same signals.
//
// Units: one sample unit is 12.5 microvolts (kMicrovoltsPerUnit); 200 samples per second; the
// CSV's tick column is the heart's tick count, the first tick of a run after a load being 1 at
// time 0.
//
// A recording is written under a temporary name of its own and renamed to its name only when it
// is complete: a failed or abandoned recording leaves no file behind and never replaces an older
// one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ecg_synthesis.h"
#include "recording/edf_writer.h"
#include "recording/pending_file.h"

namespace vantrel {

inline constexpr int32_t kSamplesPerSecond = 200;
// One sample unit in microvolts: at the screen gain a unit is 1/8 mm on 10 mm/mV paper.
inline constexpr double kMicrovoltsPerUnit = 12.5;

// One tick as a recording receives it.
struct RecordingTick {
    int32_t tick = 0;        // the heart's tick count
    EcgSample sample;        // as the sample ring stores it
    bool stimulus = false;   // a stimulus was delivered in this tick
    bool complexClosed = false;
    int32_t rr = 0, pr = 0, qt = 0;  // ms, of the complex closed in this tick
    int32_t qrsOnsetAgo = -1;        // ticks from the complex's QRS onset to this tick; -1 unknown
};

class EcgRecording {
public:
    virtual ~EcgRecording() = default;
    // Appends one tick; the n-th tick added lies n * 5 ms after the start of the recording.
    // A write failure is remembered and reported by Finish.
    virtual void Add(const RecordingTick& tick) = 0;
    // A user's action, applied before the next tick added (EDF+ annotation; the CSV has none:
    // the runner's events file lists them).
    virtual void AddAction(std::string_view text) = 0;
    // Completes the file under its name.  False, with a one-line message, when anything failed;
    // the file then does not exist.
    virtual bool Finish(std::string& error) = 0;
};

// Opens a recording by the file's extension, ".csv" or ".edf" (any case).  Null with a one-line
// message for another extension or a file that cannot be created.  `modelName` goes into the EDF+
// recording field.
std::unique_ptr<EcgRecording> OpenEcgRecording(const std::filesystem::path& path,
                                               const std::string& modelName, std::string& error);

// The CSV header: a comment line with the units, then the column names: the tick, the seventeen
// leads of the lead table, I.C.1..4 and the marker byte.
std::string EcgCsvHeader();

// The EDF+ signals of a recording in file order: the seventeen leads, I.C.1..4, the marker.
inline constexpr int kEcgEdfSignals = 22;
std::vector<EdfSignal> EcgEdfSignals(int samplesPerRecord);
// The values of one sample in that order, in sample units.
void EcgSignalValues(const EcgSample& sample, int32_t (&values)[kEcgEdfSignals]);

// "Complex RR=800 PR=160 QT=360 ms": the annotation of a closed complex, placed at its QRS onset.
std::string ComplexAnnotationText(int32_t rr, int32_t pr, int32_t qt);

}  // namespace vantrel
