#include "recording/edf_writer.h"

#include <edflib.h>

#include <cstdio>
#include <string_view>

namespace vantrel {

std::unique_ptr<EdfWriter> EdfWriter::Open(const std::filesystem::path& path,
                                           const std::vector<EdfSignal>& signals,
                                           int recordDuration10us, int annotationSignals,
                                           const std::string& recordingField, std::string& error) {
    std::FILE* created = nullptr;
    auto pending = std::make_unique<PendingFile>(path, &created, error);
    if (!pending->Created()) return nullptr;
    // The library opens the file by its name; the name is ours since it was created exclusively.
    std::fclose(created);
    const int handle = edfopen_file_writeonly(pending->TemporaryPath().string().c_str(),
                                              EDFLIB_FILETYPE_EDFPLUS,
                                              static_cast<int>(signals.size()));
    if (handle < 0) {
        error = path.string() + ": cannot create the file";
        return nullptr;
    }
    std::unique_ptr<EdfWriter> writer(new EdfWriter(std::move(pending), handle, annotationSignals));
    bool ok = edf_set_datarecord_duration(handle, recordDuration10us) == 0 &&
              edf_set_number_of_annotation_signals(handle, annotationSignals) == 0 &&
              edf_set_equipment(handle, "Vantrel simulator") == 0 &&
              edf_set_recording_additional(handle, recordingField.c_str()) == 0;
    for (int s = 0; s < static_cast<int>(signals.size()) && ok; ++s) {
        const EdfSignal& signal = signals[s];
        ok = edf_set_samplefrequency(handle, s, signal.samplesPerRecord) == 0 &&
             edf_set_digital_minimum(handle, s, signal.digitalMin) == 0 &&
             edf_set_digital_maximum(handle, s, signal.digitalMax) == 0 &&
             edf_set_physical_minimum(handle, s, signal.physicalMin) == 0 &&
             edf_set_physical_maximum(handle, s, signal.physicalMax) == 0 &&
             edf_set_physical_dimension(handle, s, signal.dimension.c_str()) == 0 &&
             edf_set_transducer(handle, s, "simulated") == 0 &&
             edf_set_label(handle, s, signal.label.c_str()) == 0;
    }
    if (!ok) {
        error = path.string() + ": cannot set up the EDF header";
        return nullptr;  // the destructor closes and removes the file
    }
    return writer;
}

EdfWriter::~EdfWriter() {
    if (handle_ >= 0) edfclose_file(handle_);
}

void EdfWriter::Fail(std::string message) {
    if (failed_) return;
    failed_ = true;
    message_ = std::move(message);
}

void EdfWriter::WriteRecord(const std::vector<std::vector<short>>& samples) {
    if (failed_ || handle_ < 0) return;
    for (const std::vector<short>& signal : samples)
        if (edfwrite_digital_short_samples(handle_, const_cast<short*>(signal.data())) != 0) {
            Fail("write error");
            return;
        }
    ++records_;
}

std::vector<std::string> SplitEdfAnnotation(std::string_view text) {
    // Cut at spaces; the following pieces start with "...".
    std::vector<std::string> pieces;
    bool first = true;
    while (first || !text.empty()) {
        const std::string prefix = first ? "" : "... ";
        const size_t room = kEdfAnnotationBytes - prefix.size();
        size_t cut = text.size();
        if (cut > room) {
            cut = text.rfind(' ', room);
            if (cut == std::string_view::npos || cut == 0) {
                cut = room;  // one long word: cut it, but not inside a UTF-8 character
                while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
            }
        }
        pieces.push_back(prefix + std::string(text.substr(0, cut)));
        text.remove_prefix(cut);
        while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
        first = false;
    }
    return pieces;
}

void EdfWriter::Annotate(long long onset100us, const std::string& text) {
    if (failed_ || handle_ < 0) return;
    for (const std::string& piece : SplitEdfAnnotation(text)) {
        if (edfwrite_annotation_utf8(handle_, onset100us, -1, piece.c_str()) != 0) {
            Fail("cannot write an annotation");
            return;
        }
        ++annotations_;
    }
}

bool EdfWriter::Finish(std::string& error) {
    const std::string name = pending_->FinalPath().string();
    if (handle_ < 0) {
        error = name + ": already finished";
        return false;
    }
    if (!failed_ && records_ == 0) Fail("an EDF recording needs at least one sample");
    // EDFlib keeps as many annotations as records times annotation signals and drops the rest.
    if (!failed_ && annotations_ > AnnotationRoom())
        Fail("too many events for the recording's annotation space");
    const int handle = handle_;
    handle_ = -1;
    if (edfclose_file(handle) != 0) Fail("cannot complete the EDF file");
    if (!failed_) {
        // The library does not report every failed write: read the file back.
        edf_hdr_struct header;
        if (edfopen_file_readonly(pending_->TemporaryPath().string().c_str(), &header,
                                  EDFLIB_READ_ALL_ANNOTATIONS) != 0) {
            Fail("write error: the file is incomplete (is the disk full?)");
        } else {
            if (header.datarecords_in_file != records_ || header.annotations_in_file != annotations_)
                Fail("write error: the file is incomplete (is the disk full?)");
            edfclose_file(header.handle);
        }
    }
    if (failed_) {
        error = name + ": " + message_;
        pending_->Abandon();
        return false;
    }
    return pending_->Commit(error);
}

}  // namespace vantrel
