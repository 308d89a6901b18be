#include "model/therapy/therapy_actions.h"

#include <string>

#include "engine/autonomic_tone.h"
#include "model/therapy/cell_changes.h"
#include "model/therapy/therapy_text.h"

namespace vantrel {

namespace {

// The arguments of a percentage action: one character after the keyword, a pattern, value1, an
// optional ";" and value2.  value2 missing means value2 = value1; value1 missing means no action.
struct PercentArguments {
    std::string pattern;
    int32_t value1 = kNoValue;
    int32_t value2 = kNoValue;
};

PercentArguments ReadPercentArguments(TherapyTextCursor& cursor) {
    PercentArguments args;
    cursor.Skip(1);
    args.pattern = cursor.Word();
    args.value1 = cursor.Number();
    args.value2 = cursor.Number();  // the number rule skips the optional ";"
    if (args.value2 == kNoValue) args.value2 = args.value1;
    return args;
}

// Finds `keyword` in the line and, when it is there, applies the percentage change it names.
// Returns the number of cells changed, or -1 when the keyword is not in the line.
int PercentAction(CCoeur& heart, std::string_view line, std::string_view keyword, ChangeKind kind,
                  bool definitive) {
    TherapyTextCursor cursor(line);
    if (!cursor.Find(keyword)) return -1;
    const PercentArguments args = ReadPercentArguments(cursor);
    if (args.value1 == kNoValue) return 0;
    return ChangeCells(heart, args.pattern, args.value1, args.value2, kind, definitive);
}

// One character, a pattern and one value ("SOT", "Flux", "AmpV").  -1 when the keyword is absent.
int ValueAction(CCoeur& heart, std::string_view line, std::string_view keyword, ChangeKind kind,
                bool definitive) {
    TherapyTextCursor cursor(line);
    if (!cursor.Find(keyword)) return -1;
    cursor.Skip(1);
    const std::string pattern = cursor.Word();
    const int32_t value = cursor.Number();
    if (value == kNoValue) return 0;
    return ChangeCells(heart, pattern, value, value, kind, definitive);
}

// "QRS": one character, a pattern and eight numbers, all of which must be there.  -1 when absent.
int QrsAction(CCoeur& heart, std::string_view line, bool definitive) {
    TherapyTextCursor cursor(line);
    if (!cursor.Find("QRS")) return -1;
    cursor.Skip(1);
    const std::string pattern = cursor.Word();
    int32_t shape[8];
    for (int32_t& value : shape) {
        value = cursor.Number();
        if (value == kNoValue) return 0;
    }
    return ChangeQrs(heart, pattern, shape, definitive);
}

// "IC": the link robustness level, taken only within 0..100.  False when the keyword is absent.
bool RobustnessAction(CCoeur& heart, std::string_view line) {
    TherapyTextCursor cursor(line);
    if (!cursor.Find("IC")) return false;
    const int32_t value = cursor.Number();
    if (value >= 0 && value <= 100) heart.robustnessLevel = value;
    return true;
}

// A duration in ms as a countdown in ticks.  0 means no automatic end; a negative duration would
// leave a countdown that never reaches 0, so it means no end as well.
int32_t DurationTicks(int32_t ms, int32_t longestMs) {
    return ms < 0 || ms > longestMs ? 0 : ms / 5;
}


// The sequence's link word for a link type; false for any other word.
bool LinkTypeFromWord(const std::string& word, LinkType& type) {
    if (word == "BiDir") type = LinkType::Bidir;
    else if (word == "ABlock") type = LinkType::BlocAntero;
    else if (word == "RBlock") type = LinkType::BlocRetro;
    else if (word == "FullBlock") type = LinkType::BlocComplet;
    else return false;
    return true;
}

// "Link=" A B type: the first link joining A and B, in either orientation, takes the type.
void LinkAction(CCoeur& heart, TherapyTextCursor& cursor, bool definitive) {
    const std::string nameA = cursor.Word();
    const std::string nameB = cursor.Word();
    LinkType type;
    if (!LinkTypeFromWord(cursor.Word(), type)) return;
    const int32_t a = heart.FindCell(nameA.c_str());
    const int32_t b = heart.FindCell(nameB.c_str());
    if (a < 0 || b < 0) return;
    for (int32_t i = 0; i < heart.linkCount; ++i) {
        CellLink& link = heart.links[i];
        if ((link.cellA == a && link.cellB == b) || (link.cellA == b && link.cellB == a)) {
            link.linkType = type;
            if (definitive) link.modelLinkType = type;
            return;
        }
    }
}

// "SVBalance": an optional "D" for a direct change, then a tone 0..1000.
void ToneAction(CCoeur& heart, TherapyTextCursor& cursor) {
    const bool direct = cursor.Peek() == 'D';
    if (direct) cursor.Skip(1);
    const int32_t value = cursor.Number();
    if (value < 0 || value > 1000) return;
    if (direct) heart.SetTone(value, true);
    else RampTone(heart, value);
}

void RunSequenceLine(CCoeur& heart, std::string_view line, SequenceRun& run) {
    TherapyTextCursor cursor(line);
    if (cursor.Find("DEFINITIVE")) {
        run.definitive = true;
        return;
    }
    if (cursor.Find("Link=")) {
        LinkAction(heart, cursor, run.definitive);
        return;
    }
    if (cursor.Find("SVBalance")) {
        ToneAction(heart, cursor);
        return;
    }
    if (cursor.Find("DUR")) {
        const int32_t ms = cursor.Number();  // a missing number means no automatic end here
        heart.linkResetCountdown = ms == kNoValue ? 0 : DurationTicks(ms, 60000);
        return;
    }

    // Otherwise only the first cell keyword found in this order acts.
    int changed = ValueAction(heart, line, "Flux", ChangeKind::Flux, run.definitive);
    if (changed < 0) changed = ValueAction(heart, line, "AmpV", ChangeKind::Amplitude, run.definitive);
    static constexpr struct {
        std::string_view keyword;
        ChangeKind kind;
    } kPercentKinds[] = {
        {"CTA", ChangeKind::AnteroCond}, {"CTR", ChangeKind::RetroCond}, {"ARP", ChangeKind::Arp},
        {"RRP", ChangeKind::Rrp},        {"ESC", ChangeKind::Escape},
    };
    for (const auto& percent : kPercentKinds) {
        if (changed >= 0) break;
        changed = PercentAction(heart, line, percent.keyword, percent.kind, run.definitive);
    }
    if (changed < 0 && RobustnessAction(heart, line)) return;
    if (changed < 0) changed = QrsAction(heart, line, run.definitive);
    if (changed > 0) run.changedCells = true;
}

}  // namespace

void RunDrugActions(CCoeur& heart, std::string_view actions) {
    for (std::string_view line : ActionLines(actions)) {
        PercentAction(heart, line, "CTA", ChangeKind::AnteroCond, false);
        PercentAction(heart, line, "CTR", ChangeKind::RetroCond, false);
        PercentAction(heart, line, "ARP", ChangeKind::Arp, false);
        PercentAction(heart, line, "RRP", ChangeKind::Rrp, false);
        PercentAction(heart, line, "ESC", ChangeKind::Escape, false);
        ValueAction(heart, line, "SOT", ChangeKind::TWave, false);
        RobustnessAction(heart, line);
        TherapyTextCursor duration(line);
        if (duration.Find("DUR")) heart.cellResetCountdown = DurationTicks(duration.Number(), 59999);
        QrsAction(heart, line, false);
    }
}

void RunSequenceActions(CCoeur& heart, std::string_view actions, SequenceRun& run) {
    for (std::string_view line : ActionLines(actions)) RunSequenceLine(heart, line, run);
}

}  // namespace vantrel
