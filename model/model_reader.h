// Loading a heart model file ("Clinic/NAME.hmd" under the data directory) into the heart record:
// header line, comment, drug and sequence sections with their included files, the checksummed
// body, post-processing, and the failure policy.  There is no writer: models are made by hand.
#pragma once

#include <filesystem>
#include <string>

#include "engine/heart_record.h"
#include "model/model_files.h"

namespace vantrel {

// What the load does with the header's "CS=" value.
enum class ChecksumCheck {
    Compare,  // a mismatch ends the program
    Show,     // "/XCS": show the computed sum ("Interesting Message"), never fail on it
    Skip,     // "/NOCS": no comparison
};

// The command-line switches "/XCS" and "/NOCS", also spelled "--xcs" and "--nocs"; "/XCS" wins
// when both are given.
ChecksumCheck ChecksumCheckFromArguments(int argc, const char* const* argv);

struct ReaderOptions {
    std::filesystem::path dataDirectory;  // holds Clinic/, Drugs/, Seq/; empty: current directory
    // Suffix of the current language's drug and sequence files ("" = no language files).
    std::string languageSuffix;
    ChecksumCheck checksum = ChecksumCheck::Compare;
    const ModelFileSource* files = nullptr;  // nullptr: the disk
};

inline constexpr const char* kDefaultModelFile = "1.1 Normal.hmd";

// Loads `fileName` (no directory; "" = the default model, "XXX" = the last model loaded) into
// `heart` in place.  True on success.  Message boxes and the end of the program after a fatal
// model error go through heart.notifier; whatever happens, the record stays one the engine can
// run and a later load can start from.
bool LoadModel(CCoeur& heart, std::string fileName, const ReaderOptions& options);

}  // namespace vantrel
