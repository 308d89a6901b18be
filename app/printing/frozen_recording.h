// "Record ECG file" on the frozen screen: the frozen 15 minutes written as an EDF+ recording
// (every lead, respiration, the intracardiac channels, the markers, the heart-rate trend as a
// signal of its own and the user's actions of the stretch as annotations).
#pragma once

#include <filesystem>
#include <string>

namespace vantrel {

struct ActionLog;
struct FrozenRecord;

// Writes the frozen record to `path` as EDF+, whatever its extension (".edf" is offered, ".ecg"
// accepted).  False with a one-line message; no file is left behind then.
bool RecordFrozenStretch(const FrozenRecord& frozen, const ActionLog& actions, const std::filesystem::path& path,
                         const std::string& modelName, std::string& error);

}  // namespace vantrel
