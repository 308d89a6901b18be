#include "model/formula.h"

#include <cmath>
#include <string>

#include "model/model_text.h"

namespace vantrel {

namespace {

enum class Pending { None, Add, Subtract, Multiply, Divide };

// The angle of sin and cos: degrees to radians with the language's own value of pi, as a 32-bit
// float (the model files' values depend on it: 100*sin(30) is 49, not 50).
float ToRadians(int32_t degrees, float pi) { return static_cast<float>(degrees) * pi / 180.0f; }

int32_t EvaluateFormula(CCoeur& heart, std::string_view line, std::size_t& pos,
                        bool functionsAllowed);

struct Evaluation {
    CCoeur& heart;
    std::string_view text;
    std::size_t& pos;
    int32_t result = 0;
    Pending pending = Pending::None;
    bool negate = false;
    bool ok = true;
    bool failed = false;  // the formula's value is kNoValue

    void Apply(int32_t v) {
        if (negate) v = WrapSub(0, v);
        switch (pending) {
            case Pending::Add: result = WrapAdd(result, v); break;
            case Pending::Subtract: result = WrapSub(result, v); break;
            case Pending::Multiply: result = WrapMul(result, v); break;
            case Pending::Divide:
                // Dividing by zero fails the formula rather than the program.
                if (v == 0) {
                    failed = true;
                    return;
                }
                result = WrapDiv(result, v);
                break;
            case Pending::None: result = v; break;
        }
        pending = Pending::None;
        negate = false;
    }

    bool StartsWith(std::string_view word) const { return text.substr(pos, word.size()) == word; }
    std::size_t Left() const { return text.size() - pos; }

    void Variable() {
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != '+' && text[pos] != '-' && text[pos] != '*' &&
               text[pos] != ',' && text[pos] != ';')
            ++pos;
        const std::string_view name = text.substr(start, pos - start);
        const int32_t value = VariableValue(heart, name);
        if (value == kNoValue) {
            heart.loadStatus = "Variable " + std::string(name) + " non trouv\xE9" "e";
            failed = true;
            return;
        }
        Apply(value);
    }

    void Position() {
        const std::size_t start = pos;
        while (pos < text.size() && text[pos] != '.') ++pos;
        const std::string name(text.substr(start, pos - start));
        const int32_t index = PositionIndex(heart, name);
        // An undeclared position, or a text that ends before the coordinate letter, counts as 0:
        // the load must not depend on values left over from earlier operands.
        int32_t value = 0;
        if (index >= 0 && pos < text.size()) {
            ++pos;  // the "."
            if (pos < text.size()) {
                const char letter = text[pos++];
                const Point3& p = heart.positions[index];
                if (letter == 'x') value = p.x;
                else if (letter == 'y') value = p.y;
                else if (letter == 'z') value = p.z;
                else {
                    heart.loadStatus = "Erreur dans def.Position " + name;
                    ok = false;
                }
            }
        }
        Apply(value);
    }

    void Operator(char c) {
        const Pending op = c == '+' ? Pending::Add
                           : c == '-' ? Pending::Subtract
                           : c == '*' ? Pending::Multiply
                                      : Pending::Divide;
        if (pending == Pending::None) pending = op;
        else if (pending == Pending::Multiply || pending == Pending::Divide) {
            if (c == '-') negate = true;
            else failed = true;
        }
        ++pos;
    }

