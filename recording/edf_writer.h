// An EDF+ file written through EDFlib that appears whole or not at all: written under a
// temporary name of its own (pending_file.h), read back once closed (the record count and every
// annotation must be there: a full disk or a failed close is found even where the library does
// not report it), then renamed to its name.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "recording/pending_file.h"

namespace vantrel {

struct EdfSignal {
    std::string label;      // "type name", e.g. "ECG II"
    std::string dimension;  // physical unit, e.g. "mV"
    int samplesPerRecord = 0;
    int digitalMin = -2048, digitalMax = 2047;
    double physicalMin = 0, physicalMax = 0;
};

// The bytes of an annotation's text that the library keeps.
inline constexpr size_t kEdfAnnotationBytes = 40;

// A text as the annotations that carry it: pieces of at most kEdfAnnotationBytes.
std::vector<std::string> SplitEdfAnnotation(std::string_view text);

class EdfWriter {
public:
    // Null with a one-line message when the file cannot be created or the header is refused.
    // `recordDuration10us`: the length of a data record in units of 10 microseconds.
    static std::unique_ptr<EdfWriter> Open(const std::filesystem::path& path,
                                           const std::vector<EdfSignal>& signals,
                                           int recordDuration10us, int annotationSignals,
                                           const std::string& recordingField, std::string& error);
    ~EdfWriter();  // an unfinished file is closed and removed
    EdfWriter(const EdfWriter&) = delete;
    EdfWriter& operator=(const EdfWriter&) = delete;

    // One data record: `samples[s]` holds the record's samples of signal s.
    void WriteRecord(const std::vector<std::vector<short>>& samples);
    // An annotation at `onset100us` (units of 100 microseconds from the start of the file); a
    // text longer than kEdfAnnotationBytes continues in further annotations at the same onset.
    void Annotate(long long onset100us, const std::string& text);
    // How many annotations the file has room for with the records written so far.
    long long AnnotationRoom() const { return records_ * annotationSignals_; }
    long long Records() const { return records_; }
    bool Failed() const { return failed_; }

    // Closes, checks and puts the file in place; false with a one-line message (the file then
    // does not exist and an older file of the name is untouched).
    bool Finish(std::string& error);

private:
    EdfWriter(std::unique_ptr<PendingFile> pending, int handle, int annotationSignals)
        : pending_(std::move(pending)), handle_(handle), annotationSignals_(annotationSignals) {}
    void Fail(std::string message);

    std::unique_ptr<PendingFile> pending_;
    int handle_;
    int annotationSignals_;
    long long records_ = 0;
    long long annotations_ = 0;
    bool failed_ = false;
    std::string message_;
};

}  // namespace vantrel
