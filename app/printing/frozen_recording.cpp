#include "app/printing/frozen_recording.h"

#include "engine/action_log.h"
#include "engine/frozen_record.h"
#include "recording/ecg_stretch_recording.h"

namespace vantrel {

bool RecordFrozenStretch(const FrozenRecord& frozen, const ActionLog& actions, const std::filesystem::path& path,
                         const std::string& modelName, std::string& error) {
    // The actions are picked from the log by their ticks, within the frozen stretch.
    return WriteFrozenRecordEdf(path, frozen, actions, modelName, error);
}

}  // namespace vantrel
