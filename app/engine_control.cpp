#include "app/engine_control.h"

#include <memory>
#include <mutex>

#include "app/vantrel_doc.h"
#include "app/view_events.h"
#include "model/model_reader.h"
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

std::optional<std::string> EngineControl::DrugSelected(int index) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return doc_.therapy.DrugSelected(doc_.heart, index);
}

void EngineControl::AnswerDrug(bool getIt) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    if (getIt)
        doc_.therapy.GetDrug(doc_.heart);
    else
        doc_.therapy.DontGetDrug(doc_.heart);
}

std::optional<std::string> EngineControl::SequenceSelected(int index) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return doc_.therapy.SequenceSelected(doc_.heart, index);
}

void EngineControl::AnswerSequence(bool doIt) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    if (doIt)
        doc_.therapy.DoSequence(doc_.heart);
    else
        doc_.therapy.DontDoSequence(doc_.heart);
}

bool EngineControl::RunStartSequence() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return doc_.therapy.RunStartSequence(doc_.heart);
}

void EngineControl::QueryRates(int32_t& rate, int32_t& cell5Rate) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    rate = RateCellHeartRate(doc_.heart);
    cell5Rate = Cell5HeartRate(doc_.heart);
}

void EngineControl::PressPremature(PrematureBeatCommand command) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    PressPrematureBeat(doc_.heart, command);
}

bool EngineControl::BigeminyRunning(bool ventricular) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    return vantrel::BigeminyRunning(doc_.heart, ventricular);
}

void EngineControl::SetupPacemaker(const PacemakerSettings& settings) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    vantrel::SetupPacemaker(doc_.heart, settings);
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
    }
    if (refused) return refused->message;
    return std::nullopt;
}

void EngineControl::Shock() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    vantrel::Shock(doc_.heart);
}

void EngineControl::AtrialRemodeling() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    RemodelAtria(doc_.heart);
}

void EngineControl::SetTone(int32_t tone) {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    doc_.heart.SetTone(tone, false);
}

bool EngineControl::ToggleTWave() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    doc_.heart.tWaveOn = doc_.heart.tWaveOn ? 0 : 1;
    return doc_.heart.tWaveOn != 0;
}

bool EngineControl::ToggleRespiration() {
    std::lock_guard<std::mutex> guard(doc_.heart.lock);
    doc_.heart.respOn = doc_.heart.respOn ? 0 : 1;
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
