#include "engine/action_text.h"

namespace vantrel {

std::string PrematureBeatActionText(PrematureBeatCommand command) {
    switch (command) {
        case PrematureBeatCommand::Svpb: return "SVPB";
        case PrematureBeatCommand::Vpb: return "VPB";
        case PrematureBeatCommand::SvpbRun: return "SVPB run";
        case PrematureBeatCommand::VpbRun: return "VPB run";
        case PrematureBeatCommand::SvBigeminyOn: return "SV bigeminy on";
        case PrematureBeatCommand::SvBigeminyOff: return "SV bigeminy off";
        case PrematureBeatCommand::VBigeminyOn: return "V bigeminy on";
        case PrematureBeatCommand::VBigeminyOff: return "V bigeminy off";
    }
    return "Premature beat";
}

std::string PacemakerActionText(const PacemakerSettings& s) {
    if (s.mode == kPmNone) return "Pacemaker None";
    std::string text = std::string("Pacemaker ") + PacemakerModeName(s.mode) + " " +
                       std::to_string(s.basicRateBpm) + " bpm";
    // The A-V delay and the maximal rate only matter where the atrium is tracked.
    if (s.mode != kPmAai && s.mode != kPmVvi)
        text += " AV " + std::to_string(s.avDelayMs) + " ms max " + std::to_string(s.maxRateBpm) +
                " bpm";
    if (s.mode == kPmCrt) text += " VV " + std::to_string(s.vvDelayMs) + " ms";
    return text;
}

std::string StimulatorStartActionText(const StimulatorSettings& s) {
    std::string text = "Stimulator start lead " + std::to_string(s.lead);
    if (s.train) {
        text += " S1-S1 " + std::to_string(s.s1Interval) + " ms";
        return text;
    }
    text += " S1 " + std::to_string(s.s1Interval) + " ms";
    if (s.withIntermediate) text += " x" + std::to_string(s.intermediateQrs);
    text += " S2 " + std::to_string(s.s2) + " ms";
    if (s.mode == StimulatorMode::AutoIncrement)
        text += " +" + std::to_string(s.step) + " to " + std::to_string(s.limit) + " ms";
    else if (s.mode == StimulatorMode::AutoDecrement)
        text += " -" + std::to_string(s.step) + " to " + std::to_string(s.limit) + " ms";
    if (s.s3On) text += " S3 " + std::to_string(s.s3) + " ms";
    if (s.s4On) text += " S4 " + std::to_string(s.s4) + " ms";
    return text;
}

std::string ElectrodeActionText(int32_t electrode, const char* cellName) {
    const std::string name = "Electrode I.C." + std::to_string(electrode + 1);
    if (!cellName || !*cellName) return name + " removed";
    return name + " on " + cellName;
}

std::string PacemakerLeadActionText(char lead, const char* cellName) {
    const std::string name = lead == '2' ? std::string("Pacemaker lead V2") : std::string("Pacemaker lead ") + lead;
    if (!cellName || !*cellName) return name + " removed";
    return name + " on " + cellName;
}

}  // namespace vantrel
