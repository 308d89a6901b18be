#include "model/body_commands.h"

#include <cstring>

#include "engine/cell_automaton.h"
#include "model/formula.h"
#include "model/model_text.h"

namespace vantrel {

namespace {

// The tone at which a new cell's first escape is scheduled: floor(sqrt(300) * 31.6).
constexpr int32_t kFirstEscapeTone = 547;

constexpr int8_t kStandardQrs[8] = {10, 20, 30, 40, 40, 30, 15, 0};

bool Between(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// Coupling numbers count only when both are present and not negative.
bool UsableCoupling(int32_t a, int32_t b) {
    return a != kNoValue && b != kNoValue && a >= 0 && b >= 0;
}

bool NameStarts(const char* name, std::initializer_list<const char*> prefixes) {
    if (std::strlen(name) < 2) return false;
    for (const char* prefix : prefixes)
        if (name[0] == prefix[0] && name[1] == prefix[1]) return true;
    return false;
}

}  // namespace

ModelBody::ModelBody(CCoeur& heart) : heart_(heart) {
    // Links read before the first one-way link keep a free orientation: the first conduction
    // from B to A turns them round (the automaton's rule).  Label offsets start at 0.
    link_.orientationFree = 1;
    link_.labelOffset = 0;
    heart_.gridStepX = 30;
    heart_.gridStepY = 26;
    heart_.gridOffsetX = 0;
    heart_.gridOffsetY = 0;
    heart_.anchorX = heart_.anchorY = heart_.anchorZ = 0;
    heart_.respSegment = 60;
    heart_.respAmplitude = 15;
    heart_.respOn = 0;
    heart_.isochroneRefIndex = -1;
}

CommandResult ModelBody::Fail(std::string status) {
    heart_.loadStatus = std::move(status);
    return CommandResult::Failed;
}

CommandResult ModelBody::ProcessLine(std::string_view line) {
    std::size_t pos = 0;
    for (;;) {
        char delimiter = 0;
        const std::string word = ReadWord(line, pos, &delimiter);
        if (word.empty()) return CommandResult::Done;
        CommandResult result = GeometryCommand(heart_, word, line, pos, rotation_);
        if (result == CommandResult::NotMine) result = GlobalCommand(word, line, pos);
        if (result == CommandResult::NotMine) {
            if (word == "#Var")
                return DeclareVariable(heart_, line, pos) ? CommandResult::Done
                                                          : CommandResult::Failed;
            if (word == "Cell") return CellLine(line, pos);
            if (word == "Lien") return LinkLine(line, pos);
            if (word[0] == '/') return CommandResult::Done;
            if (word[0] == 'm') {
                switch (AssignVariable(heart_, word, delimiter, line, pos, false)) {
                    case AssignResult::Done: return CommandResult::Done;  // rest ignored
                    case AssignResult::Failed: return CommandResult::Failed;
                    case AssignResult::FormulaFailed: return CommandResult::FormulaFailed;
                }
            }
            return Fail("error : commande inconnue :'" + word +
                        Message("' Ligne n\xB0%d", {heart_.loadLine}));
        }
        if (result != CommandResult::Done) return result;
    }
}

CommandResult ModelBody::GlobalCommand(const std::string& word, std::string_view line,
                                       std::size_t& pos) {
    const int32_t lineNo = heart_.loadLine;
    struct Coefficient {
        const char* word;
        int32_t low, high;
        int32_t CCell::*field;
        const char* message;
    };
    static constexpr Coefficient kCoefficients[] = {
        {"CoeftcPR", 10, 10000, &CCell::coefCondRrp, "Error CoeftcPR, Value=%d, L.n\xB0%d"},
        {"CoeftiPR", 20, 500, &CCell::coefArpRrp, "Error CoeftiPR, Value=%d, L.n\xB0%d"},
        {"CoeftcISC", 20, 500, &CCell::coefCondIsc, "Error CoeftcISC, Value=%d, L.n\xB0%d"},
        {"CoeftiISC", 20, 500, &CCell::coefArpIsc, "Error CoeftiISC, Value=%d, L.n\xB0%d"},
    };
    for (const Coefficient& c : kCoefficients) {
        if (word != c.word) continue;
        const int32_t value = ReadNumber(line, pos);
        if (!Between(value, c.low, c.high)) return Fail(Message(c.message, {value, lineNo}));
        cell_.cell.*c.field = value;
        return CommandResult::Done;
    }

    // Commands that name a cell: the line number stands before the cell word in the message.
    auto cellWord = [&](std::string& name, const char* message) {
        name = ReadWord(line, pos);
        const int32_t index = heart_.FindCell(name.c_str());
        if (index < 0) Fail(Message(message, {lineNo}) + name);
        return index;
    };
    std::string name;
    if (word == "Freq" || word == "RAZDepol") {
        const bool rate = word == "Freq";
        const int32_t index = cellWord(name, rate ? "error Freq : L.n\xB0%d " : "error Depol : L.n\xB0%d ");
        if (index < 0) return CommandResult::Failed;
        (rate ? heart_.rateCellIndex : heart_.isochroneRefIndex) = index;
        return CommandResult::Done;
    }
    if (word == "SVPB" || word == "VPB") {
        const bool supra = word == "SVPB";
        const int32_t index = cellWord(name, supra ? "error SVPB L.n\xB0%d " : "error VPB L.n\xB0%d ");
        const int32_t a = ReadNumber(line, pos);
        const int32_t b = ReadNumber(line, pos);
        if (index < 0) return CommandResult::Failed;
        (supra ? heart_.svpbCell : heart_.vpbCell) = index;
        // The pair takes the numbers in reverse order.
        if (UsableCoupling(a, b)) (supra ? heart_.svpbCoupling : heart_.vpbCoupling) = {b, a};
        return CommandResult::Done;
    }
    if (word == "SVPBBgTg" || word == "VPBBgTg") {
        const bool supra = word == "SVPBBgTg";
        const int32_t index = cellWord(
            name, supra ? "error SV Bg et Tg L.n\xB0%d " : "error BgV & TgV L.n\xB0%d ");
        const int32_t every = ReadNumber(line, pos);
        const int32_t c = ReadNumber(line, pos);
        const int32_t d = ReadNumber(line, pos);
        if (index < 0) return CommandResult::Failed;
        (supra ? heart_.svpbBgTgCell : heart_.vpbBgTgCell) = index;
        if (every != kNoValue && every > 0) {
            (supra ? heart_.svpbEvery : heart_.vpbEvery) = every;
            CCell& focus = heart_.cells[index];
            focus.ectopicEvery = every;
            if (UsableCoupling(c, d)) focus.ectopicFirst = {c, d};
            focus.dirty = 1;
        }
        return CommandResult::Done;
    }
    if (word == "SVBalance") {
        const int32_t value = ReadNumber(line, pos);
        if (!Between(value, 0, 1000)) return Fail(Message("error SVBalance=%d,L.n\xB0%d", {value, lineNo}));
        heart_.SetTone(value, true);
        return CommandResult::Done;
    }
    if (word == "RespAmp") {
        const int32_t value = ReadNumber(line, pos);
        if (!Between(value, 0, 100)) return Fail(Message("error RespAmp =%d,L.n\xB0%d", {value, lineNo}));
        heart_.respAmplitude = value;
        heart_.respOn = 1;
        return CommandResult::Done;
    }
    if (word == "RespFreq") {
        const int32_t value = ReadNumber(line, pos);
        if (!Between(value, 1, 100)) return Fail(Message("error RespFreq =%d,L.n\xB0%d", {value, lineNo}));
        heart_.respSegment = 600 / value;  // ticks per step of the 20-step breathing table
        heart_.respOn = 1;
        return CommandResult::Done;
    }
    return CommandResult::NotMine;
}

CommandResult ModelBody::CellLine(std::string_view line, std::size_t& pos) {
    const std::string quoted = ReadWord(line, pos);
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
        return Fail(Message("error Cell Name L.n\xB0%d", {heart_.loadLine}));
    // Refused before anything is written: the store holds 1000 cells.
    if (heart_.cellCount >= kMaxCells)
        return Fail(Message("Too many cells (1000 at most) L.n\xB0%d", {heart_.loadLine}));
    cell_.cell.windowB = 0;
    cell_.cell.windowH = 0;
    for (;;) {
        char delimiter = 0;
        const std::string word = ReadWord(line, pos, &delimiter);
        if (word.empty()) break;
        bool lineDone = false;
        const CommandResult result = CellAttribute(word, delimiter, line, pos, lineDone);
        if (result != CommandResult::Done) return result;
        if (lineDone) break;
    }
    return FinishCell(quoted.substr(1, quoted.size() - 2));
}

CommandResult ModelBody::CellAttribute(const std::string& word, char delimiter,
                                       std::string_view line, std::size_t& pos, bool& lineDone) {
    const int32_t lineNo = heart_.loadLine;
    CCell& cell = cell_.cell;
    // Formulas stored as they come (a failed one stores 32768).
    struct Plain {
        const char* word;
        int32_t CellTemplate::*field;
    };
    static constexpr Plain kPlain[] = {
        {"EB", &CellTemplate::escapeB},   {"EH", &CellTemplate::escapeH},
        {"CAB", &CellTemplate::antCondB}, {"CAH", &CellTemplate::antCondH},
        {"CRB", &CellTemplate::retCondB}, {"CRH", &CellTemplate::retCondH},
        {"PRAB", &CellTemplate::arpB},    {"PRAH", &CellTemplate::arpH},
        {"PRRB", &CellTemplate::rrpB},    {"PRRH", &CellTemplate::rrpH},
        {"Amp", &CellTemplate::amplitude},
    };
    for (const Plain& p : kPlain) {
        if (word != p.word) continue;
        cell_.*p.field = Evaluate(heart_, line, pos);
        return CommandResult::Done;
    }
    // Formulas that fail the load when they fail.
    auto checked = [&](const char* message, int32_t& value) {
        value = Evaluate(heart_, line, pos);
        if (value != kNoValue) return true;
        Fail(Message(message, {lineNo}));
        return false;
    };
    int32_t value = 0;
    if (word == "Type") {
        value = ReadNumber(line, pos);
        if (value == 0 || value == 1) cell.cellType = value;
    } else if (word == "X") {
        cell_.gridX = ReadNumber(line, pos);
    } else if (word == "Y") {
        cell_.gridY = ReadNumber(line, pos);
    } else if (word == "XYZ") {
        const int32_t selection = FindPointDefinition(heart_, ReadWord(line, pos));
        if (selection < 0) return CommandResult::Failed;
        heart_.pointSelection = selection;
    } else if (word == "BPRXB") {
        if (!checked("Erreur ds Formule BPRXB Ligne n\xB0%d", value)) return CommandResult::Failed;
        cell.windowB = value;
    } else if (word == "BPRXH") {
        if (!checked("Erreur ds Formule BPRXH Ligne n\xB0%d", value)) return CommandResult::Failed;
        cell.windowH = value;
    } else if (word == "PasFT") {
        if (!checked("Erreur ds Formule PasFatig Ligne n\xB0%d", value)) return CommandResult::Failed;
        cell.fatigueStep = value;
    } else if (word == "Flux") {
        if (!checked("Erreur ds Formule Flux Ligne n\xB0%d", value)) return CommandResult::Failed;
        cell.flux = value;
        heart_.ischemiaOn = 1;
    } else if (word == "SetT") {
        if (!checked("Erreur ds Formule SetT Ligne n\xB0%d", value)) return CommandResult::Failed;
        cell.tWave = cell.tSmoothed = cell.modelTWave = value;
    } else if (word == "SetQRS") {
        for (int i = 0; i < 8; ++i) {
            if (!checked("Erreur ds Formule SetQRS Ligne n\xB0%d", value)) return CommandResult::Failed;
            cell.qrsShape[i] = cell.modelQrsShape[i] = static_cast<int8_t>(value & 0xFF);
        }
    } else if (word == "SetQStd") {
        std::memcpy(cell.qrsShape, kStandardQrs, sizeof kStandardQrs);
        std::memcpy(cell.modelQrsShape, kStandardQrs, sizeof kStandardQrs);
    } else if (word[0] == 'm') {
        switch (AssignVariable(heart_, word, delimiter, line, pos, true)) {
            case AssignResult::Done: break;
            case AssignResult::Failed: return CommandResult::Failed;
            case AssignResult::FormulaFailed: return CommandResult::FormulaFailed;
        }
    } else if (word[0] == '/') {
        lineDone = true;
    } else {
        return Fail("error : commande inconnue :'" + word + Message("' Ligne n\xB0%d", {lineNo}));
    }
    return CommandResult::Done;
}

CommandResult ModelBody::FinishCell(const std::string& name) {
    const int32_t index = heart_.cellCount;
    CCell& cell = cell_.cell;
    cell.SetName(name.c_str());
    cell.posX = WrapAdd(WrapMul(heart_.gridStepX, cell_.gridX), heart_.gridOffsetX);
    cell.posY = WrapAdd(WrapMul(heart_.gridStepY, cell_.gridY), heart_.gridOffsetY);

    cell.SetEscape(cell_.escapeB, cell_.escapeH);
    cell.escapeCounter = std::strcmp(cell.name, "Sinus") == 0
                             ? 10
                             : Interp(cell_.escapeB, cell_.escapeH, kFirstEscapeTone) / 5;
    cell.SetAntCond(cell_.antCondB, cell_.antCondH);
    cell.SetRetCond(cell_.retCondB, cell_.retCondH);
    if (cell_.arpB > 30) {
        cell.arpSlope = -1;
        cell.SetArp(cell_.arpB, cell_.arpH);
    } else {
        // A small PRAB is a restitution slope (% of the cycle) with PRAH as its offset (ms).
        cell.arpSlope = cell_.arpB;
        cell.arpSmoothed = WrapAdd(WrapMul(cell_.arpB, 780) / 500, cell_.arpH / 5);
        cell.SetArp(WrapAdd(WrapMul(cell_.arpB, 1200) / 100, cell_.arpH), cell_.arpH);
    }
    cell.SetRrp(cell_.rrpB, cell_.rrpH);
    cell.modelEscapeB = cell.escapeB;
    cell.modelEscapeH = cell.escapeH;
    cell.modelArpB = cell.arpB;
    cell.modelArpH = cell.arpH;
    cell.modelRrpB = cell.rrpB;
    cell.modelRrpH = cell.rrpH;
    cell.modelAntCondB = cell.antCondB;
    cell.modelAntCondH = cell.antCondH;
    cell.modelRetCondB = cell.retCondB;
    cell.modelRetCondH = cell.retCondH;
    cell.amplitude = cell_.amplitude;

    const Point3 point = ComputeCellPoint(heart_, heart_.pointSelection, rotation_);
    cell.pos3dX = point.x;
    cell.pos3dY = point.y;
    cell.pos3dZ = point.z;
    RadialVector(heart_, point, cell.amplitude, cell);

    if (NameStarts(cell.name, {"RA", "LA", "IA", "PV"}))
        heart_.lastAtrialIndex = index;
    else if (heart_.firstVentricularIndex == 0 && NameStarts(cell.name, {"RV", "LV", "IV"}))
        heart_.firstVentricularIndex = index;

    heart_.cells[index].CopyFrom(cell);
    heart_.cellCount = index + 1;
    return CommandResult::Done;
}

CommandResult ModelBody::LinkLine(std::string_view line, std::size_t& pos) {
    const int32_t lineNo = heart_.loadLine;
    const std::string nameA = ReadWord(line, pos);
    const std::string nameB = ReadWord(line, pos);
    const int32_t a = heart_.FindCell(nameA.c_str());
    const int32_t b = heart_.FindCell(nameB.c_str());
    if (a < 0) return Fail("Error Link sur " + nameA + Message(" L.n\xB0%d", {lineNo}));
    if (b < 0) return Fail("Error Link sur " + nameB + Message(" L.n\xB0%d", {lineNo}));
    for (;;) {
        const std::string option = ReadWord(line, pos);
        if (option.empty()) break;
        if (option == "Bidir") link_.linkType = LinkType::Bidir;
        else if (option == "BlocAntero") link_.linkType = LinkType::BlocAntero;
        else if (option == "BlocRetro") link_.linkType = LinkType::BlocRetro;
        else if (option == "BlocComplet") link_.linkType = LinkType::BlocComplet;
        else if (option == "OffsetX") link_.labelOffset = ReadNumber(line, pos);
        else if (option == "RobustA") link_.robustA = ReadNumber(line, pos);
        else if (option == "RobustR") link_.robustR = ReadNumber(line, pos);
        // any other word is skipped
    }
    if (heart_.linkCount >= kMaxLinks)
        return Fail(Message("Too many links (2000 at most) L.n\xB0%d", {lineNo}));

    link_.cellA = a;
    link_.cellB = b;
    const CCell& ca = heart_.cells[a];
    const CCell& cb = heart_.cells[b];
    // The sides of the two boxes the picture draws the link between.
    if (ca.posX == cb.posX) {
        const bool aAbove = ca.posY < cb.posY;
        link_.sideA = aAbove ? 4 : 1;
        link_.sideB = aAbove ? 1 : 4;
    } else if (ca.posY == cb.posY) {
        const bool bLeft = cb.posX < ca.posX;
        link_.sideA = bLeft ? 2 : 8;
        link_.sideB = bLeft ? 8 : 2;
    } else {
        link_.sideA = link_.sideB = 16;
    }
    if (link_.linkType == LinkType::BlocAntero || link_.linkType == LinkType::BlocRetro)
        link_.orientationFree = 0;

    CellLink& stored = heart_.links[heart_.linkCount];
    stored = CellLink{};
    stored.cellA = link_.cellA;
    stored.sideA = link_.sideA;
    stored.cellB = link_.cellB;
    stored.sideB = link_.sideB;
    stored.orientationFree = link_.orientationFree;
    stored.labelOffset = link_.labelOffset;
    stored.showMidpoint = link_.showMidpoint;
    stored.robustA = link_.robustA;
    stored.robustR = link_.robustR;
    stored.linkType = link_.linkType;
    stored.modelLinkType = link_.linkType;
    ++heart_.linkCount;

    // A cell keeps its first 40 neighbours; later links still conduct.
    heart_.cells[a].AddNeighbour(b);
    heart_.cells[b].AddNeighbour(a);
    return CommandResult::Done;
}

}  // namespace vantrel
