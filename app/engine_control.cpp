#include "app/engine_control.h"

#include <mutex>

#include "app/vantrel_doc.h"
#include "engine/cardioversion.h"
#include "engine/rhythm_measurement.h"
#include "engine/stimulator.h"

namespace vantrel {

bool EngineControl::Offers(EngineService) {
    // Model files, drugs and sequences are not part of this build yet.
    return false;
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