    // sin( or cos(: returns false when the whole evaluation must return 0.
    bool Function(bool isSine) {
        pos += 4;  // "sin(" or "cos("
        const std::size_t close = text.find(')', pos);
        const std::size_t end = close == std::string_view::npos ? text.size() : close;
        if (close == std::string_view::npos) {
            heart.loadStatus = "Manque ')' dans formule...";
            ok = false;
        }
        std::size_t argPos = 0;
        // Functions do not nest: the argument is a plain formula (which also bounds the depth of
        // evaluation whatever a file holds).
        const int32_t angle =
            EvaluateFormula(heart, text.substr(pos, end - pos), argPos, false);
        // A failed argument fails both functions alike.  The reading goes on after the closing
        // bracket, so that the caller reads the next attribute and not the rest of the argument.
        if (angle == kNoValue) {
            heart.loadStatus = Message("Erreur ds Formule Ligne n\xB0%d", {heart.loadLine});
            pos = close == std::string_view::npos ? text.size() : close + 1;
            return false;
        }
        if (pending == Pending::Multiply) {
            const float radians = ToRadians(angle, isSine ? 3.14159f : 3.1416f);
            const float factor = static_cast<float>(isSine ? std::sin(radians) : std::cos(radians));
            result = TruncateToInt32(factor * static_cast<float>(result));
        }
        pos = close == std::string_view::npos ? text.size() : close + 1;
        pending = Pending::None;
        return true;
    }
};

int32_t EvaluateFormula(CCoeur& heart, std::string_view line, std::size_t& pos,
                        bool functionsAllowed) {
    if (pos > line.size()) pos = line.size();
    Evaluation e{heart, line, pos};
    for (;;) {
        while (pos < line.size() && line[pos] == ' ') ++pos;
        if (pos >= line.size()) break;
        const char c = line[pos];
        if (c == ';') {
            ++pos;
            break;
        }
        if (c == 'm') {
            e.Variable();
        } else if (c == 'P' && e.StartsWith("Pos") && e.Left() >= 4) {
            e.Position();
        } else if (c == '+' || c == '-' || c == '*' || c == '/') {
            e.Operator(c);
        } else if (c >= '0' && c <= '9') {
            e.Apply(ReadNumber(line, pos));
        } else if (functionsAllowed && (e.StartsWith("sin(") || e.StartsWith("cos(")) &&
                   e.Left() >= 5) {
            if (!e.Function(c == 's')) return 0;
        } else {
            break;  // not part of the formula: usually the next attribute
        }
        if (e.failed) return kNoValue;
        if (!e.ok) break;
    }
    return e.result;
}

}  // namespace

int32_t Evaluate(CCoeur& heart, std::string_view line, std::size_t& pos) {
    return EvaluateFormula(heart, line, pos, true);
}

int32_t VariableIndex(CCoeur& heart, std::string_view name) {
    for (std::size_t i = 0; i < heart.variableNames.size(); ++i)
        if (heart.variableNames[i] == name) return static_cast<int32_t>(i);
    heart.loadStatus =
        "Variable " + std::string(name) + Message(" inconnue Ligne n\xB0%d", {heart.loadLine});
    return -1;
}

int32_t VariableValue(CCoeur& heart, std::string_view name) {
    const int32_t index = VariableIndex(heart, name);
    return index < 0 ? kNoValue : heart.variableValues[index];
}

int32_t PositionIndex(CCoeur& heart, std::string_view name) {
    for (std::size_t i = 0; i < heart.positionNames.size(); ++i)
        if (heart.positionNames[i] == name) return static_cast<int32_t>(i);
    heart.loadStatus = "Position " + std::string(name) + " inconnue";
    return -1;
}

bool DeclareVariable(CCoeur& heart, std::string_view line, std::size_t& pos) {
    if (static_cast<int>(heart.variableNames.size()) >= kMaxVariables) {
        heart.loadStatus = Message("Trop de Variables L=%d", {heart.loadLine});
        return false;
    }
    heart.variableNames.push_back(ReadWord(line, pos));
    return true;
}

AssignResult AssignVariable(CCoeur& heart, const std::string& word, char delimiter,
                            std::string_view line, std::size_t& pos, bool insideCellLine) {
    const int32_t index = VariableIndex(heart, word);
    if (index < 0) return AssignResult::Failed;
    if (delimiter != '=') {
        if (insideCellLine) {
            const std::string found = delimiter ? std::string(1, delimiter) : std::string();
            heart.loadStatus = "Caract\xE8" "re (" + found +
                               Message(") au lieu de =, Ligne n\xB0%d", {heart.loadLine});
        } else {
            heart.loadStatus =
                "Variable " + word + Message(" inconnue Ligne n\xB0%d", {heart.loadLine});
        }
        return AssignResult::Failed;
    }
    const int32_t value = Evaluate(heart, line, pos);
    if (value == kNoValue) {
        heart.loadStatus = Message("Erreur ds Formule Ligne n\xB0%d", {heart.loadLine});
        return AssignResult::FormulaFailed;
    }
    heart.variableValues[index] = value;
    return AssignResult::Done;
}

}  // namespace vantrel
