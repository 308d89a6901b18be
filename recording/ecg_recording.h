// The ECG recording file: every sample of a run with what happened in its tick, written as CSV
// (one line per sample) or as an EDF+ recording (21 signals at 200 Hz in millivolts, stimuli and
// closed complexes as annotations).  The headless runner records a run with it, and the desktop's
// "Record ECG file" command reuses it.
//
// A recording is written to "<path>.part" and renamed to its name only when it is complete:
// a failed or abandoned recording leaves no file behind and never replaces an older one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "engine/ecg_synthesis.h"

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
};

class EcgRecording {
public:
    virtual ~EcgRecording() = default;
    // Appends one tick; the n-th tick added lies n * 5 ms after the start of the recording.
    // A write failure is remembered and reported by Finish.
    virtual void Add(const RecordingTick& tick) = 0;
    // Completes the file under its name.  False, with a one-line message, when anything failed;
    // the file then does not exist.
    virtual bool Finish(std::string& error) = 0;
};

// Opens a recording by the file's extension, ".csv" or ".edf" (any case).  Null with a one-line
// message for another extension or a file that cannot be created.  `modelName` goes into the EDF+
// recording field.
std::unique_ptr<EcgRecording> OpenEcgRecording(const std::filesystem::path& path,
                                               const std::string& modelName, std::string& error);

// The CSV header: the tick, the seventeen leads of the lead table, I.C.1..4 and the marker byte.
std::string EcgCsvHeader();

// A file written under a temporary name and put in place by Commit; removed when abandoned.
class PendingFile {
public:
    explicit PendingFile(std::filesystem::path path);
    ~PendingFile();  // removes the temporary file unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::filesystem::path& TemporaryPath() const { return temporary_; }
    const std::filesystem::path& FinalPath() const { return final_; }
    // Renames the temporary file to the final name; false with a message when it cannot.
    bool Commit(std::string& error);
    // Removes the temporary file now.
    void Abandon();

private:
    std::filesystem::path final_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};

// A text file written line by line through a PendingFile (the CSV recording, the beats file).
class PendingTextFile {
public:
    // Null with a message when the file cannot be created.
    static std::unique_ptr<PendingTextFile> Create(const std::filesystem::path& path,
                                                   std::string& error);
    ~PendingTextFile();
    void Write(std::string_view text);
    // Flushes, closes and commits; false with a message on any write failure.
    bool Finish(std::string& error);

private:
    PendingTextFile(std::filesystem::path path, std::FILE* file);
    PendingFile pending_;
    std::FILE* file_;
    bool failed_ = false;
};

}  // namespace vantrel
