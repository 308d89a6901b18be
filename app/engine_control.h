// The desktop's calls into the engine, each taken under the model lock for as short a time as it
// needs.  One place, so that the interface thread's locking stays visible and brief, and so that
// the shell can ask which engine services this build offers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/pacemaker.h"
#include "engine/premature_beats.h"
#include "engine/stimulator_program.h"

namespace vantrel {

class CCVantrelDoc;

// The stimulator dialog's buttons.
enum class StimulatorButton { Start, Emergency, Stop, Lead };

class EngineControl {
public:
    explicit EngineControl(CCVantrelDoc& doc) : doc_(doc) {}

    // A model load of the load, reload and language commands: the reader runs under the lock
    // (the caller has set runMode -1 first, so no tick waits long for it), the drug and sequence
    // lists are refilled from the new texts, and the reader's message boxes are shown once the
    // lock is released.  `clearPresets`: the load command starts the precordial presets afresh.
    // True when the load succeeded.
    //
    // A load that fails, for whatever reason (a file that does not open, a body error, a bad
    // checksum), shows its message and puts back the model that was there before, with its
    // lists and their selections, exactly as it was: a teacher who picks a broken file goes on
    // with the heart on the screen.  Only the start-up load of the default model may end the
    // program (the document's construction); here the reader's end request is answered by
    // keeping the previous model.  What the failed load posted (its tone, its title) is dropped.
    bool LoadModel(const std::string& fileName, bool clearPresets);

    // The drug and sequence lists: the comment to confirm, or nothing when the choice is done.
    std::optional<std::string> DrugSelected(int index);
    void AnswerDrug(bool getIt);
    std::optional<std::string> SequenceSelected(int index);
    void AnswerSequence(bool doIt);
    // The start sequence of the last load; false when the model has none.
    bool RunStartSequence();

    // The rate-cell heart rate and the cell-5 heart rate, bpm.
    void QueryRates(int32_t& rate, int32_t& cell5Rate);
    void PressPremature(PrematureBeatCommand command);
    bool BigeminyRunning(bool ventricular);
    void SetupPacemaker(const PacemakerSettings& settings);
    // The stimulator's answer when it refuses the settings (a field, or a program too long).
    std::optional<std::string> PressStimulator(StimulatorButton button, const StimulatorSettings& settings);
    void Shock();
    void AtrialRemodeling();

    // An action of the user in words (an electrode placed on the picture, ...), logged at the
    // current tick for the recordings; the calls above log their own.
    void LogAction(const std::string& text);

    // Plain record fields, set and read under the lock.
    // The tone set by the user and logged as "Tone N".
    void SetTone(int32_t tone);
    // The tone set without an entry in the action log (the steps of a drag, whose final tone is
    // logged once; the engine's own tone messages); returns the tick at which it was applied.
    int32_t ApplyTone(int32_t tone);
    // "Tone N" logged at `tick`: a drag's final tone, at the tick of its last step.
    void LogToneAt(int32_t tick, int32_t tone);
    int32_t Tone();
    bool ToggleTWave();
    bool ToggleRespiration();
    bool TWaveOn();
    bool RespirationOn();

private:
    // With the lock held.
    void Log(const std::string& text);

    CCVantrelDoc& doc_;
};

}  // namespace vantrel
