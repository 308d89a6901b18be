// The desktop's calls into the engine, each taken under the model lock for as short a time as it
// needs.  One place, so that the interface thread's locking stays visible and brief, and so that
// the shell can ask which engine services this build offers.
#pragma once

#include <cstdint>

#include "app/dialogs/pacemaker_dialog.h"
#include "app/dialogs/premature_panel.h"
#include "app/dialogs/stimulator_dialog.h"

namespace vantrel {

class CCVantrelDoc;

// Engine services that the desktop's commands rely on.
enum class EngineService {
    ModelFiles,      // loading heart model files
    Clock,           // the simulation clock and step-by-step
    PrematureBeats,  // premature-beat programs
    Pacemaker,
    Stimulator,
    Shock,           // cardioversion and atrial remodeling
    Therapy,         // drugs and sequences
};

class EngineControl {
public:
    explicit EngineControl(CCVantrelDoc& doc) : doc_(doc) {}

    static bool Offers(EngineService service);

    // The rate-cell heart rate and the cell-5 heart rate, bpm (rate query of the measurements).
    bool QueryRates(int32_t& rate, int32_t& cell5Rate);
    void ProgramPremature(PrematureCommand command, bool on);
    void SetupPacemaker(const PacemakerFields& fields);
    void StartStimulator(const StimulatorFields& fields, bool stop);
    void Shock();
    void AtrialRemodeling();

    // Plain record fields, toggled and read under the lock.
    void SetTone(int32_t tone);
    bool ToggleTWave();
    bool ToggleRespiration();
    bool TWaveOn();
    bool RespirationOn();

private:
    CCVantrelDoc& doc_;
};

}  // namespace vantrel
