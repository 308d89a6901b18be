#include "app/engine_control.h"

#include <mutex>

#include "app/vantrel_doc.h"

namespace vantrel {

bool EngineControl::Offers(EngineService) {
    // None of the engine services beyond the heart record itself is part of this build yet.
    return false;
}

bool EngineControl::QueryRates(int32_t&, int32_t&) { return false; }

void EngineControl::ProgramPremature(PrematureCommand, bool) {}

void EngineControl::SetupPacemaker(const PacemakerFields&) {}

void EngineControl::StartStimulator(const StimulatorFields&, bool) {}

void EngineControl::Shock() {}

void EngineControl::AtrialRemodeling() {}

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
