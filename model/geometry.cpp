#include "model/geometry.h"

#include <cmath>
#include <cstdlib>

#include "engine/program_wide.h"
#include "model/formula.h"
#include "model/model_text.h"

namespace vantrel {

namespace {

struct RangeCommand {
    const char* word;
    int32_t low, high;
    const char* message;
};

constexpr RangeCommand kRangeCommands[] = {
    {"PasX", 1, 250, "error PasX L.n\xB0%d"},
    {"PasY", 1, 250, "error PasY L.n\xB0%d"},
    {"OffsetX", 0, 1000, "error OffsetX L.n\xB0%d"},
    {"OffsetY", 0, 1000, "error OffsetY L.n\xB0%d"},
    {"RotX", -180, 180, "error RotX (>-180 et <180) L.n\xB0%d"},
    {"RotY", -180, 180, "error RotY (>-180 et <180) L.n\xB0%d"},
    {"RotZ", -180, 180, "error RotZ (>-180 et <180) L.n\xB0%d"},
};

int32_t* RangeTarget(CCoeur& heart, std::string_view word, ModelRotation& rotation) {
    if (word == "PasX") return &heart.gridStepX;
    if (word == "PasY") return &heart.gridStepY;
    if (word == "OffsetX") return &heart.gridOffsetX;
    if (word == "OffsetY") return &heart.gridOffsetY;
    if (word == "RotX") return &rotation.x;
    if (word == "RotY") return &rotation.y;
    return &rotation.z;
}

CommandResult DeclarePosition(CCoeur& heart, std::string_view line, std::size_t& pos) {
    if (static_cast<int>(heart.positionNames.size()) >= kMaxPositions) {
        heart.loadStatus = Message("Trop de Positions L=%d", {heart.loadLine});
        return CommandResult::Failed;
    }
    Point3& slot = heart.positions[heart.positionNames.size()];
    heart.positionNames.push_back(ReadWord(line, pos));
    // A missing coordinate keeps the slot's value, which a load sets to 0.
    for (int32_t* coordinate : {&slot.x, &slot.y, &slot.z}) {
        const int32_t value = ReadNumber(line, pos);
        if (value != kNoValue) *coordinate = value;
    }
    pos = line.size();
    return CommandResult::Done;
}

CommandResult SetPrecordial(CCoeur& heart, std::string_view line, std::size_t& pos) {
    const std::string lead = ReadWord(line, pos);
    int row = -1;
    if (lead.size() == 2 && lead[0] == 'V' && lead[1] >= '1' && lead[1] <= '6') row = lead[1] - '1';
    if (row < 0) {
        pos = line.size();
        return CommandResult::Done;
    }
    for (int column = 0; column < kPrecordialTerms; ++column) {
        const std::string source = ReadWord(line, pos);
        if (source.empty()) break;
        int32_t index = kStandardVectorTerm;
        if (source != "STDV") {
            index = heart.FindCell(source.c_str());
            if (index < 0) {
                heart.loadStatus = Message("Precordial preset fails L=%d", {heart.loadLine});
                return CommandResult::Failed;
            }
        }
        heart.precordial[row][column][0] = index;
        heart.precordial[row][column][1] = ReadNumber(line, pos);
    }
    pos = line.size();
    return CommandResult::Done;
}

// The anchor coordinate named by the next "Pos<name>.<letter>" from `from` on in a definition, or
// -1 when there is none.
int32_t AnchorCoordinate(CCoeur& heart, std::string_view text, std::size_t from) {
    const std::size_t start = text.find("Pos", from);
    if (start == std::string_view::npos) return -1;
    std::size_t dot = start;
    while (dot < text.size() && text[dot] != '.' && text[dot] != ';') ++dot;
    if (dot >= text.size() || text[dot] != '.') return -1;
    const std::string name(text.substr(start, dot - start));
    const int32_t index = PositionIndex(heart, name);
    if (index < 0 || dot + 1 >= text.size()) return -1;
    const Point3& p = heart.positions[index];
    switch (text[dot + 1]) {
        case 'x': return p.x;
        case 'y': return p.y;
        case 'z': return p.z;
        default: heart.loadStatus = "Erreur dans def.Position " + name; return -1;
    }
}

// Turns (a, b) by `degrees` about the origin the way the model files were made with: polar
// radius truncated to an integer, angle kept as a 32-bit float.
void Turn(int32_t& a, int32_t& b, int32_t degrees) {
    const float angle = static_cast<float>(degrees) * 3.14159f / 180.0f;
    const double squared = static_cast<double>(a) * a + static_cast<double>(b) * b;
    const double radius = std::trunc(std::sqrt(squared));
    const float theta = static_cast<float>(std::atan2(static_cast<double>(b), a) + angle);
    const auto r = static_cast<float>(radius);
    a = TruncateToInt32(static_cast<float>(std::cos(theta)) * r);
    b = TruncateToInt32(static_cast<float>(std::sin(theta)) * r);
}

void Rotate(Point3& point, Point3& anchor, const ModelRotation& rotation) {
    // The x and z rotations turn about a line lifted by 30 % of the display scale, so that the
    // picture turns about its middle rather than its top.
    const int32_t lift = Program().displayScale * 300 / 1000;
    // Turns (a, b) with y lowered by the lift meanwhile; a or b may be y itself.
    auto turnLifted = [lift](int32_t& a, int32_t& b, int32_t& y, int32_t degrees) {
        y = WrapSub(y, lift);
        Turn(a, b, degrees);
        y = WrapAdd(y, lift);
    };
    if (rotation.x != 0) {
        turnLifted(point.y, point.z, point.y, rotation.x);
        turnLifted(anchor.y, anchor.z, anchor.y, rotation.x);
    }
    if (rotation.y != 0) {
        Turn(point.z, point.x, rotation.y);
        Turn(anchor.z, anchor.x, rotation.y);
    }
    if (rotation.z != 0) {
        turnLifted(point.x, point.y, point.y, rotation.z);
        turnLifted(anchor.x, anchor.y, anchor.y, rotation.z);
    }
}

}  // namespace

CommandResult GeometryCommand(CCoeur& heart, const std::string& word, std::string_view line,
                              std::size_t& pos, ModelRotation& rotation) {
    for (const RangeCommand& command : kRangeCommands) {
        if (word != command.word) continue;
        const int32_t value = ReadNumber(line, pos);
        if (value < command.low || value > command.high) {
            heart.loadStatus = Message(command.message, {heart.loadLine});
            return CommandResult::Failed;
        }
        *RangeTarget(heart, word, rotation) = value;
        return CommandResult::Done;
    }
    if (word == "#Pos") return DeclarePosition(heart, line, pos);
    if (word == "#SetPrecordial") return SetPrecordial(heart, line, pos);
    if (word == "#define") {
        heart.pointDefinitions.emplace_back(line.substr(std::min(pos, line.size())));
        pos = line.size();
        return CommandResult::Done;
    }
    return CommandResult::NotMine;
}

int32_t FindPointDefinition(CCoeur& heart, std::string_view name) {
    for (std::size_t i = 0; i < heart.pointDefinitions.size(); ++i) {
        std::size_t pos = 0;
        if (ReadWord(heart.pointDefinitions[i], pos) == name) return static_cast<int32_t>(i);
    }
    heart.loadStatus = "Donn\xE9" "e " + std::string(name) +
                       Message(" inconnue Ligne n\xB0%d", {heart.loadLine});
    return -1;
}

Point3 ComputeCellPoint(CCoeur& heart, int32_t selection, const ModelRotation& rotation) {
    Point3 point;
    if (selection < 0 || selection >= static_cast<int32_t>(heart.pointDefinitions.size()))
        return point;
    // A copy: evaluating the clauses must not depend on the list staying put.
    const std::string text = heart.pointDefinitions[selection];
    std::size_t pos = 0;
    ReadWord(text, pos);  // the definition's name
    for (;;) {
        char delimiter = 0;
        const std::string clause = ReadWord(text, pos, &delimiter);
        if (clause.empty()) break;
        const char axis = clause[0];
        if (delimiter != '=' || (axis != 'X' && axis != 'Y' && axis != 'Z')) {
            heart.loadStatus = "Erreur dans Position " + clause;
            break;
        }
        const int32_t anchor = AnchorCoordinate(heart, text, pos);
        const int32_t value = Evaluate(heart, text, pos);
        if (axis == 'X') {
            heart.anchorX = anchor;
            point.x = value;
        } else if (axis == 'Y') {
            heart.anchorY = WrapSub(anchor, 10);
            point.y = value;
        } else {
            heart.anchorZ = anchor;
            point.z = value;
        }
    }
    Point3 anchor{heart.anchorX, heart.anchorY, heart.anchorZ};
    Rotate(point, anchor, rotation);
    heart.anchorX = anchor.x;
    heart.anchorY = anchor.y;
    heart.anchorZ = anchor.z;
    return point;
}

void RadialVector(const CCoeur& heart, Point3 point, int32_t amplitude, CCell& cell) {
    const double dx = static_cast<double>(point.x) - heart.anchorX;
    const double dy = static_cast<double>(point.y) - heart.anchorY;
    const double dz = static_cast<double>(point.z) - heart.anchorZ;
    const double dist = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (dist == 0 || std::llabs(amplitude) < 31) {
        cell.radialX = cell.radialY = cell.radialZ = 0;
        return;
    }
    const auto d = static_cast<float>(dist);
    cell.radialX = static_cast<float>(dx) / d;
    cell.radialY = static_cast<float>(dy) / d;
    cell.radialZ = static_cast<float>(dz) / d;
}

}  // namespace vantrel
