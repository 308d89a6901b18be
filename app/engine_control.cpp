#include "app/engine_control.h"

#include <memory>
#include <mutex>

#include "app/vantrel_doc.h"
#include "app/view_events.h"
#include "engine/action_text.h"
#include "model/model_reader.h"
#include "model/windows1252.h"
#include "engine/cardioversion.h"
#include "engine/rhythm_measurement.h"
#include "engine/stimulator.h"

namespace vantrel {

bool EngineControl::LoadModel(const std::string& fileName, bool clearPresets) {
    HeldBackNotifier heldBack(doc_.notifier);
    bool loaded = false;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        // What a failed load puts back.  The record is large; it lives on the heap for the load.
        const auto previousHeart = std::make_unique<HeartState>(static_cast<const HeartState&>(doc_.heart));
        const TherapyPanel previousTherapy = doc_.therapy;
        if (clearPresets) {
            for (auto& lead : doc_.heart.precordial)
                for (auto& term : lead) {
                    term[0] = -1;
                    term[1] = 0;
                }
        }
        EngineNotifier* own = doc_.heart.notifier;
        doc_.heart.notifier = &heldBack;
        loaded = vantrel::LoadModel(doc_.heart, fileName, doc_.ReaderOptionsForLoad());
        doc_.heart.notifier = own;
        if (loaded) {
            doc_.regional.Forget();  // a new model: its own values are the starting point
            doc_.therapy.FillLists(doc_.heart);
        } else {
            // A failure without a message box of its own (a formula error) still says why.
            if (!heldBack.HoldsMessages()) heldBack.ShowMessage("Error", doc_.heart.loadStatus);
            static_cast<HeartState&>(doc_.heart) = *previousHeart;
            doc_.therapy = previousTherapy;
        }
    }
    if (loaded) doc_.modelLoaded = true;
    heldBack.Release(loaded ? HeldBackNotifier::Outcome::Delivered : HeldBackNotifier::Outcome::Undone);
    return loaded;
}

void EngineControl::Log(const std::string& text) { doc_.actions.Append(doc_.heart.tickCount, text); }

void EngineControl::LogAction(const std::string& text) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    Log(text);
}

std::optional<std::string> EngineControl::DrugSelected(int index) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    auto comment = doc_.therapy.DrugSelected(doc_.heart, index);
    if (index == 0) Log("Washout");
    return comment;
}

void EngineControl::AnswerDrug(bool getIt) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    if (getIt) {
        doc_.therapy.GetDrug(doc_.heart);
        const auto& list = doc_.therapy.DrugList();
        const int chosen = doc_.therapy.SelectedDrug();
        if (chosen > 0 && chosen < static_cast<int>(list.size()))
            Log("Drug: " + Windows1252ToUtf8(list[chosen]));
    } else {
        doc_.therapy.DontGetDrug(doc_.heart);
        Log("Washout");
    }
}

std::optional<std::string> EngineControl::SequenceSelected(int index) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    auto comment = doc_.therapy.SequenceSelected(doc_.heart, index);
    if (index == 0) Log("Baseline");
    return comment;
}

void EngineControl::AnswerSequence(bool doIt) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    if (doIt) {
        doc_.therapy.DoSequence(doc_.heart);
        const auto& list = doc_.therapy.SequenceList();
        const int chosen = doc_.therapy.SelectedSequence();
        if (chosen > 0 && chosen < static_cast<int>(list.size()))
            Log("Sequence: " + Windows1252ToUtf8(list[chosen]));
    } else {
        doc_.therapy.DontDoSequence(doc_.heart);
        Log("Baseline");
    }
}

bool EngineControl::RunStartSequence() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    const bool ran = doc_.therapy.RunStartSequence(doc_.heart);
    if (ran) Log("Start sequence");
    return ran;
}

void EngineControl::QueryRates(int32_t& rate, int32_t& cell5Rate) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    rate = RateCellHeartRate(doc_.heart);
    cell5Rate = Cell5HeartRate(doc_.heart);
}

void EngineControl::PressPremature(PrematureBeatCommand command) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    PressPrematureBeat(doc_.heart, command);
    Log(PrematureBeatActionText(command));
}

bool EngineControl::BigeminyRunning(bool ventricular) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return vantrel::BigeminyRunning(doc_.heart, ventricular);
}

void EngineControl::SetupPacemaker(const PacemakerSettings& settings) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    vantrel::SetupPacemaker(doc_.heart, settings);
    Log(PacemakerActionText(settings));
}

std::optional<std::string> EngineControl::PressStimulator(StimulatorButton button,
                                                          const StimulatorSettings& settings) {
    std::optional<FieldRangeError> refused;
    {
        std::lock_guard<std::mutex> guard(doc_.heart.lock);
        switch (button) {
        case StimulatorButton::Start: refused = PressStimulatorStart(doc_.heart, settings); break;
        case StimulatorButton::Emergency: refused = PressStimulatorEmergency(doc_.heart, settings); break;
        case StimulatorButton::Stop: refused = PressStimulatorStop(doc_.heart, settings); break;
        case StimulatorButton::Lead: refused = SelectStimulatorLead(doc_.heart, settings); break;
        }
        if (!refused) {
            switch (button) {
            case StimulatorButton::Start:
                if (!settings.emergency) Log(StimulatorStartActionText(settings));
                break;
            case StimulatorButton::Emergency:
                Log(settings.emergency ? "Emergency pacing on" : "Emergency pacing off");
                break;
            case StimulatorButton::Stop: Log("Stimulator stop"); break;
            case StimulatorButton::Lead: Log("Stimulator lead " + std::to_string(settings.lead)); break;
            }
        }
    }
    if (refused) return refused->message;
    return std::nullopt;
}

void EngineControl::Shock() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    vantrel::Shock(doc_.heart);
    Log("Shock");
}

void EngineControl::AtrialRemodeling() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    RemodelAtria(doc_.heart);
    Log("Atrial remodeling");
}

void EngineControl::SetTone(int32_t tone) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    doc_.heart.SetTone(tone, false);
    Log("Tone " + std::to_string(tone));
}

int32_t EngineControl::ApplyTone(int32_t tone) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    doc_.heart.SetTone(tone, false);
    return doc_.heart.tickCount;
}

void EngineControl::LogToneAt(int32_t tick, int32_t tone) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    doc_.actions.Append(tick, "Tone " + std::to_string(tone));
}

int32_t EngineControl::Tone() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return doc_.heart.tone;
}

bool EngineControl::ToggleTWave() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    doc_.heart.tWaveOn = doc_.heart.tWaveOn ? 0 : 1;
    return doc_.heart.tWaveOn != 0;
}

bool EngineControl::ToggleRespiration() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    doc_.heart.respOn = doc_.heart.respOn ? 0 : 1;
    Log(doc_.heart.respOn ? "Respiratory arrhythmia on" : "Respiratory arrhythmia off");
    return doc_.heart.respOn != 0;
}

bool EngineControl::TWaveOn() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return doc_.heart.tWaveOn != 0;
}

bool EngineControl::RespirationOn() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return doc_.heart.respOn != 0;
}

}  // namespace vantrel
